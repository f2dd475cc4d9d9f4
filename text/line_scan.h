#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/position_list.h"

namespace tambrel::text {

// Appends base + p for every line start p that the units of `text` decide on their own: after an
// LF (also at the very end), and after a CR that a unit other than LF follows. A CR at the end is
// left to the caller, since the unit after it is not known yet.
void AppendLineStarts(std::u16string_view text, std::uint64_t base, PositionList& starts);

// Where a long text is cut to be scanned on every processor: the first and last places and those
// between the parts, one part per processor (one for a short text). No part but the last ends in
// a CR, so a CR LF is never split and no line start waits on the next part.
std::vector<std::size_t> CutsBetweenBreaks(std::u16string_view text);

// The line starts AppendLineStarts gives for a whole text from base 0, found on every processor
// at once for a long text, into a list reserved once.
void ListLineStarts(std::u16string_view text, PositionList& starts);

// About how many line starts a long text holds, from the breaks in samples spread over it, with
// some to spare: enough to reserve the list once instead of growing it by copies.
std::size_t EstimateLineStarts(std::u16string_view text);

}  // namespace tambrel::text
