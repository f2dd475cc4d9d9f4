#include "document/document_codec.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "document/plain_text_encoding.h"
#include "platform/codepage/cp936.h"
#include "tests/support/bytes.h"

namespace tambrel::document {
namespace {

using testing::Bytes;

std::u16string Unit(int value) { return std::u16string(1, static_cast<char16_t>(value)); }

// Whether a code stands for exactly one character that has that very code.
bool IsCharacterCode(int code) {
  const std::u16string text = AnsiChar(static_cast<std::int16_t>(code));
  return text.size() == 1 && AnsiCode(text[0]) == static_cast<std::int16_t>(code) &&
         (text != u"?" || code == '?');
}

TEST(AnsiCode, GivesByteValuesAndNegativeDoubleByteCodes) {
  EXPECT_EQ(AnsiCode(u'A'), 65);
  EXPECT_EQ(AnsiCode(u'\0'), 0);
  EXPECT_EQ(AnsiCode(u'\u20AC'), 0x80);
  EXPECT_EQ(AnsiCode(u'\uF8F5'), 0xFF);
  EXPECT_EQ(AnsiCode(u'中'), static_cast<std::int16_t>(0xD6D0));
  EXPECT_EQ(AnsiCode(u'丂'), static_cast<std::int16_t>(0x8140));
  EXPECT_LT(AnsiCode(u'丂'), 0);
}

TEST(AnsiCode, UnrepresentableCharactersHaveTheCodeOfQuestionMark) {
  EXPECT_EQ(AnsiCode(u'\uAC00'), 63);
  EXPECT_EQ(AnsiCode(u'\uFEFF'), 63);
  EXPECT_EQ(AnsiCode(char16_t{0xD83D}), 63);  // half of a surrogate pair
  EXPECT_EQ(AnsiCode(char16_t{0xDE00}), 63);
}

TEST(AnsiChar, OneByteOrTwoBytesHighFirst) {
  EXPECT_EQ(AnsiChar(65), u"A");
  EXPECT_EQ(AnsiChar(static_cast<std::int16_t>(0xD6D0)), u"中");
  EXPECT_EQ(AnsiChar(0x4142), u"AB");
  EXPECT_EQ(AnsiChar(256), std::u16string(u"\x01\0", 2));
  EXPECT_EQ(AnsiChar(-1), u"\uF8F5\uF8F5");
}

TEST(AnsiChar, UndefinedBytesGiveWindowsSubstitutes) {
  EXPECT_EQ(AnsiChar(0xD6), u"?");  // lone lead byte
  EXPECT_EQ(AnsiChar(static_cast<std::int16_t>(0xD600)), std::u16string(u"?\0", 2));  // lead, NUL
  EXPECT_EQ(AnsiChar(static_cast<std::int16_t>(0x813F)), u"?");  // invalid trail
  EXPECT_EQ(AnsiChar(static_cast<std::int16_t>(0xFFF7)), u"\uF8F5?");
}

TEST(EncodeText, LowersEveryCodeByTheShift) {
  EXPECT_EQ(EncodeText(u"AZ\t"), Unit('A' - K) + Unit('Z' - K) + Unit('\t' - K));
  EXPECT_EQ(DecodeText(Unit('A' - K) + Unit('Z' - K)), u"AZ");
  EXPECT_EQ(EncodeText(u"中"), AnsiChar(static_cast<std::int16_t>(0xD6D0 - K)));
  EXPECT_EQ(EncodeText(u""), u"");
}

TEST(EncodeText, MatchesTheCharacterDefinitionForEveryUnit) {
  std::u16string all;
  std::u16string encoded;
  std::u16string decoded;
  for (int unit = 0; unit < 0x10000; ++unit) {
    all += Unit(unit);
    const std::int16_t code = AnsiCode(static_cast<char16_t>(unit));
    encoded += AnsiChar(static_cast<std::int16_t>(code - K));
    decoded += AnsiChar(static_cast<std::int16_t>(code + K));
  }
  EXPECT_EQ(EncodeText(all), encoded);
  EXPECT_EQ(DecodeText(all), decoded);
}

TEST(EncodeText, ControlCharactersBelowTheShiftDoNotSurvive) {
  for (int unit = 0; unit < K; ++unit) {
    EXPECT_NE(DecodeText(EncodeText(Unit(unit))), Unit(unit)) << unit;
    EXPECT_TRUE(IsLossy(static_cast<char16_t>(unit)));
  }
  EXPECT_FALSE(IsLossy(static_cast<char16_t>(K)));
}

TEST(DocumentRoundTrip, EveryCharacterWhoseShiftedCodeIsACharacterSurvives) {
  std::u16string survivors;
  int lossy = 0;
  for (int unit = 0; unit < 0x10000; ++unit) {
    const std::int16_t code = AnsiCode(static_cast<char16_t>(unit));
    const bool representable = code != '?' || unit == '?';
    if (representable && IsCharacterCode(code - K)) {
      survivors += Unit(unit);
      EXPECT_FALSE(IsLossy(static_cast<char16_t>(unit))) << unit;
    } else {
      ++lossy;
      EXPECT_TRUE(IsLossy(static_cast<char16_t>(unit))) << unit;
    }
  }
  EXPECT_EQ(DecodeDocument(EncodeDocument(survivors)).text, survivors);
  // 41,466 units outside the code page; of the rest, the controls below K, U+F8F5 (0xFF lowered
  // is a lead byte), and per lead byte the trail bytes 0x40 to 0x40 + K - 1 and 0x7F + K.
  EXPECT_EQ(lossy, 41466 + 127 * (K + 1));
}

TEST(DocumentRoundTrip, LostCharactersComeBackAsSomethingElse) {
  for (const char16_t unit : {u'\uAC00', char16_t{0xD800}, u'丂', u'\uF8F5', u'\0'}) {
    const std::u16string back = std::u16string(DecodeDocument(EncodeDocument(Unit(unit))).text);
    EXPECT_NE(back, Unit(unit)) << static_cast<int>(unit);
  }
  EXPECT_EQ(DecodeDocument(EncodeDocument(u"한")).text, u"?");
}

// The reading of the scrambled form step by step: convert, look at the end, decode, drop.
// Nothing when the text does not end in the marker.
std::optional<std::u16string> ReferenceScrambled(std::string_view bytes) {
  const std::u16string text = platform::cp936::Decode(bytes);
  if (text.size() < kMarker.size() || text.substr(text.size() - kMarker.size()) != kMarker) {
    return std::nullopt;
  }
  const std::u16string decoded = DecodeText(text);
  return decoded.substr(0, decoded.size() - kMarker.size());
}

// The scrambled form as step by step; anything else as plain text.
void ExpectReadAsReference(std::string_view bytes) {
  const DecodedText decoded = DecodeDocument(bytes);
  if (const std::optional<std::u16string> scrambled = ReferenceScrambled(bytes)) {
    ASSERT_EQ(decoded.text, *scrambled) << ::testing::PrintToString(std::string(bytes));
    ASSERT_EQ(decoded.encoding, TextEncoding::kScrambled);
    // The substitutes the code page put in before the shift.
    const std::string_view text_bytes = bytes.substr(0, bytes.size() - kMarker.size());
    std::u16string scratch(text_bytes.size() + 1, u'\0');
    ASSERT_EQ(decoded.undecodable,
              platform::cp936::DecodeCountingInto(text_bytes, scratch.data()).undecodable);
    return;
  }
  const DecodedText plain = DecodePlainText(bytes);
  ASSERT_EQ(decoded.text, plain.text) << ::testing::PrintToString(std::string(bytes));
  ASSERT_EQ(decoded.encoding, plain.encoding);
  ASSERT_EQ(decoded.undecodable, plain.undecodable);
}

TEST(DecodeDocument, MatchesTheStepByStepReadOnRandomBytes) {
  std::mt19937 random(20261207);
  const std::string marker = "-RgPw";
  const std::string alphabet = Bytes({0x00, 0x3F, 0x40, 0x41, 0x7F, 0x80, 0x81, 0xA1, 0xD6, 0xD0,
                                      0xFE, 0xFF, '-', 'R', 'g', 'P', 'w', '\r', '\n'});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 12);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int i = length(random); i > 0; --i) bytes += alphabet[pick(random)];
    if (round % 2 == 0) bytes += marker;
    ASSERT_NO_FATAL_FAILURE(ExpectReadAsReference(bytes));
  }
}

TEST(DecodeDocument, MatchesTheStepByStepReadAcrossLongInputs) {
  // Long enough to cross the decoder's internal chunks, with lead bytes, NULs and bytes whose
  // shifted codes turn into two characters all about.
  std::mt19937 random(936);
  const std::string alphabet =
      Bytes({0x00, 0x41, 0x42, 0x20, 0x7E, 0x7F, 0x80, 0x81, 0xD6, 0xD0, 0xFE, 0xFF, 0x0A});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (const std::size_t length : {16383u, 16384u, 16385u, 100000u}) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) bytes += alphabet[pick(random)];
    // A lead byte may swallow the first line feed but not the second, so the marker is whole.
    bytes += "\n\n-RgPw";
    ExpectReadAsReference(bytes);
    const DecodedText decoded = DecodeDocument(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::kScrambled) << length;
    EXPECT_EQ(decoded.text.back(), u'\n' + K);
  }
}

TEST(DecodeDocument, LargeDocumentsReadInPiecesAsStepByStep) {
  // Several megabytes, decoded on every processor, with lead bytes before NULs and ASCII, and
  // bytes whose shifted codes turn into two characters, on both sides of every cut.
  std::mt19937 random(9361);
  const std::string alphabet = Bytes(
      {0x00, 0x41, 0x0D, 0x0A, 0x20, 0x7E, 0x7F, 0x80, 0x81, 0xD6, 0xD0, 0xB0, 0xA1, 0xFE, 0xFF});
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string bytes;
  while (bytes.size() < (std::size_t{3} << 20)) bytes += alphabet[pick(random)];
  bytes += "\n\n-RgPw";
  ASSERT_GT(platform::cp936::DecodePartsFor(bytes.size()), 1u);
  ExpectReadAsReference(bytes);
  EXPECT_EQ(DecodeDocument(bytes).encoding, TextEncoding::kScrambled);
}

TEST(DecodeDocument, LeadByteBeforeTheMarkerSwallowsItsDash) {
  EXPECT_EQ(DecodeDocument(Bytes({0xD6, '-', 'R', 'g', 'P', 'w'})).text, u"?RgPw");
  EXPECT_EQ(DecodeDocument(Bytes({0xD6, 0xD6, '-', 'R', 'g', 'P', 'w'})).text,
            DecodeText(AnsiChar(static_cast<std::int16_t>(0xD6D6))));
  EXPECT_EQ(DecodeDocument(Bytes({0xD6, 0xD6, 0xD6, '-', 'R', 'g', 'P', 'w'})).text,
            AnsiChar(static_cast<std::int16_t>(0xD6D6)) + u"?RgPw");
}

}  // namespace
}  // namespace tambrel::document
