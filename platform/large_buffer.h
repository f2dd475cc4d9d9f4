#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tambrel::platform {

// Resizes a string that is about to be filled with a large result. On Linux a large buffer is
// asked for in huge pages: touching 200 MB page by page in 4 KiB faults costs more than the
// conversion that fills it.
template <typename String>
void ResizeLarge(String& string, std::size_t size) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  const std::size_t bytes = size * sizeof(typename String::value_type);
  if (bytes >= 4 * kHugePage && size > string.capacity()) {
    string.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const auto begin = reinterpret_cast<std::uintptr_t>(string.data());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (begin + bytes) & ~(kHugePage - 1);
    // Only a hint: if the kernel declines, the buffer is merely slower to fill.
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
  }
  string.resize(size);
}

}  // namespace tambrel::platform
