#include "platform/qt/accessible_text_spans.h"

#include <QString>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/qt/qt_strings.h"
#include "text/clusters.h"
#include "text/words.h"

namespace tambrel::platform::qt {

namespace {

std::size_t LineEnd(const text::TextBuffer& text, std::size_t line) {
  return text.LineStart(line) + text.LineLength(line);
}

// Where a row on screen ends, with the break of the line it ends.
std::size_t EndWithBreak(const text::TextBuffer& text, const editor::ScreenRow& row) {
  return row.ends_line ? row.end + text.BreakLength(row.place.line) : row.end;
}

}  // namespace

AccessibleSpan CharacterSpan(const text::TextBuffer& text, std::size_t position) {
  const std::size_t length = text.Length();
  if (position >= length) return {length, length};
  const std::size_t start = text::IsClusterBoundary(text, position)
                                ? position
                                : text::PreviousClusterBoundary(text, position);
  std::size_t end = text::NextClusterBoundary(text, start);
  // A cluster cut short for its length may end before the position; the piece must hold it.
  if (end <= position) end = text::NextClusterBoundary(text, position);
  return {start, end};
}

AccessibleSpan WordSpan(const text::TextBuffer& text, std::size_t position) {
  const std::size_t length = text.Length();
  if (position >= length) return {length, length};
  const std::size_t line = text.LineOfPosition(position);
  const std::size_t line_end = LineEnd(text, line);
  if (position >= line_end) return {line_end, line_end + text.BreakLength(line)};
  const text::TextSpan word = text::WordAt(text, position);
  return {std::min(word.start, position), std::max(word.end, position + 1)};
}

AccessibleSpan SentenceSpan(const text::TextBuffer& text, std::size_t position) {
  const AccessibleSpan line = ParagraphSpan(text, position);
  if (position >= line.end) return {position, position};
  const std::size_t from = std::max(line.start, position - std::min(position, kSentenceReach));
  const std::size_t to = std::min(line.end, position + kSentenceReach);
  const QString units = ToQString(text.Substring(from, to - from));
  QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, units);
  const auto local = static_cast<qsizetype>(position - from);
  finder.setPosition(local);
  qsizetype start = local;
  if (!finder.isAtBoundary()) start = std::max<qsizetype>(0, finder.toPreviousBoundary());
  finder.setPosition(start);
  qsizetype end = finder.toNextBoundary();
  if (end < 0 || end <= local) end = units.size();
  return {from + static_cast<std::size_t>(start), from + static_cast<std::size_t>(end)};
}

AccessibleSpan ParagraphSpan(const text::TextBuffer& text, std::size_t position) {
  const std::size_t line = text.LineOfPosition(std::min(position, text.Length()));
  return {text.LineStart(line), LineEnd(text, line) + text.BreakLength(line)};
}

std::optional<std::size_t> ScreenRowOf(editor::Editor& editor, std::size_t position) {
  const text::TextBuffer& text = editor.Buffer();
  const std::vector<editor::ScreenRow>& rows = editor.Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t end = EndWithBreak(text, rows[i]);
    // The end of the text, after the last line, which has no break, is on that line's last row.
    const bool at_text_end = position == end && end == text.Length() && rows[i].ends_line;
    if ((position >= rows[i].start && position < end) || at_text_end) return i;
  }
  return std::nullopt;
}

AccessibleSpan LineSpan(editor::Editor& editor, std::size_t position) {
  const text::TextBuffer& text = editor.Buffer();
  position = std::min(position, text.Length());
  const std::vector<editor::ScreenRow>& rows = editor.Rows();
  if (const std::optional<std::size_t> index = ScreenRowOf(editor, position)) {
    return {rows[*index].start, EndWithBreak(text, rows[*index])};
  }
  AccessibleSpan line = ParagraphSpan(text, position);
  if (rows.empty()) return line;
  const std::size_t shown_start = rows.front().start;
  const std::size_t shown_end = EndWithBreak(text, rows.back());
  if (position < shown_start) line.end = std::min(line.end, shown_start);
  if (position >= shown_end) line.start = std::max(line.start, shown_end);
  return line;
}

}  // namespace tambrel::platform::qt
