#pragma once

#include <optional>

#include "gutter/gutter_painter.h"
#include "platform/edit_box.h"
#include "platform/ole_color.h"
#include "platform/picture_box.h"

namespace tambrel::gutter {

// Paints the line-number gutter beside the editor: the number of every visible display row,
// the rows of the caret or selection in the strong colour, and the separator at the right, in
// the desktop's colours. Answers the client width at which every number it drew fits whole; a
// gutter narrower than that cut some off at the left.
int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1,
              const platform::SystemColors& desktop);

// What a gutter shows after its last paint: the editor's rows as they were read, or nothing
// while the rows above the view were uncounted.
struct ShownGutter {
  const platform::PictureBox* box = nullptr;  // none until the first paint
  GutterInputs geometry;
  std::optional<GutterInputs> numbers;
  int needed_width = 0;
};

// DrawLines, which draws only when the picture differs from the one `shown` says the box has:
// the several triggers of one keystroke (the change, the view moving, the key's release) paint
// once, and a tick that finds nothing new paints nothing.
int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1,
              const platform::SystemColors& desktop, ShownGutter& shown);

}  // namespace tambrel::gutter
