#pragma once

#include <string>

namespace tambrel::document {

// What the window knows about its document besides the editor's text.
struct DocumentState {
  // True after every load and save; the first change of the text clears it.
  bool Saved = false;
  // The path from the command line or the last drop.
  std::u16string FilePath;
};

// Whether a save command wrote the file.
enum class SaveOutcome { kSaved, kNotSaved };

}  // namespace tambrel::document
