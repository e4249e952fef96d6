#pragma once
// The data of an OLE drag: values by clipboard format.

#include <cstdint>
#include <map>

#include "runtime/Variant.h"

namespace tamarind::platform {

class DataObject : public Object {
 public:
  std::string TypeName() const override { return "DataObject"; }
  void Clear() { data_.clear(); }
  bool GetFormat(int16_t format) const { return data_.count(format) != 0; }
  Variant GetData(int16_t format) const;
  void SetData(Variant value, int16_t format) { data_[format] = std::move(value); }

 private:
  std::map<int16_t, Variant> data_;
};

}  // namespace tamarind::platform
