#include "platform/printing/CupsPrinter.h"

#include <cups/cups.h>
#include <unistd.h>

#include <cstdlib>

#include "runtime/Error.h"

namespace tamarind::printing {

namespace {

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;

// The destination's default media as a sheet; A4 or Letter by the locale when it names none.
PageSetup MediaOf(cups_dest_t* dest) {
  PageSetup page = PaperForLocale();
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (!info) return page;
  cups_size_t size{};
  if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 && size.length > 0) {
    page.name = size.media;
    page.width = size.width * kPointsPerHundredthMm;
    page.height = size.length * kPointsPerHundredthMm;
    page.left = size.left * kPointsPerHundredthMm;
    page.right = size.right * kPointsPerHundredthMm;
    page.top = size.top * kPointsPerHundredthMm;
    page.bottom = size.bottom * kPointsPerHundredthMm;
  }
  cupsFreeDestInfo(info);
  return page;
}

}  // namespace

CupsPrinter::CupsPrinter(std::string destination, PageSetup page)
    : PdfPrinter(std::move(page), std::filesystem::temp_directory_path()), destination_(std::move(destination)) {}

std::unique_ptr<CupsPrinter> CupsPrinter::ForDefaultDestination() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!dest) return nullptr;
  auto printer = std::make_unique<CupsPrinter>(dest->name, MediaOf(dest));
  cupsFreeDests(1, dest);
  return printer;
}

std::filesystem::path CupsPrinter::PathForNextDocument() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamarind-print-XXXXXX.pdf").string();
  const int fd = mkstemps(pattern.data(), 4);
  if (fd < 0) Raise(err::PathFileAccessError, "Printer", "No temporary file for the print job");
  close(fd);
  return pattern;
}

void CupsPrinter::DocumentFinished(const std::filesystem::path& file) {
  const int job = cupsPrintFile(destination_.c_str(), file.c_str(), JobName().c_str(), 0, nullptr);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (job == 0)
    Raise(err::InvalidProcedureCall, "Printer",
          "The printer \"" + destination_ + "\" refused the job: " + cupsLastErrorString());
  lastJob_ = job;
}

std::filesystem::path DocumentsFolder() {
  std::filesystem::path folder;
  if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg) {
    folder = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    folder = std::filesystem::path(home) / "Documents";
  } else {
    folder = std::filesystem::temp_directory_path();
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

std::unique_ptr<PdfPrinter> MakeDefaultPrinter(const std::filesystem::path& folder) {
  if (auto cups = CupsPrinter::ForDefaultDestination()) return cups;
  return std::make_unique<PdfPrinter>(PaperForLocale(), folder);
}

}  // namespace tamarind::printing
