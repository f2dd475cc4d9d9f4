#include "platform/ole_color.h"

namespace tambrel::platform {

namespace {
constexpr OleColor kHighByte = 0xFF000000;
constexpr OleColor kSystemColorFlag = 0x80000000;
}  // namespace

ColorRef TranslateColor(OleColor color, const SystemColors& desktop) {
  const OleColor high_byte = color & kHighByte;
  if (high_byte == 0) return static_cast<ColorRef>(color);
  if (high_byte == kSystemColorFlag) {
    if (const auto system = desktop.SystemColor(color & ~kHighByte)) return *system;
  }
  return kUntranslatableColor;
}

}  // namespace tambrel::platform
