#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace tambrel::platform::win32 {

// The accelerator for a shortcut as the window definition writes it: a key ("F1" to "F24", a
// letter or a digit) after any of "Ctrl+", "Shift+" and "Alt+". Nothing for a shortcut it cannot
// read, so that a typing mistake in the definition shows as a key that does nothing rather than
// a key that does something else.
std::optional<ACCEL> AcceleratorFor(std::string_view shortcut, WORD command);

}  // namespace tambrel::platform::win32
