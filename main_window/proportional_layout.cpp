#include "main_window/proportional_layout.h"

#include <algorithm>

#include "main_window/layout_record.h"

namespace tambrel::main_window {

void ProportionalLayout::StoreLayout(platform::Window& form) {
  base_scale_width_ = RoundHalfToEven(form.ScaleWidth());
  base_scale_height_ = RoundHalfToEven(form.ScaleHeight());
  for (platform::Control* control : form.Controls()) {
    const auto left = control->Left();
    const auto top = control->Top();
    const auto width = control->Width();
    const auto height = control->Height();
    if (!left || !top || !width || !height) continue;
    control->SetTag(FormatLayoutRecord(*left, *top, *width, *height, decimal_separator_));
  }
}

void ProportionalLayout::ResizeControls(platform::Window& form) const {
  if (base_scale_width_ == 0 || base_scale_height_ == 0) return;
  const double horizontal = static_cast<double>(form.ScaleWidth()) / base_scale_width_;
  const double vertical = static_cast<double>(form.ScaleHeight()) / base_scale_height_;
  for (platform::Control* control : form.Controls()) {
    const LayoutFields fields = ParseLayoutRecord(control->Tag(), decimal_separator_);
    // A control that cannot move (a timer, a menu entry) just stays as it is.
    control->Move(fields.left * horizontal, fields.top * vertical, fields.width * horizontal,
                  fields.height * vertical);
  }
}

void Form_Resize(platform::Window& form, const ProportionalLayout& layout) {
  if (form.State() == platform::WindowState::kMinimized) return;
  if (form.Width() < kMinimumOuterWidth) {
    form.SetWidth(kMinimumOuterWidth);
    return;
  }
  layout.ResizeControls(form);
}

bool MakeRoomForGutter(platform::PictureBox& gutter, platform::Control& editor, int needed) {
  const int client = gutter.ClientRect().right;
  const auto gutter_left = gutter.Left(), gutter_top = gutter.Top();
  const auto gutter_width = gutter.Width(), gutter_height = gutter.Height();
  const auto editor_left = editor.Left(), editor_top = editor.Top();
  const auto editor_width = editor.Width(), editor_height = editor.Height();
  if (needed <= client || client <= 0 || !gutter_width || !editor_width || !editor_left) {
    return false;
  }
  const double twips_per_pixel = static_cast<double>(*gutter_width) / client;
  const double room = std::min((needed - client) * twips_per_pixel, 0.75 * *editor_width);
  if (room <= 0) return false;
  gutter.Move(*gutter_left, *gutter_top, *gutter_width + room, *gutter_height);
  editor.Move(*editor_left + room, *editor_top, *editor_width - room, *editor_height);
  return true;
}

}  // namespace tambrel::main_window
