#include "platform/qt/document_preview.h"

#include <QEvent>
#include <string>

#include "platform/editor_edit_box.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {
namespace {

// Qt's plain text takes LF alone for a line break; CR LF and CR become one.
QString PreviewText(std::u16string_view start) {
  std::u16string text;
  text.reserve(start.size() + 64);
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (start[i] == u'\r') {
      text += u'\n';
      if (i + 1 < start.size() && start[i + 1] == u'\n') ++i;
    } else {
      text += start[i];
    }
  }
  text += u"\n\n";
  text += kPreviewRestNote;
  return ToQString(text);
}

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
  setPlainText(PreviewText(start));
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
