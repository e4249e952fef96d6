#include "dataio/RecordSetFill.h"

#include <optional>
#include <vector>

#include "presentation/basTOKENS.h"
#include "runtime/Conversions.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"

namespace tamarind::dataio {

using namespace platform;

namespace {

// The entries of a ":" list, each read as a field ordinal: Error 13 for an entry that is no
// number (an empty one included).
std::vector<int16_t> Ordinals(Toolkit& tk, const std::string& list) {
  std::string work = list;
  const int16_t n = basTOKENS::CountTokens(tk, list, ":");
  std::vector<int16_t> out;
  out.reserve(static_cast<size_t>(n));
  for (int16_t i = 0; i < n; ++i) out.push_back(CInt(Variant(basTOKENS::GetToken(tk, work, ":"))));
  return out;
}

// The recordset's Fields collection, asked by name for one field after another. It is fetched
// again for every record (rs.Fields), since a host's recordset may hand out a new collection per
// record; the argument list is kept between calls.
class FieldsOf {
 public:
  explicit FieldsOf(const Variant& rs) { Load(rs); }
  // rs.Fields, for the record the recordset is on now.
  void Load(const Variant& rs) {
    fields_ = Get(rs, "Fields");
    if (!fields_.IsObject() || fields_.IsNothing()) Raise(err::ObjectNotSet);
    target_ = fields_.AsObject()->AsDispatchable();
    if (!target_) Raise(err::ObjectDoesNotSupport);
  }
  // Fields(ordinal)
  Variant operator()(int16_t ordinal) {
    // The callee may have changed the list (arguments are by reference): set it up afresh.
    if (index_.size() != 1) {
      index_.clear();
      index_.emplace_back(Variant(ordinal));
    } else {
      index_[0].name.clear();
      index_[0].value = Variant(ordinal);
    }
    return target_->Invoke("", CallType::Get, index_);
  }
  const Variant& Collection() const { return fields_; }

 private:
  Variant fields_;
  Dispatchable* target_ = nullptr;
  Arguments index_;
};

// A value joined to "": Null gives "", anything else its text form. The text is moved out of
// the value where it already is one.
std::string CellText(Variant&& v) {
  if (v.IsNull()) return {};
  if (v.IsString()) return std::move(const_cast<std::string&>(v.AsString()));
  return CStr(v);
}

std::string RowKey(FieldsOf& fields, const std::vector<int16_t>& keyFields) {
  std::string key;
  for (size_t i = 0; i < keyFields.size(); ++i) {
    const Variant v = DefaultValue(fields(keyFields[i]));
    // The first value is the key's start and must have a text (Null is Error 94); later ones are
    // joined to it, a Null adding nothing after its ":".
    if (i == 0)
      key = CStr(v);
    else
      key += ":" + (v.IsNull() ? std::string() : CStr(v));
  }
  if (IsNumeric(Variant(key))) key = "'" + key + "'";
  return key;
}

}  // namespace

void FillListViewFromRS(Toolkit& tk, ListView& lv, const Variant& rs, const std::string& cols,
                        const std::string& keycol, const std::string& colNAMES) {
  ReportAndEnd(tk, ":Error in FillListViewFromRS.  Error Message: ", vbCritical, [&] {
    lv.ListItems().Clear();
    lv.ColumnHeaders().Clear();
    if (rs.IsNothing()) return;

    std::vector<int16_t> shown;
    if (!cols.empty()) {
      shown = Ordinals(tk, cols);
      FieldsOf fields(rs);
      std::string captions = colNAMES;  // the caller's own list stays as it was
      for (const int16_t ordinal : shown) {
        std::string caption = captions.empty() ? std::string() : basTOKENS::GetToken(tk, captions, ":");
        // An empty caption ("Id::City") leaves the column to its field's name, as a missing one does.
        if (caption.empty()) caption = CStr(Get(fields(ordinal), "Name"));
        lv.ColumnHeaders().Add(0, {}, std::move(caption));
      }
    } else {
      FieldsOf fields(rs);
      const int32_t count = CLng(Get(fields.Collection(), "Count"));
      for (int32_t i = 0; i < count; ++i) {
        const auto ordinal = static_cast<int16_t>(i);
        lv.ColumnHeaders().Add(0, {}, CStr(Get(fields(ordinal), "Name")));
        shown.push_back(ordinal);
      }
    }

    // The key's fields are read with the first record, so a recordset already at its end gives
    // the columns and no error.
    std::optional<std::vector<int16_t>> keyFields;
    std::optional<FieldsOf> fields;
    while (!CBool(Get(rs, "EOF"))) {
      if (!keyFields) keyFields = Ordinals(tk, keycol);
      if (fields)
        fields->Load(rs);
      else
        fields.emplace(rs);
      std::string key = keyFields->empty() ? std::string() : RowKey(*fields, *keyFields);
      ListItemRef item;
      for (size_t k = 0; k < shown.size(); ++k) {
        std::string text = CellText(DefaultValue((*fields)(shown[k])));
        if (k == 0)
          item = lv.ListItems().Add(0, std::move(key), std::move(text));
        else
          item->SubItems(static_cast<int32_t>(k), std::move(text));
      }
      Call(rs, "MoveNext");
    }
  });
}

}  // namespace tamarind::dataio
