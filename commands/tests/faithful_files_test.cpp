// Files as people have them, opened and saved again without an edit through the real commands:
// the text shown must be what the file says, and the bytes written what a writer following the
// format by the letter makes of that text, with a question first whenever something is lost.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files/path_text.h"
#include "tests/support/bestfit936.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {

namespace {

using testing::Bytes;

using platform::MessageAnswer;
using testing::FakeForm;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempDir;
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
  FaithfulFiles() { StartWith(u""); }

  // A new window, started by its own tick with the command line given.
  void StartWith(const std::u16string& command_line) {
    main_window::Environment environment = FakeForm::DesignScreen();
    environment.command_line = command_line;
    fake_ = std::make_unique<FakeForm>(std::move(environment));
    fake_->Start();
  }

  main_window::Form1& form() { return fake_->form(); }
  ScriptedDialogs& dialogs() { return fake_->dialogs(); }

  void Open(const std::filesystem::path& path) {
    dialogs().file_answers.push_back(platform::files::PathText(path));
    fake_->Click("Open");
  }

  void Save() { fake_->Click("Bc"); }

  // The lossy-save question's count, or 0 when none was asked since the last look.
  std::size_t QuestionCount() {
    std::size_t count = 0;
    for (const auto& message : dialogs().messages) {
      if (message.text.find(u"个字符无法保存") == std::u16string::npos) continue;
      const std::size_t digits = message.text.find(u"个");
      count = std::stoul(
          std::string(message.text.begin() + 1, message.text.begin() + static_cast<long>(digits)));
    }
    dialogs().messages.clear();
    return count;
  }

  std::filesystem::path In(std::u16string_view name) const { return folder_.path() / name; }

  TempDir folder_;
  std::unique_ptr<FakeForm> fake_;
};

TEST_F(FaithfulFiles, EachFileShowsItsTextAndSavesAsTheReferenceWriterWould) {
  for (const Sample& sample : Corpus()) {
    SCOPED_TRACE(sample.name);
    const auto path = In(u"sample.txt");
    WriteBytes(path, sample.bytes);
    Open(path);
    ASSERT_EQ(form().Text1.Text(), sample.shown);
    dialogs().message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
    Save();
    EXPECT_EQ(QuestionCount(), sample.lost);
    EXPECT_EQ(ReadBytes(path), ReferenceDocument(sample.shown));
    // What the program wrote reads back as the same text, byte for byte on a second save.
    const std::string written = ReadBytes(path);
    Open(path);
    if (sample.lost == 0) {
      EXPECT_EQ(form().Text1.Text(), sample.shown);
    }
    dialogs().message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
    Save();
    static_cast<void>(QuestionCount());
    EXPECT_EQ(ReadBytes(path), written);
  }
}

TEST_F(FaithfulFiles, BytesThatCouldNotBeReadAreAskedAboutAndNoWritesNothing) {
  const auto path = In(u"broken.txt");
  WriteBytes(path, "abc \x81\x20 def");
  Open(path);
  dialogs().message_answers = {MessageAnswer::kNo};
  Save();
  EXPECT_EQ(QuestionCount(), 1u);
  EXPECT_EQ(ReadBytes(path), "abc \x81\x20 def");

  // A scrambled document with a pair the code page does not define: the text reads as it always
  // did, but the next save cannot give those bytes back, so it asks too.
  WriteBytes(path,
             "\xD6\x3F"
             "a-RgPw");
  Open(path);
  dialogs().message_answers = {MessageAnswer::kNo};
  Save();
  EXPECT_EQ(QuestionCount(), 1u);
  EXPECT_EQ(ReadBytes(path),
            "\xD6\x3F"
            "a-RgPw");
}

TEST_F(FaithfulFiles, TypedLinesTakeTheBreakTheDocumentUsesMost) {
  const auto type_line_after = [&](std::int32_t position) {
    form().Text1.SetSelStart(position);
    fake_->editor().PressReturn();
    fake_->editor().Type(u"new");
  };

  const auto path = In(u"lf.txt");
  WriteBytes(path, "one\ntwo\r\nthree\n");
  Open(path);
  type_line_after(3);
  EXPECT_EQ(form().Text1.Text(), u"one\nnew\ntwo\r\nthree\n");

  WriteBytes(path, "a\r\nb\rc\r\n");
  dialogs().message_answers.push_back(MessageAnswer::kNo);  // the typing is not kept
  Open(path);
  type_line_after(1);
  EXPECT_EQ(form().Text1.Text(), u"a\r\nnew\r\nb\rc\r\n");

  // A document of its own, without a file: CR LF, the desktop's way.
  StartWith(u"");
  form().Text1.SetText(u"");
  type_line_after(0);
  EXPECT_EQ(form().Text1.Text(), u"\r\nnew");
}

// --- The document named on the command line ------------------------------------------------

class CommandLineDocument : public FaithfulFiles {
 protected:
  std::vector<std::filesystem::path> Entries() const {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.push_back(entry.path().filename());
    }
    return names;
  }
};

#ifndef _WIN32
// Names on Linux are bytes; on Windows they are UTF-16 already, and no name is in GBK.
TEST_F(CommandLineDocument, AFileNamedInGbkOpensThatFile) {
  const std::filesystem::path path = folder_.path() / std::string("\xD6\xD0\xCE\xC4.txt");
  WriteBytes(path, "\xC4\xE3\xBA\xC3");
  StartWith(u"\"" + platform::files::PathText(path) + u"\"");
  EXPECT_EQ(form().Text1.Text(), u"\u4F60\u597D");
  EXPECT_EQ(Entries(), std::vector<std::filesystem::path>{path.filename()});
  EXPECT_TRUE(dialogs().messages.empty());
}
#endif

TEST_F(CommandLineDocument, ANameLikeAnOptionIsADocument) {
  const std::filesystem::path path = folder_.path() / "-reverse";
  WriteBytes(path, "opened");
  StartWith(platform::files::PathText(path));
  EXPECT_EQ(form().Text1.Text(), u"opened");
}

TEST_F(CommandLineDocument, ANameThatIsNoPathWarnsAndCreatesNothing) {
  std::vector<std::u16string> names = {std::u16string(u"a\0b.txt", 7)};
#ifndef _WIN32
  // A lone surrogate that no name's bytes turn into.
  names.push_back(u"\xD800.txt");
#endif
  for (const std::u16string& name : names) {
    StartWith(platform::files::PathText(folder_.path()) + u"/" + name);
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].title, u"警告");
    EXPECT_NE(dialogs().messages[0].text.find(u"文件名无效"), std::u16string::npos);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(form().CommonDialog1.FileName, u"");
  }
}

}  // namespace
}  // namespace tambrel::commands
