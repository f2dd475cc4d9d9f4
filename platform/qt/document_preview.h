#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <string_view>

namespace tambrel::platform::qt {

// The start of a document still being read, shown over the text view in its place, font and
// colours: to look at and scroll, never to edit, and ending in a line that says the rest is
// coming. It follows the view when the window is resized.
class DocumentPreview final : public QPlainTextEdit {
 public:
  static constexpr char kObjectName[] = "document_preview";

  DocumentPreview(QWidget* over, const QFont& font, const QColor& text, const QColor& background,
                  std::u16string_view start);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowTheView();

  QPointer<QWidget> over_;
};

}  // namespace tambrel::platform::qt
