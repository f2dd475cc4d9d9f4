#pragma once

#include <string>
#include <string_view>

namespace tambrel::editor {

// Text from outside (typed, pasted, dropped, committed by an input method) with every line break
// (CR LF, LF or CR) made `line_break`: lines the user adds end the way the document's do.
std::u16string WithLineBreaks(std::u16string_view text, std::u16string_view line_break);

// Whether a text needs screen order to move through: it holds a strong right-to-left character.
bool HasRightToLeft(std::u16string_view text);

}  // namespace tambrel::editor
