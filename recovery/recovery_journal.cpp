#include "recovery/recovery_journal.h"

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/files/path_text.h"
#include "platform/files/shared_reader.h"

namespace tambrel::recovery {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kSyncDelay = std::chrono::milliseconds(500);

std::int64_t UnixMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// A name no other instance of the program picks: the time and a random part.
fs::path NewRecordName(const fs::path& folder) {
  std::random_device random;
  const std::uint64_t tag = (std::uint64_t{random()} << 32) ^ random();
  char name[64];
  std::snprintf(name, sizeof name, "unsaved-%lld-%016llx.journal",
                static_cast<long long>(UnixMilliseconds()), static_cast<unsigned long long>(tag));
  return folder / name;
}

// Copies the file in pieces, giving up when asked to stop or when the file turns out to have
// changed under the copy: a copy is worth keeping only if it is the base the edits apply to.
void CopyBase(std::stop_token stop, const JournalBase& base, const fs::path& copy) {
  const auto named = platform::files::PathFromText(base.path);
  if (!named) return;
  const fs::path& source = named.value();
  const fs::path partial = copy.string() + ".part";
  {
    // Read sharing the file with everyone: the user may save over it while it is copied.
    auto in = platform::files::SharedFileReader::Open(source);
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!in || !out) return;
    // A copy of the user's document, readable by the user alone, like the record beside it.
    std::error_code private_copy;
    fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace, private_copy);
    std::vector<char> buffer(1 << 20);
    bool whole = false;
    while (!stop.stop_requested()) {
      const auto read = in.value().Read(buffer.data(), buffer.size());
      if (!read) break;
      if (read.value() == 0) {
        whole = true;
        break;
      }
      out.write(buffer.data(), static_cast<std::streamsize>(read.value()));
    }
    if (!whole || !out.flush()) {
      out.close();
      std::error_code ignored;
      fs::remove(partial, ignored);
      return;
    }
  }
  std::error_code error;
  const auto now = platform::files::IdentityOf(source);
  if (!now || now.value() != base.identity ||
      fs::file_size(partial, error) != base.identity->size) {
    fs::remove(partial, error);
    return;
  }
  fs::rename(partial, copy, error);
  if (error) fs::remove(partial, error);
}

}  // namespace

fs::path BaseCopyPath(const fs::path& record) {
  fs::path copy = record;
  copy.replace_extension(".base");
  return copy;
}

RecoveryJournal::RecoveryJournal(fs::path folder)
    : folder_(std::move(folder)), writer_([this] { Write(); }) {}

RecoveryJournal::~RecoveryJournal() {
  WaitUntilWritten();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  writer_.join();
}

void RecoveryJournal::Start(JournalBase base) {
  following_ = true;
  {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(std::move(base));
  }
  wake_.notify_one();
}

void RecoveryJournal::Record(JournalEdit edit) {
  if (!following_) return;
  if (edit.unix_ms == 0) edit.unix_ms = UnixMilliseconds();
  {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(std::move(edit));
  }
  wake_.notify_one();
}

void RecoveryJournal::Discard() {
  following_ = false;
  {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(DiscardCommand{});
  }
  wake_.notify_one();
}

std::optional<platform::Failure> RecoveryJournal::TakeFailure() {
  std::lock_guard lock(mutex_);
  if (!failure_ || failure_told_) return std::nullopt;
  failure_told_ = true;
  return failure_;
}

void RecoveryJournal::WaitUntilWritten() {
  std::unique_lock lock(mutex_);
  written_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

std::optional<fs::path> RecoveryJournal::RecordPath() {
  std::lock_guard lock(mutex_);
  return record_path_;
}

void RecoveryJournal::Write() {
  auto sync_due = Clock::time_point::max();
  while (true) {
    std::deque<Command> batch;
    bool stopping = false;
    {
      std::unique_lock lock(mutex_);
      const auto ready = [this] { return !queue_.empty() || stopping_; };
      if (unsynced_) {
        wake_.wait_until(lock, sync_due, ready);
      } else {
        wake_.wait(lock, ready);
      }
      stopping = stopping_;
      batch.swap(queue_);
      busy_ = true;
    }
    for (Command& command : batch) Handle(command);
    if (unsynced_ && record_) {
      if (sync_due == Clock::time_point::max()) sync_due = Clock::now() + kSyncDelay;
      if (Clock::now() >= sync_due || stopping) {
        if (auto synced = record_->Sync(); !synced) Fail(synced.failure());
        unsynced_ = false;
        sync_due = Clock::time_point::max();
      }
    } else {
      unsynced_ = false;
      sync_due = Clock::time_point::max();
    }
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
      // What was queued before the stop is written; the destructor waited for it.
      if (stopping && queue_.empty()) {
        written_.notify_all();
        return;
      }
    }
    written_.notify_all();
  }
}

void RecoveryJournal::Handle(Command& command) {
  if (auto* base = std::get_if<JournalBase>(&command)) {
    RemoveRecord();
    base_ = std::move(*base);
    record_failed_ = false;
    return;
  }
  if (std::holds_alternative<DiscardCommand>(command)) {
    RemoveRecord();
    base_.reset();
    return;
  }
  if (!base_ || record_failed_) return;
  const auto& edit = std::get<JournalEdit>(command);
  std::string bytes;
  if (!record_) {
    auto created = platform::files::RecordFile::Create(NewRecordName(folder_));
    if (!created) {
      record_failed_ = true;
      Fail(created.failure());
      return;
    }
    record_ = std::move(created.value());
    {
      std::lock_guard lock(mutex_);
      record_path_ = record_->path();
    }
    bytes = EncodeHeader(*base_, edit.unix_ms);
    StartBaseCopy(*base_);
  }
  bytes += EncodeEdit(edit);
  if (auto appended = record_->Append(bytes); !appended) {
    // A record with a gap would give back a wrong text: nothing more goes into this one.
    record_failed_ = true;
    Fail(appended.failure());
    return;
  }
  unsynced_ = true;
}

void RecoveryJournal::StartBaseCopy(const JournalBase& base) {
  if (base.path.empty() || !base.identity) return;
  base_copy_ = std::jthread([base, copy = BaseCopyPath(record_->path())](std::stop_token stop) {
    CopyBase(stop, base, copy);
  });
}

void RecoveryJournal::RemoveRecord() {
  if (base_copy_.joinable()) {
    base_copy_.request_stop();
    base_copy_.join();
  }
  if (!record_) return;
  std::error_code ignored;
  fs::remove(BaseCopyPath(record_->path()), ignored);
  record_->Remove();
  record_.reset();
  unsynced_ = false;
  std::lock_guard lock(mutex_);
  record_path_.reset();
}

void RecoveryJournal::Fail(const platform::Failure& failure) {
  std::lock_guard lock(mutex_);
  if (!failure_) failure_ = failure;
}

}  // namespace tambrel::recovery
