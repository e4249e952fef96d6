#include "platform/Picture.h"

#include <algorithm>
#include <atomic>

#include "runtime/Error.h"

namespace tamarind::platform {

namespace {
void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
uint32_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return Get16(b, at) | (Get16(b, at + 2) << 16); }
[[noreturn]] void Invalid(const char* why) { Raise(err::InvalidPicture, "StdPicture", std::string("Invalid picture: ") + why); }
}  // namespace

intptr_t StdPicture::NextHandle() {
  static std::atomic<intptr_t> next{0x2000};
  return next.fetch_add(4);
}

StdPicture::StdPicture(int32_t widthPx, int32_t heightPx, OLE_COLOR fill) {
  if (widthPx <= 0 || heightPx <= 0) Invalid("a bitmap needs a width and a height");
  // A size that comes from outside (a control's width, a file) must never become an allocation
  // the process cannot survive.
  if (widthPx > kMaxSidePx || heightPx > kMaxSidePx || int64_t{widthPx} * heightPx > kMaxPixels)
    Raise(err::OutOfMemory, "StdPicture");
  width_ = widthPx;
  height_ = heightPx;
  pixels_.assign(static_cast<size_t>(widthPx) * static_cast<size_t>(heightPx), fill & 0xFFFFFF);
  handle_ = NextHandle();
}

int32_t StdPicture::Width() const { return static_cast<int32_t>((static_cast<int64_t>(width_) * 2540 + 48) / 96); }
int32_t StdPicture::Height() const { return static_cast<int32_t>((static_cast<int64_t>(height_) * 2540 + 48) / 96); }

OLE_COLOR StdPicture::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) Raise(err::InvalidProcedureCall);
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void StdPicture::SetPixel(int32_t x, int32_t y, OLE_COLOR c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) Raise(err::InvalidProcedureCall);
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = c & 0xFFFFFF;
}

void StdPicture::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, OLE_COLOR c) {
  const int32_t left = std::max(0, std::min(x1, x2)), right = std::min(width_, std::max(x1, x2));
  const int32_t top = std::max(0, std::min(y1, y2)), bottom = std::min(height_, std::max(y1, y2));
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = left; x < right; ++x)
      pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = c & 0xFFFFFF;
}

std::vector<uint8_t> StdPicture::ToBmp() const {
  std::vector<uint8_t> b;
  if (IsEmpty()) return b;
  const uint32_t rowBytes = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height_);
  b.reserve(54 + imageBytes);
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + imageBytes);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);  // BITMAPINFOHEADER
  Put32(b, static_cast<uint32_t>(width_));
  Put32(b, static_cast<uint32_t>(height_));  // positive: rows from the bottom up
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);  // BI_RGB
  Put32(b, imageBytes);
  Put32(b, 3780);  // 96 dpi
  Put32(b, 3780);
  Put32(b, 0);
  Put32(b, 0);
  // The pixel rows are written in place into a buffer of their final size (rows from the bottom
  // up, each padded to four bytes with zeros).
  b.resize(54 + static_cast<size_t>(imageBytes), 0);
  uint8_t* out = b.data() + 54;
  for (int32_t y = height_ - 1; y >= 0; --y, out += rowBytes) {
    const OLE_COLOR* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
    for (int32_t x = 0; x < width_; ++x) {
      const OLE_COLOR c = row[x];
      out[3 * x] = static_cast<uint8_t>(c >> 16);     // blue
      out[3 * x + 1] = static_cast<uint8_t>(c >> 8);  // green
      out[3 * x + 2] = static_cast<uint8_t>(c);       // red
    }
  }
  return b;
}

std::shared_ptr<StdPicture> StdPicture::FromBmp(const std::vector<uint8_t>& b) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') Invalid("not a bitmap file");
  const uint32_t dataOffset = Get32(b, 10);
  const uint32_t headerSize = Get32(b, 14);
  if (headerSize < 40) Invalid("unsupported bitmap header");
  const auto width = static_cast<int32_t>(Get32(b, 18));
  const auto rawHeight = static_cast<int32_t>(Get32(b, 22));
  const uint32_t bits = Get16(b, 28), compression = Get32(b, 30);
  if (Get16(b, 26) != 1 || (bits != 24 && bits != 32) || (compression != 0 && compression != 3))
    Invalid("only uncompressed 24-bit and 32-bit bitmaps are read");
  if (width <= 0 || rawHeight == 0 || width > kMaxSidePx || rawHeight > kMaxSidePx || rawHeight < -kMaxSidePx)
    Invalid("bad bitmap size");
  const bool bottomUp = rawHeight > 0;
  const int32_t height = bottomUp ? rawHeight : -rawHeight;
  const uint32_t bytesPerPixel = bits / 8;
  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bytesPerPixel + 3) & ~uint64_t{3};
  if (dataOffset > b.size() || b.size() - dataOffset < rowBytes * static_cast<uint64_t>(height))
    Invalid("truncated bitmap");
  auto pic = std::make_shared<StdPicture>(width, height);
  for (int32_t row = 0; row < height; ++row) {
    const int32_t y = bottomUp ? height - 1 - row : row;
    const uint8_t* at = b.data() + dataOffset + static_cast<size_t>(rowBytes) * static_cast<size_t>(row);
    OLE_COLOR* out = pic->pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < width; ++x, at += bytesPerPixel) out[x] = RGB(at[2], at[1], at[0]);
  }
  return pic;
}

std::shared_ptr<StdPicture> StdPicture::Clone() const {
  auto copy = std::make_shared<StdPicture>(*this);
  if (!IsEmpty()) copy->handle_ = NextHandle();
  return copy;
}

}  // namespace tamarind::platform
