#include "text/clusters.h"

#include <algorithm>

#include "text/grapheme_rules.h"
#include "text/text_window.h"
#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::text {
namespace {

// How far back a walk may go over a run of flags to pair their letters from the run's start.
constexpr std::size_t kMaxFlagRunUnits = 4096;
// Enough text around a position for every question below: the walk back, the cluster that holds
// the position and the code point after it.
constexpr std::size_t kUnitsBefore = kMaxFlagRunUnits + 8;
constexpr std::size_t kUnitsAfter = kMaxClusterUnits + 8;

CodePointProperties PropertiesAt(std::u16string_view text, std::size_t index) {
  return PropertiesOf(DecodeAt(text, index).value);
}

// A position at or before `from` (a code point's start, before the end) where a cluster begins
// whatever came before it: the walk back stops at the first two code points that cannot share a
// cluster, or once it has gone kMaxClusterUnits units back from `position` (the position asked
// about), or over a run of flags kMaxFlagRunUnits units back, since the letters of flags pair
// from the run's start.
std::size_t SureStart(std::u16string_view text, std::size_t from, std::size_t position) {
  const std::size_t limit = position - std::min(position, kMaxClusterUnits);
  const std::size_t flag_limit = position - std::min(position, kMaxFlagRunUnits);
  std::size_t start = from;
  CodePointProperties after = PropertiesAt(text, start);
  while (start > flag_limit) {
    const std::size_t before = CodePointStartBefore(text, start);
    const CodePointProperties properties = PropertiesAt(text, before);
    if (!MayJoin(properties, after)) break;
    const bool flags = properties.Grapheme() == GraphemeBreak::kRegionalIndicator &&
                       after.Grapheme() == GraphemeBreak::kRegionalIndicator;
    if (start <= limit && !flags) break;
    start = before;
    after = properties;
  }
  return start;
}

// The cluster boundaries after a position where a cluster begins, one at a time.
class BoundaryWalk {
 public:
  BoundaryWalk(std::u16string_view text, std::size_t start)
      : text_(text), at_(start), cluster_start_(start) {
    if (at_ == text_.size()) return;
    const CodePointAt first = DecodeAt(text_, at_);
    rules_.Start(PropertiesOf(first.value));
    at_ += first.length;
  }

  // The next boundary; the text's size once there are no more.
  std::size_t Next() {
    while (at_ < text_.size()) {
      const CodePointAt next = DecodeAt(text_, at_);
      const CodePointProperties properties = PropertiesOf(next.value);
      const bool cut = at_ + next.length - cluster_start_ > kMaxClusterUnits;
      const bool breaks = rules_.BreaksBefore(properties);
      if (cut && !breaks) rules_.Start(properties);
      const std::size_t here = at_;
      at_ += next.length;
      if (cut || breaks) {
        cluster_start_ = here;
        return here;
      }
    }
    return text_.size();
  }

 private:
  std::u16string_view text_;
  std::size_t at_;  // after the last code point taken
  std::size_t cluster_start_;
  GraphemeRules rules_;
};

bool IsClusterBoundary(std::u16string_view text, std::size_t position) {
  if (position == 0 || position >= text.size()) return true;
  if (CodePointStart(text, position) != position) return false;
  const std::size_t start = SureStart(text, position, position);
  BoundaryWalk walk(text, start);
  std::size_t boundary = start;
  while (boundary < position) boundary = walk.Next();
  return boundary == position;
}

}  // namespace

std::size_t NextClusterBoundary(std::u16string_view text, std::size_t position) {
  if (position >= text.size()) return text.size();
  BoundaryWalk walk(text, SureStart(text, CodePointStart(text, position), position));
  std::size_t boundary = walk.Next();
  while (boundary <= position) boundary = walk.Next();
  return boundary;
}

std::size_t PreviousClusterBoundary(std::u16string_view text, std::size_t position) {
  position = std::min(position, text.size());
  if (position == 0) return 0;
  std::size_t boundary = SureStart(text, CodePointStart(text, position - 1), position);
  BoundaryWalk walk(text, boundary);
  for (std::size_t next = walk.Next(); next < position; next = walk.Next()) boundary = next;
  return boundary;
}

std::size_t NextClusterBoundary(const TextBuffer& text, std::size_t position) {
  position = std::min(position, text.Length());
  const TextWindow window(text, position, kUnitsBefore, kUnitsAfter);
  return window.Global(NextClusterBoundary(window.Units(), window.Local(position)));
}

std::size_t PreviousClusterBoundary(const TextBuffer& text, std::size_t position) {
  position = std::min(position, text.Length());
  const TextWindow window(text, position, kUnitsBefore, kUnitsAfter);
  return window.Global(PreviousClusterBoundary(window.Units(), window.Local(position)));
}

bool IsClusterBoundary(const TextBuffer& text, std::size_t position) {
  if (position == 0 || position >= text.Length()) return true;
  const TextWindow window(text, position, kUnitsBefore, kUnitsAfter);
  return IsClusterBoundary(window.Units(), window.Local(position));
}

}  // namespace tambrel::text
