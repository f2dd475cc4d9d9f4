#include "platform/files/record_file.h"

#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/files/file_messages.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tambrel::platform::files {

namespace fs = std::filesystem;

namespace {

// The folder's own creation failing is reported by the creation of the file inside it.
void CreateFolders(const fs::path& folder) {
  std::error_code ignored;
  fs::create_directories(folder, ignored);
}

}  // namespace

RecordFile::RecordFile(RecordFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

RecordFile::~RecordFile() { Close(); }

#ifdef _WIN32

std::optional<fs::path> UserStateFolder() {
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  if (local == nullptr || *local == 0) return std::nullopt;
  return fs::path(local) / L"Tambrel";
}

Result<RecordFile> RecordFile::Create(const fs::path& path) {
  CreateFolders(path.parent_path());
  // Others may read it, to tell it is here; none may write or delete it while we live.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return FileFailure(u"无法创建文件", path, Win32Reason(::GetLastError()));
  }
  return RecordFile(path, reinterpret_cast<std::intptr_t>(file));
}

Status RecordFile::Append(std::string_view bytes) {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
      return FileFailure(u"无法写入文件", path_, Win32Reason(::GetLastError()));
    }
    bytes.remove_prefix(written);
  }
  return Done{};
}

Status RecordFile::Sync() {
  if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(handle_))) {
    return FileFailure(u"无法把文件写入磁盘", path_, Win32Reason(::GetLastError()));
  }
  return Done{};
}

void RecordFile::Close() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, -1)));
}

void RecordFile::Remove() {
  if (handle_ == -1) return;
  // Deleted through our own handle, so that no other instance finds it unlocked for a moment.
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  const bool marked =
      ::SetFileInformationByHandle(reinterpret_cast<HANDLE>(handle_), FileDispositionInfo,
                                   &disposition, sizeof disposition) != 0;
  Close();
  if (!marked) ::DeleteFileW(path_.c_str());
}

bool RecordFileInUse(const fs::path& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
  ::CloseHandle(file);
  return false;
}

#else

std::optional<fs::path> UserStateFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
    return fs::path(state) / "tambrel";
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == 0) return std::nullopt;
  return fs::path(home) / ".local" / "state" / "tambrel";
}

Result<RecordFile> RecordFile::Create(const fs::path& path) {
  CreateFolders(path.parent_path());
  // Unsaved text is nobody else's business: the folder and the record are the user's alone.
  std::error_code ignored;
  fs::permissions(path.parent_path(), fs::perms::owner_all, fs::perm_options::replace, ignored);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return FileFailure(u"无法创建文件", path, ErrnoReason(errno));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(path.c_str());
    return FileFailure(u"无法锁定文件", path, ErrnoReason(error));
  }
  return RecordFile(path, fd);
}

Status RecordFile::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法写入文件", path_, ErrnoReason(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return Done{};
}

Status RecordFile::Sync() {
  if (::fdatasync(static_cast<int>(handle_)) != 0) {
    return FileFailure(u"无法把文件写入磁盘", path_, ErrnoReason(errno));
  }
  return Done{};
}

void RecordFile::Close() {
  if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
}

void RecordFile::Remove() {
  // Removed first, while still locked, so that no other instance takes it for an orphan.
  if (handle_ >= 0) ::unlink(path_.c_str());
  Close();
}

bool RecordFileInUse(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return locked;
}

#endif

}  // namespace tambrel::platform::files
