#include "platform/qt/qt_color.h"

#include <QApplication>
#include <QPalette>

namespace tambrel::platform::qt {

namespace {
// The Windows system colour indexes the program may name, mapped onto the desktop's palette.
std::optional<QColor> PaletteColor(std::uint32_t index) {
  const QPalette palette = QApplication::palette();
  switch (index) {
    case 5:  // window background
      return palette.color(QPalette::Active, QPalette::Base);
    case 8:  // window text
      return palette.color(QPalette::Active, QPalette::Text);
    case 15:  // button face
      return palette.color(QPalette::Active, QPalette::Button);
    case 16:  // button shadow
      return palette.color(QPalette::Active, QPalette::Mid);
    case 18:  // button text
      return palette.color(QPalette::Active, QPalette::ButtonText);
    case 13:  // highlight
      return palette.color(QPalette::Active, QPalette::Highlight);
    case 14:  // highlight text
      return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 17:  // grey text
      return palette.color(QPalette::Disabled, QPalette::Text);
    default:
      return std::nullopt;
  }
}
}  // namespace

QColor ToQColor(ColorRef color) {
  const auto value = static_cast<std::uint32_t>(color);
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

ColorRef ToColorRef(const QColor& color) {
  return static_cast<ColorRef>(RgbColor(static_cast<std::uint8_t>(color.red()),
                                        static_cast<std::uint8_t>(color.green()),
                                        static_cast<std::uint8_t>(color.blue())));
}

std::optional<ColorRef> QtSystemColors::SystemColor(std::uint32_t index) const {
  const std::optional<QColor> color = PaletteColor(index);
  if (!color) return std::nullopt;
  return ToColorRef(*color);
}

ColorRef TranslateColor(OleColor color) {
  return platform::TranslateColor(color, QtSystemColors());
}

}  // namespace tambrel::platform::qt
