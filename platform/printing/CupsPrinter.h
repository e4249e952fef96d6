#pragma once
// The system's printer: documents drawn as PDF and handed to a CUPS destination, whose default
// media gives the page size and margins. And the choice of the default printer a host uses.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/printing/PdfPrinter.h"

namespace tamarind::printing {

class CupsPrinter : public PdfPrinter {
 public:
  // A printer for the named destination with the given sheet.
  CupsPrinter(std::string destination, PageSetup page);
  // The CUPS default destination, its default media as the sheet; nullptr when CUPS has no
  // default destination (or no server answers).
  static std::unique_ptr<CupsPrinter> ForDefaultDestination();

  const std::string& Destination() const { return destination_; }
  // The CUPS job of the last document; 0 before the first.
  int32_t LastJobId() const { return lastJob_; }

 protected:
  // Each document is written to a private temporary file, sent, and removed.
  std::filesystem::path PathForNextDocument() override;
  // Error 5 with CUPS's message when the destination refuses the job.
  void DocumentFinished(const std::filesystem::path& file) override;

 private:
  std::string destination_;
  int32_t lastJob_ = 0;
};

// The user's documents folder: $XDG_DOCUMENTS_DIR, else ~/Documents (created when missing).
std::filesystem::path DocumentsFolder();

// The default printer: the CUPS default destination when there is one, else a PDF file printer
// writing into folder (A4 or Letter by the locale). Never a printer that prints nowhere.
std::unique_ptr<PdfPrinter> MakeDefaultPrinter(const std::filesystem::path& folder = DocumentsFolder());

}  // namespace tamarind::printing
