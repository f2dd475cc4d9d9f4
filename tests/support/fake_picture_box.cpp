#include "tests/support/fake_picture_box.h"

#include <algorithm>

namespace tambrel::testing {

using platform::ColorRef;
using platform::PixelRect;

FakePictureBox::FakePictureBox(const platform::ControlDefinition& definition,
                               const platform::SystemColors& colors)
    : PictureBox(definition.name),
      placement_(definition.left, definition.top, definition.width, definition.height),
      back_color_(definition.back_color),
      fore_color_(definition.fore_color),
      background_(platform::TranslateColor(definition.back_color, colors)),
      font_(definition.font.value_or(platform::FontChoice{})) {
  FitImage(placement_.WidthPixels(), placement_.HeightPixels());
}

bool FakePictureBox::Move(double left, double top, double width, double height) {
  placement_.Move(left, top, width, height);
  FitImage(placement_.WidthPixels(), placement_.HeightPixels());
  return true;
}

void FakePictureBox::FitImage(int width, int height) {
  if (width == image_width_ && height == image_height_) return;
  std::vector<ColorRef> fitted(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                               background_);
  for (int y = 0; y < std::min(height, image_height_); ++y) {
    for (int x = 0; x < std::min(width, image_width_); ++x) {
      fitted[static_cast<std::size_t>(y * width + x)] =
          pixels_[static_cast<std::size_t>(y * image_width_ + x)];
    }
  }
  pixels_ = std::move(fitted);
  image_width_ = width;
  image_height_ = height;
}

PixelRect FakePictureBox::ClientRect() const {
  return PixelRect{0, 0, placement_.WidthPixels(), placement_.HeightPixels()};
}

PixelRect FakePictureBox::MeasureText(std::u16string_view text) const {
  const GlyphBox glyph = GlyphBoxOf(font_);
  return PixelRect{0, 0, static_cast<int>(text.size()) * glyph.width, glyph.height};
}

void FakePictureBox::Fill(PixelRect rect, const PixelRect& clip, ColorRef color) {
  // A colour that could not be translated draws nothing, as on a real device.
  if (color == platform::kUntranslatableColor) return;
  rect.left = std::max({rect.left, clip.left, 0});
  rect.top = std::max({rect.top, clip.top, 0});
  rect.right = std::min({rect.right, clip.right, image_width_});
  rect.bottom = std::min({rect.bottom, clip.bottom, image_height_});
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      pixels_[static_cast<std::size_t>(y * image_width_ + x)] = color;
    }
  }
}

void FakePictureBox::FillRect(const PixelRect& rect, ColorRef color) {
  Fill(rect, ClientRect(), color);
}

void FakePictureBox::DrawTextRight(std::u16string_view text, const PixelRect& rect,
                                   ColorRef color) {
  const GlyphBox glyph = GlyphBoxOf(font_);
  int x = rect.right - static_cast<int>(text.size()) * glyph.width;
  for (std::size_t i = 0; i < text.size(); ++i, x += glyph.width) {
    Fill(PixelRect{x + 1, rect.top + 1, x + glyph.width - 1, rect.top + glyph.height - 1}, rect,
         color);
  }
}

void FakePictureBox::DrawVerticalLine(int x, int top, int bottom, ColorRef color) {
  Fill(PixelRect{x, top, x + 1, bottom}, ClientRect(), color);
}

ColorRef FakePictureBox::Point(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_width_ || y >= image_height_) {
    return platform::kUntranslatableColor;
  }
  return pixels_[static_cast<std::size_t>(y * image_width_ + x)];
}

}  // namespace tambrel::testing
