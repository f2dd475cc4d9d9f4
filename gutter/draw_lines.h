#pragma once

#include "platform/edit_box.h"
#include "platform/picture_box.h"

namespace tambrel::gutter {

// Paints the line-number gutter beside the editor: the number of every visible display row,
// the rows of the caret or selection in the strong colour, and the separator at the right.
// Answers the client width at which every number it drew fits whole; a gutter narrower than that
// cut some off at the left.
int DrawLines(platform::PictureBox& picTo, platform::EditBox& text1);

}  // namespace tambrel::gutter
