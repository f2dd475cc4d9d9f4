#pragma once

#include <windows.h>

#include <optional>

#include "platform/font_choice.h"

namespace tambrel::platform::win32 {

// What the Font dialog chose, as the program's font: the face, the size in points (the dialog
// reports tenths), bold for a weight of semibold or more, italic. A face the dialog left as it was
// keeps the name it was asked by, so that "宋体" stays "宋体" rather than become "SimSun".
FontChoice ChosenFont(const LOGFONTW& chosen, int tenths_of_points, const FontChoice& start);

// The standard Font dialog over `owner`, listing the screen fonts and opened on `start`; the
// font chosen, or nothing when the user cancels.
std::optional<FontChoice> ChooseFontFor(HWND owner, const FontChoice& start);

}  // namespace tambrel::platform::win32
