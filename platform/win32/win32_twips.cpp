#include "platform/win32/win32_twips.h"

namespace tambrel::platform::win32 {

unsigned WindowDpi(HWND window) {
  const UINT dpi = window != nullptr ? ::GetDpiForWindow(window) : ::GetDpiForSystem();
  return dpi != 0 ? dpi : kDefaultDpi;
}

}  // namespace tambrel::platform::win32
