#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/font_choice.h"
#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {

// The face GDI is asked for. The design names its fonts as Chinese Windows shows them: "宋体" is
// SimSun and "新宋体" NSimSun, names every Windows with East Asian fonts knows whatever its
// language. Other names go through as they are.
std::u16string WindowsFaceName(std::u16string_view name);

// The font at the given DPI: the height in pixels of `size` points, normal or bold weight,
// upright or italic, and a Chinese character set for the Song faces so that the font mapper falls
// back on a Chinese face rather than a Latin one.
LOGFONTW LogFontFor(const FontChoice& font, unsigned dpi);

// The point size a LOGFONT's height stands for at that DPI: the inverse of LogFontFor.
double PointSizeOf(const LOGFONTW& font, unsigned dpi);

// CreateFontIndirectW of LogFontFor; throws when GDI refuses.
GdiObject<HFONT> CreateFontFor(const FontChoice& font, unsigned dpi);

}  // namespace tambrel::platform::win32
