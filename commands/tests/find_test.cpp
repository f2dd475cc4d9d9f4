#include "commands/find.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/inline_work.h"

namespace tambrel::commands {
namespace {

// One search as the user sees it: the selection made (0-based start, length), or none.
using Seen = std::optional<std::pair<std::int32_t, std::int32_t>>;

// Runs searches one after another, as repeated uses of the command do, from start-up.
std::vector<Seen> Searches(std::u16string_view text, const std::vector<std::u16string>& sought,
                           std::int32_t find_pos = 0) {
  std::vector<Seen> seen;
  for (const std::u16string& word : sought) {
    const FindStep step = NextFind(text, word, find_pos);
    find_pos = step.find_pos;
    if (step.selection) {
      seen.emplace_back(std::pair{step.selection->start, step.selection->length});
    } else {
      seen.emplace_back(std::nullopt);
    }
  }
  return seen;
}

TEST(FindFrom, CountsOneBasedUtf16UnitsFromTheStart) {
  EXPECT_EQ(FindFrom(1, u"abcabc", u"abc"), 1);
  EXPECT_EQ(FindFrom(2, u"abcabc", u"abc"), 4);
  EXPECT_EQ(FindFrom(5, u"abcabc", u"abc"), 0);
  // A character outside the basic plane takes two units.
  EXPECT_EQ(FindFrom(1, u"\U00020000x", u"x"), 3);
}

TEST(FindFrom, ComparesCharacterCodesExactly) {
  EXPECT_EQ(FindFrom(1, u"abcabc", u"ABC"), 0);
  EXPECT_EQ(FindFrom(1, u"Straße", u"STRASSE"), 0);
  EXPECT_EQ(FindFrom(1, u"你好世界", u"世界"), 3);
}

TEST(FindFrom, EmptyTextsFollowTheSubstringRules) {
  EXPECT_EQ(FindFrom(1, u"", u""), 0);
  EXPECT_EQ(FindFrom(1, u"", u"a"), 0);
  EXPECT_EQ(FindFrom(3, u"abc", u""), 3);
  EXPECT_EQ(FindFrom(4, u"abc", u""), 0);
}

TEST(FindFrom, AgreesWithAPlainScanOnRepetitiveTexts) {
  // Two letters make every kind of partial and overlapping match likely.
  std::mt19937 random(6);
  std::uniform_int_distribution<int> letter(0, 1);
  std::uniform_int_distribution<int> sought_length(1, 6);
  for (int round = 0; round < 2000; ++round) {
    std::u16string text(40, u'a');
    for (char16_t& c : text) c = letter(random) ? u'b' : u'a';
    std::u16string sought(static_cast<std::size_t>(sought_length(random)), u'a');
    for (char16_t& c : sought) c = letter(random) ? u'b' : u'a';
    for (std::int64_t start = 1; start <= 40; ++start) {
      const std::size_t plain = text.find(sought, static_cast<std::size_t>(start - 1));
      const std::int32_t expected =
          plain == std::u16string::npos ? 0 : static_cast<std::int32_t>(plain + 1);
      ASSERT_EQ(FindFrom(start, text, sought), expected);
    }
  }
}

// The text cut into pieces of every size, as the editor hands a large document over.
PiecewiseText InPieces(const std::u16string& text, std::size_t piece) {
  return PiecewiseText{[text, piece](const text::PieceVisitor& visit) {
                         for (std::size_t at = 0; at < text.size(); at += piece) {
                           visit(std::u16string_view(text).substr(at, piece));
                         }
                       },
                       text.size()};
}

TEST(FindFrom, InPiecesFindsWhatTheWholeTextHoldsAcrossEverySeam) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> letter(0, 1);
  std::uniform_int_distribution<int> sought_length(1, 7);
  for (int round = 0; round < 300; ++round) {
    std::u16string text(60, u'a');
    for (char16_t& c : text) c = letter(random) ? u'b' : u'a';
    std::u16string sought(static_cast<std::size_t>(sought_length(random)), u'a');
    for (char16_t& c : sought) c = letter(random) ? u'b' : u'a';
    for (const std::size_t piece : {1u, 2u, 3u, 5u, 8u, 60u}) {
      const PiecewiseText pieces = InPieces(text, piece);
      for (std::int64_t start = 1; start <= 61; ++start) {
        ASSERT_EQ(FindFrom(start, pieces, sought), FindFrom(start, text, sought))
            << "piece " << piece << " start " << start;
      }
    }
  }
  EXPECT_EQ(FindFrom(1, InPieces(u"", 4), u""), 0);
  EXPECT_EQ(FindFrom(3, InPieces(u"abcdef", 2), u""), 3);
}

TEST(FindFrom, StartBeyondTheTextMisses) {
  EXPECT_EQ(FindFrom(7, u"abcabc", u"c"), 0);
  EXPECT_EQ(FindFrom(std::int64_t{INT32_MAX} + 1, u"abc", u"a"), 0);
}

TEST(FindSequence, StepsThroughMatchesMissesThenStartsAgainAtTheFirstCharacter) {
  const std::vector<Seen> seen = Searches(u"abcabc", {u"abc", u"abc", u"abc", u"abc"});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], Seen({0, 3}));
  EXPECT_EQ(seen[1], Seen({3, 3}));
  EXPECT_EQ(seen[2], std::nullopt);
  // After the miss the match at the very first character is found again.
  EXPECT_EQ(seen[3], Seen({0, 3}));
}

TEST(FindSequence, VisitsOverlappingMatches) {
  EXPECT_EQ(
      Searches(u"aaaa", {u"aa", u"aa", u"aa", u"aa", u"aa"}),
      (std::vector<Seen>{Seen({0, 2}), Seen({1, 2}), Seen({2, 2}), std::nullopt, Seen({0, 2})}));
}

TEST(FindSequence, AMissResetsThePositionToStartUp) {
  EXPECT_EQ(NextFind(u"abcabc", u"ABC", 0).find_pos, 0);
  EXPECT_EQ(NextFind(u"abcabc", u"abc", 4).find_pos, 0);
  EXPECT_EQ(NextFind(u"", u"abc", 3).find_pos, 0);
  EXPECT_EQ(NextFind(u"ab", u"abc", 0).find_pos, 0);
}

TEST(FindSequence, ADifferentWordContinuesAfterTheLastMatch) {
  // "bar" at 5 and 13, "foo" at 1 and 9.
  EXPECT_EQ(
      Searches(u"foo bar foo bar", {u"bar", u"foo", u"bar", u"foo", u"foo"}),
      (std::vector<Seen>{Seen({4, 3}), Seen({8, 3}), Seen({12, 3}), std::nullopt, Seen({0, 3})}));
}

TEST(FindSequence, AnEmptySearchPutsTheCaretAfterTheFirstCharacterOfTheLastMatch) {
  const FindStep step = NextFind(u"0123456789abcdef", u"", 10);
  EXPECT_EQ(step.find_pos, 11);
  ASSERT_TRUE(step.selection.has_value());
  EXPECT_EQ(step.selection->start, 10);
  EXPECT_EQ(step.selection->length, 0);
}

TEST(FindSequence, AnEmptySearchInAnEmptyTextMisses) {
  EXPECT_EQ(Searches(u"", {u"", u"a"}), (std::vector<Seen>{std::nullopt, std::nullopt}));
}

TEST(FindSequence, ASoughtTextLongerThanTheTextMisses) {
  EXPECT_EQ(Searches(u"abc", {u"abcd"}), std::vector<Seen>{std::nullopt});
}

TEST(FindInBackground, AMatchAcrossPiecesIsSelectedAsInTheWholeText) {
  const std::u16string text = u"foo bar foo bar";
  const PiecewiseText pieces = InPieces(text, 3);
  testing::InlineWork work;
  for (std::int32_t find_pos : {0, 1, 5, 9, 13}) {
    const FindStep in_pieces = NextFind(SearchInBackground{pieces, work}, u"o b", find_pos);
    const FindStep whole = NextFind(text, u"o b", find_pos);
    EXPECT_EQ(in_pieces.find_pos, whole.find_pos) << "from " << find_pos;
    ASSERT_EQ(in_pieces.selection.has_value(), whole.selection.has_value()) << "from " << find_pos;
    if (whole.selection) {
      EXPECT_EQ(in_pieces.selection->start, whole.selection->start) << "from " << find_pos;
      EXPECT_EQ(in_pieces.selection->length, whole.selection->length) << "from " << find_pos;
    }
  }
}

TEST(FindInBackground, ReadsTheTextOnlyAsOnePieceOfBackgroundWork) {
  testing::InlineWork work;
  int reads_outside = 0;
  const PiecewiseText text{[&](const text::PieceVisitor& visit) {
                             if (!work.running) ++reads_outside;
                             visit(u"large ");
                             visit(u"document");
                           },
                           14};
  const FindStep step = NextFind(SearchInBackground{text, work}, u"doc", 0);
  EXPECT_EQ(step.find_pos, 7);
  EXPECT_EQ(work.runs, 1);
  EXPECT_EQ(reads_outside, 0);
}

TEST(FindSequence, APositionLeftBeyondAShortenedTextMisses) {
  // FindPos survives edits: after a match at 40 the text may have shrunk below it.
  const FindStep step = NextFind(u"short", u"s", 40);
  EXPECT_EQ(step.find_pos, 0);
  EXPECT_FALSE(step.selection.has_value());
}

}  // namespace
}  // namespace tambrel::commands
