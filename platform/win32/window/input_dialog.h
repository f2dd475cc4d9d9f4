#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tambrel::platform::win32 {

// The controls of the input dialog, for whoever fills it in.
inline constexpr int kInputPromptId = 100;
inline constexpr int kInputAnswerId = 101;

// The input dialog as an in-memory DLGTEMPLATE: the prompt at the top left, 确定 and 取消 at the
// right, the edit field across the bottom, in 9-point 宋体. The title and the prompt are set when
// it opens.
std::vector<WORD> InputDialogTemplate();

// Shows the input dialog modally over `owner` and answers what was typed, or nothing when the
// user cancels.
std::optional<std::u16string> AskForText(HWND owner, const std::u16string& title,
                                         const std::u16string& prompt);

}  // namespace tambrel::platform::win32
