#pragma once

#include <memory>

#include "platform/win32/text_view/measuring_font.h"
#include "text/char_metrics.h"

namespace tambrel::platform::win32 {

// The advances the editor wraps its rows with, measured as the rows are drawn: a character the
// font has by GDI's own advance for it, anything else (a character another font stands in for, a
// control, a character beyond the BMP) and every cluster of several code points (an emoji
// family, a flag, a conjunct) shaped by Uniscribe as the row will be. So a row is filled as far
// as it is drawn. Tab stops are the font's.
text::CharMetrics UniscribeCharMetrics(std::shared_ptr<const MeasuringFont> font);

}  // namespace tambrel::platform::win32
