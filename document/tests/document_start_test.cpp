// The start of a document, decoded alone to be shown while the rest is read: it must read
// exactly as the same stretch of the whole does, in either form and every encoding, and the
// reading of a large file offers it early, tells its progress and stops when asked.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "document/plain_text_encoding.h"
#include "platform/codepage/cp936.h"
#include "tests/support/temp_dir.h"

namespace tambrel::document {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// Chinese, ASCII, line breaks and a character beyond the basic plane, mixed.
std::u16string MixedText(std::size_t lines) {
  std::u16string text;
  for (std::size_t line = 0; line < lines; ++line) {
    text += u"第" + std::u16string(1, static_cast<char16_t>(u'0' + line % 10)) +
            u"行：中文和 ASCII 混排，" + (line % 7 == 0 ? u"😀" : u"") + u"标点。\r\n";
  }
  return text;
}

// Whether the start is where the whole begins, and not empty when it had room for a character
// (four bytes hold any).
::testing::AssertionResult StartsTheWhole(const std::u16string& start, std::u16string_view whole,
                                          std::size_t room = 4) {
  if (start.empty() && room >= 4) return ::testing::AssertionFailure() << "nothing was decoded";
  if (whole.compare(0, start.size(), start) == 0) return ::testing::AssertionSuccess();
  std::size_t differ = 0;
  while (differ < start.size() && start[differ] == whole[differ]) ++differ;
  return ::testing::AssertionFailure()
         << "the start (" << start.size() << " units) differs from the whole at unit " << differ;
}

std::string Utf8(const std::u16string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// Every cut from one byte up to well past a line, in each form and encoding.
TEST(DocumentStart, ReadsAsTheSameStretchOfTheWholeWhereverItIsCut) {
  const std::u16string text = MixedText(40);
  const std::string forms[] = {EncodeDocument(text), platform::cp936::Encode(text), Utf8(text),
                               "\xEF\xBB\xBF" + Utf8(text), Utf16Le(text)};
  for (const std::string& bytes : forms) {
    const std::u16string whole = std::u16string(DecodeDocument(bytes).text);
    for (std::size_t most = 1; most < 400; most += 1) {
      ASSERT_TRUE(StartsTheWhole(DecodeDocumentStart(bytes, most), whole, most))
          << "cut at " << most << " of " << bytes.size() << " bytes starting "
          << static_cast<int>(static_cast<unsigned char>(bytes[0]));
    }
  }
}

TEST(DocumentStart, AOneLineDocumentWithoutAsciiIsCutBetweenCharacters) {
  std::u16string line;
  for (int i = 0; i < 100000; ++i) line += i % 3 == 0 ? u"😀" : u"汉";
  for (const std::string& bytes : {Utf8(line), platform::cp936::Encode(line)}) {
    const std::u16string whole = std::u16string(DecodeDocument(bytes).text);
    for (std::size_t most : {1u, 2u, 3u, 5u, 1000u, 1001u, 1002u, 1003u}) {
      EXPECT_TRUE(StartsTheWhole(DecodeDocumentStart(bytes, most), whole, most)) << most;
    }
  }
}

TEST(DocumentStart, TheFormIsToldByTheLastBytesAlone) {
  const std::string scrambled = EncodeDocument(MixedText(300));
  const std::string plain = platform::cp936::Encode(MixedText(300)) + "-RgPw";
  EXPECT_EQ(IsScrambledByItsEnd(scrambled.substr(scrambled.size() - 64)), true);
  EXPECT_EQ(IsScrambledByItsEnd("plain text, no marker"), false);
  // "-RgPw" after an odd run of lead bytes is the trail of a character, not the marker.
  EXPECT_EQ(IsScrambledByItsEnd(std::string("ab\xB0") + "-RgPw"), false);
  EXPECT_EQ(IsScrambledByItsEnd(std::string("ab\xB0\xA1") + "-RgPw"), true);
  // Lead bytes all the way back: the end alone cannot tell.
  EXPECT_EQ(IsScrambledByItsEnd(std::string("\xB0\xA1\xB0") + "-RgPw"), std::nullopt);
  EXPECT_EQ(IsScrambledByItsEnd(plain.substr(plain.size() - 4096)),
            DecodeDocument(plain).encoding == TextEncoding::kScrambled);
}

TEST(DocumentStart, ACutNeverSplitsAUtf16Pair) {
  const std::string bytes = Utf16Le(u"a😀b😀c");
  for (std::size_t at = 0; at <= bytes.size(); ++at) {
    const std::size_t cut = PlainTextCut(bytes, at);
    ASSERT_EQ(cut % 2, 0u) << at;
    const std::u16string start = std::u16string(DecodePlainText(bytes.substr(0, cut)).text);
    EXPECT_EQ(start.find(u'\uFFFD'), std::u16string::npos) << at;
  }
}

// A reading that is watched: a large file's start is offered before its end is read, the
// progress reaches the whole, and a stop asked for gives up with nothing.
class WatchedReading : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) { WriteBytes(path_, bytes); }

  TempDir folder_;
  std::filesystem::path path_ = folder_.path() / u"大.txt";
};

TEST_F(WatchedReading, ALargeDocumentsStartIsOfferedAndMatchesWhatIsRead) {
  std::u16string text = MixedText(1);
  while (text.size() < kPreviewFrom) text += text;
  for (const std::string& bytes : {EncodeDocument(text), platform::cp936::Encode(text)}) {
    Write(bytes);
    platform::WorkProgress progress;
    auto read = ReadDocumentFile(path_, &progress);
    ASSERT_TRUE(read.ok());
    const std::optional<std::u16string> start = progress.TakePreview();
    ASSERT_TRUE(start.has_value());
    EXPECT_GE(start->size(), kPreviewBytes / 3);
    EXPECT_LT(start->size(), read.value().Length());
    EXPECT_TRUE(StartsTheWhole(*start, read.value().Whole()));
    EXPECT_EQ(progress.Percent(), 100);
    EXPECT_FALSE(progress.GivenUp());
  }
}

TEST_F(WatchedReading, ALargeDocumentInEveryFormReadsAsItsWholeBytesDecode) {
  std::u16string text = MixedText(1);
  while (text.size() < kPreviewFrom / 2) text += text;
  std::string utf8_then_gbk = Utf8(text);
  utf8_then_gbk += platform::cp936::Encode(u"后面是 GBK：中文");
  const std::string utf16 =
      "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
  const std::string forms[] = {EncodeDocument(text),
                               platform::cp936::Encode(text),
                               Utf8(text),
                               utf8_then_gbk,
                               utf16,
                               std::string(kPreviewFrom, 'a')};
  for (const std::string& bytes : forms) {
    SCOPED_TRACE("form " + std::to_string(&bytes - forms));
    ASSERT_GE(bytes.size(), kPreviewFrom);
    Write(bytes);
    const DecodedText whole = DecodeDocument(bytes);
    for (const bool watched : {false, true}) {
      platform::WorkProgress progress;
      auto read = ReadDocumentFile(path_, watched ? &progress : nullptr);
      ASSERT_TRUE(read.ok());
      EXPECT_EQ(read.value().encoding, whole.encoding);
      EXPECT_EQ(read.value().undecodable, whole.undecodable);
      EXPECT_TRUE(read.value().Whole() == whole.text);
      if (watched) {
        EXPECT_EQ(progress.Percent(), 100);
      }
    }
  }
}

TEST_F(WatchedReading, ASmallDocumentOffersNoStart) {
  Write(EncodeDocument(MixedText(100)));
  platform::WorkProgress progress;
  ASSERT_TRUE(ReadDocumentFile(path_, &progress).ok());
  EXPECT_EQ(progress.TakePreview(), std::nullopt);
  EXPECT_EQ(progress.Percent(), 100);
}

TEST_F(WatchedReading, AStopAskedForGivesUpWithAFailure) {
  std::u16string large = MixedText(1);
  while (large.size() < kPreviewFrom) large += large;
  // Small enough to be read whole, and large enough to be read by place.
  for (const std::u16string& text : {MixedText(2000), large}) {
    Write(platform::cp936::Encode(text));
    platform::WorkProgress progress;
    progress.RequestStop();
    const auto read = ReadDocumentFile(path_, &progress);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(progress.GivenUp());
  }
}

}  // namespace
}  // namespace tambrel::document
