#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/row_geometry.h"
#include "platform/win32/text_view/measuring_font.h"
#include "platform/win32/text_view/shaped_row.h"

namespace tambrel::platform::win32 {

// Where characters fall on a row, as Uniscribe shapes it in the editor's font: tabs at the
// editor's stops, characters the font lacks drawn in a font that has them, right-to-left runs in
// the order they are seen, and the rows of a right-to-left paragraph against the right edge of
// the wrapping width. The last row asked about stays shaped, since the editor asks several
// questions of one row in a row.
class UniscribeRowGeometry final : public editor::RowGeometry {
 public:
  explicit UniscribeRowGeometry(std::shared_ptr<const MeasuringFont> font);

  void SetFont(std::shared_ptr<const MeasuringFont> font);
  const MeasuringFont& Font() const { return *font_; }
  const std::shared_ptr<const MeasuringFont>& SharedFont() const { return font_; }
  // The width rows are wrapped at, which a right-to-left row is aligned within.
  void SetWidth(float width);
  float Width() const { return width_; }

  float XOfOffset(const editor::RowText& row, std::size_t offset) override;
  std::size_t OffsetAtX(const editor::RowText& row, float x) override;
  std::optional<std::size_t> StepOnScreen(const editor::RowText& row, std::size_t offset,
                                          editor::ScreenSide side) override;

  // A row shaped for drawing into `dc`, which must hold the editor's font.
  ShapedRow Shape(HDC dc, const editor::RowText& row) const;
  // Where a shaped row's left edge goes in the text area.
  int RowLeft(const ShapedRow& shaped, editor::Direction direction) const;

 private:
  const ShapedRow& Shaped(const editor::RowText& row);
  // The row's caret positions in the order they stand on screen, left to right.
  const std::vector<std::pair<int, std::size_t>>& VisualStops(const editor::RowText& row);
  void Forget();

  std::shared_ptr<const MeasuringFont> font_;
  float width_ = 1;
  std::optional<ShapedRow> last_;
  std::u16string last_text_;
  editor::Direction last_direction_ = editor::Direction::kLeftToRight;
  std::vector<std::pair<int, std::size_t>> last_stops_;
};

}  // namespace tambrel::platform::win32
