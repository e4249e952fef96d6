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

// The entries of a ":" list as field ordinals, each read the first time the fill uses it: a bad
// entry (no number, an empty one included: Error 13) ends the fill at the step that needs it, with
// the columns and rows before it in place.
class Ordinals {
 public:
  Ordinals(Toolkit& tk, const std::string& list) : tk_(tk), rest_(list), count_(basTOKENS::CountTokens(tk, list, ":")) {}
  size_t size() const { return static_cast<size_t>(count_); }
  bool empty() const { return count_ == 0; }
  // Entry i; the entries before it have been asked for already.
  int16_t operator[](size_t i) {
    while (read_.size() <= i) read_.push_back(CInt(Variant(basTOKENS::GetToken(tk_, rest_, ":"))));
    return read_[i];
  }

 private:
  Toolkit& tk_;
  std::string rest_;
  int16_t count_;
  std::vector<int16_t> read_;
};

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

std::string RowKey(FieldsOf& fields, Ordinals& keyFields) {
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

    // The shown fields: the entries of cols, or every field when cols is "".
    std::optional<Ordinals> chosen;
    int32_t columns = 0;
    if (!cols.empty()) {
      chosen.emplace(tk, cols);
      FieldsOf fields(rs);
      std::string captions = colNAMES;  // the caller's own list stays as it was
      for (size_t k = 0; k < chosen->size(); ++k) {
        std::string caption = captions.empty() ? std::string() : basTOKENS::GetToken(tk, captions, ":");
        // An empty caption ("Id::City") leaves the column to its field's name, as a missing one does.
        if (caption.empty()) caption = CStr(Get(fields((*chosen)[k]), "Name"));
        lv.ColumnHeaders().Add(0, {}, std::move(caption));
        ++columns;
      }
    } else {
      FieldsOf fields(rs);
      columns = CLng(Get(fields.Collection(), "Count"));
      for (int32_t i = 0; i < columns; ++i) lv.ColumnHeaders().Add(0, {}, CStr(Get(fields(static_cast<int16_t>(i)), "Name")));
    }
    auto field = [&](int32_t k) { return chosen ? (*chosen)[static_cast<size_t>(k)] : static_cast<int16_t>(k); };

    Ordinals keyFields(tk, keycol);
    std::optional<FieldsOf> fields;
    while (!CBool(Get(rs, "EOF"))) {
      if (fields)
        fields->Load(rs);
      else
        fields.emplace(rs);
      std::string key = keyFields.empty() ? std::string() : RowKey(*fields, keyFields);
      ListItemRef item;
      for (int32_t k = 0; k < columns; ++k) {
        std::string text = CellText(DefaultValue((*fields)(field(k))));
        if (k == 0)
          item = lv.ListItems().Add(0, std::move(key), std::move(text));
        else
          item->SubItems(k, std::move(text));
      }
      Call(rs, "MoveNext");
    }
  });
}

}  // namespace tamarind::dataio
