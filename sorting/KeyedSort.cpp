#include "sorting/KeyedSort.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

#include "platform/Messages.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"
#include "sorting/basCOMMON.h"

namespace tamarind::sorting {

using namespace platform;

namespace {

// SortValues of this thread, and a plain pointer to it for the comparison, which runs millions of
// times in a sort and so avoids the guarded access of a thread_local with a destructor.
thread_local std::unique_ptr<SortKeyCollection> tSortValues;
thread_local const SortKeyCollection* tCompareValues = nullptr;

// The parameter a key names: "k" (either case) and the decimal text of the parameter, written as
// the keys are written (no sign for positives, no leading zeros).
bool ParamOfKey(std::string_view key, LPARAM& param) {
  if (key.size() < 2 || (key[0] != 'k' && key[0] != 'K')) return false;
  const std::string_view digits = key.substr(1);
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), param);
  return ec == std::errc() && end == digits.data() + digits.size() && std::to_string(param) == digits;
}

// Every character of OmitChar taken out of the text. A one-character OmitChar ("$", "%") is the
// usual case; with several, each of them is left out wherever it occurs, which is what a list of
// characters to omit means to the host that gives it.
std::string Omit(Toolkit& tk, std::string_view text, const std::string& OmitChar) {
  std::string out(text);
  for (size_t pos = 0; pos < OmitChar.size();) {
    const size_t next = utf8::Advance(OmitChar, pos, 1);
    out = basCOMMON::ReplaceChar(tk, out, std::string_view(OmitChar).substr(pos, next - pos), "", true);
    pos = next;
  }
  return out;
}

int16_t ToInteger(int32_t v) {
  if (v < INT16_MIN || v > INT16_MAX) Raise(err::Overflow, "Kestrel");
  return static_cast<int16_t>(v);
}

}  // namespace

// --- SortKeyCollection -----------------------------------------------------------------------------

SortKeyCollection::SortKeyCollection(size_t rows) : denseLimit_(rows * 4 + 1024) { order_.reserve(rows); }

void SortKeyCollection::Add(LPARAM param, double value, Kind kind) {
  if (param >= 0 && static_cast<size_t>(param) < denseLimit_) {
    const auto at = static_cast<size_t>(param);
    if (at >= values_.size()) {
      // Room for the rows' usual parameters at once, growing by doubling beyond them.
      const size_t size = std::min(denseLimit_, std::max({at + 1, values_.size() * 2, order_.capacity() + 1}));
      values_.resize(size, std::numeric_limits<double>::quiet_NaN());
      kinds_.resize(values_.size(), Kind::None);
    }
    if (kinds_[at] != Kind::None) Raise(err::DuplicateKey, "Collection");
    order_.push_back(param);
    values_[at] = value;
    kinds_[at] = kind;
    return;
  }
  Slot& slot = sparse_[param];
  if (slot.kind != Kind::None) Raise(err::DuplicateKey, "Collection");
  order_.push_back(param);
  slot = Slot{value, kind};
}

std::optional<SortKeyCollection::Slot> SortKeyCollection::Find(LPARAM param) const {
  if (param >= 0 && static_cast<size_t>(param) < values_.size()) {
    const auto at = static_cast<size_t>(param);
    if (kinds_[at] == Kind::None) return std::nullopt;
    return Slot{values_[at], kinds_[at]};
  }
  const auto it = sparse_.find(param);
  if (it == sparse_.end()) return std::nullopt;
  return it->second;
}

double SortKeyCollection::SparseValue(LPARAM param) const {
  const auto slot = Find(param);
  if (!slot) Raise(err::InvalidProcedureCall, "Collection");
  return slot->value;
}

Variant SortKeyCollection::AsVariant(const Slot& slot) {
  switch (slot.kind) {
    case Kind::Number: return Variant(slot.value);
    case Kind::Date: return Variant(Date(slot.value));
    default: return Variant(int16_t{0});
  }
}

Variant SortKeyCollection::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::SubscriptOutOfRange, "Collection");
  return AsVariant(*Find(order_[static_cast<size_t>(index - 1)]));
}

Variant SortKeyCollection::Item(std::string_view key) const {
  LPARAM param = 0;
  const auto slot = ParamOfKey(key, param) ? Find(param) : std::nullopt;
  if (!slot) Raise(err::InvalidProcedureCall, "Collection");
  return AsVariant(*slot);
}

const SortKeyCollection* SortValues() { return tSortValues.get(); }

// --- building the keys and sorting ------------------------------------------------------------------

void BuildSortKeys(Toolkit& tk, ListView& list, int32_t sub, int32_t kind, const std::string& OmitChar) {
  const int32_t rows = list.ListItems().Count();
  tCompareValues = nullptr;
  tSortValues = std::make_unique<SortKeyCollection>(static_cast<size_t>(rows));
  tCompareValues = tSortValues.get();
  SortKeyCollection& values = *tSortValues;

  // Each cell as LVM_GETITEMA into a TextBuffer<256> gives it, read up to its first NUL; the rows
  // are read straight from the list rather than through a message per row.
  std::string omitted;
  list.ListItems().ForEach([&](const ListItemRef& item) {
    const std::string& cell = item->ColumnText(sub);
    std::string_view text(cell.data(), ListView::GetItemTextBytes(cell, TextBuffer<256>::kCharacters));
    text = text.substr(0, text.find('\0'));
    const LPARAM param = item->ItemParam();
    if (text.empty()) {
      values.AddEmpty(param);
      return;
    }
    if (!OmitChar.empty()) {
      omitted = Omit(tk, text, OmitChar);
      text = omitted;
    }
    if (kind == skDATE) {
      // A cell that is no date sorts with the empty cells, at the start of an ascending sort,
      // rather than wherever the row happened to be read.
      if (const auto date = ParseDate(text)) values.AddDate(param, *date);
      else values.AddEmpty(param);
    } else if (const auto number = ParseNumber(text)) {
      values.AddNumber(param, *number);
    } else {
      CDbl(Variant(std::string(text)));  // raises the conversion's own error: 13, or 6 for an overflow
      Raise(err::TypeMismatch, "Kestrel");
    }
  });
}

void SortListViewByKeys(Toolkit& tk, ListView& list, int32_t sub, int32_t kind, int32_t dir,
                        const std::string& OmitChar) {
  list.Sorted(false);
  list.SortKey(ToInteger(sub));
  list.SortOrder(ToInteger(dir));
  if (VirtualRows* source = list.VirtualSource()) {
    // A source's engine reads the cells by the same rules and orders the rows itself.
    source->Sort(sub, kind == skDATE ? VirtualOrder::Date : VirtualOrder::Number, dir == 1, OmitChar);
    list.VirtualRowsChanged(false);
    return;
  }
  BuildSortKeys(tk, list, sub, kind, OmitChar);
  // The list view orders the rows by the keys themselves: the order LVM_SORTITEMS gives with
  // CompareSortKeys, without twenty million calls of it for a million rows.
  const SortKeyCollection& values = *tSortValues;
  list.SortItemsByNumber([&values](LPARAM param) { return values.Value(param); }, dir == 1);
  tCompareValues = nullptr;
  tSortValues.reset();
}

int32_t CompareSortKeys(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
  const SortKeyCollection* values = tCompareValues;
  if (!values) Raise(err::ObjectNotSet, "Kestrel");
  const double a = values->Value(lParam1), b = values->Value(lParam2);
  const int32_t sign = a < b ? -1 : a > b ? 1 : 0;
  return lParamSort == 1 ? -sign : sign;
}

}  // namespace tamarind::sorting
