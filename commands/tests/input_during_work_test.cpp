// What the user does while a command reads the text on another thread: typing (an input method's
// commit), a drop of files, a timer's tick, a close. None of it may change the text under the
// work; all of it happens once the command is done, in the order it came, and nothing typed is
// lost. The window's work runs on a thread of its own here (see ThreadedWork).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands/tests/large_text_expectations.h"
#include "document/document_codec.h"
#include "platform/files/path_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using document::EncodeDocument;
using platform::MessageAnswer;
using platform::files::PathText;
using testing::FakeForm;
using testing::HoldsDocument;
using testing::NumberedLines;
using testing::SameText;
using testing::TempDir;
using testing::WorkThread;
using testing::WriteBytes;

const std::u16string kSaveQuestion = u"文本已改变，是否保存？";

class InputDuringWork : public ::testing::Test {
 protected:
  // Starts the window on a document of its own, loaded from the command line.
  InputDuringWork() {
    document_ = folder_.path() / u"文档.txt";
    WriteBytes(document_, EncodeDocument(NumberedLines(20000)));
    other_ = folder_.path() / u"另一个.txt";
    WriteBytes(other_, "other document");
    main_window::Environment environment = FakeForm::DesignScreen();
    environment.command_line = PathText(document_);
    fake_ = std::make_unique<FakeForm>(std::move(environment), WorkThread::kOwn);
    fake_->Start();
  }

  main_window::Form1& form() { return fake_->form(); }
  testing::ScriptedDialogs& dialogs() { return fake_->dialogs(); }
  testing::ThreadedWork& work() { return fake_->work(); }
  testing::FakeEditBox& editor() { return fake_->editor(); }
  std::u16string Text() { return form().Text1.Text(); }

  // Presses a function key, and lets the loop turn until everything that waited is done.
  void Press(const char* key) {
    ASSERT_TRUE(fake_->window().PressShortcut(key));
    fake_->ProcessEvents();
  }

  // Types during the work, and checks that the text did not change under it.
  void CommitDuringWork(const std::u16string& committed) {
    const std::u16string before = Text();
    editor().CommitInput(committed);
    EXPECT_TRUE(SameText(Text(), before)) << "the commit reached the text while the work read it";
  }

  void DropDuringWork(const std::filesystem::path& file) {
    const std::u16string before = Text();
    editor().DropFiles({PathText(file)});
    fake_->ProcessEvents();
    EXPECT_TRUE(SameText(Text(), before)) << "the drop reached the text while the work read it";
  }

  std::size_t Count(const std::u16string& message_text) {
    std::size_t count = 0;
    for (const auto& message : dialogs().messages) count += message.text == message_text;
    return count;
  }

  TempDir folder_;
  std::filesystem::path document_;
  std::filesystem::path other_;
  std::unique_ptr<FakeForm> fake_;
};

// --- Save (F2) -------------------------------------------------------------------------------

TEST_F(InputDuringWork, ASaveWritesTheTextAsItWasWhenItBeganAndTheTypingFollows) {
  const std::u16string before = Text();
  ASSERT_TRUE(form().Saved());
  // The save counts what it would lose, then writes: typing arrives during both, and the gutter's
  // timer ticks during the writing.
  work().During(1, [&] { CommitDuringWork(u"输入"); });
  work().During(2, [&] {
    CommitDuringWork(u"法");
    fake_->timer("Timer3").Tick();
  });
  Press("F2");
  EXPECT_EQ(work().Runs(), 3);
  EXPECT_TRUE(HoldsDocument(document_, before));
  EXPECT_EQ(Count(u"保存成功"), 1u);
  // The caret of a loaded document is at its start: the commits went there, in their order.
  EXPECT_TRUE(SameText(Text(), u"输入法" + before));
  EXPECT_FALSE(form().Saved()) << "what was typed after the save is not saved";
}

TEST_F(InputDuringWork, AFileDroppedDuringASaveOpensOnceTheSaveIsDone) {
  const std::u16string before = Text();
  work().During(2, [&] { DropDuringWork(other_); });
  Press("F2");
  EXPECT_TRUE(HoldsDocument(document_, before));
  ASSERT_EQ(dialogs().messages.size(), 1u) << "the saved text needs no question";
  EXPECT_EQ(dialogs().messages[0].text, u"保存成功");
  EXPECT_TRUE(SameText(Text(), u"other document"));
  EXPECT_EQ(form().CommonDialog1.FileName, PathText(other_));
  EXPECT_TRUE(form().Saved());
}

TEST_F(InputDuringWork, TypingThenADropDuringASaveAsksBeforeTheDropReplacesTheTyping) {
  const std::u16string before = Text();
  const auto kept = folder_.path() / u"保留.txt";
  work().During(1, [&] {
    CommitDuringWork(u"新");
    DropDuringWork(other_);
  });
  dialogs().message_answers.push_back(MessageAnswer::kYes);  // save the typing first
  dialogs().file_answers.push_back(PathText(kept));          // as this file
  Press("F2");
  EXPECT_TRUE(HoldsDocument(document_, before));
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(HoldsDocument(kept, u"新" + before));
  EXPECT_TRUE(SameText(Text(), u"other document"));
  EXPECT_TRUE(form().Saved());
}

// --- Find (F8) -------------------------------------------------------------------------------

TEST_F(InputDuringWork, AFindSelectsInTheTextItSearchedAndTheTypingAndTheDropFollow) {
  form().Text1.SetSelStart(0);
  const std::u16string before = Text();
  const std::u16string sought = u"第12345行";
  const std::size_t match = before.find(sought);
  ASSERT_NE(match, std::u16string::npos);
  const auto kept = folder_.path() / u"保留.txt";
  dialogs().text_answers.push_back(sought);
  work().During(1, [&] {
    CommitDuringWork(u"改");
    DropDuringWork(other_);
  });
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  dialogs().file_answers.push_back(PathText(kept));
  Press("F8");
  EXPECT_EQ(form().FindPos(), static_cast<std::int32_t>(match) + 1);
  // As if typed once the find was done: the commit took the place of the match it selected.
  std::u16string typed_over = before;
  typed_over.replace(match, sought.size(), u"改");
  EXPECT_TRUE(HoldsDocument(kept, typed_over));
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(SameText(Text(), u"other document"));
}

// --- Open (F1) and drops -----------------------------------------------------------------------

TEST_F(InputDuringWork, TypingDuringAnOpenGoesIntoTheOpenedDocument) {
  dialogs().file_answers.push_back(PathText(other_));
  work().During(1, [&] { CommitDuringWork(u"字"); });
  Press("F1");
  EXPECT_TRUE(SameText(Text(), u"字other document"));
  EXPECT_FALSE(form().Saved());
  EXPECT_EQ(form().CommonDialog1.FileName, PathText(other_));
}

TEST_F(InputDuringWork, ADropDuringAnOpenWaitsForItAndAsksAboutWhatWasTypedMeanwhile) {
  const auto third = folder_.path() / u"第三个.txt";
  WriteBytes(third, "third document");
  const auto kept = folder_.path() / u"保留.txt";
  dialogs().file_answers.push_back(PathText(other_));
  work().During(1, [&] {
    CommitDuringWork(u"字");
    DropDuringWork(third);
  });
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  dialogs().file_answers.push_back(PathText(kept));
  Press("F1");
  EXPECT_TRUE(HoldsDocument(kept, u"字other document"));
  EXPECT_TRUE(SameText(Text(), u"third document"));
  EXPECT_EQ(form().CommonDialog1.FileName, PathText(third));
}

TEST_F(InputDuringWork, TypingDuringTheOpenOfADroppedFileGoesIntoIt) {
  work().During(1, [&] { CommitDuringWork(u"字"); });
  editor().DropFiles({PathText(other_)});
  fake_->ProcessEvents();
  EXPECT_TRUE(SameText(Text(), u"字other document"));
  EXPECT_EQ(form().CommonDialog1.FileName, PathText(other_));
  EXPECT_FALSE(form().Saved());
}

// --- Closing -----------------------------------------------------------------------------------

TEST_F(InputDuringWork, ACloseAskedForDuringASaveHappensOnceTheSaveIsDone) {
  const std::u16string before = Text();
  work().During(1, [&] {
    fake_->window().Close();
    EXPECT_FALSE(fake_->window().Closed()) << "the window closed under the work";
  });
  Press("F2");
  EXPECT_TRUE(HoldsDocument(document_, before));
  EXPECT_TRUE(fake_->window().Closed());
  EXPECT_EQ(Count(kSaveQuestion), 0u) << "everything was saved";
}

TEST_F(InputDuringWork, TypingBeforeACloseDuringASaveIsOfferedASave) {
  const std::u16string before = Text();
  const auto kept = folder_.path() / u"保留.txt";
  work().During(1, [&] {
    CommitDuringWork(u"尾");
    fake_->window().Close();
  });
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  dialogs().file_answers.push_back(PathText(kept));
  Press("F2");
  EXPECT_TRUE(HoldsDocument(document_, before));
  // The close comes after the typing: the typing is not saved, so the close asks first.
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(HoldsDocument(kept, u"尾" + before));
  EXPECT_TRUE(fake_->window().Closed());
}

}  // namespace
}  // namespace tambrel::commands
