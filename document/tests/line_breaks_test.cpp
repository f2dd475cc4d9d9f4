#include "document/line_breaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tambrel::document {
namespace {

TEST(LineBreaks, TheMostUsedBreakWinsAndCrLfByDefault) {
  EXPECT_EQ(DominantLineBreak(u""), LineBreak::kCrLf);
  EXPECT_EQ(DominantLineBreak(u"一行"), LineBreak::kCrLf);
  EXPECT_EQ(DominantLineBreak(u"a\r\nb\r\nc"), LineBreak::kCrLf);
  EXPECT_EQ(DominantLineBreak(u"a\nb\nc"), LineBreak::kLf);
  EXPECT_EQ(DominantLineBreak(u"a\rb\rc"), LineBreak::kCr);
  EXPECT_EQ(DominantLineBreak(u"a\nb\nc\r\n"), LineBreak::kLf);
  EXPECT_EQ(DominantLineBreak(u"a\nb\r\n"), LineBreak::kCrLf);  // a tie keeps CR LF
  EXPECT_EQ(LineBreakText(LineBreak::kCr), u"\r");
}

TEST(LineBreaks, EachBreakIsCountedWhereverItFallsAmongTheUnitsLookedAtTogether) {
  // Nearly as many of each break, in random places, so that one break miscounted changes the
  // answer; the winner follows from the counts.
  std::mt19937 random(1310);
  std::uniform_int_distribution<int> count(3, 6);
  std::uniform_int_distribution<std::size_t> gap(0, 40);
  for (int round = 0; round < 300; ++round) {
    const int crlf = count(random);
    const int lf = count(random);
    const int cr = count(random);
    std::vector<std::u16string> breaks;
    breaks.insert(breaks.end(), crlf, u"\r\n");
    breaks.insert(breaks.end(), lf, u"\n");
    breaks.insert(breaks.end(), cr, u"\r");
    std::shuffle(breaks.begin(), breaks.end(), random);
    std::u16string text;
    for (const std::u16string& line_break : breaks) {
      text.append(gap(random), u'字');
      text += line_break;
      // Two breaks side by side only where the first is not a CR, which would pair with an LF.
      if (line_break == u"\r" || gap(random) % 2 == 0) text += u'x';
    }
    const LineBreak expected = crlf >= lf && crlf >= cr ? LineBreak::kCrLf
                               : lf >= cr               ? LineBreak::kLf
                                                        : LineBreak::kCr;
    ASSERT_EQ(DominantLineBreak(text), expected) << crlf << " " << lf << " " << cr;
  }
}

TEST(LineBreaks, ALargeTextCountedInPartsNeverSplitsACrLf) {
  // Three of each, so that a CR LF counted as a CR and an LF would hand the win to LF. One pair
  // sits across every place an even share of the text could end, at each unit around it.
  for (const std::size_t parts : {2u, 3u, 4u}) {
    std::u16string text(std::size_t{24} << 20, u'a');
    text.replace(100, 2, u"\r\n");
    text.replace(200, 2, u"\r\n");
    text.replace(300, 1, u"\n");
    text.replace(text.size() - 300, 1, u"\n");
    text.replace(text.size() - 100, 1, u"\n");
    for (std::size_t k = 1; k < parts; ++k) {
      for (const std::size_t shift : {0u, 1u}) {
        std::u16string cut = text;
        cut.replace(cut.size() / parts * k - shift, 2, u"\r\n");
        EXPECT_EQ(DominantLineBreak(cut), LineBreak::kCrLf) << parts << " parts, " << k;
      }
    }
  }
}

}  // namespace
}  // namespace tambrel::document
