// The system's code page for plain documents: 936 where the program is meant to run, and on
// Windows whatever the system answers, converted by the system.
#include "platform/codepage/ansi_code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace tambrel::platform::codepage {
namespace {

TEST(SystemAnsiCodePage, IsChineseWhereTheChecksRun) {
  // Linux has no ANSI code page; the Windows checks run Wine with a Chinese locale.
  EXPECT_EQ(SystemAnsiCodePage(), kChineseCodePage);
}

#ifdef _WIN32
TEST(DecodeSystemCodePage, AWesternCodePageGivesItsOwnLetters) {
  // "café", "€5" in code page 1252: the bytes a Western Windows writes them with.
  EXPECT_EQ(DecodeSystemCodePage("caf\xE9", 1252), u"café");
  EXPECT_EQ(DecodeSystemCodePage("\x80"
                                 "5\r\n",
                                 1252),
            u"€5\r\n");
  EXPECT_EQ(DecodeSystemCodePage("", 1252), u"");
}

TEST(DecodeSystemCodePage, ADoubleByteCodePageKeepsItsPairsWhole) {
  // "日本" in code page 932 (Shift-JIS).
  EXPECT_EQ(DecodeSystemCodePage("\x93\xFA\x96\x7B", 932), u"日本");
}
#else
TEST(DecodeSystemCodePage, WithoutASystemCodePageTheBytesAreChinese) {
  EXPECT_EQ(DecodeSystemCodePage("\xC4\xE3\xBA\xC3", 1252), u"你好");
}
#endif

}  // namespace
}  // namespace tambrel::platform::codepage
