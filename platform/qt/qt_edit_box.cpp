#include "platform/qt/qt_edit_box.h"

#include "platform/qt/qt_color.h"

#include <QEvent>
#include <algorithm>

#include "platform/qt/document_preview.h"
#include "platform/qt/qt_background_work.h"
#include "platform/qt/font_char_metrics.h"
#include "platform/qt/qt_fonts.h"

namespace tambrel::platform::qt {

// Sees every event of the editor and its viewport on its way in.
class QtEditBox::HookFilter final : public QObject {
 public:
  explicit HookFilter(QtEditBox& owner) : owner_(owner) {}

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* /*event*/) override {
    owner_.Deliver(EditMessage::kOther);
    return false;
  }

 private:
  QtEditBox& owner_;
};

QtEditBox::QtEditBox(std::string name, QWidget* parent, OleColor back_color, OleColor fore_color,
                     FontChoice font)
    : EditorEditBox(std::move(name)),
      row_geometry_(ToQFont(font)),
      editor_(std::make_unique<editor::Editor>(
          row_geometry_,
          std::make_unique<text::CharMetrics>(
              FontCharMetrics(row_geometry_.Font(), row_geometry_.TabStop())),
          1.0f)),
      view_(new TextView(parent, *editor_, row_geometry_)),
      geometry_(view_),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      hook_filter_(std::make_unique<HookFilter>(*this)) {
  // Copied text goes to other programs with the desktop's line breaks.
#ifdef _WIN32
  editor_->SetClipboardLineBreak(u"\r\n");
#else
  editor_->SetClipboardLineBreak(u"\n");
#endif
  ApplyLook();
  view_->text_changed = [this] {
    if (change_) change_();
  };
  // Every move of the view, and every change of its rows' numbering, after the fact.
  view_->rows_moved = [this] { Deliver(EditMessage::kVerticalScroll); };
  view_->installEventFilter(hook_filter_.get());
  view_->viewport()->installEventFilter(hook_filter_.get());
}

QtEditBox::~QtEditBox() {
  DetachHandlers();
  HidePreviewWidget();
  // The view paints the editor: it goes first.
  delete view_.data();
}

void QtEditBox::DetachHandlers() {
  change_ = nullptr;
  hook_ = nullptr;
  if (view_) {
    view_->removeEventFilter(hook_filter_.get());
    view_->viewport()->removeEventFilter(hook_filter_.get());
    view_->text_changed = nullptr;
    view_->rows_moved = nullptr;
    view_->key_up = nullptr;
    view_->mouse_up = nullptr;
    view_->files_dropped = nullptr;
  }
}

void QtEditBox::Deliver(EditMessage message) {
  if (hook_) hook_(message);
}

void QtEditBox::RunLongWork(const std::function<void()>& work) {
  RunWithoutFreezing(work, view_ ? view_->window() : nullptr);
}

void QtEditBox::SetFocus() {
  if (view_) view_->setFocus(Qt::OtherFocusReason);
}

void QtEditBox::SetFont(const FontChoice& font) {
  font_ = font;
  ApplyLook();
}

void QtEditBox::SetForeColor(OleColor color) {
  fore_color_ = color;
  ApplyLook();
}

void QtEditBox::ApplyLook() {
  // The view paints with these itself, so no skin can change the user's font and colour.
  row_geometry_.SetFont(ToQFont(font_));
  if (!view_) return;
  view_->FontChanged();
  view_->SetColors(TextColour(), BackgroundColour());
}

QColor QtEditBox::TextColour() const {
  const ColorRef text = TranslateColor(fore_color_);
  return text != kUntranslatableColor ? ToQColor(text) : QColor(Qt::black);
}

QColor QtEditBox::BackgroundColour() const {
  const ColorRef background = TranslateColor(back_color_);
  return background != kUntranslatableColor ? ToQColor(background) : QColor(Qt::white);
}

void QtEditBox::ShowPreviewWidget(std::u16string_view start) {
  HidePreviewWidget();
  if (!view_) return;
  preview_ = new DocumentPreview(view_, view_->TextFont(), TextColour(), BackgroundColour(), start);
}

void QtEditBox::HidePreviewWidget() { delete preview_.data(); }

std::int32_t QtEditBox::FirstVisibleLineTop() { return view_ ? view_->FirstRowTop() : 0; }

void QtEditBox::OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) {
  if (view_) view_->key_up = std::move(handler);
}

void QtEditBox::OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) {
  if (view_) view_->mouse_up = std::move(handler);
}

void QtEditBox::OnDrop(std::function<void(const DropData&)> handler) {
  if (!view_) return;
  view_->files_dropped = [handler = std::move(handler)](std::vector<std::u16string> files) {
    if (handler) handler(DropData{std::move(files)});
  };
}

EditHook QtEditBox::SetHook(EditHook hook) {
  EditHook previous = std::move(hook_);
  hook_ = std::move(hook);
  return previous;
}

}  // namespace tambrel::platform::qt
