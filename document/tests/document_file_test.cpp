#include "document/document_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "document/document_codec.h"
#include "tests/support/bytes.h"
#include "tests/support/temp_dir.h"

namespace tambrel::document {
namespace {

using testing::Bytes;

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;

std::u16string ReadBack(const fs::path& path) {
  platform::Result<DecodedText> read = ReadDocumentFile(path);
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : ::testing::PrintToString(read.failure().reason));
  return read.ok() ? read.value().Whole() : u"<failed>";
}

// Writes text and reads it back through the file.
std::u16string ThroughFile(const std::u16string& text) {
  TempDir dir;
  EXPECT_TRUE(WriteDocumentFile(dir / "doc.txt", text).ok());
  return ReadBack(dir / "doc.txt");
}

TEST(DocumentFileBytes, EmptyTextIsExactlyTheMarker) {
  TempDir dir;
  ASSERT_TRUE(WriteDocumentFile(dir / "doc.txt", u"").ok());
  EXPECT_EQ(ReadBytes(dir / "doc.txt"), "-RgPw");
  EXPECT_EQ(ReadBack(dir / "doc.txt"), u"");
}

TEST(DocumentFileBytes, EveryCodeIsLoweredByTheShift) {
  TempDir dir;
  ASSERT_TRUE(WriteDocumentFile(dir / "doc.txt", u"Ab\t\r\n中文").ok());
  EXPECT_EQ(ReadBytes(dir / "doc.txt"), Bytes({'A' - K, 'b' - K, '\t' - K, '\r' - K, '\n' - K, 0xD6,
                                               0xD0 - K, 0xCE, 0xC4 - K, '-', 'R', 'g', 'P', 'w'}));
}

TEST(DocumentFileBytes, UnrepresentableCharacterIsWrittenAsTheEncodedQuestionMark) {
  TempDir dir;
  ASSERT_TRUE(WriteDocumentFile(dir / "doc.txt", u"한").ok());
  EXPECT_EQ(ReadBytes(dir / "doc.txt"), Bytes({'?' - K, '-', 'R', 'g', 'P', 'w'}));
  EXPECT_EQ(ReadBack(dir / "doc.txt"), u"?");
}

TEST(DocumentRoundTrip, AsciiTabsLineBreaksAndChineseSurvive) {
  std::u16string printable;
  for (char16_t c = 0x20; c < 0x7F; ++c) printable += c;
  EXPECT_EQ(ThroughFile(printable), printable);
  EXPECT_EQ(ThroughFile(u"a\tb\r\nc\r\n\r\n"), u"a\tb\r\nc\r\n\r\n");
  const std::u16string chinese = u"文本已改变，是否保存？\r\n保存成功。菜单（C）€";
  EXPECT_EQ(ThroughFile(chinese), chinese);
}

TEST(DocumentRoundTrip, MarkerInsideTheTextIsOrdinaryText) {
  EXPECT_EQ(ThroughFile(u"-RgPw in the middle -RgPw"), u"-RgPw in the middle -RgPw");
  EXPECT_EQ(ThroughFile(u"ends with -RgPw"), u"ends with -RgPw");
}

TEST(DocumentRoundTrip, ControlCharactersBelowTheShiftAreLost) {
  const std::u16string nul(1, u'\0');
  EXPECT_NE(ThroughFile(u"a" + nul + u"b"), u"a" + nul + u"b");
}

TEST(DocumentRoundTrip, TextsLongerThan32766CharactersSurvive) {
  std::u16string text;
  while (text.size() < 40000)
    text += u"第" + std::u16string(1, u'0' + text.size() % 10) + u"行\r\n";
  EXPECT_EQ(ThroughFile(text), text);
}

TEST(DocumentRoundTrip, TensOfMegabytesSurvive) {
  const std::u16string line = u"这是一行很长的中文文本 with some ASCII 1234567890\r\n";
  std::u16string text;
  text.reserve(20'000'000);
  while (text.size() + line.size() < 20'000'000) text += line;
  TempDir dir;
  ASSERT_TRUE(WriteDocumentFile(dir / "big.txt", text).ok());
  EXPECT_GT(fs::file_size(dir / "big.txt"), 24'000'000u);
  EXPECT_TRUE(ReadBack(dir / "big.txt") == text);
}

TEST(PlainFiles, AreReadAsTheyAre) {
  TempDir dir;
  EXPECT_EQ(ReadBack(dir.Write("empty", "")), u"");
  EXPECT_EQ(ReadBack(dir.Write("short", "-RgP")), u"-RgP");
  EXPECT_EQ(ReadBack(dir.Write("plain", "\xD6\xD0\xCE\xC4 ok\r\n")), u"中文 ok\r\n");
}

TEST(PlainFiles, TheMarkerTestIsExact) {
  TempDir dir;
  EXPECT_EQ(ReadBack(dir.Write("crlf", "BCD-RgPw\r\n")), u"BCD-RgPw\r\n");
  EXPECT_EQ(ReadBack(dir.Write("upper", "BCD-RGPW")), u"BCD-RGPW");
  EXPECT_EQ(ReadBack(dir.Write("lower", "BCD-rgPw")), u"BCD-rgPw");
  EXPECT_EQ(ReadBack(dir.Write("space", "BCD-RgPw ")), u"BCD-RgPw ");
}

TEST(PlainFiles, APlainFileEndingInTheMarkerIsDecoded) {
  TempDir dir;
  std::u16string expected;
  for (const char c : std::string("ABC")) expected += static_cast<char16_t>(c + K);
  EXPECT_EQ(ReadBack(dir.Write("ends", "ABC-RgPw")), expected);
  EXPECT_EQ(ReadBack(dir.Write("only", "-RgPw")), u"");
}

TEST(PlainFiles, ComeWithTheirEncodingAndWhatCouldNotBeDecoded) {
  TempDir dir;
  struct Case {
    std::string bytes;
    std::u16string text;
    TextEncoding encoding;
    std::size_t undecodable;
  };
  const Case cases[] = {
      {"\xE4\xB8\xAD\xE6\x96\x87 ok", u"\u4E2D\u6587 ok", TextEncoding::kUtf8, 0},
      {"\xEF\xBB\xBF\xE4\xB8\xAD\x80", u"\u4E2D\uFFFD", TextEncoding::kUtf8WithBom, 1},
      {"\xFF\xFE\x2D\x4E", u"\u4E2D", TextEncoding::kUtf16Le, 0},
      {"\xD6\xD0\x81\x20", u"\u4E2D?", TextEncoding::kCodePage936, 1},
      {"A-RgPw", std::u16string(1, u'A' + K), TextEncoding::kScrambled, 0},
  };
  for (const Case& expected : cases) {
    const platform::Result<DecodedText> read =
        ReadDocumentFile(dir.Write("doc.txt", expected.bytes));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().Whole(), expected.text);
    EXPECT_EQ(read.value().encoding, expected.encoding) << ::testing::PrintToString(expected.bytes);
    EXPECT_EQ(read.value().undecodable, expected.undecodable);
  }
}

TEST(ReadDocumentFile, MissingFileIsCreatedEmpty) {
  TempDir dir;
  EXPECT_EQ(ReadBack(dir / "新文件.txt"), u"");
  EXPECT_TRUE(fs::is_regular_file(dir / "新文件.txt"));
}

TEST(ReadDocumentFile, FailuresComeBackWithAReasonNotAsEmptyText) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  const fs::path big = dir.Write("big.txt", "");
  fs::resize_file(big, kMaxDocumentBytes + 1);
  for (const fs::path& path : {dir / "folder", big, dir / "no" / "such.txt"}) {
    const platform::Result<DecodedText> read = ReadDocumentFile(path);
    ASSERT_FALSE(read.ok()) << path;
    EXPECT_FALSE(read.failure().reason.empty());
  }
}

TEST(WriteDocumentFile, FailureLeavesTheOldFile) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(WriteDocumentFile(dir / "folder", u"text").ok());
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_FALSE(WriteDocumentFile(dir / "no" / "doc.txt", u"text").ok());
}

TEST(WriteDocumentFile, ReplacesWhateverTheFileHeld) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", std::string(100000, 'x'));
  ASSERT_TRUE(WriteDocumentFile(path, u"短").ok());
  EXPECT_EQ(ReadBack(path), u"短");
  EXPECT_EQ(fs::file_size(path), 2u + 5u);
}

TEST(CountLossyCharacters, CountsWhatWouldNotReadBack) {
  EXPECT_EQ(CountLossyCharacters(u""), 0u);
  EXPECT_EQ(CountLossyCharacters(u"中文 ASCII\t\r\n"), 0u);
  EXPECT_EQ(CountLossyCharacters(u"한국어"), 3u);
  EXPECT_EQ(CountLossyCharacters(u"丂"), 1u);  // trail byte 0x40 lowered leaves the code page
  EXPECT_EQ(CountLossyCharacters(std::u16string(u"a\0b", 3)), 1u);
  // A surrogate pair is one character; a lone half is one too.
  EXPECT_EQ(CountLossyCharacters(u"x😀y"), 1u);
  EXPECT_EQ(CountLossyCharacters(std::u16string{char16_t{0xD83D}, u'a', char16_t{0xDE00}}), 2u);
}

TEST(CountLossyCharacters, AgreesWithAnActualWriteAndRead) {
  std::u16string text;
  for (char16_t unit = 0x8000; unit < 0x9000; ++unit) text += unit;
  const std::u16string back = ThroughFile(text);
  // Every lost character still becomes a single character here, so the texts line up.
  ASSERT_EQ(back.size(), text.size());
  std::size_t differ = 0;
  for (std::size_t i = 0; i < text.size(); ++i) differ += back[i] != text[i];
  EXPECT_EQ(CountLossyCharacters(text), differ);
  EXPECT_GT(differ, 0u);
}

}  // namespace
}  // namespace tambrel::document
