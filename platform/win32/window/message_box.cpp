#include "platform/win32/window/message_box.h"

#include <optional>

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

// Sees the messages of the box's own modal loop before the box does. Escape on a box that has a
// No button presses that button.
LRESULT CALLBACK EscapeMeansNo(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
    const HWND box = ::GetAncestor(message->hwnd, GA_ROOT);
    if (box != nullptr && ::GetDlgItem(box, IDNO) != nullptr) {
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(box, IDNO)));
      return 1;
    }
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

EscapeAnswersNo::EscapeAnswersNo()
    : hook_(Checked(::SetWindowsHookExW(WH_MSGFILTER, EscapeMeansNo, nullptr,
                                        ::GetCurrentThreadId()),
                    "SetWindowsHookExW")) {}

UINT MessageBoxStyle(MessageButtons buttons, MessageIcon icon) {
  UINT style = MB_APPLMODAL | MB_SETFOREGROUND;
  switch (buttons) {
    case MessageButtons::kOk:
      style |= MB_OK;
      break;
    case MessageButtons::kYesNo:
      style |= MB_YESNO | MB_DEFBUTTON1;
      break;
    case MessageButtons::kYesNoDefaultNo:
      style |= MB_YESNO | MB_DEFBUTTON2;
      break;
  }
  switch (icon) {
    case MessageIcon::kNone:
      break;
    case MessageIcon::kInformation:
      style |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kExclamation:
      style |= MB_ICONEXCLAMATION;
      break;
  }
  return style;
}

MessageAnswer AnswerOf(MessageButtons buttons, int pressed) {
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  return pressed == IDYES ? MessageAnswer::kYes : MessageAnswer::kNo;
}

MessageAnswer ShowMessageBox(HWND owner, const std::u16string& text, MessageButtons buttons,
                             MessageIcon icon, const std::u16string& title) {
  std::optional<EscapeAnswersNo> escape;
  if (buttons != MessageButtons::kOk) escape.emplace();
  const int pressed =
      ::MessageBoxW(owner, AsWide(text), AsWide(title), MessageBoxStyle(buttons, icon));
  if (pressed == 0) ThrowLastError("MessageBoxW");
  return AnswerOf(buttons, pressed);
}

}  // namespace tambrel::platform::win32
