// The workbooks the list exports, read by four readers this project did not write: python's xlrd,
// Spreadsheet::ParseExcel, LibreOffice Calc and gnumeric. Each must see every cell the list's
// texts make, of the kind and with the value the export's rules give it: texts of numbers become
// numbers, texts of dates from 1 January 1900 on become dates, everything else stays text; double
// quotes in cells (not in headers) become two apostrophes, and then a leading apostrophe keeps the
// rest as text; a TAB or line end inside a text starts another cell or row; empty cells at the
// start of a row leave no cells before its first text.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

#include "control/Kestrel.h"
#include "platform/headless/HostForm.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

// A cell: kind s (text), n (number), d (date or time as its serial number in the 1900 date
// system), b, e, or 0 for none. In a list's text, kinds '\t' and '\n' stand for the separators.
struct Value { char kind = 0; std::string text; double number = 0; };
struct Token { std::string typed; Value cell; };
using ListCell = std::vector<Token>;  // the tokens one text of the list is made of
// The column headers, then the list's rows.
struct Book { std::string name; std::vector<std::vector<ListCell>> rows; };
using Cells = std::map<std::tuple<int, int, int>, Value>;  // (sheet, row, column)

Token Num(std::string typed, double v) { return {std::move(typed), {'n', {}, v}}; }
Token Header(std::string typed) { return {typed, {'s', typed, 0}}; }
Token Text(std::string typed) {
  std::string shown;
  for (char c : typed) shown += c == '"' ? std::string("''") : std::string(1, c);
  if (shown.starts_with('\'')) shown.erase(0, 1);
  return {std::move(typed), {shown.empty() ? '\0' : 's', shown, 0}};
}
const Token kTab{"\t", {'\t', {}, 0}}, kLf{"\n", {'\n', {}, 0}}, kCr{"\r", {'\n', {}, 0}}, kCrLf{"\r\n", {'\n', {}, 0}};

// The day's serial number in the file: days since 30 December 1899, but one less before
// 1 March 1900 because the date system counts a 29 February 1900.
Token DateToken(std::string typed, int y, unsigned m, unsigned d, int seconds = 0) {
  using namespace std::chrono;
  const auto days = (sys_days{year{y} / m / d} - sys_days{1899y / 12 / 30}).count();
  return {std::move(typed), {'d', {}, static_cast<double>(days < 61 ? days - 1 : days) + seconds / 86400.0}};
}

std::string Repeat(const std::string& s, size_t n) {
  std::string r;
  while (n--) r += s;
  return r;
}

// Random texts of every kind the export tells apart, from a fixed seed.
class Typist {
 public:
  int64_t Pick(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }
  template <class T>
  T OneOf(const std::vector<T>& v) { return v[static_cast<size_t>(Pick(0, static_cast<int64_t>(v.size()) - 1))]; }

  Token Integer() {
    const int64_t v = Pick(0, 3) == 0 ? Pick(100000000000000, 999999999999999) : Pick(0, 3000000000);
    const double x = static_cast<double>(v);
    const std::string t = std::to_string(v), g = Grouped(t);
    return OneOf<Token>({Num(t, x), Num("-" + t, -x), Num(g, x), Num("(" + g + ")", -x), Num(" +" + t + " ", x), Num("$" + g, x)});
  }
  // m / 10^k typed with k decimals, as a percentage, or with an exponent: each value is one
  // rounding of exact numbers, as a correct reading of the decimal text is (the percentage: then
  // divided by 100).
  Token Decimal() {
    const int64_t m = Pick(0, 999999999999), k = Pick(1, 6), p = static_cast<int64_t>(std::pow(10, k)), e = Pick(-12, 12), shift = e - k;
    const double v = static_cast<double>(m) / static_cast<double>(p),
                 scaled = shift >= 0 ? static_cast<double>(m) * std::pow(10.0, shift) : static_cast<double>(m) / std::pow(10.0, -shift);
    const std::string frac = std::to_string(m % p), t = std::to_string(m / p) + "." + std::string(k - frac.size(), '0') + frac;
    return OneOf<Token>({Num(t, v), Num("-" + t, -v), Num(t + "%", v / 100),
                         Num(t + (e < 0 ? "E-" : "e+") + std::to_string(std::abs(e)), scaled)});
  }
  Token Date() {
    const int y = static_cast<int>(Pick(1900, 2099)), h = static_cast<int>(Pick(1, 12)), mi = static_cast<int>(Pick(0, 59));
    const unsigned m = static_cast<unsigned>(Pick(1, 12)), d = static_cast<unsigned>(Pick(1, 28));
    const std::string md = std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
    const std::string hm = std::to_string(h) + (mi < 10 ? ":0" : ":") + std::to_string(mi);
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", y, m, d);
    return OneOf<Token>({DateToken(md, y, m, d), DateToken(iso, y, m, d),
                         DateToken(std::to_string(d) + "-" + kMonths[m - 1] + "-" + std::to_string(y), y, m, d),
                         DateToken(md + " " + hm + " PM", y, m, d, (h % 12 + 12) * 3600 + mi * 60),
                         {hm, {'d', {}, (h * 3600 + mi * 60) / 86400.0}}});  // a time alone
  }
  Token Any() {
    static const std::vector<std::string> kPieces = {"anise", "Bay", " ", ",", "\"", "'", "é", "ß", "中文", "😀", "%", "$", "-", "/"};
    static const std::vector<std::string> kLookAlikes = {"A-12", "1,23", "5 5", "12-", "1.2.3", "4111 1111 1111 1111",
                                                         "1234567890123456", "0x10", "2/30/2026", "25:00", "(-5)"};
    std::string words;
    for (int64_t n = Pick(1, 8); n > 0; --n) words += OneOf(kPieces);
    switch (Pick(0, 9)) {
      case 0: case 1: return Integer();
      case 2: case 3: return Decimal();
      case 4: case 5: return Date();
      case 6: return Text(OneOf(kLookAlikes));
      case 7: return Text("'" + (Pick(0, 1) ? Integer() : Date()).typed);
      default: return Text(words);
    }
  }
  Book Random(std::string name, int columns, int rows, bool breaks = true) {
    Book b{std::move(name), {{}}};
    for (int c = 0; c < columns; ++c) b.rows[0].push_back({Header("C" + std::to_string(c + 1))});
    for (int r = 0; r < rows; ++r) {
      b.rows.emplace_back();
      for (int c = 0; c < columns; ++c) {
        const int64_t shape = Pick(0, breaks ? 19 : 16);  // empty, one token, or two apart
        b.rows.back().push_back(shape < 3 ? ListCell{} : shape < 17 ? ListCell{Any()} : ListCell{Any(), OneOf<Token>({kTab, kLf, kCr, kCrLf}), Any()});
      }
    }
    return b;
  }

 private:
  static std::string Grouped(const std::string& digits) {
    std::string s;
    for (size_t i = 0; i < digits.size(); ++i) s += ((i > 0 && (digits.size() - i) % 3 == 0) ? "," : "") + digits.substr(i, 1);
    return s;
  }
  std::mt19937_64 rng_{20261206};
};

// Strings that cross the shared string table's record boundaries with characters beyond 16
// bits at different offsets, cells of 32,767 characters, the days around the start of 1900,
// and numbers at the edges of how the file stores them.
Book HardCases() {
  Book b{"hard.xls", {{{Header("Size 5\"")}, {Header("Notes, \"quoted\"")}, {Header("When")}, {Header("Number")}}}};
  const std::vector<Token> texts = {
      Text("q" + Repeat("😀", 2055)), Text("qq" + Repeat("😀", 2056)), Text(Repeat("😀中", 1371)),
      Text("q" + Repeat("😀中", 1400)), Text(Repeat("y", 32767)), Text(Repeat("中", 32767)),
      Text("x" + Repeat("😀", 16383)), Text("5\" jar"), Text(" lead and trail "), Text("a, \"b\", c")};
  const std::vector<Token> dates = {
      Text("12/31/1899"), DateToken("1/1/1900", 1900, 1, 1), DateToken("2/28/1900", 1900, 2, 28),
      DateToken("3/1/1900", 1900, 3, 1), DateToken("1/1/1900 6:00 AM", 1900, 1, 1, 6 * 3600),
      DateToken("12/6/2026", 2026, 12, 6), DateToken("12/31/9999", 9999, 12, 31)};
  const std::vector<Token> numbers = {
      Num("0", 0), Num("-0", 0), Num("0.1", 0.1), Num("536870911", 536870911), Num("536870912", 536870912),
      Num("-536870913", -536870913), Num("123456789012345", 123456789012345.0), Num("1E+300", 1e300),
      Num("1e-300", 1e-300), Num("0.01", 0.01), Num("12.34", 12.34), Num("1e+20", 1e20)};
  for (size_t i = 0; i < numbers.size(); ++i)
    b.rows.push_back({{texts[i % texts.size()]}, {texts[(i + 3) % texts.size()]}, {dates[i % dates.size()]}, {numbers[i]}});
  // Texts broken by TABs and line ends, and rows whose first cells are empty.
  b.rows.push_back({{Text("a"), kTab, Text("b")}, {Text("c"), kCrLf, Text("d")}, {Text("e"), kLf}, {Text("f")}});
  b.rows.push_back({{}, {}, {Text("shifted to A")}, {Num("7", 7)}});
  b.rows.push_back({{}, {kCr, Text("g")}, {}, {Text("h")}});
  return b;
}

// Where the cells land: the list's texts joined by TABs (none before the first text of a row),
// rows ended by line ends, then read as the spreadsheet reads pasted text.
Cells Expected(const Book& b) {
  Cells cells;
  int r = 0;
  for (const auto& row : b.rows) {
    int c = 0;
    bool written = false;
    for (const ListCell& cell : row) {
      if (written) ++c;
      for (const Token& t : cell) {
        written |= !t.typed.empty();
        if (t.cell.kind == '\t') ++c;
        else if (t.cell.kind == '\n') ++r, c = 0;
        else if (t.cell.kind) cells[{0, r, c}] = t.cell;
      }
    }
    ++r;
  }
  return cells;
}

void Export(const Book& b, const std::string& path) {
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Form1", 12000, 9000);
  Kestrel& k = form.Add<Kestrel>("K1", 0, 0, 6000, 4000);
  form.Show();
  auto typed = [](const ListCell& cell) {
    std::string s;
    for (const Token& t : cell) s += t.typed;
    return s;
  };
  for (const ListCell& h : b.rows[0]) k.ColumnHeaders().Add(0, {}, typed(h));
  for (size_t r = 1; r < b.rows.size(); ++r) {
    const platform::ListItemRef item = k.ListItems().Add(0, {}, typed(b.rows[r][0]));
    for (size_t j = 1; j < b.rows[r].size(); ++j) item->SubItems(static_cast<int32_t>(j), typed(b.rows[r][j]));
  }
  k.ExportToExcel(path, false);
  for (const auto& box : tk.MessageBoxes()) ADD_FAILURE() << b.name << ": " << box.prompt;
}

// Numbers to as many significant digits as the reader writes them; a reader's clock time may
// round differently in the last bits.
bool Same(const Value& want, const Value& got, int digits) {
  auto round = [digits](double x) {
    char s[40];
    std::snprintf(s, sizeof s, "%.*g", digits, x);
    return std::strtod(s, nullptr);
  };
  if (want.kind != 'n' && want.kind != 'd') return want.kind == got.kind && want.text == got.text;
  return want.kind == got.kind && std::abs(round(want.number) - round(got.number)) <= (want.kind == 'd' ? 1e-9 : 0);
}

std::string Describe(const Value& v) {
  char s[40];
  std::snprintf(s, sizeof s, "%c %.17g", v.kind, v.number);
  if (!v.kind || v.kind == 'n' || v.kind == 'd') return v.kind ? s : "nothing";
  return std::string(1, v.kind) + " \"" + v.text.substr(0, 40) + "\"" + (v.text.size() > 40 ? " (" + std::to_string(v.text.size()) + " bytes)" : "");
}

std::string Unescape(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    const char e = s[i] == '\\' && i + 1 < s.size() ? s[++i] : 0;
    r += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : s[i];
  }
  return r;
}

class Readers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempFolder;
    Typist typist;
    books_ = {HardCases(), typist.Random("random.xls", 12, 400), typist.Random("wide.xls", 256, 6),
              typist.Random("tall.xls", 2, 65535, false)};
    for (const Book& b : books_) Export(b, dir_->File(b.name));
  }
  static void TearDownTestSuite() { delete dir_; }

  // Runs the reader once over every workbook (read_with.sh) and compares what it saw, cell by cell.
  void Check(const std::string& reader, const std::string& package, int digits = 17) {
    std::string command = std::string(TAMARIND_READERS_DIR) + "/read_with.sh " + reader + " " + dir_->File(reader), out;
    for (const Book& b : books_) command += " " + dir_->File(b.name);
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << reader << " is not installed (" << package << ")";
    ASSERT_EQ(status, 0) << reader << " failed";
    std::map<std::string, Cells> seen;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      const size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string::npos) << reader << " printed: " << line;
      int s = 0, r = 0, c = 0, at = 0;
      char kind = '?';
      std::sscanf(line.c_str() + tab, "\t%d\t%d\t%d\t%c%n", &s, &r, &c, &kind, &at);
      const std::string value = line.substr(tab + static_cast<size_t>(at) + 1);  // after the TAB: a text may start with spaces
      seen[line.substr(0, tab)][{s, r, c}] = Value{kind, Unescape(value), std::strtod(value.c_str(), nullptr)};
    }
    for (const Book& b : books_) {
      const Cells expected = Expected(b);
      std::string firsts;
      size_t differences = 0;
      for (const auto& [at, want] : expected) seen[b.name].try_emplace(at);  // cells the reader missed
      for (const auto& [at, got] : seen[b.name]) {
        const auto it = expected.find(at);
        const Value want = it == expected.end() ? Value{} : it->second;
        if (Same(want, got, digits) || ++differences > 5) continue;
        const auto [s, r, c] = at;
        firsts += "\n  sheet " + std::to_string(s + 1) + " row " + std::to_string(r + 1) + " column " + std::to_string(c + 1) +
                  ": expected " + Describe(want) + ", read " + Describe(got);
      }
      EXPECT_EQ(differences, 0u) << reader << " read " << b.name << " differently from the export:" << firsts;
    }
  }

  static inline TempFolder* dir_ = nullptr;
  static inline std::vector<Book> books_;
};

TEST_F(Readers, PythonXlrd) { Check("xlrd", "python3-xlrd"); }
TEST_F(Readers, PerlParseExcel) { Check("parseexcel", "libspreadsheet-parseexcel-perl"); }
// LibreOffice writes its numbers to 15 significant digits.
TEST_F(Readers, LibreOfficeCalc) { Check("libreoffice", "libreoffice-calc-nogui", 15); }
TEST_F(Readers, GnumericSsconvert) { Check("gnumeric", "gnumeric"); }

}  // namespace
}  // namespace tamarind::testing
