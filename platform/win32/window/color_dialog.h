#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "platform/ole_color.h"

namespace tambrel::platform::win32 {

// The standard Color dialog. The custom colours the user mixes are kept from one use to the next,
// for as long as the window lives.
class ColorDialog {
 public:
  // Opened on `start` (a system colour as the desktop paints it, black for a colour that names
  // nothing); the colour chosen as an RGB value, or nothing when the user cancels.
  std::optional<OleColor> Choose(HWND owner, OleColor start, const SystemColors& desktop);

 private:
  std::array<COLORREF, 16> custom_colors_{};
};

// The RGB value the dialog opens on.
COLORREF InitialColor(OleColor start, const SystemColors& desktop);

}  // namespace tambrel::platform::win32
