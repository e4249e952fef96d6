#pragma once
// A Kestrel on a host form of the headless desktop, a person who clicks its title bar and tabs,
// and a host that notes TitleBarClick and TabClick. The suites read what is on screen: where the
// title bar, the tab strip and the list stand in twips, the tabs' captions, the list's background
// picture pixel by pixel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/controls/TabStrip.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Error.h"
#include "tests/kestrel/KestrelOnAForm.h"

namespace tamarind::testing {

class BandClicks : public KestrelEvents {
 public:
  std::vector<std::string> log;
  int32_t answerTabIndex = -1;  // what the host writes into TabIndex, when not negative
  void TitleBarClick(int16_t Button) override { log.push_back("TitleBarClick " + std::to_string(Button)); }
  void TabClick(int32_t& TabIndex) override {
    log.push_back("TabClick " + std::to_string(TabIndex));
    if (answerTabIndex >= 0) TabIndex = answerTabIndex;
  }
};

class PresentationTest : public KestrelOnAForm<BandClicks> {
 protected:
  // At the form's corner, so the control's boxes read in the form's twips.
  PresentationTest() : KestrelOnAForm(Placement{9000, 0, 0, 6000, 4000}) {}

  // The control's inner tab strip, found on screen among its child windows as a person's
  // accessibility tool would find it.
  platform::TabStrip& Strip() {
    for (platform::Window* w : k.ChildWindows())
      if (auto* strip = dynamic_cast<platform::TabStrip*>(w)) return *strip;
    throw Error(err::ObjectNotSet, "no tab strip on the control");
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int32_t i = 1; i <= Strip().Count(); ++i) out.push_back(Strip().Item(i).Caption());
    return out;
  }
  // Left, top, width and height in twips.
  static std::vector<float> Box(const platform::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
  void Size(float width, float height) { form.MoveControl(k, 0, 0, width, height); }
};

using Boxes = std::vector<float>;
using Texts = std::vector<std::string>;

}  // namespace tamarind::testing
