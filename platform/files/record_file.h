#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/result.h"

namespace tambrel::platform::files {

// The folder where this program keeps what outlives a run for the user alone (records of unsaved
// text): $XDG_STATE_HOME/tambrel or ~/.local/state/tambrel on Linux, %LOCALAPPDATA%\Tambrel on
// Windows. Not created here; nullopt when the environment names no home at all.
std::optional<std::filesystem::path> UserStateFolder();

// A file this program appends to while it runs and that says, as long as it is open, that its
// writer is alive: another process sees it as in use (an advisory lock on Linux, a handle that
// shares neither writing nor deleting on Windows). When the writer dies, however it dies, the
// system lets go, and the file is left to whoever finds it.
class RecordFile {
 public:
  // Creates the file, which must not exist yet, and the folders above it.
  static Result<RecordFile> Create(const std::filesystem::path& path);
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  const std::filesystem::path& path() const { return path_; }
  // Appends the bytes; once it answers, a kill of the program cannot take them back.
  Status Append(std::string_view bytes);
  // Puts what was appended on the disk, so that a power cut cannot take it back either.
  Status Sync();
  // Closes the file and removes it.
  void Remove();

 private:
  RecordFile(std::filesystem::path path, std::intptr_t handle)
      : path_(std::move(path)), handle_(handle) {}
  void Close();

  std::filesystem::path path_;
  std::intptr_t handle_ = -1;  // a descriptor, or a Windows HANDLE
};

// True when a living RecordFile holds the file at path.
bool RecordFileInUse(const std::filesystem::path& path);

}  // namespace tambrel::platform::files
