#include "text/clusters.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

using Boundaries = std::vector<std::size_t>;

// Every boundary from the start, found by stepping forward.
Boundaries StepForward(std::u16string_view text) {
  Boundaries boundaries{0};
  for (std::size_t at = 0; at < text.size();) {
    at = NextClusterBoundary(text, at);
    boundaries.push_back(at);
  }
  return boundaries;
}

// Every boundary from the end, found by stepping back, in text order.
Boundaries StepBack(std::u16string_view text) {
  Boundaries boundaries{text.size()};
  for (std::size_t at = text.size(); at > 0;) {
    at = PreviousClusterBoundary(text, at);
    boundaries.insert(boundaries.begin(), at);
  }
  return boundaries;
}

std::u16string Utf16(const std::vector<char32_t>& code_points) {
  std::u16string text;
  for (const char32_t c : code_points) {
    if (c >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(c);
    }
  }
  return text;
}

// Checks every question at every position against the boundaries that the text should have.
void ExpectBoundaries(const std::u16string& text, const Boundaries& expected,
                      const std::string& what) {
  ASSERT_EQ(StepForward(text), expected) << what;
  ASSERT_EQ(StepBack(text), expected) << what;
  const TextBuffer buffer(text);
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const auto next = std::upper_bound(expected.begin(), expected.end(), at);
    const auto previous = std::lower_bound(expected.begin(), expected.end(), at);
    const std::size_t want_next = next == expected.end() ? text.size() : *next;
    const std::size_t want_previous = previous == expected.begin() ? 0 : *(previous - 1);
    ASSERT_EQ(NextClusterBoundary(text, at), want_next) << what << " at " << at;
    ASSERT_EQ(PreviousClusterBoundary(text, at), want_previous) << what << " at " << at;
    ASSERT_EQ(NextClusterBoundary(buffer, at), want_next) << what << " at " << at;
    ASSERT_EQ(PreviousClusterBoundary(buffer, at), want_previous) << what << " at " << at;
    ASSERT_EQ(IsClusterBoundary(buffer, at),
              std::binary_search(expected.begin(), expected.end(), at))
        << what << " at " << at;
  }
}

// The file marks a boundary with ÷ and none with × between hexadecimal code points. Unicode
// 15.0's file has no conjunct linker in it, so rule GB9c, which we add from 15.1, decides none
// of its lines.
TEST(GraphemeBreakTestFile, EveryLineSegmentsAsTheFileSays) {
  std::ifstream file(TAMBREL_GRAPHEME_BREAK_TEST_PATH);
  ASSERT_TRUE(file) << TAMBREL_GRAPHEME_BREAK_TEST_PATH;
  std::string line;
  int lines = 0;
  while (std::getline(file, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::u16string text;
    Boundaries expected;
    for (std::string field; fields >> field;) {
      if (field == "÷") {
        expected.push_back(text.size());
      } else if (field != "×") {
        text += Utf16({static_cast<char32_t>(std::stoul(field, nullptr, 16))});
      }
    }
    if (text.empty()) continue;
    ++lines;
    ExpectBoundaries(text, expected, line);
  }
  EXPECT_EQ(lines, 602);  // the whole file was read
}

TEST(Clusters, EmojiSequencesAreOneCluster) {
  // A family of three joined by ZWJ between A and B: the caret steps over it whole.
  const std::u16string family = u"👨\u200D👩\u200D👧";
  ExpectBoundaries(u"A" + family + u"B", {0, 1, 1 + family.size(), 2 + family.size()}, "family");
  // Two flags are two pairs of regional indicators; a third indicator stands alone.
  ExpectBoundaries(u"🇨🇳🇯🇵🇫", {0, 4, 8, 10}, "flags");
  // A skin tone and a variation selector stay with their emoji.
  ExpectBoundaries(u"👍🏽☺\uFE0Fx", {0, 4, 6, 7}, "modifiers");
  // A joiner after something that is not a pictograph joins it, but nothing joins the joiner.
  ExpectBoundaries(u"a\u200D👩", {0, 2, 4}, "joiner after a letter");
}

TEST(Clusters, MarksAndConjunctsStayWithTheirBase) {
  ExpectBoundaries(u"e\u0301x", {0, 2, 3}, "acute");
  // क्षि: KA, VIRAMA, SSA, VOWEL SIGN I is one cluster by GB9c, and so with a ZWJ after the
  // virama; a virama with no consonant before it links nothing.
  ExpectBoundaries(u"क्षि", {0, 4}, "ksha");
  ExpectBoundaries(u"क्\u200Dष", {0, 4}, "ksha with joiner");
  ExpectBoundaries(u"\u094Dक", {0, 1, 2}, "virama first");
  // Telugu and Malayalam link too; Tamil's virama is not a linker.
  ExpectBoundaries(u"క్క", {0, 3}, "telugu");
  ExpectBoundaries(u"க்க", {0, 2, 3}, "tamil");
  // Conjoining Hangul jamo make one syllable.
  ExpectBoundaries(u"\u1100\u1161\u11A8\u1100", {0, 3, 4}, "jamo");
}

TEST(Clusters, LineBreaksAndLoneSurrogates) {
  ExpectBoundaries(u"a\r\nb\n\rc", {0, 1, 3, 4, 5, 6, 7}, "breaks");
  // A mark after a break or a lone surrogate does not join it.
  const std::u16string lone = {u'a', char16_t{0xD800}, char16_t{0x0301}, char16_t{0xDC00}, u'b'};
  ExpectBoundaries(lone, {0, 1, 2, 3, 4, 5}, "lone surrogates");
  ExpectBoundaries(u"\n\u0301", {0, 1, 2}, "mark after a break");
  // Between the halves of a pair is inside the cluster.
  ExpectBoundaries(u"😀😀", {0, 2, 4}, "pairs");
}

TEST(Clusters, AnOverlongClusterIsCutAndEveryStepMovesOn) {
  const std::u16string marks = u"a" + std::u16string(3000, u'\u0301') + u"b";
  const TextBuffer buffer(marks);
  std::size_t steps = 0;
  for (std::size_t at = 0; at < marks.size(); ++steps) {
    const std::size_t next = NextClusterBoundary(buffer, at);
    ASSERT_GT(next, at);
    ASSERT_LE(next - at, kMaxClusterUnits);
    at = next;
  }
  EXPECT_GE(steps, marks.size() / kMaxClusterUnits);
  for (std::size_t at = marks.size(); at > 0;) {
    const std::size_t previous = PreviousClusterBoundary(buffer, at);
    ASSERT_LT(previous, at);
    at = previous;
  }
  // The ordinary neighbours are still found exactly.
  EXPECT_EQ(PreviousClusterBoundary(buffer, marks.size()), marks.size() - 1);
  EXPECT_EQ(NextClusterBoundary(buffer, 0), std::min(kMaxClusterUnits, marks.size() - 1));
}

// Flags pair their letters from the start of a run, however long the run: a walk back from a
// boundary between flags keeps the pairing even where it stops short of the run's start.
TEST(Clusters, ALongRunOfFlagsPairsFromItsStart) {
  std::u16string flags = u"x";
  for (int n = 0; n < 300; ++n) flags += n % 2 == 0 ? u"🇨🇳" : u"🇯🇵";
  flags += u"🇫";  // an odd letter out at the end
  Boundaries expected{0, 1};
  for (std::size_t at = 5; at <= flags.size(); at += 4) expected.push_back(at);
  expected.push_back(flags.size());
  const TextBuffer buffer(flags);
  Boundaries forward{0};
  for (std::size_t at = 0; at < flags.size();)
    forward.push_back(at = NextClusterBoundary(buffer, at));
  EXPECT_EQ(forward, expected);
  Boundaries back{flags.size()};
  for (std::size_t at = flags.size(); at > 0;) {
    back.insert(back.begin(), at = PreviousClusterBoundary(buffer, at));
  }
  EXPECT_EQ(back, expected);
  for (const std::size_t at : expected) EXPECT_TRUE(IsClusterBoundary(buffer, at)) << at;
}

std::u16string RandomClusters(std::mt19937& random, std::size_t pieces) {
  static const std::u16string kPieces[] = {u"a",
                                           u"\u0301",
                                           u"\u200D",
                                           u"👩",
                                           u"👨",
                                           u"🇨",
                                           u"🇳",
                                           u"\uFE0F",
                                           u"🏽",
                                           u"\r",
                                           u"\n",
                                           u"क",
                                           u"\u094D",
                                           u"ष",
                                           u"ि",
                                           u"\u0600",
                                           u"\u1100",
                                           u"\u1161",
                                           u"\u11A8",
                                           u"가",
                                           u" ",
                                           std::u16string(1, char16_t{0xD83D}),
                                           std::u16string(1, char16_t{0xDE00})};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::u16string text;
  for (std::size_t n = 0; n < pieces; ++n) text += kPieces[piece(random)];
  return text;
}

// The buffer's text spread over pieces by edits must segment exactly as the same text in one
// string, and stepping either way must find the same boundaries.
TEST(Clusters, BufferAndStringAgreeOnRandomText) {
  std::mt19937 random(29);
  for (int round = 0; round < 300; ++round) {
    std::u16string text = RandomClusters(random, 60);
    TextBuffer buffer(text);
    for (int edit = 0; edit < 6; ++edit) {
      const std::u16string inserted = RandomClusters(random, 3);
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
      buffer.Replace(at, 0, inserted);
      text.insert(at, inserted);
    }
    ASSERT_EQ(buffer.Text(), text);
    const Boundaries forward = StepForward(text);
    ASSERT_EQ(StepBack(text), forward) << "round " << round;
    for (std::size_t at = 0; at <= text.size(); ++at) {
      ASSERT_EQ(NextClusterBoundary(buffer, at), NextClusterBoundary(text, at)) << round;
      ASSERT_EQ(PreviousClusterBoundary(buffer, at), PreviousClusterBoundary(text, at)) << round;
      ASSERT_EQ(IsClusterBoundary(buffer, at),
                std::binary_search(forward.begin(), forward.end(), at))
          << "round " << round << " at " << at;
    }
  }
}

}  // namespace
}  // namespace tambrel::text
