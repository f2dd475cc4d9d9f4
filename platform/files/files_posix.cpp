#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
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

// The file a save writes before it takes the target's name. Where the file system allows it has
// no name at all until then (O_TMPFILE), so a save killed on the way leaves nothing behind;
// elsewhere it is created under the target's temporary save name, replacing what a killed save
// left there. Unless it was renamed into place, it is gone when this goes out of scope.
class SaveFile {
 public:
  static Result<SaveFile> CreateFor(const fs::path& target, mode_t mode, bool anonymous) {
    const fs::path name = TemporarySaveName(target);
    const fs::path folder = name.parent_path();
    // Whatever a killed save of this document left is of no use to anyone.
    if (::unlink(name.c_str()) != 0 && errno != ENOENT) {
      return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
    }
#ifdef O_TMPFILE
    if (anonymous) {
      const int fd = OpenRetrying(folder, O_TMPFILE | O_WRONLY, mode);
      if (fd >= 0) return SaveFile(name, fd, /*named=*/false);
      // Not every file system has anonymous files; a name does the job there.
    }
#else
    static_cast<void>(anonymous);
#endif
    const int fd = OpenRetrying(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
    if (fd < 0) return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
    return SaveFile(name, fd, /*named=*/true);
  }

  SaveFile(SaveFile&& other) noexcept
      : name_(std::move(other.name_)),
        fd_(std::exchange(other.fd_, -1)),
        named_(std::exchange(other.named_, false)) {}
  SaveFile& operator=(SaveFile&&) = delete;
  ~SaveFile() {
    if (fd_ >= 0) ::close(fd_);
    if (named_) ::unlink(name_.c_str());
  }

  int fd() const { return fd_; }
  bool anonymous() const { return !named_ && fd_ >= 0; }
  // What a failure names: the file itself when it has no name yet.
  const fs::path& name() const { return name_; }

  // Gives the written and flushed file the target's name, in one rename.
  Status Publish(const fs::path& target) {
    if (!named_) {
      // The name exists only for the moment between this and the rename.
      const std::string self = "/proc/self/fd/" + std::to_string(fd_);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return FileFailure(u"无法在文件夹中创建临时文件", name_.parent_path(), ErrnoReason(errno));
      }
      named_ = true;
    }
    if (::close(std::exchange(fd_, -1)) != 0) {
      return FileFailure(u"无法写入临时文件", name_, ErrnoReason(errno));
    }
    if (::rename(name_.c_str(), target.c_str()) != 0) {
      return FileFailure(u"无法用新内容替换文件", target, ErrnoReason(errno));
    }
    named_ = false;
    return Done{};
  }

 private:
  SaveFile(fs::path name, int fd, bool named) : name_(std::move(name)), fd_(fd), named_(named) {}

  fs::path name_;
  int fd_;
  bool named_;
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
// content is on disk already, so that is not worth mentioning.
Status SyncFolder(const fs::path& folder) {
  Descriptor fd(OpenRetrying(folder, O_RDONLY | O_DIRECTORY));
  if (!fd.valid()) return FileFailure(u"无法打开文件夹", folder, ErrnoReason(errno));
  if (::fsync(fd.get()) != 0 && errno != EINVAL) {
    return FileFailure(u"无法把文件夹写入磁盘", folder, ErrnoReason(errno));
  }
  return Done{};
}

// Writes the content into a new save file with the target's permissions, flushed to disk.
Result<SaveFile> WriteSaveFile(const fs::path& target, const struct stat* existing,
                               std::string_view contents, bool anonymous) {
  // A new file gets the usual 0666 less the umask from open(); an existing one its own bits.
  Result<SaveFile> created = SaveFile::CreateFor(target, existing ? 0600 : 0666, anonymous);
  if (!created) return created.failure();
  SaveFile& file = created.value();
  if (existing != nullptr) {
    // The owner first: changing it clears the set-user-ID and set-group-ID bits, which the mode
    // then puts back. Without the right to keep the owner, the new file stays ours, as with every
    // editor that saves by renaming; the group is kept where we may.
    if (::fchown(file.fd(), existing->st_uid, existing->st_gid) != 0) {
      (void)!::fchown(file.fd(), static_cast<uid_t>(-1), existing->st_gid);
    }
    if (::fchmod(file.fd(), existing->st_mode & 07777) != 0) {
      return FileFailure(u"无法设置临时文件的权限", file.name(), ErrnoReason(errno));
    }
  }
  if (Status written = WriteAll(file.fd(), contents, file.name()); !written) {
    return written.failure();
  }
  if (::fsync(file.fd()) != 0) {
    return FileFailure(u"无法把临时文件写入磁盘", file.name(), ErrnoReason(errno));
  }
  return created;
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

Result<Replaced> ReplaceFileAtomically(const fs::path& path, std::string_view contents,
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

  Result<SaveFile> written = WriteSaveFile(target, exists ? &info : nullptr, contents, true);
  if (!written) return written.failure();
  if (hooks.before_rename) {
    if (Status hook = hooks.before_rename(); !hook) return hook.failure();
  }
  Status published = written.value().Publish(target);
  if (!published && written.value().anonymous()) {
    // The anonymous file could not be given a name (no /proc, say): write a named one instead.
    Result<SaveFile> named = WriteSaveFile(target, exists ? &info : nullptr, contents, false);
    if (!named) return named.failure();
    published = named.value().Publish(target);
  }
  if (!published) return published.failure();

  Replaced replaced;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  Status synced = hooks.sync_folder ? hooks.sync_folder(folder) : SyncFolder(folder);
  if (!synced) replaced.folder_not_synced = synced.failure();
  return replaced;
}

}  // namespace tambrel::platform::files

#endif  // !_WIN32
