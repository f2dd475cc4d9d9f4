#pragma once

#include <cstdint>

#include "platform/picture_box.h"
#include "platform/window.h"

namespace tambrel::main_window {

// Keeps every control in proportion to the window. The design layout is recorded once, at
// load; every later layout is computed afresh from that record, so resizing back and forth
// never accumulates rounding error.
class ProportionalLayout {
 public:
  explicit ProportionalLayout(char16_t decimal_separator) : decimal_separator_(decimal_separator) {}

  // Records the window's client size as the bases and each control's geometry in its Tag.
  // Controls without geometry (timers, the common dialog, menu entries) keep their Tag.
  void StoreLayout(platform::Window& form);

  // Places every control from its record, scaled by the client size over the bases. Controls
  // that cannot move are skipped. Refuses to lay out (does nothing) while a base is 0.
  void ResizeControls(platform::Window& form) const;

  std::int32_t BaseScaleWidth() const { return base_scale_width_; }
  std::int32_t BaseScaleHeight() const { return base_scale_height_; }

 private:
  char16_t decimal_separator_;
  std::int32_t base_scale_width_ = 0;
  std::int32_t base_scale_height_ = 0;
};

// The window is never narrower than this, in twips of its outer width.
inline constexpr float kMinimumOuterWidth = 9120.0f;

// What the window does on every resize: nothing while minimised, snap back to the minimum
// width when narrower (the resize that follows lays out), otherwise lay out.
void Form_Resize(platform::Window& form, const ProportionalLayout& layout);

// Widens the gutter to `needed` pixels of client width, the editor at its right giving up as
// much, so that every number shows whole; nothing else moves, and the next layout puts both back
// in proportion. The editor keeps at least a quarter of its width. Answers whether anything moved.
bool MakeRoomForGutter(platform::PictureBox& gutter, platform::Control& editor, int needed);

}  // namespace tambrel::main_window
