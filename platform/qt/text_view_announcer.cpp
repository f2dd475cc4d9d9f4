#include "platform/qt/text_view_announcer.h"

#include <QAccessible>
#include <QString>
#include <algorithm>
#include <utility>

#include "platform/qt/qt_strings.h"
#include "platform/qt/text_view_accessible.h"

namespace tambrel::platform::qt {

TextViewAnnouncer::TextViewAnnouncer(QWidget& view, const editor::Editor& editor, Deliver deliver)
    : view_(view), editor_(editor), deliver_(std::move(deliver)) {
  Remember();
}

void TextViewAnnouncer::Remember() {
  const editor::Selection& selection = editor_.GetSelection();
  caret_ = selection.caret.position;
  selection_start_ = selection.Start();
  selection_end_ = selection.End();
}

void TextViewAnnouncer::Send(QAccessibleEvent& event) {
  if (deliver_) {
    deliver_(event);
  } else {
    QAccessible::updateAccessibility(&event);
  }
}

void TextViewAnnouncer::Announce(unsigned changed) {
  // Nobody listens: the texts of the events need not even be copied.
  if (!deliver_ && !QAccessible::isActive()) {
    Remember();
    return;
  }
  if (changed & editor::kTextChanged) {
    for (const editor::TextEdit& edit : editor_.Edits()) AnnounceEdit(edit);
  }
  if (changed & (editor::kTextChanged | editor::kSelectionChanged)) AnnounceCaretAndSelection();
}

void TextViewAnnouncer::AnnounceEdit(const editor::TextEdit& edit) {
  const QString removed =
      edit.removed_text.empty()
          ? QString(static_cast<qsizetype>(std::min(edit.removed, editor::kKeptRemovedUnits)),
                    QChar(0xFFFC))
          : ToQString(edit.removed_text);
  // A new text is read from the text itself; an edit keeps what it inserted, which a later edit
  // of the same change (the second half of a move) may have moved since.
  const QString inserted = ToQString(
      edit.whole_text
          ? editor_.Buffer().Substring(edit.position,
                                       std::min(edit.inserted, editor::kKeptRemovedUnits))
          : std::u16string_view(edit.inserted_text)
                .substr(0, std::min(edit.inserted_text.size(), editor::kKeptRemovedUnits)));
  const int position = AccessibleOffset(edit.position);
  if (!removed.isEmpty() && !inserted.isEmpty()) {
    QAccessibleTextUpdateEvent event(&view_, position, removed, inserted);
    Send(event);
  } else if (!removed.isEmpty()) {
    QAccessibleTextRemoveEvent event(&view_, position, removed);
    Send(event);
  } else if (!inserted.isEmpty()) {
    QAccessibleTextInsertEvent event(&view_, position, inserted);
    Send(event);
  }
}

void TextViewAnnouncer::AnnounceCaretAndSelection() {
  const editor::Selection& selection = editor_.GetSelection();
  const bool was_selected = selection_start_ != selection_end_;
  const bool moved_ends =
      selection.Start() != selection_start_ || selection.End() != selection_end_;
  if ((was_selected || !selection.Empty()) && moved_ends) {
    QAccessibleTextSelectionEvent event(&view_, AccessibleOffset(selection.Start()),
                                        AccessibleOffset(selection.End()));
    event.setCursorPosition(AccessibleOffset(selection.caret.position));
    Send(event);
  }
  if (selection.caret.position != caret_) {
    QAccessibleTextCursorEvent event(&view_, AccessibleOffset(selection.caret.position));
    Send(event);
  }
  Remember();
}

}  // namespace tambrel::platform::qt
