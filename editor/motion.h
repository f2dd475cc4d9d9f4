#pragma once

namespace tambrel::editor {

// The ways the caret moves from the keyboard.
enum class Motion {
  kLeft,           // one character to the left on screen
  kRight,          // one character to the right on screen
  kWordLeft,       // to the start of this or the previous word
  kWordRight,      // to the start of the next word
  kUp,             // one display row up, keeping the column
  kDown,           // one display row down, keeping the column
  kPageUp,         // a page up, and the view with it
  kPageDown,       // a page down, and the view with it
  kRowStart,       // Home: the start of the display row
  kRowEnd,         // End: the end of the display row
  kDocumentStart,  // Ctrl+Home
  kDocumentEnd,    // Ctrl+End
};

}  // namespace tambrel::editor
