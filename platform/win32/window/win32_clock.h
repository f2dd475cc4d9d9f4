#pragma once

#include <windows.h>

#include <string>

#include "platform/clock.h"

namespace tambrel::platform::win32 {

// A moment written in the locale's formats: the short date and the long time, as the locale's
// user has them set. `locale` is a locale name ("zh-CN"), or LOCALE_NAME_USER_DEFAULT.
DateTimeText FormatDateTime(const SYSTEMTIME& moment, const wchar_t* locale);

// The system's local time, read once for both texts, in the user's own formats.
class Win32Clock final : public Clock {
 public:
  DateTimeText Now() const override;
};

}  // namespace tambrel::platform::win32
