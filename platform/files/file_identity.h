#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/result.h"

namespace tambrel::platform::files {

// What tells one state of a file from another without reading it: which file the name stands for
// (a file put in its place by a rename is another one), how long it is and when it was last
// written. Two equal identities are, for all a user can tell, the same content.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file_id = 0;  // the inode, or Windows' file index
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;  // since the system's epoch

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at path, links followed; nullopt when nothing is there. Every other
// failure (no permission, a folder) comes back with a reason in Chinese.
Result<std::optional<FileIdentity>> IdentityOf(const std::filesystem::path& path);

}  // namespace tambrel::platform::files
