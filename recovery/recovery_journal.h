#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <variant>

#include "platform/files/record_file.h"
#include "platform/result.h"
#include "recovery/journal_format.h"

namespace tambrel::recovery {

// Keeps the record of the text's changes since it was loaded or saved, from which the text comes
// back after the program dies. What the program calls here only queues: a thread of the journal's
// own writes and flushes, so typing never waits for the disk, and each edit costs what it
// inserts, whatever the size of the document. An edit reaches the file at once, and the disk
// within half a second.
//
// A record exists only while there is unsaved text: it is created by the first edit after
// Start(). Where the base is a file, a copy of it is kept beside the record once there are edits,
// so that the text can be given back even if the file is changed meanwhile.
class RecoveryJournal {
 public:
  explicit RecoveryJournal(std::filesystem::path folder);
  // Stops the writer after it has written everything queued; the record stays for the next start
  // unless Discard() was called.
  ~RecoveryJournal();
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;

  // Forgets the previous record and follows a text made from `base` from now on.
  void Start(JournalBase base);
  // Follows the change of the text. Ignored while there is no base.
  void Record(JournalEdit edit);
  // Removes the record: its text was saved, or the user gave it up.
  void Discard();
  // Whether edits are being followed.
  bool Following() const { return following_; }

  // The first failure to write the record, once; nothing after that.
  std::optional<platform::Failure> TakeFailure();
  // Waits until everything queued is written and flushed; for tests and measurements.
  void WaitUntilWritten();
  // The record being written, once it exists.
  std::optional<std::filesystem::path> RecordPath();

 private:
  struct DiscardCommand {};
  using Command = std::variant<JournalBase, JournalEdit, DiscardCommand>;

  void Write();
  void Handle(Command& command);
  void Fail(const platform::Failure& failure);
  void RemoveRecord();
  void StartBaseCopy(const JournalBase& base);

  const std::filesystem::path folder_;
  bool following_ = false;  // on the program's thread only

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable written_;
  bool stopping_ = false;
  std::deque<Command> queue_;
  bool busy_ = false;
  std::optional<platform::Failure> failure_;
  bool failure_told_ = false;
  std::optional<std::filesystem::path> record_path_;

  // The writer's own.
  std::optional<JournalBase> base_;
  std::optional<platform::files::RecordFile> record_;
  bool record_failed_ = false;
  bool unsynced_ = false;
  std::jthread base_copy_;
  std::thread writer_;  // last: it starts once everything above exists
};

// The name of the copy of a record's base file, beside the record.
std::filesystem::path BaseCopyPath(const std::filesystem::path& record);

}  // namespace tambrel::recovery
