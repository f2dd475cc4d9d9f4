#include "platform/win32/tests/win32_test_support.h"

#include "platform/win32/win32_strings.h"
#include "platform/win32/window/message_loop.h"

namespace tambrel::platform::win32::testing {
namespace {

const WindowClass kScriptClass{L"TambrelTestDialogScript", 0, IDC_ARROW};
constexpr UINT_PTR kScriptTimer = 1;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t class_name[16] = {};
  ::GetClassNameW(window, class_name, static_cast<int>(std::size(class_name)));
  if (std::wstring_view(class_name) == L"#32770" && ::IsWindowVisible(window) &&
      ::IsWindowEnabled(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int waits) {
  for (int i = 0; i < waits; ++i) {
    DispatchWaitingMessages();
    if (done()) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  DispatchWaitingMessages();
  return done();
}

HWND ShownDialog() {
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::u16string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return ToU16(text);
}

DialogScript::DialogScript(std::function<void(HWND)> act)
    : act_(std::move(act)),
      window_(CreateHandledWindow(kScriptClass, *this, L"",
                                  WindowPlacement{0, 0, 0, 0, 0, 0, HWND_MESSAGE})) {
  if (::SetTimer(window_.get(), kScriptTimer, 20, nullptr) == 0) ThrowLastError("SetTimer");
}

DialogScript::~DialogScript() {
  if (window_) ::KillTimer(window_.get(), kScriptTimer);
}

LRESULT DialogScript::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && !acted_) {
    if (const HWND dialog = ShownDialog()) {
      acted_ = true;
      ::KillTimer(window, kScriptTimer);
      act_(dialog);
    }
    return 0;
  }
  if (message == WM_NCDESTROY) static_cast<void>(window_.release());
  return ::DefWindowProcW(window, message, wparam, lparam);
}

void PressButton(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void PostKey(HWND dialog, WPARAM key) {
  HWND focus = ::GetFocus();
  if (focus == nullptr || ::GetAncestor(focus, GA_ROOT) != dialog) focus = dialog;
  ::PostMessageW(focus, WM_KEYDOWN, key, 1);
  ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

}  // namespace tambrel::platform::win32::testing
