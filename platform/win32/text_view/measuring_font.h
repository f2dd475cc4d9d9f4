#pragma once

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {

// The editor's font with a device context of its own that holds it selected, for measuring and
// shaping text away from any window. The row geometry and the advances the rows are wrapped with
// share one, so the font lives as long as either still needs it.
class MeasuringFont {
 public:
  explicit MeasuringFont(GdiObject<HFONT> font);
  MeasuringFont(const MeasuringFont&) = delete;
  MeasuringFont& operator=(const MeasuringFont&) = delete;

  HFONT Font() const { return font_.get(); }
  HDC Dc() const { return dc_.get(); }
  // The height of a row: the font's cell, ascent and descent.
  int RowHeight() const { return row_height_; }
  // The advance of a space, which tab stops are counted in.
  int SpaceAdvance() const { return space_advance_; }
  // The distance between tab stops, in pixels.
  int TabStop() const { return tab_stop_; }
  // The width of an average character, for a block caret at the end of a line.
  int AverageCharWidth() const { return average_char_width_; }

 private:
  GdiObject<HFONT> font_;
  MemoryDc dc_;
  SelectObjectScope selected_;
  int row_height_ = 16;
  int space_advance_ = 8;
  int tab_stop_ = 64;
  int average_char_width_ = 8;
};

}  // namespace tambrel::platform::win32
