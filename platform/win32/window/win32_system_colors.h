#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "platform/ole_color.h"

namespace tambrel::platform::win32 {

// The desktop's colours as Windows itself has them: GetSysColor of the COLOR_ index.
class Win32SystemColors final : public SystemColors {
 public:
  std::optional<ColorRef> SystemColor(std::uint32_t index) const override;
};

// An OLE colour as a COLORREF to paint with; a colour that names nothing paints as the desktop's
// window background, so that a control is never left unpainted.
COLORREF PaintColor(OleColor color, const SystemColors& desktop);

}  // namespace tambrel::platform::win32
