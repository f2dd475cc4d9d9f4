#include "gutter/gutter_painter.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace tambrel::gutter {

namespace {
std::u16string DecimalDigits(std::int64_t value) {
  const std::string narrow = std::to_string(value);
  return std::u16string(narrow.begin(), narrow.end());
}
}  // namespace

GutterPicture PaintGutter(const GutterInputs& in) {
  GutterPicture picture;
  picture.background = platform::PixelRect{0, 0, in.W, in.H};

  platform::PixelRect rect{kNumberMargin, in.first_row_top, in.W - kNumberMargin,
                           in.first_row_top + in.h};
  // 64-bit so that a row index near the 32-bit limit cannot wrap round.
  std::int64_t i = in.F;
  for (;;) {
    const bool selected = in.S <= i && i <= in.E;
    picture.rows.push_back(
        GutterRow{DecimalDigits(i + 1), rect,
                  selected ? NumberColour::kInSelection : NumberColour::kOutsideSelection});
    ++i;
    rect.top += in.h;
    rect.bottom += in.h;
    if (i + 1 > in.N || rect.bottom > in.H) break;
    // A non-positive height would never leave the gutter; one row is all it can show.
    if (in.h <= 0) break;
  }

  const int x = (in.W - kNumberMargin) + 1;
  picture.separator = GutterSeparator{x, 0, in.H};
  return picture;
}

std::int32_t RowLimit(std::int32_t h, std::int32_t F, std::int32_t H, std::int32_t first_row_top) {
  std::int64_t whole_rows = 1;
  if (h > 0) whole_rows = std::max<std::int64_t>(1, (std::int64_t{H} - first_row_top) / h);
  const std::int64_t limit = std::int64_t{F} + whole_rows;
  return static_cast<std::int32_t>(std::min<std::int64_t>(limit, INT32_MAX));
}

}  // namespace tambrel::gutter
