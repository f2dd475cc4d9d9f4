#pragma once

#include <QAccessibleWidget>
#include <QString>
#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>

#include "editor/editor.h"
#include "platform/qt/accessible_text_spans.h"

namespace tambrel::platform::qt {

class TextView;

// The most text one answer carries: a screen reader that asks for the whole of a document of
// 1 GiB gets its first 1 Mi units (2 MiB), not a copy of it all. Counts and offsets stay exact.
inline constexpr std::size_t kMaxAccessibleTextUnits = std::size_t{1} << 20;

// A position as Qt's accessibility interfaces count: in an int, which a document of 1 GiB fits.
inline int AccessibleOffset(std::size_t position) {
  return static_cast<int>(std::min<std::size_t>(position, INT_MAX));
}

// The text view as assistive technology sees it (through AT-SPI on Linux): an editable,
// multi-line text with its caret, its selection and its pieces (characters, words, sentences,
// lines), where each character is on screen, and editing. It only translates: every answer comes
// from the editor and every change is an editor call, made through the editor's input queue so
// that nothing changes while a command reads the text. Offsets count UTF-16 units.
class TextViewAccessible final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface {
 public:
  explicit TextViewAccessible(TextView* view);

  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // --- QAccessibleTextInterface ---------------------------------------------------------------
  // The widget's name and description stay QAccessibleWidget's.
  using QAccessibleWidget::text;
  void selection(int selection_index, int* start_offset, int* end_offset) const override;
  int selectionCount() const override;
  void addSelection(int start_offset, int end_offset) override;
  void removeSelection(int selection_index) override;
  void setSelection(int selection_index, int start_offset, int end_offset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int start_offset, int end_offset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                           int* end_offset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                          int* end_offset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                       int* end_offset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int start_index, int end_index) override;
  QString attributes(int offset, int* start_offset, int* end_offset) const override;

  // --- QAccessibleEditableTextInterface -------------------------------------------------------
  void deleteText(int start_offset, int end_offset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int start_offset, int end_offset, const QString& text) override;

 private:
  TextView& View() const;
  editor::Editor& Model() const;
  // An offset as a position in the text; `end_of_text` is what a negative offset means.
  std::size_t Position(int offset, std::size_t end_of_text = 0) const;
  // The piece of a kind that holds a position; empty for a kind the editor has no pieces of.
  AccessibleSpan SpanAt(std::size_t position, QAccessible::TextBoundaryType boundary) const;
  // The piece's text, cut around `position` to kMaxAccessibleTextUnits, and its offsets.
  QString Answer(AccessibleSpan span, std::size_t position, int* start_offset,
                 int* end_offset) const;
  // Runs an editing call now, or once the command reading the text has finished.
  void Submit(std::function<void(editor::Editor&)> action);
};

// Makes a TextViewAccessible for the program's text view; for QAccessible::installFactory.
QAccessibleInterface* TextViewAccessibleFactory(const QString& class_name, QObject* object);

}  // namespace tambrel::platform::qt
