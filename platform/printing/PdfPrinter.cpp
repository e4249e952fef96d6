#include "platform/printing/PdfPrinter.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fcntl.h>
#include <pango/pangocairo.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <unordered_map>

#include "platform/SystemColors.h"
#include "runtime/Error.h"

namespace tamarind::printing {

using platform::OLE_COLOR;

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kPointsPerMm = 72.0 / 25.4;
// Lines and box outlines: half a point, fine but visible on paper and on screen.
constexpr double kLineWidth = 0.5;

PageSetup Sheet(std::string name, double widthMm, double heightMm) {
  PageSetup p;
  p.name = std::move(name);
  p.width = widthMm * kPointsPerMm;
  p.height = heightMm * kPointsPerMm;
  // A quarter inch all round: what common office printers cannot reach.
  p.left = p.top = p.right = p.bottom = 18.0;
  return p;
}

std::string LocaleName() {
  for (const char* var : {"LC_ALL", "LC_PAPER", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return {};
}

void SetColor(cairo_t* cr, OLE_COLOR c) {
  const OLE_COLOR rgb = platform::ResolveColor(c);
  cairo_set_source_rgb(cr, (rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, ((rgb >> 16) & 0xFF) / 255.0);
}

uint64_t Fnv1a(const void* data, size_t size, uint64_t h = 1469598103934665603ull) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

bool Synced(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

PageSetup A4Paper() { return Sheet("A4", 210, 297); }
PageSetup LetterPaper() { return Sheet("Letter", 215.9, 279.4); }

PageSetup PaperForLocale() {
  // "en_US.UTF-8", "es_MX@euro": the territory stands between "_" and "." or "@".
  const std::string locale = LocaleName();
  const size_t underscore = locale.find('_');
  if (underscore == std::string::npos) return A4Paper();
  const std::string territory = locale.substr(underscore + 1, locale.find_first_of(".@", underscore) - underscore - 1);
  for (const char* letter : {"US", "CA", "MX", "PH", "CL", "CO", "VE", "PR"})
    if (territory == letter) return LetterPaper();
  return A4Paper();
}

// --- text layout and measurement ------------------------------------------------------------------

// One pango layout, set up for whatever font and text was asked last, so that measuring a text
// and then printing it shapes it once.
struct PdfPrinter::Text {
  Text() {
    context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    // Points as units, and metrics free of screen hinting, as on paper.
    pango_cairo_context_set_resolution(context, 72.0);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    layout = pango_layout_new(context);
  }
  ~Text() {
    g_object_unref(layout);
    g_object_unref(context);
  }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  // Makes the layout show text in font.
  void Use(const platform::StdFont& font, std::string_view text) {
    if (!(font == currentFont) || !haveFont) {
      PangoFontDescription* d = pango_font_description_new();
      pango_font_description_set_family(d, font.Name().c_str());
      pango_font_description_set_size(d, static_cast<gint>(std::lround(font.Size() * PANGO_SCALE)));
      pango_font_description_set_weight(d, static_cast<PangoWeight>(font.Weight()));
      pango_font_description_set_style(d, font.Italic() ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
      pango_layout_set_font_description(layout, d);
      pango_font_description_free(d);
      PangoAttrList* attrs = pango_attr_list_new();
      if (font.Underline()) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
      if (font.Strikethrough()) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
      pango_layout_set_attributes(layout, attrs);
      pango_attr_list_unref(attrs);
      currentFont = font;
      haveFont = true;
      haveText = false;
    }
    if (!haveText || text != currentText) {
      pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
      currentText.assign(text);
      haveText = true;
    }
  }

  // Logical size in points.
  double Width(const platform::StdFont& font, std::string_view text) {
    Use(font, text);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    return static_cast<double>(w) / PANGO_SCALE;
  }
  double Height(const platform::StdFont& font, std::string_view text) {
    // A single line is as high as the font's line, whatever its characters: worth keeping.
    const bool oneLine = text.find('\n') == std::string_view::npos;
    if (oneLine) {
      auto it = lineHeights.find(FontKey(font));
      if (it != lineHeights.end()) return it->second;
    }
    Use(font, oneLine ? std::string_view() : text);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    const double height = static_cast<double>(h) / PANGO_SCALE;
    if (oneLine) lineHeights[FontKey(font)] = height;
    return height;
  }
  static std::string FontKey(const platform::StdFont& f) {
    return f.Name() + '\x1f' + std::to_string(f.Size()) + '\x1f' + std::to_string(f.Weight()) + (f.Italic() ? "i" : "");
  }

  PangoContext* context = nullptr;
  PangoLayout* layout = nullptr;
  platform::StdFont currentFont;
  bool haveFont = false, haveText = false;
  std::string currentText;
  std::unordered_map<std::string, double> lineHeights;
};

// --- the open document ----------------------------------------------------------------------------

struct PdfPrinter::Document {
  ~Document() {
    for (auto& entry : pictures) cairo_surface_destroy(entry.second);
    if (cr) cairo_destroy(cr);
    if (surface) cairo_surface_destroy(surface);
  }
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  std::filesystem::path file, part;
  int32_t pages = 1;
  // Equal pictures (the same icon on every row) are stored in the file once.
  std::map<uint64_t, cairo_surface_t*> pictures;
};

PdfPrinter::PdfPrinter(PageSetup page, std::filesystem::path folder)
    : page_(std::move(page)), folder_(std::move(folder)), text_(std::make_unique<Text>()) {}

PdfPrinter::~PdfPrinter() {
  if (doc_) KillDoc();
}

bool PdfPrinter::DocumentOpen() const { return doc_ != nullptr; }
int32_t PdfPrinter::PageCount() const { return doc_ ? doc_->pages : 0; }

void PdfPrinter::Orientation(int16_t o) {
  if (o != vbPRORPortrait && o != vbPRORLandscape) Raise(err::InvalidPropertyValue, "Printer");
  orientation_ = o;
}

float PdfPrinter::ScaleWidth() const {
  const double w = orientation_ == vbPRORPortrait ? page_.width - page_.left - page_.right
                                                  : page_.height - page_.top - page_.bottom;
  return static_cast<float>(w * kTwipsPerPoint);
}

float PdfPrinter::ScaleHeight() const {
  const double h = orientation_ == vbPRORPortrait ? page_.height - page_.top - page_.bottom
                                                  : page_.width - page_.left - page_.right;
  return static_cast<float>(h * kTwipsPerPoint);
}

float PdfPrinter::TextWidth(std::string_view text) const {
  return static_cast<float>(text_->Width(font_, text) * kTwipsPerPoint);
}

float PdfPrinter::TextHeight(std::string_view text) const {
  return static_cast<float>(text_->Height(font_, text) * kTwipsPerPoint);
}

std::filesystem::path PdfPrinter::PathForNextDocument() {
  if (!nextFile_.empty()) {
    std::filesystem::path file = std::move(nextFile_);
    nextFile_.clear();
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    return file;
  }
  return DatedFileIn(folder_, jobName_);
}

std::filesystem::path PdfPrinter::DatedFileIn(const std::filesystem::path& folder, std::string_view name) {
  std::filesystem::create_directories(folder);
  std::string base;
  for (char c : name) base += (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) ? '-' : c;
  if (base.empty()) base = "Report";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, " %Y-%m-%d %H%M%S", &local);
  base += stamp;
  std::filesystem::path file = folder / (base + ".pdf");
  for (int n = 2; std::filesystem::exists(file); ++n) file = folder / (base + " (" + std::to_string(n) + ").pdf");
  return file;
}

void PdfPrinter::DocumentFinished(const std::filesystem::path&) {}

void PdfPrinter::Begin() {
  if (doc_) return;
  auto doc = std::make_unique<Document>();
  try {
    doc->file = PathForNextDocument();
  } catch (const std::filesystem::filesystem_error& e) {
    Raise(err::PathFileAccessError, "Printer", std::string("The report's folder cannot be made: ") + e.what());
  }
  doc->part = doc->file;
  doc->part += ".part";
  doc->surface = cairo_pdf_surface_create(doc->part.c_str(), page_.width, page_.height);
  if (cairo_surface_status(doc->surface) != CAIRO_STATUS_SUCCESS)
    Raise(err::PathFileAccessError, "Printer", "The report cannot be written to " + doc->file.string() + ": " +
                                                   cairo_status_to_string(cairo_surface_status(doc->surface)));
  title_ = jobName_;
  cairo_pdf_surface_set_metadata(doc->surface, CAIRO_PDF_METADATA_TITLE, title_.c_str());
  cairo_pdf_surface_set_metadata(doc->surface, CAIRO_PDF_METADATA_CREATOR, "Tamarind");
  doc->cr = cairo_create(doc->surface);
  doc_ = std::move(doc);
  StartPage();
}

// Sizes the page for the orientation asked for now and moves the origin to the printable area.
void PdfPrinter::StartPage() {
  const bool portrait = orientation_ == vbPRORPortrait;
  cairo_pdf_surface_set_size(doc_->surface, portrait ? page_.width : page_.height,
                             portrait ? page_.height : page_.width);
  // Landscape turns the sheet a quarter clockwise: its left margin is the sheet's bottom one.
  const double left = portrait ? page_.left : page_.bottom;
  const double top = portrait ? page_.top : page_.left;
  cairo_identity_matrix(doc_->cr);
  cairo_translate(doc_->cr, left, top);
  cairo_set_line_width(doc_->cr, kLineWidth);
}

void PdfPrinter::Print(std::string_view text) {
  const bool opening = !doc_;
  Begin();
  // A document that opens with a line of text (a report's heading) is titled by it.
  if (opening && !text.empty()) {
    title_ = std::string(text.substr(0, text.find('\n')));
    cairo_pdf_surface_set_metadata(doc_->surface, CAIRO_PDF_METADATA_TITLE, title_.c_str());
  }
  cairo_t* cr = doc_->cr;
  text_->Use(font_, text);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, x_ / kTwipsPerPoint, y_ / kTwipsPerPoint);
  pango_cairo_show_layout(cr, text_->layout);
  const float height = TextHeight(text);
  x_ = 0;
  y_ += height;
}

void PdfPrinter::Line(float x1, float y1, float x2, float y2, OLE_COLOR color, platform::LineKind kind) {
  Begin();
  cairo_t* cr = doc_->cr;
  SetColor(cr, color);
  const double ax = x1 / kTwipsPerPoint, ay = y1 / kTwipsPerPoint, bx = x2 / kTwipsPerPoint,
               by = y2 / kTwipsPerPoint;
  switch (kind) {
    case platform::LineKind::Line:
      cairo_move_to(cr, ax, ay);
      cairo_line_to(cr, bx, by);
      cairo_stroke(cr);
      break;
    case platform::LineKind::Box:
      cairo_rectangle(cr, std::min(ax, bx), std::min(ay, by), std::fabs(bx - ax), std::fabs(by - ay));
      cairo_stroke(cr);
      break;
    case platform::LineKind::FilledBox:
      cairo_rectangle(cr, std::min(ax, bx), std::min(ay, by), std::fabs(bx - ax), std::fabs(by - ay));
      cairo_fill(cr);
      break;
  }
  x_ = x2;
  y_ = y2;
}

void PdfPrinter::PaintPicture(const platform::StdPicture& picture, float x, float y, float width, float height,
                              int32_t) {
  if (picture.IsEmpty()) Raise(err::InvalidPicture, "Printer");
  Begin();
  const int w = picture.WidthPx(), h = picture.HeightPx();
  const auto& pixels = picture.Pixels();
  uint64_t hash = Fnv1a(pixels.data(), pixels.size() * sizeof(OLE_COLOR));
  hash = Fnv1a(&w, sizeof w, hash);
  hash = Fnv1a(&h, sizeof h, hash);
  cairo_surface_t*& image = doc_->pictures[hash];
  if (!image) {
    image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int row = 0; row < h; ++row) {
      auto* out = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(row) * stride);
      for (int col = 0; col < w; ++col) {
        const OLE_COLOR c = pixels[static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(col)];
        out[col] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
    }
    cairo_surface_mark_dirty(image);
  }
  cairo_t* cr = doc_->cr;
  cairo_save(cr);
  cairo_translate(cr, x / kTwipsPerPoint, y / kTwipsPerPoint);
  cairo_scale(cr, width / kTwipsPerPoint / w, height / kTwipsPerPoint / h);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void PdfPrinter::NewPage() {
  Begin();
  cairo_show_page(doc_->cr);
  ++doc_->pages;
  StartPage();
  x_ = 0;
  y_ = 0;
}

void PdfPrinter::EndDoc() {
  x_ = 0;
  y_ = 0;
  if (!doc_) return;
  std::unique_ptr<Document> doc = std::move(doc_);
  cairo_destroy(doc->cr);
  doc->cr = nullptr;
  cairo_surface_finish(doc->surface);
  const cairo_status_t status = cairo_surface_status(doc->surface);
  const std::filesystem::path file = doc->file, part = doc->part;
  const int32_t pages = doc->pages;
  doc.reset();
  std::error_code ec;
  if (status != CAIRO_STATUS_SUCCESS) {
    std::filesystem::remove(part, ec);
    Raise(err::PathFileAccessError, "Printer",
          "The report could not be written to " + file.string() + ": " + cairo_status_to_string(status));
  }
  // The part is on disk before it takes the name (after a crash the name holds the old file or
  // the new one), and the rename replaces an older file whole.
  if (!Synced(part)) ec = std::make_error_code(std::errc::io_error);
  if (!ec) std::filesystem::rename(part, file, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    Raise(err::PathFileAccessError, "Printer", "The report could not be written to " + file.string());
  }
  lastOutput_ = file;
  lastPages_ = pages;
  DocumentFinished(file);
}

void PdfPrinter::KillDoc() {
  x_ = 0;
  y_ = 0;
  if (!doc_) return;
  const std::filesystem::path part = doc_->part;
  doc_.reset();
  std::error_code ec;
  std::filesystem::remove(part, ec);
}

}  // namespace tamarind::printing
