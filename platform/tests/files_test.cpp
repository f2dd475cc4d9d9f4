#include "platform/files/files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/file_identity.h"
#include "platform/files/file_messages.h"
#include "platform/files/shared_reader.h"
#include "tests/support/temp_dir.h"

namespace tambrel::platform::files {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;

constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 40;

#ifndef _WIN32
// Permission checks do not apply to root, so a test of them runs in a child that has given up
// root for "nobody"; as another user it runs in place. Answers whether the operation succeeded.
bool SucceedsWithoutRoot(const std::function<bool()>& operation) {
  if (::geteuid() != 0) return operation();
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
    ::_exit(operation() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not drop root";
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

mode_t Mode(const fs::path& path) {
  struct stat info;
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}
#else
// Wine runs these tests on Linux but does not copy attributes in ReplaceFileW as Windows does.
bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#endif

// Grows a file to `size` bytes without writing them. NTFS would set aside the whole size on disk
// for a file that is not marked sparse.
void ResizeSparse(const fs::path& path, std::uint64_t size) {
#ifdef _WIN32
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  // Only a saving of space: a file system without sparse files still passes the test.
  ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  ::CloseHandle(file);
#endif
  fs::resize_file(path, size);
}

// The folder's entries, to catch a temporary file left behind.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReadWholeFile, GivesEveryByteIncludingNuls) {
  TempDir dir;
  const std::string bytes("a\0b\xFF\r\n", 6);
  const Result<std::string> read =
      ReadWholeFile(dir.Write("f", bytes), kNoLimit, MissingFile::kFail);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.value(), bytes);
}

TEST(ReadWholeFile, CreatesAMissingFileWhenAsked) {
  TempDir dir;
  const Result<std::string> read =
      ReadWholeFile(dir / "new.txt", kNoLimit, MissingFile::kCreateEmpty);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.value(), "");
  EXPECT_TRUE(fs::is_regular_file(dir / "new.txt"));
  EXPECT_EQ(fs::file_size(dir / "new.txt"), 0u);
}

TEST(ReadWholeFile, FailsWithAReasonInsteadOfGivingEmptyText) {
  TempDir dir;
  fs::create_directory(dir / "folder");
#ifdef _WIN32
  // A device stands in for the pipe: it is no regular file either.
  const fs::path not_a_file = L"NUL";
#else
  const fs::path not_a_file = dir / "pipe";
  ::mkfifo(not_a_file.c_str(), 0600);
#endif
  const fs::path cases[] = {dir / "missing", dir / "folder", not_a_file, dir / "no" / "such.txt"};
  for (const fs::path& path : cases) {
    const Result<std::string> read = ReadWholeFile(path, kNoLimit, MissingFile::kFail);
    ASSERT_FALSE(read.ok()) << path;
    EXPECT_NE(read.failure().reason.find(path.u16string()), std::u16string::npos);
  }
  // Asked to create, a missing folder still fails and nothing appears.
  EXPECT_FALSE(ReadWholeFile(dir / "no" / "such.txt", kNoLimit, MissingFile::kCreateEmpty).ok());
  EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST(ReadWholeFile, RefusesAFileOverTheLimitWithoutReadingIt) {
  TempDir dir;
  const fs::path path = dir.Write("big", "");
  ResizeSparse(path, (std::uint64_t{1} << 33) + 1);  // 8 GiB
  const Result<std::string> read = ReadWholeFile(path, 1000, MissingFile::kFail);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.failure().reason.find(u"太大"), std::u16string::npos);
  EXPECT_TRUE(
      ReadWholeFile(dir.Write("exact", std::string(1000, 'x')), 1000, MissingFile::kFail).ok());
}

#ifndef _WIN32
TEST(ReadWholeFile, UnreadableFileFails) {
  TempDir dir;
  const fs::path path = dir.Write("secret", "x");
  fs::permissions(path, fs::perms::owner_write);
  EXPECT_FALSE(
      SucceedsWithoutRoot([&] { return ReadWholeFile(path, kNoLimit, MissingFile::kFail).ok(); }));
}
#else
TEST(ReadWholeFile, FileAnotherProgramHoldsExclusivelyFails) {
  TempDir dir;
  const fs::path path = dir.Write("busy.txt", "x");
  const HANDLE holder = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const Result<std::string> read = ReadWholeFile(path, kNoLimit, MissingFile::kFail);
  ::CloseHandle(holder);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.failure().reason.find(u"占用"), std::u16string::npos);
}
#endif

TEST(SharedFileReader, AFileBeingCopiedCanStillBeSavedOver) {
  // The copy of a document kept for recovery reads it in the background; the user's save of that
  // document must not fail meanwhile, as it would on Windows against a reader that shares less.
  TempDir folder;
  const fs::path document = folder.Write("doc.txt", "first content");
  auto reader = SharedFileReader::Open(document);
  ASSERT_TRUE(reader.ok());
  char start[5];
  ASSERT_EQ(reader.value().Read(start, sizeof start).value(), 5u);
  EXPECT_EQ(std::string(start, 5), "first");
  ASSERT_TRUE(ReplaceFileAtomically(document, "saved while read").ok());
  EXPECT_EQ(ReadBytes(document), "saved while read");
  // The reader goes on with what it opened, to its end.
  char rest[64];
  std::size_t total = 0;
  for (std::size_t read; (read = reader.value().Read(rest, sizeof rest).value()) > 0;)
    total += read;
  EXPECT_EQ(total, std::string(" content").size());
}

TEST(ReplaceFileAtomically, CreatesAndReplaces) {
  TempDir dir;
  const fs::path path = dir / "doc.txt";
  ASSERT_TRUE(ReplaceFileAtomically(path, "first").ok());
  EXPECT_EQ(ReadBytes(path), "first");
  ASSERT_TRUE(ReplaceFileAtomically(path, std::string("2\0nd", 4)).ok());
  EXPECT_EQ(ReadBytes(path), std::string("2\0nd", 4));
  ASSERT_TRUE(ReplaceFileAtomically(path, "").ok());
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}

#ifndef _WIN32
TEST(ReplaceFileAtomically, KeepsPermissionBits) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  EXPECT_EQ(Mode(path), 0640u);
  // A new file gets what any new file gets: 0666 less the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_TRUE(ReplaceFileAtomically(dir / "fresh.txt", "x").ok());
  EXPECT_EQ(Mode(dir / "fresh.txt"), 0666u & ~mask);
}

TEST(ReplaceFileAtomically, KeepsTheSetUserAndSetGroupIdBits) {
  TempDir dir;
  for (const mode_t mode : {04751u, 02755u, 06711u}) {
    const fs::path path = dir.Write("program", "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_EQ(Mode(path), mode);
    ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
    EXPECT_EQ(Mode(path), mode) << std::oct << mode;
    EXPECT_EQ(ReadBytes(path), "new");
  }
}

// Whether the folder's file system can make files without a name, which a save uses so that a
// killed save leaves nothing behind.
bool HasAnonymousFiles(const fs::path& folder) {
#ifdef O_TMPFILE
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (fd < 0) return false;
  ::close(fd);
  return true;
#else
  static_cast<void>(folder);
  return false;
#endif
}

TEST(ReplaceFileAtomically, ASaveKilledBeforeTheRenameLeavesTheOldFileAndNothingElse) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old content");
  const pid_t child = ::fork();
  if (child == 0) {
    ReplaceHooks hooks;
    hooks.before_rename = []() -> Status {
      ::raise(SIGKILL);  // no destructor runs, as when the power goes or the program is killed
      return Done{};
    };
    static_cast<void>(ReplaceFileAtomically(path, "new content", hooks));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(ReadBytes(path), "old content");
  const std::vector<std::string> after_kill = Entries(dir.path());
  if (HasAnonymousFiles(dir.path())) {
    EXPECT_EQ(after_kill, std::vector<std::string>{"doc.txt"});
  } else {
    // Without anonymous files the killed save leaves its own file, which the next one removes.
    EXPECT_LE(after_kill.size(), 2u);
  }
  ASSERT_TRUE(ReplaceFileAtomically(path, "saved again").ok());
  EXPECT_EQ(ReadBytes(path), "saved again");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}

// --- What a save leaves behind ------------------------------------------------------------

// Holds a file as a save in progress holds its own: locked on Linux, open without sharing on
// Windows.
class HeldLikeASave {
 public:
  explicit HeldLikeASave(const fs::path& path) {
#ifdef _WIN32
    handle_ = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
#else
    fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    EXPECT_GE(fd_, 0);
    EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
#endif
  }
  ~HeldLikeASave() {
#ifdef _WIN32
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
#else
    if (fd_ >= 0) ::close(fd_);
#endif
  }
  HeldLikeASave(const HeldLikeASave&) = delete;
  HeldLikeASave& operator=(const HeldLikeASave&) = delete;

 private:
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int fd_ = -1;
#endif
};

TEST(TemporarySaveName, IsHiddenEndsInTmpAndIsKnownAgain) {
  const fs::path target = fs::path("folder") / u8"文档.txt";
  for (unsigned attempt : {0u, 1u, 63u}) {
    const fs::path name = TemporarySaveName(target, attempt);
    EXPECT_EQ(name.parent_path(), fs::path("folder"));
    EXPECT_TRUE(IsTemporarySaveName(name.filename())) << name;
    EXPECT_EQ(name.filename().string().front(), '.');
    EXPECT_EQ(name.extension(), ".tmp");
  }
  EXPECT_NE(TemporarySaveName(target, 0), TemporarySaveName(target, 1));
  EXPECT_NE(TemporarySaveName(target), TemporarySaveName(fs::path("folder") / "other.txt"));
  // Printed by number: a Chinese name need not convert to the narrow strings of Windows.
  const char8_t* const others[] = {
      u8"文档.txt",           u8".tambrel-save-.tmp", u8".tambrel-save-notes.txt",
      u8"tambrel-save-0.tmp", u8"keep.tmp",           u8".tambrel-save-0.tmpx"};
  for (std::size_t i = 0; i < std::size(others); ++i) {
    EXPECT_FALSE(IsTemporarySaveName(fs::path(others[i]))) << i;
  }
}

TEST(RemoveStaleSaveFiles, LeftoversOfKilledSavesGoBeforeTheNextSave) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  // A large partial file, and one of another document's saves, each as a killed save leaves it.
  std::ofstream(TemporarySaveName(path), std::ios::binary) << std::string(3 << 20, 'x');
  std::ofstream(TemporarySaveName(dir / "other.txt", 2), std::ios::binary) << "partial";
  // Names that are not the program's own stay, and so does a folder that looks like one.
  const std::vector<std::string> others = {".tambrel-save-notes.txt", "keep.tmp",
                                           "tambrel-save-0.tmp"};
  for (const std::string& name : others) dir.Write(name, "the user's");
  fs::create_directory(dir / ".tambrel-save-folder.tmp");

  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  std::vector<std::string> expected = others;
  expected.push_back(".tambrel-save-folder.tmp");
  expected.push_back("doc.txt");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(dir.path()), expected);
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST(RemoveStaleSaveFiles, ASaveInProgressElsewhereKeepsItsFile) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  const fs::path theirs = TemporarySaveName(path);
  std::ofstream(theirs, std::ios::binary) << "half written by another copy";
  {
    const HeldLikeASave held(theirs);
    // The same document saved meanwhile takes another name, and leaves the held one alone.
    ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
    RemoveStaleSaveFiles(dir.path());
    EXPECT_EQ(ReadBytes(theirs), "half written by another copy");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(Entries(dir.path()).size(), 2u);
  }
  // Once its save is gone, so is the file.
  RemoveStaleSaveFiles(dir.path());
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}

TEST(ReplaceFileAtomically, TellsWhatItWrote) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  const auto before = IdentityOf(path);
  const auto replaced = ReplaceFileAtomically(path, "new, and longer");
  ASSERT_TRUE(replaced.ok());
  const auto after = IdentityOf(path);
  ASSERT_TRUE(after.ok() && after.value().has_value());
  ASSERT_TRUE(replaced.value().written.has_value());
  EXPECT_EQ(*replaced.value().written, *after.value());
  EXPECT_NE(replaced.value().written, before.value());
  EXPECT_EQ(replaced.value().written->size, 15u);
}

#ifndef _WIN32
TEST(ReplaceFileAtomically, AnAnonymousFileThatCannotBeNamedGivesItsBytesToANamedOne) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  int namings = 0;
  ReplaceHooks hooks;
  hooks.name_anonymous_file = [&]() -> Status {
    ++namings;
    return FileFailure(u"无法在文件夹中创建临时文件", dir.path(), ErrnoReason(ENOENT));
  };
  const auto replaced = ReplaceFileAtomically(path, "new content", hooks);
  ASSERT_TRUE(replaced.ok());
  EXPECT_EQ(ReadBytes(path), "new content");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
  EXPECT_EQ(namings, HasAnonymousFiles(dir.path()) ? 1 : 0);
  EXPECT_EQ(*replaced.value().written, *IdentityOf(path).value());
}

TEST(ReplaceFileAtomically, AnAnonymousFileThatCouldNotBeNamedIsNotWrittenAtAll) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  int checks = 0;
  int namings = 0;
  ReplaceHooks hooks;
  hooks.check_anonymous_file = [&]() -> Status {
    ++checks;
    return Failure{u"没有 /proc"};
  };
  hooks.name_anonymous_file = [&]() -> Status {
    ++namings;
    return Done{};
  };
  ASSERT_TRUE(ReplaceFileAtomically(path, "new content", hooks).ok());
  EXPECT_EQ(ReadBytes(path), "new content");
  EXPECT_EQ(checks, HasAnonymousFiles(dir.path()) ? 1 : 0);
  EXPECT_EQ(namings, 0) << "the content went straight to a named file";
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}

TEST(ReplaceFileAtomically, ANamedSaveKilledOnTheWayIsGoneAfterTheNextSaveInTheFolder) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old content");
  const pid_t child = ::fork();
  if (child == 0) {
    ReplaceHooks hooks;
    hooks.check_anonymous_file = []() -> Status { return Failure{u"没有 /proc"}; };
    hooks.before_rename = []() -> Status {
      ::raise(SIGKILL);
      return Done{};
    };
    static_cast<void>(ReplaceFileAtomically(path, std::string(1 << 20, 'n'), hooks));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  const std::vector<std::string> after_kill = Entries(dir.path());
  ASSERT_EQ(after_kill.size(), 2u) << "the killed save left its named file";
  EXPECT_TRUE(IsTemporarySaveName(fs::path(after_kill[0])));
  // A save of another document in the same folder clears it.
  ASSERT_TRUE(ReplaceFileAtomically(dir / "other.txt", "other").ok());
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"doc.txt", "other.txt"}));
  EXPECT_EQ(ReadBytes(path), "old content");
}

// Lets no file of this process grow past a few bytes, as a full disk would, for as long as it
// lives. Writing past the limit fails with EFBIG instead of killing the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    struct rlimit limited = old_;
    limited.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    old_signal_ = ::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit old_ {};
  void (*old_signal_)(int) = nullptr;
};

TEST(ReplaceFileAtomically, AFailedWriteNamesTheFolderNotAFileThatIsGone) {
  for (const bool anonymous : {true, false}) {
    TempDir dir;
    const fs::path path = dir.Write("doc.txt", "old");
    ReplaceHooks hooks;
    if (!anonymous) hooks.check_anonymous_file = []() -> Status { return Failure{u"没有 /proc"}; };
    std::u16string reason;
    {
      const FileSizeLimit limit(4);
      const auto failed = ReplaceFileAtomically(path, "more than four bytes", hooks);
      ASSERT_FALSE(failed.ok()) << anonymous;
      reason = failed.failure().reason;
    }
    EXPECT_NE(reason.find(DisplayPath(dir.path())), std::u16string::npos) << anonymous;
    EXPECT_NE(reason.find(ErrnoReason(EFBIG)), std::u16string::npos) << anonymous;
    EXPECT_EQ(reason.find(u".tambrel-save"), std::u16string::npos) << anonymous;
    EXPECT_EQ(reason.find(u".tmp"), std::u16string::npos) << anonymous;
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
  }
}
#endif

TEST(ReplaceFileAtomically, AFolderThatCannotBeSyncedStillCountsAsReplaced) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  ReplaceHooks hooks;
  hooks.sync_folder = [](const fs::path& folder) -> Status {
    return FileFailure(u"无法把文件夹写入磁盘", folder, ErrnoReason(EIO));
  };
  const auto replaced = ReplaceFileAtomically(path, "new", hooks);
  ASSERT_TRUE(replaced.ok());
  ASSERT_TRUE(replaced.value().folder_not_synced.has_value());
  EXPECT_NE(replaced.value().folder_not_synced->reason.find(u"文件夹"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_FALSE(ReplaceFileAtomically(path, "again").value().folder_not_synced.has_value());
}

TEST(ReplaceFileAtomically, KeepsTheOwnerWhereAllowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may keep another user's ownership";
  TempDir dir;
  const fs::path path = dir.Write("theirs.txt", "old");
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
  EXPECT_EQ(info.st_gid, 65534u);
}
#else
TEST(ReplaceFileAtomically, KeepsFileAttributes) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine's ReplaceFileW drops the attributes";
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(ReplaceFileAtomically, NameWindowsForbidsFailsWithAReason) {
  TempDir dir;
  for (const char* name : {"a?b.txt", "a|b.txt", "a<b>.txt"}) {
    const auto status = ReplaceFileAtomically(dir / name, "x");
    ASSERT_FALSE(status.ok()) << name;
    EXPECT_NE(status.failure().reason.find(u"文件名无效"), std::u16string::npos) << name;
    EXPECT_FALSE(ReadWholeFile(dir / name, kNoLimit, MissingFile::kCreateEmpty).ok()) << name;
  }
  EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(ReplaceFileAtomically, FileAnotherProgramHoldsOpenFailsAndStays) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  // Open as an editor that shares reading and writing but not renaming or deleting.
  const HANDLE holder =
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const auto status = ReplaceFileAtomically(path, "new");
  ::CloseHandle(holder);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.failure().reason.find(path.u16string()), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "old");
  std::vector<std::string> left = Entries(dir.path());
  // Wine's ReplaceFileW leaves a backup of its own ("rf….tmp") behind when it fails.
  if (RunningUnderWine()) {
    std::erase_if(left, [](const std::string& name) {
      return name.starts_with("rf") && name.ends_with(".tmp");
    });
  }
  EXPECT_EQ(left, std::vector<std::string>{"doc.txt"});
}
#endif

#ifndef _WIN32
// On Windows symbolic links need a privilege, and Wine only pretends to create them.
TEST(ReplaceFileAtomically, ReplacesTheFileALinkPointsTo) {
  TempDir dir;
  fs::create_directory(dir / "real");
  const fs::path target = dir.Write("real/doc.txt", "old");
  fs::create_symlink("real/doc.txt", dir / "link.txt");
  ASSERT_TRUE(ReplaceFileAtomically(dir / "link.txt", "new").ok());
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(target), "new");
  // A link to a file that does not exist yet creates it.
  fs::create_symlink("real/later.txt", dir / "dangling.txt");
  ASSERT_TRUE(ReplaceFileAtomically(dir / "dangling.txt", "made").ok());
  EXPECT_EQ(ReadBytes(dir / "real" / "later.txt"), "made");
}
#endif

TEST(ReplaceFileAtomically, FailureBeforeTheRenameLeavesTheOldFileAndNoTrace) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old content");
  // What a killed save of the same document would have left under its name.
  std::ofstream(TemporarySaveName(path), std::ios::binary) << "stray";
  ReplaceHooks hooks;
  hooks.before_rename = [&]() -> Status { return Failure{u"模拟的故障"}; };
  const auto status = ReplaceFileAtomically(path, "new content", hooks);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.failure().reason, u"模拟的故障");
  EXPECT_EQ(ReadBytes(path), "old content");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}

TEST(ReplaceFileAtomically, TargetThatIsAFolderFailsAndStays) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  dir.Write("folder/inside.txt", "keep");
  const auto status = ReplaceFileAtomically(dir / "folder", "x");
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.failure().reason.find(u"文件夹"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(dir / "folder" / "inside.txt"), "keep");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"folder"});
}

#ifndef _WIN32
TEST(ReplaceFileAtomically, ReadOnlyFolderFailsAndLeavesTheFile) {
  TempDir dir;
  fs::create_directory(dir / "locked");
  const fs::path path = dir.Write("locked/doc.txt", "old");
  ::chmod(path.c_str(), 0666);
  ::chmod((dir / "locked").c_str(), 0555);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_FALSE(SucceedsWithoutRoot([&] { return ReplaceFileAtomically(path, "new").ok(); }));
  ::chmod((dir / "locked").c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Entries(dir / "locked"), std::vector<std::string>{"doc.txt"});
}

TEST(ReplaceFileAtomically, ReadOnlyFileIsRefusedNotReplaced) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  ::chmod(path.c_str(), 0444);
  ::chmod(dir.path().c_str(), 0777);
  EXPECT_FALSE(SucceedsWithoutRoot([&] { return ReplaceFileAtomically(path, "new").ok(); }));
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Mode(path), 0444u);
}
#else
TEST(ReplaceFileAtomically, ReadOnlyFileIsRefusedNotReplaced) {
  TempDir dir;
  const fs::path path = dir.Write("doc.txt", "old");
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  const auto status = ReplaceFileAtomically(path, "new");
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  // Windows will not delete a read-only file, so the folder could not be cleaned up otherwise.
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.failure().reason.find(u"只读"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"doc.txt"});
}
#endif

TEST(ReplaceFileAtomically, MissingFolderFailsWithAReason) {
  TempDir dir;
  const auto status = ReplaceFileAtomically(dir / "no" / "doc.txt", "x");
  ASSERT_FALSE(status.ok());
  EXPECT_FALSE(status.failure().reason.empty());
  EXPECT_FALSE(fs::exists(dir / "no"));
}

}  // namespace
}  // namespace tambrel::platform::files
