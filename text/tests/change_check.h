#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/tests/plain_line_list.h"
#include "text/text_change.h"

namespace tambrel::text {

inline std::vector<std::u16string_view> LinesWithBreaks(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  for (const PlainLine& line : PlainLines(text)) {
    lines.push_back(text.substr(line.start, line.length + line.break_length));
  }
  return lines;
}

// What is wrong with a change that took `before` to `after`, or nothing. It must name every line
// whose text changed: the lines before it and after it are the same before and after. It must
// also stay near the edit instead of marking the whole text.
inline std::optional<std::string> ChangeProblem(const Change& change, std::u16string_view before,
                                                std::u16string_view after) {
  if ((change.removed > 0 || change.inserted > 0) &&
      (change.lines_removed == 0 || change.lines_inserted == 0)) {
    return "the change did something to no line";
  }
  const std::vector<std::u16string_view> old_lines = LinesWithBreaks(before);
  const std::vector<std::u16string_view> new_lines = LinesWithBreaks(after);
  const std::size_t old_end = change.first_line + change.lines_removed;
  const std::size_t new_end = change.first_line + change.lines_inserted;
  if (old_end > old_lines.size() || new_end > new_lines.size()) {
    return "the change names lines past the end";
  }
  if (old_lines.size() - old_end != new_lines.size() - new_end) {
    return "the change leaves a different number of lines after it";
  }
  const auto first = static_cast<std::ptrdiff_t>(change.first_line);
  if (!std::equal(old_lines.begin(), old_lines.begin() + first, new_lines.begin())) {
    return "a line before the change changed";
  }
  if (!std::equal(old_lines.begin() + static_cast<std::ptrdiff_t>(old_end), old_lines.end(),
                  new_lines.begin() + static_cast<std::ptrdiff_t>(new_end))) {
    return "a line after the change changed";
  }
  const auto breaks_around = [&change](std::u16string_view text, std::size_t length) {
    const std::size_t from = change.position > 0 ? change.position - 1 : 0;
    const std::u16string_view near = text.substr(std::min(from, text.size()), length + 2);
    return static_cast<std::size_t>(std::count(near.begin(), near.end(), u'\r') +
                                    std::count(near.begin(), near.end(), u'\n'));
  };
  if (change.lines_removed > 2 + breaks_around(before, change.removed) ||
      change.lines_inserted > 2 + breaks_around(after, change.inserted)) {
    return "the change marks more lines than the edit touched";
  }
  return std::nullopt;
}

}  // namespace tambrel::text
