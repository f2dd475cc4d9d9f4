#include "text/words.h"

#include <algorithm>
#include <string_view>

#include "text/clusters.h"
#include "text/text_window.h"
#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::text {
namespace {

// The reach either way, and room for the clusters at its ends to be found exactly.
constexpr std::size_t kWindowUnits = kMaxWordReach + kMaxClusterUnits + 8;

// The runs of a window of text, cluster by cluster.
class Runs {
 public:
  explicit Runs(std::u16string_view units) : units_(units) {}

  // The class of the cluster that begins at `start`.
  WordClass ClassAt(std::size_t start) const {
    return PropertiesOf(DecodeAt(units_, start).value).Word();
  }
  std::size_t Next(std::size_t at) const { return NextClusterBoundary(units_, at); }
  std::size_t Previous(std::size_t at) const { return PreviousClusterBoundary(units_, at); }
  // Where the cluster that holds `at` (before the end) begins.
  std::size_t ClusterStart(std::size_t at) const { return Previous(Next(at)); }

  // Past the clusters of class `run` from `at` on, stopping at `limit`.
  std::size_t SkipForward(std::size_t at, WordClass run, std::size_t limit) const {
    while (at < limit && ClassAt(at) == run) at = Next(at);
    return at;
  }
  // Back over the clusters of class `run` before `at`, stopping at `limit`.
  std::size_t SkipBack(std::size_t at, WordClass run, std::size_t limit) const {
    while (at > limit) {
      const std::size_t start = Previous(at);
      if (ClassAt(start) != run) break;
      at = start;
    }
    return at;
  }

 private:
  std::u16string_view units_;
};

}  // namespace

std::size_t NextWordStop(const TextBuffer& text, std::size_t position) {
  const std::size_t length = text.Length();
  if (position >= length) return length;
  const TextWindow window(text, position, kWindowUnits, kWindowUnits);
  const Runs runs(window.Units());
  const std::size_t local = window.Local(position);
  const std::size_t limit = std::min(local + kMaxWordReach, window.Units().size());
  const std::size_t start = runs.ClusterStart(local);
  const WordClass run = runs.ClassAt(start);
  if (run == WordClass::kLineBreak) return window.Global(runs.Next(start));
  std::size_t at = start;
  if (run != WordClass::kSpace) at = runs.SkipForward(at, run, limit);
  return window.Global(runs.SkipForward(at, WordClass::kSpace, limit));
}

std::size_t PreviousWordStop(const TextBuffer& text, std::size_t position) {
  position = std::min(position, text.Length());
  if (position == 0) return 0;
  const TextWindow window(text, position, kWindowUnits, kWindowUnits);
  const Runs runs(window.Units());
  const std::size_t local = window.Local(position);
  const std::size_t limit = local - std::min(local, kMaxWordReach);
  const std::size_t before = runs.Previous(local);
  // At a line's start the stop is the end of the line before.
  if (runs.ClassAt(before) == WordClass::kLineBreak) return window.Global(before);
  const std::size_t after_spaces = runs.SkipBack(local, WordClass::kSpace, limit);
  if (after_spaces == 0 || after_spaces == limit) return window.Global(after_spaces);
  const WordClass run = runs.ClassAt(runs.Previous(after_spaces));
  // Spaces that open a line stop at its start.
  if (run == WordClass::kLineBreak) return window.Global(after_spaces);
  return window.Global(runs.SkipBack(after_spaces, run, limit));
}

TextSpan WordAt(const TextBuffer& text, std::size_t position) {
  position = std::min(position, text.Length());
  const TextWindow window(text, position, kWindowUnits, kWindowUnits);
  const std::u16string_view units = window.Units();
  const Runs runs(units);
  const std::size_t local = window.Local(position);
  std::size_t start = local < units.size() ? runs.ClusterStart(local) : local;
  if (local == units.size() || runs.ClassAt(start) == WordClass::kLineBreak) {
    // At a line's end the run before it is meant, if the line has one.
    const TextSpan empty{window.Global(start), window.Global(start)};
    if (start == 0) return empty;
    const std::size_t line_end = start;
    start = runs.Previous(line_end);
    if (runs.ClassAt(start) == WordClass::kLineBreak) return empty;
  }
  const WordClass run = runs.ClassAt(start);
  const std::size_t lower = local - std::min(local, kMaxWordReach);
  const std::size_t upper = std::min(local + kMaxWordReach, units.size());
  return {window.Global(runs.SkipBack(start, run, lower)),
          window.Global(runs.SkipForward(runs.Next(start), run, upper))};
}

}  // namespace tambrel::text
