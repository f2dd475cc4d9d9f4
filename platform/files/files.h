#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/file_identity.h"
#include "platform/result.h"

// Whole-file reading and writing. Every failure comes back with a reason in Chinese that names
// the file; nothing here shows a message or retries.
namespace tambrel::platform::files {

// What reading does when the path names nothing.
enum class MissingFile { kFail, kCreateEmpty };

// Shown, after each piece of a read, the bytes read so far and told how many there are in all;
// answering false stops the read, which then fails.
using ReadWatch = std::function<bool(std::string_view read, std::uint64_t size)>;

// How much a watched read takes in at a time: small enough to answer a stop at once, large enough
// to cost nothing.
inline constexpr std::size_t kWatchedReadPiece = std::size_t{8} << 20;

// All the bytes of a regular file. A folder, a device or a pipe is refused, and so is a file
// larger than max_bytes, before anything is allocated for it.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t max_bytes,
                                  MissingFile missing, const ReadWatch& watch = {});

// Lets a test make the replacement fail at its most delicate moments.
struct ReplaceHooks {
  // Runs after the new content is safely on disk and before it takes the target's name; a
  // failure here aborts the replacement.
  std::function<Status()> before_rename;
  // Stands in for making the new name durable in its folder, after the rename.
  std::function<Status(const std::filesystem::path& folder)> sync_folder;
  // Run before the two steps of a file without a name (Linux's O_TMPFILE), a failure counting as
  // the step's: the check, before anything is written, that the file can be given a name later
  // (failing, the save writes a named file from the start), and the giving of that name once the
  // content is written (failing, the save writes the same bytes again, to a named file).
  std::function<Status()> check_anonymous_file;
  std::function<Status()> name_anonymous_file;
};

// A replacement that took place.
struct Replaced {
  // Set when the new name could not be made durable in its folder (the folder's sync failed):
  // the file holds the new content, but a power cut before the system writes the folder out
  // could bring the old one back.
  std::optional<Failure> folder_not_synced;
  // The file as this save left it, to tell a later change by another program from this save;
  // nullopt when it could not be looked at.
  std::optional<FileIdentity> written;
};

// Makes the file at path hold exactly `contents`, so that at every moment the path holds either
// the old content or the new, never a truncated or missing file. The new content is written to a
// file of its own in the same folder, flushed to disk and renamed over the target. Where the
// system allows, that file has no name until the rename, so a save killed on the way leaves
// nothing behind; elsewhere it is named by TemporarySaveName and held locked while it is written,
// and whatever a killed save left that way is removed before the next save into the folder (see
// RemoveStaleSaveFiles). An existing target keeps its permission bits (set-user-ID and set-group-ID
// among them) and, where allowed, its owner; a symbolic link keeps pointing where it pointed, and
// the file it points to is the one replaced. On failure the target is untouched and nothing is
// left in the folder. A target that the user may not write to is refused rather than replaced.
Result<Replaced> ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                                       const ReplaceHooks& hooks = {});

// The name a save of target writes under before the rename, when it needs one: hidden, in the
// same folder, short whatever the target's name, and ending in .tmp, so that a leftover never
// passes for a finished document. `attempt` gives other names for the same target, for a save
// that finds the first one taken (by a save of the same document in another running copy).
std::filesystem::path TemporarySaveName(const std::filesystem::path& target, unsigned attempt = 0);

// Whether a file name (without its folder) is one TemporarySaveName gives.
bool IsTemporarySaveName(const std::filesystem::path& file_name);

// Removes from folder the files named by TemporarySaveName that no save is writing: what saves
// killed on the way left, however much of the content they had written. A save in progress, in
// this program or another running copy of it, holds its file locked and keeps it. This removes
// what it can and says nothing: a leftover that cannot be removed (another user's, say) is no
// reason not to save.
void RemoveStaleSaveFiles(const std::filesystem::path& folder);

}  // namespace tambrel::platform::files
