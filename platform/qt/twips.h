#pragma once

#include <cmath>

namespace tambrel::platform::qt {

// Twips per device-independent pixel: 1440 twips make an inch, so 15 at 96 dots per inch.
double TwipsPerPixelX();
double TwipsPerPixelY();

inline int TwipsToPixelsX(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixelX()));
}
inline int TwipsToPixelsY(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixelY()));
}
inline float PixelsToTwipsX(int pixels) { return static_cast<float>(pixels * TwipsPerPixelX()); }
inline float PixelsToTwipsY(int pixels) { return static_cast<float>(pixels * TwipsPerPixelY()); }

}  // namespace tambrel::platform::qt
