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
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "platform/printing/CupsPrinter.h"
#include "tests/printing/PdfTools.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using namespace printing;
using namespace std::chrono_literals;

const std::filesystem::path kCupsd = "/usr/sbin/cupsd";
const std::filesystem::path kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// A cupsd of the test's own, stopped (and its folder removed) at the end.
class PrintService {
 public:
  PrintService() {
    for (const char* sub : {"spool", "tmp", "cache", "state", "log", "ppd"})
      std::filesystem::create_directories(dir_.Path() / sub);
    const std::string root = dir_.Path().string();
    std::ofstream(dir_.Path() / "cupsd.conf") << "Listen " << Socket() << "\nLogLevel warn\nBrowsing No\n"
        << "DefaultAuthType None\nPreserveJobFiles Yes\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    std::ofstream(dir_.Path() / "cups-files.conf")
        << "ServerRoot " << root << "\nRequestRoot " << root << "/spool\nTempDir " << root << "/tmp\nCacheDir " << root
        << "/cache\nStateDir " << root << "/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice Yes\n"
        << "SystemGroup root\nErrorLog " << root << "/log/error_log\nAccessLog " << root << "/log/access_log\nPageLog "
        << root << "/log/page_log\nSandboxing Relaxed\n";
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

  std::string Socket() const { return dir_.File("cups.sock"); }
  bool Answers() const {
    http_t* http = httpConnect2(Socket().c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 500, nullptr);
    if (http) httpClose(http);
    return http != nullptr;
  }

  // A queue printing to /dev/null with the cups-pdf PPD, its paper the given PageSize, its
  // printable area narrowed to 24-point margins on every side.
  void AddQueue(const std::string& name, const std::string& pageSize) {
    const std::string text = ReadText(kCupsPdfPpd);
    // Each page size's "0 0 width height" becomes "24 24 width-24 height-24".
    const std::regex area(R"re((\*ImageableArea [^:]*: )"0 0 ([0-9.]+) ([0-9.]+)")re");
    std::string narrowed;
    auto at = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), area), end; it != end; at = (*it)[0].second, ++it)
      narrowed.append(at, (*it)[0].first) += (*it)[1].str() + "\"24 24 " + std::to_string(std::stod((*it)[2]) - 24) +
                                              " " + std::to_string(std::stod((*it)[3]) - 24) + "\"";
    const auto ppd = dir_.Path() / "ppd" / (name + ".ppd");
    std::ofstream(ppd) << narrowed.append(at, text.cend());
    Run("lpadmin -p " + name + " -E -v file:///dev/null -P " + Quoted(ppd) + " -o PageSize=" + pageSize);
  }
  void MakeDefault(const std::string& name) { Run("lpadmin -d " + name); }
  void Reject(const std::string& name) { Run("cupsreject " + name); }
  void Freeze() { kill(pid_, SIGSTOP); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  // The document of a job as the service received it.
  std::filesystem::path Spooled(int job) const {
    const std::string n = std::to_string(job);
    return dir_.Path() / "spool" / ("d" + std::string(n.size() < 5 ? 5 - n.size() : 0, '0') + n + "-001");
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

class CupsPrinting : public ReportDesk {
 protected:
  void SetUp() override {
    ThreeColumns();
    AddRows(40);
    k.PrintingReportHeader("Spice stock at the Lyon store");
    if (!std::filesystem::exists(kCupsd) || !std::filesystem::exists(kCupsPdfPpd))
      GTEST_SKIP() << "CUPS (cupsd) or the cups-pdf driver is not installed: no print service to print on";
    service.emplace();
    ASSERT_TRUE(service->Answers()) << "the private cupsd did not start";
  }

  // The list's report printed on printer, through the headless desktop.
  void PrintReport(const std::shared_ptr<CupsPrinter>& printer, bool landscape = false) {
    desk.tk.SetPrinter(printer);
    landscape ? k.PrintToDefaultPrinterLandscape() : k.PrintToDefaultPrinter();
  }
  // The single queue "A4Queue" made the default, and the printer for it.
  std::shared_ptr<CupsPrinter> A4Printer(CupsLimits limits = {}) {
    service->AddQueue("A4Queue", "A4");
    service->MakeDefault("A4Queue");
    return DefaultPrinter(limits);
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

// The sheet's size as the queue has it (its PPD rounds to whole points, CUPS to 0.01 mm), and
// every word's box inside the queues' 24-point margins, from pdftotext -bbox.
void ExpectOnSheet(const std::filesystem::path& pdf, double width, double height) {
  const std::string boxes = Output("pdftotext -bbox " + Quoted(pdf) + " -");
  std::smatch page;
  ASSERT_TRUE(std::regex_search(boxes, page, std::regex(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re"))) << pdf;
  EXPECT_NEAR(std::stod(page[1]), width, 1.0) << pdf;
  EXPECT_NEAR(std::stod(page[2]), height, 1.0) << pdf;
  const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*))re");
  int words = 0;
  for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it, ++words) {
    const double x0 = std::stod((*it)[1]), y0 = std::stod((*it)[2]), x1 = std::stod((*it)[3]), y1 = std::stod((*it)[4]);
    EXPECT_TRUE(x0 >= 24 && y0 >= 24 && x1 <= width - 24 && y1 <= height - 24)
        << "\"" << (*it)[5] << "\" at " << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
  EXPECT_GT(words, 40);
}

TEST_F(CupsPrinting, EachQueuePrintsOnItsOwnPaperWithinItsPrintableArea) {
  service->AddQueue("A4Queue", "A4");
  service->AddQueue("LetterQueue", "Letter");
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
    ExpectOnSheet(spooled, width, height);
    EXPECT_EQ(service->JobTitle(printer->LastJobId()), "Spice stock at the Lyon store");
    PrintReport(printer, true);  // landscape: the sheet turned, the title line still on it
    const auto turned = service->Spooled(printer->LastJobId());
    EXPECT_TRUE(Has(PageText(turned, 1), "Spice stock at the Lyon store"));
    ExpectOnSheet(turned, height, width);
  }
  EXPECT_TRUE(notices.empty());
}

TEST_F(CupsPrinting, AQueueThatRefusesJobsLeavesTheReportInTheDocumentsFolderAndSaysSo) {
  const auto printer = A4Printer();
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

// A service that stops or freezes after the printer was chosen: the report is kept and the user
// told within the bound, and a new choice finds no printer.
TEST_F(CupsPrinting, AStoppedOrFrozenServiceLosesNoReportAndCostsOnlyTheBound) {
  const CupsLimits shortBound{300ms, 700ms};
  for (bool freeze : {false, true}) {
    SCOPED_TRACE(freeze ? "frozen" : "stopped");
    if (freeze) service.emplace();
    notices.clear();
    const auto printer = A4Printer(shortBound);
    ASSERT_TRUE(printer);
    freeze ? service->Freeze() : service->Stop();
    const auto start = std::chrono::steady_clock::now();
    PrintReport(printer);
    ASSERT_EQ(notices.size(), 1u);
    ExpectOnSheet(notices[0].keptAt, 595.28, 841.89);
    EXPECT_TRUE(DefaultPrinter(shortBound) == nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  }
}

}  // namespace
}  // namespace tamarind::testing
