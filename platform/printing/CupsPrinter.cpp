#include "platform/printing/CupsPrinter.h"

#include <cups/cups.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "runtime/Error.h"

namespace tamarind::printing {

namespace {

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;

// A connection to the print service on which every wait is bounded: connecting by the limits'
// connect time, each answer (and each part of a job sent) by their answer time. libcups's own
// default connection waits up to a minute per request, which is how a hung service froze the
// program.
class Connection {
 public:
  explicit Connection(const CupsLimits& limits)
      : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           static_cast<int>(limits.connect.count()), nullptr)) {
    if (http_) httpSetTimeout(http_, static_cast<double>(limits.answer.count()) / 1000.0, GiveUp, nullptr);
  }
  ~Connection() {
    if (http_) httpClose(http_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  http_t* get() const { return http_; }
  explicit operator bool() const { return http_ != nullptr; }

 private:
  // Asked when an answer is late: 0 abandons the request.
  static int GiveUp(http_t*, void*) { return 0; }
  http_t* http_;
};

// The queue's IPP address, as its own service names it.
std::string PrinterUri(const std::string& destination) {
  char uri[1024];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                   destination.c_str());
  return uri;
}

// An IPP request about a queue, its operation attributes filled in.
ipp_t* QueueRequest(ipp_op_t op, const std::string& destination) {
  ipp_t* request = ippNewRequest(op);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(destination).c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  return request;
}

int IntegerIn(ipp_t* collection, const char* name) {
  ipp_attribute_t* a = collection ? ippFindAttribute(collection, name, IPP_TAG_INTEGER) : nullptr;
  return a ? ippGetInteger(a, 0) : 0;
}

// The queue's default media as a sheet, with the margins the device cannot print on; A4 or Letter
// by the locale when the queue names none. The queue's own default is its media-col-default (size
// and margins), asked on the bounded connection: cupsGetDestMediaDefault can answer a paper of
// the library's choosing, and the destination-information calls may open connections of their
// own that no limit bounds.
PageSetup MediaOf(http_t* http, const std::string& destination) {
  PageSetup page = PaperForLocale();
  ipp_t* request = QueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, destination);
  static const char* const kWanted[] = {"media-col-default", "media-default", "media-col-database"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, kWanted);
  ipp_t* response = cupsDoRequest(http, request, "/");
  ipp_attribute_t* col = response ? ippFindAttribute(response, "media-col-default", IPP_TAG_BEGIN_COLLECTION) : nullptr;
  ipp_t* media = col ? ippGetCollection(col, 0) : nullptr;
  ipp_attribute_t* sizeAttr = media ? ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
  ipp_t* size = sizeAttr ? ippGetCollection(sizeAttr, 0) : nullptr;
  const int width = IntegerIn(size, "x-dimension"), length = IntegerIn(size, "y-dimension");
  if (width > 0 && length > 0) {
    ipp_attribute_t* name = ippFindAttribute(response, "media-default", IPP_TAG_ZERO);
    const char* keyword = name ? ippGetString(name, 0, nullptr) : nullptr;
    page.name = keyword && *keyword ? keyword : "custom";
    page.width = width * kPointsPerHundredthMm;
    page.height = length * kPointsPerHundredthMm;
    // The default's own margins, widened to those of any entry of the same size the queue lists:
    // a queue may default to a borderless variant its device cannot honour on every edge.
    int margins[4] = {IntegerIn(media, "media-left-margin"), IntegerIn(media, "media-right-margin"),
                      IntegerIn(media, "media-top-margin"), IntegerIn(media, "media-bottom-margin")};
    ipp_attribute_t* database = ippFindAttribute(response, "media-col-database", IPP_TAG_BEGIN_COLLECTION);
    for (int i = 0, n = database ? ippGetCount(database) : 0; i < n; ++i) {
      ipp_t* entry = ippGetCollection(database, i);
      ipp_attribute_t* entrySize = ippFindAttribute(entry, "media-size", IPP_TAG_BEGIN_COLLECTION);
      ipp_t* dims = entrySize ? ippGetCollection(entrySize, 0) : nullptr;
      if (IntegerIn(dims, "x-dimension") != width || IntegerIn(dims, "y-dimension") != length) continue;
      const char* sides[4] = {"media-left-margin", "media-right-margin", "media-top-margin", "media-bottom-margin"};
      for (int k = 0; k < 4; ++k) margins[k] = std::max(margins[k], IntegerIn(entry, sides[k]));
    }
    page.left = margins[0] * kPointsPerHundredthMm;
    page.right = margins[1] * kPointsPerHundredthMm;
    page.top = margins[2] * kPointsPerHundredthMm;
    page.bottom = margins[3] * kPointsPerHundredthMm;
  }
  ippDelete(response);
  return page;
}

// Sends a finished PDF as one job titled title; the job's id, or 0 when the queue did not take it.
int SendJob(http_t* http, const std::string& destination, const std::filesystem::path& file, const std::string& title) {
  ipp_t* request = QueueRequest(IPP_OP_PRINT_JOB, destination);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, "application/pdf");
  const std::string resource = "/printers/" + destination;
  ipp_t* response = cupsDoFileRequest(http, request, resource.c_str(), file.c_str());
  ipp_attribute_t* id = response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING
                            ? ippFindAttribute(response, "job-id", IPP_TAG_INTEGER)
                            : nullptr;
  const int job = id ? ippGetInteger(id, 0) : 0;
  ippDelete(response);
  return job;
}

}  // namespace

std::string UndeliveredReport::Message() const {
  return "The report \"" + title + "\" could not be printed on \"" + destination + "\" (" + reason +
         "). It was kept in " + keptAt.string();
}

CupsPrinter::CupsPrinter(std::string destination, PageSetup page, std::filesystem::path keepFolder, CupsLimits limits)
    : PdfPrinter(std::move(page), std::filesystem::temp_directory_path()),
      destination_(std::move(destination)),
      keepFolder_(std::move(keepFolder)),
      limits_(limits) {}

std::unique_ptr<CupsPrinter> CupsPrinter::ForDefaultDestination(const std::filesystem::path& keepFolder,
                                                                CupsLimits limits) {
  const Connection service(limits);
  if (!service) return nullptr;
  cups_dest_t* dest = cupsGetNamedDest(service.get(), nullptr, nullptr);
  if (!dest) return nullptr;
  auto printer = std::make_unique<CupsPrinter>(dest->name, MediaOf(service.get(), dest->name), keepFolder, limits);
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
  lastJob_ = 0;
  std::string reason = "the print service cannot be reached";
  if (const Connection service(limits_); service) {
    const int job = SendJob(service.get(), destination_, file, DocumentTitle());
    if (job > 0) {
      lastJob_ = job;
      std::error_code ec;
      std::filesystem::remove(file, ec);
      return;
    }
    reason = cupsLastErrorString();
  }
  const UndeliveredReport report{destination_, DocumentTitle(), reason, Keep(file)};
  LastOutput(report.keptAt);
  if (onUndelivered_)
    onUndelivered_(report);
  else
    std::fprintf(stderr, "%s\n", report.Message().c_str());
}

// Moves the finished document into the keep folder under the report's title. Only when it cannot
// be moved there does the error reach the caller, with the file left where it is.
std::filesystem::path CupsPrinter::Keep(const std::filesystem::path& file) const {
  std::filesystem::path kept;
  std::error_code ec;
  try {
    kept = DatedFileIn(keepFolder_, DocumentTitle());
  } catch (const std::filesystem::filesystem_error&) {
    ec = std::make_error_code(std::errc::permission_denied);
  }
  if (!ec) std::filesystem::rename(file, kept, ec);
  if (ec == std::errc::cross_device_link) {
    // Another file system: copy, then remove the temporary file once the copy is whole.
    ec.clear();
    std::filesystem::copy_file(file, kept, ec);
    if (!ec) std::filesystem::remove(file, ec);
  }
  if (ec)
    Raise(err::PathFileAccessError, "Printer",
          "The printer \"" + destination_ + "\" did not take the report, and it could not be kept in " +
              keepFolder_.string() + "; it is still in " + file.string());
  return kept;
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

std::unique_ptr<PdfPrinter> MakeDefaultPrinter(const std::filesystem::path& folder, CupsLimits limits) {
  if (auto cups = CupsPrinter::ForDefaultDestination(folder, limits)) return cups;
  return std::make_unique<PdfPrinter>(PaperForLocale(), folder);
}

}  // namespace tamarind::printing
