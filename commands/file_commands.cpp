#include "commands/file_commands.h"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "commands/command_line_path.h"
#include "document/document_codec.h"
#include "document/document_file.h"
#include "document/line_breaks.h"
#include "platform/files/file_identity.h"
#include "platform/files/path_text.h"
#include "text/text_buffer.h"

namespace tambrel::commands {

using namespace tambrel::document;

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::files::FileIdentity;

namespace {

// What the reading could not decode and the text does not show as such. U+FFFD, which the
// Unicode decoders put in, is a character no save can keep, and is counted as one already.
std::size_t HiddenReadLosses(const DecodedText& document) {
  switch (document.encoding) {
    case TextEncoding::kCodePage936:
    case TextEncoding::kScrambled:
      return document.undecodable;
    default:
      return 0;
  }
}

std::u16string Decimal(std::size_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string FailureMessage(std::u16string_view what, const std::u16string& path,
                              const platform::Failure& failure) {
  std::u16string text(what);
  text += path;
  text += u"\n";
  text += failure.reason;
  return text;
}

// What is at path now: nullopt inside when nothing is; nullopt outside when that cannot be told
// (a name the system cannot take, a folder without permission). What cannot be told is not taken
// for a change: opening or saving the file reports the real trouble when it comes to that.
std::optional<std::optional<FileIdentity>> FileNow(const std::u16string& path) {
  const auto file = platform::files::PathFromText(path);
  if (!file) return std::nullopt;
  auto identity = platform::files::IdentityOf(file.value());
  if (!identity) return std::nullopt;
  return identity.value();
}

// Takes away whatever preview the reading of a document showed, however the reading ends.
class PreviewWhileReading {
 public:
  explicit PreviewWhileReading(platform::EditBox& box) : box_(box) {}
  ~PreviewWhileReading() { box_.EndPreview(); }
  PreviewWhileReading(const PreviewWhileReading&) = delete;
  PreviewWhileReading& operator=(const PreviewWhileReading&) = delete;

 private:
  platform::EditBox& box_;
};

const char16_t kChangedElsewhere[] = u"文件已被其他程序修改：";
const char16_t kGoneElsewhere[] = u"文件已被其他程序删除或移动：";

}  // namespace

void FileCommands::Open_Click() {
  if (OfferToSaveChanges() == Proceed::kStop) return;
  const std::u16string previous = dialog_.FileName;
  // A cancelled dialog must not reload the current file over unsaved edits.
  if (!dialog_.ShowOpen() || dialog_.FileName.empty()) {
    dialog_.FileName = previous;
    return;
  }
  if (!LoadDocument(dialog_.FileName)) dialog_.FileName = previous;
}

void FileCommands::Bc_Click() {
  if (dialog_.FileName.empty()) {
    Save_Click();
    return;
  }
  if (ConfirmSavingOverOtherChanges(dialog_.FileName) == Proceed::kStop) return;
  SaveDocument(dialog_.FileName);
}

SaveOutcome FileCommands::Save_Click() {
  if (text1_.TextLength() == 0) {
    Warn(u"文本框不可以空！！！");
    return SaveOutcome::kNotSaved;
  }
  const std::u16string previous = dialog_.FileName;
  dialog_.FileName.clear();
  SaveOutcome outcome = SaveOutcome::kNotSaved;
  if (dialog_.ShowSave() && !dialog_.FileName.empty()) outcome = SaveDocument(dialog_.FileName);
  // Cancelled, declined or failed: the document keeps the path it had.
  if (outcome != SaveOutcome::kSaved) dialog_.FileName = previous;
  return outcome;
}

void FileCommands::Text1_OLEDragDrop(const platform::DropData& data) {
  // A drop without files (text, say) is no document: the text and its path stay as they are.
  if (data.files.empty() || data.files.back().empty()) return;
  if (OfferToSaveChanges() == Proceed::kStop) return;
  const std::u16string path = data.files.back();
  const std::u16string previous = state_.FilePath;
  state_.FilePath = path;
  if (LoadDocument(path)) {
    dialog_.FileName = path;
  } else {
    state_.FilePath = previous;
  }
}

void FileCommands::Timer2_Timer(const std::u16string& command_line) {
  // Off first: a warning below runs a nested event loop, where a 1 ms timer would tick again.
  timer2_.SetEnabled(false);
  state_.Saved = true;
  RememberFile(std::nullopt);
  dialog_.Color = text1_.ForeColor();
  dialog_.Filter = kDocumentFilter;
  // A new document ends its lines the desktop way.
  text1_.SetNewLine(LineBreakText(LineBreak::kCrLf));
  state_.FilePath = DocumentPathFromCommandLine(command_line);
  if (!state_.FilePath.empty() && LoadDocument(state_.FilePath)) {
    dialog_.FileName = state_.FilePath;
  }
}

Proceed FileCommands::OfferToSaveChanges() {
  if (text1_.TextLength() == 0 || state_.Saved) return Proceed::kGoOn;
  const MessageAnswer answer = dialogs_.ShowMessage(
      u"文本已改变，是否保存？", MessageButtons::kYesNo, MessageIcon::kNone, u"提示");
  if (answer != MessageAnswer::kYes) return Proceed::kGoOn;
  return Save_Click() == SaveOutcome::kSaved ? Proceed::kGoOn : Proceed::kStop;
}

Proceed FileCommands::ConfirmSavingOverOtherChanges(const std::u16string& path) {
  if (!state_.known_file) return Proceed::kGoOn;
  const auto now = FileNow(path);
  if (!now || *now == state_.known_file) return Proceed::kGoOn;
  // Answered here, so the window's next activation does not bring the same change up again.
  noticed_file_ = *now;
  const std::u16string question =
      now->has_value()
          ? kChangedElsewhere + path + u"\n保存将覆盖其他程序写入的内容，是否仍然保存？"
          : kGoneElsewhere + path + u"\n是否仍然保存？";
  // Return or Escape must not throw the other program's work away.
  const MessageAnswer answer = dialogs_.ShowMessage(question, MessageButtons::kYesNoDefaultNo,
                                                    MessageIcon::kExclamation, u"提示");
  return answer == MessageAnswer::kYes ? Proceed::kGoOn : Proceed::kStop;
}

void FileCommands::Form_Activate() {
  if (!state_.known_file || dialog_.FileName.empty()) return;
  const std::u16string path = dialog_.FileName;
  const auto now = FileNow(path);
  if (!now || *now == state_.known_file) return;
  // Spelled out: comparing the optional of an optional with an optional would take two empty
  // ones, "never told" and "gone", for equal.
  if (noticed_file_.has_value() && *noticed_file_ == *now) return;
  noticed_file_ = *now;
  if (!now->has_value()) {
    dialogs_.ShowMessage(kGoneElsewhere + path +
                             (state_.Saved ? u"\n编辑器中的文本仍在，可以用“另保存”保留它。"
                                           : u"\n编辑器中的文本有未保存的修改，请及时保存。"),
                         MessageButtons::kOk, MessageIcon::kInformation, u"提示");
    return;
  }
  if (!state_.Saved) {
    // A question at every return to the window would be a nuisance; the save asks before it
    // writes over the other program's content.
    dialogs_.ShowMessage(
        kChangedElsewhere + path + u"\n编辑器中的文本有未保存的修改；保存时会先询问是否覆盖。",
        MessageButtons::kOk, MessageIcon::kInformation, u"提示");
    return;
  }
  const MessageAnswer answer =
      dialogs_.ShowMessage(kChangedElsewhere + path + u"\n是否重新载入？", MessageButtons::kYesNo,
                           MessageIcon::kNone, u"提示");
  if (answer == MessageAnswer::kYes) LoadDocument(path);
}

bool FileCommands::LoadDocument(const std::u16string& path) {
  const auto file = platform::files::PathFromText(path);
  if (!file) {
    Warn(FailureMessage(u"打开失败：", path, file.failure()));
    return false;
  }
  // Taken before the reading: whatever another program writes from now on is a change to tell.
  std::optional<std::optional<FileIdentity>> opened = FileNow(path);
  // Reading and decoding a large file takes a while: the window keeps painting meanwhile.
  std::optional<platform::Result<DecodedText>> read;
  std::optional<text::TextBuffer> buffer;
  LineBreak common = LineBreak::kCrLf;
  platform::WorkProgress progress;
  platform::ShownWork opening = platform::StoppableWork(kOpening);
  opening.note = kEditingWaits;
  // The start of a large document shows at once, over the editor, which keeps its own text
  // underneath until the whole document is in.
  opening.show_preview = [this](std::u16string start) { text1_.ShowPreview(start); };
  {
    const PreviewWhileReading preview(text1_);
    work_.RunShowingProgress(opening, progress, [&] {
      read = ReadDocumentFile(file.value(), &progress);
      if (!read->ok()) return;
      // The document's lines are indexed here too, while the progress still shows; a large
      // document's were found while it was decoded.
      common = DominantLineBreak(read->value());
      buffer.emplace(BufferOf(std::move(read->value())));
      // A last look, so that Esc pressed while the last of it was read still stops the open.
      if (progress.StopRequested()) buffer.reset();
    });
  }
  // Stopped by the user: the document that was there stays, as it was.
  if (progress.GivenUp()) return false;
  if (!read->ok()) {
    Warn(FailureMessage(u"打开失败：", path, read->failure()));
    return false;
  }
  DecodedText& document = read->value();
  // The editor keeps every break of the text; lines the user adds take the one it uses most.
  text1_.SetNewLine(LineBreakText(common));
  state_.unreadable_characters = HiddenReadLosses(document);
  // Setting the text counts as a change and clears Saved, so Saved is set afterwards.
  text1_.AdoptText(std::move(*buffer));
  state_.Saved = true;
  // A name that named nothing was opened as a new, empty file: that file is the one to watch.
  if (opened && !opened->has_value()) opened = FileNow(path);
  RememberFile(opened ? *opened : std::nullopt);
  return true;
}

SaveOutcome FileCommands::SaveDocument(const std::u16string& path) {
  // The text is read where the editor holds it, piece by piece, never copied whole, and on a
  // thread of its own: a large document takes a while to check and write.
  const TextPieces text = [this](const auto& visit) { text1_.ForEachTextPiece(visit); };
  // A save is not stopped halfway: the file is replaced whole or not at all, and a stop could
  // only leave it as it was, which the user gets by not saving.
  const platform::ShownWork saving = platform::UnstoppableWork(kSaving);
  std::size_t lossy = 0;
  platform::WorkProgress counting;
  work_.RunShowingProgress(saving, counting, [&] { lossy = CountLossyCharacters(text); });
  if (!AcceptLossyCharacters(lossy)) return SaveOutcome::kNotSaved;
  const auto file = platform::files::PathFromText(path);
  std::optional<platform::Result<platform::files::Replaced>> written;
  if (file) {
    platform::WorkProgress writing;
    work_.RunShowingProgress(saving, writing,
                             [&] { written = WriteDocumentFile(file.value(), text); });
  } else {
    written = file.failure();
  }
  if (!written->ok()) {
    Warn(FailureMessage(u"保存失败：", path, written->failure()));
    return SaveOutcome::kNotSaved;
  }
  if (const auto& unsynced = written->value().folder_not_synced) {
    // The file holds the new text; only its new name may not have reached the disk yet.
    Warn(FailureMessage(u"已保存：", path, *unsynced) +
         u"\n但无法确认文件夹已写入磁盘，如果现在断电，文件可能恢复为原来的内容。");
  } else {
    dialogs_.ShowMessage(u"保存成功", MessageButtons::kOk, MessageIcon::kInformation, u"提示");
  }
  state_.Saved = true;
  state_.unreadable_characters = 0;
  // What this save wrote is no change of another program's; what another program writes from
  // the moment the file was written on (while the message above was open, say) is.
  RememberFile(written->value().written);
  return SaveOutcome::kSaved;
}

bool FileCommands::AcceptLossyCharacters(std::size_t unwritable) {
  // Bytes the reading could not decode are lost as surely as characters the save cannot write.
  const std::size_t lossy =
      unwritable + (text1_.TextLength() == 0 ? 0 : state_.unreadable_characters);
  if (lossy == 0) return true;
  const std::u16string question =
      u"有" + Decimal(lossy) + u"个字符无法保存，将变成“?”，是否继续保存？";
  // Return or Escape must not throw characters away.
  return dialogs_.ShowMessage(question, MessageButtons::kYesNoDefaultNo, MessageIcon::kNone,
                              u"提示") == MessageAnswer::kYes;
}

void FileCommands::RememberFile(std::optional<FileIdentity> identity) {
  state_.known_file = identity;
  noticed_file_.reset();
}

void FileCommands::Warn(const std::u16string& text) {
  dialogs_.ShowMessage(text, MessageButtons::kOk, MessageIcon::kExclamation, u"警告");
}

}  // namespace tambrel::commands
