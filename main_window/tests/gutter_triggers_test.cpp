// What brings the gutter up to date, over the fake window system: a change of the text, a key or
// mouse button let go, the gutter's timer, a scroll, the rows above the view becoming counted, a
// resize. Each draws from the editor's rows as they are then, and only when the picture differs
// from the one the gutter shows. The fake draws every digit as a box one glyph cell wide, in the
// colour of its number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gutter/gutter_painter.h"
#include "tests/support/fake_form.h"
#include "tests/support/fake_measures.h"
#include "tests/support/temp_dir.h"

namespace tambrel::main_window {
namespace {

using platform::ColorRef;

// The fake desktop's colours: the caret's and the selection's numbers in window text, the others
// and the separator in button shadow, on the gutter's white.
constexpr ColorRef kStrong = 0x000000;
constexpr ColorRef kWeak = 0x808080;
constexpr ColorRef kBackground = 0xFFFFFF;

// One short line per row, numbered in the text.
std::u16string ShortLines(int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(i + 1);
    text += u"第" + std::u16string(number.begin(), number.end()) + u"行\n";
  }
  return text;
}

// The window loaded as the program loads it (its hook on the editor), and started.
class GutterTriggers : public ::testing::Test {
 protected:
  GutterTriggers() : fake_(WithSkin(folder_)) {
    EXPECT_EQ(fake_.form().Form_Load(), LoadOutcome::kRunning);
    fake_.Start();
  }

  static Environment WithSkin(const testing::TempDir& folder) {
    folder.Write(kSkinFileName, "");
    Environment environment = testing::FakeForm::DesignScreen();
    environment.executable_directory = folder.path();
    return environment;
  }

  Form1& form() { return fake_.form(); }
  testing::FakeEditBox& editor() { return fake_.editor(); }
  testing::FakePictureBox& gutter() { return fake_.gutter(); }
  int RowHeight() { return testing::GlyphBoxOf(form().picLines.Font()).height; }

  // The gutter's pixel rows that hold ink of the colour, left of the separator.
  std::vector<int> RowsIn(ColorRef colour) {
    const platform::PixelRect client = gutter().ClientRect();
    std::vector<int> rows;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right - 1; ++x) {
        if (gutter().Point(x, y) == colour) {
          rows.push_back(y);
          break;
        }
      }
    }
    return rows;
  }

  // The digits of the number on screen row k: the glyph boxes across the middle of its row.
  int DigitsOnRow(int k) {
    const platform::PixelRect client = gutter().ClientRect();
    const int y = k * RowHeight() + RowHeight() / 2;
    int digits = 0;
    bool in_ink = false;
    for (int x = 0; x < client.right - 1; ++x) {
      const bool ink = gutter().Point(x, y) != kBackground;
      digits += ink && !in_ink;
      in_ink = ink;
    }
    return digits;
  }

  // The leftmost column of any number's ink; the client width when there is none.
  int FirstInkColumn() {
    const platform::PixelRect client = gutter().ClientRect();
    for (int x = 0; x < client.right - 1; ++x) {
      for (int y = 0; y < client.bottom; ++y) {
        if (gutter().Point(x, y) != kBackground) return x;
      }
    }
    return client.right;
  }

  testing::TempDir folder_;
  testing::FakeForm fake_;
};

TEST_F(GutterTriggers, TypingClearsSaved) {
  ASSERT_TRUE(form().Saved());
  editor().Type(u"字");
  EXPECT_FALSE(form().Saved());
  editor().Type(u"词");
  EXPECT_FALSE(form().Saved());
}

TEST_F(GutterTriggers, ANewTextNumbersItsRowsAndMarksTheCaretsRow) {
  form().Text1.SetText(u"第1行\n第2行\n第3行");
  // The change event drew: three numbers, the first (the caret's row) strong.
  EXPECT_EQ(DigitsOnRow(0), 1);
  EXPECT_EQ(DigitsOnRow(2), 1);
  EXPECT_EQ(DigitsOnRow(3), 0) << "no number below the last row";
  const std::vector<int> strong = RowsIn(kStrong);
  ASSERT_FALSE(strong.empty());
  EXPECT_GE(strong.front(), 0);
  EXPECT_LT(strong.back(), RowHeight());
  const std::vector<int> weak = RowsIn(kWeak);
  ASSERT_FALSE(weak.empty());
  EXPECT_GE(weak.front(), RowHeight());
  EXPECT_LT(weak.back(), 3 * RowHeight());
}

TEST_F(GutterTriggers, TheSelectionsRowsAreStrongOnceAKeyIsLetGo) {
  form().Text1.SetText(ShortLines(5));
  const std::u16string text = form().Text1.Text();
  // From inside line 2 to inside line 4: rows 1 to 3.
  form().Text1.SetSelStart(static_cast<std::int32_t>(text.find(u"第2行")) + 1);
  editor().MoveCaret(editor::Motion::kDown, editor::Selecting::kExtend);
  editor().MoveCaret(editor::Motion::kDown, editor::Selecting::kExtend);
  editor().ReleaseKey(0x28, 1);
  const std::vector<int> strong = RowsIn(kStrong);
  ASSERT_FALSE(strong.empty());
  EXPECT_GE(strong.front(), RowHeight());
  EXPECT_LT(strong.back(), 4 * RowHeight());
  EXPECT_GE(strong.back(), 3 * RowHeight());
}

TEST_F(GutterTriggers, ATriggerThatChangesNothingDrawsNothing) {
  form().Text1.SetText(ShortLines(5));
  const int after_text = gutter().Refreshes();
  // A letter changes no number: its change event draws nothing.
  editor().Type(u"x");
  EXPECT_EQ(gutter().Refreshes(), after_text);
  // A new line does: its change draws once, and its key's release, a click's, the gutter's timer
  // find nothing new.
  editor().PressReturn();
  EXPECT_EQ(gutter().Refreshes(), after_text + 1);
  editor().ReleaseKey(0x58);
  editor().ReleaseMouse();
  form().Timer3_Timer();
  ASSERT_TRUE(fake_.timer("Timer3").Tick());
  EXPECT_EQ(gutter().Refreshes(), after_text + 1);

  // A caret moved by a key shows once the key is let go, and once only.
  editor().MoveCaret(editor::Motion::kDown);
  EXPECT_EQ(gutter().Refreshes(), after_text + 1);
  editor().ReleaseKey(0x28);
  EXPECT_EQ(gutter().Refreshes(), after_text + 2);
  const std::vector<int> strong = RowsIn(kStrong);
  ASSERT_FALSE(strong.empty());
  EXPECT_GE(strong.front(), 2 * RowHeight());
  EXPECT_LT(strong.back(), 3 * RowHeight());
}

TEST_F(GutterTriggers, AMouseButtonLetGoShowsWhereTheClickPutTheCaret) {
  form().Text1.SetText(ShortLines(5));
  form().Text1.SetSelStart(static_cast<std::int32_t>(form().Text1.Text().find(u"第3行")));
  EXPECT_LT(RowsIn(kStrong).back(), RowHeight()) << "the gutter waits for an event";
  editor().ReleaseMouse();
  const std::vector<int> strong = RowsIn(kStrong);
  ASSERT_FALSE(strong.empty());
  EXPECT_GE(strong.front(), 2 * RowHeight());
  EXPECT_LT(strong.back(), 3 * RowHeight());
}

TEST_F(GutterTriggers, AScrollRepaintsAtTheNewPosition) {
  form().Text1.SetText(ShortLines(400));
  fake_.ProcessEvents();
  editor().Wheel(100);
  EXPECT_EQ(form().FirstVisibleLine(), 100);
  // Row 101 and on: three digits each, and the caret's row is out of view.
  EXPECT_EQ(DigitsOnRow(0), 3);
  EXPECT_TRUE(RowsIn(kStrong).empty());
  editor().Wheel(-100);
  EXPECT_EQ(DigitsOnRow(0), 1);
  EXPECT_FALSE(RowsIn(kStrong).empty());
}

TEST_F(GutterTriggers, NoNumberIsDrawnUntilTheRowsAboveAreCountedThenEveryNumberIsWhole) {
  form().Text1.SetText(ShortLines(300000));
  const float editor_width = *form().Text1.Width();
  // Ctrl+End: the view jumps to the end, far beyond the rows counted so far.
  form().Text1.SetSelStart(form().Text1.TextLength());
  ASSERT_EQ(form().Text1.CountedFirstVisibleLine(), std::nullopt);
  form().Timer3_Timer();
  EXPECT_TRUE(RowsIn(kStrong).empty());
  EXPECT_TRUE(RowsIn(kWeak).empty());
  const platform::PixelRect client = gutter().ClientRect();
  EXPECT_EQ(gutter().Point(client.right - 1, client.bottom / 2), kWeak) << "the separator";

  // Counted while idle; the count's own notice repaints, as a scroll does.
  fake_.ProcessEvents();
  ASSERT_TRUE(form().Text1.CountedFirstVisibleLine());
  EXPECT_GT(form().FirstVisibleLine(), 299000);
  EXPECT_EQ(DigitsOnRow(0), 6);
  // The gutter took from the editor the room six digits need, and no more than a number's worth.
  EXPECT_GE(gutter().ClientRect().right, gutter::GutterWidthFor(6 * 8));
  EXPECT_GT(FirstInkColumn(), gutter::kNumberMargin - 1);
  EXPECT_LT(*form().Text1.Width(), editor_width);
  EXPECT_GT(*form().Text1.Width(), editor_width / 2);
}

TEST_F(GutterTriggers, AWiderWindowRedrawsTheGutterAtItsNewWidth) {
  form().Text1.SetText(ShortLines(3));
  const int width_before = gutter().ClientRect().right;
  const int refreshes = gutter().Refreshes();
  form().window().SetWidth(form().window().Width() * 2);
  EXPECT_GT(gutter().ClientRect().right, width_before);
  EXPECT_EQ(gutter().Refreshes(), refreshes + 1);
  // Minimised, a resize lays nothing out and draws nothing.
  form().window().SetState(platform::WindowState::kMinimized);
  form().window().SetWidth(form().window().Width() / 2);
  EXPECT_EQ(gutter().Refreshes(), refreshes + 1);
}

}  // namespace
}  // namespace tambrel::main_window
