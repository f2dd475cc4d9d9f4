#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tambrel::platform::win32 {

// The clipboard's text as CF_UNICODETEXT; nothing when it holds none or another program keeps it
// open. Line breaks are whatever the text has: the editor turns them into the document's.
std::optional<std::u16string> ReadClipboardText(HWND owner);
// Puts text on the clipboard in place of what it held; false when it cannot be opened.
bool WriteClipboardText(HWND owner, std::u16string_view text);
bool ClipboardHasText();

}  // namespace tambrel::platform::win32
