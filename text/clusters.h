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
// that cluster's edges. Only a bounded neighbourhood is read, so these cost O(log n) on a 1 GiB
// document: a pathological cluster (thousands of marks on one letter) is cut after
// kMaxClusterUnits units, and the letters of flags are paired from the start of their run only
// when that lies within a few thousand units. Real clusters are far shorter: Unicode's
// stream-safe form allows 30 marks in a row, and the longest emoji sequences take under 20 units.
inline constexpr std::size_t kMaxClusterUnits = 128;
std::size_t NextClusterBoundary(const TextBuffer& text, std::size_t position);
std::size_t PreviousClusterBoundary(const TextBuffer& text, std::size_t position);
bool IsClusterBoundary(const TextBuffer& text, std::size_t position);
std::size_t NextClusterBoundary(std::u16string_view text, std::size_t position);
std::size_t PreviousClusterBoundary(std::u16string_view text, std::size_t position);

}  // namespace tambrel::text
