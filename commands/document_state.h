#pragma once

#include <cstddef>
#include <string>

namespace tambrel::commands {

// What the window knows about its document besides the editor's text.
struct DocumentState {
  // True after every load and save; the first change of the text clears it.
  bool Saved = false;
  // The path from the command line or the last drop.
  std::u16string FilePath;
  // Characters of the loaded text that stand for bytes the reading could not decode but that
  // look like any other character ("?" in code page 936): the next save cannot give the bytes
  // back. Cleared by the next load or save.
  std::size_t unreadable_characters = 0;
};

// Whether a save command wrote the file.
enum class SaveOutcome { kSaved, kNotSaved };

// Whether a command that gives up the editor's text may go on.
enum class Proceed { kGoOn, kStop };

}  // namespace tambrel::commands
