#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tambrel::platform::win32 {

// "TXT文本|*.txt|所有文件|*.*" becomes L"TXT文本\0*.txt\0所有文件\0*.*\0\0", the form OPENFILENAMEW
// takes. A trailing description without a pattern is dropped; an empty filter stays empty, for
// no filter at all.
std::wstring DialogFilter(std::u16string_view pipes);

enum class FileDialogKind { kOpen, kSave };

// The OFN_ flags of each dialog. Open takes any name, as the program reports a file it cannot
// open itself; Save asks before replacing an existing file. Neither changes the current
// folder.
DWORD FileDialogFlags(FileDialogKind kind);

// The standard Open or Save dialog over `owner`, starting on `start` with the filter's first
// entry; the chosen path, or nothing when the user cancels.
std::optional<std::u16string> ChooseFile(HWND owner, FileDialogKind kind,
                                         const std::u16string& start,
                                         const std::u16string& filter);

}  // namespace tambrel::platform::win32
