// Another program writes, replaces or removes the file the editor has open: a save to it asks
// first, and coming back to the window offers to reload it. Real files in a temporary folder,
// changed behind the program's back; the window over the fake window system.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/path_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

namespace fs = std::filesystem;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::files::PathText;
using testing::FakeForm;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempDir;
using testing::WriteBytes;

const std::u16string kChanged = u"文件已被其他程序修改：";
const std::u16string kGone = u"文件已被其他程序删除或移动：";

class ChangedElsewhere : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ / "文档.txt";
    WriteBytes(path_, "first version");
    fake_.Start();
    fake_.dialogs().file_answers.push_back(PathText(path_));
    fake_.Click("Open");
    ASSERT_EQ(form().Text1.Text(), u"first version");
    ASSERT_TRUE(form().Saved());
    dialogs().messages.clear();
  }

  main_window::Form1& form() { return fake_.form(); }
  ScriptedDialogs& dialogs() { return fake_.dialogs(); }
  void Edit(const std::u16string& text) {
    form().Text1.SetText(text);
    ASSERT_FALSE(form().Saved());
  }
  void Activate() {
    fake_.window().Activate();
    fake_.ProcessEvents();
  }

  // Another program writes the file in place, as most do: the same file, new bytes and a later
  // time. The time is moved on by hand, since two writes within one tick of the file system's
  // clock would otherwise look alike when their lengths are equal.
  void WriteElsewhere(const std::string& bytes) {
    const auto before = fs::last_write_time(path_);
    WriteBytes(path_, bytes);
    fs::last_write_time(path_, before + std::chrono::seconds(2));
  }

  // Another program saves as this one does: a new file renamed over the old name. Same length,
  // same time, only another file.
  void ReplaceElsewhere(const std::string& bytes) {
    const fs::path beside = folder_ / "beside.tmp";
    WriteBytes(beside, bytes);
    fs::last_write_time(beside, fs::last_write_time(path_));
    fs::rename(beside, path_);
  }

  // The questions and notes about the file changing elsewhere, in the order shown.
  std::vector<ScriptedDialogs::Message> ChangeMessages() {
    std::vector<ScriptedDialogs::Message> found;
    for (const auto& message : dialogs().messages) {
      if (message.text.starts_with(kChanged) || message.text.starts_with(kGone)) {
        found.push_back(message);
      }
    }
    return found;
  }
  bool SaidSaved() {
    for (const auto& message : dialogs().messages) {
      if (message.text == u"保存成功") return true;
    }
    return false;
  }

  // A question about saving over the file: it names the file and defaults to 否.
  void ExpectSaveQuestion(const ScriptedDialogs::Message& message, const std::u16string& start) {
    EXPECT_TRUE(message.text.starts_with(start + PathText(path_))) << "names the file";
    EXPECT_EQ(message.buttons, MessageButtons::kYesNoDefaultNo);
    EXPECT_EQ(message.title, u"提示");
  }

  TempDir folder_;
  fs::path path_;
  FakeForm fake_;
};

// --- Saving over the file ----------------------------------------------------------------

TEST_F(ChangedElsewhere, SaveOverAFileWrittenElsewhereAsksAndNoWritesNothing) {
  Edit(u"mine");
  WriteElsewhere("theirs, longer than mine");
  const std::string theirs = ReadBytes(path_);
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  ASSERT_EQ(ChangeMessages().size(), 1u);
  ExpectSaveQuestion(ChangeMessages()[0], kChanged);
  EXPECT_EQ(ReadBytes(path_), theirs) << "the other program's bytes are untouched";
  EXPECT_FALSE(form().Saved());
  EXPECT_FALSE(SaidSaved());
  EXPECT_EQ(form().Text1.Text(), u"mine");
}

TEST_F(ChangedElsewhere, SaveOverAFileWrittenElsewhereYesOverwrites) {
  Edit(u"mine");
  WriteElsewhere("theirs");
  const std::string theirs = ReadBytes(path_);
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 1u);
  EXPECT_NE(ReadBytes(path_), theirs);
  EXPECT_TRUE(ReadBytes(path_).ends_with("-RgPw"));
  EXPECT_TRUE(form().Saved());
  EXPECT_TRUE(SaidSaved());
  // What this save wrote is its own: the next save asks nothing.
  Edit(u"mine again");
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 1u);
}

TEST_F(ChangedElsewhere, SameLengthWriteWithALaterTimeCounts) {
  Edit(u"mine");
  WriteElsewhere("first versioN");  // as long as what was opened
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 1u);
  EXPECT_EQ(ReadBytes(path_), "first versioN");
}

TEST_F(ChangedElsewhere, SaveOverARemovedFileAsksWhetherToSaveAnyway) {
  Edit(u"mine");
  fs::remove(path_);
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  ASSERT_EQ(ChangeMessages().size(), 1u);
  ExpectSaveQuestion(ChangeMessages()[0], kGone);
  EXPECT_FALSE(fs::exists(path_)) << "否 writes nothing";
  EXPECT_FALSE(form().Saved());

  dialogs().message_answers.push_back(MessageAnswer::kYes);
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 2u);
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_TRUE(form().Saved());
}

TEST_F(ChangedElsewhere, SaveOverAFileReplacedByRenameAsks) {
  Edit(u"mine");
  ReplaceElsewhere("first versioN");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  ASSERT_EQ(ChangeMessages().size(), 1u);
  ExpectSaveQuestion(ChangeMessages()[0], kChanged);
  EXPECT_EQ(ReadBytes(path_), "first versioN");
}

TEST_F(ChangedElsewhere, SaveAsToTheChosenNameAsksNothing) {
  Edit(u"mine");
  WriteElsewhere("theirs");
  dialogs().file_answers.push_back(PathText(path_));
  fake_.Click("Save");
  EXPECT_TRUE(ChangeMessages().empty());
  EXPECT_TRUE(ReadBytes(path_).ends_with("-RgPw"));
  EXPECT_TRUE(form().Saved());
}

TEST_F(ChangedElsewhere, OwnSavesAreNoChange) {
  for (const char16_t* text : {u"one", u"two, longer", u"six"}) {
    Edit(text);
    fake_.Click("Bc");
    Activate();
  }
  EXPECT_TRUE(ChangeMessages().empty());
  EXPECT_TRUE(form().Saved());
}

TEST_F(ChangedElsewhere, ANewFileOpenedByNameIsNoChange) {
  const fs::path fresh = folder_ / "新的.txt";
  fake_.dialogs().file_answers.push_back(PathText(fresh));
  fake_.Click("Open");  // the name is created as an empty file
  ASSERT_TRUE(fs::exists(fresh));
  Activate();
  Edit(u"text");
  fake_.Click("Bc");
  EXPECT_TRUE(ChangeMessages().empty());
  EXPECT_TRUE(SaidSaved());
}

TEST_F(ChangedElsewhere, TheCloseQuestionSavesAsAndAsksNothing) {
  Edit(u"mine");
  WriteElsewhere("theirs");
  dialogs().message_answers.push_back(MessageAnswer::kYes);  // 文本已改变，是否保存？
  dialogs().file_answers.push_back(PathText(path_));         // the name chosen again
  EXPECT_EQ(fake_.Unload(), 0);
  EXPECT_TRUE(ChangeMessages().empty());
  EXPECT_TRUE(ReadBytes(path_).ends_with("-RgPw"));
}

// --- Coming back to the window -----------------------------------------------------------

TEST_F(ChangedElsewhere, NothingChangedNothingSaid) {
  Activate();
  Activate();
  EXPECT_TRUE(dialogs().messages.empty());
}

TEST_F(ChangedElsewhere, NoFileNothingSaid) {
  FakeForm fresh;
  fresh.Start();
  fresh.window().Activate();
  fresh.form().Text1.SetText(u"typed");
  fresh.window().Activate();
  EXPECT_TRUE(fresh.dialogs().messages.empty());
}

TEST_F(ChangedElsewhere, UnchangedTextIsOfferedTheNewContent) {
  WriteElsewhere("second version");
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  Activate();
  ASSERT_EQ(ChangeMessages().size(), 1u);
  const auto question = ChangeMessages()[0];
  EXPECT_TRUE(question.text.starts_with(kChanged + PathText(path_)));
  EXPECT_EQ(question.buttons, MessageButtons::kYesNo);
  EXPECT_EQ(form().Text1.Text(), u"second version");
  EXPECT_TRUE(form().Saved());
  // The reloaded file is the one known now: neither coming back nor saving asks.
  Activate();
  Edit(u"mine");
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 1u);
  EXPECT_TRUE(SaidSaved());
}

TEST_F(ChangedElsewhere, ReloadDeclinedKeepsTheTextAndIsNotAskedAgain) {
  WriteElsewhere("second version");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Activate();
  Activate();
  Activate();
  EXPECT_EQ(ChangeMessages().size(), 1u);
  EXPECT_EQ(form().Text1.Text(), u"first version");
  // A further change is news again.
  WriteElsewhere("third version, longer");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Activate();
  EXPECT_EQ(ChangeMessages().size(), 2u);
  // And the save, which would write over it, still asks.
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  EXPECT_EQ(ChangeMessages().size(), 3u);
  EXPECT_EQ(ReadBytes(path_), "third version, longer");
}

TEST_F(ChangedElsewhere, ChangedTextIsToldOnceAndNotReplaced) {
  Edit(u"mine");
  WriteElsewhere("theirs");
  Activate();
  Activate();
  ASSERT_EQ(ChangeMessages().size(), 1u);
  const auto note = ChangeMessages()[0];
  EXPECT_TRUE(note.text.starts_with(kChanged + PathText(path_)));
  EXPECT_EQ(note.buttons, MessageButtons::kOk) << "a note, not a question";
  EXPECT_EQ(note.title, u"提示");
  EXPECT_EQ(form().Text1.Text(), u"mine");
  EXPECT_FALSE(form().Saved());
}

TEST_F(ChangedElsewhere, RemovedFileIsToldOnce) {
  fs::remove(path_);
  Activate();
  Activate();
  ASSERT_EQ(ChangeMessages().size(), 1u);
  EXPECT_TRUE(ChangeMessages()[0].text.starts_with(kGone + PathText(path_)));
  EXPECT_EQ(ChangeMessages()[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(form().Text1.Text(), u"first version");
}

TEST_F(ChangedElsewhere, AnsweredSaveQuestionIsNotBroughtUpAgain) {
  Edit(u"mine");
  WriteElsewhere("theirs");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Bc");
  Activate();  // as the message box gives the window back
  EXPECT_EQ(ChangeMessages().size(), 1u);
}

TEST_F(ChangedElsewhere, NothingIsAskedWhileACommandRuns) {
  Edit(u"mine");
  std::size_t during = 0;
  dialogs().on_message = [&](const ScriptedDialogs::Message& message) {
    if (message.text != u"保存成功") return;
    // Behind the save's own message: another program writes, and the window is activated.
    WriteElsewhere("theirs");
    fake_.window().Activate();
    during = ChangeMessages().size();
  };
  fake_.Click("Bc");
  dialogs().on_message = nullptr;
  EXPECT_EQ(during, 0u);
  // Once the command is done the change is news.
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Activate();
  EXPECT_EQ(ChangeMessages().size(), 1u);
}

}  // namespace
}  // namespace tambrel::commands
