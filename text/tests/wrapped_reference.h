#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/line_wrap.h"
#include "text/tests/plain_line_list.h"
#include "text/tests/wrap_model.h"
#include "text/wrapped_text.h"

namespace tambrel::text {

// The rows of a whole plain string, found the slow way: every line cut out and wrapped whole,
// every display row listed. No test framework here, so that the fuzzers can use it too.
struct WrappedModel {
  // Lines wrapped by the reference wrap model in the test font.
  WrappedModel(float width, std::u16string_view text)
      : WrappedModel(text,
                     [width](std::u16string_view line) { return ModelRowStarts(line, width); }) {}
  // Lines wrapped whole by the row breaker in any font: for texts whose trouble is not the
  // wrapping rules but what is done with their rows.
  WrappedModel(CharMetrics& metrics, float width, std::u16string_view text)
      : WrappedModel(text, [&metrics, width](std::u16string_view line) {
          return RowStarts(metrics, width, LineOfText(line));
        }) {}

  template <class WrapLine>
  WrappedModel(std::u16string_view text, const WrapLine& wrap_line) : lines(PlainLines(text)) {
    for (const PlainLine& line : lines) {
      starts.push_back(wrap_line(text.substr(line.start, line.length)));
      first_row.push_back(places.size());
      for (std::size_t row = 0; row < starts.back().size(); ++row) {
        places.push_back({first_row.size() - 1, row});
      }
    }
  }

  std::size_t RowNumber(RowPlace place) const { return first_row[place.line] + place.row_in_line; }

  RowSpan RowOfLine(RowPlace place) const {
    const std::vector<std::size_t>& row_starts = starts[place.line];
    const std::size_t next = place.row_in_line + 1;
    return {row_starts[place.row_in_line],
            next < row_starts.size() ? row_starts[next] : lines[place.line].length};
  }

  RowPlace PlaceOfPosition(std::size_t position) const {
    std::size_t line = lines.size() - 1;
    while (lines[line].start > position) --line;
    const std::size_t offset = std::min(position - lines[line].start, lines[line].length);
    const std::vector<std::size_t>& row_starts = starts[line];
    const auto row =
        std::upper_bound(row_starts.begin(), row_starts.end(), offset) - row_starts.begin() - 1;
    return {line, static_cast<std::size_t>(row)};
  }

  RowPlace MoveByRows(RowPlace from, std::ptrdiff_t rows) const {
    const auto row = static_cast<std::ptrdiff_t>(RowNumber(from)) + rows;
    return places[static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(row, 0, static_cast<std::ptrdiff_t>(places.size()) - 1))];
  }

  std::vector<PlainLine> lines;
  std::vector<std::vector<std::size_t>> starts;
  std::vector<std::size_t> first_row;  // of each line
  std::vector<RowPlace> places;        // of each display row
};

// Models of a text that changes a little at a time. The reference model is slow (it measures each
// row afresh), so the rows of a line that an edit left alone are taken from the model before.
class WrappedModelSeries {
 public:
  WrappedModel Next(float width, std::u16string_view text) {
    if (width != width_) {
      previous_.clear();
      width_ = width;
    }
    std::unordered_map<std::u16string, std::vector<std::size_t>> current;
    WrappedModel model(text, [&](std::u16string_view line) {
      std::u16string key(line);
      const auto found = previous_.find(key);
      std::vector<std::size_t> starts =
          found != previous_.end() ? found->second : ModelRowStarts(line, width);
      current.emplace(std::move(key), starts);
      return starts;
    });
    previous_ = std::move(current);
    return model;
  }

 private:
  float width_ = 0;
  // The rows of every line of the last text, by the line's units.
  std::unordered_map<std::u16string, std::vector<std::size_t>> previous_;
};

}  // namespace tambrel::text
