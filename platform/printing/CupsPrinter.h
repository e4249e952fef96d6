#pragma once
// The system's printer: documents drawn as PDF and handed to a CUPS destination, laid out on the
// destination's own default paper within its printable area. And the choice of the default
// printer a host uses.
//
// Every request to the print service is bounded in time (connecting, and waiting for each
// answer), so a service that is stopped, refuses jobs or hangs never freezes the program. A
// document the service did not take is not lost: it is kept as a PDF file in the documents
// folder, and the printer tells the user where, as a desktop's print spooler would.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/printing/PdfPrinter.h"

namespace tamarind::printing {

// The user's documents folder: $XDG_DOCUMENTS_DIR, else ~/Documents (created when missing).
std::filesystem::path DocumentsFolder();

// How long a request to the print service may take.
struct CupsLimits {
  std::chrono::milliseconds connect{3000};  // reaching the service
  std::chrono::milliseconds answer{5000};   // each answer (or each part of a job sent) once connected
};

// A document the print service did not take, and where it was kept instead.
struct UndeliveredReport {
  std::string destination, title;
  std::string reason;               // what the service said, or that it could not be reached
  std::filesystem::path keptAt;     // the PDF file in the documents folder
  std::string Message() const;      // one sentence for the user naming the file
};
using UndeliveredHandler = std::function<void(const UndeliveredReport&)>;

class CupsPrinter : public PdfPrinter {
 public:
  // A printer for the named destination with the given sheet; undelivered documents are kept in
  // keepFolder.
  CupsPrinter(std::string destination, PageSetup page, std::filesystem::path keepFolder = DocumentsFolder(),
              CupsLimits limits = {});
  // The CUPS default destination with the paper of its default media (the queue's media-default)
  // and that media's margins; nullptr when CUPS has no default destination or no service
  // answers within the limits.
  static std::unique_ptr<CupsPrinter> ForDefaultDestination(const std::filesystem::path& keepFolder = DocumentsFolder(),
                                                            CupsLimits limits = {});

  const std::string& Destination() const { return destination_; }
  // The CUPS job of the last document; 0 before the first, and when the last was not taken.
  int32_t LastJobId() const { return lastJob_; }
  // Tells the user about a kept document; without one, the message goes to the standard error.
  void OnUndelivered(UndeliveredHandler handler) { onUndelivered_ = std::move(handler); }

 protected:
  // Each document is written to a private temporary file, sent, and removed once the service
  // has it; else moved into the keep folder.
  std::filesystem::path PathForNextDocument() override;
  void DocumentFinished(const std::filesystem::path& file) override;

 private:
  std::filesystem::path Keep(const std::filesystem::path& file) const;
  std::string destination_;
  std::filesystem::path keepFolder_;
  CupsLimits limits_;
  UndeliveredHandler onUndelivered_;
  int32_t lastJob_ = 0;
};

// The default printer: the CUPS default destination when there is one, else a PDF file printer
// writing into folder (A4 or Letter by the locale). Never a printer that prints nowhere.
std::unique_ptr<PdfPrinter> MakeDefaultPrinter(const std::filesystem::path& folder = DocumentsFolder(),
                                               CupsLimits limits = {});

}  // namespace tamarind::printing
