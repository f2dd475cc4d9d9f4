#pragma once

#include <cstddef>

#include "text/text_buffer.h"

namespace tambrel::text {

// Word motion. The text is a sequence of runs of clusters of one class (see WordClass): a word
// (letters, digits, marks, '_'), an ideograph run (Han, kana, Hangul: a run of Chinese between
// punctuation is one stop, as a Chinese reader expects), a punctuation run (other punctuation
// and symbols, emoji among them: "foo.bar" stops at 3, 4 and 7), spaces, and line breaks. A
// cluster takes the class of its first character, so a mark goes with its base. Each function
// reads at most kMaxWordReach units either way and stops there, so that a word of 10 MB without
// a space costs no more than an ordinary one.
inline constexpr std::size_t kMaxWordReach = 4096;

// Ctrl+Right and Ctrl+Delete: past the run the position is in (a word, an ideograph run, a
// punctuation run), then past the spaces after it; a line break is a stop of its own (at a line's
// end Ctrl+Right goes to the next line's start).
std::size_t NextWordStop(const TextBuffer& text, std::size_t position);
// Ctrl+Left and Ctrl+Backspace: back over spaces, then to the start of the run before.
std::size_t PreviousWordStop(const TextBuffer& text, std::size_t position);

struct TextSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};
// Double-click: the run that holds the position (a word without its trailing space; a run of
// spaces if the click is on spaces; a punctuation run), never crossing a line break.
TextSpan WordAt(const TextBuffer& text, std::size_t position);

}  // namespace tambrel::text
