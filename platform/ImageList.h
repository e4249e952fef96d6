#pragma once
// The common-controls image list: a 1-based collection of equally sized images.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class ListImage {
 public:
  int32_t Index = 0;
  std::string Key;
  PictureRef Picture;
};

class ImageList : public Object {
 public:
  std::string TypeName() const override { return "ImageList"; }

  // 0 until set or until the first image fixes them.
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }
  // Error 380 while the list holds images (the size is fixed then) and for a negative size. A size
  // larger than StdPicture::kMaxSidePx is kept, but no picture has it: such a list stays empty.
  void ImageWidth(int32_t px);
  void ImageHeight(int32_t px);
  OLE_COLOR MaskColor() const { return maskColor_; }
  void MaskColor(OLE_COLOR c) { maskColor_ = c; }
  bool UseMaskColor() const { return useMaskColor_; }
  void UseMaskColor(bool v) { useMaskColor_ = v; }
  // The images are strokes in the classic light (white) and shadow (grey) colours that a
  // realisation may draw in its own theme's colours; a host's own images are drawn as they are.
  bool ThemeStrokes() const { return themeStrokes_; }
  void ThemeStrokes(bool v) { themeStrokes_ = v; }

  // ListImages
  int32_t Count() const { return static_cast<int32_t>(images_.size()); }
  // Adds an image at index (1-based; 0 = at the end). The first image fixes a size that was 0;
  // later images must have that size (Error 481 otherwise). Error 35602 for a key in use,
  // 35600 for an index out of range, 481 for an empty picture.
  const ListImage& Add(int32_t index, std::string key, PictureRef picture);
  const ListImage& Add(PictureRef picture) { return Add(0, {}, std::move(picture)); }
  // By 1-based index (35600 when out of range) or by key (35601 when absent).
  const ListImage& Item(int32_t index) const;
  const ListImage& Item(std::string_view key) const;
  // A Variant index: a number is an index, a string a key.
  const ListImage& Item(const Variant& indexOrKey) const;
  const ListImage& Item(const char* key) const { return Item(std::string_view(key)); }
  void Remove(int32_t index);
  void Clear();  // the size stays as it is

  // The first image drawn with the second laid over it (mask colour transparent).
  PictureRef Overlay(const Variant& key1, const Variant& key2) const;

  bool SameImages(const ImageList& other) const;

 private:
  void Renumber();
  int32_t imageWidth_ = 0, imageHeight_ = 0;
  OLE_COLOR maskColor_ = 0x00C0C0C0;
  bool useMaskColor_ = true;
  bool themeStrokes_ = false;
  std::vector<ListImage> images_;
};
using ImageListRef = std::shared_ptr<ImageList>;

}  // namespace tamarind::platform
