#pragma once

#include <cstddef>
#include <string_view>

#include "text/text_buffer.h"

namespace tambrel::text {

// Extended grapheme clusters (UAX #29, with rule GB9c of Unicode 15.1 for Indic conjuncts): what
// the caret steps over, Delete removes and a row never splits. CR LF is one cluster, and a
// surrogate without its partner is a cluster of its own.

// Cluster boundaries around `position` (UTF-16 units). Next answers > position unless position is
// the end; Previous answers < position unless position is 0. A position inside a cluster moves to
// that cluster's edges. Only a bounded neighbourhood is read (a pathological cluster of thousands
// of marks is cut after kMaxClusterUnits units, and a run of more flags than fit in that many
// units may pair its halves from where the reading began), so these cost O(log n) on a 1 GiB
// document.
inline constexpr std::size_t kMaxClusterUnits = 512;
std::size_t NextClusterBoundary(const TextBuffer& text, std::size_t position);
std::size_t PreviousClusterBoundary(const TextBuffer& text, std::size_t position);
bool IsClusterBoundary(const TextBuffer& text, std::size_t position);
std::size_t NextClusterBoundary(std::u16string_view text, std::size_t position);
std::size_t PreviousClusterBoundary(std::u16string_view text, std::size_t position);

}  // namespace tambrel::text
