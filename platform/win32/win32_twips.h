#pragma once

#include <windows.h>

#include <cmath>

// Positions and sizes of the window and its controls are twips, 1440 to the inch. The program is
// aware of each monitor's DPI, so a window's pixels are converted at that window's own DPI: 15
// twips a pixel at 96 DPI, 10 at 144.
namespace tambrel::platform::win32 {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr unsigned kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

// The DPI the window is drawn at; the system's when there is no window.
unsigned WindowDpi(HWND window);

inline int TwipsToPixels(double twips, unsigned dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline float PixelsToTwips(int pixels, unsigned dpi) {
  return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

}  // namespace tambrel::platform::win32
