#include "document/line_breaks.h"

#include <gtest/gtest.h>

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
