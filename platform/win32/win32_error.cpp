#include "platform/win32/win32_error.h"

#include <windows.h>

#include <string>

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

// The exception's text is UTF-8, so that a Chinese description survives into a log or a test's
// output.
std::string Describe(std::string_view what_failed, unsigned long error_code) {
  return std::string(what_failed) + " failed (" + std::to_string(error_code) +
         "): " + ToUtf8(ErrorText(error_code));
}

}  // namespace

std::u16string ErrorText(unsigned long error_code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error_code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text = length > 0 ? ToU16(std::wstring_view(buffer, length)) : u"";
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
    text.pop_back();
  }
  return text;
}

Win32Error::Win32Error(std::string_view what_failed, unsigned long error_code)
    : std::runtime_error(Describe(what_failed, error_code)), code_(error_code) {}

void ThrowLastError(std::string_view what_failed) {
  throw Win32Error(what_failed, ::GetLastError());
}

}  // namespace tambrel::platform::win32
