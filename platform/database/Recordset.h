#pragma once
// Recordsets over real databases, answering the late-bound names a host's data code uses:
//
//   rs.Fields.Count          the number of fields (columns) of the result
//   rs.Fields(i)             field i (0-based ordinal) or a field by name, letter case ignored
//   rs.Fields(i).Value       the field's value in the current record (also its default member)
//   rs.Fields(i).Name        the column's name
//   rs.EOF                   True once the recordset has moved past its last record
//   rs.MoveNext              moves to the next record
//
// A recordset streams: each MoveNext steps the underlying statement once, so a result of a
// million rows is never held in memory. The values keep their types: integers and reals are
// numbers, text is text, SQL NULL is Null, a column declared as a date or time gives Dates.
// Binary data has no place in a list cell: reading it is an Error.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Dispatch.h"
#include "runtime/Variant.h"

namespace tamarind::database {

// One open result set, as a backend provides it. The recordset objects below are the only users.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual int32_t FieldCount() const = 0;
  virtual const std::string& FieldName(int32_t ordinal) const = 0;
  // True once the cursor has moved past its last row (also for an empty result).
  virtual bool AtEnd() const = 0;
  // Moves to the next row. Only called while not AtEnd.
  virtual void Next() = 0;
  // The value of a field in the current row. Only called while not AtEnd, with a valid ordinal.
  virtual Variant Value(int32_t ordinal) = 0;
};

class Recordset;
class Fields;

// One field: its value in whatever record the recordset is on when it is read.
class Field : public Dispatchable {
 public:
  Field(std::shared_ptr<Cursor> cursor, int32_t ordinal) : cursor_(std::move(cursor)), ordinal_(ordinal) {}
  std::string TypeName() const override { return "Field"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;

  const std::string& Name() const { return cursor_->FieldName(ordinal_); }
  // Error 5 (no current record) past the last record; an Error for binary data.
  Variant Value() const;
  int32_t Ordinal() const { return ordinal_; }

 private:
  std::shared_ptr<Cursor> cursor_;
  int32_t ordinal_;
};

// The fields of a recordset, in ordinal order.
class Fields : public Dispatchable {
 public:
  explicit Fields(std::shared_ptr<Cursor> cursor);
  std::string TypeName() const override { return "Fields"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;
  std::vector<Variant> Enumerate() override;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // By 0-based ordinal (a number) or by name (text, letter case ignored). Error 9 when there is
  // no such field.
  const std::shared_ptr<Field>& Item(const Variant& indexOrName) const;

 private:
  std::shared_ptr<Cursor> cursor_;
  std::vector<std::shared_ptr<Field>> items_;
};

class Recordset : public Dispatchable {
 public:
  explicit Recordset(std::unique_ptr<Cursor> cursor);
  std::string TypeName() const override { return "Recordset"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;

  // The same members for C++ hosts.
  const std::shared_ptr<database::Fields>& GetFields() const { return fields_; }
  bool AtEnd() const { return cursor_->AtEnd(); }
  // Error 5 (no current record) when already past the last record.
  void MoveNext();

 private:
  std::shared_ptr<Cursor> cursor_;
  std::shared_ptr<database::Fields> fields_;
};

// Error 5 for a field read or a move while the recordset is past its last record.
[[noreturn]] void RaiseNoCurrentRecord();

}  // namespace tamarind::database
