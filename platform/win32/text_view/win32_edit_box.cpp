#include "platform/win32/text_view/win32_edit_box.h"

#include <utility>

#include "platform/win32/text_view/uniscribe_char_metrics.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/win32_system_colors.h"

namespace tambrel::platform::win32 {
namespace {

// A text colour that names nothing is the desktop's text colour, never the background's.
COLORREF TextColor(OleColor color) {
  const ColorRef translated = TranslateColor(color, Win32SystemColors());
  if (translated == kUntranslatableColor) return ::GetSysColor(COLOR_WINDOWTEXT);
  return static_cast<COLORREF>(translated);
}

}  // namespace

Win32EditBox::Win32EditBox(std::string name, HWND parent, OleColor back_color, OleColor fore_color,
                           FontChoice font, BackgroundWork& work)
    : EditorEditBox(std::move(name)),
      work_(work),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      row_geometry_(MeasuringFontFor(parent)),
      editor_(std::make_unique<editor::Editor>(
          row_geometry_,
          std::make_unique<text::CharMetrics>(UniscribeCharMetrics(row_geometry_.SharedFont())),
          1.0f)),
      view_(std::make_unique<TextView>(parent, *editor_, row_geometry_)),
      geometry_(view_->Hwnd()) {
  // Copied text goes to other programs with Windows' line breaks.
  editor_->SetClipboardLineBreak(u"\r\n");
  ApplyColors();
  view_->text_changed = [this] {
    if (change_) change_();
  };
  // Every move of the view, and every change of its rows' numbering, after the fact.
  view_->rows_moved = [this] { Deliver(EditMessage::kVerticalScroll); };
  view_->message_seen = [this] { Deliver(EditMessage::kOther); };
  view_->dpi_changed = [this] { SetFont(font_); };
}

Win32EditBox::~Win32EditBox() {
  change_ = nullptr;
  hook_ = nullptr;
  // The preview stands in the view's place and follows it.
  preview_.reset();
  // The view paints the editor: it goes first.
  view_.reset();
}

HWND Win32EditBox::Hwnd() const { return view_->Hwnd(); }

editor::Editor& Win32EditBox::Model() { return *editor_; }

std::optional<float> Win32EditBox::Left() const { return geometry_.Left(); }
std::optional<float> Win32EditBox::Top() const { return geometry_.Top(); }
std::optional<float> Win32EditBox::Width() const { return geometry_.Width(); }
std::optional<float> Win32EditBox::Height() const { return geometry_.Height(); }

bool Win32EditBox::Move(double left, double top, double width, double height) {
  const bool moved = geometry_.Move(left, top, width, height);
  if (preview_) preview_->Place();
  return moved;
}

void Win32EditBox::SetFocus() { ::SetFocus(view_->Hwnd()); }

FontChoice Win32EditBox::Font() const { return font_; }

void Win32EditBox::SetFont(const FontChoice& font) {
  font_ = font;
  // The old font stays alive for as long as the editor's old measures hold on to it.
  row_geometry_.SetFont(MeasuringFontFor(view_->Hwnd()));
  view_->FontChanged();
  ApplyPreviewLook();
}

std::shared_ptr<const MeasuringFont> Win32EditBox::MeasuringFontFor(HWND window) const {
  return std::make_shared<const MeasuringFont>(CreateFontFor(font_, WindowDpi(window)));
}

OleColor Win32EditBox::ForeColor() const { return fore_color_; }

void Win32EditBox::SetForeColor(OleColor color) {
  fore_color_ = color;
  ApplyColors();
}

void Win32EditBox::ApplyColors() {
  // The view paints with these itself, so nothing else can change the user's colour.
  view_->SetColors(TextColor(fore_color_), PaintColor(back_color_, Win32SystemColors()));
  ApplyPreviewLook();
}

void Win32EditBox::ApplyPreviewLook() {
  if (!preview_) return;
  preview_->SetLook(row_geometry_.Font().Font(), TextColor(fore_color_),
                    PaintColor(back_color_, Win32SystemColors()));
}

std::int32_t Win32EditBox::FirstVisibleLineTop() { return view_->FirstRowTop(); }

void Win32EditBox::OnChange(std::function<void()> handler) { change_ = std::move(handler); }

void Win32EditBox::OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) {
  view_->key_up = std::move(handler);
}

void Win32EditBox::OnMouseUp(
    std::function<void(std::int16_t, std::int16_t, float, float)> handler) {
  view_->mouse_up = std::move(handler);
}

void Win32EditBox::OnDrop(std::function<void(const DropData&)> handler) {
  view_->files_dropped = [handler = std::move(handler)](std::vector<std::u16string> files) {
    if (handler) handler(DropData{std::move(files)});
  };
}

EditHook Win32EditBox::SetHook(EditHook hook) {
  EditHook previous = std::move(hook_);
  hook_ = std::move(hook);
  return previous;
}

void Win32EditBox::Deliver(EditMessage message) {
  if (hook_) hook_(message);
}

void Win32EditBox::RunLongWork(const std::function<void()>& work) {
  work_.RunWithoutFreezing(work);
}

void Win32EditBox::ShowPreviewWidget(std::u16string_view start) {
  if (preview_) {
    preview_->SetStart(start);
    return;
  }
  preview_ = std::make_unique<PreviewPane>(view_->Hwnd(), start, row_geometry_.Font().Font(),
                                           TextColor(fore_color_),
                                           PaintColor(back_color_, Win32SystemColors()));
}

void Win32EditBox::HidePreviewWidget() { preview_.reset(); }

}  // namespace tambrel::platform::win32
