#include "platform/codepage/ansi_code_page.h"

#include "platform/codepage/cp936.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#endif

namespace tambrel::platform::codepage {

#ifdef _WIN32

unsigned SystemAnsiCodePage() { return ::GetACP(); }

std::u16string DecodeSystemCodePage(std::string_view bytes, unsigned code_page) {
  std::u16string text;
  // In pieces the conversion's int lengths can take, cut where no character is split: a cut
  // after a byte below 0x40 is safe in every code page Windows has as its ANSI code page, since
  // no such byte is ever the lead or the trail of a two-byte character.
  while (!bytes.empty()) {
    std::size_t size = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
    if (size < bytes.size()) {
      while (size > 1 && static_cast<unsigned char>(bytes[size - 1]) >= 0x40) --size;
      if (size <= 1) size = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
    }
    const int length = static_cast<int>(size);
    const int units = ::MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(std::max(units, 0)));
    if (units > 0) {
      ::MultiByteToWideChar(code_page, 0, bytes.data(), length,
                            reinterpret_cast<wchar_t*>(text.data() + start), units);
    }
    bytes.remove_prefix(size);
  }
  return text;
}

#else

unsigned SystemAnsiCodePage() { return kChineseCodePage; }

std::u16string DecodeSystemCodePage(std::string_view bytes, unsigned) {
  return cp936::Decode(bytes);
}

#endif

}  // namespace tambrel::platform::codepage
