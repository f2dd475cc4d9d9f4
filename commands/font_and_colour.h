#pragma once

#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/picture_box.h"

namespace tambrel::commands {

// Lets the user choose the editor's face, size, bold and italic; the gutter takes the same
// font, so its rows follow the editor's at its next repaint. A cancelled dialog re-applies the
// editor's own values.
void ZtB_Click(platform::EditBox& Text1, platform::PictureBox& picLines,
               platform::CommonDialog& CommonDialog1);

// Lets the user choose the editor's text colour; a cancelled dialog re-applies the last colour.
void ZtC_Click(platform::EditBox& Text1, platform::CommonDialog& CommonDialog1);

}  // namespace tambrel::commands
