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

}  // namespace
}  // namespace tambrel::document
