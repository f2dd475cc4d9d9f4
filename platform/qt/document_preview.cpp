#include "platform/qt/document_preview.h"

#include <QEvent>

#include "platform/editor_edit_box.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {
namespace {

// Qt's plain text takes LF alone for a line break.
QString PreviewTextForQt(std::u16string_view start) { return ToQString(PreviewText(start, u"\n")); }

}  // namespace

DocumentPreview::DocumentPreview(QWidget* over, const QFont& font, const QColor& text,
                                 const QColor& background, std::u16string_view start)
    : QPlainTextEdit(over->parentWidget()), over_(over) {
  setObjectName(kObjectName);
  setReadOnly(true);
  setFocusPolicy(Qt::NoFocus);
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::Text, text);
  colours.setColor(QPalette::Base, background);
  setPalette(colours);
  setPlainText(PreviewTextForQt(start));
  over->installEventFilter(this);
  FollowTheView();
  show();
  raise();
}

bool DocumentPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == over_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    FollowTheView();
  }
  return false;
}

void DocumentPreview::FollowTheView() {
  if (over_) setGeometry(over_->geometry());
}

}  // namespace tambrel::platform::qt
