#include "text/text_window.h"

#include <algorithm>

namespace tambrel::text {

TextWindow::TextWindow(const TextBuffer& text, std::size_t position, std::size_t before,
                       std::size_t after) {
  const std::size_t length = text.Length();
  position = std::min(position, length);
  start_ = position - std::min(position, before);
  const std::size_t end = position + std::min(length - position, after);
  const std::u16string_view piece = text.SpanAt(start_, copy_, end - start_);
  if (piece.size() >= end - start_) {
    units_ = piece.substr(0, end - start_);
  } else {
    copy_ = text.Substring(start_, end - start_);
    units_ = copy_;
  }
}

}  // namespace tambrel::text
