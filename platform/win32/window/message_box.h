#pragma once

#include <windows.h>

#include <string>

#include "platform/user_dialogs.h"
#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {

// The MessageBoxW style for the buttons and icon: Yes and No with No the default (Return) for
// kYesNoDefaultNo.
UINT MessageBoxStyle(MessageButtons buttons, MessageIcon icon);

// The program's answer for MessageBoxW's: anything but Yes is No to a question, since only Yes
// acts.
MessageAnswer AnswerOf(MessageButtons buttons, int pressed);

// While it lives, Escape in a modal dialog of this thread that has a No button presses No:
// Windows' own Yes/No box has no Cancel button and would ignore the key.
class EscapeAnswersNo {
 public:
  EscapeAnswersNo();

 private:
  struct HookRemover {
    void operator()(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
  };
  UniqueHandle<HHOOK, HookRemover> hook_;
};

// A modal message box owned by `owner`. Escape answers No to a question, as it cancels anything
// else.
MessageAnswer ShowMessageBox(HWND owner, const std::u16string& text, MessageButtons buttons,
                             MessageIcon icon, const std::u16string& title);

}  // namespace tambrel::platform::win32
