#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture_box.h"

namespace tambrel::gutter {

// The two colours a number can take.
enum class NumberColour {
  kOutsideSelection,  // button shadow
  kInSelection,       // window text
};

// What the painter reads before it draws, all in pixels and 0-based display rows.
struct GutterInputs {
  std::int32_t h = 0;  // row height
  std::int32_t N = 0;  // number of rows in the editor
  std::int32_t S = 0;  // first selected row
  std::int32_t E = 0;  // last selected row
  std::int32_t F = 0;  // first visible row
  std::int32_t W = 0;  // gutter client width
  std::int32_t H = 0;  // gutter client height
  // Where the first visible row's top lies in the gutter, so that the numbers stand level with
  // the editor's rows (its top margin and scroll offset). Zero puts row F at the very top.
  std::int32_t first_row_top = 0;

  friend bool operator==(const GutterInputs&, const GutterInputs&) = default;
};

struct GutterRow {
  std::u16string text;
  platform::PixelRect rect;
  NumberColour colour = NumberColour::kOutsideSelection;

  friend bool operator==(const GutterRow&, const GutterRow&) = default;
};

// A 1-pixel vertical segment from (x, top) down to, but not including, (x, bottom).
struct GutterSeparator {
  int x = 0;
  int top = 0;
  int bottom = 0;

  friend bool operator==(const GutterSeparator&, const GutterSeparator&) = default;
};

// Everything one repaint draws, in drawing order: background, rows, separator.
struct GutterPicture {
  platform::PixelRect background;
  std::vector<GutterRow> rows;
  GutterSeparator separator;
};

inline constexpr int kNumberMargin = 2;

// Rows after the first are drawn only while they fit whole; the first always is.
GutterPicture PaintGutter(const GutterInputs& in);

// The client width at which a number this many pixels wide fits whole: the margin on each side
// and a pixel of air, so that a number never touches the edge where a cut one would.
constexpr int GutterWidthFor(int number_width) { return number_width + 2 * kNumberMargin + 1; }

// One past the last row a repaint can number from row F: callers use it to bound how many
// rows they need counted. Always greater than F.
std::int32_t RowLimit(std::int32_t h, std::int32_t F, std::int32_t H, std::int32_t first_row_top);

}  // namespace tambrel::gutter
