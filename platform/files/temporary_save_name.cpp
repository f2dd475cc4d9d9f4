#include <cstdint>
#include <cstdio>
#include <string_view>

#include "platform/files/files.h"

namespace tambrel::platform::files {
namespace {

constexpr std::string_view kPrefix = ".tambrel-save-";
constexpr std::string_view kSuffix = ".tmp";

// Compares the ASCII of `ascii` with the units of a native name, whatever their width.
template <typename Char>
bool SameUnits(std::basic_string_view<Char> name, std::string_view ascii) {
  if (name.size() != ascii.size()) return false;
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    if (name[i] != static_cast<Char>(ascii[i])) return false;
  }
  return true;
}

}  // namespace

std::filesystem::path TemporarySaveName(const std::filesystem::path& target, unsigned attempt) {
  // A hash of the target's own name keeps the temporary name short enough for any file system.
  const std::filesystem::path name = target.filename();
  std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
  for (const auto unit : name.native()) {
    hash = (hash ^ static_cast<std::uint64_t>(unit)) * 1099511628211ull;
  }
  char temporary[64];
  if (attempt == 0) {
    std::snprintf(temporary, sizeof temporary, ".tambrel-save-%016llx.tmp",
                  static_cast<unsigned long long>(hash));
  } else {
    std::snprintf(temporary, sizeof temporary, ".tambrel-save-%016llx-%u.tmp",
                  static_cast<unsigned long long>(hash), attempt);
  }
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  return folder / temporary;
}

bool IsTemporarySaveName(const std::filesystem::path& file_name) {
  using Char = std::filesystem::path::value_type;
  const std::basic_string_view<Char> name = file_name.native();
  if (name.size() <= kPrefix.size() + kSuffix.size()) return false;
  return SameUnits(name.substr(0, kPrefix.size()), kPrefix) &&
         SameUnits(name.substr(name.size() - kSuffix.size()), kSuffix);
}

}  // namespace tambrel::platform::files
