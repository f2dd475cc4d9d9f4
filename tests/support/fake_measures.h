#pragma once

#include <algorithm>
#include <cmath>

#include "platform/font_choice.h"

namespace tambrel::testing {

// The fake window system's screen: 96 dots per inch, so 15 twips to a pixel, as on most desktops.
inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels and back, rounded as a real window places a control.
inline int TwipsToPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline float PixelsToTwips(int pixels) { return static_cast<float>(pixels * kTwipsPerPixel); }

// The fake face: every glyph is a box as tall as the point size in pixels (12 pt is 16 px) and
// half as wide. A row of the fake editor is one glyph tall, like a row of numbers in the gutter,
// so that the numbers stand level with the rows whatever the font.
struct GlyphBox {
  int width = 0;
  int height = 0;
};

inline GlyphBox GlyphBoxOf(const platform::FontChoice& font) {
  const int height = std::max(2, static_cast<int>(std::lround(font.size * 96.0 / 72.0)));
  return GlyphBox{height / 2, height};
}

}  // namespace tambrel::testing
