#pragma once
// What the printing suites share: a list to print, running poppler's readers on a PDF, and
// environment variables set for one test.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

// A shown Kestrel to print: left, right and centred columns, the middle one twice as wide, and
// rows of which the second has a note too long for its column on a portrait page.
class ReportDesk : public ::testing::Test {
 protected:
  ReportDesk() : k(desk.Place()) { desk.form.Show(); }
  void ThreeColumns() {
    k.ColumnHeaders().Add(0, {}, "Name", 1440);
    k.ColumnHeaders().Add(0, {}, "Notes", 2880, platform::ColumnHeader::lvwColumnRight);
    k.ColumnHeaders().Add(0, {}, "Qty", 1440, platform::ColumnHeader::lvwColumnCenter);
  }
  void AddRows(int n) {
    for (int i = 1; i <= n; ++i) {
      auto item = k.ListItems().Add(0, {}, "Row " + std::to_string(i));
      item->SubItems(1, i == 2 ? "A note far too long to fit into the narrow column it was given" : "n" + std::to_string(i));
      item->SubItems(2, std::to_string(i));
    }
  }

  Desk desk;
  Kestrel& k;
};

// What a command printed on its standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
  return out;
}

inline std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
inline std::string Info(const std::filesystem::path& pdf) { return Output("pdfinfo " + Quoted(pdf)); }
inline std::string PageText(const std::filesystem::path& pdf, int page) {
  const std::string n = std::to_string(page);
  return Output("pdftotext -layout -f " + n + " -l " + n + " " + Quoted(pdf) + " -");
}
inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An environment variable set for one test and put back after it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace tamarind::testing
