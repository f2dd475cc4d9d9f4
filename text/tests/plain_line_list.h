#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tambrel::text {

// The hard lines of a plain string, found the slow and obvious way. No test framework here, so
// that the fuzzers can use it too.
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

}  // namespace tambrel::text
