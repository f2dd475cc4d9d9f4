#pragma once

#include <cstdint>
#include <optional>

namespace tambrel::platform {

// Colours are kept the way the window definition writes them: a high byte of 0x80 names a
// system colour by the index in the low byte; a high byte of 0x00 is an RGB value 0x00BBGGRR.
using OleColor = std::uint32_t;

// A plain RGB value 0x00BBGGRR, or -1 (all bits set) for a colour that could not be translated.
using ColorRef = std::int32_t;

inline constexpr OleColor kSystemWindowBackground = 0x80000005;
inline constexpr OleColor kSystemWindowText = 0x80000008;
inline constexpr OleColor kSystemButtonShadow = 0x80000010;
inline constexpr OleColor kWhite = 0x00FFFFFF;
inline constexpr OleColor kBlack = 0x00000000;
inline constexpr ColorRef kUntranslatableColor = -1;

constexpr OleColor RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return OleColor{red} | (OleColor{green} << 8) | (OleColor{blue} << 16);
}

// The desktop's own colours, which a colour of the window definition may name by index. Each
// window system has its palette; it hands it to whatever draws.
class SystemColors {
 public:
  virtual ~SystemColors() = default;
  // The RGB value of the system colour with that index (a Windows COLOR_ index, 5 for a window's
  // background, 8 for its text, ...), or nothing when the desktop has no such colour.
  virtual std::optional<ColorRef> SystemColor(std::uint32_t index) const = 0;
};

// Turns an OLE colour into RGB: system colours come from the desktop's palette. Answers
// kUntranslatableColor for a value that names no colour (an unknown system index, or a high
// byte other than 0x00 and 0x80).
ColorRef TranslateColor(OleColor color, const SystemColors& desktop);

}  // namespace tambrel::platform
