// Reports printed through a real CUPS daemon that the test starts for itself: a private cupsd on
// a Unix socket in a temporary folder, with queues made from the cups-pdf driver's PPD whose jobs
// go to /dev/null and whose spooled documents are kept, so the PDF the service received can be
// read back with poppler. Skipped, saying so, where CUPS or the cups-pdf driver is not installed.

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/printing/CupsPrinter.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/printing/PdfTools.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using printing::CupsLimits;
using printing::CupsPrinter;
using printing::UndeliveredReport;
using namespace std::chrono_literals;

const std::filesystem::path kCupsd = "/usr/sbin/cupsd";
const std::filesystem::path kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// A cupsd of the test's own, stopped (and its folder removed) at the end.
class PrintService {
 public:
  PrintService() {
    for (const char* sub : {"spool", "tmp", "cache", "state", "log", "ppd"})
      std::filesystem::create_directories(dir_ / sub);
    const std::string root = dir_.Path().string();
    std::ofstream(dir_ / "cupsd.conf") << "Listen " << Socket() << "\nLogLevel warn\nBrowsing No\n"
                                       << "DefaultAuthType None\nPreserveJobFiles Yes\n"
                                       << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                       << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                       << "</Policy>\n";
    std::ofstream(dir_ / "cups-files.conf") << "ServerRoot " << root << "\nRequestRoot " << root << "/spool\n"
                                            << "TempDir " << root << "/tmp\nCacheDir " << root << "/cache\n"
                                            << "StateDir " << root << "/state\nServerBin /usr/lib/cups\n"
                                            << "DataDir /usr/share/cups\nFileDevice Yes\nSystemGroup root\n"
                                            << "ErrorLog " << root << "/log/error_log\nAccessLog " << root
                                            << "/log/access_log\nPageLog " << root << "/log/page_log\n"
                                            << "Sandboxing Relaxed\n";
    // Commands and libcups in this process both talk to this daemon only.
    setenv("CUPS_SERVER", Socket().c_str(), 1);
    cupsSetServer(Socket().c_str());
    pid_ = fork();
    if (pid_ == 0) {
      execl(kCupsd.c_str(), "cupsd", "-f", "-c", (root + "/cupsd.conf").c_str(), "-s",
            (root + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && !Answers(); ++i) std::this_thread::sleep_for(50ms);
  }
  ~PrintService() {
    Stop();
    cupsSetServer(nullptr);
    unsetenv("CUPS_SERVER");
  }
  PrintService(const PrintService&) = delete;
  PrintService& operator=(const PrintService&) = delete;

  std::string Socket() const { return (dir_ / "cups.sock").string(); }
  bool Answers() const {
    http_t* http = httpConnect2(Socket().c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 500, nullptr);
    if (http) httpClose(http);
    return http != nullptr;
  }

  // A queue printing to /dev/null with the cups-pdf PPD, its paper the given PageSize, its
  // printable area optionally narrowed to margins (points) on every side.
  void AddQueue(const std::string& name, const std::string& pageSize, int margin = 0) {
    std::filesystem::path ppd = kCupsPdfPpd;
    if (margin > 0) {
      std::ifstream in(kCupsPdfPpd);
      const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      const std::regex area(R"re((\*ImageableArea [^:]*: )"0 0 ([0-9.]+) ([0-9.]+)")re");
      std::string narrowed;
      auto at = text.cbegin();
      for (std::sregex_iterator it(text.begin(), text.end(), area), end; it != end; ++it) {
        const auto& m = *it;
        narrowed.append(at, m[0].first);
        narrowed += m[1].str() + "\"" + std::to_string(margin) + " " + std::to_string(margin) + " " +
                    std::to_string(std::stod(m[2]) - margin) + " " + std::to_string(std::stod(m[3]) - margin) + "\"";
        at = m[0].second;
      }
      narrowed.append(at, text.cend());
      ppd = dir_ / "ppd" / (name + ".ppd");
      std::ofstream(ppd) << narrowed;
    }
    Run("lpadmin -p " + name + " -E -v file:///dev/null -P " + Quoted(ppd) + " -o PageSize=" + pageSize);
  }
  void MakeDefault(const std::string& name) { Run("lpadmin -d " + name); }
  void Reject(const std::string& name) { Run("cupsreject " + name); }
  void Freeze() { kill(pid_, SIGSTOP); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  // The document of a job as the service received it.
  std::filesystem::path Spooled(int job) const {
    char name[32];
    std::snprintf(name, sizeof name, "d%05d-001", job);
    return dir_ / "spool" / name;
  }
  // The title of a job as the service knows it.
  std::string JobTitle(int job) const {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    std::string title;
    for (int i = 0; i < n; ++i)
      if (jobs[i].id == job) title = jobs[i].title;
    cupsFreeJobs(n, jobs);
    return title;
  }

 private:
  static void Run(const std::string& command) { ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command; }
  TempFolder dir_;
  pid_t pid_ = -1;
};

class CupsPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCupsd) || !std::filesystem::exists(kCupsPdfPpd))
      GTEST_SKIP() << "CUPS (cupsd) or the cups-pdf driver is not installed: no print service to print on";
    service.emplace();
    ASSERT_TRUE(service->Answers()) << "the private cupsd did not start";
  }

  // A Kestrel printing a small report on printer, through the headless desktop.
  void PrintReport(const std::shared_ptr<CupsPrinter>& printer, bool landscape = false) {
    Desk desk;
    Kestrel& k = desk.Place();
    desk.form.Show();
    desk.tk.SetPrinter(printer);
    k.ColumnHeaders().Add(0, {}, "Row", 1800);
    k.ColumnHeaders().Add(0, {}, "Spice", 2400);
    for (int i = 1; i <= 40; ++i) k.ListItems().Add(0, {}, "Row " + std::to_string(i))->SubItems(1, "Sumac");
    k.PrintingReportHeader("Spice stock at the Lyon store");
    landscape ? k.PrintToDefaultPrinterLandscape() : k.PrintToDefaultPrinter();
  }
  std::shared_ptr<CupsPrinter> DefaultPrinter(CupsLimits limits = {}) {
    std::shared_ptr<CupsPrinter> p = CupsPrinter::ForDefaultDestination(keep.Path(), limits);
    if (p) p->OnUndelivered([this](const UndeliveredReport& r) { notices.push_back(r); });
    return p;
  }

  TempFolder keep;
  std::optional<PrintService> service;
  std::vector<UndeliveredReport> notices;
};

// The first page's size in points from pdfinfo's "Page size:" line.
std::pair<double, double> PageSize(const std::filesystem::path& pdf) {
  std::smatch m;
  const std::string info = Info(pdf);
  if (!std::regex_search(info, m, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+))"))) return {0, 0};
  return {std::stod(m[1]), std::stod(m[2])};
}
// A sheet's size as the queue has it (its PPD rounds to whole points, CUPS to 0.01 mm).
void ExpectSheet(const std::filesystem::path& pdf, double width, double height) {
  const auto [w, h] = PageSize(pdf);
  EXPECT_NEAR(w, width, 1.0) << pdf;
  EXPECT_NEAR(h, height, 1.0) << pdf;
}

// Every word's box from pdftotext -bbox lies inside the sheet less the margin on each side.
void ExpectEveryWordInside(const std::filesystem::path& pdf, double width, double height, double margin) {
  const std::string boxes = Output("pdftotext -bbox " + Quoted(pdf) + " -");
  const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*))re");
  int words = 0;
  for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it, ++words) {
    const double x0 = std::stod((*it)[1]), y0 = std::stod((*it)[2]), x1 = std::stod((*it)[3]), y1 = std::stod((*it)[4]);
    EXPECT_TRUE(x0 >= margin && y0 >= margin && x1 <= width - margin && y1 <= height - margin)
        << "\"" << (*it)[5] << "\" at " << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
  EXPECT_GT(words, 40);
}

TEST_F(CupsPrinting, EachQueuePrintsOnItsOwnPaperWithinItsPrintableArea) {
  service->AddQueue("A4Queue", "A4", 24);
  service->AddQueue("LetterQueue", "Letter", 24);
  for (const auto& [queue, width, height] : {std::tuple{"A4Queue", 595.28, 841.89}, std::tuple{"LetterQueue", 612.0, 792.0}}) {
    SCOPED_TRACE(queue);
    service->MakeDefault(queue);
    const auto printer = DefaultPrinter();
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->Destination(), queue);
    EXPECT_NEAR(printer->Page().left, 24.0, 0.5);
    PrintReport(printer);
    ASSERT_GT(printer->LastJobId(), 0);
    const auto spooled = service->Spooled(printer->LastJobId());
    ExpectSheet(spooled, width, height);
    ExpectEveryWordInside(spooled, width, height, 24);
    EXPECT_EQ(service->JobTitle(printer->LastJobId()), "Spice stock at the Lyon store");
    PrintReport(printer, true);  // landscape: the sheet turned, the title line still on it
    const auto turned = service->Spooled(printer->LastJobId());
    EXPECT_TRUE(Has(PageText(turned, 1), "Spice stock at the Lyon store"));
    ExpectSheet(turned, height, width);
    ExpectEveryWordInside(turned, height, width, 24);
  }
  EXPECT_TRUE(notices.empty());
}

TEST_F(CupsPrinting, AQueueThatRefusesJobsLeavesTheReportInTheDocumentsFolderAndSaysSo) {
  service->AddQueue("A4Queue", "A4");
  service->MakeDefault("A4Queue");
  const auto printer = DefaultPrinter();
  ASSERT_TRUE(printer);
  service->Reject("A4Queue");
  PrintReport(printer);
  EXPECT_EQ(printer->LastJobId(), 0);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].keptAt.parent_path(), keep.Path());
  EXPECT_EQ(notices[0].title, "Spice stock at the Lyon store");
  EXPECT_TRUE(Has(notices[0].Message(), notices[0].keptAt.string()));
  EXPECT_TRUE(Has(PageText(notices[0].keptAt, 1), "Spice stock at the Lyon store"));
  EXPECT_EQ(printer->LastOutput(), notices[0].keptAt);
}

TEST_F(CupsPrinting, AStoppedServiceLosesNoReport) {
  service->AddQueue("A4Queue", "A4");
  service->MakeDefault("A4Queue");
  const auto printer = DefaultPrinter();
  ASSERT_TRUE(printer);
  service->Stop();  // after the printer was chosen
  PrintReport(printer);
  ASSERT_EQ(notices.size(), 1u);
  ExpectSheet(notices[0].keptAt, 595.28, 841.89);
  EXPECT_TRUE(DefaultPrinter() == nullptr);  // and a new choice finds no printer
}

TEST_F(CupsPrinting, AFrozenServiceCostsTheBoundNotTheProgram) {
  service->AddQueue("A4Queue", "A4");
  service->MakeDefault("A4Queue");
  const CupsLimits shortBound{300ms, 700ms};
  const auto printer = DefaultPrinter(shortBound);
  ASSERT_TRUE(printer);
  service->Freeze();
  const auto start = std::chrono::steady_clock::now();
  PrintReport(printer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(notices[0].keptAt));
  const auto choosing = std::chrono::steady_clock::now();
  EXPECT_TRUE(DefaultPrinter(shortBound) == nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - choosing, 10s);
}

}  // namespace
}  // namespace tamarind::testing
