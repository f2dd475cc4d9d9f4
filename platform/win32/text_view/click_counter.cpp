#include "platform/win32/text_view/click_counter.h"

#include <cstdlib>

namespace tambrel::platform::win32 {

ClickCounter::Limits ClickCounter::DesktopLimits() {
  return Limits{::GetDoubleClickTime(),
                SIZE{::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK)}};
}

void ClickCounter::DoubleClicked(POINT point, DWORD time) {
  after_double_click_ = true;
  point_ = point;
  time_ = time;
}

bool ClickCounter::IsTripleClick(POINT point, DWORD time, const Limits& limits) {
  if (!after_double_click_) return false;
  after_double_click_ = false;
  // Unsigned, so that the tick count wrapping around between the clicks does no harm.
  const DWORD elapsed = time - time_;
  return elapsed <= limits.time && std::abs(point.x - point_.x) <= limits.distance.cx / 2 &&
         std::abs(point.y - point_.y) <= limits.distance.cy / 2;
}

}  // namespace tambrel::platform::win32
