#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "platform/codepage/cp936.h"
#include "tests/support/bestfit936.h"
#include "tests/support/bytes.h"

namespace tambrel::platform::cp936 {
namespace {

using testing::Bytes;

using testing::Bestfit936;

const Bestfit936& SharedTable() {
  static const Bestfit936 table = testing::ReadBestfit936(TAMBREL_BESTFIT936_PATH);
  return table;
}

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Cp936Table, CommittedCopyIsTheSharedFile) {
  // The project carries its own copy so that a plain clone builds and tests; where the team's
  // shared copy sits beside the clone, the two must be the same bytes.
  const std::string shared = FileBytes(TAMBREL_SHARED_BESTFIT936_PATH);
  if (shared.empty()) GTEST_SKIP() << "no shared copy at " << TAMBREL_SHARED_BESTFIT936_PATH;
  EXPECT_TRUE(shared == FileBytes(TAMBREL_BESTFIT936_PATH));
}

TEST(Cp936Table, SharedFileHasTheExpectedShape) {
  EXPECT_EQ(SharedTable().single.size(), 130u);
  EXPECT_EQ(SharedTable().pairs.size(), 23940u);
  EXPECT_EQ(SharedTable().wide.size(), 24482u);
}

TEST(Cp936Table, EveryByteDecodesAsInTheSharedFile) {
  for (int byte = 0; byte < 256; ++byte) {
    const auto found = SharedTable().single.find(byte);
    // A byte the file does not map is a lead byte, which alone at the end gives "?".
    const char16_t expected = found != SharedTable().single.end() ? found->second : u'?';
    EXPECT_EQ(Decode(Bytes({byte})), std::u16string(1, expected)) << "byte " << byte;
  }
}

TEST(Cp936Table, EveryBytePairDecodesAsInTheSharedFile) {
  for (int lead = kLeadByteFirst; lead <= kLeadByteLast; ++lead) {
    for (int trail = 1; trail < 256; ++trail) {
      const auto found = SharedTable().pairs.find(lead << 8 | trail);
      const std::u16string expected =
          found != SharedTable().pairs.end() ? std::u16string(1, found->second) : u"?";
      ASSERT_EQ(Decode(Bytes({lead, trail})), expected) << "pair " << lead << " " << trail;
    }
  }
}

TEST(Cp936Table, EveryUnitEncodesToItsRoundTripCodeOnly) {
  std::map<char16_t, int> round_trip;
  for (const auto& [byte, unit] : SharedTable().single) round_trip[unit] = byte;
  for (const auto& [code, unit] : SharedTable().pairs) round_trip[unit] = code;
  int best_fit_entries = 0;
  for (int unit = 0; unit < 0x10000; ++unit) {
    const auto exact = round_trip.find(static_cast<char16_t>(unit));
    const int expected = exact != round_trip.end() ? exact->second : '?';
    ASSERT_EQ(EncodeUnit(static_cast<char16_t>(unit)), expected) << "unit " << unit;
    const auto wide = SharedTable().wide.find(static_cast<char16_t>(unit));
    if (wide != SharedTable().wide.end() && exact == round_trip.end()) ++best_fit_entries;
    if (exact != round_trip.end()) {
      ASSERT_NE(wide, SharedTable().wide.end());
      ASSERT_EQ(wide->second, exact->second) << "unit " << unit;
    }
  }
  // The best-fit entries exist in the file and are deliberately not used.
  EXPECT_EQ(best_fit_entries, 412);
}

TEST(Cp936Decoding, BrokenSequencesBecomeQuestionMarksAsOnWindows) {
  EXPECT_EQ(Decode(Bytes({'a', 0xD6})), u"a?");                             // lead byte at the end
  EXPECT_EQ(Decode(Bytes({0xD6, 0x00, 'b'})), std::u16string(u"?\0b", 3));  // NUL kept
  EXPECT_EQ(Decode(Bytes({0xD6, 0x30, 'b'})), u"?b");  // invalid trail swallowed
  EXPECT_EQ(Decode(Bytes({0x81, 0x7F})), u"?");
  EXPECT_EQ(Decode(Bytes({0x81, 0xFF})), u"?");
  EXPECT_EQ(Decode(Bytes({0x80, 0xFF})), u"\u20AC\uF8F5");
}

TEST(Cp936Decoding, PrivateUseAreaPairsConvertBothWays) {
  // glibc's iconv rejects these; Windows maps them.
  EXPECT_EQ(Decode(Bytes({0xAA, 0xA1})), u"\uE000");
  EXPECT_EQ(Encode(u"\uE000"), Bytes({0xAA, 0xA1}));
  EXPECT_EQ(Encode(u"\uF8F5"), Bytes({0xFF}));
}

TEST(Cp936Encoding, CharactersWithoutAnExactMappingBecomeQuestionMarks) {
  // Hangul, a zero-width space and a byte-order mark (which ICU drops), a lone surrogate, and a
  // fullwidth letter that only a best fit would map.
  EXPECT_EQ(Encode(u"\uAC00\u200B\uFEFF"), "???");
  EXPECT_EQ(Encode(std::u16string(1, char16_t{0xD800})), "?");
  EXPECT_EQ(Encode(u"\u00AD"), "?");
  EXPECT_EQ(Encode(u"中文 ok\r\n"), Bytes({0xD6, 0xD0, 0xCE, 0xC4, ' ', 'o', 'k', '\r', '\n'}));
}

TEST(Cp936Conversion, WholeStringsMatchCharacterByCharacter) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> any_byte(0, 255);
  std::string bytes;
  for (int i = 0; i < 200000; ++i)
    bytes += static_cast<char>(any_byte(random) & (i % 3 ? 0x7F : 0xFF));
  // Decoding one piece at a time, cutting only where a character ends, gives the same text.
  const std::u16string text = Decode(bytes);
  std::u16string pieces;
  std::string encoded;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const std::size_t length =
        IsLeadByte(byte) && i + 1 < bytes.size() && bytes[i + 1] != '\0' ? 2 : 1;
    pieces += Decode(std::string_view(bytes).substr(i, length));
    i += length;
  }
  EXPECT_EQ(text, pieces);
  for (const char16_t unit : text) encoded += Encode(std::u16string(1, unit));
  EXPECT_EQ(Encode(text), encoded);
}

DecodeCount CountingDecode(const std::string& bytes, std::u16string& text) {
  text.assign(bytes.size(), u'\0');
  const DecodeCount count = DecodeCountingInto(bytes, text.data());
  text.resize(count.written);
  return count;
}

TEST(Cp936CountingDecode, CountsEachSubstituteForBrokenBytesButNotQuestionMarks) {
  std::u16string text;
  EXPECT_EQ(CountingDecode("a?b", text).undecodable, 0u);
  EXPECT_EQ(text, u"a?b");
  EXPECT_EQ(CountingDecode(Bytes({0x81, 0x20}), text).undecodable, 1u);  // undefined pair
  EXPECT_EQ(text, u"?");
  EXPECT_EQ(CountingDecode(Bytes({'x', 0xD6}), text).undecodable, 1u);  // lead byte at the end
  EXPECT_EQ(CountingDecode(Bytes({0xD6, 0x00, '?'}), text).undecodable, 1u);  // lead before NUL
  EXPECT_EQ(text, std::u16string(u"?\0?", 3));
  EXPECT_EQ(CountingDecode(Bytes({0xD6, '?'}), text).undecodable, 1u);  // "?" as a trail
  EXPECT_EQ(CountingDecode(Bytes({0x80, 0xFF, 0xD6, 0xD0}), text).undecodable, 0u);
  EXPECT_EQ(text, u"\u20AC\uF8F5中");
  EXPECT_EQ(CountingDecode("", text).undecodable, 0u);
  EXPECT_EQ(text, u"");
}

TEST(Cp936CountingDecode, MatchesDecodeAndTheSharedFileOnRandomBytes) {
  std::mt19937 random(9360);
  // Mostly ASCII with "?" and NUL about, so that the ASCII runs, the pairs and every kind of
  // broken sequence all meet, at every distance from the end.
  const std::string alphabet = Bytes({'?', 0x00, 'a', ' ', 0x80, 0x81, 0x20, 0x7F, 0xA1, 0xD6, 0xD0,
                                      0xFE, 0xFF, 0x40, 0x3F, 0xAA});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::u16string text;
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      const char byte = alphabet[pick(random)];
      bytes += round % 3 == 0 && n % 5 != 0 ? 'a' : byte;
    }
    const DecodeCount count = CountingDecode(bytes, text);
    ASSERT_EQ(text, Decode(bytes)) << ::testing::PrintToString(bytes);
    ASSERT_EQ(text, testing::ReferenceCp936(bytes, SharedTable()).text);
    ASSERT_EQ(count.undecodable, testing::ReferenceCp936(bytes, SharedTable()).undecodable)
        << ::testing::PrintToString(bytes);
  }
}

TEST(Cp936MappedDecoding, GrowsWhenEveryCharacterBecomesTwo) {
  const DecodeMap doubled = MakeDecodeMap([](char16_t unit) { return std::u16string(2, unit); });
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += (i % 2 ? "a" : "\xD6\xD0");
  std::u16string expected;
  for (const char16_t unit : Decode(bytes)) expected += std::u16string(2, unit);
  EXPECT_EQ(Decode(bytes, doubled), expected);
}

// What the bytes could not stand for is counted before the transform: a defined character the
// transform turns into what an undefined pair becomes is still no loss.
TEST(Cp936MappedDecoding, CountsUndefinedPairsEvenWhereADefinedOneLooksTheSame) {
  const std::string bytes =
      "\xD6\xD0"
      "a"
      "\xFE\xFF\xD6\xD0";  // 中, a, an undefined pair, 中
  const DecodeCount plain = DecodeCountingInto(bytes, std::u16string(bytes.size(), u'\0').data());
  ASSERT_EQ(plain.undecodable, 1u);
  for (const char16_t looks_like_undefined : {u'\0', u'中'}) {
    const DecodeMap map = MakeDecodeMap([&](char16_t unit) {
      return std::u16string(1, unit == looks_like_undefined ? Decode("\xFE\xFF").front() : unit);
    });
    std::u16string out(bytes.size(), u'\0');
    EXPECT_EQ(DecodeCountingInto(bytes, map, out.data(), out.size()).undecodable, 1u)
        << static_cast<int>(looks_like_undefined);
    std::size_t undecodable = 0;
    Decode(bytes, map, &undecodable);
    EXPECT_EQ(undecodable, 1u) << static_cast<int>(looks_like_undefined);
  }
}

TEST(Cp936MappedDecoding, RejectsTransformsItCannotPack) {
  EXPECT_THROW(MakeDecodeMap([](char16_t) { return std::u16string(3, u'x'); }),
               std::invalid_argument);
  EXPECT_THROW(MakeEncodeMap([](char16_t) { return std::string("abc"); }), std::invalid_argument);
}

}  // namespace
}  // namespace tambrel::platform::cp936
