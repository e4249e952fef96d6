#include "platform/qt/QtSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QKeyEvent>

#include <algorithm>

#include <string_view>

#include "runtime/Error.h"

namespace tamarind::platform::qt {

QString ToQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string ToUtf8(const QString& s) {
  const QByteArray bytes = s.toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QPalette::ColorRole SystemColorRole(OLE_COLOR c) {
  if (!IsSystemColor(c)) return QPalette::NoRole;
  switch (c & 0xFF) {
    case 5: return QPalette::Base;              // window background
    case 6: return QPalette::Shadow;            // window frame
    case 7: case 8: return QPalette::Text;      // menu text, window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: case 0: case 4: return QPalette::Button;  // button face, scroll bars, menu bar
    case 16: return QPalette::Mid;              // button shadow
    case 17: return QPalette::PlaceholderText;  // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;            // button highlight
    case 21: return QPalette::Dark;             // 3-D dark shadow
    case 22: return QPalette::Midlight;         // 3-D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
  }
}

QColor ToQColor(OLE_COLOR c, const QPalette& palette) {
  const QPalette::ColorRole role = SystemColorRole(c);
  if (role != QPalette::NoRole) return palette.color(QPalette::Active, role);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

QFont ToQFont(const StdFont& f) {
  QFont font(ToQString(f.Name()));
  font.setPointSizeF(f.Size() > 0 ? static_cast<double>(f.Size()) : 8.25);
  font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(f.Weight(), 1, 1000)));
  font.setItalic(f.Italic());
  font.setUnderline(f.Underline());
  font.setStrikeOut(f.Strikethrough());
  return font;
}

FontRef FromQFont(const QFont& f) {
  auto font = std::make_shared<StdFont>(ToUtf8(f.family()), static_cast<float>(f.pointSizeF() > 0 ? f.pointSizeF() : 8.0));
  font->Weight(static_cast<int16_t>(f.weight()));
  font->Italic(f.italic());
  font->Underline(f.underline());
  font->Strikethrough(f.strikeOut());
  return font;
}

QImage ToQImage(const StdPicture& p) {
  if (p.IsEmpty()) return {};
  QImage image(p.WidthPx(), p.HeightPx(), QImage::Format_RGB32);
  const std::vector<OLE_COLOR>& px = p.Pixels();
  for (int y = 0; y < p.HeightPx(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < p.WidthPx(); ++x) {
      const OLE_COLOR c = px[static_cast<size_t>(y) * static_cast<size_t>(p.WidthPx()) + static_cast<size_t>(x)];
      line[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
    }
  }
  return image;
}

PictureRef FromQImage(const QImage& image) {
  if (image.isNull()) Raise(err::InvalidPicture, "LoadPicture");
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  auto picture = std::make_shared<StdPicture>(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x)
      picture->SetPixel(x, y, RGB(static_cast<uint8_t>(qRed(line[x])), static_cast<uint8_t>(qGreen(line[x])),
                                  static_cast<uint8_t>(qBlue(line[x]))));
  }
  return picture;
}

PictureRef ReadPicture(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  if (!buffer.open(QIODevice::ReadOnly)) Raise(err::InvalidPicture, "LoadPicture");
  QImageReader reader(&buffer);
  reader.setAutoTransform(false);
  // A picture larger than any bitmap the platform holds is refused before it is decoded, as the
  // bitmap itself would refuse it (Error 7). Decoding works in proportion to the picture, not to
  // the file, and some readers fill out a file cut short: a few bytes could cost seconds. No real
  // image file is that compressible (a deflated picture of one colour holds about a thousand
  // pixels per byte), so a picture may have at most kPixelsPerByte pixels per byte of its file
  // beyond a first megapixel. A file that does not tell its size before decoding is held to the
  // same once decoded, before its pixels are copied.
  constexpr int64_t kPixelsPerByte = 1024, kFreePixels = int64_t{1} << 20;
  const int64_t mostPixels = kFreePixels + kPixelsPerByte * bytes.size();
  const auto refuseIfTooLarge = [&](const QSize& size) {
    const int64_t pixels = int64_t{size.width()} * size.height();
    if (size.width() > StdPicture::kMaxSidePx || size.height() > StdPicture::kMaxSidePx ||
        pixels > StdPicture::kMaxPixels)
      Raise(err::OutOfMemory, "LoadPicture");
    if (pixels > mostPixels)
      Raise(err::InvalidPicture, "LoadPicture", "Invalid picture: the file is too small for the picture it declares");
  };
  refuseIfTooLarge(reader.size());
  // Qt's readers refuse to allocate an image beyond the allocation limit before decoding into it:
  // held to the same bound (4 bytes a pixel, in whole megabytes) for the length of this read.
  const int previousLimit = QImageReader::allocationLimit();
  QImageReader::setAllocationLimit(static_cast<int>(std::min<int64_t>(mostPixels * 4 / (1024 * 1024) + 1, 256)));
  const QImage image = reader.read();
  QImageReader::setAllocationLimit(previousLimit);
  if (image.isNull()) Raise(err::InvalidPicture, "LoadPicture");
  refuseIfTooLarge(image.size());
  return FromQImage(image);
}

QImage Masked(const QImage& image, OLE_COLOR maskColor) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb mask = qRgb(static_cast<int>(maskColor & 0xFF), static_cast<int>((maskColor >> 8) & 0xFF),
                         static_cast<int>((maskColor >> 16) & 0xFF));
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0x00FFFFFF) == (mask & 0x00FFFFFF)) line[x] = 0;
  }
  return out;
}

namespace {

struct KeyPair {
  int qt;
  int16_t code;
};

// Keys whose platform code is not their character.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},     {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20},  {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},  {Qt::Key_End, 35},       {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},      {Qt::Key_Up, 38},        {Qt::Key_Right, 39},     {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},    {Qt::Key_Delete, 46},    {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},    {Qt::Key_Plus, 187},     {Qt::Key_Comma, 188},    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},    {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190}, {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},    {Qt::Key_Question, 191}, {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222}, {Qt::Key_QuoteDbl, 222},
    // The shifted digits are the digit keys.
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},  {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
};

}  // namespace

int16_t KeyCodeOf(const QKeyEvent& e) {
  const int key = e.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<int16_t>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    // The number pad's digits have codes of their own.
    if (e.modifiers() & Qt::KeypadModifier) return static_cast<int16_t>(96 + (key - Qt::Key_0));
    return static_cast<int16_t>('0' + (key - Qt::Key_0));
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<int16_t>(112 + (key - Qt::Key_F1));
  for (const KeyPair& k : kKeys)
    if (k.qt == key) return k.code;
  return 0;
}

Qt::Key QtKeyOf(int16_t keyCode) {
  if (keyCode >= 'A' && keyCode <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (keyCode - 'A'));
  if (keyCode >= '0' && keyCode <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (keyCode - '0'));
  if (keyCode >= 112 && keyCode <= 135) return static_cast<Qt::Key>(Qt::Key_F1 + (keyCode - 112));
  for (const KeyPair& k : kKeys)
    if (k.code == keyCode) return static_cast<Qt::Key>(k.qt);
  return Qt::Key_unknown;
}

int16_t ShiftOf(Qt::KeyboardModifiers m) {
  int16_t s = 0;
  if (m & Qt::ShiftModifier) s |= vbShiftMask;
  if (m & Qt::ControlModifier) s |= vbCtrlMask;
  if (m & Qt::AltModifier) s |= vbAltMask;
  return s;
}

int16_t ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
  }
}

int Utf16Index(const QString& s, int32_t characters) {
  int i = 0;
  for (int32_t c = 0; c < characters && i < s.size(); ++c) i += s.at(i).isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
  return i;
}

int32_t CharacterIndex(const QString& s, int utf16) {
  int32_t c = 0;
  for (int i = 0; i < utf16 && i < s.size(); ++c) i += s.at(i).isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
  return c;
}

}  // namespace tamarind::platform::qt
