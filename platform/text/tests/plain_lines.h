#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/text_buffer.h"

namespace tambrel::platform::text {

// The hard lines of a plain string, found the slow and obvious way.
struct PlainLine {
  std::size_t start = 0;
  std::size_t length = 0;
  std::size_t break_length = 0;
};

inline std::vector<PlainLine> PlainLines(std::u16string_view text) {
  std::vector<PlainLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t break_length = 0;
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      break_length = 2;
    } else if (text[i] == u'\r' || text[i] == u'\n') {
      break_length = 1;
    }
    if (break_length == 0) continue;
    lines.push_back({start, i - start, break_length});
    i += break_length - 1;
    start = i + 1;
  }
  lines.push_back({start, text.size() - start, 0});
  return lines;
}

// The line of each position 0..size, by walking the lines.
inline std::vector<std::size_t> PlainLineOfPositions(std::u16string_view text) {
  const std::vector<PlainLine> lines = PlainLines(text);
  std::vector<std::size_t> of(text.size() + 1);
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::size_t end = lines[line].start + lines[line].length + lines[line].break_length;
    for (std::size_t p = lines[line].start; p < end; ++p) of[p] = line;
  }
  of[text.size()] = lines.size() - 1;
  return of;
}

// Compares every read and every line query of `buffer` with the plain string.
inline void ExpectMatchesPlain(const TextBuffer& buffer, std::u16string_view text) {
  ASSERT_EQ(buffer.Length(), text.size());
  ASSERT_EQ(buffer.Text(), text);
  const std::vector<PlainLine> lines = PlainLines(text);
  ASSERT_EQ(buffer.LineCount(), lines.size());
  std::u16string scratch;
  for (std::size_t line = 0; line < lines.size(); ++line) {
    ASSERT_EQ(buffer.LineStart(line), lines[line].start) << "line " << line;
    ASSERT_EQ(buffer.LineLength(line), lines[line].length) << "line " << line;
    ASSERT_EQ(buffer.BreakLength(line), lines[line].break_length) << "line " << line;
    ASSERT_EQ(buffer.LineText(line, scratch), text.substr(lines[line].start, lines[line].length))
        << "line " << line;
  }
  const std::vector<std::size_t> of = PlainLineOfPositions(text);
  for (std::size_t position = 0; position <= text.size(); ++position) {
    ASSERT_EQ(buffer.LineOfPosition(position), of[position]) << "position " << position;
    if (position < text.size()) {
      ASSERT_EQ(buffer.At(position), text[position]);
    }
  }
}

}  // namespace tambrel::platform::text
