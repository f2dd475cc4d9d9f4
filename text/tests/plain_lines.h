#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/tests/plain_line_list.h"
#include "text/text_buffer.h"

namespace tambrel::text {

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
