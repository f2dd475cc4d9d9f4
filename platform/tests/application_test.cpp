// The program's command line is its document's path, whatever it looks like: the toolkit takes
// none of it for an option of its own, and a file name's bytes come through whole.
#include "platform/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <string>
#include <vector>

#include "platform/files/path_text.h"

namespace tambrel::platform {
namespace {

// Starts the program's Application with these arguments after the program's name and answers
// its command line, checking what the toolkit made of them on the way.
std::u16string CommandLineOf(std::vector<std::string> arguments,
                             Qt::LayoutDirection* direction = nullptr, QString* style = nullptr) {
  std::vector<std::string> storage{"tambrel"};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(storage.size());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  Application application(argc, argv.data());
  if (direction != nullptr) *direction = QGuiApplication::layoutDirection();
  if (style != nullptr) *style = QApplication::style()->name();
  return application.CommandLine();
}

TEST(CommandLine, QtOptionsAreDocumentNames) {
  Qt::LayoutDirection direction = Qt::RightToLeft;
  EXPECT_EQ(CommandLineOf({"-reverse"}, &direction), u"-reverse");
  EXPECT_EQ(direction, Qt::LeftToRight);

  QString style;
  EXPECT_EQ(CommandLineOf({"-style", "windows"}, nullptr, &style), u"-style windows");
  EXPECT_NE(style, QStringLiteral("windows"));
}

TEST(CommandLine, ArgumentsAreJoinedBySingleSpaces) {
  EXPECT_EQ(CommandLineOf({}), u"");
  EXPECT_EQ(CommandLineOf({"\"/tmp/my file.txt\""}), u"\"/tmp/my file.txt\"");
  EXPECT_EQ(CommandLineOf({"/tmp/my", "file.txt"}), u"/tmp/my file.txt");
  EXPECT_EQ(CommandLineOf({"/tmp/中文.txt"}), u"/tmp/中文.txt");
}

TEST(CommandLine, AFileNameInGbkKeepsItsBytes) {
  const std::string name = "/tmp/\xD6\xD0\xCE\xC4.txt";
  const std::u16string text = CommandLineOf({name});
  const auto path = files::PathFromText(text);
  ASSERT_TRUE(path.ok());
  EXPECT_EQ(path.value().native(), name);
}

}  // namespace
}  // namespace tambrel::platform
