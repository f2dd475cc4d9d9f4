#include "platform/win32/window/font_dialog.h"

#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"

namespace tambrel::platform::win32 {

FontChoice ChosenFont(const LOGFONTW& chosen, int tenths_of_points, const FontChoice& start) {
  const std::u16string face = ToU16(chosen.lfFaceName);
  const bool same_face = ::CompareStringOrdinal(AsWide(face), static_cast<int>(face.size()),
                                                AsWide(WindowsFaceName(start.name)), -1,
                                                TRUE) == CSTR_EQUAL;
  FontChoice font;
  font.name = same_face ? start.name : face;
  font.size = tenths_of_points > 0 ? tenths_of_points / 10.0 : start.size;
  font.bold = chosen.lfWeight >= FW_SEMIBOLD;
  font.italic = chosen.lfItalic != 0;
  return font;
}

std::optional<FontChoice> ChooseFontFor(HWND owner, const FontChoice& start) {
  LOGFONTW font = LogFontFor(start, WindowDpi(owner));
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!::ChooseFontW(&dialog)) {
    const DWORD error = ::CommDlgExtendedError();
    if (error == 0) return std::nullopt;  // cancelled
    throw std::runtime_error("the font dialog failed with common dialog error " +
                             std::to_string(error));
  }
  return ChosenFont(font, dialog.iPointSize, start);
}

}  // namespace tambrel::platform::win32
