#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/direction.h"

namespace tambrel::editor {

// The direction a paragraph is written in, and so the edge its rows are aligned to.
using text::Direction;

// One display row as the window system lays it out: its units (no line break) and the direction
// of the paragraph it belongs to. Offsets count UTF-16 units from the row's start.
struct RowText {
  std::u16string_view text;
  Direction direction = Direction::kLeftToRight;
};

enum class ScreenSide { kLeft, kRight };

// What the editor asks of the window system about where things fall on a row. Each window system
// shapes text its own way (Qt's text layout, Uniscribe), so it alone can answer; the editor
// decides everything else. x is in pixels from the left edge of the text area, with the row
// aligned to its paragraph's direction within the width the rows are wrapped at.
class RowGeometry {
 public:
  virtual ~RowGeometry() = default;

  // Where the caret stands when it is at `offset`.
  virtual float XOfOffset(const RowText& row, std::size_t offset) = 0;
  // The caret position nearest to x.
  virtual std::size_t OffsetAtX(const RowText& row, float x) = 0;
  // The caret position one character to the left or right on screen, in text of mixed direction;
  // nothing at the row's edge on that side.
  virtual std::optional<std::size_t> StepOnScreen(const RowText& row, std::size_t offset,
                                                  ScreenSide side) = 0;
};

}  // namespace tambrel::editor
