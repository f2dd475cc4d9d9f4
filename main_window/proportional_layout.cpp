#include "main_window/proportional_layout.h"

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

}  // namespace tambrel::main_window
