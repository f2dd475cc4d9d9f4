#include "platform/win32/text_view/measuring_font.h"

#include <algorithm>
#include <cmath>

#include "editor/tab_stops.h"

namespace tambrel::platform::win32 {

MeasuringFont::MeasuringFont(GdiObject<HFONT> font)
    : font_(std::move(font)), dc_(nullptr, 1, 1), selected_(dc_.get(), font_.get()) {
  TEXTMETRICW metrics{};
  if (::GetTextMetricsW(dc_.get(), &metrics)) {
    row_height_ = std::max<int>(1, metrics.tmHeight);
    average_char_width_ = std::max<int>(1, metrics.tmAveCharWidth);
  }
  SIZE space{};
  if (::GetTextExtentPoint32W(dc_.get(), L" ", 1, &space)) space_advance_ = space.cx;
  tab_stop_ =
      static_cast<int>(std::lround(editor::TabStopDistance(static_cast<float>(space_advance_))));
}

}  // namespace tambrel::platform::win32
