#pragma once

#include <windows.h>

namespace tambrel::platform::win32 {

// Windows tells a double-click by itself (WM_LBUTTONDBLCLK) but not a triple one: a press soon
// after a double-click, close to where it was, is the third click. Times are the messages' own
// (GetMessageTime), so the count follows the user's clicks however late they are handled.
class ClickCounter {
 public:
  // How soon and how near the next click must come, as the desktop sets them.
  struct Limits {
    DWORD time = 500;
    SIZE distance{4, 4};
  };
  static Limits DesktopLimits();

  void DoubleClicked(POINT point, DWORD time);
  // Whether a press is the third click; either way the count starts again after it.
  bool IsTripleClick(POINT point, DWORD time, const Limits& limits);

 private:
  bool after_double_click_ = false;
  POINT point_{};
  DWORD time_ = 0;
};

}  // namespace tambrel::platform::win32
