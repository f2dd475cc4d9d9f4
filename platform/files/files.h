#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

// Whole-file reading and writing. Every failure comes back with a reason in Chinese that names
// the file; nothing here shows a message or retries.
namespace tambrel::platform::files {

// What reading does when the path names nothing.
enum class MissingFile { kFail, kCreateEmpty };

// All the bytes of a regular file. A folder, a device or a pipe is refused, and so is a file
// larger than max_bytes, before anything is allocated for it.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t max_bytes,
                                  MissingFile missing);

// Lets a test make the replacement fail at its most delicate moments.
struct ReplaceHooks {
  // Runs after the new content is safely on disk and before it takes the target's name; a
  // failure here aborts the replacement.
  std::function<Status()> before_rename;
  // Stands in for making the new name durable in its folder, after the rename.
  std::function<Status(const std::filesystem::path& folder)> sync_folder;
};

// A replacement that took place.
struct Replaced {
  // Set when the new name could not be made durable in its folder (the folder's sync failed):
  // the file holds the new content, but a power cut before the system writes the folder out
  // could bring the old one back.
  std::optional<Failure> folder_not_synced;
};

// Makes the file at path hold exactly `contents`, so that at every moment the path holds either
// the old content or the new, never a truncated or missing file. The new content is written to a
// file of its own in the same folder, flushed to disk and renamed over the target. Where the
// system allows, that file has no name until the rename, so a save killed on the way leaves
// nothing behind; elsewhere its name is TemporarySaveName(target), which the next save of the same
// document reuses. An existing target keeps its permission bits (set-user-ID and set-group-ID
// among them) and, where allowed, its owner; a symbolic link keeps pointing where it pointed, and
// the file it points to is the one replaced. On failure the target is untouched and nothing is
// left in the folder. A target that the user may not write to is refused rather than replaced.
Result<Replaced> ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                                       const ReplaceHooks& hooks = {});

// The name a save of target writes under before the rename, when it needs one: hidden, in the
// same folder, the same for every save of that target and short whatever the target's name.
std::filesystem::path TemporarySaveName(const std::filesystem::path& target);

}  // namespace tambrel::platform::files
