#include "platform/files/file_identity.h"

#include "platform/files/file_messages.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#else
#include <sys/stat.h>

#include <cerrno>
#endif

namespace tambrel::platform::files {

#ifdef _WIN32

Result<std::optional<FileIdentity>> IdentityOf(const std::filesystem::path& path) {
  // No access asked for: the identity of a file another program holds open is still readable.
  const HANDLE file =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return std::optional<FileIdentity>();
    }
    return FileFailure(u"无法访问文件", path, Win32Reason(error));
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool read = ::GetFileInformationByHandle(file, &info) != 0;
  const DWORD error = ::GetLastError();
  ::CloseHandle(file);
  if (!read) return FileFailure(u"无法访问文件", path, Win32Reason(error));
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return FileFailure(u"无法访问文件", path, u"这是一个文件夹");
  }
  FileIdentity identity;
  identity.device = info.dwVolumeSerialNumber;
  identity.file_id = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  const std::uint64_t ticks =
      (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  identity.modified_ns = static_cast<std::int64_t>(ticks) * 100;  // since 1601, in 100 ns steps
  return std::optional<FileIdentity>(identity);
}

#else

Result<std::optional<FileIdentity>> IdentityOf(const std::filesystem::path& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::optional<FileIdentity>();
    return FileFailure(u"无法访问文件", path, ErrnoReason(errno));
  }
  if (S_ISDIR(info.st_mode)) return FileFailure(u"无法访问文件", path, u"这是一个文件夹");
  FileIdentity identity;
  identity.device = static_cast<std::uint64_t>(info.st_dev);
  identity.file_id = static_cast<std::uint64_t>(info.st_ino);
  identity.size = static_cast<std::uint64_t>(info.st_size);
  identity.modified_ns =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return std::optional<FileIdentity>(identity);
}

#endif

}  // namespace tambrel::platform::files
