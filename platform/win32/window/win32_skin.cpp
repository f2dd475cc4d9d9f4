#include "platform/win32/window/win32_skin.h"

#include "platform/files/files.h"

namespace tambrel::platform::win32 {
namespace {

// A style sheet is a few kilobytes; a file far larger is not a skin.
constexpr std::uint64_t kLargestSkin = 16 * 1024 * 1024;

}  // namespace

std::int32_t AttachSkin(const std::filesystem::path& skin_file) {
  const auto contents = files::ReadWholeFile(skin_file, kLargestSkin, files::MissingFile::kFail);
  return contents.ok() ? 0 : 1;
}

}  // namespace tambrel::platform::win32
