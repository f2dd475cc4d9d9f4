#include "commands/unsaved_text_recovery.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "document/line_breaks.h"
#include "platform/files/file_identity.h"
#include "platform/files/path_text.h"
#include "recovery/recovered_text.h"

namespace tambrel::commands {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string LocalTime(std::int64_t unix_ms) {
  const std::time_t seconds = static_cast<std::time_t>(unix_ms / 1000);
  const std::tm* local = std::localtime(&seconds);
  if (local == nullptr) return u"未知";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return Ascii(text);
}

std::u16string Question(const recovery::RecoveredText& recovered) {
  std::u16string question = u"上次程序没有正常退出，留下了未保存的文本：\n\n";
  question += u"文件：" + (recovered.path.empty() ? std::u16string(u"（新文本）") : recovered.path);
  question += u"\n最后修改：" + LocalTime(recovered.last_edit_unix_ms);
  question += u"\n字符数：" + Ascii(std::to_string(recovered.characters));
  if (recovered.from == recovery::RecoveredFrom::kCopyOfFile) {
    question +=
        u"\n\n原文件此后已被其他程序修改。恢复的文本不会写进原文件，请用“另保存”保存为新文件。";
  }
  question += u"\n\n是否恢复这些文本？";
  return question;
}

}  // namespace

UnsavedTextRecovery::UnsavedTextRecovery(platform::EditBox& text1, platform::CommonDialog& dialog,
                                         platform::UserDialogs& dialogs,
                                         platform::BackgroundWork& work, DocumentState& state,
                                         std::optional<std::filesystem::path> folder)
    : text1_(text1),
      dialog_(dialog),
      dialogs_(dialogs),
      work_(work),
      state_(state),
      folder_(std::move(folder)) {
  if (folder_) journal_ = std::make_unique<recovery::RecoveryJournal>(*folder_ / "recovery");
}

std::optional<recovery::RecoveredText> UnsavedTextRecovery::AskAboutAbandonedText() {
  if (!journal_) return std::nullopt;
  const std::filesystem::path folder = *folder_ / "recovery";
  std::vector<std::filesystem::path> records;
  work_.RunWithoutFreezing([&] { records = recovery::AbandonedRecords(folder); });
  if (records.empty()) return std::nullopt;
  const std::filesystem::path& record = records.front();

  std::optional<platform::Result<recovery::RecoveredText>> read;
  work_.RunWithoutFreezing([&] { read.emplace(recovery::RecoverText(record)); });
  if (!read->ok()) {
    dialogs_.ShowMessage(
        u"上次程序没有正常退出，但未保存的文本无法恢复：\n" + read->failure().reason,
        MessageButtons::kOk, MessageIcon::kExclamation, u"警告");
    recovery::RemoveRecord(record);
    return std::nullopt;
  }
  if (dialogs_.ShowMessage(Question(read->value()), MessageButtons::kYesNo, MessageIcon::kNone,
                           u"提示") != MessageAnswer::kYes) {
    recovery::RemoveRecord(record);
    return std::nullopt;
  }
  offered_record_ = record;
  return std::move(read->value());
}

void UnsavedTextRecovery::Restore(recovery::RecoveredText recovered) {
  const bool same_file = recovered.from == recovery::RecoveredFrom::kUnchangedFile;
  recovery::JournalBase base;
  if (same_file) {
    base.path = recovered.path;
    if (const auto file = platform::files::PathFromText(recovered.path)) {
      if (const auto identity = platform::files::IdentityOf(file.value())) {
        base.identity = identity.value();
      }
    }
  }
  // A file changed since is never written over with the recovered text: it is saved anew.
  state_.known_file = base.identity;
  dialog_.FileName = base.path;
  state_.FilePath = base.path;
  text1_.SetNewLine(document::LineBreakText(recovered.line_break));
  std::u16string whole = same_file ? std::u16string() : recovered.text.Text();
  // The caret where the user left off: after the last edit.
  std::size_t caret = 0;
  if (!recovered.edits.empty()) {
    caret = recovered.edits.back().position + recovered.edits.back().inserted.size();
  }
  text1_.AdoptText(std::move(recovered.text));
  text1_.SetSelStart(static_cast<std::int32_t>(std::min<std::size_t>(caret, INT32_MAX)));
  state_.Saved = false;
  state_.unreadable_characters = 0;

  // A record of its own for the recovered text, written before the old one goes: the same edits
  // on the file as it still is, or, the file being gone or changed, the whole text.
  journal_->Start(base);
  if (same_file) {
    for (recovery::JournalEdit& edit : recovered.edits) journal_->Record(std::move(edit));
  } else {
    journal_->Record(recovery::JournalEdit{0, 0, std::move(whole), 0});
  }
  journal_->WaitUntilWritten();
  recovery::RemoveRecord(offered_record_);
  offered_record_.clear();
}

void UnsavedTextRecovery::AfterCommand() {
  if (!journal_) return;
  if (state_.Saved) {
    Follow();
  } else if (!journal_->Following()) {
    // The command set a whole new text and left it unsaved: kept whole, since no file holds it.
    journal_->Start({});
    journal_->Record(recovery::JournalEdit{0, 0, text1_.Text(), 0});
  }
}

void UnsavedTextRecovery::Follow() {
  recovery::JournalBase base;
  base.path = dialog_.FileName;
  base.identity = state_.known_file;
  if (base.path.empty() || !base.identity) base = {};
  // A base with a name but no identity could not be read back: the text counts from nothing.
  journal_->Start(std::move(base));
}

void UnsavedTextRecovery::Text1_Change() {
  if (!journal_) return;
  std::optional<std::vector<platform::TextReplacement>> changes = text1_.ReportedChanges();
  if (!changes) {
    // A whole new text: what it is made from is told by the command that set it.
    journal_->Discard();
    return;
  }
  for (platform::TextReplacement& change : *changes) {
    journal_->Record(
        recovery::JournalEdit{change.position, change.removed, std::move(change.inserted), 0});
  }
}

void UnsavedTextRecovery::Forget() {
  if (journal_) journal_->Discard();
}

void UnsavedTextRecovery::SayFailureOnce() {
  if (!journal_) return;
  const std::optional<platform::Failure> failure = journal_->TakeFailure();
  if (!failure) return;
  dialogs_.ShowMessage(u"无法写入未保存文本的恢复记录：\n" + failure->reason +
                           u"\n\n编辑不受影响，但如果程序意外退出，未保存的文本将无法恢复。",
                       MessageButtons::kOk, MessageIcon::kExclamation, u"警告");
}

}  // namespace tambrel::commands
