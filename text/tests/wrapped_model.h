#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/tests/wrapped_reference.h"
#include "text/wrapped_text.h"

namespace tambrel::text {

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
    const RowSpan expected = model.RowOfLine(place);
    ASSERT_EQ(span.start, expected.start) << "line " << place.line;
    ASSERT_EQ(span.end, expected.end) << "line " << place.line;

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
