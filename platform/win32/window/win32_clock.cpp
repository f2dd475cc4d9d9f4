#include "platform/win32/window/win32_clock.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

// Both formatting functions answer the length they need when given no buffer.
template <typename Format>
std::u16string Formatted(Format format, const char* what) {
  const int length = format(nullptr, 0);
  if (length <= 0) ThrowLastError(what);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (format(text.data(), length) <= 0) ThrowLastError(what);
  text.resize(static_cast<std::size_t>(length - 1));  // without the terminating zero
  return ToU16(text);
}

}  // namespace

DateTimeText FormatDateTime(const SYSTEMTIME& moment, const wchar_t* locale) {
  DateTimeText text;
  text.date = Formatted(
      [&](wchar_t* buffer, int size) {
        return ::GetDateFormatEx(locale, DATE_SHORTDATE, &moment, nullptr, buffer, size, nullptr);
      },
      "GetDateFormatEx");
  // No flags and no format: the locale's long time format, which names no time zone.
  text.time = Formatted(
      [&](wchar_t* buffer, int size) {
        return ::GetTimeFormatEx(locale, 0, &moment, nullptr, buffer, size);
      },
      "GetTimeFormatEx");
  return text;
}

DateTimeText Win32Clock::Now() const {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FormatDateTime(now, LOCALE_NAME_USER_DEFAULT);
}

}  // namespace tambrel::platform::win32
