#include "document/plain_text_encoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <string_view>

#include "document/document_codec.h"
#include "tests/support/bestfit936.h"
#include "tests/support/bytes.h"
#include "tests/support/reference_unicode.h"

namespace tambrel::document {

// Names in failure messages rather than numbers.
void PrintTo(TextEncoding encoding, std::ostream* out) {
  constexpr const char* kNames[] = {"UTF-8 with BOM", "UTF-8",         "UTF-16 LE",
                                    "UTF-16 BE",      "code page 936", "scrambled"};
  *out << kNames[static_cast<int>(encoding)];
}

namespace {

using testing::Bytes;

using testing::ReferenceText;

using testing::Cp936Table;

ReferenceText ReferenceCp936(std::string_view bytes) {
  return testing::ReferenceCp936(bytes, Cp936Table());
}

const std::string kUtf8Bom = Bytes({0xEF, 0xBB, 0xBF});
const std::string kUtf16LeBom = Bytes({0xFF, 0xFE});
const std::string kUtf16BeBom = Bytes({0xFE, 0xFF});

// 中文 ok, in the encodings a file may hold it in.
const std::string kChineseUtf8 = Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87, ' ', 'o', 'k'});
const std::string kChineseGbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4, ' ', 'o', 'k'});
const std::u16string kChineseText = u"\u4E2D\u6587 ok";

// Every strict UTF-8 rejection, with the replacements each gets after a byte-order mark.
struct Rejected {
  std::string bytes;
  std::size_t replacements;
};
const Rejected kRejected[] = {
    {Bytes({0xC0, 0x80}), 2},              // overlong
    {Bytes({0xE0, 0x80, 0x80}), 3},        // overlong
    {Bytes({0xF0, 0x80, 0x80, 0x80}), 4},  // overlong
    {Bytes({0xED, 0xA0, 0x80}), 3},        // surrogate U+D800
    {Bytes({0xF4, 0x90, 0x80, 0x80}), 4},  // above U+10FFFF
    {Bytes({0x80}), 1},                    // stray continuation byte
    {Bytes({0xE4, 0xB8}), 1},              // cut short by the end
};

void ExpectDecoded(std::string_view bytes, const std::u16string& text, TextEncoding encoding,
                   std::size_t undecodable) {
  const DecodedText decoded = DecodePlainText(bytes);
  EXPECT_EQ(decoded.text, text) << ::testing::PrintToString(std::string(bytes));
  EXPECT_EQ(decoded.encoding, encoding) << ::testing::PrintToString(std::string(bytes));
  EXPECT_EQ(decoded.undecodable, undecodable) << ::testing::PrintToString(std::string(bytes));
}

TEST(PlainTextUtf8, WellFormedBytesBeyondAsciiAreUtf8) {
  ExpectDecoded(kChineseUtf8, kChineseText, TextEncoding::kUtf8, 0);
  ExpectDecoded(Bytes({0xC3, 0xA9}), u"\u00E9", TextEncoding::kUtf8, 0);
  // U+1F600 takes a surrogate pair.
  ExpectDecoded(Bytes({'a', 0xF0, 0x9F, 0x98, 0x80}), u"a\xD83D\xDE00", TextEncoding::kUtf8, 0);
  // U+10FFFF, the last code point, and U+FEFF away from the start, which is text.
  ExpectDecoded(Bytes({0xF4, 0x8F, 0xBF, 0xBF, 0xEF, 0xBB, 0xBF}), u"\xDBFF\xDFFF\uFEFF",
                TextEncoding::kUtf8, 0);
}

TEST(PlainTextUtf8, TheByteOrderMarkDecidesAndIsNoPartOfTheText) {
  ExpectDecoded(kUtf8Bom + kChineseUtf8, kChineseText, TextEncoding::kUtf8WithBom, 0);
  ExpectDecoded(kUtf8Bom, u"", TextEncoding::kUtf8WithBom, 0);
  // Pure ASCII after the mark is still UTF-8 with a mark.
  ExpectDecoded(kUtf8Bom + "ok", u"ok", TextEncoding::kUtf8WithBom, 0);
  // A second mark is text.
  ExpectDecoded(kUtf8Bom + kUtf8Bom, u"\uFEFF", TextEncoding::kUtf8WithBom, 0);
}

TEST(PlainTextUtf8, AfterAByteOrderMarkEachMaximalInvalidSubpartIsOneCountedReplacement) {
  for (const Rejected& rejected : kRejected) {
    const std::u16string replacements(rejected.replacements, u'\uFFFD');
    ExpectDecoded(kUtf8Bom + "a" + rejected.bytes, u"a" + replacements, TextEncoding::kUtf8WithBom,
                  rejected.replacements);
    ExpectDecoded(kUtf8Bom + rejected.bytes + "\xE4\xB8\xAD", replacements + u"\u4E2D",
                  TextEncoding::kUtf8WithBom, rejected.replacements);
  }
  // A sequence cut short by the next character is one replacement, and that character stays.
  ExpectDecoded(kUtf8Bom + Bytes({0xE4, 0xB8, 'A', 0xF0, 0x9F, 0x98, 0xE4, 0xB8, 0xAD}),
                u"\uFFFDA\uFFFD\u4E2D", TextEncoding::kUtf8WithBom, 2);
  // GBK behind a UTF-8 mark is read as UTF-8: of 联通, C1 and AA are broken, CD A8 is U+0368.
  ExpectDecoded(kUtf8Bom + Bytes({0xC1, 0xAA, 0xCD, 0xA8}), u"\uFFFD\uFFFD\u0368",
                TextEncoding::kUtf8WithBom, 2);
}

TEST(PlainTextUtf8, WithoutAByteOrderMarkEveryRejectionMakesTheFileCodePage936) {
  for (const Rejected& rejected : kRejected) {
    for (const std::string& bytes :
         {rejected.bytes, kChineseUtf8 + rejected.bytes, rejected.bytes + kChineseUtf8,
          std::string(40, 'x') + kChineseUtf8 + rejected.bytes + "tail"}) {
      const ReferenceText expected = ReferenceCp936(bytes);
      ExpectDecoded(bytes, expected.text, TextEncoding::kCodePage936, expected.undecodable);
    }
  }
}

TEST(PlainTextUtf16, LittleEndianWithAByteOrderMark) {
  // 中A, then U+1F600 as a surrogate pair.
  ExpectDecoded(kUtf16LeBom + Bytes({0x2D, 0x4E, 0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE}),
                u"\u4E2DA\xD83D\xDE00", TextEncoding::kUtf16Le, 0);
  ExpectDecoded(kUtf16LeBom, u"", TextEncoding::kUtf16Le, 0);
}

TEST(PlainTextUtf16, BigEndianWithAByteOrderMark) {
  ExpectDecoded(kUtf16BeBom + Bytes({0x4E, 0x2D, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00}),
                u"\u4E2DA\xD83D\xDE00", TextEncoding::kUtf16Be, 0);
  ExpectDecoded(kUtf16BeBom, u"", TextEncoding::kUtf16Be, 0);
}

TEST(PlainTextUtf16, UnpairedSurrogatesAndAnOddLastByteAreCountedReplacements) {
  // A high surrogate before a letter, a low surrogate alone.
  ExpectDecoded(kUtf16LeBom + Bytes({0x3D, 0xD8, 0x41, 0x00, 0x00, 0xDE}), u"\uFFFDA\uFFFD",
                TextEncoding::kUtf16Le, 2);
  ExpectDecoded(kUtf16BeBom + Bytes({0x00, 0x41, 0xD8, 0x3D}), u"A\uFFFD", TextEncoding::kUtf16Be,
                1);
  ExpectDecoded(kUtf16LeBom + Bytes({0x41, 0x00, 0x42}), u"A\uFFFD", TextEncoding::kUtf16Le, 1);
  ExpectDecoded(kUtf16BeBom + Bytes({0x4E}), u"\uFFFD", TextEncoding::kUtf16Be, 1);
  // A high surrogate cut off by the odd byte: both count.
  ExpectDecoded(kUtf16BeBom + Bytes({0xD8, 0x3D, 0xDE}), u"\uFFFD\uFFFD", TextEncoding::kUtf16Be,
                2);
}

TEST(PlainTextUtf16, WithoutAByteOrderMarkIsCodePage936) {
  const std::string ascii_letters = Bytes({'a', 0x00, 'b', 0x00});
  ExpectDecoded(ascii_letters, std::u16string(u"a\0b\0", 4), TextEncoding::kCodePage936, 0);
  // 中文 in UTF-16 LE: 2D 4E 87 65.
  const std::string chinese = Bytes({0x2D, 0x4E, 0x87, 0x65});
  const ReferenceText expected = ReferenceCp936(chinese);
  ExpectDecoded(chinese, expected.text, TextEncoding::kCodePage936, expected.undecodable);
  EXPECT_NE(expected.text, u"\u4E2D\u6587");
}

TEST(PlainTextCodePage936, GbkReadsAsBefore) {
  ExpectDecoded(kChineseGbk, kChineseText, TextEncoding::kCodePage936, 0);
  ExpectDecoded(std::string(37, '-') + kChineseGbk + "\r\n",
                std::u16string(37, u'-') + kChineseText + u"\r\n", TextEncoding::kCodePage936, 0);
  // The single bytes beyond ASCII.
  ExpectDecoded(Bytes({0x80, 0xFF}), u"\u20AC\uF8F5", TextEncoding::kCodePage936, 0);
}

TEST(PlainTextCodePage936, PureAsciiIsCodePage936) {
  ExpectDecoded("", u"", TextEncoding::kCodePage936, 0);
  ExpectDecoded("a", u"a", TextEncoding::kCodePage936, 0);
  ExpectDecoded("plain ASCII, long enough for several runs of sixteen?\r\n",
                u"plain ASCII, long enough for several runs of sixteen?\r\n",
                TextEncoding::kCodePage936, 0);
  ExpectDecoded(std::string("\0\x7F", 2), std::u16string(u"\0\x7F", 2), TextEncoding::kCodePage936,
                0);
}

TEST(PlainTextCodePage936, ShortGbkTextsThatAreNoUtf8StayGbk) {
  const std::pair<std::string, std::u16string> texts[] = {
      {Bytes({0xD6, 0xD0}), u"\u4E2D"},                                      // 中
      {Bytes({0xB5, 0xC4}), u"\u7684"},                                      // 的
      {Bytes({0xC4, 0xE3, 0xBA, 0xC3}), u"\u4F60\u597D"},                    // 你好
      {Bytes({0xC1, 0xAA, 0xCD, 0xA8}), u"\u8054\u901A"},                    // 联通
      {Bytes({0xCA, 0xC7, 0xD6, 0xD0, 0xCE, 0xC4}), u"\u662F\u4E2D\u6587"},  // 是中文
      {Bytes({0xBA, 0xBA, 0xD7, 0xD6, 0xB2, 0xE2, 0xCA, 0xD4}),
       u"\u6C49\u5B57\u6D4B\u8BD5"},                             // 汉字测试
      {Bytes({'1', 0xD2, 0xBB, 0xCE, 0xD2}), u"1\u4E00\u6211"},  // 1一我
  };
  for (const auto& [bytes, text] : texts) {
    ASSERT_GT(testing::ReferenceUtf8(bytes).undecodable, 0u) << "not a case: valid UTF-8";
    ExpectDecoded(bytes, text, TextEncoding::kCodePage936, 0);
  }
  // A pair whose bytes start a UTF-8 sequence that the end cuts short.
  const std::string cut_short = Bytes({0xE4, 0xB8});
  ASSERT_EQ(ReferenceCp936(cut_short).text.size(), 1u);
  ExpectDecoded(cut_short, ReferenceCp936(cut_short).text, TextEncoding::kCodePage936, 0);
}

TEST(PlainTextCodePage936, EachSubstituteForBrokenBytesIsCountedButNotAQuestionMark) {
  ExpectDecoded(Bytes({0x81, 0x20}), u"?", TextEncoding::kCodePage936, 1);  // undefined pair
  ExpectDecoded(Bytes({'a', 0xD6, 0xD0, 0xD6}), u"a\u4E2D?", TextEncoding::kCodePage936, 1);
  ExpectDecoded(Bytes({0xD6, 0x00, 'b'}), std::u16string(u"?\0b", 3), TextEncoding::kCodePage936,
                1);
  ExpectDecoded(Bytes({'?', 0xD6, 0xD0, '?'}), u"?\u4E2D?", TextEncoding::kCodePage936, 0);
  ExpectDecoded(Bytes({0xD6, 0xD0, 0x81, 0x20, 0x81, 0x7F, 0xFE}), u"\u4E2D???",
                TextEncoding::kCodePage936, 3);
}

TEST(PlainTextCodePage936, AFileValidAsUtf8UntilItsLastByteIsCodePage936Throughout) {
  std::string bytes(100, 'x');
  while (bytes.size() < 300000) bytes += kChineseUtf8;
  bytes += Bytes({0xD6});
  const ReferenceText expected = ReferenceCp936(bytes);
  ExpectDecoded(bytes, expected.text, TextEncoding::kCodePage936, expected.undecodable);
  EXPECT_EQ(expected.undecodable, 1u);
}

TEST(PlainTextUtf8, LongFilesDecodeWhole) {
  std::string bytes;
  std::u16string text;
  for (int line = 0; bytes.size() < 300000; ++line) {
    const std::string number = std::to_string(line);
    bytes += number + " " + kChineseUtf8 + "\xF0\x9F\x98\x80\r\n";
    text +=
        std::u16string(number.begin(), number.end()) + u" " + kChineseText + u"\xD83D\xDE00\r\n";
  }
  ExpectDecoded(bytes, text, TextEncoding::kUtf8, 0);
}

// The decode of a buffer in one pass, on one thread.
DecodedText DecodedInOnePass(std::string_view bytes) {
  std::u16string text(MaxPlainTextLength(bytes), u'\0');
  const PlainTextSummary summary = DecodePlainTextInto(bytes, text.data());
  text.resize(summary.written);
  return {text, summary.encoding, summary.undecodable, {}, {}, {}};
}

void ExpectAsInOnePass(std::string_view bytes, TextEncoding encoding) {
  const DecodedText whole = DecodedInOnePass(bytes);
  const DecodedText decoded = DecodePlainText(bytes);
  ASSERT_EQ(whole.encoding, encoding);
  EXPECT_EQ(decoded.encoding, encoding);
  EXPECT_TRUE(decoded.text == whole.text)
      << decoded.text.size() << " units, not " << whole.text.size();
  EXPECT_EQ(decoded.undecodable, whole.undecodable);
}

// Lines of GBK text of several megabytes, decoded in pieces, with broken bytes strewn about and
// a lead byte at the very end.
TEST(PlainTextCodePage936, LargeFilesReadInPiecesAsInOnePass) {
  std::mt19937 random(9360);
  std::uniform_int_distribution<int> line(0, 50);
  std::string bytes;
  while (bytes.size() < (std::size_t{5} << 20)) {
    for (int n = line(random); n > 0; --n) bytes += kChineseGbk;
    bytes += line(random) == 0 ? Bytes({0x81, 0x7F, 0xFF, 0xD6, 0x00}) : std::string("\r\n");
  }
  bytes += Bytes({0xD6});
  ExpectAsInOnePass(bytes, TextEncoding::kCodePage936);
  EXPECT_GT(DecodePlainText(bytes).undecodable, 1u);
  // Without the ASCII that lets the pieces be cut, the file is read in one.
  const std::string uncut(std::size_t{3} << 20, '\xD6');
  ExpectAsInOnePass(uncut, TextEncoding::kCodePage936);
}

// UTF-8 that breaks only past the look at its start is read again as code page 936, in pieces.
TEST(PlainTextCodePage936, ALargeFileBrokenAsUtf8OnlyAtItsEndIsCodePage936InPieces) {
  for (const std::size_t size : {std::size_t{3} << 20, std::size_t{17} << 20}) {
    std::string bytes;
    bytes.reserve(size + 16);
    while (bytes.size() < size) bytes += kChineseUtf8 + "\r\n";
    bytes += Bytes({0xD6});
    ASSERT_NO_FATAL_FAILURE(ExpectAsInOnePass(bytes, TextEncoding::kCodePage936)) << size;
    bytes.pop_back();
    ASSERT_NO_FATAL_FAILURE(ExpectAsInOnePass(bytes, TextEncoding::kUtf8)) << size;
  }
}

// The whole choice again, from the reference decoders.
DecodedText ReferencePlainText(std::string_view bytes) {
  const auto decoded = [](const ReferenceText& reference, TextEncoding encoding) {
    return DecodedText{reference.text, encoding, reference.undecodable, {}, {}, {}};
  };
  if (bytes.starts_with(kUtf8Bom)) {
    return decoded(testing::ReferenceUtf8(bytes.substr(3)), TextEncoding::kUtf8WithBom);
  }
  if (bytes.starts_with(kUtf16LeBom)) {
    return decoded(testing::ReferenceUtf16(bytes.substr(2), true), TextEncoding::kUtf16Le);
  }
  if (bytes.starts_with(kUtf16BeBom)) {
    return decoded(testing::ReferenceUtf16(bytes.substr(2), false), TextEncoding::kUtf16Be);
  }
  bool beyond_ascii = false;
  for (const char byte : bytes) beyond_ascii |= static_cast<unsigned char>(byte) >= 0x80;
  const ReferenceText utf8 = testing::ReferenceUtf8(bytes);
  if (beyond_ascii && utf8.undecodable == 0) return decoded(utf8, TextEncoding::kUtf8);
  return decoded(ReferenceCp936(bytes), TextEncoding::kCodePage936);
}

TEST(PlainTextEncoding, MatchesTheReferenceOnRandomFiles) {
  std::mt19937 random(65001);
  const std::string pieces[] = {kUtf8Bom,
                                kUtf16LeBom,
                                kUtf16BeBom,
                                kChineseUtf8,
                                kChineseGbk,
                                "\xF0\x9F\x98\x80",
                                "0123456789abcdefghij",
                                "?",
                                std::string(1, '\0'),
                                "\xC1\xAA\xCD\xA8",
                                Bytes({0xED, 0xA0, 0x80}),
                                Bytes({0x3D, 0xD8}),
                                Bytes({0x00, 0xDE}),
                                Bytes({0x81, 0x20}),
                                Bytes({0x80}),
                                Bytes({0xFF}),
                                Bytes({0xE4}),
                                Bytes({0xD6})};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<int> ascii_only(0, 5);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      const std::string& piece = pieces[pick(random)];
      // Some files are UTF-8 or ASCII through and through.
      if (round % 4 == 0 && testing::ReferenceUtf8(piece).undecodable > 0) continue;
      if (round % 4 == 1 && ascii_only(random) > 0) bytes += "ascii ";
      bytes += piece;
    }
    const DecodedText expected = ReferencePlainText(bytes);
    const DecodedText decoded = DecodePlainText(bytes);
    ASSERT_EQ(decoded.text, expected.text) << ::testing::PrintToString(bytes);
    ASSERT_EQ(decoded.encoding, expected.encoding) << ::testing::PrintToString(bytes);
    ASSERT_EQ(decoded.undecodable, expected.undecodable) << ::testing::PrintToString(bytes);
    ASSERT_LE(decoded.text.size(), MaxPlainTextLength(bytes));
  }
}

TEST(PlainTextEncoding, TheRoomNeededIsHalvedForUtf16Only) {
  EXPECT_EQ(MaxPlainTextLength(""), 0u);
  EXPECT_EQ(MaxPlainTextLength(kChineseGbk), kChineseGbk.size());
  EXPECT_EQ(MaxPlainTextLength(kUtf8Bom + "abc"), 3u);
  EXPECT_EQ(MaxPlainTextLength(kUtf16LeBom + "abcd"), 2u);
  EXPECT_EQ(MaxPlainTextLength(kUtf16BeBom + "abcde"), 3u);
}

TEST(PlainTextEncoding, DecodesIntoTheCallersBufferWithTheSameResult) {
  for (const std::string& bytes : {kChineseUtf8, kChineseGbk, kUtf16BeBom + "\x4E\x2D\xD8"}) {
    std::u16string buffer(MaxPlainTextLength(bytes), u'#');
    const PlainTextSummary summary = DecodePlainTextInto(bytes, buffer.data());
    const DecodedText decoded = DecodePlainText(bytes);
    EXPECT_EQ(buffer.substr(0, summary.written), decoded.text);
    EXPECT_EQ(summary.encoding, decoded.encoding);
    EXPECT_EQ(summary.undecodable, decoded.undecodable);
  }
}

// The scrambled form of bytes that end in the marker, from the reference code page 936 and the
// shift: decode, unscramble, drop the marker.
std::u16string ReferenceScrambled(const std::string& bytes) {
  const std::u16string text = DecodeText(ReferenceCp936(bytes).text);
  return text.substr(0, text.size() - kMarker.size());
}

TEST(DocumentForm, AFileThatLooksLikeUtf8ButEndsInTheMarkerIsScrambled) {
  for (const std::string& bytes :
       {kChineseUtf8 + "-RgPw", kUtf8Bom + kChineseUtf8 + "-RgPw", kUtf16LeBom + "ab-RgPw",
        kUtf16BeBom + "a-RgPw", kChineseGbk + "-RgPw"}) {
    const DecodedText decoded = DecodeDocument(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::kScrambled) << ::testing::PrintToString(bytes);
    EXPECT_EQ(decoded.text, ReferenceScrambled(bytes)) << ::testing::PrintToString(bytes);
    // What the code page could not decode is counted before the shift, for the next save.
    EXPECT_EQ(decoded.undecodable,
              ReferenceCp936(bytes.substr(0, bytes.size() - kMarker.size())).undecodable);
  }
  // Text written by the program comes back, whatever it looked like.
  EXPECT_EQ(DecodeDocument(EncodeDocument(u"\u4E2D\u6587 ok")).text, u"\u4E2D\u6587 ok");
}

TEST(DocumentForm, AnythingElseIsPlainText) {
  const DecodedText marker_inside = DecodeDocument(kChineseUtf8 + "-RgPw\r\n");
  EXPECT_EQ(marker_inside.encoding, TextEncoding::kUtf8);
  EXPECT_EQ(marker_inside.text, kChineseText + u"-RgPw\r\n");
  const DecodedText gbk = DecodeDocument(kChineseGbk);
  EXPECT_EQ(gbk.encoding, TextEncoding::kCodePage936);
  EXPECT_EQ(gbk.text, kChineseText);
  const DecodedText utf16 = DecodeDocument(kUtf16LeBom + Bytes({0x2D, 0x4E, 0x42}));
  EXPECT_EQ(utf16.encoding, TextEncoding::kUtf16Le);
  EXPECT_EQ(utf16.text, u"\u4E2D\uFFFD");
  EXPECT_EQ(utf16.undecodable, 1u);
  // A lead byte takes the marker's dash, so the file does not end in the marker.
  const DecodedText swallowed = DecodeDocument(Bytes({0xE4, '-', 'R', 'g', 'P', 'w'}));
  EXPECT_EQ(swallowed.encoding, TextEncoding::kCodePage936);
  EXPECT_EQ(swallowed.text, u"?RgPw");
  EXPECT_EQ(swallowed.undecodable, 1u);
}

// A file of many megabytes goes another way through the decoder, its text sized for UTF-8 first:
// it must read exactly as the same bytes read piece by piece.
TEST(LargeFiles, ReadAsTheirPiecesDo) {
  // CJK, ASCII, a character beyond the basic plane and line breaks, about 600 bytes.
  std::string piece;
  for (int i = 0; i < 20; ++i) {
    piece += kChineseUtf8 + "\r\n" + Bytes({0xF0, 0x9F, 0x98, 0x80}) + " line " +
             std::to_string(i) + "\n";
  }
  std::string large;
  while (large.size() < (std::size_t{17} << 20)) large += piece;
  std::u16string expected;
  const DecodedText one = DecodePlainText(piece);
  ASSERT_EQ(one.encoding, TextEncoding::kUtf8);
  for (std::size_t at = 0; at < large.size(); at += piece.size()) expected += one.text;
  const DecodedText whole = DecodePlainText(large);
  EXPECT_EQ(whole.encoding, TextEncoding::kUtf8);
  EXPECT_EQ(whole.text, expected);

  // Not UTF-8 at its very last byte: the whole file is code page 936 after all.
  large.push_back(static_cast<char>(0xC1));
  const DecodedText gbk = DecodePlainText(large);
  EXPECT_EQ(gbk.encoding, TextEncoding::kCodePage936);
  EXPECT_EQ(gbk.text, ReferenceCp936(large).text);
  EXPECT_EQ(gbk.undecodable, ReferenceCp936(large).undecodable);
}

}  // namespace
}  // namespace tambrel::document
