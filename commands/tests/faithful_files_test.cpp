// Files as people have them, opened and saved again without an edit through the real commands:
// the text shown must be what the file says, and the bytes written what a writer following the
// format by the letter makes of that text, with a question first whenever something is lost.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "document/tests/test_files.h"
#include "main_window/form1.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_window_system.h"
#include "tests/support/bestfit936.h"
#include "tests/support/bytes.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::commands {

namespace {

using testing::Bytes;

using platform::MessageAnswer;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::WriteBytes;

using testing::Cp936Table;

std::string ReferenceDocument(const std::u16string& text) {
  return testing::ReferenceScrambledDocument(text, Cp936Table());
}

struct Sample {
  const char* name;
  std::string bytes;
  std::u16string shown;
  std::size_t lost;  // what the question before the save must count
};

// 中文, 第二行, 末 with CR LF, LF and lone CR between them.
const std::u16string kMixedText = u"\u4E2D\u6587\r\n\u7B2C\u4E8C\u884C\n\u672B\r!";
const std::string kMixedUtf8 =
    Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87, '\r', '\n', 0xE7, 0xAC, 0xAC, 0xE4,
           0xBA, 0x8C, 0xE8, 0xA1, 0x8C, '\n', 0xE6, 0x9C, 0xAB, '\r', '!'});
const std::string kMixedGbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4, '\r', '\n', 0xB5, 0xDA, 0xB6, 0xFE,
                                     0xD0, 0xD0, '\n', 0xC4, 0xA9, '\r', '!'});

std::vector<Sample> Corpus() {
  return {
      {"UTF-8", kMixedUtf8, kMixedText, 0},
      {"UTF-8 with BOM", Bytes({0xEF, 0xBB, 0xBF}) + kMixedUtf8, kMixedText, 0},
      // 中😀 little-endian and big-endian: the emoji is one character a save cannot keep.
      {"UTF-16 LE", Bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE, '\n', 0}),
       u"\u4E2D\U0001F600\n", 1},
      {"UTF-16 BE", Bytes({0xFE, 0xFF, 0x4E, 0x2D, 0xD8, 0x3D, 0xDE, 0x00, 0, '\r', 0, '\n'}),
       u"\u4E2D\U0001F600\r\n", 1},
      {"UTF-16 with an unpaired surrogate", Bytes({0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'b', 0}),
       u"a\uFFFDb", 1},
      {"GBK", kMixedGbk, kMixedText, 0},
      {"GBK that is all ASCII", "plain\r\nascii\n", u"plain\r\nascii\n", 0},
      {"one GBK character", Bytes({0xD6, 0xD0}), u"\u4E2D", 0},
      {"联通 in GBK", Bytes({0xC1, 0xAA, 0xCD, 0xA8}), u"\u8054\u901A", 0},
      {"four GBK characters", Bytes({0xC4, 0xE3, 0xBA, 0xC3, 0xCA, 0xC0, 0xBD, 0xE7}),
       u"\u4F60\u597D\u4E16\u754C", 0},
      {"an invalid pair", "abc \x81\x20 def", u"abc ? def", 1},
      {"a lone lead byte at the end", "ab\xD6", u"ab?", 1},
      {"a marker and a line break after it", "x-RgPw\r\n", u"x-RgPw\r\n", 0},
      {"a marker in the other case", "x-rgpw", u"x-rgpw", 0},
  };
}

class FaithfulFiles : public ::testing::Test {
 protected:
  FaithfulFiles() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs_ = scripted.get();
    main_window::Environment environment;
    form_ =
        std::make_unique<main_window::Form1>(std::move(environment), windows_, std::move(scripted));
    form_->file_commands().Timer2_Timer(u"");
  }

  void Open(const std::filesystem::path& path) {
    dialogs_->file_answers.push_back(platform::files::PathText(path));
    form_->file_commands().Open_Click();
  }

  // The lossy-save question's count, or 0 when none was asked since the last look.
  std::size_t QuestionCount() {
    std::size_t count = 0;
    for (const auto& message : dialogs_->messages) {
      if (message.text.find(u"个字符无法保存") == std::u16string::npos) continue;
      const std::size_t digits = message.text.find(u"个");
      count = std::stoul(
          std::string(message.text.begin() + 1, message.text.begin() + static_cast<long>(digits)));
    }
    dialogs_->messages.clear();
    return count;
  }

  TemporaryFolder folder_;
  ScriptedDialogs* dialogs_ = nullptr;
  platform::qt::QtWindowSystem windows_;
  std::unique_ptr<main_window::Form1> form_;
};

TEST_F(FaithfulFiles, EachFileShowsItsTextAndSavesAsTheReferenceWriterWould) {
  for (const Sample& sample : Corpus()) {
    SCOPED_TRACE(sample.name);
    const auto path = folder_ / u"sample.txt";
    WriteBytes(path, sample.bytes);
    Open(path);
    ASSERT_EQ(form_->Text1.Text(), sample.shown);
    dialogs_->message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
    form_->file_commands().Bc_Click();
    EXPECT_EQ(QuestionCount(), sample.lost);
    EXPECT_EQ(ReadBytes(path), ReferenceDocument(sample.shown));
    // What the program wrote reads back as the same text, byte for byte on a second save.
    const std::string written = ReadBytes(path);
    Open(path);
    if (sample.lost == 0) {
      EXPECT_EQ(form_->Text1.Text(), sample.shown);
    }
    dialogs_->message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
    form_->file_commands().Bc_Click();
    static_cast<void>(QuestionCount());
    EXPECT_EQ(ReadBytes(path), written);
  }
}

TEST_F(FaithfulFiles, BytesThatCouldNotBeReadAreAskedAboutAndNoWritesNothing) {
  const auto path = folder_ / u"broken.txt";
  WriteBytes(path, "abc \x81\x20 def");
  Open(path);
  dialogs_->message_answers = {MessageAnswer::kNo};
  form_->file_commands().Bc_Click();
  EXPECT_EQ(QuestionCount(), 1u);
  EXPECT_EQ(ReadBytes(path), "abc \x81\x20 def");

  // A scrambled document with a pair the code page does not define: the text reads as it always
  // did, but the next save cannot give those bytes back, so it asks too.
  WriteBytes(path,
             "\xD6\x3F"
             "a-RgPw");
  Open(path);
  dialogs_->message_answers = {MessageAnswer::kNo};
  form_->file_commands().Bc_Click();
  EXPECT_EQ(QuestionCount(), 1u);
  EXPECT_EQ(ReadBytes(path),
            "\xD6\x3F"
            "a-RgPw");
}

TEST_F(FaithfulFiles, TypedLinesTakeTheBreakTheDocumentUsesMost) {
  QWidget* editor = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* found = window->findChild<QWidget*>(QStringLiteral("Text1"))) editor = found;
  }
  ASSERT_NE(editor, nullptr);
  const auto type_line_after = [&](std::int32_t position) {
    form_->Text1.SetSelStart(position);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "new");
  };

  const auto path = folder_ / u"lf.txt";
  WriteBytes(path, "one\ntwo\r\nthree\n");
  Open(path);
  type_line_after(3);
  EXPECT_EQ(form_->Text1.Text(), u"one\nnew\ntwo\r\nthree\n");

  WriteBytes(path, "a\r\nb\rc\r\n");
  dialogs_->message_answers.push_back(MessageAnswer::kNo);  // the typing is not kept
  Open(path);
  type_line_after(1);
  EXPECT_EQ(form_->Text1.Text(), u"a\r\nnew\r\nb\rc\r\n");

  // A document of its own, without a file: CR LF, the desktop's way.
  form_->file_commands().Timer2_Timer(u"");
  form_->Text1.SetText(u"");
  type_line_after(0);
  EXPECT_EQ(form_->Text1.Text(), u"\r\nnew");
}

// --- The document named on the command line ------------------------------------------------

class CommandLineDocument : public FaithfulFiles {
 protected:
  void StartWith(const std::u16string& command_line) {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs_ = scripted.get();
    form_ = std::make_unique<main_window::Form1>(main_window::Environment{}, windows_,
                                                 std::move(scripted));
    form_->file_commands().Timer2_Timer(command_line);
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.push_back(entry.path().filename().native());
    }
    return names;
  }
};

TEST_F(CommandLineDocument, AFileNamedInGbkOpensThatFile) {
  const std::filesystem::path path = folder_.path() / std::string("\xD6\xD0\xCE\xC4.txt");
  WriteBytes(path, "\xC4\xE3\xBA\xC3");
  StartWith(u"\"" + platform::files::PathText(path) + u"\"");
  EXPECT_EQ(form_->Text1.Text(), u"\u4F60\u597D");
  EXPECT_EQ(Entries(), std::vector<std::string>{"\xD6\xD0\xCE\xC4.txt"});
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(CommandLineDocument, ANameLikeAnOptionIsADocument) {
  const std::filesystem::path path = folder_.path() / "-reverse";
  WriteBytes(path, "opened");
  StartWith(platform::files::PathText(path));
  EXPECT_EQ(form_->Text1.Text(), u"opened");
}

TEST_F(CommandLineDocument, ANameThatIsNoPathWarnsAndCreatesNothing) {
  StartWith(platform::files::PathText(folder_.path()) + u"/\xD800.txt");
  ASSERT_EQ(dialogs_->messages.size(), 1u);
  EXPECT_EQ(dialogs_->messages[0].title, u"警告");
  EXPECT_NE(dialogs_->messages[0].text.find(u"文件名无效"), std::u16string::npos);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(form_->CommonDialog1.FileName, u"");
}

}  // namespace
}  // namespace tambrel::commands
