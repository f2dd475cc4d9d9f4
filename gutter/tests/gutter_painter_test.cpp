#include "gutter/gutter_painter.h"

#include <gtest/gtest.h>

#include <vector>

namespace tambrel::gutter {
namespace {

using platform::PixelRect;
constexpr NumberColour kGrey = NumberColour::kOutsideSelection;
constexpr NumberColour kStrong = NumberColour::kInSelection;

GutterInputs Example() {
  GutterInputs in;
  in.W = 40;
  in.H = 100;
  in.h = 16;
  in.N = 10;
  in.F = 2;
  in.S = 3;
  in.E = 4;
  return in;
}

std::vector<std::u16string> Texts(const GutterPicture& picture) {
  std::vector<std::u16string> texts;
  for (const GutterRow& row : picture.rows) texts.push_back(row.text);
  return texts;
}

std::vector<NumberColour> Colours(const GutterPicture& picture) {
  std::vector<NumberColour> colours;
  for (const GutterRow& row : picture.rows) colours.push_back(row.colour);
  return colours;
}

TEST(GutterPainterExample, TenLinesGiveSixWholeRowsAndTheSeparator) {
  const GutterPicture picture = PaintGutter(Example());
  EXPECT_EQ(picture.background, (PixelRect{0, 0, 40, 100}));
  const std::vector<GutterRow> expected{
      {u"3", {2, 0, 38, 16}, kGrey},    {u"4", {2, 16, 38, 32}, kStrong},
      {u"5", {2, 32, 38, 48}, kStrong}, {u"6", {2, 48, 38, 64}, kGrey},
      {u"7", {2, 64, 38, 80}, kGrey},   {u"8", {2, 80, 38, 96}, kGrey},
  };
  EXPECT_EQ(picture.rows, expected);
  EXPECT_EQ(picture.separator, (GutterSeparator{39, 0, 100}));
}

TEST(GutterPainterExample, FiveLinesStopAfterTheLastLine) {
  GutterInputs in = Example();
  in.N = 5;
  const GutterPicture picture = PaintGutter(in);
  EXPECT_EQ(Texts(picture), (std::vector<std::u16string>{u"3", u"4", u"5"}));
  EXPECT_EQ(picture.separator, (GutterSeparator{39, 0, 100}));
}

TEST(GutterPainterRows, FirstRowIsDrawnEvenWhenTallerThanTheGutter) {
  GutterInputs in = Example();
  in.h = 120;
  const GutterPicture picture = PaintGutter(in);
  ASSERT_EQ(picture.rows.size(), 1u);
  EXPECT_EQ(picture.rows[0].text, u"3");
  EXPECT_EQ(picture.rows[0].rect, (PixelRect{2, 0, 38, 120}));
}

TEST(GutterPainterRows, ARowThatEndsExactlyAtTheBottomIsDrawn) {
  GutterInputs in = Example();
  in.H = 96;
  EXPECT_EQ(PaintGutter(in).rows.size(), 6u);
  in.H = 95;
  EXPECT_EQ(PaintGutter(in).rows.size(), 5u);
}

TEST(GutterPainterRows, AnEmptyEditorShowsOneStrongRow) {
  GutterInputs in = Example();
  in.N = 1;
  in.F = 0;
  in.S = 0;
  in.E = 0;
  const GutterPicture picture = PaintGutter(in);
  ASSERT_EQ(picture.rows.size(), 1u);
  EXPECT_EQ(picture.rows[0], (GutterRow{u"1", {2, 0, 38, 16}, kStrong}));
}

TEST(GutterPainterRows, NumbersHaveNoGroupingAtLargeRows) {
  GutterInputs in = Example();
  in.F = 1234566;
  in.N = 2000000;
  in.S = in.E = 0;
  EXPECT_EQ(PaintGutter(in).rows[0].text, u"1234567");
}

TEST(GutterPainterRows, AnOffsetMovesRowsAndCountsAgainstTheBottom) {
  GutterInputs in = Example();
  in.first_row_top = 5;
  const GutterPicture picture = PaintGutter(in);
  // 5 + 6 * 16 = 101 > 100, so only five rows are whole.
  ASSERT_EQ(picture.rows.size(), 5u);
  EXPECT_EQ(picture.rows[0].rect, (PixelRect{2, 5, 38, 21}));
  EXPECT_EQ(picture.rows[4].rect, (PixelRect{2, 69, 38, 85}));
  EXPECT_EQ(picture.separator, (GutterSeparator{39, 0, 100}));
}

TEST(GutterPainterRows, ZeroHeightDrawsOneRowInsteadOfEveryLine) {
  GutterInputs in = Example();
  in.h = 0;
  in.N = 1000000;
  EXPECT_EQ(PaintGutter(in).rows.size(), 1u);
}

TEST(GutterPainterColours, ACaretMarksOnlyItsRow) {
  GutterInputs in = Example();
  in.S = in.E = 5;
  EXPECT_EQ(Colours(PaintGutter(in)),
            (std::vector<NumberColour>{kGrey, kGrey, kGrey, kStrong, kGrey, kGrey}));
}

TEST(GutterPainterColours, ASelectionFromAboveTheViewMarksTheTopRows) {
  GutterInputs in = Example();
  in.S = 0;
  in.E = 3;
  EXPECT_EQ(Colours(PaintGutter(in)),
            (std::vector<NumberColour>{kStrong, kStrong, kGrey, kGrey, kGrey, kGrey}));
}

TEST(GutterPainterColours, ASelectionPastTheViewMarksEveryRowFromItsStart) {
  GutterInputs in = Example();
  in.S = 4;
  in.E = 9;
  EXPECT_EQ(Colours(PaintGutter(in)),
            (std::vector<NumberColour>{kGrey, kGrey, kStrong, kStrong, kStrong, kStrong}));
}

TEST(GutterRowLimit, CoversExactlyTheRowsThatCanBeDrawn) {
  // Example: six whole rows from row 2.
  EXPECT_EQ(RowLimit(16, 2, 100, 0), 8);
  EXPECT_EQ(RowLimit(16, 2, 100, 5), 7);
  // The first row counts even when it does not fit.
  EXPECT_EQ(RowLimit(120, 2, 100, 0), 3);
  EXPECT_EQ(RowLimit(0, 2, 100, 0), 3);
  EXPECT_EQ(RowLimit(16, INT32_MAX - 1, 100, 0), INT32_MAX);
}

TEST(GutterRowLimit, ClampingTheRowCountToTheLimitDrawsTheSameRows) {
  for (const std::int32_t n : {1, 3, 5, 8, 9, 10, 50}) {
    GutterInputs in = Example();
    in.N = n;
    const std::int32_t limit = RowLimit(in.h, in.F, in.H, in.first_row_top);
    GutterInputs clamped = in;
    clamped.N = std::min(n, limit);
    EXPECT_EQ(PaintGutter(clamped).rows, PaintGutter(in).rows) << "N = " << n;
  }
}

}  // namespace
}  // namespace tambrel::gutter
