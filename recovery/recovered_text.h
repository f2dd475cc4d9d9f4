#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/line_breaks.h"
#include "platform/result.h"
#include "recovery/journal_format.h"
#include "text/text_buffer.h"
#include "text/units.h"

namespace tambrel::recovery {

// Records left by instances of the program that ended without saving or giving up their text,
// newest first. Records another running instance is writing are not among them; records that
// hold no edit, and copies whose record is gone, are removed on the way.
std::vector<std::filesystem::path> AbandonedRecords(const std::filesystem::path& folder);

// Where the recovered text came from.
enum class RecoveredFrom {
  kUnchangedFile,  // the base file, as it still is: the text belongs to it
  kCopyOfFile,     // the file changed since; the copy kept of it served as the base
  kNewDocument,    // no file: the edits alone
};

// The unsaved text of a record, as of its last edit that reached the disk whole.
struct RecoveredText {
  text::TextBuffer text;
  document::LineBreak line_break = document::LineBreak::kCrLf;  // the one the base uses most
  std::size_t characters = 0;  // as the user counts them: a surrogate pair is one
  RecoveredFrom from = RecoveredFrom::kNewDocument;
  std::u16string path;  // the base file's name; empty for a new document
  std::int64_t last_edit_unix_ms = 0;
  std::vector<JournalEdit> edits;  // those that went into the text
};

// Reads the record and applies its edits to its base. Fails when the record is not one, or when
// the base file changed and no copy of it was kept.
platform::Result<RecoveredText> RecoverText(const std::filesystem::path& record);

// The text after the edits, in order, each on the text the one before left; an edit that does not
// fit the text (damage the checksums missed) ends the replay there. `applied` counts the edits
// that went in.
text::TextBuffer ReplayEdits(text::TextBuffer text, const std::vector<JournalEdit>& edits,
                             std::size_t* applied = nullptr);

// Removes a record and the copy of its base.
void RemoveRecord(const std::filesystem::path& record);

}  // namespace tambrel::recovery
