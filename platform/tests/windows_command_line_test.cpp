#include "platform/windows_command_line.h"

#include <gtest/gtest.h>

namespace tambrel::platform {
namespace {

TEST(ArgumentsAfterProgramName, KeepsTheArgumentsAsTyped) {
  EXPECT_EQ(ArgumentsAfterProgramName(u"tambrel.exe \"C:\\文档\\a  b.txt\""),
            u"\"C:\\文档\\a  b.txt\"");
  EXPECT_EQ(ArgumentsAfterProgramName(u"tambrel.exe C:\\a  b.txt "), u"C:\\a  b.txt ");
  EXPECT_EQ(ArgumentsAfterProgramName(u"tambrel.exe \t  x"), u"x");
}

TEST(ArgumentsAfterProgramName, AQuotedProgramNameEndsAtItsClosingQuote) {
  EXPECT_EQ(ArgumentsAfterProgramName(u"\"C:\\Program Files\\Tambrel\\tambrel.exe\" \"a.txt\""),
            u"\"a.txt\"");
  // Backslashes do not escape the quote in the program's name.
  EXPECT_EQ(ArgumentsAfterProgramName(u"\"C:\\dir\\\" a.txt"), u"a.txt");
  // Text glued to the closing quote still belongs to the name.
  EXPECT_EQ(ArgumentsAfterProgramName(u"\"C:\\t\"ambrel.exe a.txt"), u"a.txt");
}

TEST(ArgumentsAfterProgramName, NoArgumentsGiveNothing) {
  EXPECT_EQ(ArgumentsAfterProgramName(u"tambrel.exe"), u"");
  EXPECT_EQ(ArgumentsAfterProgramName(u"tambrel.exe   "), u"");
  EXPECT_EQ(ArgumentsAfterProgramName(u"\"C:\\Program Files\\tambrel.exe"), u"");
  EXPECT_EQ(ArgumentsAfterProgramName(u""), u"");
}

}  // namespace
}  // namespace tambrel::platform
