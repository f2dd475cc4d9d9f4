#pragma once

#include <usp10.h>
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "editor/row_geometry.h"

namespace tambrel::platform::win32 {

// One row of text shaped by Uniscribe's ScriptString functions for the font selected into a
// device context: glyphs, fonts that stand in for characters the font lacks, tabs at the
// editor's stops, and the order of right-to-left runs. x counts from the row's own left edge;
// aligning the row is the caller's business. The analysis keeps the DC it was made with and
// draws into it, so the DC must outlive the row.
class ShapedRow {
 public:
  // `tab_stop` is the distance between tab stops in pixels.
  ShapedRow(HDC dc, std::u16string_view text, editor::Direction direction, int tab_stop);
  ~ShapedRow();
  ShapedRow(ShapedRow&& other) noexcept;
  ShapedRow& operator=(ShapedRow&& other) noexcept;
  ShapedRow(const ShapedRow&) = delete;
  ShapedRow& operator=(const ShapedRow&) = delete;

  std::size_t Length() const { return length_; }
  int Width() const { return width_; }

  // The leading or trailing edge of a unit: for a right-to-left character its leading edge is
  // its right one.
  int EdgeX(std::size_t unit, bool trailing) const;
  // Where the caret stands before the unit at `offset`, or after the last at the row's end.
  int CaretX(std::size_t offset) const;
  // The unit drawn under x, or nothing left or right of the row.
  std::optional<std::size_t> UnitAt(int x) const;

  // Draws the row with its left edge at x and its top at y, in the DC's text colour over what
  // is there, and [selection_start, selection_end) in the desktop's selection colours.
  void Draw(int x, int y, std::size_t selection_start, std::size_t selection_end) const;

 private:
  void Free();

  SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
  std::size_t length_ = 0;
  int width_ = 0;
};

}  // namespace tambrel::platform::win32
