#pragma once

#include <QAccessible>
#include <QWidget>
#include <cstddef>
#include <functional>

#include "editor/editor.h"

namespace tambrel::platform::qt {

// Tells assistive technology what the editor changed, as Qt's accessibility events of the view:
// each edit of the text, then the caret's move and the selection's change. On Linux Qt hands them
// to AT-SPI as text-changed, text-caret-moved and text-selection-changed, from which a screen
// reader speaks what was typed or deleted and reads at the caret.
//
// An event carries at most kKeptRemovedUnits units of what was removed or inserted, so a longer
// edit is told by its start only; its position is exact. What undo, redo or a new text removed is
// not known: it goes as that many U+FFFC (object replacement) characters, which screen readers
// pass over, so that the lengths told still add up.
class TextViewAnnouncer {
 public:
  // Where the events go; without one, to Qt's accessibility, when assistive technology listens.
  using Deliver = std::function<void(QAccessibleEvent& event)>;

  TextViewAnnouncer(QWidget& view, const editor::Editor& editor, Deliver deliver = {});
  TextViewAnnouncer(const TextViewAnnouncer&) = delete;
  TextViewAnnouncer& operator=(const TextViewAnnouncer&) = delete;

  // After the editor's change notice.
  void Announce(unsigned changed);

 private:
  void AnnounceEdit(const editor::TextEdit& edit);
  void AnnounceCaretAndSelection();
  void Send(QAccessibleEvent& event);
  // The caret and the selection as they are now are what was last told.
  void Remember();

  QWidget& view_;
  const editor::Editor& editor_;
  Deliver deliver_;
  // What assistive technology was last told.
  std::size_t caret_ = 0;
  std::size_t selection_start_ = 0;
  std::size_t selection_end_ = 0;
};

}  // namespace tambrel::platform::qt
