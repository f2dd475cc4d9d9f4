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
#include <sys/stat.h>
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

Result<std::uint64_t> SharedFileReader::Size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size)) {
    return FileFailure(u"无法读取文件", path_, Win32Reason(::GetLastError()));
  }
  return static_cast<std::uint64_t>(size.QuadPart);
}

Result<std::size_t> SharedFileReader::ReadAt(std::uint64_t offset, char* buffer,
                                             std::size_t size) const {
  std::size_t filled = 0;
  while (filled < size) {
    // Each call names its place, so threads reading at once never rely on the handle's own.
    OVERLAPPED at{};
    const std::uint64_t from = offset + filled;
    at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - filled, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer + filled, chunk, &read, &at)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      return FileFailure(u"无法读取文件", path_, Win32Reason(error));
    }
    if (read == 0) break;
    filled += read;
  }
  return filled;
}

#else

Result<SharedFileReader> SharedFileReader::Open(const std::filesystem::path& path) {
  // O_NONBLOCK keeps a pipe put where a file was from hanging the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

Result<std::uint64_t> SharedFileReader::Size() const {
  struct stat info;
  if (::fstat(static_cast<int>(handle_), &info) != 0) {
    return FileFailure(u"无法读取文件", path_, ErrnoReason(errno));
  }
  return static_cast<std::uint64_t>(info.st_size);
}

Result<std::size_t> SharedFileReader::ReadAt(std::uint64_t offset, char* buffer,
                                             std::size_t size) const {
  std::size_t filled = 0;
  while (filled < size) {
    const ssize_t count = ::pread(static_cast<int>(handle_), buffer + filled, size - filled,
                                  static_cast<off_t>(offset + filled));
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法读取文件", path_, ErrnoReason(errno));
    }
    filled += static_cast<std::size_t>(count);
  }
  return filled;
}

#endif

}  // namespace tambrel::platform::files
