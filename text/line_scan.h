#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "text/position_list.h"

namespace tambrel::text {

// How many line breaks of each kind a text has.
struct BreakCounts {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t cr = 0;

  BreakCounts& operator+=(const BreakCounts& more) {
    crlf += more.crlf;
    lf += more.lf;
    cr += more.cr;
    return *this;
  }
};

// The breaks of a whole text: its line starts, as AppendLineStarts lists them from 0, and how
// many breaks of each kind it has.
struct ScannedLines {
  PositionList starts;
  BreakCounts breaks;
};

// Scans a text handed over in consecutive spans, cut anywhere, even between a CR and its LF, for
// what ScannedLines holds. A decoder scans each span it has just written, while the units are
// still at hand.
class LineScanner {
 public:
  // `units` is about how many units the text has, which the list of starts is reserved for.
  explicit LineScanner(std::size_t units) : units_(units) {}

  void Scan(std::u16string_view span);
  // The same for a span of units all below U+0080, kept a byte each.
  void Scan(std::string_view ascii);
  ScannedLines Take() && { return std::move(lines_); }

 private:
  template <class Unit>
  void ScanSpan(std::basic_string_view<Unit> span);
  // Settles the CR that ended the last span, now that the unit after it is known.
  void Meet(char16_t next);

  ScannedLines lines_;
  std::uint64_t next_ = 0;
  std::size_t units_;
  bool ends_with_cr_ = false;
};

// Every break of `text` counted.
BreakCounts CountBreaks(std::u16string_view text);

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
