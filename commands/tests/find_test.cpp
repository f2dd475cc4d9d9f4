#include "commands/find.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
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

// A text of a's and b's: two letters make every kind of partial and overlapping match likely.
std::u16string TwoLetters(std::mt19937& random, std::size_t length) {
  std::uniform_int_distribution<int> letter(0, 1);
  std::u16string text(length, u'a');
  for (char16_t& c : text) c = letter(random) ? u'b' : u'a';
  return text;
}

TEST(FindFrom, AgreesWithAPlainScanOnRepetitiveTexts) {
  std::mt19937 random(6);
  std::uniform_int_distribution<int> sought_length(1, 6);
  for (int round = 0; round < 2000; ++round) {
    const std::u16string text = TwoLetters(random, 40);
    const std::u16string sought =
        TwoLetters(random, static_cast<std::size_t>(sought_length(random)));
    for (std::int64_t start = 1; start <= 40; ++start) {
      const std::size_t plain = text.find(sought, static_cast<std::size_t>(start - 1));
      const std::int32_t expected =
          plain == std::u16string::npos ? 0 : static_cast<std::int32_t>(plain + 1);
      ASSERT_EQ(FindFrom(start, text, sought), expected);
    }
  }
}

// The text cut at `cuts` (empty pieces where two coincide), handed over from any place as the
// editor hands a large document over: the stored pieces, cut to the range asked for. `read_units`,
// when given, counts the units handed over.
PiecewiseText CutAt(const std::u16string& text, std::vector<std::size_t> cuts,
                    std::shared_ptr<std::size_t> read_units = nullptr) {
  cuts.push_back(text.size());
  return PiecewiseText{[text, cuts, read_units](std::size_t from, std::size_t length,
                                                const text::PieceReader& read) {
                         std::size_t begin = 0;
                         for (const std::size_t end : cuts) {
                           const std::size_t first = std::max(begin, from);
                           const std::size_t last = std::min(end, from + length);
                           const bool inside =
                               first < last || (begin == end && begin >= from && end <= last);
                           begin = end;
                           if (!inside) continue;
                           if (read_units) *read_units += last - first;
                           if (!read(std::u16string_view(text).substr(first, last - first))) return;
                         }
                       },
                       text.size()};
}

// The text cut into pieces of one size.
PiecewiseText InPieces(const std::u16string& text, std::size_t piece) {
  std::vector<std::size_t> cuts;
  for (std::size_t at = piece; at < text.size(); at += piece) cuts.push_back(at);
  return CutAt(text, cuts);
}

TEST(FindFrom, InPiecesFindsWhatTheWholeTextHoldsAcrossEverySeam) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sought_length(1, 7);
  for (int round = 0; round < 300; ++round) {
    const std::u16string text = TwoLetters(random, 60);
    const std::u16string sought =
        TwoLetters(random, static_cast<std::size_t>(sought_length(random)));
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

TEST(FindFrom, InPiecesFindsAMatchCutAtEveryPlaceIntoTwoOrThreePieces) {
  // One match, its units distinct from the text around it, so only a correct seam finds it.
  const std::u16string sought = u"世界\U00020000和平";
  const std::u16string text = u"你好你好你" + sought + u"你好你";
  const auto expected = static_cast<std::int32_t>(text.find(sought) + 1);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    ASSERT_EQ(FindFrom(1, CutAt(text, {cut}), sought), expected) << "cut " << cut;
    ASSERT_EQ(FindFrom(expected, CutAt(text, {cut}), sought), expected) << "cut " << cut;
    ASSERT_EQ(FindFrom(expected + 1, CutAt(text, {cut}), sought), 0) << "cut " << cut;
    for (std::size_t second = cut; second <= text.size(); ++second) {
      ASSERT_EQ(FindFrom(1, CutAt(text, {cut, second}), sought), expected)
          << "cuts " << cut << ", " << second;
    }
  }
  // Every unit a piece of its own, with empty pieces between them.
  std::vector<std::size_t> every;
  for (std::size_t cut = 1; cut < text.size(); ++cut) {
    every.push_back(cut);
    every.push_back(cut);
  }
  EXPECT_EQ(FindFrom(1, CutAt(text, every), sought), expected);
}

TEST(FindFrom, AMatchAcrossASeamBeforeTheStartIsNotFound) {
  // "abc" runs across the cut after "ab"; a search that starts at its "b" must pass it by.
  const std::u16string text = u"xxabcxxabc";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    EXPECT_EQ(FindFrom(4, CutAt(text, {cut}), u"abc"), 8) << "cut " << cut;
    EXPECT_EQ(FindFrom(3, CutAt(text, {cut}), u"abc"), 3) << "cut " << cut;
  }
}

TEST(FindFrom, FindsAMatchAtEveryPlaceInALongerText) {
  // Matches near the start, the end, and either side of every run of units compared at once.
  for (const std::u16string sought : {u"好", u"好人", u"好人好", u"好人人人人人人人人人人人好"}) {
    for (std::size_t place = 0; place + sought.size() <= 150; ++place) {
      std::u16string text(150, u'人');
      text.replace(place, sought.size(), sought);
      const auto expected = static_cast<std::int32_t>(text.find(sought) + 1);
      ASSERT_EQ(FindFrom(1, text, sought), expected) << "place " << place;
      ASSERT_EQ(FindFrom(1, InPieces(text, 37), sought), expected) << "place " << place;
    }
  }
}

TEST(FindFrom, ASoughtTextThatNearlyMatchesEverywhereIsStillFoundExactly) {
  // A long run of one character with another in the middle of the sought text: every position
  // of the text nearly matches it, and only the last one matches.
  const std::u16string half(60, u'a');
  const std::u16string sought = half + u'b' + half;
  std::u16string text(300'000, u'a');
  text += sought;
  text.replace(1000, 1, u"c");  // breaks the run early on, to be passed over too
  const auto expected = static_cast<std::int32_t>(text.find(sought) + 1);
  ASSERT_EQ(expected, 300'001);
  EXPECT_EQ(FindFrom(1, text, sought), expected);
  EXPECT_EQ(FindFrom(expected + 1, text, sought), 0);
  for (const std::size_t piece : {1000u, 4099u, 300'061u}) {
    EXPECT_EQ(FindFrom(1, InPieces(text, piece), sought), expected) << "piece " << piece;
    EXPECT_EQ(FindFrom(expected + 1, InPieces(text, piece), sought), 0) << "piece " << piece;
  }
  // The same with the match earlier, in the middle of the near misses.
  std::u16string early(300'000, u'a');
  early.replace(200'000, sought.size(), sought);
  EXPECT_EQ(FindFrom(1, early, sought), static_cast<std::int32_t>(early.find(sought) + 1));
  EXPECT_EQ(FindFrom(1, InPieces(early, 4099), sought),
            static_cast<std::int32_t>(early.find(sought) + 1));
}

TEST(FindFrom, AMatchIsFoundWhereverItLiesInALongRunOfNearMisses) {
  // However long the near misses have gone on when the match comes, the search keeps its place.
  const std::u16string half(8, u'a');
  const std::u16string sought = half + u'b' + half;
  for (std::size_t place = 8000; place < 11'000; ++place) {
    std::u16string text(12'000, u'a');
    text.replace(place, sought.size(), sought);
    ASSERT_EQ(FindFrom(1, text, sought), static_cast<std::int32_t>(place + 1)) << place;
  }
}

TEST(FindFrom, SurrogatesAreUnitsLikeAnyOther) {
  // Half of a character outside the basic plane is found on its own, as UTF-16 units compare.
  const std::u16string text = u"a\U00020000b\U00020001";
  const std::u16string high = text.substr(1, 1);
  const std::u16string low = text.substr(2, 1);
  EXPECT_EQ(FindFrom(1, text, high), 2);
  EXPECT_EQ(FindFrom(3, text, high), 5);
  EXPECT_EQ(FindFrom(1, text, low), 3);
  EXPECT_EQ(FindFrom(1, CutAt(text, {2}), text.substr(1, 2)), 2);
  EXPECT_EQ(FindFrom(1, CutAt(text, {2}), low + u"b"), 3);
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

// A long search shared out among threads finds the match the whole text holds first, wherever
// the shares meet: inside the match, just before it, or where a later share holds another.
TEST(FindFrom, SharedOutAmongThreadsFindsTheFirstMatchWhereverTheSharesMeet) {
  std::mt19937 random(19);
  std::uniform_int_distribution<int> sought_length(1, 6);
  for (int round = 0; round < 200; ++round) {
    const std::u16string text = TwoLetters(random, 50);
    const std::u16string sought =
        TwoLetters(random, static_cast<std::size_t>(sought_length(random)));
    for (const std::size_t shares : {2u, 3u, 4u, 7u}) {
      const PiecewiseText pieces = InPieces(text, 1 + round % 9);
      for (std::int64_t start = 1; start <= 51; ++start) {
        ASSERT_EQ(FindFrom(start, pieces, sought, nullptr, SearchShares{shares, 1}),
                  FindFrom(start, text, sought))
            << "shares " << shares << " start " << start;
      }
    }
  }
}

// A search reads the text from where it starts, and no further than its match, however it is
// shared out: a gigabyte kept in bytes is decoded as it is read.
TEST(FindFrom, ReadsFromItsStartOnlyUntilItsMatch) {
  std::u16string text(10000, u'x');
  text.replace(6000, 3, u"找到了");
  for (const std::size_t shares : {1u, 2u}) {
    const auto read_units = std::make_shared<std::size_t>(0);
    const PiecewiseText pieces = CutAt(text, {10, 5000, 6001, 8000}, read_units);
    EXPECT_EQ(FindFrom(4001, pieces, u"找到了", nullptr, SearchShares{shares, 1}), 6001);
    if (shares == 1) {
      // The pieces from 4000 up to the one the match ends in, 8000, and not the last.
      EXPECT_EQ(*read_units, 4000u);
    } else {
      // The first share reads up to where a match of its own could end (7002) and finds it; the
      // second reads from 7000 at most up to the end.
      EXPECT_GE(*read_units, 3002u);
      EXPECT_LE(*read_units, 6002u);
    }
  }
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
  const PiecewiseText text{
      [&](std::size_t from, std::size_t length, const text::PieceReader& read) {
        if (!work.running) ++reads_outside;
        read(std::u16string_view(u"large document").substr(from, length));
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
