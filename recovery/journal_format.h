#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_identity.h"

namespace tambrel::recovery {

// What the unsaved text was made from: nothing (a new document), or a file as it was when it was
// opened or last saved.
struct JournalBase {
  std::u16string path;  // empty: no file
  std::optional<platform::files::FileIdentity> identity;

  bool operator==(const JournalBase&) const = default;
};

// One change of the text: `removed` units at `position` gave way to `inserted`.
struct JournalEdit {
  std::uint64_t position = 0;
  std::uint64_t removed = 0;
  std::u16string inserted;
  std::int64_t unix_ms = 0;  // when it was made

  bool operator==(const JournalEdit&) const = default;
};

// A record as read back: its base and the edits whose entries came through whole, in order.
struct JournalContents {
  JournalBase base;
  std::int64_t started_unix_ms = 0;
  std::vector<JournalEdit> edits;
  // Bytes after the last whole entry: a write cut off by the end of the program, or damage.
  bool torn = false;
};

// The bytes of a record: a header, then entries, each with its length and a CRC-32 of its bytes,
// so that a reader stops at the first entry that did not reach the disk whole.
std::string EncodeHeader(const JournalBase& base, std::int64_t started_unix_ms);
std::string EncodeEdit(const JournalEdit& edit);
// nullopt when the bytes are not a record or its header is damaged.
std::optional<JournalContents> DecodeJournal(std::string_view bytes);

}  // namespace tambrel::recovery
