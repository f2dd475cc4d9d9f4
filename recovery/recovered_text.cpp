#include "recovery/recovered_text.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>

#include "document/document_file.h"
#include "platform/files/file_identity.h"
#include "platform/files/files.h"
#include "platform/files/path_text.h"
#include "platform/files/record_file.h"
#include "recovery/recovery_journal.h"
#include "text/text_buffer.h"
#include "text/utf16.h"

namespace tambrel::recovery {

namespace fs = std::filesystem;

namespace {

// The largest record read back: a document's worth of insertions and a little more.
constexpr std::uint64_t kLargestRecord = std::uint64_t{5} << 30;

std::optional<JournalContents> ReadRecord(const fs::path& record) {
  auto bytes =
      platform::files::ReadWholeFile(record, kLargestRecord, platform::files::MissingFile::kFail);
  if (!bytes) return std::nullopt;
  return DecodeJournal(bytes.value());
}

platform::Result<document::DecodedText> ReadBase(const fs::path& file) {
  return document::ReadDocumentFile(file);
}

}  // namespace

std::vector<fs::path> AbandonedRecords(const fs::path& folder) {
  // By the time of their last edit, which the records keep themselves: a file system's times
  // are coarse or late on some systems.
  std::vector<std::pair<std::int64_t, fs::path>> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const fs::path& path = entry.path();
    if (path.extension() == ".base" || path.extension() == ".part") {
      // A copy outlives its record only when the program died between removing the two.
      fs::path record = path;
      if (path.extension() == ".part") record.replace_extension();
      record.replace_extension(".journal");
      if (!fs::exists(record, error)) fs::remove(path, error);
      continue;
    }
    if (path.extension() != ".journal" || platform::files::RecordFileInUse(path)) continue;
    const std::optional<JournalContents> contents = ReadRecord(path);
    if (!contents || contents->edits.empty()) {
      RemoveRecord(path);
      continue;
    }
    found.emplace_back(contents->edits.back().unix_ms, path);
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<fs::path> records;
  for (auto& [time, path] : found) records.push_back(std::move(path));
  return records;
}

text::TextBuffer ReplayEdits(text::TextBuffer text, const std::vector<JournalEdit>& edits,
                             std::size_t* applied) {
  std::size_t count = 0;
  for (const JournalEdit& edit : edits) {
    if (edit.position > text.Length() || edit.removed > text.Length() - edit.position) break;
    text.Replace(edit.position, edit.removed, edit.inserted);
    ++count;
  }
  if (applied != nullptr) *applied = count;
  return text;
}

platform::Result<RecoveredText> RecoverText(const fs::path& record) {
  std::optional<JournalContents> contents = ReadRecord(record);
  if (!contents) return platform::Failure{u"恢复记录已损坏"};
  RecoveredText recovered;
  recovered.path = contents->base.path;
  document::DecodedText base;
  if (!contents->base.path.empty()) {
    const auto file = platform::files::PathFromText(contents->base.path);
    if (!file) return file.failure();
    const auto now = platform::files::IdentityOf(file.value());
    const fs::path copy = BaseCopyPath(record);
    std::error_code error;
    if (now && now.value() == contents->base.identity) {
      auto read = ReadBase(file.value());
      if (!read) return read.failure();
      base = std::move(read.value());
      recovered.from = RecoveredFrom::kUnchangedFile;
    } else if (contents->base.identity && fs::exists(copy, error) &&
               fs::file_size(copy, error) == contents->base.identity->size) {
      auto read = ReadBase(copy);
      if (!read) return read.failure();
      base = std::move(read.value());
      recovered.from = RecoveredFrom::kCopyOfFile;
    } else {
      return platform::Failure{u"文件“" + contents->base.path +
                               u"”在程序退出后已被修改，未保存的修改无法套用到新的内容上"};
    }
  }
  if (base.Length() > 0) recovered.line_break = document::DominantLineBreak(base);
  std::size_t applied = 0;
  recovered.text = ReplayEdits(document::BufferOf(std::move(base)), contents->edits, &applied);
  if (contents->base.path.empty()) {
    recovered.line_break = document::DominantLineBreak(recovered.text.Text());
  }
  recovered.text.ForEachPiece(0, recovered.text.Length(), [&](std::u16string_view piece) {
    for (const char16_t unit : piece) recovered.characters += text::IsLowSurrogate(unit) ? 0 : 1;
  });
  recovered.edits = std::move(contents->edits);
  recovered.edits.resize(applied);
  if (applied > 0) recovered.last_edit_unix_ms = recovered.edits.back().unix_ms;
  return recovered;
}

void RemoveRecord(const fs::path& record) {
  std::error_code ignored;
  fs::remove(BaseCopyPath(record), ignored);
  fs::remove(record, ignored);
}

}  // namespace tambrel::recovery
