#include "document/file_commands.h"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <string>

#include "document/command_line_path.h"
#include "document/document_file.h"

namespace tambrel::document {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

platform::Result<std::filesystem::path> ToFilesystemPath(const std::u16string& path) {
  try {
    return std::filesystem::path(path);
  } catch (const std::exception&) {
    // A name with broken UTF-16 (a lone surrogate) cannot name a file here.
    return platform::Failure{u"文件名无效"};
  }
}

platform::Result<DecodedText> ReadDocument(const std::u16string& path) {
  auto file = ToFilesystemPath(path);
  if (!file) return file.failure();
  return ReadDocumentFile(file.value());
}

platform::Status WriteDocument(const std::u16string& path, const std::u16string& text) {
  auto file = ToFilesystemPath(path);
  if (!file) return file.failure();
  return WriteDocumentFile(file.value(), text);
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

}  // namespace

void FileCommands::Open_Click() {
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
  const std::u16string& path = data.files.back();
  state_.FilePath = path;
  if (LoadDocument(path)) dialog_.FileName = path;
}

void FileCommands::Timer2_Timer(const std::u16string& command_line) {
  // Off first: a warning below runs a nested event loop, where a 1 ms timer would tick again.
  timer2_.SetEnabled(false);
  state_.Saved = true;
  dialog_.Color = text1_.ForeColor();
  dialog_.Filter = kDocumentFilter;
  state_.FilePath = DocumentPathFromCommandLine(command_line);
  if (!state_.FilePath.empty() && LoadDocument(state_.FilePath)) {
    dialog_.FileName = state_.FilePath;
  }
}

bool FileCommands::LoadDocument(const std::u16string& path) {
  auto read = ReadDocument(path);
  if (!read) {
    Warn(FailureMessage(u"打开失败：", path, read.failure()));
    return false;
  }
  // Setting the text counts as a change and clears Saved, so Saved is set afterwards.
  text1_.SetText(read.value().text);
  state_.Saved = true;
  return true;
}

SaveOutcome FileCommands::SaveDocument(const std::u16string& path) {
  const std::u16string text = text1_.Text();
  if (!AcceptLossyCharacters(text)) return SaveOutcome::kNotSaved;
  if (auto written = WriteDocument(path, text); !written) {
    Warn(FailureMessage(u"保存失败：", path, written.failure()));
    return SaveOutcome::kNotSaved;
  }
  dialogs_().ShowMessage(u"保存成功", MessageButtons::kOk, MessageIcon::kInformation, u"提示");
  state_.Saved = true;
  return SaveOutcome::kSaved;
}

bool FileCommands::AcceptLossyCharacters(const std::u16string& text) {
  const std::size_t lossy = CountLossyCharacters(text);
  if (lossy == 0) return true;
  const std::u16string question =
      u"有" + Decimal(lossy) + u"个字符无法保存，将变成“?”，是否继续保存？";
  return dialogs_().ShowMessage(question, MessageButtons::kYesNo, MessageIcon::kNone, u"提示") ==
         MessageAnswer::kYes;
}

void FileCommands::Warn(const std::u16string& text) {
  dialogs_().ShowMessage(text, MessageButtons::kOk, MessageIcon::kExclamation, u"警告");
}

}  // namespace tambrel::document
