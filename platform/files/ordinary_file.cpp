#include "platform/files/ordinary_file.h"

#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#endif

namespace tambrel::platform::files {

namespace {
bool IsHidden(const std::filesystem::path& path) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
#else
  const std::filesystem::path::string_type name = path.filename().native();
  return !name.empty() && name.front() == '.';
#endif
}
}  // namespace

bool OrdinaryFileExists(const std::filesystem::path& path) {
  // Anything that cannot be looked at (no permission on the folder, say) is no file to use.
  std::error_code unreadable;
  return std::filesystem::is_regular_file(path, unreadable) && !IsHidden(path);
}

}  // namespace tambrel::platform::files
