#include "platform/database/SqlRowSource.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "platform/database/CellRules.h"
#include "platform/database/RowEngine.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::database {

using platform::VirtualFilter;
using platform::VirtualOrder;
using platform::VirtualRows;

namespace {

// A row's place in the order: its value in each sort term, most recent first, then its key.
struct Bound {
  std::vector<SqlValue> sorts;
  SqlValue key;
};

// The bound a query's raw columns give: the sort terms' values, then the key.
Bound BoundOf(std::vector<SqlValue>& raw) {
  Bound b;
  b.sorts.assign(std::make_move_iterator(raw.begin()), std::make_move_iterator(raw.end() - 1));
  b.key = std::move(raw.back());
  return b;
}

// A value as text, to match a key read back with the one asked for.
std::string Rendered(const SqlValue& v) {
  switch (v.kind) {
    case SqlValue::Kind::Null:
      return std::string(1, '\0');
    case SqlValue::Kind::Integer:
      return std::to_string(v.integer);
    case SqlValue::Kind::Real: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.17g", v.real);
      return buffer;
    }
    case SqlValue::Kind::Text:
      break;
  }
  return v.text;
}

class KeysetRows final : public VirtualRows {
 public:
  KeysetRows(std::unique_ptr<RowEngine> engine, RowSourceDefinition definition)
      : engine_(std::move(engine)), from_(std::move(definition.from)), key_(std::move(definition.keyColumn)) {
    if (from_.empty() || key_.empty())
      Raise(err::InvalidProcedureCall, "Kestrel", "A row source needs a table or query and a key column");
    columns_ = engine_->Describe(from_, definition.columns);
    keyInfo_ = engine_->Describe(from_, {key_}).front();
    for (size_t i = 0; i < columns_.size(); ++i)
      captions_.push_back(i < definition.captions.size() && !definition.captions[i].empty() ? definition.captions[i] : columns_[i].name);
    RowCount();  // a bad key column or filter fails here rather than at the first page
  }

  ~KeysetRows() override {
    StopMapping();
    for (Worker& w : retired_) w.thread.join();
  }

  const std::vector<std::string>& Columns() const override { return captions_; }
  std::optional<VirtualOrder> DeclaredOrder(int32_t column) const override { return Column(column).order; }

  int64_t RowCount() override {
    Sql sql;
    sql << "SELECT count(*) FROM " << from_ << " AS t" << Where(nullptr);
    int64_t n = 0;
    engine_->Run(sql, 0, 1, [&](auto&, std::vector<SqlValue>& raw) { n = AsInteger(raw[0]); });
    // Another connection changed the rows: the positions known are no longer right.
    if (count_ >= 0 && n != count_) Forget();
    count_ = n;
    StartMapping();
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
    bool waited = false, mapped = false;
    for (;;) {
      Adopt();
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
      // The count the list was given: counting ten million rows again for every far jump would
      // cost more than the jump (a refresh counts them anew).
      const int64_t total = count_ >= 0 ? count_ : RowCount();
      if (first >= total) return;
      if (total - first <= kNearby + count) {
        ReadFromEnd(first, count, total, out);
        return;
      }
      // The background pass reaches the row sooner than a pass of our own would.
      if (!waited && WaitFor(first)) {
        waited = true;
        continue;
      }
      if (mapped) break;
      MapOrder();
      mapped = true;
    }
    Raise(err::InvalidProcedureCall, "Kestrel", "The rows changed while the source was reading them");
  }

  void Sort(int32_t column, VirtualOrder as, bool descending, std::string_view omit) override {
    const ColumnInfo& c = Column(column);
    Term term{as == VirtualOrder::Text ? engine_->TextOrder(c) : engine_->NumberOrder(c, as, omit, from_, Filters()),
              descending};
    // A sort is stable: rows it finds equal keep the order the earlier sorts left them in, which
    // is the earlier terms' order. A term on the very same value decides nothing after this one.
    std::erase_if(terms_, [&](const Term& t) { return t.expr == term.expr; });
    terms_.insert(terms_.begin(), std::move(term));
    // The one place ties may differ from a list that holds its rows: past eight terms (a text
    // sort after a keyed one takes two), rows equal in all of them stand by key rather than by
    // the older sorts.
    if (terms_.size() > kTerms) terms_.resize(kTerms);
    Forget();
    StartMapping();
  }

  void Unsort() override {
    terms_.clear();
    Forget();
    StartMapping();
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
        sql << "SELECT " << RawBound() << " FROM " << from_ << " AS t";
        Sql match;
        match << key_ << " = ";
        match.Bind(*value);
        sql << Where(&match);
        engine_->Run(sql, 0, Raws(), [&](auto&, std::vector<SqlValue>& raw) { row = BoundOf(raw); });
      }
      if (!row) {
        out.push_back(-1);
        continue;
      }
      out.push_back(PositionOf(*row));
    }
    return out;
  }

  std::vector<bool> Shown(const std::vector<std::string>& keys) override {
    std::vector<bool> out(keys.size(), false);
    for (size_t begin = 0; begin < keys.size(); begin += kChunk) {
      const size_t end = std::min(keys.size(), begin + kChunk);
      std::vector<std::pair<size_t, SqlValue>> asked;
      Sql in;
      in << key_ << " IN (";
      for (size_t i = begin; i < end; ++i)
        if (std::optional<SqlValue> v = engine_->KeyValue(keyInfo_, keys[i])) {
          if (!asked.empty()) in << ", ";
          in.Bind(*v);
          asked.emplace_back(i, std::move(*v));
        }
      if (asked.empty()) continue;
      in << ")";
      Sql sql;
      sql << "SELECT " << engine_->Raw(key_) << " FROM " << from_ << " AS t" << Where(&in);
      std::set<std::string> found;
      int64_t returned = 0;
      engine_->Run(sql, 0, 1, [&](auto&, std::vector<SqlValue>& raw) {
        found.insert(Rendered(raw[0]));
        ++returned;
      });
      std::set<std::string> matched;
      for (const auto& [i, v] : asked) {
        const std::string text = Rendered(v);
        if (found.count(text)) {
          out[i] = true;
          matched.insert(text);
        }
      }
      // A row the key compares equal to but reads back otherwise (a collation that ignores case,
      // a number written another way): ask for those keys one by one.
      if (static_cast<int64_t>(matched.size()) < returned)
        for (const auto& [i, v] : asked)
          if (!out[i]) {
            Sql one;
            one << key_ << " = ";
            one.Bind(v);
            out[i] = Count(one) > 0;
          }
    }
    return out;
  }

 private:
  // Every kStride-th row's bound is kept; a page up to kNearby rows past a known one is read from it.
  static constexpr int64_t kStride = 1024;
  static constexpr int64_t kNearby = 4 * kStride;
  static constexpr size_t kTerms = 8;
  static constexpr size_t kChunk = 500;  // keys per IN list

  struct Term {
    std::string expr;  // the sort value's SQL
    bool descending;
  };

  struct Continuation {
    int64_t position;
    Bound last;
  };

  // The map of the order made by a thread of its own over a second connection, while the list
  // goes on showing rows. What it publishes is guarded by mutex.
  struct MapShare {
    std::mutex mutex;
    std::condition_variable progressed;
    uint64_t generation = 0;  // bumped when the order changes: an older pass publishes nothing more
    enum class State { Idle, Running, Done, Failed } state = State::Idle;
    std::vector<Bound> anchors;  // every kStride-th row from the first, in order
    int64_t rows = 0;            // the rows of the order, once Done
  };
  struct Worker {
    std::unique_ptr<RowEngine> engine;  // its connection: lives until the thread is joined
    std::shared_ptr<std::atomic<bool>> over;
    std::thread thread;
  };

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
    if (!mapped_ && count_ > 4 * kNearby) {
      if (WaitFor(INT64_MAX)) Adopt();
      if (!mapped_) MapOrder();
    }
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
    StopMapping();
  }

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

  // The raw columns of a bound: each term's sort value, then the key.
  int32_t Raws() const { return static_cast<int32_t>(terms_.size()) + 1; }
  std::string RawBound() const {
    std::string s;
    for (const Term& t : terms_) s += engine_->Raw(t.expr) + ", ";
    return s + engine_->Raw(key_);
  }

  std::string OrderBy(bool reverse) const {
    std::string s = " ORDER BY ";
    for (const Term& t : terms_) s += t.expr + (t.descending != reverse ? " DESC, " : ", ");
    return s + key_ + (reverse ? " DESC" : "");
  }

  // The rows after b in the order (or at b and after, inclusive), or with forward false those before it.
  Sql Beyond(const Bound& b, bool forward, bool inclusive) const {
    Sql sql;
    const char* keyOp = forward ? (inclusive ? " >= " : " > ") : (inclusive ? " <= " : " < ");
    if (terms_.empty()) {
      sql << key_ << keyOp;
      sql.Bind(b.key);
      return sql;
    }
    // (s1, s2, .., k) beyond (a1, a2, .., b) as "s1 >= a1 AND (s1 > a1 OR (s2 > a2 OR (s2 = a2
    // AND .. k > b)))", with < for a descending term: the first test lets an index on s1 start at
    // a1 rather than scan up to it.
    auto past = [&](size_t i) { return forward != terms_[i].descending ? " > " : " < "; };
    sql << "(" << terms_[0].expr << (forward != terms_[0].descending ? " >= " : " <= ");
    sql.Bind(b.sorts[0]);
    sql << " AND (" << terms_[0].expr << past(0);
    sql.Bind(b.sorts[0]);
    sql << " OR ";
    std::string close;
    for (size_t i = 1; i < terms_.size(); ++i) {
      sql << "(" << terms_[i].expr << past(i);
      sql.Bind(b.sorts[i]);
      sql << " OR (" << terms_[i].expr << " = ";
      sql.Bind(b.sorts[i]);
      sql << " AND ";
      close += "))";
    }
    // Equal in every term: the key decides.
    sql << key_ << keyOp;
    sql.Bind(b.key);
    sql << close << "))";
    return sql;
  }

  Sql Select(const Sql* bound, bool reverse) const {
    Sql sql;
    sql << "SELECT ";
    for (const ColumnInfo& c : columns_) sql << c.expr << ", ";
    // Named apart from the shown columns, which an ORDER BY name would otherwise find twice.
    sql << key_ << " AS tamarind_key";
    for (size_t i = 0; i < terms_.size(); ++i)
      sql << ", " << engine_->Raw(terms_[i].expr) << " AS tamarind_sort" << std::to_string(i);
    sql << ", " << engine_->Raw(key_) << " AS tamarind_bound FROM " << from_ << " AS t" << Where(bound)
        << OrderBy(reverse);
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
    engine_->Run(sql, n + 1, Raws(), [&](std::vector<Variant>& cells, std::vector<SqlValue>& raw) {
      out.push_back(MakeRow(cells));
      last = BoundOf(raw);
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
    engine_->Run(sql, n + 1, Raws(), [&](std::vector<Variant>& cells, std::vector<SqlValue>& raw) {
      out.push_back(MakeRow(cells));
      bounds.push_back(BoundOf(raw));
    });
    std::reverse(out.begin(), out.end());
    std::reverse(bounds.begin(), bounds.end());
    for (size_t i = 0; i < bounds.size(); ++i) Remember(first + static_cast<int64_t>(i), bounds[i]);
    if (!bounds.empty()) next_ = Continuation{first + static_cast<int64_t>(bounds.size()), bounds.back()};
  }

  // The query of a pass over the whole order reading only bounds.
  Sql MapQuery() const {
    Sql sql;
    sql << "SELECT " << RawBound() << " FROM " << from_ << " AS t" << Where(nullptr) << OrderBy(false);
    return sql;
  }

  // One pass over the whole order: where every kStride-th row lies.
  void MapOrder() {
    StopMapping();
    anchors_.clear();
    int64_t position = 0;
    engine_->Run(MapQuery(), 0, Raws(), [&](auto&, std::vector<SqlValue>& raw) {
      if (position % kStride == 0) Remember(position, BoundOf(raw));
      ++position;
    });
    count_ = position;
    mapped_ = true;
  }

  // Starts the pass in the background where the order is unmapped and long enough to be worth it
  // (a shorter one costs less than a second connection), and the engine allows a second reader.
  void StartMapping() {
    if (mapped_ || !threads_ || count_ <= 4 * kNearby) return;
    {
      const std::lock_guard lock(share_.mutex);
      if (share_.state != MapShare::State::Idle) return;  // running or over for this order
    }
    std::unique_ptr<RowEngine> reader;
    try {
      reader = engine_->Reader();
    } catch (const Error&) {
    }
    if (!reader) {
      threads_ = false;
      return;
    }
    uint64_t generation = 0;
    {
      const std::lock_guard lock(share_.mutex);
      share_.state = MapShare::State::Running;
      share_.anchors.clear();
      generation = share_.generation;
    }
    adopted_ = 0;
    Worker w{std::move(reader), std::make_shared<std::atomic<bool>>(false), {}};
    w.thread = std::thread([this, engine = w.engine.get(), over = w.over, sql = MapQuery(), raws = Raws(),
                            generation] { MapInBackground(*engine, sql, raws, generation, *over); });
    worker_ = std::move(w);
  }

  // On the worker's thread: publishes every kStride-th bound as it passes it.
  void MapInBackground(RowEngine& engine, const Sql& sql, int32_t raws, uint64_t generation,
                       std::atomic<bool>& over) {
    struct Superseded {};
    int64_t position = 0;
    try {
      engine.Run(sql, 0, raws, [&](auto&, std::vector<SqlValue>& raw) {
        if (position++ % kStride) return;
        Bound b = BoundOf(raw);
        const std::lock_guard lock(share_.mutex);
        if (share_.generation != generation) throw Superseded{};
        share_.anchors.push_back(std::move(b));
        share_.progressed.notify_all();
      });
      const std::lock_guard lock(share_.mutex);
      if (share_.generation == generation) {
        share_.rows = position;
        share_.state = MapShare::State::Done;
        share_.progressed.notify_all();
      }
    } catch (...) {  // superseded, interrupted, or the engine failed: the reader falls back to its own pass
      const std::lock_guard lock(share_.mutex);
      if (share_.generation == generation) {
        share_.state = MapShare::State::Failed;
        share_.progressed.notify_all();
      }
    }
    over = true;
  }

  // The order changed: the running pass, if any, stops publishing and is joined once it is over.
  void StopMapping() {
    {
      const std::lock_guard lock(share_.mutex);
      ++share_.generation;
      share_.state = MapShare::State::Idle;
      share_.anchors.clear();
    }
    adopted_ = 0;
    if (worker_) {
      worker_->engine->Interrupt();
      retired_.push_back(std::move(*worker_));
      worker_.reset();
    }
    // Joined only when over, so that a pass slow to notice its interrupt does not hold up the list.
    std::erase_if(retired_, [](Worker& w) {
      if (!*w.over) return false;
      w.thread.join();
      return true;
    });
  }

  // Takes in what the background pass has published; the whole map once it is done.
  void Adopt() {
    const std::lock_guard lock(share_.mutex);
    if (share_.state != MapShare::State::Running && share_.state != MapShare::State::Done) return;
    for (; adopted_ < share_.anchors.size(); ++adopted_) {
      const auto slot = adopted_;
      if (anchors_.size() <= slot) anchors_.resize(slot + 1);
      if (!anchors_[slot]) anchors_[slot] = share_.anchors[slot];
    }
    // A pass that counted other rows than this connection did saw the rows before others changed
    // them: its positions are not trusted as a whole.
    if (share_.state == MapShare::State::Done && share_.rows == count_) mapped_ = true;
  }

  // Waits until the background pass has passed position (or is over); false when none runs for
  // this order or it failed.
  bool WaitFor(int64_t position) {
    std::unique_lock lock(share_.mutex);
    const auto slot = static_cast<size_t>(position / kStride);
    share_.progressed.wait(lock, [&] { return share_.state != MapShare::State::Running || share_.anchors.size() > slot; });
    return share_.state == MapShare::State::Running || share_.state == MapShare::State::Done;
  }

  std::unique_ptr<RowEngine> engine_;
  std::string from_, key_;
  std::vector<ColumnInfo> columns_;
  ColumnInfo keyInfo_;
  std::vector<std::string> captions_;
  std::vector<Term> terms_;  // the sorts made, most recent first; none while in key order
  std::vector<Sql> filters_;
  std::vector<std::optional<Bound>> anchors_;
  std::optional<Continuation> next_;
  int64_t count_ = -1;
  bool mapped_ = false;  // anchors_ holds every kStride-th row of the order
  bool threads_ = true;  // false once the engine had no second reader
  MapShare share_;
  size_t adopted_ = 0;  // share_.anchors taken into anchors_
  std::optional<Worker> worker_;
  std::vector<Worker> retired_;
};

}  // namespace

std::shared_ptr<VirtualRows> OpenSqliteRowSource(std::shared_ptr<SqliteDatabase> db, RowSourceDefinition definition) {
  if (!db) Raise(err::InvalidProcedureCall, "Kestrel", "No database");
  return std::make_shared<KeysetRows>(MakeSqliteEngine(std::move(db)), std::move(definition));
}

std::shared_ptr<VirtualRows> OpenOdbcRowSource(std::shared_ptr<OdbcConnection> connection, RowSourceDefinition definition) {
  if (!connection) Raise(err::InvalidProcedureCall, "Kestrel", "No connection");
  return std::make_shared<KeysetRows>(MakeOdbcEngine(std::move(connection)), std::move(definition));
}

}  // namespace tamarind::database
