#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text_buffer.h"

namespace tambrel::text {

// The units of a buffer from up to `before` units before a position to up to `after` units after
// it, for the questions that only look near a position (clusters, words). Read straight from
// storage when they lie in one piece kept as UTF-16, copied otherwise: either way O(log n) plus
// the units.
class TextWindow {
 public:
  TextWindow(const TextBuffer& text, std::size_t position, std::size_t before, std::size_t after);
  // Units() may point into the window itself.
  TextWindow(const TextWindow&) = delete;
  TextWindow& operator=(const TextWindow&) = delete;

  std::u16string_view Units() const { return units_; }
  // Where Units() begins in the buffer.
  std::size_t Start() const { return start_; }

  // A buffer position as an index in Units(), and back.
  std::size_t Local(std::size_t position) const { return position - start_; }
  std::size_t Global(std::size_t index) const { return start_ + index; }

 private:
  std::u16string copy_;
  std::u16string_view units_;
  std::size_t start_ = 0;
};

}  // namespace tambrel::text
