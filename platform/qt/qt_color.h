#pragma once

#include <QColor>
#include <cstdint>
#include <optional>

#include "platform/ole_color.h"

namespace tambrel::platform::qt {

// An RGB value of the program (0x00BBGGRR) as Qt's colour, and back.
QColor ToQColor(ColorRef color);
ColorRef ToColorRef(const QColor& color);

// The desktop's colours as Qt's application palette has them.
class QtSystemColors final : public SystemColors {
 public:
  std::optional<ColorRef> SystemColor(std::uint32_t index) const override;
};

// An OLE colour in RGB, system colours from Qt's palette: the Qt controls paint the colours
// their definition names.
ColorRef TranslateColor(OleColor color);

}  // namespace tambrel::platform::qt
