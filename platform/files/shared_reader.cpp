#include "platform/files/shared_reader.h"

#include <algorithm>
#include <utility>

#include "platform/files/file_messages.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tambrel::platform::files {

SharedFileReader::SharedFileReader(SharedFileReader&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}

#ifdef _WIN32

Result<SharedFileReader> SharedFileReader::Open(const std::filesystem::path& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return FileFailure(u"无法打开文件", path, Win32Reason(::GetLastError()));
  }
  return SharedFileReader(path, reinterpret_cast<std::intptr_t>(file));
}

SharedFileReader::~SharedFileReader() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

Result<std::size_t> SharedFileReader::Read(char* buffer, std::size_t size) {
  DWORD read = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, chunk, &read, nullptr)) {
    return FileFailure(u"无法读取文件", path_, Win32Reason(::GetLastError()));
  }
  return static_cast<std::size_t>(read);
}

#else

Result<SharedFileReader> SharedFileReader::Open(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileFailure(u"无法打开文件", path, ErrnoReason(errno));
  return SharedFileReader(path, fd);
}

SharedFileReader::~SharedFileReader() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

Result<std::size_t> SharedFileReader::Read(char* buffer, std::size_t size) {
  while (true) {
    const ssize_t count = ::read(static_cast<int>(handle_), buffer, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return FileFailure(u"无法读取文件", path_, ErrnoReason(errno));
  }
}

#endif

}  // namespace tambrel::platform::files
