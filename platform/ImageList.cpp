#include "platform/ImageList.h"

#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

void ImageList::ImageWidth(int32_t px) {
  if (!images_.empty() || px < 0) Raise(err::InvalidPropertyValue, "ImageList");
  imageWidth_ = px;
}

void ImageList::ImageHeight(int32_t px) {
  if (!images_.empty() || px < 0) Raise(err::InvalidPropertyValue, "ImageList");
  imageHeight_ = px;
}

const ListImage& ImageList::Add(int32_t index, std::string key, PictureRef picture) {
  if (!picture || picture->IsEmpty()) Raise(err::InvalidPicture, "ImageList");
  if (index < 0 || index > Count() + 1) Raise(err::IndexOutOfBounds, "ImageList");
  if (!key.empty()) {
    if (IsNumeric(Variant(key))) Raise(err::InvalidKey, "ImageList");
    for (const auto& img : images_)
      if (img.Key == key) Raise(err::KeyNotUnique, "ImageList");
  }
  if (imageWidth_ == 0 && imageHeight_ == 0) {
    imageWidth_ = picture->WidthPx();
    imageHeight_ = picture->HeightPx();
  } else if (picture->WidthPx() != imageWidth_ || picture->HeightPx() != imageHeight_) {
    Raise(err::InvalidPicture, "ImageList", "Invalid picture: the image is not of the image list's size");
  }
  const size_t pos = index == 0 ? images_.size() : static_cast<size_t>(index - 1);
  images_.insert(images_.begin() + static_cast<std::ptrdiff_t>(pos), ListImage{0, std::move(key), std::move(picture)});
  Renumber();
  return images_[pos];
}

const ListImage& ImageList::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ImageList");
  return images_[static_cast<size_t>(index - 1)];
}

const ListImage& ImageList::Item(std::string_view key) const {
  for (const auto& img : images_)
    if (img.Key == key) return img;
  Raise(err::ElementNotFound, "ImageList");
}

const ListImage& ImageList::Item(const Variant& indexOrKey) const {
  if (indexOrKey.IsString()) return Item(std::string_view(indexOrKey.AsString()));
  return Item(CLng(indexOrKey));
}

void ImageList::Remove(int32_t index) {
  Item(index);
  images_.erase(images_.begin() + (index - 1));
  Renumber();
}

void ImageList::Clear() { images_.clear(); }

void ImageList::Renumber() {
  for (size_t i = 0; i < images_.size(); ++i) images_[i].Index = static_cast<int32_t>(i + 1);
}

PictureRef ImageList::Overlay(const Variant& key1, const Variant& key2) const {
  const StdPicture& base = *Item(key1).Picture;
  const StdPicture& over = *Item(key2).Picture;
  auto result = base.Clone();
  for (int32_t y = 0; y < over.HeightPx() && y < result->HeightPx(); ++y)
    for (int32_t x = 0; x < over.WidthPx() && x < result->WidthPx(); ++x) {
      const OLE_COLOR c = over.Pixel(x, y);
      if (!useMaskColor_ || c != (maskColor_ & 0xFFFFFF)) result->SetPixel(x, y, c);
    }
  return result;
}

bool ImageList::SameImages(const ImageList& other) const {
  if (imageWidth_ != other.imageWidth_ || imageHeight_ != other.imageHeight_ || images_.size() != other.images_.size() ||
      maskColor_ != other.maskColor_ || useMaskColor_ != other.useMaskColor_)
    return false;
  for (size_t i = 0; i < images_.size(); ++i)
    if (images_[i].Key != other.images_[i].Key || !images_[i].Picture->SamePixels(*other.images_[i].Picture))
      return false;
  return true;
}

}  // namespace tamarind::platform
