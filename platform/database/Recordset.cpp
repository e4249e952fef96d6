#include "platform/database/Recordset.h"

#include <cmath>

#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::database {

void RaiseNoCurrentRecord() {
  Raise(err::InvalidProcedureCall, "Recordset", "No current record: the recordset is past its last record");
}

// --- Field ------------------------------------------------------------------------------------------

Variant Field::Value() const {
  if (cursor_->AtEnd()) RaiseNoCurrentRecord();
  return cursor_->Value(ordinal_);
}

Variant Field::Invoke(std::string_view name, CallType type, Arguments& args) {
  if (type == CallType::Get && args.empty()) {
    if (name.empty() || SameName(name, "Value")) return Value();
    if (SameName(name, "Name")) return Variant(Name());
  }
  Raise(err::ObjectDoesNotSupport, "Field");
}

// --- Fields -----------------------------------------------------------------------------------------

Fields::Fields(std::shared_ptr<Cursor> cursor) : cursor_(std::move(cursor)) {
  const int32_t n = cursor_->FieldCount();
  items_.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) items_.push_back(std::make_shared<Field>(cursor_, i));
}

const std::shared_ptr<Field>& Fields::Item(const Variant& indexOrName) const {
  if (indexOrName.IsString()) {
    for (const auto& f : items_)
      if (SameName(f->Name(), indexOrName.AsString())) return f;
    Raise(err::SubscriptOutOfRange, "Fields", "Subscript out of range: the recordset has no field named \"" +
                                                   indexOrName.AsString() + "\"");
  }
  // Whole-number ordinals, the usual case, need no rounding.
  const double ordinal = indexOrName.Type() == VarType::Integer ? indexOrName.AsInteger()
                         : indexOrName.Type() == VarType::Long  ? indexOrName.AsLong()
                                                                : RoundHalfEven(CDbl(indexOrName));
  if (ordinal < 0 || ordinal >= static_cast<double>(items_.size()))
    Raise(err::SubscriptOutOfRange, "Fields",
          "Subscript out of range: the recordset has no field " + FormatDouble(ordinal) + " (it has " +
              std::to_string(items_.size()) + ")");
  return items_[static_cast<size_t>(ordinal)];
}

Variant Fields::Invoke(std::string_view name, CallType type, Arguments& args) {
  if (type == CallType::Get || type == CallType::Method) {
    if ((name.empty() || SameName(name, "Item")) && !args.empty()) return Variant(Item(RequireArgument(args, 0)));
    if (SameName(name, "Count") && args.empty()) return Variant(Count());
  }
  Raise(err::ObjectDoesNotSupport, "Fields");
}

std::vector<Variant> Fields::Enumerate() { return {items_.begin(), items_.end()}; }

// --- Recordset --------------------------------------------------------------------------------------

Recordset::Recordset(std::unique_ptr<Cursor> cursor)
    : cursor_(std::move(cursor)), fields_(std::make_shared<database::Fields>(cursor_)) {}

void Recordset::MoveNext() {
  if (cursor_->AtEnd()) RaiseNoCurrentRecord();
  cursor_->Next();
}

Variant Recordset::Invoke(std::string_view name, CallType type, Arguments& args) {
  if (type == CallType::Get || type == CallType::Method) {
    // rs.Fields(i) is the Fields collection's default member with the index.
    if (SameName(name, "Fields")) return args.empty() ? Variant(fields_) : fields_->Invoke("", CallType::Get, args);
    if (SameName(name, "EOF") && args.empty()) return Variant(cursor_->AtEnd());
    if (SameName(name, "MoveNext") && args.empty()) {
      MoveNext();
      return {};
    }
  }
  Raise(err::ObjectDoesNotSupport, "Recordset");
}

}  // namespace tamarind::database
