#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <optional>
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
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

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
Status ReadAll(int fd, const fs::path& path, std::uint64_t max_bytes, std::string& bytes,
               const ReadWatch& watch) {
  const std::uint64_t expected = bytes.size() - 1;
  std::size_t filled = 0;
  while (true) {
    if (filled == bytes.size()) {
      if (bytes.size() >= max_bytes + 1) return TooLarge(path, max_bytes);
      // Room for one more byte tells the end of the file from a file that grew.
      bytes.resize(std::min<std::uint64_t>(max_bytes + 1, bytes.size() + 64 * 1024));
    }
    const std::size_t room = bytes.size() - filled;
    const ssize_t count =
        ::read(fd, bytes.data() + filled, watch ? std::min(room, kWatchedReadPiece) : room);
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法读取文件", path, ErrnoReason(errno));
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
    if (watch && !watch(std::string_view(bytes.data(), filled), std::max<std::uint64_t>(expected, filled))) {
      return FileFailure(u"无法读取文件", path, u"读取已取消");
    }
  }
  if (filled > max_bytes) return TooLarge(path, max_bytes);
  bytes.resize(filled);
  return Done{};
}

// Holds an exclusive advisory lock on an open file, waiting for one that is held only for a
// moment (RemoveStaleSaveFiles looking at the file). A file system without locks (some network
// ones) answers ENOLCK; the save goes on unguarded there rather than not at all.
bool LockExclusively(int fd) {
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  return locked == 0 || errno == ENOLCK || errno == EOPNOTSUPP;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the name still stands for the open file: RemoveStaleSaveFiles may have taken it away
// between its creation and its lock.
bool StillNamed(int fd, const fs::path& name) {
  struct stat opened;
  struct stat named;
  return ::fstat(fd, &opened) == 0 && ::lstat(name.c_str(), &named) == 0 && SameFile(opened, named);
}

// The path under which a file without a name can be linked to one, when the system offers it.
std::string ProcPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Whether a file without a name could be given one once written: without /proc (a chroot, a
// container that hides it) it could not, and the whole content would have to be written again.
Status CanBeNamed(int fd, const fs::path& folder) {
  struct stat opened;
  struct stat through_proc;
  if (::fstat(fd, &opened) != 0) {
    return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
  }
  if (::stat(ProcPath(fd).c_str(), &through_proc) != 0) {
    return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
  }
  if (!SameFile(opened, through_proc)) {
    return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(ENOENT));
  }
  return Done{};
}

constexpr unsigned kNameAttempts = 64;

// The file a save writes before it takes the target's name. Where the file system allows it has
// no name at all until then (O_TMPFILE), so a save killed on the way leaves nothing behind;
// elsewhere it is created under one of the target's temporary save names. Either way it is locked
// from its creation on, so that RemoveStaleSaveFiles in another running copy of the program leaves
// it alone; the lock goes with the process, so what a killed save leaves is free to remove. Unless
// it was renamed into place, it is gone when this goes out of scope.
//
// Its failures name the folder: a file without a name cannot be named to the user, and a named one
// is removed before the user reads the message.
class SaveFile {
 public:
  static Result<SaveFile> CreateAnonymous(const fs::path& target, mode_t mode,
                                          const ReplaceHooks& hooks) {
    const fs::path folder = FolderOf(target);
#ifdef O_TMPFILE
    const int fd = OpenRetrying(folder, O_TMPFILE | O_WRONLY, mode);
    if (fd >= 0) {
      SaveFile file(target, fd, /*named=*/false);
      // Nobody can see it yet, so the lock is had at once; it is for the moment it gets a name.
      if (LockExclusively(fd)) {
        Status nameable = hooks.check_anonymous_file ? hooks.check_anonymous_file() : Done{};
        if (nameable) nameable = CanBeNamed(fd, folder);
        if (nameable) return file;
      }
    }
    // Not every file system has anonymous files; a name does the job there.
#else
    static_cast<void>(hooks);
#endif
    return CreateNamed(target, mode);
  }

  static Result<SaveFile> CreateNamed(const fs::path& target, mode_t mode) {
    const fs::path folder = FolderOf(target);
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
      const fs::path name = TemporarySaveName(target, attempt);
      const int fd = OpenRetrying(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
      if (fd < 0) {
        // Another save's, or a leftover that could not be removed: another name will do.
        if (errno == EEXIST) continue;
        return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
      }
      SaveFile file(target, fd, /*named=*/true);
      file.name_ = name;
      if (!LockExclusively(fd)) {
        return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(errno));
      }
      if (StillNamed(fd, name)) return file;
      // Removed as a leftover before the lock was had: the name is not ours to remove again.
      file.named_ = false;
    }
    return FileFailure(u"无法在文件夹中创建临时文件", folder, ErrnoReason(EEXIST));
  }

  SaveFile(SaveFile&& other) noexcept
      : target_(std::move(other.target_)),
        name_(std::move(other.name_)),
        fd_(std::exchange(other.fd_, -1)),
        named_(std::exchange(other.named_, false)) {}
  SaveFile& operator=(SaveFile&&) = delete;
  ~SaveFile() { Discard(); }

  // Removes the file, unless it has taken the target's name. The name goes first, while the lock
  // still keeps RemoveStaleSaveFiles away from it.
  void Discard() {
    if (std::exchange(named_, false)) ::unlink(name_.c_str());
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }

  int fd() const { return fd_; }
  bool anonymous() const { return !named_ && fd_ >= 0; }
  fs::path folder() const { return FolderOf(target_); }

  // Gives the written and flushed file the target's name, in one rename. The file stays open, and
  // so locked, until it has the target's name.
  Status Publish(const ReplaceHooks& hooks) {
    if (!named_) {
      if (hooks.name_anonymous_file) {
        if (Status hook = hooks.name_anonymous_file(); !hook) return hook.failure();
      }
      // The name exists only for the moment between this and the rename.
      for (unsigned attempt = 0; attempt < kNameAttempts && !named_; ++attempt) {
        const fs::path name = TemporarySaveName(target_, attempt);
        if (::linkat(AT_FDCWD, ProcPath(fd_).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
          name_ = name;
          named_ = true;
        } else if (errno != EEXIST) {
          return FileFailure(u"无法在文件夹中创建临时文件", folder(), ErrnoReason(errno));
        }
      }
      if (!named_) return FileFailure(u"无法在文件夹中创建临时文件", folder(), ErrnoReason(EEXIST));
    }
    if (::rename(name_.c_str(), target_.c_str()) != 0) {
      return FileFailure(u"无法用新内容替换文件", target_, ErrnoReason(errno));
    }
    named_ = false;
    // fsync has had the content on disk already: closing has nothing left to report.
    ::close(std::exchange(fd_, -1));
    return Done{};
  }

 private:
  SaveFile(fs::path target, int fd, bool named)
      : target_(std::move(target)), fd_(fd), named_(named) {}

  static fs::path FolderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
  }

  fs::path target_;
  fs::path name_;
  int fd_;
  bool named_;
};

Status WriteAll(int fd, std::string_view contents, const fs::path& folder) {
  while (!contents.empty()) {
    const ssize_t count = ::write(fd, contents.data(), contents.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileFailure(u"无法在文件夹中写入新内容", folder, ErrnoReason(errno));
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

// A file written by a save, with what it is once written.
struct WrittenFile {
  SaveFile file;
  std::optional<FileIdentity> identity;
};

std::optional<FileIdentity> IdentityOfOpen(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return std::nullopt;
  FileIdentity identity;
  identity.device = static_cast<std::uint64_t>(info.st_dev);
  identity.file_id = static_cast<std::uint64_t>(info.st_ino);
  identity.size = static_cast<std::uint64_t>(info.st_size);
  identity.modified_ns =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return identity;
}

// Writes the content into a save file with the target's permissions, flushed to disk.
Result<WrittenFile> WriteSaveFile(Result<SaveFile> created, const fs::path& target,
                                  const struct stat* existing, std::string_view contents) {
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
      return FileFailure(u"无法沿用原文件的权限", target, ErrnoReason(errno));
    }
  }
  if (Status written = WriteAll(file.fd(), contents, file.folder()); !written) {
    return written.failure();
  }
  if (::fsync(file.fd()) != 0) {
    return FileFailure(u"无法把新内容写入磁盘", file.folder(), ErrnoReason(errno));
  }
  // Taken from the open file: a rename changes neither, and another program's write after the
  // rename must not pass for this save's.
  std::optional<FileIdentity> identity = IdentityOfOpen(file.fd());
  return WrittenFile{std::move(file), identity};
}

}  // namespace

Result<std::string> ReadWholeFile(const fs::path& path, std::uint64_t max_bytes,
                                  MissingFile missing, const ReadWatch& watch) {
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
    if (Status read = ReadAll(fd.get(), path, max_bytes, bytes, watch); !read) return read.failure();
    return bytes;
  } catch (const std::bad_alloc&) {
    return FileFailure(u"无法打开文件", path, ErrnoReason(ENOMEM));
  }
}

void RemoveStaleSaveFiles(const fs::path& folder) {
  struct CloseFolder {
    void operator()(DIR* entries) const { ::closedir(entries); }
  };
  const std::unique_ptr<DIR, CloseFolder> entries(::opendir(folder.c_str()));
  if (!entries) return;
  while (const dirent* entry = ::readdir(entries.get())) {
    if (!IsTemporarySaveName(entry->d_name)) continue;
    const fs::path name = folder / entry->d_name;
    // Read or write, whichever the file's permissions allow; a lock needs only an open file.
    Descriptor fd(OpenRetrying(name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.valid()) fd.Reset(OpenRetrying(name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK));
    struct stat opened;
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) continue;
    // Held: a save is writing it.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    // Removed while the lock is held, so a save that has just created the file finds its name
    // gone once it has the lock and takes another.
    if (StillNamed(fd.get(), name)) ::unlink(name.c_str());
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

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  RemoveStaleSaveFiles(folder);
  // A new file gets the usual 0666 less the umask from open(); an existing one its own bits.
  const mode_t mode = exists ? 0600 : 0666;
  const struct stat* existing = exists ? &info : nullptr;
  Result<WrittenFile> written =
      WriteSaveFile(SaveFile::CreateAnonymous(target, mode, hooks), target, existing, contents);
  if (!written) return written.failure();
  if (hooks.before_rename) {
    if (Status hook = hooks.before_rename(); !hook) return hook.failure();
  }
  Status published = written.value().file.Publish(hooks);
  std::optional<FileIdentity> identity = written.value().identity;
  if (!published && written.value().file.anonymous()) {
    // The anonymous file could not be given a name after all: the same bytes go to a named one,
    // with the room the first one took given back first.
    written.value().file.Discard();
    Result<WrittenFile> named =
        WriteSaveFile(SaveFile::CreateNamed(target, mode), target, existing, contents);
    if (!named) return named.failure();
    published = named.value().file.Publish(hooks);
    identity = named.value().identity;
  }
  if (!published) return published.failure();

  Replaced replaced;
  replaced.written = identity;
  Status synced = hooks.sync_folder ? hooks.sync_folder(folder) : SyncFolder(folder);
  if (!synced) replaced.folder_not_synced = synced.failure();
  return replaced;
}

}  // namespace tambrel::platform::files

#endif  // !_WIN32
