#include "platform/DataObject.h"

#include "runtime/Error.h"

namespace tamarind::platform {

Variant DataObject::GetData(int16_t format) const {
  auto it = data_.find(format);
  if (it == data_.end()) Raise(err::InvalidProcedureCall, "DataObject");
  return it->second;
}

}  // namespace tamarind::platform
