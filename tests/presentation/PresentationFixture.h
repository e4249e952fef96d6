#pragma once
// A Kestrel at the form's corner, so its boxes read in the form's twips, and its inner tab strip.

#include <string>
#include <vector>

#include "platform/controls/TabStrip.h"
#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

class PresentationTest : public KestrelTest {
 protected:
  PresentationTest() : KestrelTest(0, 0, 6000, 4000) {}

  // The control's inner tab strip, found on screen among its child windows as a person's
  // accessibility tool would find it.
  platform::TabStrip& Strip() {
    for (platform::Window* w : k.ChildWindows())
      if (auto* strip = dynamic_cast<platform::TabStrip*>(w)) return *strip;
    throw Error(err::ObjectNotSet, "no tab strip on the control");
  }
  Texts Captions() {
    Texts out;
    for (int32_t i = 1; i <= Strip().Count(); ++i) out.push_back(Strip().Item(i).Caption());
    return out;
  }
  // Left, top, width and height in twips.
  static std::vector<float> Box(const platform::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
  void Size(float width, float height) { form.MoveControl(k, 0, 0, width, height); }
};

using Boxes = std::vector<float>;

}  // namespace tamarind::testing
