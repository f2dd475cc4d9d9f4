// What DrawLines asks the editor and what it draws, with a scripted editor whose rows are its
// text lines, a picture box that records the drawing and a desktop of known colours.
#include "gutter/draw_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gutter/gutter_painter.h"

namespace tambrel::gutter {
namespace {

using platform::ColorRef;
using platform::PixelRect;

constexpr ColorRef kBlueWindowText = 0x00FF0000;
constexpr ColorRef kGreyShadow = 0x00808080;

// A desktop with blue window text and a grey button shadow, and no other colours.
class KnownDesktop final : public platform::SystemColors {
 public:
  std::optional<ColorRef> SystemColor(std::uint32_t index) const override {
    switch (index) {
      case 8:
        return kBlueWindowText;
      case 16:
        return kGreyShadow;
      default:
        return std::nullopt;
    }
  }
};

// An editor whose display rows are the lines of its text, scrolled to a given row.
class ScriptedEditor final : public platform::EditBox {
 public:
  ScriptedEditor() : EditBox("Text1") {}

  std::u16string text;
  std::int32_t sel_start = 0;
  std::int32_t sel_length = 0;
  std::int32_t first_visible = 0;
  std::int32_t first_top = 0;
  std::int32_t largest_limit = 0;

  std::u16string Text() const override { return text; }
  std::int32_t TextLength() const override { return static_cast<std::int32_t>(text.size()); }
  void SetText(const std::u16string& value) override { text = value; }
  void SetNewLine(std::u16string_view) override {}
  std::int32_t SelStart() const override { return sel_start; }
  void SetSelStart(std::int32_t start) override { sel_start = start; }
  std::int32_t SelLength() const override { return sel_length; }
  void SetSelLength(std::int32_t length) override { sel_length = length; }
  void SetFocus() override {}
  platform::FontChoice Font() const override { return {}; }
  void SetFont(const platform::FontChoice&) override {}
  platform::OleColor ForeColor() const override { return platform::kBlack; }
  void SetForeColor(platform::OleColor) override {}

  // A repaint must never need the whole document counted.
  std::int32_t LineCount() override {
    ADD_FAILURE() << "DrawLines counted every row";
    return Rows();
  }
  std::int32_t LineFromChar(std::int32_t index) override {
    ADD_FAILURE() << "DrawLines counted rows without a limit";
    return RowOf(index);
  }
  std::int32_t FirstVisibleLine() override { return first_visible; }
  std::int32_t LineCountUpTo(std::int32_t limit) override {
    largest_limit = std::max(largest_limit, limit);
    return std::min(Rows(), limit);
  }
  std::int32_t LineFromCharUpTo(std::int32_t index, std::int32_t limit) override {
    largest_limit = std::max(largest_limit, limit);
    return std::min(RowOf(index), limit);
  }
  std::int32_t FirstVisibleLineTop() override { return first_top; }

  void OnChange(std::function<void()>) override {}
  void OnKeyUp(std::function<void(std::int16_t, std::int16_t)>) override {}
  void OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)>) override {}
  void OnDrop(std::function<void(const platform::DropData&)>) override {}
  platform::EditHook SetHook(platform::EditHook) override { return nullptr; }

 private:
  std::int32_t Rows() const {
    return static_cast<std::int32_t>(std::count(text.begin(), text.end(), u'\n')) + 1;
  }
  // A line break belongs to the row it ends.
  std::int32_t RowOf(std::int32_t index) const {
    const auto end = text.begin() + std::clamp<std::int32_t>(index, 0, TextLength());
    return static_cast<std::int32_t>(std::count(text.begin(), end, u'\n'));
  }
};

class RecordingPicture final : public platform::PictureBox {
 public:
  RecordingPicture() : PictureBox("picLines") {}

  struct Text {
    std::u16string text;
    PixelRect rect;
    ColorRef color;
  };

  platform::OleColor back_color = platform::kWhite;
  std::vector<std::pair<PixelRect, ColorRef>> fills;
  std::vector<Text> texts;
  std::vector<PixelRect> lines;  // x, top, x + 1, bottom
  std::vector<ColorRef> line_colors;
  int refreshes = 0;

  platform::FontChoice Font() const override { return {}; }
  void SetFont(const platform::FontChoice&) override {}
  platform::OleColor BackColor() const override { return back_color; }
  platform::OleColor ForeColor() const override { return platform::kBlack; }
  PixelRect ClientRect() const override { return {0, 0, 40, 100}; }
  // Rows 16 pixels high, digits 6 pixels wide.
  PixelRect MeasureText(std::u16string_view text) const override {
    if (text == u"Hy") return {0, 0, 17, 16};
    EXPECT_EQ(text.find_first_not_of(u"0123456789"), std::u16string_view::npos);
    return {0, 0, 6 * static_cast<int>(text.size()), 16};
  }
  void FillRect(const PixelRect& rect, ColorRef color) override { fills.emplace_back(rect, color); }
  void DrawTextRight(std::u16string_view text, const PixelRect& rect, ColorRef color) override {
    texts.push_back({std::u16string(text), rect, color});
  }
  void DrawVerticalLine(int x, int top, int bottom, ColorRef color) override {
    lines.push_back({x, top, x + 1, bottom});
    line_colors.push_back(color);
  }
  void Refresh() override { ++refreshes; }

  std::vector<std::u16string> StrongNumbers() const {
    std::vector<std::u16string> strong;
    for (const Text& t : texts) {
      if (t.color == kBlueWindowText) strong.push_back(t.text);
    }
    return strong;
  }
};

class DrawLinesWith : public ::testing::Test {
 protected:
  DrawLinesWith() {
    // Ten one-row lines "0" to "9"; the gutter shows rows 2 to 7.
    for (int i = 0; i < 10; ++i) editor.text += std::u16string(1, u'0' + i) + u"\n";
    editor.text.pop_back();
    editor.first_visible = 2;
  }

  void Select(std::int32_t start, std::int32_t length) {
    editor.sel_start = start;
    editor.sel_length = length;
    DrawLines(picture, editor, desktop);
  }

  ScriptedEditor editor;
  RecordingPicture picture;
  KnownDesktop desktop;
};

TEST_F(DrawLinesWith, TheWorkedExampleDrawsSixRowsThenTheSeparator) {
  Select(3 * 2, 3);  // "3\n4": rows 3 and 4
  ASSERT_EQ(picture.texts.size(), 6u);
  EXPECT_EQ(picture.texts.front().text, u"3");
  EXPECT_EQ(picture.texts.front().rect, (PixelRect{2, 0, 38, 16}));
  EXPECT_EQ(picture.texts.back().text, u"8");
  EXPECT_EQ(picture.StrongNumbers(), (std::vector<std::u16string>{u"4", u"5"}));
  ASSERT_EQ(picture.fills.size(), 1u);
  EXPECT_EQ(picture.fills[0].first, (PixelRect{0, 0, 40, 100}));
  EXPECT_EQ(picture.fills[0].second, 0x00FFFFFF);
  EXPECT_EQ(picture.lines, (std::vector<PixelRect>{{39, 0, 40, 100}}));
  EXPECT_EQ(picture.line_colors, std::vector<ColorRef>{kGreyShadow});
  EXPECT_EQ(picture.refreshes, 1);
}

TEST_F(DrawLinesWith, RowsOutsideTheSelectionTakeTheDesktopsButtonShadow) {
  Select(3 * 2, 3);  // numbers 3 to 8 drawn, 4 and 5 selected
  std::vector<ColorRef> colors;
  for (const RecordingPicture::Text& row : picture.texts) colors.push_back(row.color);
  EXPECT_EQ(colors, (std::vector<ColorRef>{kGreyShadow, kBlueWindowText, kBlueWindowText,
                                           kGreyShadow, kGreyShadow, kGreyShadow}));
}

TEST_F(DrawLinesWith, ACaretMarksItsRowOnly) {
  Select(5 * 2 + 1, 0);  // after "5"
  EXPECT_EQ(picture.StrongNumbers(), std::vector<std::u16string>{u"6"});
}

TEST_F(DrawLinesWith, OneSelectedCharacterMarksItsRowOnly) {
  Select(4 * 2, 1);
  EXPECT_EQ(picture.StrongNumbers(), std::vector<std::u16string>{u"5"});
}

TEST_F(DrawLinesWith, ASelectionEndingJustAfterALineBreakLeavesTheNextRowGrey) {
  Select(3 * 2, 4);  // "3\n4\n": the last selected character is the break closing row 4
  EXPECT_EQ(picture.StrongNumbers(), (std::vector<std::u16string>{u"4", u"5"}));
}

TEST_F(DrawLinesWith, RowsAreNeverCountedBeyondTheLastWholeRow) {
  Select(editor.TextLength(), 0);
  EXPECT_EQ(editor.largest_limit, 8);
  EXPECT_TRUE(picture.StrongNumbers().empty());
}

TEST_F(DrawLinesWith, TheFirstRowFollowsTheEditorsTopOffset) {
  editor.first_top = 5;
  Select(0, 0);
  ASSERT_EQ(picture.texts.size(), 5u);
  EXPECT_EQ(picture.texts.front().rect, (PixelRect{2, 5, 38, 21}));
}

TEST_F(DrawLinesWith, AnUntranslatableBackgroundStillGetsNumbersAndSeparator) {
  picture.back_color = 0x7F000001;
  Select(0, 0);
  ASSERT_EQ(picture.fills.size(), 1u);
  EXPECT_EQ(picture.fills[0].second, platform::kUntranslatableColor);
  EXPECT_EQ(picture.texts.size(), 6u);
  EXPECT_EQ(picture.lines.size(), 1u);
}

TEST_F(DrawLinesWith, AnswersTheWidthItsWidestNumberNeedsWhole) {
  // Rows 2 to 7 drawn: one digit each.
  EXPECT_EQ(DrawLines(picture, editor, desktop), GutterWidthFor(6));
  editor.text = u"";
  for (int i = 0; i < 120; ++i) editor.text += u"x\n";
  editor.first_visible = 95;  // rows 96 to 101: three digits at the bottom
  EXPECT_EQ(DrawLines(picture, editor, desktop), GutterWidthFor(18));
  EXPECT_EQ(GutterWidthFor(18), 18 + 2 * kNumberMargin + 1);
}

}  // namespace
}  // namespace tambrel::gutter
