#pragma once

#include <windows.h>

#include <string>

#include "platform/user_dialogs.h"

namespace tambrel::platform::win32 {

// The MessageBoxW style for the buttons and icon: Yes and No with No the default (Return) for
// kYesNoDefaultNo.
UINT MessageBoxStyle(MessageButtons buttons, MessageIcon icon);

// The program's answer for MessageBoxW's: anything but Yes is No to a question, since only Yes
// acts.
MessageAnswer AnswerOf(MessageButtons buttons, int pressed);

// A modal message box owned by `owner`. Escape answers No to a question, as it cancels anything
// else: Windows' own Yes/No box has no Cancel button and would ignore the key.
MessageAnswer ShowMessageBox(HWND owner, const std::u16string& text, MessageButtons buttons,
                             MessageIcon icon, const std::u16string& title);

}  // namespace tambrel::platform::win32
