// Where characters fall on a row as Uniscribe shapes it, and how far the wrapping measures them:
// the two must agree, or rows would be filled further or less far than they are drawn.
#include "platform/win32/text_view/uniscribe_row_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_view/tests/test_font.h"
#include "platform/win32/text_view/uniscribe_char_metrics.h"
#include "text/clusters.h"

namespace tambrel::platform::win32 {
namespace {

using editor::Direction;
using editor::RowText;
using editor::ScreenSide;

class RowGeometry : public ::testing::Test {
 protected:
  RowGeometry() : font_(MeasuringTestFont()), geometry_(font_) { geometry_.SetWidth(400); }

  // The width the wrapping gives a text: the advances of its clusters, in pixels.
  float WrappedWidth(std::u16string_view text) {
    text::CharMetrics metrics = UniscribeCharMetrics(font_);
    std::int64_t sum = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t next = text::NextClusterBoundary(text, at);
      sum += metrics.AdvanceOf(text.substr(at, next - at));
      at = next;
    }
    return static_cast<float>(sum) / text::CharMetrics::kUnitsPerPixel;
  }

  std::shared_ptr<const MeasuringFont> font_;
  UniscribeRowGeometry geometry_;
};

TEST_F(RowGeometry, XGrowsAcrossAChineseRow) {
  const std::u16string text = u"中文编辑器里的一行字";
  const RowText row{text, Direction::kLeftToRight};
  EXPECT_EQ(geometry_.XOfOffset(row, 0), 0.0f);
  for (std::size_t offset = 1; offset <= text.size(); ++offset) {
    EXPECT_GT(geometry_.XOfOffset(row, offset), geometry_.XOfOffset(row, offset - 1))
        << "at " << offset;
  }
  // A CJK font draws its ideographs one em wide: all the same.
  EXPECT_FLOAT_EQ(geometry_.XOfOffset(row, 2) - geometry_.XOfOffset(row, 1),
                  geometry_.XOfOffset(row, 1));
}

TEST_F(RowGeometry, OffsetAtXFindsTheNearerEdge) {
  const std::u16string text = u"汉字与 Latin 混排，标点。";
  const RowText row{text, Direction::kLeftToRight};
  for (std::size_t offset = 0; offset <= text.size(); ++offset) {
    EXPECT_EQ(geometry_.OffsetAtX(row, geometry_.XOfOffset(row, offset)), offset);
  }
  // Inside a character: left of its middle before it, right of its middle after it.
  const float left = geometry_.XOfOffset(row, 1);
  const float right = geometry_.XOfOffset(row, 2);
  EXPECT_EQ(geometry_.OffsetAtX(row, left + (right - left) * 0.25f), 1u);
  EXPECT_EQ(geometry_.OffsetAtX(row, left + (right - left) * 0.75f), 2u);
  // Beside the row: its ends.
  EXPECT_EQ(geometry_.OffsetAtX(row, -30), 0u);
  EXPECT_EQ(geometry_.OffsetAtX(row, 5000), text.size());
}

TEST_F(RowGeometry, ASurrogatePairIsOneStop) {
  const std::u16string text = u"a𠀋b";  // an ideograph beyond the BMP between two letters
  const RowText row{text, Direction::kLeftToRight};
  const float before = geometry_.XOfOffset(row, 1);
  const float after = geometry_.XOfOffset(row, 3);
  ASSERT_GT(after, before);
  EXPECT_EQ(geometry_.OffsetAtX(row, before + (after - before) * 0.7f), 3u);
  EXPECT_EQ(geometry_.OffsetAtX(row, before + (after - before) * 0.3f), 1u);
}

TEST_F(RowGeometry, ARightToLeftRowStandsAgainstTheRightEdge) {
  const std::u16string text = u"שלום עולם";
  const RowText row{text, Direction::kRightToLeft};
  // Its start at the right edge of the wrapping width, its end further left.
  EXPECT_FLOAT_EQ(geometry_.XOfOffset(row, 0), 400.0f);
  const float end = geometry_.XOfOffset(row, text.size());
  EXPECT_GT(end, 0.0f);
  EXPECT_LT(end, 400.0f);
  for (std::size_t offset = 1; offset <= text.size(); ++offset) {
    EXPECT_LT(geometry_.XOfOffset(row, offset), geometry_.XOfOffset(row, offset - 1));
  }
  EXPECT_EQ(geometry_.OffsetAtX(row, 399), 0u);
  EXPECT_EQ(geometry_.OffsetAtX(row, end + 1), text.size());
  // Right of the row's start, and left of its end.
  EXPECT_EQ(geometry_.OffsetAtX(row, 450), 0u);
  EXPECT_EQ(geometry_.OffsetAtX(row, 0), text.size());
}

TEST_F(RowGeometry, TheWidthMovesARightToLeftRowAlong) {
  const std::u16string text = u"שלום";
  const RowText row{text, Direction::kRightToLeft};
  const float at_400 = geometry_.XOfOffset(row, text.size());
  geometry_.SetWidth(300);
  EXPECT_FLOAT_EQ(geometry_.XOfOffset(row, text.size()), at_400 - 100);
}

TEST_F(RowGeometry, StepsOnScreenFollowWhatIsSeen) {
  // Left-to-right text with a Hebrew word in it: moving right goes through the Hebrew word from
  // its left end, which is its logical end.
  const std::u16string text = u"ab אבג cd";
  const RowText row{text, Direction::kLeftToRight};
  std::vector<float> xs{geometry_.XOfOffset(row, 0)};
  std::vector<std::size_t> visited{0};
  std::optional<std::size_t> at = 0;
  while ((at = geometry_.StepOnScreen(row, *at, ScreenSide::kRight))) {
    visited.push_back(*at);
    xs.push_back(geometry_.XOfOffset(row, *at));
    ASSERT_LE(visited.size(), 2 * text.size()) << "the steps never end";
  }
  // Every position once, never leftwards.
  std::vector<std::size_t> sorted = visited;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::size_t> all(text.size() + 1);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  EXPECT_EQ(sorted, all);
  for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_GE(xs[i], xs[i - 1]) << "step " << i;
  // Not in logical order: the Hebrew letters are passed from their end.
  EXPECT_NE(visited, all);
  // And back: the same way reversed, ending at the start.
  std::vector<std::size_t> back{visited.back()};
  at = visited.back();
  while ((at = geometry_.StepOnScreen(row, *at, ScreenSide::kLeft))) back.push_back(*at);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, visited);
}

TEST_F(RowGeometry, ATabReachesTheNextStop) {
  const std::u16string text = u"a\tb";
  const RowText row{text, Direction::kLeftToRight};
  EXPECT_FLOAT_EQ(geometry_.XOfOffset(row, 2), static_cast<float>(font_->TabStop()));
  EXPECT_EQ(font_->TabStop(), 8 * font_->SpaceAdvance());
}

TEST_F(RowGeometry, RowsAreWrappedAsWideAsTheyAreDrawn) {
  for (const std::u16string& text :
       {std::u16string(u"中文编辑器里的一行字"),
        std::u16string(u"Plain Latin text, with punctuation."),
        std::u16string(u"混排 mixed “引号” — 破折号"), std::u16string(u"e\u0301 𠀋𠀋 ä")}) {
    const RowText row{text, Direction::kLeftToRight};
    EXPECT_FLOAT_EQ(WrappedWidth(text), geometry_.XOfOffset(row, text.size()))
        << "row of " << text.size() << " units";
  }
}

TEST_F(RowGeometry, AClusterIsMeasuredWhole) {
  // A family of four: one cluster, measured as Uniscribe shapes the sequence.
  const std::u16string family = u"👨\u200D👩\u200D👧\u200D👦";
  const RowText row{family, Direction::kLeftToRight};
  EXPECT_FLOAT_EQ(WrappedWidth(family), geometry_.XOfOffset(row, family.size()));
  EXPECT_EQ(geometry_.OffsetAtX(row, geometry_.XOfOffset(row, family.size()) - 1), family.size());
  EXPECT_EQ(geometry_.OffsetAtX(row, 1), 0u);
}

TEST_F(RowGeometry, AnEmptyRowHasItsCaretAtItsEdge) {
  EXPECT_EQ(geometry_.XOfOffset(RowText{u"", Direction::kLeftToRight}, 0), 0.0f);
  EXPECT_EQ(geometry_.XOfOffset(RowText{u"", Direction::kRightToLeft}, 0), 400.0f);
  EXPECT_EQ(geometry_.OffsetAtX(RowText{u"", Direction::kLeftToRight}, 50), 0u);
  EXPECT_FALSE(geometry_.StepOnScreen(RowText{u"", Direction::kRightToLeft}, 0, ScreenSide::kLeft));
}

}  // namespace
}  // namespace tambrel::platform::win32
