#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// Lets a test make the replacement fail at its most delicate moment.
struct ReplaceHooks {
  // Runs after the new content is safely on disk under the temporary name and before it takes
  // the target's name; a failure here aborts the replacement.
  std::function<Status()> before_rename;
};

// Makes the file at path hold exactly `contents`, so that at every moment the path holds either
// the old content or the new, never a truncated or missing file. The new content is written to a
// temporary file in the same folder, flushed to disk and renamed over the target. An existing
// target keeps its permission bits; a symbolic link keeps pointing where it pointed, and the file
// it points to is the one replaced. On failure the target is untouched and the temporary file is
// gone. A target that the user may not write to is refused rather than replaced.
Status ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                             const ReplaceHooks& hooks = {});

}  // namespace tambrel::platform::files
