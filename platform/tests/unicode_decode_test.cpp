#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "platform/codepage/utf16.h"
#include "platform/codepage/utf8.h"
#include "tests/support/bytes.h"
#include "tests/support/reference_unicode.h"

namespace tambrel::platform {
namespace {

using testing::Bytes;

using testing::ReferenceText;
using testing::ReferenceUtf8;
using testing::Utf16Of;
using testing::Utf8Of;

DecodeCount Utf8Replacing(std::string_view bytes, std::u16string& text) {
  text.assign(bytes.size(), u'\0');
  const DecodeCount count = utf8::DecodeReplacing(bytes, text.data());
  text.resize(count.written);
  return count;
}

std::u16string Utf8Text(std::string_view bytes) {
  std::u16string text;
  Utf8Replacing(bytes, text);
  return text;
}

std::size_t Utf8Undecodable(std::string_view bytes) {
  std::u16string text;
  return Utf8Replacing(bytes, text).undecodable;
}

// How many bytes DecodeWellFormed accepts.
std::size_t Utf8WellFormedPrefix(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  return utf8::DecodeWellFormed(bytes, text.data()).read;
}

TEST(Utf8Decoding, EveryScalarValueDecodesToItsCodePoint) {
  std::string bytes;
  std::u16string expected;
  for (char32_t code_point = 0; code_point <= 0x10FFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    bytes += Utf8Of(code_point);
    expected += Utf16Of(code_point);
  }
  std::u16string text(bytes.size(), u'\0');
  const utf8::Progress progress = utf8::DecodeWellFormed(bytes, text.data());
  EXPECT_EQ(progress.read, bytes.size());
  ASSERT_EQ(progress.written, expected.size());
  text.resize(progress.written);
  EXPECT_TRUE(text == expected);
}

TEST(Utf8Decoding, StopsBeforeEveryFormThatIsNotWellFormed) {
  const std::string rejected[] = {
      Bytes({0xC0, 0x80}),              // overlong NUL
      Bytes({0xC1, 0xBF}),              // overlong
      Bytes({0xE0, 0x80, 0x80}),        // overlong
      Bytes({0xE0, 0x9F, 0xBF}),        // overlong, just below U+0800
      Bytes({0xF0, 0x80, 0x80, 0x80}),  // overlong
      Bytes({0xF0, 0x8F, 0xBF, 0xBF}),  // overlong, just below U+10000
      Bytes({0xED, 0xA0, 0x80}),        // surrogate U+D800
      Bytes({0xED, 0xBF, 0xBF}),        // surrogate U+DFFF
      Bytes({0xF4, 0x90, 0x80, 0x80}),  // U+110000
      Bytes({0xF5, 0x80, 0x80, 0x80}),  // past U+10FFFF by its first byte
      Bytes({0xFF}),
      Bytes({0x80}),        // stray continuation
      Bytes({0xBF}),        // stray continuation
      Bytes({0xE4, 0xB8}),  // cut short
      Bytes({0xF0, 0x9F, 0x98}),
      Bytes({0xC2}),
      Bytes({0xC1, 0xAA, 0xCD, 0xA8}),  // 联通 in GBK
  };
  for (const std::string& sequence : rejected) {
    EXPECT_EQ(Utf8WellFormedPrefix("ab" + sequence), 2u) << ::testing::PrintToString(sequence);
    EXPECT_EQ(Utf8WellFormedPrefix("ab" + sequence + "cd"), 2u)
        << ::testing::PrintToString(sequence);
  }
  // The edges on the good side.
  EXPECT_EQ(Utf8WellFormedPrefix(Bytes({0xED, 0x9F, 0xBF})), 3u);        // U+D7FF
  EXPECT_EQ(Utf8WellFormedPrefix(Bytes({0xEE, 0x80, 0x80})), 3u);        // U+E000
  EXPECT_EQ(Utf8WellFormedPrefix(Bytes({0xF4, 0x8F, 0xBF, 0xBF})), 4u);  // U+10FFFF
  EXPECT_EQ(Utf8WellFormedPrefix(Bytes({0xC2, 0x80})), 2u);              // U+0080
}

TEST(Utf8Decoding, EachMaximalSubpartBecomesOneReplacement) {
  EXPECT_EQ(Utf8Text(Bytes({0xC0, 0x80})), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xE0, 0x80, 0x80})), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xF0, 0x80, 0x80, 0x80})), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xED, 0xA0, 0x80})), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xF4, 0x90, 0x80, 0x80})), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0x80})), u"\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xE4, 0xB8})), u"\uFFFD");
  EXPECT_EQ(Utf8Text(Bytes({0xE4, 0xB8, 'A'})), u"\uFFFDA");
  EXPECT_EQ(Utf8Text(Bytes({0xF0, 0x9F, 0x98, 'A', 0xF0, 0x9F, 0x98, 0x80})), u"\uFFFDA😀");
  // The example of the Unicode standard, section 3.9.
  EXPECT_EQ(Utf8Text(Bytes(
                {0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64})),
            u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
  EXPECT_EQ(Utf8Undecodable(Bytes(
                {0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64})),
            6u);
  EXPECT_EQ(Utf8Undecodable("plain ASCII"), 0u);
  EXPECT_EQ(Utf8Undecodable(""), 0u);
}

TEST(Utf8Decoding, MaximalSubpartIsTheLongestStartOfASequence) {
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0x80, 0x80})), 1u);
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0xE0, 0x80})), 1u);
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0xE0, 0xA0})), 2u);
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0xE0, 0xA0, 'x'})), 2u);
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0xF1, 0x80, 0x80})), 3u);
  EXPECT_EQ(utf8::MaximalSubpart(Bytes({0xF1, 0x80, 0x80, 0xC2})), 3u);
}

TEST(Utf8Decoding, EveryPairOfBytesMatchesTheReference) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string bytes = Bytes({first, second});
      std::u16string text;
      const DecodeCount count = Utf8Replacing(bytes, text);
      const ReferenceText reference = ReferenceUtf8(bytes);
      ASSERT_EQ(text, reference.text) << first << " " << second;
      ASSERT_EQ(count.undecodable, reference.undecodable) << first << " " << second;
    }
  }
}

TEST(Utf8Decoding, MatchesTheReferenceOnRandomBytes) {
  std::mt19937 random(8);
  // The bytes where the ranges of the table turn, whole sequences, and ASCII runs long enough
  // for the 16-byte steps.
  const std::string edges =
      Bytes({0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
             0xC2, 0xDF, 0xE0, 0xE4, 0xED, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF});
  const std::string pieces[] = {"\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xC3\xA9",
                                "0123456789abcdefghij"};
  std::uniform_int_distribution<std::size_t> pick_edge(0, edges.size() - 1);
  std::uniform_int_distribution<std::size_t> pick_piece(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> kind(0, 3);
  std::u16string text;
  for (int round = 0; round < 30000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      bytes +=
          kind(random) == 0 ? pieces[pick_piece(random)] : std::string(1, edges[pick_edge(random)]);
    }
    const ReferenceText reference = ReferenceUtf8(bytes);
    const DecodeCount count = Utf8Replacing(bytes, text);
    ASSERT_EQ(text, reference.text) << ::testing::PrintToString(bytes);
    ASSERT_EQ(count.undecodable, reference.undecodable) << ::testing::PrintToString(bytes);
    std::u16string prefix(bytes.size(), u'\0');
    const utf8::Progress progress = utf8::DecodeWellFormed(bytes, prefix.data());
    ASSERT_EQ(progress.read, reference.first_bad_byte) << ::testing::PrintToString(bytes);
    ASSERT_EQ(progress.written, reference.first_bad_unit) << ::testing::PrintToString(bytes);
    prefix.resize(progress.written);
    ASSERT_EQ(prefix, reference.text.substr(0, progress.written));
  }
}

DecodeCount Utf16Replacing(std::string_view bytes, utf16::ByteOrder order, std::u16string& text) {
  text.assign((bytes.size() + 1) / 2, u'\0');
  const DecodeCount count = utf16::DecodeReplacing(bytes, order, text.data());
  text.resize(count.written);
  return count;
}

TEST(Utf16Decoding, ReadsBothByteOrders) {
  std::u16string text;
  constexpr auto kLittle = utf16::ByteOrder::kLittleEndian;
  constexpr auto kBig = utf16::ByteOrder::kBigEndian;
  // 中A😀 (U+1F600, D83D DE00).
  EXPECT_EQ(Utf16Replacing(Bytes({0x2D, 0x4E, 0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE}), kLittle, text)
                .undecodable,
            0u);
  EXPECT_EQ(text, u"\u4E2DA\U0001F600");
  EXPECT_EQ(Utf16Replacing(Bytes({0x4E, 0x2D, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00}), kBig, text)
                .undecodable,
            0u);
  EXPECT_EQ(text, u"\u4E2DA\U0001F600");
  EXPECT_EQ(Utf16Replacing("", kBig, text).undecodable, 0u);
  EXPECT_EQ(text, u"");
}

TEST(Utf16Decoding, UnpairedSurrogatesAndAnOddLastByteBecomeReplacements) {
  std::u16string text;
  constexpr auto kLittle = utf16::ByteOrder::kLittleEndian;
  constexpr auto kBig = utf16::ByteOrder::kBigEndian;
  // A high surrogate before a letter, a low one alone, a high one at the end.
  EXPECT_EQ(Utf16Replacing(Bytes({0xD8, 0x3D, 0x00, 0x41, 0xDE, 0x00, 0xD8, 0x3D}), kBig, text)
                .undecodable,
            3u);
  EXPECT_EQ(text, u"\uFFFDA\uFFFD\uFFFD");
  // Two high surrogates and then a low one: only the second pairs.
  EXPECT_EQ(Utf16Replacing(Bytes({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE}), kLittle, text).undecodable,
            1u);
  EXPECT_EQ(text, u"\uFFFD\U0001F600");
  EXPECT_EQ(Utf16Replacing(Bytes({0x41, 0x00, 0x42}), kLittle, text).undecodable, 1u);
  EXPECT_EQ(text, u"A\uFFFD");
  EXPECT_EQ(Utf16Replacing(Bytes({0x3D, 0xD8, 0x00}), kLittle, text).undecodable, 2u);
  EXPECT_EQ(text, u"\uFFFD\uFFFD");
}

TEST(Utf16Decoding, MatchesTheReferenceOnRandomBytes) {
  std::mt19937 random(16);
  const std::string alphabet = Bytes({0x00, 0x41, 0x4E, 0xD8, 0xDB, 0xDC, 0xDF, 0xE0, 0xFF, 0x3D});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 30);
  std::u16string text;
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) bytes += alphabet[pick(random)];
    for (const auto order : {utf16::ByteOrder::kLittleEndian, utf16::ByteOrder::kBigEndian}) {
      const ReferenceText reference =
          testing::ReferenceUtf16(bytes, order == utf16::ByteOrder::kLittleEndian);
      const DecodeCount count = Utf16Replacing(bytes, order, text);
      ASSERT_EQ(text, reference.text) << ::testing::PrintToString(bytes);
      ASSERT_EQ(count.undecodable, reference.undecodable) << ::testing::PrintToString(bytes);
    }
  }
}

}  // namespace
}  // namespace tambrel::platform
