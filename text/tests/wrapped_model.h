#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/line_wrap.h"
#include "text/tests/plain_lines.h"
#include "text/wrapped_text.h"

namespace tambrel::text {

// The rows of a whole plain string, found the slow way: every line cut out and wrapped whole,
// every display row listed.
struct WrappedModel {
  WrappedModel(CharMetrics& metrics, float width, std::u16string text) {
    lines = PlainLines(text);
    for (const PlainLine& line : lines) {
      starts.push_back(RowStarts(
          metrics, width, LineOfText(std::u16string_view(text).substr(line.start, line.length))));
      first_row.push_back(places.size());
      for (std::size_t row = 0; row < starts.back().size(); ++row) {
        places.push_back({first_row.size() - 1, row});
      }
    }
  }

  std::size_t RowNumber(RowPlace place) const { return first_row[place.line] + place.row_in_line; }

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

// What may be asked without counting: either nothing, or the model's answer.
inline void ExpectOptionalAnswersRightOrEmpty(const WrappedText& wrapped, const WrappedModel& model,
                                              std::mt19937& random) {
  const bool all = wrapped.AllCounted();
  ASSERT_EQ(wrapped.TotalRows(), all ? std::optional(model.places.size()) : std::nullopt);
  ASSERT_GE(wrapped.EstimatedRows(), all ? model.places.size() : 1u);
  ASSERT_LE(wrapped.EstimatedRows(), all ? model.places.size() : std::size_t(-1));
  const std::size_t counted = wrapped.CountedLines();
  ASSERT_LE(counted, model.lines.size());
  std::uniform_int_distribution<std::size_t> any_row(0, model.places.size() - 1);
  for (int k = 0; k < 20; ++k) {
    const RowPlace place = model.places[any_row(random)];
    // Known exactly up to the first uncounted line, and never beyond it.
    const std::optional<std::size_t> number = wrapped.RowNumberOf(place);
    ASSERT_EQ(number.has_value(), place.line <= counted) << "line " << place.line;
    if (number) {
      ASSERT_EQ(*number, model.RowNumber(place)) << "line " << place.line;
    }
    const std::size_t row = any_row(random);
    const std::optional<RowPlace> found = wrapped.PlaceOfRow(row);
    ASSERT_EQ(found.has_value(), model.places[row].line < counted) << "row " << row;
    if (found) {
      ASSERT_EQ(*found, model.places[row]) << "row " << row;
    }
  }
}

// Rows of single lines, counted on demand: sampled lines, positions and moves.
inline void ExpectLineRowsMatch(WrappedText& wrapped, const WrappedModel& model,
                                std::mt19937& random, int samples) {
  ASSERT_EQ(wrapped.Buffer().LineCount(), model.lines.size());
  std::uniform_int_distribution<std::size_t> any_line(0, model.lines.size() - 1);
  const PlainLine& last = model.lines.back();
  std::uniform_int_distribution<std::size_t> any_position(0, last.start + last.length);
  std::uniform_int_distribution<std::size_t> any_row(0, model.places.size() - 1);
  std::uniform_int_distribution<std::ptrdiff_t> any_move(-40, 40);
  for (int k = 0; k < samples; ++k) {
    // A row first, so that a long line is often wrapped only part way when the rest is asked.
    const RowPlace place = model.places[any_row(random)];
    const RowSpan span = wrapped.RowOfLine(place.line, place.row_in_line);
    const std::vector<std::size_t>& starts = model.starts[place.line];
    const std::size_t next = place.row_in_line + 1;
    ASSERT_EQ(span.start, starts[place.row_in_line]) << "line " << place.line;
    ASSERT_EQ(span.end, next < starts.size() ? starts[next] : model.lines[place.line].length);

    const std::size_t position = any_position(random);
    ASSERT_EQ(wrapped.PlaceOfPosition(position), model.PlaceOfPosition(position))
        << "position " << position;

    const RowPlace from = model.places[any_row(random)];
    const std::ptrdiff_t rows = any_move(random);
    ASSERT_EQ(wrapped.MoveByRows(from, rows), model.MoveByRows(from, rows))
        << "from line " << from.line << " row " << from.row_in_line << " by " << rows;

    const std::size_t line = any_line(random);
    ASSERT_EQ(wrapped.RowsOfLine(line), model.starts[line].size()) << "line " << line;
  }
}

// Counts everything in small slices, then every answer about the whole document is known.
inline void ExpectCountedDocumentMatches(WrappedText& wrapped, const WrappedModel& model,
                                         std::size_t slice) {
  for (int calls = 0; !wrapped.CountSome(slice); ++calls) {
    ASSERT_LT(calls, 1'000'000) << "counting does not end";
  }
  ASSERT_EQ(wrapped.TotalRows(), model.places.size());
  ASSERT_EQ(wrapped.EstimatedRows(), model.places.size());
  ASSERT_EQ(wrapped.PlaceOfRow(model.places.size()), std::nullopt);
  for (std::size_t row = 0; row < model.places.size(); ++row) {
    ASSERT_EQ(wrapped.PlaceOfRow(row), model.places[row]) << "row " << row;
  }
  for (std::size_t line = 0; line < model.lines.size(); ++line) {
    ASSERT_EQ(wrapped.RowNumberOf({line, 0}), model.first_row[line]) << "line " << line;
  }
}

}  // namespace tambrel::text
