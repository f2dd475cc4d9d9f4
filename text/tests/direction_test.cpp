#include "text/direction.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

Direction FirstLine(std::u16string text) {
  return ParagraphDirection(TextBuffer(std::move(text)), 0);
}

TEST(ParagraphDirection, TheFirstStrongCharacterDecides) {
  EXPECT_EQ(FirstLine(u"abc"), Direction::kLeftToRight);
  EXPECT_EQ(FirstLine(u"中文"), Direction::kLeftToRight);
  EXPECT_EQ(FirstLine(u"\u05E9\u05DC\u05D5\u05DD abc"), Direction::kRightToLeft);  // Hebrew
  EXPECT_EQ(FirstLine(u"123, \u0627\u0644 abc"), Direction::kRightToLeft);  // Arabic after digits
  EXPECT_EQ(FirstLine(u"(abc) \u05D0"), Direction::kLeftToRight);
  // A right-to-left letter beyond the BMP.
  EXPECT_EQ(FirstLine(u"  \U00010800"), Direction::kRightToLeft);
}

TEST(ParagraphDirection, NoStrongCharacterIsLeftToRight) {
  EXPECT_EQ(FirstLine(u""), Direction::kLeftToRight);
  EXPECT_EQ(FirstLine(u"123 ... !?"), Direction::kLeftToRight);
}

TEST(ParagraphDirection, IsolatesArePassedOver) {
  EXPECT_EQ(FirstLine(u"\u2066abc\u2069\u05D0"), Direction::kRightToLeft);
  EXPECT_EQ(FirstLine(u"\u2067\u2066\u05D0\u2069\u05D0\u2069a"), Direction::kLeftToRight);
  // An isolate never closed hides the rest of the line.
  EXPECT_EQ(FirstLine(u"\u2068\u05D0"), Direction::kLeftToRight);
}

TEST(ParagraphDirection, EachLineOnItsOwn) {
  TextBuffer text(u"abc\r\n\u05D0\nx\u05D0");
  EXPECT_EQ(ParagraphDirection(text, 0), Direction::kLeftToRight);
  EXPECT_EQ(ParagraphDirection(text, 1), Direction::kRightToLeft);
  EXPECT_EQ(ParagraphDirection(text, 2), Direction::kLeftToRight);
  // A line spread over pieces, with a surrogate pair cut between them.
  TextBuffer pieces(u"  ");
  pieces.Replace(2, 0, std::u16string(1, char16_t{0xDC00}));
  pieces.Replace(2, 0, std::u16string(1, char16_t{0xD802}));
  ASSERT_EQ(pieces.Text(), u"  \U00010800");
  EXPECT_EQ(ParagraphDirection(pieces, 0), Direction::kRightToLeft);
}

TEST(ParagraphDirection, ReadsABoundedPrefix) {
  const std::u16string neutral(kMaxDirectionUnits, u' ');
  EXPECT_EQ(FirstLine(neutral + u"\u05D0"), Direction::kLeftToRight);
  EXPECT_EQ(FirstLine(neutral.substr(1) + u"\u05D0"), Direction::kRightToLeft);
}

}  // namespace
}  // namespace tambrel::text
