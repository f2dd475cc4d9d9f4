#include "platform/files/path_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/files/file_messages.h"

namespace tambrel::platform::files {
namespace {

namespace fs = std::filesystem;

TEST(PathText, UnicodeNamesBecomeTheirCharacters) {
  EXPECT_EQ(PathText(fs::path(u"中文/文件.txt")), u"中文/文件.txt");
  EXPECT_EQ(PathFromText(u"中文/😀.txt").value(), fs::path(u"中文/😀.txt"));
  EXPECT_EQ(PathFromText(u"").value(), fs::path());
}

TEST(PathText, NulNamesNoFile) { EXPECT_FALSE(PathFromText(std::u16string(u"a\0b", 3)).ok()); }

#ifndef _WIN32
// Windows names are any UTF-16, lone surrogates included; Linux ones are bytes.
TEST(PathText, StrayHalvesOfAPairNameNoFileOnLinux) {
  EXPECT_FALSE(PathFromText(u"a\xD800"
                            u"b")
                   .ok());
  EXPECT_FALSE(PathFromText(u"\xD83D").ok());
  EXPECT_NE(PathFromText(u"\xD800").failure().reason.find(u"文件名无效"), std::u16string::npos);
}
TEST(PathText, NamesThatAreNotUtf8KeepEveryByte) {
  // 中文.txt in GBK, the name a Chinese Windows machine gives a file it copies over.
  const std::string gbk = "\xD6\xD0\xCE\xC4.txt";
  const std::u16string text = FileNameText(gbk);
  EXPECT_EQ(text, u"\xDCD6\xDCD0\xDCCE\xDCC4.txt");
  EXPECT_EQ(PathFromText(text).value().native(), gbk);
  EXPECT_EQ(PathText(fs::path(gbk)), text);
  EXPECT_EQ(DisplayPath(fs::path(gbk)), u"\uFFFD\uFFFD\uFFFD\uFFFD.txt");
  // Overlong forms and encoded surrogates are not UTF-8 either.
  EXPECT_EQ(FileNameText("\xC0\x80"), u"\xDCC0\xDC80");
  EXPECT_EQ(FileNameText("\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");
  // A character whose second half looks like an escaped byte is still one character.
  EXPECT_EQ(FileNameText("\xF0\x90\x82\x80"), u"\U00010080");
  EXPECT_EQ(DisplayPath(fs::path("\xF0\x90\x82\x80")), u"\U00010080");
}

TEST(PathText, AnySequenceOfBytesComesBackUnchanged) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> byte(1, 255);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 5000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) bytes += static_cast<char>(byte(random));
    const auto back = PathFromText(FileNameText(bytes));
    ASSERT_TRUE(back.ok());
    ASSERT_EQ(back.value().native(), bytes);
  }
}
#endif

}  // namespace
}  // namespace tambrel::platform::files
