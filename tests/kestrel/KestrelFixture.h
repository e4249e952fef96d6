#pragma once
// A headless desktop with a form to site Kestrels on, and the helpers the control suites share.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/FormFile.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"
#include "sorting/HeaderArrows.h"

namespace tamarind::testing {

struct Desk {
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Form1", 12000, 9000};
  platform::headless::UserDriver user{tk};

  Kestrel& Place(const std::string& name = "K1", const platform::PropertyBag* saved = nullptr) {
    return form.Add<Kestrel>(name, 0, 0, 6000, 4000, saved);
  }
  // Saves a control and sites a new one from what was saved.
  Kestrel& Reload(Kestrel& k, const std::string& name = "K2") {
    bags.push_back(form.Save(k));
    return Place(name, &bags.back());
  }
  std::vector<platform::PropertyBag> bags;
};

// The header icons are the two built-in 12 x 12 arrows, up then down.
inline void ExpectBuiltInArrows(const platform::ImageListRef& icons) {
  ASSERT_TRUE(icons);
  EXPECT_EQ(icons->Count(), 2);
  EXPECT_EQ(icons->ImageWidth(), 12);
  EXPECT_TRUE(icons->SameImages(*sorting::BuiltInArrowImages()));
}

using test_support::ErrorNumberOf;

}  // namespace tamarind::testing
