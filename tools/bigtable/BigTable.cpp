#include "BigTable.h"

#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/SplitMix64.h"

namespace tamarind::bigtable {
namespace {

// Bump when the rows a count gives change, so older files are made again.
constexpr int64_t kFormat = 1;

// The table's own seed: its rows stay those of files already written (kFormat).
constexpr uint64_t kSeed = 0x7A3A41D0C0FFEE17ull;

// 40 x 40 customers; each first name is about 2.5% of the rows.
constexpr std::array kFirstNames = {
    "Anna",   "Bruno",  "Carla",   "Dmitri", "Elena",  "Farid",  "Greta",  "Hugo",    "Ines",   "Jakob",
    "Keiko",  "Lars",   "Maria",   "Nikolai", "Olga",  "Pedro",  "Quinn",  "Rosa",    "Stefan", "Tomas",
    "Ursula", "Viktor", "Wanda",   "Xavier", "Yasmin", "Zoltan", "Amara",  "Bilal",   "Chiara", "Dalia",
    "Emil",   "Fatima", "Gustavo", "Hanna",  "Ivo",    "Jana",   "Kofi",   "Leila",   "Marco",  "Nadia"};
constexpr std::array kLastNames = {
    "Almeida", "Brandt",  "Castro",  "Dubois",   "Eriksen",  "Fischer", "Garcia",  "Horvat",  "Ibsen",  "Jansen",
    "Kowalski", "Lindqvist", "Moreno", "Nakamura", "Okafor", "Petrov",  "Quintero", "Rossi",  "Schmidt", "Tanaka",
    "Urban",   "Varga",   "Weber",   "Yilmaz",   "Zimmer",   "Andersson", "Becker", "Costa",  "Dimitrov", "Esposito",
    "Ferreira", "Gruber", "Hansen",  "Ivanova",  "Jovanovic", "Keller", "Lombardi", "Meyer",  "Novak",  "Olsen"};
constexpr std::array kItems = {
    "Saffron threads",  "Black pepper",   "Cinnamon sticks", "Cardamom pods", "Cloves",         "Nutmeg",
    "Star anise",       "Cumin seeds",    "Coriander seeds", "Fennel seeds",  "Turmeric",       "Sweet paprika",
    "Smoked paprika",   "Chili flakes",   "Vanilla beans",   "Ginger root",   "Mustard seeds",  "Fenugreek",
    "Allspice",         "Sumac",          "Za'atar",         "Garam masala",  "Ras el hanout",  "Bay leaves",
    "Dried oregano",    "Dried thyme",    "Rosemary",        "Sage",          "Caraway",        "Juniper berries",
    "Long pepper",      "Pink peppercorns", "Mace",          "Asafoetida",    "Nigella seeds",  "Ajwain",
    "Dried lime",       "Grains of paradise", "Tonka beans",  "Sichuan pepper"};
constexpr std::array kPacks = {"50 g", "100 g", "250 g", "500 g", "1 kg"};

// 'YYYY-MM-DD' of days since 1970-01-01 (the civil calendar's arithmetic).
std::string IsoDate(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m), static_cast<int>(d));
  return text;
}

class Connection {
 public:
  Connection(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      db_ = nullptr;
      throw std::runtime_error(path + ": " + message);
    }
  }
  ~Connection() { sqlite3_close(db_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  sqlite3* get() const { return db_; }
  void Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : sqlite3_errmsg(db_);
      sqlite3_free(message);
      throw std::runtime_error(text);
    }
  }
  void Close() {
    if (sqlite3_close(db_) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
    db_ = nullptr;
  }

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int64_t MetaValue(sqlite3* db, const char* key) {
  sqlite3_stmt* stmt = nullptr;
  int64_t value = -1;
  if (sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE key = ?", -1, &stmt, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(stmt, 1, key, -1, SQLITE_STATIC);
    if (sqlite3_step(stmt) == SQLITE_ROW) value = sqlite3_column_int64(stmt, 0);
  }
  sqlite3_finalize(stmt);
  return value;
}

void Fill(Connection& db, int64_t rows, const std::function<void(const std::string&)>& progress) {
  // The texts are made once; each row only points at them (bound without a copy).
  std::vector<std::string> customers, items, dates;
  for (const char* first : kFirstNames)
    for (const char* last : kLastNames) customers.push_back(std::string(first) + " " + last);
  for (const char* item : kItems)
    for (const char* pack : kPacks) items.push_back(std::string(item) + ", " + pack);
  const int64_t firstDay = 18262;  // 2020-01-01
  for (int64_t d = 0; d < 7 * 365 + 2; ++d) dates.push_back(IsoDate(firstDay + d));

  Statement insert(db.get(), "INSERT INTO orders(id, customer, item, qty, price, due) VALUES (?, ?, ?, ?, ?, ?)");
  sqlite3_stmt* s = insert.get();
  bench::SplitMix64 next(kSeed);
  for (int64_t i = 0; i < rows; ++i) {
    const uint64_t a = next(), b = next();
    const std::string& customer = customers[a % customers.size()];
    const std::string& item = items[(a >> 20) % items.size()];
    const int64_t qty = 1 + static_cast<int64_t>((a >> 40) % 250);
    const double price = static_cast<double>(50 + b % 99950) / 100.0;
    const std::string& due = dates[(b >> 32) % dates.size()];
    sqlite3_bind_int64(s, 1, i + 1);
    sqlite3_bind_text(s, 2, customer.data(), static_cast<int>(customer.size()), SQLITE_STATIC);
    sqlite3_bind_text(s, 3, item.data(), static_cast<int>(item.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s, 4, qty);
    sqlite3_bind_double(s, 5, price);
    sqlite3_bind_text(s, 6, due.data(), static_cast<int>(due.size()), SQLITE_STATIC);
    if (sqlite3_step(s) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));
    sqlite3_reset(s);
    if (progress && (i + 1) % 1'000'000 == 0) progress(std::to_string((i + 1) / 1'000'000) + "M rows");
  }
}

}  // namespace

int64_t ExistingRows(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return -1;
  sqlite3* db = nullptr;
  int64_t rows = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      MetaValue(db, "format") == kFormat)
    rows = MetaValue(db, "rows");
  sqlite3_close(db);
  return rows;
}

std::string PartPath(const std::string& path) { return path + ".part" + std::to_string(::getpid()); }

WriteResult Ensure(const std::string& path, int64_t rows, const std::function<void(const std::string&)>& progress) {
  if (rows < 0) throw std::invalid_argument("a negative row count");
  WriteResult result;
  const auto start = std::chrono::steady_clock::now();
  std::error_code ec;
  if (ExistingRows(path) == rows) {
    result.bytes = static_cast<int64_t>(std::filesystem::file_size(path, ec));
    return result;
  }
  // Beside the target, so the rename stays on one file system; the process id keeps two runs
  // apart.
  const std::string part = PartPath(path);
  std::filesystem::remove(part, ec);
  try {
    Connection db(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Nothing to roll back to: a failed run throws the file away.
    db.Execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE;"
               "PRAGMA cache_size=-262144;");
    db.Execute("CREATE TABLE orders(id INTEGER PRIMARY KEY, customer TEXT, item TEXT, qty INTEGER, price REAL,"
               " due TEXT);"
               "CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER);");
    db.Execute("BEGIN");
    Fill(db, rows, progress);
    db.Execute("COMMIT");
    result.insertSeconds = SecondsSince(start);
    // An index built over the finished table sorts once instead of growing row by row.
    const auto indexStart = std::chrono::steady_clock::now();
    for (const char* sql : {"CREATE INDEX orders_customer ON orders(customer)", "CREATE INDEX orders_qty ON orders(qty)",
                            "CREATE INDEX orders_due ON orders(due)"}) {
      if (progress) progress(sql);
      db.Execute(sql);
    }
    result.indexSeconds = SecondsSince(indexStart);
    {
      Statement meta(db.get(), "INSERT INTO meta(key, value) VALUES ('format', ?), ('rows', ?)");
      sqlite3_bind_int64(meta.get(), 1, kFormat);
      sqlite3_bind_int64(meta.get(), 2, rows);
      if (sqlite3_step(meta.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));
    }
    db.Execute("ANALYZE");
    db.Close();
  } catch (...) {
    std::filesystem::remove(part, ec);
    throw;
  }
  std::filesystem::rename(part, path, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    throw std::runtime_error(path + ": " + ec.message());
  }
  result.written = true;
  result.seconds = SecondsSince(start);
  result.bytes = static_cast<int64_t>(std::filesystem::file_size(path, ec));
  return result;
}

}  // namespace tamarind::bigtable
