#pragma once

#include <filesystem>

namespace tambrel::platform::files {

// True exactly when an ordinary file exists at the path: not a folder or a device, and not a
// hidden file (on Windows one with the hidden attribute, elsewhere one whose name starts with a
// dot). A link counts as what it points to.
bool OrdinaryFileExists(const std::filesystem::path& path);

}  // namespace tambrel::platform::files
