#include "text/line_run.h"

#include <algorithm>

#include "text/row_breaker.h"

namespace tambrel::text {
namespace {

// The text is fed in pieces of this size at most, so that the budget and the length of the line
// being read are looked at often, even when the whole text is one piece of storage.
constexpr std::size_t kFeedUnits = 16 * 1024;

}  // namespace

LineRun CountLineRun(const TextBuffer& buffer, std::size_t first_line, CharMetrics& metrics,
                     float width, std::size_t units, std::size_t long_units,
                     const std::function<bool(std::size_t line, std::size_t rows)>& counted) {
  LineRun run;
  const std::size_t end = buffer.Length();
  const std::size_t run_start = buffer.LineStart(first_line);
  std::size_t position = run_start;
  std::size_t line = first_line;
  // Past the budget with no line counted yet: only the line being read is finished.
  bool finishing = false;
  bool ended_early = false;
  RowBreaker breaker(metrics, width, position);
  breaker.OnLineEnd([&](std::size_t rows) {
    ++run.lines;
    run.stopped = !counted(line++, rows);
    ended_early = run.stopped || finishing;
    return !ended_early;
  });
  // At most the units read so far of the line being read; looked up exactly only when it may
  // have grown long, since a lookup costs more than streaming a short line.
  std::size_t grown = 0;
  while (position < end) {
    finishing = run.units_read >= units;
    if (finishing && run.lines > 0) return run;
    const std::size_t feed =
        std::min({finishing ? std::max(long_units, std::size_t{1}) : units - run.units_read,
                  kFeedUnits, end - position});
    const std::size_t lines_before = run.lines;
    buffer.ForEachPiece(position, feed,
                       [&breaker](std::u16string_view span) { return breaker.Feed(span); });
    if (ended_early) {
      // Stopped at a line's end inside this piece: only what was read up to it counts.
      run.units_read = buffer.LineStart(line) - run_start;
      return run;
    }
    position += feed;
    run.units_read += feed;
    // A line that ended in this piece means the one now being read began in it.
    grown = run.lines > lines_before ? feed : grown + feed;
    if (grown >= long_units) {
      const std::size_t start = buffer.LineStart(line);
      grown = position > start ? position - start : 0;
      if (grown >= long_units) {
        run.long_line = true;
        return run;
      }
    }
  }
  breaker.Finish();
  return run;
}

}  // namespace tambrel::text
