#include "platform/win32/window/win32_system_colors.h"

namespace tambrel::platform::win32 {

std::optional<ColorRef> Win32SystemColors::SystemColor(std::uint32_t index) const {
  // GetSysColor answers 0, black, for an index it does not know; only its brush tells the two
  // apart.
  if (index > static_cast<std::uint32_t>(INT32_MAX) ||
      ::GetSysColorBrush(static_cast<int>(index)) == nullptr) {
    return std::nullopt;
  }
  return static_cast<ColorRef>(::GetSysColor(static_cast<int>(index)));
}

COLORREF PaintColor(OleColor color, const SystemColors& desktop) {
  const ColorRef translated = TranslateColor(color, desktop);
  if (translated == kUntranslatableColor) return ::GetSysColor(COLOR_WINDOW);
  return static_cast<COLORREF>(translated);
}

}  // namespace tambrel::platform::win32
