#pragma once

#include <string_view>

#include "platform/control.h"
#include "platform/font_choice.h"
#include "platform/ole_color.h"

namespace tambrel::platform {

// A rectangle in pixels of a client area; right and bottom are exclusive.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A box the program draws on. It keeps what was drawn (an image behind the window), so covering
// and uncovering it loses nothing; Refresh brings the image to the screen.
class PictureBox : public Control {
 public:
  using Control::Control;

  virtual FontChoice Font() const = 0;
  virtual void SetFont(const FontChoice& font) = 0;
  virtual OleColor BackColor() const = 0;
  virtual OleColor ForeColor() const = 0;

  // The client area: left = top = 0.
  virtual PixelRect ClientRect() const = 0;
  // The extent of the text in the box's font, as a rectangle anchored at (0, 0).
  virtual PixelRect MeasureText(std::u16string_view text) const = 0;
  virtual void FillRect(const PixelRect& rect, ColorRef color) = 0;
  // Draws the text against the rectangle's right edge and at its top, clipped to it.
  virtual void DrawTextRight(std::u16string_view text, const PixelRect& rect, ColorRef color) = 0;
  // A 1-pixel solid line from (x, top) down to, but not including, (x, bottom).
  virtual void DrawVerticalLine(int x, int top, int bottom, ColorRef color) = 0;
  virtual void Refresh() = 0;
  // The colour of the drawn image at a pixel of the client area; -1 outside it.
  virtual ColorRef Point(int /*x*/, int /*y*/) const { return kUntranslatableColor; }
};

}  // namespace tambrel::platform
