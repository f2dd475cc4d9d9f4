#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/char_metrics.h"
#include "text/grapheme_rules.h"

namespace tambrel::text {

// Greedy soft wrapping of one hard line (without its break) into rows of a given width. Rows are
// filled cluster by cluster, each a grapheme cluster (see clusters.h) as wide as CharMetrics says
// it is drawn; when a cluster would overflow a row that already holds something, the row ends at
// its last break opportunity (see CharClass), or right before that cluster when it has none.
// Spaces and tabs never overflow: they hang past the end. A row always holds at least one
// cluster, an empty line is one row, and a width of 0 or less is narrower than any cluster.
//
// Most text is characters that stand alone (see CharMetrics::kClusterRules), and those take a
// fast path that only looks the unit up; the rules of clusters are followed only from a character
// that needs them until the next that stands alone. A cluster is placed once the next one begins,
// since until then a character may still join it.
//
// The line comes in consecutive spans, so a long line spread over pieces is never copied, and
// wrapping may begin at any row start, since what follows a row start depends on nothing before
// it. That lets an edit be re-wrapped from a row or two before it until the rows fall back into
// step with the old ones. A cluster's end, and so where a row ends, can lie up to
// kMaxClusterUnits (clusters.h) after the row start two rows on, plus one code point.
class RowBreaker {
 public:
  RowBreaker(CharMetrics& metrics, float width, std::size_t row_start = 0);

  // Makes CR, LF and CR LF end the line being wrapped and start the next, so that many lines can
  // be fed as one stream: `line_done` gets each line's row count, the last line's from Finish,
  // and answers whether to go on. Without it a CR or LF is drawn like any other character.
  void OnLineEnd(std::function<bool(std::size_t rows)> line_done) {
    line_done_ = std::move(line_done);
  }
  // Appends the start of every row after the first to `starts` as it is found.
  void CollectStarts(std::vector<std::size_t>* starts) { starts_ = starts; }
  // Stops at the first new row start s >= `from` for which s - delta is among `old_starts`
  // (sorted): from there on the old rows, moved by delta, are the new ones.
  void StopWhenInStep(std::span<const std::size_t> old_starts, std::size_t from,
                      std::ptrdiff_t delta);

  // Takes the next units of the line; false once no more are needed.
  bool Feed(std::u16string_view units);
  // The line has ended.
  void Finish();

  // Rows begun so far, the first included. The last cluster fed is placed only by what follows it
  // or by Finish, so this may lag by a row until then.
  std::size_t Rows() const { return rows_; }
  // Where it stopped in step: the index in old_starts of the row it met.
  std::optional<std::size_t> InStepAt() const { return in_step_at_; }

 private:
  // Where wrapping stands in the current row: the same whether the row was reached by wrapping
  // or begun afresh at its start.
  struct Row {
    std::size_t start = 0;
    std::int64_t x = 0;           // advance used so far, 1/64 px
    std::size_t last_break = 0;   // the latest break opportunity, == start when none
    std::int64_t x_at_break = 0;  // x at last_break
    std::uint32_t previous = 0;   // class code of the cluster before
  };

  // How much is known of the cluster being gathered, which is placed once the next one begins.
  enum class Gathering : std::uint8_t {
    kNothing,  // none: the start of the text fed, or of a line
    kAlone,    // one character that stands alone, so that one more standing alone ends it
    kRules,    // a cluster whose end the rules decide
  };

  bool Place(Row& row, std::uint32_t entry, std::size_t at, std::int64_t width,
             std::int64_t tab_stop);
  Row Overflow(Row row, std::size_t at, std::int64_t advance);
  Row EndLine(Row row, char16_t unit, std::size_t at);
  bool BeginRow(Row& row, std::size_t start);
  // Takes a code point that the fast path does not: `units` are its own. False once in step.
  bool TakeCodePoint(Row& row, char32_t code_point, std::uint32_t entry, std::size_t at,
                     std::u16string_view units);
  // Places the cluster being gathered, if any; false once in step.
  bool PlaceCluster(Row& row);
  // Makes cluster_units_ hold the character gathered alone, `unit` if the fast path took it.
  void RecallAlone(char16_t unit);

  CharMetrics& metrics_;
  std::int64_t width_;
  Row row_;
  std::size_t offset_;  // of the next unit fed
  std::size_t rows_ = 1;
  bool pending_high_ = false;  // the last unit fed was a high surrogate
  char16_t pending_unit_ = 0;

  Gathering gathering_ = Gathering::kNothing;
  std::uint32_t cluster_entry_ = 0;  // of the cluster's first code point
  std::size_t cluster_start_ = 0;
  // The cluster's units, when gathered by the rules; else those of an earlier one.
  std::u16string cluster_units_;
  std::size_t units_start_ = static_cast<std::size_t>(-1);  // where cluster_units_ begin
  bool measure_whole_ = false;  // the cluster is more than a character and marks on it
  GraphemeRules rules_;
  char16_t last_unit_ = 0;  // the last unit of the span fed before
  std::vector<std::size_t>* starts_ = nullptr;
  std::span<const std::size_t> old_starts_;
  std::size_t old_index_ = 0;
  std::size_t step_from_ = 0;
  std::ptrdiff_t delta_ = 0;
  bool watch_step_ = false;
  std::optional<std::size_t> in_step_at_;
  std::function<bool(std::size_t)> line_done_;
  // Where an LF would complete the CR LF that ended the last line.
  std::size_t lf_to_skip_at_ = static_cast<std::size_t>(-1);
  bool stopped_ = false;
};

}  // namespace tambrel::text
