#include "platform/win32/text_view/uniscribe_row_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "text/clusters.h"

namespace tambrel::platform::win32 {

UniscribeRowGeometry::UniscribeRowGeometry(std::shared_ptr<const MeasuringFont> font)
    : font_(std::move(font)) {}

void UniscribeRowGeometry::SetFont(std::shared_ptr<const MeasuringFont> font) {
  Forget();
  font_ = std::move(font);
}

void UniscribeRowGeometry::SetWidth(float width) {
  if (width == width_) return;
  width_ = width;
  Forget();
}

void UniscribeRowGeometry::Forget() {
  last_.reset();
  last_text_.clear();
  last_stops_.clear();
}

ShapedRow UniscribeRowGeometry::Shape(HDC dc, const editor::RowText& row) const {
  return ShapedRow(dc, row.text, row.direction, font_->TabStop());
}

int UniscribeRowGeometry::RowLeft(const ShapedRow& shaped, editor::Direction direction) const {
  if (direction == editor::Direction::kLeftToRight) return 0;
  return static_cast<int>(std::lround(width_)) - shaped.Width();
}

const ShapedRow& UniscribeRowGeometry::Shaped(const editor::RowText& row) {
  if (!last_ || last_direction_ != row.direction || last_text_ != row.text) {
    last_.reset();
    last_stops_.clear();
    last_text_.assign(row.text);
    last_direction_ = row.direction;
    last_.emplace(Shape(font_->Dc(), editor::RowText{last_text_, row.direction}));
  }
  return *last_;
}

float UniscribeRowGeometry::XOfOffset(const editor::RowText& row, std::size_t offset) {
  const ShapedRow& shaped = Shaped(row);
  return static_cast<float>(RowLeft(shaped, row.direction) +
                            shaped.CaretX(std::min(offset, row.text.size())));
}

std::size_t UniscribeRowGeometry::OffsetAtX(const editor::RowText& row, float x) {
  const ShapedRow& shaped = Shaped(row);
  const std::size_t length = row.text.size();
  if (length == 0) return 0;
  const int at = static_cast<int>(std::floor(x)) - RowLeft(shaped, row.direction);
  const std::optional<std::size_t> unit =
      at >= 0 && at < shaped.Width() ? shaped.UnitAt(at) : std::nullopt;
  if (!unit) {
    // Beside the row: whichever end of it is nearer.
    return std::abs(shaped.CaretX(0) - at) <= std::abs(shaped.CaretX(length) - at) ? 0 : length;
  }
  // The nearer edge of the character under the point, a whole cluster as the editor counts one.
  const std::size_t end = text::NextClusterBoundary(row.text, *unit);
  const std::size_t start = text::PreviousClusterBoundary(row.text, end);
  const int leading = shaped.EdgeX(start, false);
  const int trailing = shaped.EdgeX(end - 1, true);
  return std::abs(at - leading) <= std::abs(at - trailing) ? start : end;
}

const std::vector<std::pair<int, std::size_t>>& UniscribeRowGeometry::VisualStops(
    const editor::RowText& row) {
  const ShapedRow& shaped = Shaped(row);
  if (!last_stops_.empty()) return last_stops_;
  for (std::size_t at = 0;; at = text::NextClusterBoundary(row.text, at)) {
    last_stops_.emplace_back(shaped.CaretX(at), at);
    if (at >= row.text.size()) break;
  }
  // Positions that share a place on screen follow each other in reading order.
  const bool right_to_left = row.direction == editor::Direction::kRightToLeft;
  std::stable_sort(last_stops_.begin(), last_stops_.end(), [right_to_left](auto a, auto b) {
    if (a.first != b.first) return a.first < b.first;
    return right_to_left ? a.second > b.second : a.second < b.second;
  });
  return last_stops_;
}

std::optional<std::size_t> UniscribeRowGeometry::StepOnScreen(const editor::RowText& row,
                                                              std::size_t offset,
                                                              editor::ScreenSide side) {
  const std::vector<std::pair<int, std::size_t>>& stops = VisualStops(row);
  const auto here = std::find_if(stops.begin(), stops.end(),
                                 [offset](const auto& stop) { return stop.second == offset; });
  if (here == stops.end()) return std::nullopt;
  if (side == editor::ScreenSide::kLeft) {
    if (here == stops.begin()) return std::nullopt;
    return std::prev(here)->second;
  }
  if (std::next(here) == stops.end()) return std::nullopt;
  return std::next(here)->second;
}

}  // namespace tambrel::platform::win32
