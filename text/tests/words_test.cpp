#include "text/words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

using Stops = std::vector<std::size_t>;

// Every stop of Ctrl+Right from the start to the end.
Stops RightStops(const TextBuffer& text) {
  Stops stops;
  for (std::size_t at = 0; at < text.Length();) {
    const std::size_t next = NextWordStop(text, at);
    EXPECT_GT(next, at);
    if (next <= at) break;
    stops.push_back(at = next);
  }
  return stops;
}

// Every stop of Ctrl+Left from the end to the start, in text order.
Stops LeftStops(const TextBuffer& text) {
  Stops stops;
  for (std::size_t at = text.Length(); at > 0;) {
    const std::size_t previous = PreviousWordStop(text, at);
    EXPECT_LT(previous, at);
    if (previous >= at) break;
    stops.insert(stops.begin(), at = previous);
  }
  return stops;
}

std::u16string Spanned(const TextBuffer& text, TextSpan span) {
  return text.Substring(span.start, span.end - span.start);
}

TEST(WordStops, WordsPunctuationAndSpaces) {
  const TextBuffer dotted(u"foo.bar");
  EXPECT_EQ(RightStops(dotted), (Stops{3, 4, 7}));
  EXPECT_EQ(LeftStops(dotted), (Stops{0, 3, 4}));
  // Ctrl+Right lands after the spaces; Ctrl+Left at the start of a word.
  const TextBuffer spaced(u"one  two_2 +=\tend");
  EXPECT_EQ(RightStops(spaced), (Stops{5, 11, 14, 17}));
  EXPECT_EQ(LeftStops(spaced), (Stops{0, 5, 11, 14}));
  // From inside a word or inside the spaces.
  EXPECT_EQ(NextWordStop(spaced, 1), 5u);
  EXPECT_EQ(NextWordStop(spaced, 4), 5u);
  EXPECT_EQ(PreviousWordStop(spaced, 4), 0u);
  EXPECT_EQ(PreviousWordStop(spaced, 7), 5u);
}

TEST(WordStops, AChineseRunBetweenPunctuationIsOneStop) {
  const TextBuffer chinese(u"我们今天去北京，明天回上海。OK");
  EXPECT_EQ(RightStops(chinese), (Stops{7, 8, 13, 14, 16}));
  EXPECT_EQ(LeftStops(chinese), (Stops{0, 7, 8, 13, 14}));
  // Kana and Hangul make ideograph runs as Han does; Latin beside them makes a word.
  EXPECT_EQ(RightStops(TextBuffer(u"カタカナーかな한국abc中")), (Stops{9, 12, 13}));
}

TEST(WordStops, LineBreaksAreStopsOfTheirOwn) {
  const TextBuffer lines(u"ab  \r\n  cd\nef");
  // At a line's end Ctrl+Right goes to the next line's start, and Ctrl+Left back to the end.
  EXPECT_EQ(RightStops(lines), (Stops{4, 6, 8, 10, 11, 13}));
  EXPECT_EQ(LeftStops(lines), (Stops{0, 4, 6, 8, 10, 11}));
  EXPECT_EQ(NextWordStop(lines, 4), 6u);
  EXPECT_EQ(PreviousWordStop(lines, 6), 4u);
  // Between the CR and the LF.
  EXPECT_EQ(NextWordStop(lines, 5), 6u);
  EXPECT_EQ(PreviousWordStop(lines, 5), 4u);
}

TEST(WordStops, ClustersAreNeverSplit) {
  // A mark goes with its base's run; an emoji family is one symbol cluster.
  const std::u16string family = u"👨\u200D👩\u200D👧";
  const TextBuffer text(u"cafe\u0301 " + family + u"x");
  EXPECT_EQ(RightStops(text), (Stops{6, 6 + family.size(), 7 + family.size()}));
  EXPECT_EQ(LeftStops(text), (Stops{0, 6, 6 + family.size()}));
  // From inside the family.
  EXPECT_EQ(NextWordStop(text, 8), 6 + family.size());
  EXPECT_EQ(PreviousWordStop(text, 8), 6u);
}

TEST(WordStops, ReachIsBounded) {
  const std::u16string long_word(3 * kMaxWordReach, u'x');
  TextBuffer text(u"a " + long_word + u" b");
  const std::size_t end_of_word = 2 + long_word.size();
  const std::size_t forward = NextWordStop(text, 2);
  EXPECT_GT(forward, 2u);
  EXPECT_LE(forward, 2 + kMaxWordReach);
  const std::size_t back = PreviousWordStop(text, end_of_word);
  EXPECT_LT(back, end_of_word);
  EXPECT_GE(back, end_of_word - kMaxWordReach);
  // Short words near a long one are found exactly.
  EXPECT_EQ(NextWordStop(text, 0), 2u);
  EXPECT_EQ(PreviousWordStop(text, text.Length()), end_of_word + 1);
}

TEST(WordAt, TheRunUnderTheClick) {
  const TextBuffer text(u"foo  bar.baz 中文，\r\nnext");
  EXPECT_EQ(Spanned(text, WordAt(text, 0)), u"foo");
  EXPECT_EQ(Spanned(text, WordAt(text, 2)), u"foo");
  EXPECT_EQ(Spanned(text, WordAt(text, 3)), u"  ");
  EXPECT_EQ(Spanned(text, WordAt(text, 5)), u"bar");
  EXPECT_EQ(Spanned(text, WordAt(text, 8)), u".");
  EXPECT_EQ(Spanned(text, WordAt(text, 13)), u"中文");
  EXPECT_EQ(Spanned(text, WordAt(text, 15)), u"，");
  // At a line's end, the run before it, never the break.
  EXPECT_EQ(Spanned(text, WordAt(text, 16)), u"，");
  EXPECT_EQ(Spanned(text, WordAt(text, 17)), u"，");
  EXPECT_EQ(Spanned(text, WordAt(text, 18)), u"next");
  EXPECT_EQ(Spanned(text, WordAt(text, text.Length())), u"next");
}

TEST(WordAt, EmptyLinesAndTexts) {
  const TextBuffer lines(u"a\n\nb");
  const TextSpan empty = WordAt(lines, 2);
  EXPECT_EQ(empty.start, 2u);
  EXPECT_EQ(empty.end, 2u);
  const TextSpan nothing = WordAt(TextBuffer(), 0);
  EXPECT_EQ(nothing.start, 0u);
  EXPECT_EQ(nothing.end, 0u);
  // A mark stays with its word.
  const TextBuffer marked(u"x cafe\u0301!");
  EXPECT_EQ(Spanned(marked, WordAt(marked, 5)), u"cafe\u0301");
  EXPECT_EQ(Spanned(marked, WordAt(marked, 6)), u"cafe\u0301");
}

}  // namespace
}  // namespace tambrel::text
