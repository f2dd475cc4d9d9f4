// The program's own window on the Win32 window system: Form1 built from its definition, loaded,
// driven by its function keys and closed, with the desktop's dialogs replaced by a script.
#include <gtest/gtest.h>

#include <filesystem>

#include "main_window/form1.h"
#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/window/message_loop.h"
#include "platform/win32/window/win32_window.h"
#include "platform/win32/window/win32_window_system.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::platform::win32 {
namespace {

class FixedClock final : public Clock {
 public:
  DateTimeText Now() const override { return {u"2024/3/5", u"21:07:03"}; }
};

class Form1OnWin32 : public ::testing::Test {
 protected:
  // A screen of 1280 by 960 pixels at 96 DPI; the skin is the one the program ships.
  void Build(const std::filesystem::path& folder = TAMBREL_SKIN_FOLDER) {
    auto scripted = std::make_unique<::tambrel::testing::ScriptedDialogs>();
    dialogs = scripted.get();
    form = std::make_unique<main_window::Form1>(
        main_window::Environment{folder, 19200, 14400, u"", u'.', std::nullopt}, windows, std::move(scripted),
        std::make_unique<FixedClock>());
  }

  Win32Window& Window() { return static_cast<Win32Window&>(form->window()); }
  HWND EditorWindow() { return static_cast<Win32EditBox&>(form->Text1).Hwnd(); }

  void PressKey(WPARAM key) {
    ::PostMessageW(EditorWindow(), WM_KEYDOWN, key, 1);
    ::PostMessageW(EditorWindow(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    DispatchWaitingMessages();
  }

  Win32WindowSystem windows;
  ::tambrel::testing::ScriptedDialogs* dialogs = nullptr;
  std::unique_ptr<main_window::Form1> form;
};

TEST_F(Form1OnWin32, TheDesignLayoutInPixels) {
  Build();
  // At the design size the gutter is 40 pixels wide, beside an editor of 705.
  EXPECT_EQ(form->picLines.ClientRect().right, 40);
  RECT editor{};
  ::GetWindowRect(EditorWindow(), &editor);
  EXPECT_EQ(editor.right - editor.left, 705);
  EXPECT_EQ(form->Text1.Width(), 10575.0f);
  EXPECT_EQ(Window().ScaleWidth(), 11235.0f);
  EXPECT_EQ(Window().ScaleHeight(), 8775.0f);
  EXPECT_EQ(Window().Controls().size(), 17u);
}

TEST_F(Form1OnWin32, LoadingSizesTheWindowToHalfTheScreen) {
  Build();
  ASSERT_EQ(form->Form_Load(), main_window::LoadOutcome::kRunning);
  EXPECT_EQ(Window().Width(), 9600.0f);
  EXPECT_EQ(Window().Height(), 7200.0f);
  EXPECT_TRUE(dialogs->messages.empty());
  form->Show();
  EXPECT_TRUE(Window().IsVisible());
  // The layout followed the window: the container fills the client area.
  EXPECT_EQ(form->Container.Width(), Window().ScaleWidth());
}

TEST_F(Form1OnWin32, WithoutTheSkinItWarnsAndEnds) {
  const std::filesystem::path empty = std::filesystem::temp_directory_path() / L"tambrel 无皮肤";
  std::filesystem::create_directories(empty);
  std::filesystem::remove(empty / L"Pf.she");
  Build(empty);
  dialogs->message_answers.push_back(MessageAnswer::kOk);
  EXPECT_EQ(form->Form_Load(), main_window::LoadOutcome::kEnded);
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, u"缺少皮肤！");
  EXPECT_EQ(dialogs->messages[0].title, u"警告");
  EXPECT_FALSE(Window().IsVisible());
}

TEST_F(Form1OnWin32, F4StampsTheDateAndTimeThroughTheFunctionKey) {
  Build();
  ASSERT_EQ(form->Form_Load(), main_window::LoadOutcome::kRunning);
  form->Show();
  // The start-up tick first, as the program's loop would run it.
  ASSERT_TRUE(testing::PumpUntil([&] { return !form->Timer2.Enabled(); }));
  PressKey(VK_F4);
  EXPECT_EQ(form->Text1.Text(), u" 2024/3/5 21:07:03");
}

TEST_F(Form1OnWin32, ClosingAnUntouchedTextAsksNothing) {
  Build();
  ASSERT_EQ(form->Form_Load(), main_window::LoadOutcome::kRunning);
  form->Show();
  ASSERT_TRUE(testing::PumpUntil([&] { return !form->Timer2.Enabled(); }));
  Window().Close();
  EXPECT_FALSE(Window().IsVisible());
  EXPECT_EQ(windows.OpenWindows(), 0);
  EXPECT_TRUE(dialogs->messages.empty());
}

}  // namespace
}  // namespace tambrel::platform::win32
