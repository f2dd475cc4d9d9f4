// The main window as the program builds it, over the fake window system: start-up with and
// without the skin, the design layout, the closing question.
#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "document/document_codec.h"
#include "platform/files/path_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::main_window {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using testing::FakeForm;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempDir;

constexpr char kPlainSkin[] = "QMenuBar { background: #2f6db5; }";

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() {
    Environment environment;
    environment.executable_directory = folder_.path();
    environment.screen_width = 1920 * 15;
    environment.screen_height = 1080 * 15;
    fake_ = std::make_unique<FakeForm>(std::move(environment));
  }

  Form1& form() { return fake_->form(); }
  ScriptedDialogs& dialogs() { return fake_->dialogs(); }

  TempDir folder_;
  std::unique_ptr<FakeForm> fake_;
};

TEST_F(MainWindow, WithoutTheSkinItWarnsOnceAndEndsUnseen) {
  ASSERT_EQ(form().Form_Load(), LoadOutcome::kEnded);
  ASSERT_EQ(dialogs().messages.size(), 1u);
  EXPECT_EQ(dialogs().messages[0].text, u"缺少皮肤！");
  EXPECT_EQ(dialogs().messages[0].title, u"警告");
  EXPECT_EQ(dialogs().messages[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs().messages[0].buttons, MessageButtons::kOk);
  EXPECT_FALSE(form().window().IsVisible());
  EXPECT_FALSE(form().Timer2.Enabled());
  EXPECT_FALSE(form().Text1.SetHook(nullptr));  // no hook was installed
  EXPECT_FALSE(fake_->windows().AppliedSkin());
}

TEST_F(MainWindow, AFolderNamedLikeTheSkinIsNoSkin) {
  std::filesystem::create_directory(folder_.path() / kSkinFileName);
  EXPECT_EQ(form().Form_Load(), LoadOutcome::kEnded);
  EXPECT_EQ(dialogs().messages.size(), 1u);
  EXPECT_FALSE(fake_->windows().AppliedSkin());
}

TEST_F(MainWindow, WithTheSkinItAppliesItArmsTheTickHooksTheEditorAndTakesHalfTheScreen) {
  folder_.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form().Form_Load(), LoadOutcome::kRunning);
  EXPECT_TRUE(dialogs().messages.empty());
  EXPECT_EQ(fake_->windows().AppliedSkin(), std::string(kPlainSkin));
  EXPECT_TRUE(form().Timer2.Enabled());
  EXPECT_EQ(form().window().Width(), 14400.0f);
  EXPECT_EQ(form().window().Height(), 8100.0f);
  platform::EditHook hook = form().Text1.SetHook(nullptr);
  EXPECT_TRUE(hook);
  form().Text1.SetHook(std::move(hook));
}

TEST_F(MainWindow, TheDesignLayoutIsRecordedAtLoad) {
  EXPECT_EQ(form().window().Controls().size(), 17u);
  folder_.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form().Form_Load(), LoadOutcome::kRunning);
  EXPECT_EQ(form().Container.Tag(), u"0   0   11235   8775   ");
  EXPECT_EQ(form().picLines.Tag(), u"0   0   600   8655   ");
  EXPECT_EQ(form().Text1.Tag(), u"600   0   10575   8655   ");
  EXPECT_EQ(form().layout().BaseScaleWidth(), 11235);
  EXPECT_EQ(form().layout().BaseScaleHeight(), 8775);
  // The load made the window half the screen; the controls followed in proportion.
  const double ratio = form().window().ScaleWidth() / 11235.0;
  EXPECT_NEAR(*form().Text1.Left(), 600 * ratio, 15.0);
  EXPECT_NEAR(*form().Container.Width(), form().window().ScaleWidth(), 15.0);
}

TEST_F(MainWindow, TheStartUpTickRunsOnceTheLoopTurns) {
  folder_.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form().Form_Load(), LoadOutcome::kRunning);
  EXPECT_FALSE(form().Saved()) << "nothing loaded yet";
  EXPECT_TRUE(fake_->timer("Timer2").Tick());
  EXPECT_TRUE(form().Saved());
  EXPECT_FALSE(fake_->timer("Timer2").Tick()) << "the tick runs once";
}

// Closing asks about text changed since the last load or save: 否 closes, 是 saves as Save As
// does and closes only once that saved.
class ClosingQuestion : public MainWindow {
 protected:
  std::int16_t Close() { return fake_->Unload(); }
  std::size_t Questions() {
    std::size_t count = 0;
    for (const auto& message : dialogs().messages) {
      if (message.text == u"文本已改变，是否保存？") {
        EXPECT_EQ(message.title, u"提示");
        EXPECT_EQ(message.buttons, MessageButtons::kYesNo);
        EXPECT_EQ(message.icon, MessageIcon::kNone);
        ++count;
      }
    }
    return count;
  }
};

TEST_F(ClosingQuestion, AnUntouchedOrEmptiedTextClosesWithoutAsking) {
  EXPECT_EQ(Close(), 0);
  form().Text1.SetText(u"草稿");
  form().Text1.SetText(u"");
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 0u);
}

TEST_F(ClosingQuestion, TextUnchangedSinceTheLastLoadClosesWithoutAsking) {
  form().Text1.SetText(u"载入的文本");
  fake_->Start();  // marks the text as saved, as a load does
  EXPECT_TRUE(form().Saved());
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 0u);
}

TEST_F(ClosingQuestion, NoClosesWithoutSaving) {
  form().Text1.SetText(u"改过的文本");
  dialogs().message_answers = {MessageAnswer::kNo};
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 1u);
  EXPECT_TRUE(dialogs().file_dialog_starts.empty());
}

TEST_F(ClosingQuestion, YesWithTheSaveDialogCancelledKeepsTheWindowAndText) {
  form().Text1.SetText(u"不能丢的文本");
  dialogs().message_answers = {MessageAnswer::kYes};
  dialogs().file_answers = {std::nullopt};
  EXPECT_NE(Close(), 0);
  EXPECT_EQ(form().Text1.Text(), u"不能丢的文本");
}

TEST_F(ClosingQuestion, YesWithAFailedSaveKeepsTheWindowAndText) {
  form().Text1.SetText(u"不能丢的文本");
  dialogs().message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
  dialogs().file_answers = {platform::files::PathText(folder_.path() / u"没有的文件夹/x.txt")};
  EXPECT_NE(Close(), 0);
  EXPECT_EQ(form().Text1.Text(), u"不能丢的文本");
  EXPECT_EQ(dialogs().messages.back().title, u"警告");
}

TEST_F(ClosingQuestion, YesRunsSaveAsAndLetsTheWindowClose) {
  form().Text1.SetText(u"keep me");
  const auto target = folder_.path() / u"保存.txt";
  dialogs().message_answers = {MessageAnswer::kYes};
  dialogs().file_answers = {platform::files::PathText(target)};
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 1u);
  ASSERT_EQ(dialogs().file_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs().file_dialog_starts[0], u"");  // Save As starts without a name
  // Every byte lowered by the same one-digit shift, then the marker.
  const std::string bytes = ReadBytes(target);
  ASSERT_EQ(bytes.size(), 7u + 5u);
  EXPECT_EQ(bytes.substr(7), "-RgPw");
  EXPECT_EQ(bytes[0], 'k' - 1);
  EXPECT_EQ(bytes[6], 'e' - 1);
}

TEST_F(ClosingQuestion, TheCloseBoxAsksAndClosesTheShownWindow) {
  folder_.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form().Form_Load(), LoadOutcome::kRunning);
  form().Show();
  EXPECT_TRUE(form().window().IsVisible());
  form().Text1.SetText(u"改过的文本");
  dialogs().message_answers = {MessageAnswer::kNo};
  form().window().Close();
  EXPECT_EQ(Questions(), 1u);
  EXPECT_FALSE(form().window().IsVisible());
}

TEST_F(ClosingQuestion, TheCloseBoxWithTheSaveCancelledKeepsTheShownWindow) {
  form().Show();
  form().Text1.SetText(u"不能丢的文本");
  dialogs().message_answers = {MessageAnswer::kYes};
  dialogs().file_answers = {std::nullopt};
  form().window().Close();
  EXPECT_TRUE(form().window().IsVisible());
  EXPECT_EQ(form().Text1.Text(), u"不能丢的文本");
}

}  // namespace
}  // namespace tambrel::main_window
