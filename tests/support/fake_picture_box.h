#pragma once

#include <string>
#include <vector>

#include "platform/ole_color.h"
#include "platform/picture_box.h"
#include "platform/window_definition.h"
#include "tests/support/fake_controls.h"

namespace tambrel::testing {

// A picture box whose image is an array of pixels in memory. Text is drawn in the fake face (see
// GlyphBoxOf): each character a solid box one pixel inside its glyph cell, so that a test can
// find a number's rows and count its digits from the pixels alone.
class FakePictureBox final : public platform::PictureBox {
 public:
  FakePictureBox(const platform::ControlDefinition& definition,
                 const platform::SystemColors& colors);

  std::optional<float> Left() const override { return placement_.Left(); }
  std::optional<float> Top() const override { return placement_.Top(); }
  std::optional<float> Width() const override { return placement_.Width(); }
  std::optional<float> Height() const override { return placement_.Height(); }
  bool Move(double left, double top, double width, double height) override;

  platform::FontChoice Font() const override { return font_; }
  void SetFont(const platform::FontChoice& font) override { font_ = font; }
  platform::OleColor BackColor() const override { return back_color_; }
  platform::OleColor ForeColor() const override { return fore_color_; }

  platform::PixelRect ClientRect() const override;
  platform::PixelRect MeasureText(std::u16string_view text) const override;
  void FillRect(const platform::PixelRect& rect, platform::ColorRef color) override;
  void DrawTextRight(std::u16string_view text, const platform::PixelRect& rect,
                     platform::ColorRef color) override;
  void DrawVerticalLine(int x, int top, int bottom, platform::ColorRef color) override;
  void Refresh() override { ++refreshes_; }
  platform::ColorRef Point(int x, int y) const override;

  // How often the drawing was brought to the screen: once per picture drawn.
  int Refreshes() const { return refreshes_; }

 private:
  // Keeps what was drawn where the new size still has room, like a persistent image.
  void FitImage(int width, int height);
  // Fills the part of rect that lies inside clip and the image.
  void Fill(platform::PixelRect rect, const platform::PixelRect& clip, platform::ColorRef color);

  PixelPlacement placement_;
  platform::OleColor back_color_;
  platform::OleColor fore_color_;
  platform::ColorRef background_;
  platform::FontChoice font_;
  int image_width_ = 0;
  int image_height_ = 0;
  std::vector<platform::ColorRef> pixels_;
  int refreshes_ = 0;
};

}  // namespace tambrel::testing
