#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <random>
#include <string>
#include <utility>

#include "platform/files/file_messages.h"
#include "platform/files/files.h"
#include "platform/large_buffer.h"

namespace tambrel::platform::files {
namespace {

namespace fs = std::filesystem;

// Closes a descriptor when it goes out of scope, unless it was closed on purpose first.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closing can report a write error, so the caller sees it instead of the destructor.
  int Close() { return ::close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

int OpenRetrying(const fs::path& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The name the path finally stands for once every symbolic link on its end is followed. A link
// whose target does not exist yet resolves to that target, so writing through it creates it.
Result<fs::path> FollowLinks(fs::path path) {
  constexpr int kMaxLinks = 40;  // what Linux allows before ELOOP
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
      if (errno == ENOENT) return path;
      return FileFailure(u"无法访问文件", path, ErrnoReason(errno));
    }
    if (!S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    fs::path target = fs::read_symlink(path, error);
    if (error) return FileFailure(u"无法读取符号链接", path, ErrnoReason(error.value()));
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return FileFailure(u"无法访问文件", path, ErrnoReason(ELOOP));
}

Result<std::string> CreateEmpty(const fs::path& path, std::uint64_t max_bytes) {
  Descriptor fd(OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL, 0666));
  if (!fd.valid()) {
    // Someone else created it meanwhile: read what is there now.
    if (errno == EEXIST) return ReadWholeFile(path, max_bytes, MissingFile::kFail);
    return FileFailure(u"无法创建文件", path, ErrnoReason(errno));
  }
  if (fd.Close() != 0) return FileFailure(u"无法创建文件", path, ErrnoReason(errno));
  return std::string();
}

Failure TooLarge(const fs::path& path, std::uint64_t max_bytes) {
  const std::string megabytes = std::to_string(max_bytes / (1024 * 1024));
  return FileFailure(u"文件太大，无法打开", path,
                     u"超过了 " + std::u16string(megabytes.begin(), megabytes.end()) + u" MB");
}

// Reads until the end of the file, which may be later than its size said.
Status ReadAll(int fd, const fs::path& path, std::uint64_t max_bytes, std::string& bytes) {
  std::size_t filled = 0;
  while (true) {
    if (filled == bytes.size()) {
      if (bytes.size() >= max_bytes + 1) return TooLarge(path, max_bytes);
      // Room for one more byte tells the end of the file from a file that grew.
      bytes.resize(std::min<std::uint64_t>(max_bytes + 1, bytes.size() + 64 * 1024));
    }
    const ssize_t count = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法读取文件", path, ErrnoReason(errno));
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  if (filled > max_bytes) return TooLarge(path, max_bytes);
  bytes.resize(filled);
  return Done{};
}

// A temporary file beside the target that removes itself unless it was renamed into place.
class TemporaryFile {
 public:
  static Result<TemporaryFile> CreateIn(const fs::path& folder, mode_t mode) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = ".tambrel-" + std::to_string(entropy()) + ".tmp";
      fs::path path = folder / name;
      const int fd = OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL, mode);
      if (fd >= 0) return TemporaryFile(std::move(path), fd);
      if (errno != EEXIST) {
        return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
      }
    }
    return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(EEXIST));
  }

  TemporaryFile(TemporaryFile&& other) noexcept
      : path_(std::move(other.path_)),
        fd_(std::exchange(other.fd_, -1)),
        keep_(std::exchange(other.keep_, true)) {}
  TemporaryFile& operator=(TemporaryFile&&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!keep_) ::unlink(path_.c_str());
  }

  int fd() const { return fd_; }
  const fs::path& path() const { return path_; }
  int Close() { return ::close(std::exchange(fd_, -1)); }
  // The file now lives on under another name.
  void Keep() { keep_ = true; }

 private:
  TemporaryFile(fs::path path, int fd) : path_(std::move(path)), fd_(fd) {}

  fs::path path_;
  int fd_;
  bool keep_ = false;
};

Status WriteAll(int fd, std::string_view contents, const fs::path& temporary) {
  while (!contents.empty()) {
    const ssize_t count = ::write(fd, contents.data(), contents.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法写入临时文件", temporary, ErrnoReason(errno));
    }
    contents.remove_prefix(static_cast<std::size_t>(count));
  }
  return Done{};
}

// Makes the rename itself durable. Some file systems cannot sync a folder (EINVAL); the file's
// content is on disk already, so that is not worth failing the save.
Status SyncFolder(const fs::path& folder) {
  Descriptor fd(OpenRetrying(folder, O_RDONLY | O_DIRECTORY));
  if (!fd.valid()) return FileFailure(u"无法打开文件夹", folder, ErrnoReason(errno));
  if (::fsync(fd.get()) != 0 && errno != EINVAL) {
    return FileFailure(u"无法把文件夹写入磁盘", folder, ErrnoReason(errno));
  }
  return Done{};
}

}  // namespace

Result<std::string> ReadWholeFile(const fs::path& path, std::uint64_t max_bytes,
                                  MissingFile missing) {
  // O_NONBLOCK keeps a pipe from hanging the open; it is refused below anyway.
  Descriptor fd(OpenRetrying(path, O_RDONLY | O_NONBLOCK));
  if (!fd.valid()) {
    if (errno == ENOENT && missing == MissingFile::kCreateEmpty)
      return CreateEmpty(path, max_bytes);
    return FileFailure(u"无法打开文件", path, ErrnoReason(errno));
  }
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) return FileFailure(u"无法打开文件", path, ErrnoReason(errno));
  if (S_ISDIR(info.st_mode)) return FileFailure(u"无法打开文件", path, u"这是一个文件夹");
  if (!S_ISREG(info.st_mode)) return FileFailure(u"无法打开文件", path, u"这不是普通文件");
  if (static_cast<std::uint64_t>(info.st_size) > max_bytes) return TooLarge(path, max_bytes);
  try {
    // One byte more than the size, so that the read which finds the end needs no new buffer.
    std::string bytes;
    ResizeLarge(bytes, static_cast<std::size_t>(info.st_size) + 1);
    if (Status read = ReadAll(fd.get(), path, max_bytes, bytes); !read) return read.failure();
    return bytes;
  } catch (const std::bad_alloc&) {
    return FileFailure(u"无法打开文件", path, ErrnoReason(ENOMEM));
  }
}

Status ReplaceFileAtomically(const fs::path& path, std::string_view contents,
                             const ReplaceHooks& hooks) {
  Result<fs::path> resolved = FollowLinks(path);
  if (!resolved) return resolved.failure();
  const fs::path& target = resolved.value();

  struct stat info;
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return FileFailure(u"无法保存文件", path, ErrnoReason(errno));
  if (exists) {
    if (S_ISDIR(info.st_mode)) return FileFailure(u"无法保存文件", path, u"这是一个文件夹");
    if (!S_ISREG(info.st_mode)) return FileFailure(u"无法保存文件", path, u"这不是普通文件");
    // A rename would happily replace a read-only file; respect the protection instead.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      return FileFailure(u"无法保存文件", path, ErrnoReason(errno));
    }
  }

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A new file gets the usual 0666 less the umask from open(); an existing one its own bits.
  Result<TemporaryFile> created = TemporaryFile::CreateIn(folder, exists ? 0600 : 0666);
  if (!created) return created.failure();
  TemporaryFile& temporary = created.value();

  if (exists) {
    if (::fchmod(temporary.fd(), info.st_mode & 07777) != 0) {
      return FileFailure(u"无法设置临时文件的权限", temporary.path(), ErrnoReason(errno));
    }
    // Keep the owner and group too where that is allowed. Without the right to, the new file
    // stays ours, as with every editor that saves by renaming; the content is what matters.
    if (::fchown(temporary.fd(), info.st_uid, info.st_gid) != 0) {
      (void)!::fchown(temporary.fd(), static_cast<uid_t>(-1), info.st_gid);
    }
  }
  if (Status written = WriteAll(temporary.fd(), contents, temporary.path()); !written) {
    return written;
  }
  if (::fsync(temporary.fd()) != 0) {
    return FileFailure(u"无法把临时文件写入磁盘", temporary.path(), ErrnoReason(errno));
  }
  if (temporary.Close() != 0) {
    return FileFailure(u"无法写入临时文件", temporary.path(), ErrnoReason(errno));
  }
  if (hooks.before_rename) {
    if (Status hook = hooks.before_rename(); !hook) return hook;
  }
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
    return FileFailure(u"无法用新内容替换文件", path, ErrnoReason(errno));
  }
  temporary.Keep();
  return SyncFolder(folder);
}

}  // namespace tambrel::platform::files

#endif  // !_WIN32
