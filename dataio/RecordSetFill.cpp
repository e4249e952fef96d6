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

// rs.Fields(ordinal), read through the recordset's names on every call: a host's recordset may
// hand out a new field object per record.
Variant FieldOf(const Variant& rs, int16_t ordinal) {
  Arguments index{Variant(ordinal)};
  return Invoke(Get(rs, "Fields"), "", CallType::Get, std::move(index));
}

// A value joined to "": Null gives "", anything else its text form. The text is moved out of
// the value where it already is one.
std::string CellText(Variant&& v) {
  if (v.IsNull()) return {};
  if (v.IsString()) return std::move(const_cast<std::string&>(v.AsString()));
  return CStr(v);
}

std::string RowKey(const Variant& rs, const std::vector<int16_t>& keyFields) {
  std::string key;
  for (size_t i = 0; i < keyFields.size(); ++i) {
    const Variant v = DefaultValue(FieldOf(rs, keyFields[i]));
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
      std::string captions = colNAMES;  // the caller's own list stays as it was
      for (const int16_t ordinal : shown) {
        std::string caption = captions.empty() ? std::string() : basTOKENS::GetToken(tk, captions, ":");
        // An empty caption ("Id::City") leaves the column to its field's name, as a missing one does.
        if (caption.empty()) caption = CStr(Get(FieldOf(rs, ordinal), "Name"));
        lv.ColumnHeaders().Add(0, {}, std::move(caption));
      }
    } else {
      const Variant fields = Get(rs, "Fields");
      const int32_t count = CLng(Get(fields, "Count"));
      for (int32_t i = 0; i < count; ++i) {
        const auto ordinal = static_cast<int16_t>(i);
        lv.ColumnHeaders().Add(0, {}, CStr(Get(FieldOf(rs, ordinal), "Name")));
        shown.push_back(ordinal);
      }
    }

    // The key's fields are read with the first record, so a recordset already at its end gives
    // the columns and no error.
    std::optional<std::vector<int16_t>> keyFields;
    while (!CBool(Get(rs, "EOF"))) {
      if (!keyFields) keyFields = Ordinals(tk, keycol);
      std::string key = keyFields->empty() ? std::string() : RowKey(rs, *keyFields);
      ListItemRef item;
      for (size_t k = 0; k < shown.size(); ++k) {
        std::string text = CellText(DefaultValue(FieldOf(rs, shown[k])));
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
