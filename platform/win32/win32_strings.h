#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// wchar_t is a UTF-16 unit on Windows, so the program's text crosses into the wide API as it is,
// with no conversion.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Win32 layer needs a 16-bit wchar_t");

namespace tambrel::platform::win32 {

// The same units seen as the API's wide characters. The pointer lives as long as the text.
inline const wchar_t* AsWide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* AsWide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(AsWide(text), text.size());
}

inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// A zero-terminated wide string from the API; nullptr reads as empty.
inline std::u16string ToU16(const wchar_t* text) {
  return text == nullptr ? std::u16string() : ToU16(std::wstring_view(text));
}

// UTF-8, for text that leaves the program's UTF-16 world: an exception's message, a log.
inline std::string ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()), utf8.data(),
                          size, nullptr, nullptr);
  }
  return utf8;
}

}  // namespace tambrel::platform::win32
