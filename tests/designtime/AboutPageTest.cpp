// The About page on both realisations: the library's version, the web address and the feedback
// form, which opens the feedback address with the name and comment encoded, or asks for both.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "designtime/AboutPage.h"
#include "platform/controls/SimpleControls.h"
#include "tests/designtime/PageDesks.h"

namespace tamarind::testing {
namespace {

using designtime::AboutPage;
using platform::CommandButton;
using platform::Label;
using platform::TextBox;
using Lines = std::vector<std::string>;

class About : public ::testing::TestWithParam<PageRealisation> {
 protected:
  About() : desk(GetParam().make()), page(desk->Site<AboutPage>()) {}
  void Submit(std::string_view name, std::string_view comment) {
    desk->Retype(Part<TextBox>(page, "txtNAME"), name);
    desk->Retype(Part<TextBox>(page, "txtCOMMENTS"), comment);
    desk->Click(Part<CommandButton>(page, "cmdSUBMIT"));
  }

  std::unique_ptr<PageDesk> desk;
  AboutPage& page;
};

TEST_P(About, ShowsTheLibrarysVersionAndOpensItsWebPage) {
  EXPECT_EQ(Part<Label>(page, "lblVERSION").Caption(), "Version: " TAMARIND_PROJECT_VERSION);
  desk->Click(Part<Label>(page, "lblWEB"));
  EXPECT_EQ(desk->Opened(), Lines{"open https://tamarind.example/docs/about"});
}

TEST_P(About, SubmitAsksForANameAndACommentAndOpensNothingWithoutBoth) {
  const std::string thanks = "Thank You|Please supply both a name and a comment.|" + std::to_string(vbInformation);
  Submit("Ann", "");
  EXPECT_EQ(desk->MessageBoxes(), Lines{thanks});
  Submit("", "Fine list");
  EXPECT_EQ(desk->MessageBoxes(), (Lines{thanks, thanks}));
  EXPECT_TRUE(desk->Opened().empty());
}

TEST_P(About, SubmitOpensTheFeedbackAddressWithBothEncoded) {
  Submit("Ann", "Hi there");
  EXPECT_EQ(desk->Opened(),
            Lines{"open https://tamarind.example/feedback?txtNAME=%41%6E%6E&txtCOMMENT=%48%69%20%74%68%65%72%65"});
  EXPECT_TRUE(desk->MessageBoxes().empty());
}

TEST_P(About, StringToURLEncodesEveryCharacterAndALineBreakAsBr) {
  const struct {
    const char* text;
    const char* url;
  } cases[] = {
      {"A", "%41"},
      {"\t", "%9"},                                   // no leading zero
      {"z9 ", "%7A%39%20"},                           // letters and digits too
      {"a\r\nb", "%61%3C%62%72%3E%62"},               // CR LF is one "<br>"
      {"\r\n\r\n", "%3C%62%72%3E%3C%62%72%3E"},
      {"x\r", "%78%3C%62%72%3E"},                     // a CR at the end skips nothing beyond it
      {"\xC3\xA9\xE2\x82\xAC", "%E9%20AC"},           // é and €: their code points
      {"\xFF", "%FF"},                                // a byte that is no UTF-8: its value
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(page.StringToURL(c.text), c.url) << c.text;
  EXPECT_TRUE(desk->MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Designtime, About, ::testing::ValuesIn(PageRealisations()), PageRealisationName);

}  // namespace
}  // namespace tamarind::testing
