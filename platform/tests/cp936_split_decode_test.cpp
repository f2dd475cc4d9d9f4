// Decoding code page 936 in pieces on several threads must give exactly the text and the count of
// the decode of the whole, wherever the pieces are cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "platform/codepage/cp936.h"
#include "tests/support/bytes.h"

namespace tambrel::platform::cp936 {
namespace {

using testing::Bytes;

struct Whole {
  std::u16string text;
  std::size_t undecodable = 0;
};

Whole DecodeWhole(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  const DecodeCount count = DecodeCountingInto(bytes, text.data());
  text.resize(count.written);
  return {text, count.undecodable};
}

// A map under which some characters turn into two units, as the scrambled form's does, so that
// a piece's room differs from its byte count in both directions.
const DecodeMap& WideningMap() {
  static const DecodeMap map = MakeDecodeMap([](char16_t unit) {
    if (unit % 5 == 0 && unit > 0x80) return std::u16string{unit, u'+'};
    return std::u16string(1, static_cast<char16_t>(unit + 1));
  });
  return map;
}

// Every number of pieces from 1 to most_parts, plain and with a map. With one piece a byte the cuts
// over all the counts fall at every place the bytes allow.
void ExpectEveryCutMatches(std::string_view bytes, std::size_t most_parts) {
  const Whole whole = DecodeWhole(bytes);
  std::size_t mapped_undecodable = 0;
  const std::u16string mapped = Decode(bytes, WideningMap(), &mapped_undecodable);
  ASSERT_EQ(DecodedLength(bytes), whole.text.size());
  ASSERT_EQ(DecodedLength(bytes, WideningMap()), mapped.size());
  for (std::size_t parts = 1; parts <= most_parts; ++parts) {
    std::size_t undecodable = 0;
    ASSERT_EQ(DecodeInParts(bytes, parts, &undecodable), whole.text)
        << parts << " pieces of " << ::testing::PrintToString(std::string(bytes));
    ASSERT_EQ(undecodable, whole.undecodable) << parts;
    std::size_t mapped_count = 0;
    ASSERT_EQ(DecodeInParts(bytes, WideningMap(), parts, &mapped_count), mapped) << parts;
    ASSERT_EQ(mapped_count, mapped_undecodable) << parts;
  }
}

// Watched, a decode goes in stretches of a few megabytes: the text is the same, every byte is
// reported twice (measured, then decoded), and a watch that says stop gets an empty text.
TEST(Cp936DecodeInParts, AWatchedDecodeIsTheSameAndCanBeStopped) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7);
  std::uniform_int_distribution<int> trail(0xA1, 0xFE);
  std::string bytes;
  while (bytes.size() < (std::size_t{11} << 20)) {
    bytes += static_cast<char>(lead(random));
    bytes += static_cast<char>(trail(random));
    if (bytes.size() % 97 == 0) bytes += "\r\n";
  }
  const Whole whole = DecodeWhole(bytes);
  for (const std::size_t parts : {1u, 2u, 3u}) {
    std::atomic<std::size_t> reported{0};
    std::atomic<int> reports{0};
    const DecodeWatch watch = [&](std::size_t done) {
      reported += done;
      ++reports;
      return true;
    };
    ASSERT_TRUE(DecodeInParts(bytes, parts, nullptr, watch) == whole.text) << parts;
    EXPECT_EQ(reported, 2 * bytes.size()) << parts;
    EXPECT_GE(reports, 2 * 3) << parts;
    reported = 0;
    ASSERT_TRUE(DecodeInParts(bytes, WideningMap(), parts, nullptr, watch) ==
                Decode(bytes, WideningMap()))
        << parts;
    EXPECT_EQ(reported, 2 * bytes.size()) << parts;
    std::atomic<int> looks{0};
    EXPECT_EQ(DecodeInParts(bytes, parts, nullptr, [&](std::size_t) { return ++looks < 2; }), u"")
        << parts;
  }
}

TEST(Cp936CharacterStart, IsAfterTheFirstByteThatNeverLeadsAPair) {
  // 0xB0 0xA1 is one character whose trail is itself in the lead range; 0x81 0x41 has an ASCII
  // trail, after which a character starts.
  const std::string bytes = Bytes({0xB0, 0xA1, 0xB0, 0xA1, 0x81, 0x41, 0xB0, 0xA1, 'a'});
  EXPECT_EQ(CharacterStartFrom(bytes, 0), 6u);
  EXPECT_EQ(CharacterStartFrom(bytes, 1), 6u);
  EXPECT_EQ(CharacterStartFrom(bytes, 6), 6u);
  EXPECT_EQ(CharacterStartFrom(bytes, 7), 9u);
  EXPECT_EQ(CharacterStartFrom("ab", 0), 1u);
  EXPECT_EQ(CharacterStartFrom("ab", 5), 2u);
  EXPECT_EQ(CharacterStartFrom("", 0), 0u);
  // Nothing but lead-range bytes: no place to cut.
  EXPECT_EQ(CharacterStartFrom(Bytes({0xD6, 0xD0, 0xCE, 0xC4}), 1), 4u);
}

TEST(Cp936DecodeInParts, EveryCutMatchesTheWholeDecode) {
  const std::string cases[] = {
      "",
      "a",
      "plain ASCII long enough for the sixteen-byte runs to reach a cut\r\n",
      // Two-byte characters whose trails lie in the lead range, and CR LF between them.
      Bytes({0xD6, 0xD0, 0xCE, 0xC4, '\r', '\n', 0xD6, 0xD0, '\r', '\n', 0xCE, 0xC4}),
      // ASCII trail bytes, a lead byte before NUL, an undefined pair and lone 0x80 and 0xFF.
      Bytes({0x81, 0x41, 'x', 0xD6, 0x00, 'y', 0x80, 0xFF, 0xA1, 0x40, '?', 0x81, 0x7F}),
      // A lead byte left at the end, and after a run of ASCII that fills a whole block.
      "0123456789abcdefghij" + Bytes({0xD6, 0xD0, 0xD6}),
      // Pairs right after sixteen-byte ASCII runs: a piece's room ends before its bytes do.
      "0123456789abcdef" + Bytes({0xD6, 0xD0, 0xCE, 0xC4, 0xD6, 0xD0}) + "0123456789abcdef" +
          Bytes({0xCE, 0xC4, 0xCE, 0xC4, 0xCE, 0xC4, 0xCE, 0xC4}) + "0123456789abcdefg",
      // Nothing but lead-range bytes: a single piece whatever was asked.
      Bytes({0xD6, 0xD0, 0xCE, 0xC4, 0xD6, 0xD0, 0xCE, 0xC4, 0xD6}),
  };
  // Every cut of the short cases; the long ones get as many pieces as a machine has cores and
  // more. Each piece is a thread, which Wine starts slowly.
  for (const std::string& bytes : cases) {
    ASSERT_NO_FATAL_FAILURE(
        ExpectEveryCutMatches(bytes, std::min<std::size_t>(bytes.size() + 1, 24)));
  }
}

TEST(Cp936DecodeInParts, MatchesTheWholeDecodeOnRandomBytes) {
  std::mt19937 random(936936);
  const std::string alphabet = Bytes({0x00, 0x0A, 0x0D, 0x20, 0x3F, 0x40, 0x41, 0x7E, 0x7F, 0x80,
                                      0x81, 0xA1, 0xB0, 0xD0, 0xD6, 0xFE, 0xFF});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> ascii_run(0, 40);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 150; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      // Runs of letters now and then, so that the sixteen-byte steps meet the cuts.
      if (n % 9 == 0) bytes.append(static_cast<std::size_t>(ascii_run(random)), 'k');
      bytes += alphabet[pick(random)];
    }
    ASSERT_NO_FATAL_FAILURE(ExpectEveryCutMatches(bytes, 5));
  }
}

TEST(Cp936DecodedLength, CountsWhatTheDecodeWritesWhereverRunsOfLeadBytesEnd) {
  // Long runs of lead bytes, odd and even, across the 64-byte blocks the count looks at, ended by
  // a trail, a NUL, 0xFF or the end; the stretch of NULs and the lone high bytes among them.
  std::mt19937 random(6464);
  const std::string ends = Bytes({0x00, 0x0A, 0x40, 0x7F, 0x80, 0xFF});
  std::uniform_int_distribution<int> lead(0x81, 0xFE);
  std::uniform_int_distribution<std::size_t> run(0, 140);
  std::uniform_int_distribution<std::size_t> end(0, ends.size() - 1);
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    const std::size_t runs = round % 7;
    for (std::size_t k = 0; k < runs; ++k) {
      for (std::size_t n = run(random); n > 0; --n) bytes += static_cast<char>(lead(random));
      if (round % 3 != 0 || k + 1 < runs) bytes += ends[end(random)];
    }
    bytes.insert(0, round % 130, 'a');
    ASSERT_EQ(DecodedLength(bytes), DecodeWhole(bytes).text.size())
        << ::testing::PrintToString(bytes);
  }
}

TEST(Cp936DecodedLength, AMapWithOneWideByteCountsItTwiceOnlyWhereItStandsAlone) {
  // As in the scrambled form, where 0xFF alone turns into two units: after an odd run of lead
  // bytes it is a pair's trail instead, and counts once with its lead.
  for (const int wide : {0xFF, 0x80, 0x78}) {
    const DecodeMap map = MakeDecodeMap([wide](char16_t unit) {
      if (unit == kSingleByteTable[wide]) return std::u16string{unit, u'+'};
      return std::u16string(1, unit);
    });
    ASSERT_EQ(map.only_wide_byte, wide);
    std::mt19937 random(static_cast<unsigned>(wide));
    const std::string alphabet =
        Bytes({0x00, 0x0A, 0x41, 0x78, 0x80, 0x81, 0xB0, 0xD6, 0xFE, 0xFF, 0xFF, 0xFF});
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 400);
    for (int round = 0; round < 200; ++round) {
      std::string bytes;
      for (std::size_t n = length(random); n > 0; --n) bytes += alphabet[pick(random)];
      ASSERT_EQ(DecodedLength(bytes, map), Decode(bytes, map).size())
          << wide << " " << ::testing::PrintToString(bytes);
    }
  }
}

TEST(Cp936DecodeInParts, LongTextOnEveryProcessorMatchesTheWholeDecode) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> lead(0xB0, 0xD7);
  std::uniform_int_distribution<int> trail(0xA1, 0xFE);
  std::uniform_int_distribution<int> line(0, 80);
  std::string bytes;
  while (bytes.size() < (std::size_t{3} << 20)) {
    for (int n = line(random); n > 0; --n) {
      bytes += static_cast<char>(lead(random));
      bytes += static_cast<char>(trail(random));
    }
    bytes += line(random) == 0 ? Bytes({0x81, 0x7F, 0x80}) : std::string("\r\n");
  }
  const Whole whole = DecodeWhole(bytes);
  ASSERT_GT(whole.undecodable, 0u);
  for (const std::size_t parts : {2u, 3u, 7u}) {
    std::size_t undecodable = 0;
    // Compared whole: a difference of megabytes is not worth printing.
    ASSERT_TRUE(DecodeInParts(bytes, parts, &undecodable) == whole.text) << parts;
    EXPECT_EQ(undecodable, whole.undecodable) << parts;
  }
}

TEST(Cp936DecodeParts, SmallFilesStayOnOneThreadAndLargeOnesUseEveryProcessor) {
  EXPECT_EQ(DecodePartsFor(0), 1u);
  EXPECT_EQ(DecodePartsFor(1000), 1u);
  EXPECT_EQ(DecodePartsFor(std::size_t{1} << 20), 1u);
  const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
  EXPECT_EQ(DecodePartsFor(std::size_t{1} << 30), std::min<std::size_t>(processors, 1024));
}

}  // namespace
}  // namespace tambrel::platform::cp936
