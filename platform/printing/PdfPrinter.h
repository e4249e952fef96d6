#pragma once
// A printer that makes real pages: every document (from its first drawing to EndDoc) becomes a
// PDF file, drawn with cairo, its text laid out and measured with pango.
//
// Positions and sizes are twips (1440 to the inch) on the printable area, as the Printer contract
// says; a PDF point is 20 twips. The page size and the margins (the part of the sheet the printer
// cannot reach) are fixed per printer; the orientation turns them.
//
// A document starts with its first output (Print, Line, PaintPicture or NewPage) and is written
// to "<name>.pdf.part" beside its final place; EndDoc finishes it and gives it its final name
// (replacing a file of that name whole), KillDoc throws it away. An EndDoc with nothing printed
// makes no file. The document's title (in the PDF's information) is the text it opens with, when
// it opens with a text, as a report opens with its heading; else the job name.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Services.h"

namespace tamarind::printing {

// A sheet in PDF points (1/72 inch), portrait, with the margins the printer cannot print on.
struct PageSetup {
  std::string name;  // "A4", "Letter", or the printer's media name
  double width = 0, height = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
};

PageSetup A4Paper();
PageSetup LetterPaper();
// Letter where the locale's territory uses it (the United States, Canada, Mexico, the
// Philippines, Chile, Colombia, Venezuela, Puerto Rico), else A4. The locale is read as the C
// library reads it: LC_ALL, then LC_PAPER, then LANG.
PageSetup PaperForLocale();

class PdfPrinter : public platform::Printer {
 public:
  // Documents go into folder (created when missing) as "<JobName> <date> <time>.pdf".
  PdfPrinter(PageSetup page, std::filesystem::path folder);
  ~PdfPrinter() override;
  PdfPrinter(const PdfPrinter&) = delete;
  PdfPrinter& operator=(const PdfPrinter&) = delete;

  const PageSetup& Page() const { return page_; }
  const std::filesystem::path& Folder() const { return folder_; }
  void Folder(std::filesystem::path folder) { folder_ = std::move(folder); }
  // The job's name: the file name, and the title of a document that does not open with a text;
  // "Report" unless set.
  const std::string& JobName() const { return jobName_; }
  void JobName(std::string name) { jobName_ = std::move(name); }
  // The title of the open (or the last) document: the text it opened with, else the job name.
  const std::string& DocumentTitle() const { return title_; }
  // The next document goes exactly here instead (once).
  void NextOutputFile(std::filesystem::path file) { nextFile_ = std::move(file); }
  // The file of the last finished document; empty before the first.
  const std::filesystem::path& LastOutput() const { return lastOutput_; }
  // The pages of the last finished document.
  int32_t LastPageCount() const { return lastPages_; }
  bool DocumentOpen() const;
  int32_t PageCount() const;  // pages of the open document so far

  // --- the Printer contract ----------------------------------------------------------------------
  int16_t Orientation() const override { return orientation_; }
  // Error 380 for another value than portrait (1) or landscape (2). Takes effect with the next
  // page, as a real printer's does.
  void Orientation(int16_t o) override;
  platform::StdFont& Font() override { return font_; }
  float CurrentX() const override { return x_; }
  void CurrentX(float x) override { x_ = x; }
  float CurrentY() const override { return y_; }
  void CurrentY(float y) override { y_ = y; }
  // Only 13 (copy pen) draws as asked; a PDF has no raster operations, so other modes draw as 13.
  int16_t DrawMode() const override { return drawMode_; }
  void DrawMode(int16_t mode) override { drawMode_ = mode; }
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  float TextWidth(std::string_view text) const override;
  // The height of the text's lines (one line for a text without line breaks, also for "").
  float TextHeight(std::string_view text) const override;
  void Print(std::string_view text) override;
  void Line(float x1, float y1, float x2, float y2, platform::OLE_COLOR color, platform::LineKind kind) override;
  void PaintPicture(const platform::StdPicture& picture, float x, float y, float width, float height,
                    int32_t rasterOp) override;
  void NewPage() override;
  // Error 75 when the file cannot be written.
  void EndDoc() override;
  void KillDoc() override;

 protected:
  // Where a new document goes; a CUPS printer sends its documents through a file of its own.
  virtual std::filesystem::path PathForNextDocument();
  // Called with the finished file; the file printer has nothing more to do.
  virtual void DocumentFinished(const std::filesystem::path& file);
  void Page(PageSetup page) { page_ = std::move(page); }
  // Where the last document ended up, when a printer moved it after DocumentFinished's start.
  void LastOutput(std::filesystem::path file) { lastOutput_ = std::move(file); }
  // A new file in folder (made when missing) named "<name> <date> <time>.pdf", numbered when
  // that name is taken.
  static std::filesystem::path DatedFileIn(const std::filesystem::path& folder, std::string_view name);

 private:
  struct Document;
  struct Text;
  void Begin();
  void StartPage();

  PageSetup page_;
  std::filesystem::path folder_, nextFile_, lastOutput_;
  std::string jobName_ = "Report";
  std::string title_;
  int32_t lastPages_ = 0;
  int16_t orientation_ = vbPRORPortrait, drawMode_ = 13;
  platform::StdFont font_{"Arial", 10};
  float x_ = 0, y_ = 0;
  std::unique_ptr<Text> text_;
  std::unique_ptr<Document> doc_;
};

}  // namespace tamarind::printing
