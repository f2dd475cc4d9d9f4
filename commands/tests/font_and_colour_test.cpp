// The font and colour commands through the window's menus, over the fake window system.
#include <gtest/gtest.h>

#include "tests/support/fake_form.h"

namespace tambrel::commands {
namespace {

using platform::FontChoice;
using platform::OleColor;

class FontAndColour : public ::testing::Test {
 protected:
  main_window::Form1& form() { return fake_.form(); }
  testing::ScriptedDialogs& dialogs() { return fake_.dialogs(); }

  testing::FakeForm fake_;
};

class FontCommand : public FontAndColour {};

TEST_F(FontCommand, OpensOnTheEditorsFont) {
  const FontChoice editor{u"DejaVu Serif", 16.0, false, true};
  form().Text1.SetFont(editor);
  form().CommonDialog1.FontName = u"Stale";
  form().CommonDialog1.FontSize = 40.0f;
  dialogs().font_answers.push_back(std::nullopt);
  fake_.Click("ZtB");
  ASSERT_EQ(dialogs().font_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs().font_dialog_starts[0], editor);
}

TEST_F(FontCommand, AConfirmedChoiceGoesToTheEditorAndTheGutter) {
  const FontChoice chosen{u"Noto Sans CJK SC", 14.0, true, false};
  const int row_height_before = form().picLines.MeasureText(u"8").bottom;
  dialogs().font_answers.push_back(chosen);
  fake_.Click("ZtB");
  EXPECT_EQ(form().Text1.Font(), chosen);
  EXPECT_EQ(form().picLines.Font(), chosen);
  EXPECT_EQ(form().CommonDialog1.FontName, chosen.name);
  // The gutter measures its rows in its own font, so they grow with it.
  EXPECT_GT(form().picLines.MeasureText(u"8").bottom, row_height_before);
}

TEST_F(FontCommand, KeepsAFractionalSizeExactly) {
  dialogs().font_answers.push_back(FontChoice{u"DejaVu Sans", 10.3, false, false});
  fake_.Click("ZtB");
  EXPECT_EQ(form().Text1.Font().size, 10.3);
  EXPECT_EQ(form().picLines.Font().size, 10.3);
}

TEST_F(FontCommand, ACancelKeepsTheEditorsFontAndGivesItToTheGutter) {
  const FontChoice editor{u"DejaVu Sans", 11.0, true, true};
  form().Text1.SetFont(editor);
  form().picLines.SetFont(FontChoice{u"DejaVu Serif", 30.0, false, false});
  dialogs().font_answers.push_back(std::nullopt);
  fake_.Click("ZtB");
  EXPECT_EQ(form().Text1.Font(), editor);
  EXPECT_EQ(form().picLines.Font(), editor);
}

class ColourCommand : public FontAndColour {
 protected:
  // As the start-up tick leaves the dialog: starting from the editor's text colour.
  void SetUp() override { fake_.Start(); }
};

constexpr OleColor kRed = platform::RgbColor(255, 0, 0);

TEST_F(ColourCommand, AConfirmedColourGoesToTheEditorsText) {
  const OleColor start = form().Text1.ForeColor();
  const OleColor gutter_colour = form().picLines.ForeColor();
  dialogs().color_answers.push_back(kRed);
  fake_.Click("ZtC");
  EXPECT_EQ(form().Text1.ForeColor(), kRed);
  ASSERT_EQ(dialogs().color_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs().color_dialog_starts[0], start);
  EXPECT_EQ(form().picLines.ForeColor(), gutter_colour);
}

TEST_F(ColourCommand, ACancelKeepsTheTextColour) {
  const OleColor start = form().Text1.ForeColor();
  dialogs().color_answers.push_back(std::nullopt);
  fake_.Click("ZtC");
  EXPECT_EQ(form().Text1.ForeColor(), start);
}

TEST_F(ColourCommand, RedThenACancelStaysRed) {
  dialogs().color_answers.push_back(kRed);
  fake_.Click("ZtC");
  dialogs().color_answers.push_back(std::nullopt);
  fake_.Click("ZtC");
  EXPECT_EQ(form().Text1.ForeColor(), kRed);
  ASSERT_EQ(dialogs().color_dialog_starts.size(), 2u);
  EXPECT_EQ(dialogs().color_dialog_starts[1], kRed);  // reopens on the last colour
}

}  // namespace
}  // namespace tambrel::commands
