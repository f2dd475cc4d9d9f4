#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_buffer.h"

namespace tambrel::text {

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
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    const bool pair = text.substr(i, 2) == u"\r\n";
    lines.push_back({start, i - start, pair ? 2u : 1u});
    i += pair ? 1 : 0;
    start = i + 1;
  }
  lines.push_back({start, text.size() - start, 0});
  return lines;
}

// Compares every read and every line query of `buffer` with the plain string.
inline void ExpectMatchesPlain(const TextBuffer& buffer, std::u16string_view text) {
  ASSERT_EQ(buffer.Text(), text);
  const std::vector<PlainLine> lines = PlainLines(text);
  ASSERT_EQ(buffer.LineCount(), lines.size());
  std::u16string scratch;
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const PlainLine& plain = lines[line];
    ASSERT_EQ(buffer.LineStart(line), plain.start) << "line " << line;
    ASSERT_EQ(buffer.LineLength(line), plain.length) << "line " << line;
    ASSERT_EQ(buffer.BreakLength(line), plain.break_length) << "line " << line;
    ASSERT_EQ(buffer.LineText(line, scratch), text.substr(plain.start, plain.length));
    const std::size_t end = line + 1 < lines.size() ? lines[line + 1].start : text.size() + 1;
    for (std::size_t position = plain.start; position < end; ++position) {
      ASSERT_EQ(buffer.LineOfPosition(position), line) << "position " << position;
      if (position < text.size()) {
        ASSERT_EQ(buffer.At(position), text[position]);
      }
    }
  }
}

}  // namespace tambrel::text
