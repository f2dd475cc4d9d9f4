#include "commands/command_line_path.h"

#include <gtest/gtest.h>

namespace tambrel::commands {
namespace {

TEST(CommandLinePath, EnclosingQuotesAreRemoved) {
  EXPECT_EQ(DocumentPathFromCommandLine(u"\"/home/用户/文档.txt\""), u"/home/用户/文档.txt");
  EXPECT_EQ(DocumentPathFromCommandLine(u"\"/tmp/a b.txt\""), u"/tmp/a b.txt");
}

TEST(CommandLinePath, UnquotedPathIsKeptWhole) {
  EXPECT_EQ(DocumentPathFromCommandLine(u"/tmp/a b.txt"), u"/tmp/a b.txt");
  EXPECT_EQ(DocumentPathFromCommandLine(u"x"), u"x");
  EXPECT_EQ(DocumentPathFromCommandLine(u"ab"), u"ab");
}

TEST(CommandLinePath, OneQuoteAloneIsPartOfTheName) {
  EXPECT_EQ(DocumentPathFromCommandLine(u"\"/tmp/a.txt"), u"\"/tmp/a.txt");
  EXPECT_EQ(DocumentPathFromCommandLine(u"/tmp/a.txt\""), u"/tmp/a.txt\"");
  EXPECT_EQ(DocumentPathFromCommandLine(u"\""), u"\"");
}

TEST(CommandLinePath, NothingNamesNoDocument) {
  EXPECT_EQ(DocumentPathFromCommandLine(u""), u"");
  EXPECT_EQ(DocumentPathFromCommandLine(u"\"\""), u"");
}

}  // namespace
}  // namespace tambrel::commands
