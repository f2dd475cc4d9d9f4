#pragma once

#include <cstddef>
#include <optional>

#include "editor/editor.h"
#include "text/text_buffer.h"

namespace tambrel::platform::qt {

// A stretch of the text in UTF-16 units: [start, end).
struct AccessibleSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

// The pieces a screen reader reads the text by, each the piece that holds a position. Together
// the pieces of one kind cover the text without gaps, so the piece before another is the one that
// holds the unit before its start, and the one after it the one that holds its end. At the end
// of the text each answers an empty piece there.

// A character as the user sees it: a grapheme cluster, CR LF as one.
AccessibleSpan CharacterSpan(const text::TextBuffer& text, std::size_t position);
// A word as Ctrl+arrows know it (a run of letters, of Chinese, of punctuation or of spaces);
// a line break is a piece of its own.
AccessibleSpan WordSpan(const text::TextBuffer& text, std::size_t position);
// A sentence as Unicode's rules find it, looked for no further than kSentenceReach units either
// way inside the hard line, so that a line of 50 MB with no full stop costs no more than another.
inline constexpr std::size_t kSentenceReach = 4096;
AccessibleSpan SentenceSpan(const text::TextBuffer& text, std::size_t position);
// A hard line with its line break.
AccessibleSpan ParagraphSpan(const text::TextBuffer& text, std::size_t position);
// A line as the user sees it: a display row on screen, with the line break that ends it. Rows off
// screen are not wrapped for this; there a line is the hard line, cut where the screen's rows
// begin or end.
AccessibleSpan LineSpan(editor::Editor& editor, std::size_t position);

// The index in Editor::Rows() of the row on screen that shows a position, if one does: where a
// row wraps, the row it starts; a line's break belongs to its last row.
std::optional<std::size_t> ScreenRowOf(editor::Editor& editor, std::size_t position);

}  // namespace tambrel::platform::qt
