// The window built from a definition: every control in order with its geometry in twips, the
// native menu bar with its access keys and the function keys' names, the function keys running
// their items through the accelerator table, resizing, closing with the unload handler's say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/menu_entry.h"
#include "platform/picture_box.h"
#include "platform/timer.h"
#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/window/message_loop.h"
#include "platform/win32/window/win32_picture_box.h"
#include "platform/win32/window/win32_window.h"
#include "platform/win32/window/win32_window_system.h"

namespace tambrel::platform::win32 {
namespace {

using testing::PumpUntil;

class BuiltWindow : public ::testing::Test {
 protected:
  BuiltWindow() {
    definition.name = "Form1";
    definition.caption = u"测试窗口";
    definition.client_width = 6000;
    definition.client_height = 4500;
    ControlDefinition timer = DefineControl("Ticker", ControlKind::kTimer, "Form1", 0, 0);
    timer.interval = 250;
    timer.enabled = false;
    const ControlDefinition dialog =
        DefineControl("Dialog", ControlKind::kCommonDialog, "Form1", 1200, 840);
    ControlDefinition box = DefineControl("Box", ControlKind::kContainer, "Form1", 0, 0, 6000, 4500);
    box.back_color = RgbColor(0x12, 0x34, 0x56);
    ControlDefinition picture =
        DefineControl("Picture", ControlKind::kPictureBox, "Box", 150, 300, 600, 3000);
    picture.font = FontChoice{u"宋体", 12, false, false};
    ControlDefinition editor =
        DefineControl("Editor", ControlKind::kEditBox, "Box", 750, 0, 5250, 4500);
    editor.font = FontChoice{u"宋体", 12, false, false};
    editor.tab_index = 2;
    editor.accepts_drops = true;
    definition.controls = {timer, dialog, box, picture, editor};

    const char* keys[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8"};
    definition.menus.push_back({"First", u"菜单(&C)", "", "", nullptr});
    for (int i = 0; i < 8; ++i) {
      if (i == 4) definition.menus.push_back({"Second", u"字体(&Z)", "", "", nullptr});
      const std::string name = std::string("Item") + keys[i];
      definition.menus.push_back({name, u"项" + std::u16string(1, u'0' + i),
                                  i < 4 ? "First" : "Second", keys[i],
                                  [this, name] { clicked.push_back(name); }});
    }
    Build();
  }

  void Build() {
    auto made = windows.CreateWindow(definition, nullptr);
    window.reset(static_cast<Win32Window*>(made.release()));
  }

  HWND Frame() const { return window->Hwnd(); }
  HWND Child(const std::string& name) const {
    Control& control = window->Get<Control>(name);
    if (auto* edit = dynamic_cast<Win32EditBox*>(&control)) return edit->Hwnd();
    if (auto* picture = dynamic_cast<Win32PictureBox*>(&control)) return picture->Hwnd();
    if (auto* box = dynamic_cast<Win32Container*>(&control)) return box->Hwnd();
    return nullptr;
  }

  // Posts a key as the keyboard would deliver it to the focused editor, and lets the program's
  // loop handle it.
  void PressKey(WPARAM key) {
    const HWND editor = Child("Editor");
    ::PostMessageW(editor, WM_KEYDOWN, key, 1);
    ::PostMessageW(editor, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    DispatchWaitingMessages();
  }

  Win32WindowSystem windows;
  WindowDefinition definition;
  std::vector<std::string> clicked;
  std::unique_ptr<Win32Window> window;
};

TEST_F(BuiltWindow, ListsControlsThenMenusInDefinitionOrder) {
  std::vector<std::string> names;
  for (Control* control : window->Controls()) names.push_back(control->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Ticker", "Dialog", "Box", "Picture", "Editor",
                                             "First", "ItemF1", "ItemF2", "ItemF3", "ItemF4",
                                             "Second", "ItemF5", "ItemF6", "ItemF7", "ItemF8"}));
  EXPECT_NO_THROW(window->Get<Timer>("Ticker"));
  EXPECT_NO_THROW(window->Get<CommonDialog>("Dialog"));
  EXPECT_NO_THROW(window->Get<PictureBox>("Picture"));
  EXPECT_NO_THROW(window->Get<EditBox>("Editor"));
  EXPECT_NO_THROW(window->Get<MenuEntry>("ItemF8"));
}

TEST_F(BuiltWindow, TheFrameHasTheCaptionAndTheControlsAreNestedAsDefined) {
  EXPECT_EQ(testing::WindowText(Frame()), u"测试窗口");
  EXPECT_EQ(::GetParent(Child("Box")), Frame());
  EXPECT_EQ(::GetParent(Child("Picture")), Child("Box"));
  EXPECT_EQ(::GetParent(Child("Editor")), Child("Box"));
  EXPECT_FALSE(window->IsVisible());
}

TEST_F(BuiltWindow, TheClientAreaBelowTheMenuBarHasTheDesignSize) {
  EXPECT_EQ(window->ScaleWidth(), 6000.0f);
  EXPECT_EQ(window->ScaleHeight(), 4500.0f);
  RECT client{};
  ::GetClientRect(Frame(), &client);
  EXPECT_EQ(client.right, 400);  // 15 twips a pixel at 96 DPI
  EXPECT_EQ(client.bottom, 300);
  EXPECT_NE(::GetMenu(Frame()), nullptr);
  EXPECT_GT(window->Height(), window->ScaleHeight()) << "the frame holds the caption and menus";
}

TEST_F(BuiltWindow, GeometryIsInTwipsOfTheContainer) {
  auto& picture = window->Get<PictureBox>("Picture");
  EXPECT_EQ(picture.Left(), 150.0f);
  EXPECT_EQ(picture.Top(), 300.0f);
  EXPECT_EQ(picture.Width(), 600.0f);
  EXPECT_EQ(picture.Height(), 3000.0f);
  EXPECT_EQ(picture.ClientRect(), (PixelRect{0, 0, 40, 200}));

  ASSERT_TRUE(picture.Move(300, 0, 1200, 1500));
  EXPECT_EQ(picture.ClientRect(), (PixelRect{0, 0, 80, 100}));
  EXPECT_EQ(picture.Left(), 300.0f);
  EXPECT_EQ(picture.Top(), 0.0f);

  auto& editor = window->Get<EditBox>("Editor");
  EXPECT_EQ(editor.Left(), 750.0f);
  EXPECT_EQ(editor.Width(), 5250.0f);
  EXPECT_EQ(window->Get<Control>("Box").Height(), 4500.0f);
}

TEST_F(BuiltWindow, TimersDialogsAndMenusHaveNoGeometry) {
  for (const char* name : {"Ticker", "Dialog", "First", "ItemF3"}) {
    Control& control = window->Get<Control>(name);
    EXPECT_FALSE(control.Left().has_value()) << name;
    EXPECT_FALSE(control.Height().has_value()) << name;
    EXPECT_FALSE(control.Move(0, 0, 100, 100)) << name;
  }
  EXPECT_EQ(window->Get<Timer>("Ticker").Interval(), 250);
  EXPECT_FALSE(window->Get<Timer>("Ticker").Enabled());
}

TEST_F(BuiltWindow, TheMenuBarShowsTheCaptionsWithTheirAccessKeys) {
  const HMENU bar = ::GetMenu(Frame());
  ASSERT_EQ(::GetMenuItemCount(bar), 2);
  wchar_t text[64] = {};
  ::GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(ToU16(text), u"菜单(&C)");
  ::GetMenuStringW(bar, 1, text, 64, MF_BYPOSITION);
  EXPECT_EQ(ToU16(text), u"字体(&Z)");

  const HMENU fonts = ::GetSubMenu(bar, 1);
  ASSERT_EQ(::GetMenuItemCount(fonts), 4);
  ::GetMenuStringW(fonts, 1, text, 64, MF_BYPOSITION);
  // The tab puts the key's name at the item's right edge.
  EXPECT_EQ(ToU16(text), u"项5\tF6");
}

TEST_F(BuiltWindow, MenuEntriesAnswerWhatTheMenuShows) {
  EXPECT_EQ(window->Get<MenuEntry>("First").Caption(), u"菜单(&C)");
  EXPECT_EQ(window->Get<MenuEntry>("First").ShortcutText(), u"");
  EXPECT_EQ(window->Get<MenuEntry>("ItemF6").Caption(), u"项5");
  EXPECT_EQ(window->Get<MenuEntry>("ItemF6").ShortcutText(), u"F6");
}

TEST_F(BuiltWindow, ClickingAnItemRunsItAndAMenuOfTheBarRunsNothing) {
  window->Get<MenuEntry>("Second").Click();
  EXPECT_TRUE(clicked.empty());
  window->Get<MenuEntry>("ItemF7").Click();
  EXPECT_EQ(clicked, std::vector<std::string>{"ItemF7"});
}

TEST_F(BuiltWindow, ChoosingAnItemFromTheMenuRunsIt) {
  const HMENU items = ::GetSubMenu(::GetMenu(Frame()), 0);
  const UINT second_item = ::GetMenuItemID(items, 1);
  ::SendMessageW(Frame(), WM_COMMAND, MAKEWPARAM(second_item, 0), 0);
  EXPECT_EQ(clicked, std::vector<std::string>{"ItemF2"});
}

TEST_F(BuiltWindow, FunctionKeysRunTheirItemsWhileTheMenusAreClosed) {
  window->Show();
  for (WPARAM key = VK_F1; key <= VK_F8; ++key) PressKey(key);
  EXPECT_EQ(clicked, (std::vector<std::string>{"ItemF1", "ItemF2", "ItemF3", "ItemF4", "ItemF5",
                                               "ItemF6", "ItemF7", "ItemF8"}));
}

// The popup menu the system opened last, seen as it is about to show.
HMENU opened_popup = nullptr;

LRESULT CALLBACK SeeMenusOpen(int code, WPARAM wparam, LPARAM lparam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && sent->message == WM_INITMENUPOPUP && !HIWORD(sent->lParam)) {
    opened_popup = reinterpret_cast<HMENU>(sent->wParam);
    // Closed again at once: the test has seen what it wanted.
    ::EndMenu();
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(BuiltWindow, AltWithAnAccessKeyOpensItsMenuAndRunsNothing) {
  window->Show();
  ::SetFocus(Child("Editor"));
  struct HookRemover {
    void operator()(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
  };
  const UniqueHandle<HHOOK, HookRemover> hook(
      ::SetWindowsHookExW(WH_CALLWNDPROC, SeeMenusOpen, nullptr, ::GetCurrentThreadId()));
  ASSERT_TRUE(hook);
  for (const auto& [key, menu] : {std::pair{'Z', 1}, std::pair{'C', 0}}) {
    opened_popup = nullptr;
    // Alt held: the context bit of a system key.
    ::PostMessageW(Child("Editor"), WM_SYSKEYDOWN, key, 1 | (1 << 29));
    ::PostMessageW(Child("Editor"), WM_SYSKEYUP, key, 1 | (1 << 29) | (3u << 30));
    ASSERT_TRUE(PumpUntil([] { return opened_popup != nullptr; })) << static_cast<char>(key);
    EXPECT_EQ(opened_popup, ::GetSubMenu(::GetMenu(Frame()), menu)) << static_cast<char>(key);
  }
  EXPECT_TRUE(clicked.empty());
}

TEST_F(BuiltWindow, KeysWithoutAnItemRunNothing) {
  PressKey(VK_F9);
  PressKey('A');
  EXPECT_TRUE(clicked.empty());
}

TEST_F(BuiltWindow, AnExceptionOfAMenuCommandComesOutOfTheDispatch) {
  definition.menus[1].click = [] { throw std::runtime_error("打开失败"); };
  Build();
  ::PostMessageW(Child("Editor"), WM_KEYDOWN, VK_F1, 1);
  EXPECT_THROW(DispatchWaitingMessages(), std::runtime_error);
  // The window goes on working afterwards.
  PressKey(VK_F2);
  EXPECT_EQ(clicked, std::vector<std::string>{"ItemF2"});
}

TEST_F(BuiltWindow, TheFocusGoesToTheEditor) {
  window->Show();
  ::SetFocus(Frame());
  EXPECT_EQ(::GetFocus(), Child("Editor"));
}

TEST_F(BuiltWindow, ResizingRaisesResizeWithTheNewSizeInTwips) {
  int resizes = 0;
  float seen_width = 0;
  window->OnResize([&] {
    ++resizes;
    seen_width = window->Width();
  });
  window->SetWidth(9000);
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(window->Width(), 9000.0f);
  EXPECT_EQ(seen_width, 9000.0f);
  window->SetHeight(6000);
  EXPECT_EQ(window->Height(), 6000.0f);
  EXPECT_EQ(window->Width(), 9000.0f);
  EXPECT_LT(window->ScaleHeight(), 6000.0f);
}

TEST_F(BuiltWindow, ShowCentresTheWindowInTheWorkArea) {
  window->SetWidth(9000);
  window->SetHeight(6000);
  window->Show();
  EXPECT_TRUE(window->IsVisible());
  RECT frame{};
  ::GetWindowRect(Frame(), &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                &monitor));
  const RECT& work = monitor.rcWork;
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);
}

TEST_F(BuiltWindow, AWindowLargerThanTheScreenShowsItsTitleBar) {
  window->SetWidth(Application::ScreenWidth() * 2);
  window->SetHeight(Application::ScreenHeight() * 2);
  window->Show();
  RECT frame{};
  ::GetWindowRect(Frame(), &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                &monitor));
  EXPECT_GE(frame.left, monitor.rcWork.left);
  EXPECT_GE(frame.top, monitor.rcWork.top);
}

TEST_F(BuiltWindow, MaximisingAndRestoringAreSeenAsStatesAndResizes) {
  window->Show();
  int resizes = 0;
  window->OnResize([&] { ++resizes; });
  window->SetState(WindowState::kMaximized);
  EXPECT_EQ(window->State(), WindowState::kMaximized);
  EXPECT_GE(resizes, 1);
  window->SetState(WindowState::kMinimized);
  EXPECT_EQ(window->State(), WindowState::kMinimized);
  window->SetState(WindowState::kNormal);
  EXPECT_EQ(window->State(), WindowState::kNormal);
}

TEST_F(BuiltWindow, TheUnloadHandlerCanKeepTheWindowOpen) {
  int unloads = 0;
  window->OnUnload([&](std::int16_t& cancel) {
    ++unloads;
    cancel = 1;
  });
  window->Show();
  window->Close();
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(::IsWindow(Frame()));
  EXPECT_TRUE(window->IsVisible());
  EXPECT_EQ(windows.OpenWindows(), 1);
}

TEST_F(BuiltWindow, ACloseThatGoesOnDestroysTheWindowAndItsControls) {
  const HWND frame = Frame();
  const HWND editor = Child("Editor");
  int unloads = 0;
  window->OnUnload([&](std::int16_t&) { ++unloads; });
  ::PostMessageW(frame, WM_CLOSE, 0, 0);
  DispatchWaitingMessages();
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_FALSE(::IsWindow(editor));
  EXPECT_EQ(window->Hwnd(), nullptr);
  EXPECT_FALSE(window->IsVisible());
  EXPECT_EQ(windows.OpenWindows(), 0);
  // The controls outlive their windows and say they have no geometry left.
  EXPECT_FALSE(window->Get<PictureBox>("Picture").Left().has_value());
  EXPECT_FALSE(window->Get<Control>("Box").Move(0, 0, 10, 10));
}

TEST_F(BuiltWindow, AnUnloadHandlerThatFailsKeepsTheWindowAndItsFailureComesOut) {
  window->OnUnload([](std::int16_t&) { throw std::runtime_error("保存失败"); });
  ::PostMessageW(Frame(), WM_CLOSE, 0, 0);
  EXPECT_THROW(DispatchWaitingMessages(), std::runtime_error);
  EXPECT_TRUE(::IsWindow(Frame()));
  EXPECT_EQ(windows.OpenWindows(), 1);
}

TEST_F(BuiltWindow, DestroyingTheWindowRunsNoHandler) {
  int unloads = 0;
  int resizes = 0;
  window->OnUnload([&](std::int16_t&) { ++unloads; });
  window->OnResize([&] { ++resizes; });
  window.reset();
  EXPECT_EQ(unloads, 0);
  EXPECT_EQ(resizes, 0);
  EXPECT_EQ(windows.OpenWindows(), 0);
}

TEST_F(BuiltWindow, TimersTickOnTheWindowUntilDisabled) {
  auto& ticker = window->Get<Timer>("Ticker");
  ticker.SetInterval(10);
  int ticks = 0;
  ticker.OnTimer([&] {
    // A one-shot timer turns itself off at its first tick, as the start-up timer does.
    if (++ticks == 3) ticker.SetEnabled(false);
  });
  ticker.SetEnabled(true);
  EXPECT_TRUE(ticker.Enabled());
  ASSERT_TRUE(PumpUntil([&] { return !ticker.Enabled(); }));
  EXPECT_EQ(ticks, 3);
}

TEST_F(BuiltWindow, ADisabledTimerDoesNotTickWhileAnotherDoes) {
  definition.controls.push_back(DefineControl("Other", ControlKind::kTimer, "Form1", 0, 0));
  definition.controls.back().interval = 10;
  definition.controls.back().enabled = true;
  Build();
  int other_ticks = 0;
  int ticker_ticks = 0;
  window->Get<Timer>("Other").OnTimer([&] { ++other_ticks; });
  window->Get<Timer>("Ticker").OnTimer([&] { ++ticker_ticks; });
  window->Get<Timer>("Ticker").SetInterval(10);
  ASSERT_TRUE(PumpUntil([&] { return other_ticks >= 5; }));
  EXPECT_EQ(ticker_ticks, 0);
}

TEST_F(BuiltWindow, TimersTickWhileAMessageBoxIsOpen) {
  auto& ticker = window->Get<Timer>("Ticker");
  ticker.SetInterval(10);
  int ticks = 0;
  ticker.OnTimer([&] {
    // Only the box's own loop runs now: its ticks are the proof, and the third answers it.
    if (++ticks == 3) testing::PressButton(testing::ShownDialog(), IDOK);
  });
  ticker.SetEnabled(true);
  EXPECT_EQ(window->Dialogs().ShowMessage(u"保存成功", MessageButtons::kOk,
                                          MessageIcon::kInformation, u"提示"),
            MessageAnswer::kOk);
  EXPECT_EQ(ticks, 3);
}

TEST_F(BuiltWindow, MovingToAMonitorOfAnotherDpiTakesTheSizeWindowsSuggests) {
  int resizes = 0;
  window->OnResize([&] { ++resizes; });
  RECT suggested{100, 50, 100 + 900, 50 + 700};
  ::SendMessageW(Frame(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  RECT frame{};
  ::GetWindowRect(Frame(), &frame);
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.top, 50);
  EXPECT_EQ(frame.right - frame.left, 900);
  EXPECT_EQ(frame.bottom - frame.top, 700);
  EXPECT_GE(resizes, 1) << "the layout follows the new size";
}

TEST_F(BuiltWindow, TheEditorAcceptsDroppedFilesWhenTheDefinitionSaysSo) {
  EXPECT_TRUE(::GetWindowLongPtrW(Child("Editor"), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(Win32WindowSystem, CountsTheWindowsStillOpen) {
  Win32WindowSystem windows;
  WindowDefinition definition;
  definition.name = "Form1";
  definition.client_width = 3000;
  definition.client_height = 2000;
  auto first = windows.CreateWindow(definition, nullptr);
  auto second = windows.CreateWindow(definition, nullptr);
  EXPECT_EQ(windows.OpenWindows(), 2);
  first->Close();
  EXPECT_EQ(windows.OpenWindows(), 1);
  second.reset();
  EXPECT_EQ(windows.OpenWindows(), 0);
}

}  // namespace
}  // namespace tambrel::platform::win32
