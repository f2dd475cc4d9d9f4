#include <cstdint>
#include <cstdio>

#include "platform/files/files.h"

namespace tambrel::platform::files {

std::filesystem::path TemporarySaveName(const std::filesystem::path& target) {
  // A hash of the target's own name keeps the temporary name short enough for any file system,
  // and the same for every save of that document, so one save takes over what a killed one left.
  const std::filesystem::path name = target.filename();
  std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
  for (const auto unit : name.native()) {
    hash = (hash ^ static_cast<std::uint64_t>(unit)) * 1099511628211ull;
  }
  char temporary[48];
  std::snprintf(temporary, sizeof temporary, ".tambrel-save-%016llx.tmp",
                static_cast<unsigned long long>(hash));
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  return folder / temporary;
}

}  // namespace tambrel::platform::files
