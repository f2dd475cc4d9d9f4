#pragma once

#include <memory>

#include "platform/font_choice.h"
#include "platform/win32/text_view/measuring_font.h"
#include "platform/win32/win32_fonts.h"

namespace tambrel::platform::win32 {

// The program's default editor font, as the window builds it at 96 DPI.
inline FontChoice DefaultTestFont() { return FontChoice{u"宋体", 12.0, false, false}; }

inline std::shared_ptr<const MeasuringFont> MeasuringTestFont(
    const FontChoice& font = DefaultTestFont()) {
  return std::make_shared<const MeasuringFont>(CreateFontFor(font, 96));
}

}  // namespace tambrel::platform::win32
