#pragma once
// Screenshots a test took, written out when the test fails so a person can look at what the checks
// saw. They go under the build tree (TAMARIND_QT_SCREENS_DIR), one folder per test.

#include <QDir>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <iostream>
#include <utility>
#include <vector>

namespace tamarind::testing {

class Screens {
 public:
  void Keep(const QString& name, const QImage& image) { shots_.emplace_back(name, image); }

  // Writes the kept screenshots if the current test failed.
  ~Screens() {
    if (!::testing::Test::HasFailure() || shots_.empty()) return;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QString test = QString(info->test_suite_name()) + "." + info->name();
    test.replace('/', '_');
    const QString folder = QString(TAMARIND_QT_SCREENS_DIR) + "/" + test;
    QDir().mkpath(folder);
    for (const auto& [name, image] : shots_) {
      const QString path = folder + "/" + name + ".png";
      image.save(path);
      std::cout << "  screenshot of the failed check: " << path.toStdString() << "\n";
    }
  }

 private:
  std::vector<std::pair<QString, QImage>> shots_;
};

}  // namespace tamarind::testing
