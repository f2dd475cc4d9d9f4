#include "platform/win32/window/color_dialog.h"

#include <commdlg.h>

#include <stdexcept>
#include <string>

namespace tambrel::platform::win32 {

COLORREF InitialColor(OleColor start, const SystemColors& desktop) {
  const ColorRef translated = TranslateColor(start, desktop);
  return translated == kUntranslatableColor ? RGB(0, 0, 0) : static_cast<COLORREF>(translated);
}

std::optional<OleColor> ColorDialog::Choose(HWND owner, OleColor start,
                                            const SystemColors& desktop) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.rgbResult = InitialColor(start, desktop);
  dialog.lpCustColors = custom_colors_.data();
  dialog.Flags = CC_RGBINIT;
  if (!::ChooseColorW(&dialog)) {
    const DWORD error = ::CommDlgExtendedError();
    if (error == 0) return std::nullopt;  // cancelled
    throw std::runtime_error("the colour dialog failed with common dialog error " +
                             std::to_string(error));
  }
  // A COLORREF is 0x00BBGGRR, the program's RGB form.
  return static_cast<OleColor>(dialog.rgbResult & 0x00FFFFFF);
}

}  // namespace tambrel::platform::win32
