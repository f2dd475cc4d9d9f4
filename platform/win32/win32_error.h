#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tambrel::platform::win32 {

// The system's own description of an error code, in the user's language, without the line break
// FormatMessage ends it with.
std::u16string ErrorText(unsigned long error_code);

// A Win32 call that failed: what was being done, the code and the system's words for it.
class Win32Error : public std::runtime_error {
 public:
  Win32Error(std::string_view what_failed, unsigned long error_code);
  unsigned long code() const { return code_; }

 private:
  unsigned long code_;
};

// Throws a Win32Error for the calling thread's GetLastError(). Call it right after the failure.
[[noreturn]] void ThrowLastError(std::string_view what_failed);

}  // namespace tambrel::platform::win32
