#pragma once
// The platform's picture object: a bitmap of 24-bit colour pixels, or the empty picture.
// Every non-empty picture has its own non-zero Handle; the empty picture's Handle is 0.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class StdPicture : public Object {
 public:
  // The empty picture.
  StdPicture() = default;
  // The largest bitmap: kMaxSidePx on either side and kMaxPixels in all.
  static constexpr int32_t kMaxSidePx = 32768;
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  // A bitmap filled with one colour (an RGB value, no system colour). Error 481 for a side that
  // is not above 0, Error 7 (Out of memory) for a bitmap larger than the limits above.
  StdPicture(int32_t widthPx, int32_t heightPx, OLE_COLOR fill = 0);

  std::string TypeName() const override { return "StdPicture"; }

  // 0 for the empty picture.
  intptr_t Handle() const { return handle_; }
  bool IsEmpty() const { return handle_ == 0; }
  int16_t Type() const { return IsEmpty() ? 0 : 1; }  // 0 none, 1 bitmap
  int32_t WidthPx() const { return width_; }
  int32_t HeightPx() const { return height_; }
  // Size in HiMetric units (0.01 mm), as the platform reports a picture's Width and Height.
  int32_t Width() const;
  int32_t Height() const;

  // Pixels as RGB colour values, row by row from the top.
  OLE_COLOR Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, OLE_COLOR c);
  // Fills the rectangle [x1, x2) x [y1, y2), clipped to the bitmap.
  void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, OLE_COLOR c);
  const std::vector<OLE_COLOR>& Pixels() const { return pixels_; }

  // Bitmap files: an uncompressed 24-bit (or 32-bit) BMP. ToBmp of the empty picture is empty.
  std::vector<uint8_t> ToBmp() const;
  // Error 481 (Invalid picture) for bytes that are no bitmap this reader understands.
  static std::shared_ptr<StdPicture> FromBmp(const std::vector<uint8_t>& bytes);

  std::shared_ptr<StdPicture> Clone() const;
  bool SamePixels(const StdPicture& other) const {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
  }

 private:
  static intptr_t NextHandle();
  intptr_t handle_ = 0;
  int32_t width_ = 0, height_ = 0;
  std::vector<OLE_COLOR> pixels_;
};
using PictureRef = std::shared_ptr<StdPicture>;

}  // namespace tamarind::platform
