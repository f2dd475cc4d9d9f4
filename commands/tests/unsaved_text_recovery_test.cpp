// Unsaved text against the program's death, through the window: what is typed is kept, a start
// after a death offers it back in one question, and a save or a close that gives it up leaves
// nothing to offer.
#include "commands/unsaved_text_recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/files/path_text.h"
#include "recovery/recovered_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;
using platform::files::PathText;
using testing::FakeForm;
using testing::TempDir;

class UnsavedTextRecoveryTest : public ::testing::Test {
 protected:
  // A run of the program; the previous one dies without a word unless it was closed.
  FakeForm& Run(std::u16string command_line = u"") {
    form_.reset();
    main_window::Environment environment = FakeForm::DesignScreen();
    environment.executable_directory = folder_.path();
    environment.command_line = std::move(command_line);
    environment.state_folder = folder_ / "state";
    form_ = std::make_unique<FakeForm>(std::move(environment));
    return *form_;
  }

  std::size_t RecordsLeft() {
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder_ / "state" / "recovery", error)) {
      count += entry.path().extension() == ".journal";
    }
    return count;
  }

  TempDir folder_;
  std::unique_ptr<FakeForm> form_;
};

TEST_F(UnsavedTextRecoveryTest, TextTypedBeforeADeathComesBackWithItsFileUnsaved) {
  const auto document = folder_.Write("诗.txt", "abc");
  Run(PathText(document)).Start();
  form_->editor().Type(u"你好");
  form_->ProcessEvents();
  ASSERT_EQ(form_->form().Text1.Text(), u"你好abc");

  FakeForm& next = Run(PathText(document));
  next.dialogs().message_answers.push_back(MessageAnswer::kYes);
  next.Start();
  ASSERT_EQ(next.dialogs().messages.size(), 1u);
  const std::u16string& question = next.dialogs().messages[0].text;
  EXPECT_NE(question.find(PathText(document)), std::u16string::npos) << "it names the file";
  EXPECT_NE(question.find(u"字符数：5"), std::u16string::npos) << "and how much text";
  EXPECT_EQ(next.form().Text1.Text(), u"你好abc");
  EXPECT_EQ(next.form().CommonDialog1.FileName, PathText(document));
  EXPECT_FALSE(next.form().Saved()) << "the next close asks to save it";
  EXPECT_EQ(next.form().Text1.SelStart(), 2) << "the caret is where the typing stopped";
  EXPECT_EQ(RecordsLeft(), 1u) << "the recovered text is kept against another death";

  // A second death before a save gives the same text back again, and a save ends it.
  FakeForm& third = Run();
  third.dialogs().message_answers.push_back(MessageAnswer::kYes);
  third.Start();
  EXPECT_EQ(third.form().Text1.Text(), u"你好abc");
  third.dialogs().message_answers.push_back(MessageAnswer::kOk);
  third.Click("Bc");
  EXPECT_TRUE(third.form().Saved());
  form_.reset();  // the record goes on the journal's thread: wait for it as the end of a run does
  EXPECT_EQ(RecordsLeft(), 0u);
}

TEST_F(UnsavedTextRecoveryTest, DecliningDiscardsTheRecordAndOpensTheCommandLine) {
  Run().Start();
  form_->editor().Type(u"丢掉");
  form_->ProcessEvents();
  const auto document = folder_.Write("a.txt", "file");
  FakeForm& next = Run(PathText(document));
  next.dialogs().message_answers.push_back(MessageAnswer::kNo);
  next.Start();
  EXPECT_EQ(next.form().Text1.Text(), u"file");
  FakeForm& third = Run();
  third.Start();
  EXPECT_TRUE(third.dialogs().messages.empty()) << "a declined text is not offered again";
}

TEST_F(UnsavedTextRecoveryTest, AClosedWindowLeavesNothingToOffer) {
  Run().Start();
  form_->editor().Type(u"不要了");
  form_->ProcessEvents();
  form_->dialogs().message_answers.push_back(MessageAnswer::kNo);  // 文本已改变，是否保存？
  EXPECT_EQ(form_->Unload(), 0);
  FakeForm& next = Run();
  next.Start();
  EXPECT_TRUE(next.dialogs().messages.empty());
  EXPECT_EQ(RecordsLeft(), 0u);
}

TEST_F(UnsavedTextRecoveryTest, AFileChangedSinceGetsTheTextUnderANewName) {
  const auto document = folder_.Write("log.txt", "line 1");
  Run(PathText(document)).Start();
  form_->editor().Type(u"我的");
  form_->ProcessEvents();
  // Wait for the copy of the file the edits apply to, kept beside the record.
  const auto records = folder_ / "state" / "recovery";
  for (int i = 0; i < 500; ++i) {
    bool copied = false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(records, error)) {
      copied = copied || entry.path().extension() == ".base";
    }
    if (copied) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  form_.reset();
  folder_.Write("log.txt", "line 1\nline 2 from another program");

  FakeForm& next = Run();
  next.dialogs().message_answers.push_back(MessageAnswer::kYes);
  next.Start();
  ASSERT_EQ(next.dialogs().messages.size(), 1u);
  EXPECT_NE(next.dialogs().messages[0].text.find(u"另保存"), std::u16string::npos);
  EXPECT_EQ(next.form().Text1.Text(), u"我的line 1");
  EXPECT_TRUE(next.form().CommonDialog1.FileName.empty()) << "F2 asks for a new name";
  EXPECT_EQ(testing::ReadBytes(document), "line 1\nline 2 from another program");
}

TEST_F(UnsavedTextRecoveryTest, ARecordThatCannotBeWrittenIsToldOnceAndTypingGoesOn) {
  folder_.Write("state", "a file where the state folder should be");
  Run().Start();
  for (int key = 0; key < 3; ++key) {
    form_->editor().Type(u"字");
    form_->ProcessEvents();
    // The record is written on a thread of its own; the gutter's timer tells what it met.
    for (int tick = 0; tick < 200 && form_->dialogs().messages.empty(); ++tick) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      form_->timer("Timer3").Tick();
    }
  }
  EXPECT_EQ(form_->form().Text1.Text(), u"字字字");
  ASSERT_EQ(form_->dialogs().messages.size(), 1u);
  EXPECT_EQ(form_->dialogs().messages[0].title, u"警告");
  EXPECT_NE(form_->dialogs().messages[0].text.find(u"恢复记录"), std::u16string::npos);
}

}  // namespace
}  // namespace tambrel::commands
