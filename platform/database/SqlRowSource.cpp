#include "platform/database/SqlRowSource.h"

#include <algorithm>
#include <optional>

#include "platform/database/CellRules.h"
#include "platform/database/RowEngine.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::database {

using platform::VirtualFilter;
using platform::VirtualOrder;
using platform::VirtualRows;

namespace {

// A row's place in the order: its sort value (unused while unsorted) and its key.
struct Bound {
  SqlValue sort;
  SqlValue key;
};

class KeysetRows final : public VirtualRows {
 public:
  KeysetRows(std::unique_ptr<RowEngine> engine, RowSourceSpec spec)
      : engine_(std::move(engine)), from_(std::move(spec.from)), key_(std::move(spec.keyColumn)) {
    if (from_.empty() || key_.empty())
      Raise(err::InvalidProcedureCall, "Kestrel", "A row source needs a table or query and a key column");
    columns_ = engine_->Describe(from_, spec.columns);
    keyInfo_ = engine_->Describe(from_, {key_}).front();
    for (size_t i = 0; i < columns_.size(); ++i)
      captions_.push_back(i < spec.captions.size() && !spec.captions[i].empty() ? spec.captions[i] : columns_[i].name);
    RowCount();  // a bad key column or filter fails here rather than at the first page
  }

  const std::vector<std::string>& Columns() const override { return captions_; }
  std::optional<VirtualOrder> DeclaredOrder(int32_t column) const override { return Column(column).order; }

  int64_t RowCount() override {
    Sql sql;
    sql << "SELECT count(*) FROM " << from_ << " AS t" << Where(nullptr);
    int64_t n = 0;
    engine_->Run(sql, 0, 1, [&](auto&, std::vector<SqlValue>& raw) { n = AsInteger(raw[0]); });
    // Another connection changed the rows: the positions known are no longer right.
    if (n != count_) Forget();
    count_ = n;
    return n;
  }

  void Fetch(int64_t first, int32_t count, std::vector<Row>& out) override {
    out.clear();
    if (first < 0 || count <= 0) return;
    // Scrolling on from the last page: from its last row itself, so rows that others insert or
    // delete meanwhile neither repeat nor hide one that stayed.
    if (next_ && next_->position == first) {
      const Bound after = next_->last;
      Read(first, &after, false, 0, count, out);
      return;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
      const int64_t slot = std::min<int64_t>(first / kStride, static_cast<int64_t>(anchors_.size()) - 1);
      int64_t at = slot;
      while (at >= 0 && !anchors_[static_cast<size_t>(at)]) --at;
      const int64_t from = at < 0 ? 0 : at * kStride;
      if (first - from <= kNearby) {
        std::optional<Bound> start;
        if (at >= 0) start = anchors_[static_cast<size_t>(at)];
        Read(from, start ? &*start : nullptr, true, first - from, count, out);
        return;
      }
      const int64_t total = RowCount();
      if (first >= total) return;
      if (total - first <= kNearby + count) {
        ReadFromEnd(first, count, total, out);
        return;
      }
      if (attempt == 0) MapOrder();
    }
    Raise(err::InvalidProcedureCall, "Kestrel", "The rows changed while the source was reading them");
  }

  void Sort(int32_t column, VirtualOrder as, bool descending, std::string_view omit) override {
    const ColumnInfo& c = Column(column);
    std::string order =
        as == VirtualOrder::Text ? engine_->TextOrder(c) : engine_->NumberOrder(c, as, omit, from_, Filters());
    sort_ = std::move(order);
    descending_ = descending;
    Forget();
  }

  void Unsort() override {
    sort_.clear();
    descending_ = false;
    Forget();
  }

  void AddFilter(const VirtualFilter& filter) override {
    const ColumnInfo& c = Column(filter.column);
    Sql test =
        filter.wild ? engine_->WildFilter(c, cells::WildPattern(filter.text)) : engine_->ExactFilter(c, filter.text);
    Sql condition;
    condition << (filter.exclude ? "NOT (" : "(") << test << ")";
    filters_.push_back(std::move(condition));
    Forget();
    count_ = -1;
  }

  void ClearFilters() override {
    filters_.clear();
    Forget();
    count_ = -1;
  }

  std::vector<int64_t> Locate(const std::vector<std::string>& keys) override {
    std::vector<int64_t> out;
    out.reserve(keys.size());
    for (const std::string& key : keys) {
      const std::optional<SqlValue> value = engine_->KeyValue(keyInfo_, key);
      std::optional<Bound> row;
      if (value) {
        Sql sql;
        sql << "SELECT " << engine_->Raw(SortValue()) << ", " << engine_->Raw(key_) << " FROM " << from_ << " AS t";
        Sql match;
        match << key_ << " = ";
        match.Bind(*value);
        sql << Where(&match);
        engine_->Run(sql, 0, 2, [&](auto&, std::vector<SqlValue>& raw) { row = Bound{raw[0], raw[1]}; });
      }
      if (!row) {
        out.push_back(-1);
        continue;
      }
      out.push_back(PositionOf(*row));
    }
    return out;
  }

 private:
  int64_t Count(const Sql& condition) {
    Sql sql;
    sql << "SELECT count(*) FROM " << from_ << " AS t" << Where(&condition);
    int64_t n = 0;
    engine_->Run(sql, 0, 1, [&](auto&, std::vector<SqlValue>& raw) { n = AsInteger(raw[0]); });
    return n;
  }

  // The position of a row: the rows before it counted from the last known row at or before it.
  int64_t PositionOf(const Bound& row) {
    // A count from the start costs a step per row before it: over many rows the order is mapped
    // once, and each position costs a search among the mapped rows.
    if (count_ < 0) RowCount();
    if (!mapped_ && count_ > 4 * kNearby) MapOrder();
    int64_t low = -1, high = static_cast<int64_t>(anchors_.size());  // anchors [0, low] are at or before row
    if (mapped_) {
      while (high - low > 1) {
        const int64_t mid = (low + high) / 2;
        Sql test = Beyond(*anchors_[static_cast<size_t>(mid)], true, true);
        test << " AND " << key_ << " = ";
        test.Bind(row.key);
        (Count(test) ? low : high) = mid;
      }
    }
    Sql between = Beyond(row, false, false);
    if (low >= 0) between << " AND " << Beyond(*anchors_[static_cast<size_t>(low)], true, true);
    return (low < 0 ? 0 : low * kStride) + Count(between);
  }

  // Every kStride-th row's bound is kept; a page up to kNearby rows past a known one is read from it.
  static constexpr int64_t kStride = 1024;
  static constexpr int64_t kNearby = 4 * kStride;

  struct Continuation {
    int64_t position;
    Bound last;
  };

  const ColumnInfo& Column(int32_t column) const {
    if (column < 0 || static_cast<size_t>(column) >= columns_.size())
      Raise(err::SubscriptOutOfRange, "Kestrel",
            "The row source has no column " + std::to_string(column) + " (it has " + std::to_string(columns_.size()) +
                ")");
    return columns_[static_cast<size_t>(column)];
  }

  static int64_t AsInteger(const SqlValue& v) {
    if (v.kind == SqlValue::Kind::Integer) return v.integer;
    if (v.kind == SqlValue::Kind::Real) return static_cast<int64_t>(v.real);
    return v.kind == SqlValue::Kind::Text ? std::stoll(v.text) : 0;
  }

  void Forget() {
    anchors_.clear();
    mapped_ = false;
    next_.reset();
  }

  // While unsorted the order is the key's alone; a constant stands for the sort value.
  std::string SortValue() const { return sort_.empty() ? "0" : sort_; }

  Sql Filters() const {
    Sql all;
    for (size_t i = 0; i < filters_.size(); ++i) all << (i ? " AND " : "") << filters_[i];
    if (filters_.empty()) all << "1 = 1";
    return all;
  }

  Sql Where(const Sql* extra) const {
    Sql where;
    if (filters_.empty() && !extra) return where;
    where << " WHERE " << Filters();
    if (extra) where << " AND " << *extra;
    return where;
  }

  // The rows after b in the order (or at b and after, inclusive), or with forward false those before it.
  Sql Beyond(const Bound& b, bool forward, bool inclusive) const {
    Sql sql;
    const char* keyOp = forward ? (inclusive ? " >= " : " > ") : (inclusive ? " <= " : " < ");
    if (sort_.empty()) {
      sql << key_ << keyOp;
      sql.Bind(b.key);
      return sql;
    }
    // (s, k) beyond (a, b) as "s >= a AND (s > a OR k > b)": the first term lets an index on the
    // sort value start at a rather than scan up to it.
    const bool up = forward != descending_;
    sql << "(" << sort_ << (up ? " >= " : " <= ");
    sql.Bind(b.sort);
    sql << " AND (" << sort_ << (up ? " > " : " < ");
    sql.Bind(b.sort);
    sql << " OR " << key_ << keyOp;
    sql.Bind(b.key);
    sql << "))";
    return sql;
  }

  Sql Select(const Sql* bound, bool reverse) const {
    Sql sql;
    sql << "SELECT ";
    for (const ColumnInfo& c : columns_) sql << c.expr << ", ";
    // Named apart from the shown columns, which an ORDER BY name would otherwise find twice.
    sql << key_ << " AS tamarind_key, " << engine_->Raw(SortValue()) << " AS tamarind_sort, " << engine_->Raw(key_)
        << " AS tamarind_bound FROM " << from_ << " AS t" << Where(bound) << " ORDER BY ";
    if (!sort_.empty()) sql << sort_ << ((descending_ != reverse) ? " DESC, " : ", ");
    sql << key_ << (reverse ? " DESC" : "");
    return sql;
  }

  Row MakeRow(std::vector<Variant>& cells) const {
    Row row;
    const size_t n = columns_.size();
    row.texts.reserve(n);
    for (size_t i = 0; i < n; ++i) row.texts.push_back(cells::Text(cells[i]));
    row.key = cells::Key(cells[n]);
    return row;
  }

  void Remember(int64_t position, const Bound& b) {
    if (position % kStride) return;
    const auto slot = static_cast<size_t>(position / kStride);
    if (anchors_.size() <= slot) anchors_.resize(slot + 1);
    anchors_[slot] = b;
  }

  // count rows from position from + skip, reading on from start (the row at from) or the first row.
  void Read(int64_t from, const Bound* start, bool inclusive, int64_t skip, int32_t count, std::vector<Row>& out) {
    std::optional<Sql> bound;
    if (start) bound = Beyond(*start, true, inclusive);
    Sql sql = Select(bound ? &*bound : nullptr, false);
    sql << " LIMIT " << std::to_string(count);
    if (skip) sql << " OFFSET " << std::to_string(skip);
    const auto n = static_cast<int32_t>(columns_.size());
    int64_t position = from + skip;
    Bound last;
    engine_->Run(sql, n + 1, 2, [&](std::vector<Variant>& cells, std::vector<SqlValue>& raw) {
      out.push_back(MakeRow(cells));
      last = Bound{std::move(raw[0]), std::move(raw[1])};
      Remember(position++, last);
    });
    if (!out.empty()) next_ = Continuation{position, std::move(last)};
  }

  // Rows near the end, read backwards from the last one.
  void ReadFromEnd(int64_t first, int32_t count, int64_t total, std::vector<Row>& out) {
    const int64_t fromEnd = total - first;  // rows from first to the end
    const int64_t take = std::min<int64_t>(count, fromEnd);
    Sql sql = Select(nullptr, true);
    sql << " LIMIT " << std::to_string(take) << " OFFSET " << std::to_string(fromEnd - take);
    const auto n = static_cast<int32_t>(columns_.size());
    std::vector<Bound> bounds;
    engine_->Run(sql, n + 1, 2, [&](std::vector<Variant>& cells, std::vector<SqlValue>& raw) {
      out.push_back(MakeRow(cells));
      bounds.push_back(Bound{std::move(raw[0]), std::move(raw[1])});
    });
    std::reverse(out.begin(), out.end());
    std::reverse(bounds.begin(), bounds.end());
    for (size_t i = 0; i < bounds.size(); ++i) Remember(first + static_cast<int64_t>(i), bounds[i]);
    if (!bounds.empty()) next_ = Continuation{first + static_cast<int64_t>(bounds.size()), bounds.back()};
  }

  // One pass over the whole order reading only sort values and keys: where every kStride-th row lies.
  void MapOrder() {
    Sql sql;
    sql << "SELECT " << engine_->Raw(SortValue()) << ", " << engine_->Raw(key_) << " FROM " << from_ << " AS t"
        << Where(nullptr) << " ORDER BY ";
    if (!sort_.empty()) sql << sort_ << (descending_ ? " DESC, " : ", ");
    sql << key_;
    anchors_.clear();
    int64_t position = 0;
    engine_->Run(sql, 0, 2, [&](auto&, std::vector<SqlValue>& raw) {
      if (position % kStride == 0) Remember(position, Bound{std::move(raw[0]), std::move(raw[1])});
      ++position;
    });
    count_ = position;
    mapped_ = true;
  }

  std::unique_ptr<RowEngine> engine_;
  std::string from_, key_;
  std::vector<ColumnInfo> columns_;
  ColumnInfo keyInfo_;
  std::vector<std::string> captions_;
  std::string sort_;  // the sort value's SQL; empty while in key order
  bool descending_ = false;
  std::vector<Sql> filters_;
  std::vector<std::optional<Bound>> anchors_;
  std::optional<Continuation> next_;
  int64_t count_ = -1;
  bool mapped_ = false;  // anchors_ holds every kStride-th row of the order
};

}  // namespace

std::shared_ptr<VirtualRows> OpenSqliteRowSource(std::shared_ptr<SqliteDatabase> db, RowSourceSpec spec) {
  if (!db) Raise(err::InvalidProcedureCall, "Kestrel", "No database");
  return std::make_shared<KeysetRows>(MakeSqliteEngine(std::move(db)), std::move(spec));
}

std::shared_ptr<VirtualRows> OpenOdbcRowSource(std::shared_ptr<OdbcConnection> connection, RowSourceSpec spec) {
  if (!connection) Raise(err::InvalidProcedureCall, "Kestrel", "No connection");
  return std::make_shared<KeysetRows>(MakeOdbcEngine(std::move(connection)), std::move(spec));
}

}  // namespace tamarind::database
