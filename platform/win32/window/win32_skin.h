#pragma once

#include <cstdint>
#include <filesystem>

namespace tambrel::platform::win32 {

// Attaches the skin file, as SkinH_AttachEx: 0 when the file could be read whole, else non-zero.
//
// The skin is a Qt style sheet, written for the Qt build. On Windows the program wears the
// desktop's own theme instead: its menu bar, dialogs, message boxes and scroll bars are the
// system's, which no style sheet can restyle without drawing them all ourselves and losing what
// Windows gives them (high contrast, visual styles, the screen reader's view). So the file
// changes nothing here; it is still required and read, so that a skin that is missing, a folder
// or unreadable fails on Windows exactly as it does elsewhere.
std::int32_t AttachSkin(const std::filesystem::path& skin_file);

}  // namespace tambrel::platform::win32
