#pragma once
// What the printing suites share: running poppler's readers on a PDF, and environment variables
// set for one test.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace tamarind::testing {

// What a command printed on its standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  EXPECT_EQ(pclose(pipe), 0) << command;
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
