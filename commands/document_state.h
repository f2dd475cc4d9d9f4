#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/files/file_identity.h"

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
  // The current document's file as this program last saw it: when it was opened (taken before
  // the reading, so a change made while it was read still counts) or last saved. nullopt while
  // the document has no file, or none that could be looked at. Another program that writes,
  // replaces or removes the file makes the file on disk differ from this.
  std::optional<platform::files::FileIdentity> known_file;
};

// Whether a save command wrote the file.
enum class SaveOutcome { kSaved, kNotSaved };

// Whether a command that gives up the editor's text may go on.
enum class Proceed { kGoOn, kStop };

}  // namespace tambrel::commands
