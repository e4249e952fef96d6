#pragma once
// A settings store of its own for each test: a fresh temporary folder that the registry functions
// use while the test runs, removed afterwards.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/registry/Registry.h"

namespace tamarind::test_support {

class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamarind-store-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    storeFile_ = folder_ / "settings" / "registry.txt";
    platform::SetRegistryStorePath(storeFile_);
  }
  void TearDown() override {
    platform::SetRegistryStorePath({});
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  const std::filesystem::path& StoreFile() const { return storeFile_; }

  bool StoreExists() const { return std::filesystem::exists(storeFile_); }
  std::string StoreBytes() const {
    std::ifstream in(storeFile_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteStoreBytes(const std::string& bytes) const {
    std::filesystem::create_directories(storeFile_.parent_path());
    std::ofstream out(storeFile_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

 private:
  std::filesystem::path folder_;
  std::filesystem::path storeFile_;
};

}  // namespace tamarind::test_support
