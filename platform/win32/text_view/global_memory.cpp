#include "platform/win32/text_view/global_memory.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tambrel::platform::win32 {

std::u16string UnicodeTextIn(HGLOBAL memory) {
  const GlobalLockScope lock(memory);
  if (lock.Data() == nullptr) return {};
  // Never past the block, whether or not its writer ended the text with a zero.
  const auto* units = static_cast<const char16_t*>(lock.Data());
  const std::size_t most = lock.Size() / sizeof(char16_t);
  return std::u16string(units, std::find(units, units + most, u'\0'));
}

GlobalMemory UnicodeTextMemory(std::u16string_view text) {
  GlobalMemory memory((text.size() + 1) * sizeof(char16_t));
  {
    const GlobalLockScope lock(memory.get());
    if (lock.Data() == nullptr) return GlobalMemory();
    // The zero after the text is there already: the memory comes zeroed.
    std::memcpy(lock.Data(), text.data(), text.size() * sizeof(char16_t));
  }
  return memory;
}

}  // namespace tambrel::platform::win32
