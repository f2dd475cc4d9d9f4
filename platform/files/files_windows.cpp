#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/file_identity.h"
#include "platform/files/file_messages.h"
#include "platform/files/files.h"
#include "platform/large_buffer.h"

namespace tambrel::platform::files {
namespace {

namespace fs = std::filesystem;

// Closes a handle when it goes out of scope, unless it was closed on purpose first.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() { return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

 private:
  HANDLE handle_;
};

Failure LastError(std::u16string_view what, const fs::path& path) {
  return FileFailure(what, path, Win32Reason(::GetLastError()));
}

Failure TooLarge(const fs::path& path, std::uint64_t max_bytes) {
  const std::string megabytes = std::to_string(max_bytes / (1024 * 1024));
  return FileFailure(u"文件太大，无法打开", path,
                     u"超过了 " + std::u16string(megabytes.begin(), megabytes.end()) + u" MB");
}

bool IsFolder(const fs::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Result<std::string> CreateEmpty(const fs::path& path, std::uint64_t max_bytes) {
  Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    // Someone else created it meanwhile: read what is there now.
    if (::GetLastError() == ERROR_FILE_EXISTS) {
      return ReadWholeFile(path, max_bytes, MissingFile::kFail);
    }
    return LastError(u"无法创建文件", path);
  }
  if (!file.Close()) return LastError(u"无法创建文件", path);
  return std::string();
}

// The path of the file a path finally stands for, symbolic links followed; the path itself when
// nothing is there yet.
Result<fs::path> FinalPath(const fs::path& path) {
  Handle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return path;
    return FileFailure(u"无法访问文件", path, Win32Reason(error));
  }
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD length = ::GetFinalPathNameByHandleW(
        file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    if (length == 0) return LastError(u"无法访问文件", path);
    if (length < buffer.size()) return fs::path(std::wstring(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

fs::path FolderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The file a save writes before it takes the target's name, under one of the target's temporary
// save names. It is open without any sharing while it is written, so RemoveStaleSaveFiles in
// another running copy of the program cannot remove it; a killed save's handle closes with its
// process, and what it left is free to remove. It deletes itself unless it was moved into place.
//
// Its failures name the folder: the file is removed before the user reads the message.
class TemporaryFile {
 public:
  static Result<TemporaryFile> CreateFor(const fs::path& target) {
    constexpr unsigned kNameAttempts = 64;
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
      fs::path path = TemporarySaveName(target, attempt);
      const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) return TemporaryFile(std::move(path), handle);
      const DWORD error = ::GetLastError();
      // Another save's, or a leftover that could not be removed: another name will do.
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
          error == ERROR_SHARING_VIOLATION) {
        continue;
      }
      return FileFailure(u"无法在文件夹中创建临时文件", FolderOf(target), Win32Reason(error));
    }
    return FileFailure(u"无法在文件夹中创建临时文件", FolderOf(target),
                       Win32Reason(ERROR_FILE_EXISTS));
  }

  TemporaryFile(TemporaryFile&& other) noexcept
      : path_(std::move(other.path_)),
        handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)),
        keep_(std::exchange(other.keep_, true)) {}
  TemporaryFile& operator=(TemporaryFile&&) = delete;
  ~TemporaryFile() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    if (!keep_) ::DeleteFileW(path_.c_str());
  }

  HANDLE handle() const { return handle_; }
  const fs::path& path() const { return path_; }
  fs::path folder() const { return FolderOf(path_); }
  bool Close() { return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }
  void Keep() { keep_ = true; }

 private:
  TemporaryFile(fs::path path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}

  fs::path path_;
  HANDLE handle_;
  bool keep_ = false;
};

Status WriteAll(HANDLE handle, std::string_view contents, const fs::path& folder) {
  while (!contents.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, contents.data(), chunk, &written, nullptr)) {
      return LastError(u"无法在文件夹中写入新内容", folder);
    }
    contents.remove_prefix(written);
  }
  return Done{};
}

// Closes a search of a folder when it goes out of scope.
class FolderSearch {
 public:
  explicit FolderSearch(HANDLE handle) : handle_(handle) {}
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;
  ~FolderSearch() {
    if (valid()) ::FindClose(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

Result<std::string> ReadWholeFile(const fs::path& path, std::uint64_t max_bytes,
                                  MissingFile missing, const ReadWatch& watch) {
  if (IsFolder(path)) return FileFailure(u"无法打开文件", path, u"这是一个文件夹");
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND && missing == MissingFile::kCreateEmpty) {
      return CreateEmpty(path, max_bytes);
    }
    return LastError(u"无法打开文件", path);
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    return FileFailure(u"无法打开文件", path, u"这不是普通文件");
  }
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size)) return LastError(u"无法读取文件", path);
  if (static_cast<std::uint64_t>(size.QuadPart) > max_bytes) return TooLarge(path, max_bytes);
  try {
    // One byte more than the size tells the end of the file from a file that grew.
    std::string bytes;
    ResizeLarge(bytes, static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t filled = 0;
    while (true) {
      if (filled == bytes.size()) {
        if (bytes.size() > max_bytes) return TooLarge(path, max_bytes);
        bytes.resize(std::min<std::uint64_t>(max_bytes + 1, bytes.size() + 64 * 1024));
      }
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(
          bytes.size() - filled, watch ? kWatchedReadPiece : std::size_t{1} << 30));
      DWORD read = 0;
      if (!::ReadFile(file.get(), bytes.data() + filled, chunk, &read, nullptr)) {
        return LastError(u"无法读取文件", path);
      }
      if (read == 0) break;
      filled += read;
      const std::uint64_t expected = static_cast<std::uint64_t>(size.QuadPart);
      if (watch && !watch(std::string_view(bytes.data(), filled), std::max<std::uint64_t>(expected, filled))) {
        return FileFailure(u"无法读取文件", path, u"读取已取消");
      }
    }
    if (filled > max_bytes) return TooLarge(path, max_bytes);
    bytes.resize(filled);
    return bytes;
  } catch (const std::bad_alloc&) {
    return FileFailure(u"无法打开文件", path, Win32Reason(ERROR_NOT_ENOUGH_MEMORY));
  }
}

Result<Replaced> ReplaceFileAtomically(const fs::path& path, std::string_view contents,
                                       const ReplaceHooks& hooks) {
  Result<fs::path> resolved = FinalPath(path);
  if (!resolved) return resolved.failure();
  const fs::path& target = resolved.value();

  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileFailure(u"无法保存文件", path, u"这是一个文件夹");
  }
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return FileFailure(u"无法保存文件", path, u"文件是只读的");
  }

  RemoveStaleSaveFiles(FolderOf(target));
  Result<TemporaryFile> created = TemporaryFile::CreateFor(target);
  if (!created) return created.failure();
  TemporaryFile& temporary = created.value();

  if (Status written = WriteAll(temporary.handle(), contents, temporary.folder()); !written) {
    return written.failure();
  }
  if (!::FlushFileBuffers(temporary.handle())) {
    return LastError(u"无法把新内容写入磁盘", temporary.folder());
  }
  // From here to the replacement the file is open to others: a RemoveStaleSaveFiles of another
  // copy of the program that starts in that moment could take it, and this save would then fail
  // with a message rather than lose anything.
  if (!temporary.Close()) return LastError(u"无法在文件夹中写入新内容", temporary.folder());
  if (hooks.before_rename) {
    if (Status hook = hooks.before_rename(); !hook) return hook.failure();
  }
  // ReplaceFileW keeps the target's attributes, security and creation time; a new file is a move.
  const bool replaced =
      exists ? ::ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
             : ::MoveFileExW(temporary.path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) return LastError(u"无法用新内容替换文件", path);
  temporary.Keep();
  // MOVEFILE_WRITE_THROUGH and ReplaceFileW leave nothing of the folder to flush.
  static_cast<void>(hooks.sync_folder);
  // Files without a name are Linux's alone.
  static_cast<void>(hooks.check_anonymous_file);
  static_cast<void>(hooks.name_anonymous_file);
  Replaced done;
  // ReplaceFileW may keep the old file's identity or give the new one's: what the name stands for
  // now is what counts.
  if (Result<std::optional<FileIdentity>> identity = IdentityOf(target); identity) {
    done.written = identity.value();
  }
  return done;
}

void RemoveStaleSaveFiles(const fs::path& folder) {
  WIN32_FIND_DATAW found;
  const FolderSearch search(::FindFirstFileExW((folder / L".tambrel-save-*.tmp").c_str(),
                                               FindExInfoBasic, &found, FindExSearchNameMatch,
                                               nullptr, 0));
  if (!search.valid()) return;
  do {
    // The pattern also matches short 8.3 names and longer endings: the name itself decides.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!IsTemporarySaveName(fs::path(found.cFileName))) continue;
    // Without sharing, the file opens only when no save holds it; it goes when this handle closes.
    const HANDLE file =
        ::CreateFileW((folder / found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  } while (::FindNextFileW(search.get(), &found));
}

}  // namespace tambrel::platform::files

#endif  // _WIN32
