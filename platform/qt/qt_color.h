#pragma once

#include <QColor>

#include "platform/ole_color.h"

namespace tambrel::platform::qt {

// An RGB value of the program (0x00BBGGRR) as Qt's colour, and back.
QColor ToQColor(ColorRef color);
ColorRef ToColorRef(const QColor& color);

}  // namespace tambrel::platform::qt
