#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <utility>

#include "text/for_each_part.h"
#include "text/units.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tambrel::platform {

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
// Faults in the pages of [first, end) (whole huge pages) on every processor at once. Memory the
// system hands out for the first time is slow to fault in on some machines (virtual ones above
// all, where the host backs each page on its first touch), and that cost shrinks with the number
// of processors sharing it; the string's own clearing would meet it page by page on one thread.
inline void FaultInOnEveryProcessor(std::uintptr_t first, std::uintptr_t end, std::uintptr_t page) {
  const std::size_t pages = (end - first) / page;
  const std::size_t parts = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                    std::max<std::size_t>(pages, 1));
  text::ForEachPart(parts, [&](std::size_t k) {
    const std::uintptr_t from = first + pages * k / parts * page;
    const std::uintptr_t to = first + pages * (k + 1) / parts * page;
    // Only a hint: an older kernel refuses it, and the clearing faults the pages in instead.
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
  });
}
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Asks for the huge pages that lie wholly within [data, data + bytes) to be backed whole, and
// answers where they begin and end. Touching 200 MB page by page in 4 KiB faults costs more than
// the conversion that fills it. Only a hint: if the kernel declines, the memory is merely slower
// to fill, and elsewhere than on Linux nothing is asked.
inline std::pair<std::uintptr_t, std::uintptr_t> AskForHugePages(void* data, std::size_t bytes) {
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = std::max(first, (begin + bytes) & ~(kHugePage - 1));
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
  return {first, end};
}

// Room for up to `size` units that a decoder is about to write: each page is faulted in by the
// first touch of whichever thread writes it, nothing clears it beforehand but the system itself,
// and a page never written is never given memory at all.
inline text::Units UnitsForOverwrite(std::size_t size) {
  text::Units units = text::Units::ForOverwrite(size);
  if (size * sizeof(char16_t) >= 4 * kHugePage)
    AskForHugePages(units.data(), size * sizeof(char16_t));
  return units;
}

// The same for up to `size` units of ASCII, kept a byte each.
inline text::AsciiUnits AsciiForOverwrite(std::size_t size) {
  text::AsciiUnits units = text::AsciiUnits::ForOverwrite(size);
  if (size >= 4 * kHugePage) AskForHugePages(units.data(), size);
  return units;
}

// The same for a text kept as up to `bytes` of the bytes it was read from.
inline text::CodedUnits CodedForOverwrite(std::size_t bytes, const text::UnitDecoder& decoder) {
  text::CodedUnits units = text::CodedUnits::ForOverwrite(bytes, decoder);
  if (bytes >= 4 * kHugePage) AskForHugePages(units.NextBlock(), bytes);
  return units;
}

// Resizes a string that is about to be filled with a large result, asking for huge pages. A very
// large one is faulted in on every processor first, since the string's own clearing would meet
// the cost page by page on one thread.
template <typename String>
void ResizeLarge(String& string, std::size_t size) {
  const std::size_t bytes = size * sizeof(typename String::value_type);
  if (bytes >= 4 * kHugePage && size > string.capacity()) {
    string.reserve(size);
    [[maybe_unused]] const auto [first, end] = AskForHugePages(string.data(), bytes);
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    constexpr std::size_t kFaultInFrom = std::size_t{64} << 20;
    if (end - first >= kFaultInFrom) FaultInOnEveryProcessor(first, end, kHugePage);
#endif
  }
  string.resize(size);
}

}  // namespace tambrel::platform
