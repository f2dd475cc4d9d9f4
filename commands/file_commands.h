#pragma once

#include <optional>
#include <string>

#include "commands/document_state.h"
#include "platform/background_work.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/files/file_identity.h"
#include "platform/result.h"
#include "platform/timer.h"
#include "platform/user_dialogs.h"

namespace tambrel::commands {

// The two entries the Open and Save dialogs offer, the first one selected.
inline constexpr char16_t kDocumentFilter[] = u"TXT文本|*.txt|所有文件|*.*";
// What the window shows under an open or a save that takes a while.
inline constexpr char16_t kOpening[] = u"正在打开";
inline constexpr char16_t kSaving[] = u"正在保存";
inline constexpr char16_t kEditingWaits[] = u"载入完成后才能编辑";

// Open, save, save as, drop and the start-up tick: everything that moves a document between
// a file and the editor. A command that fails or is cancelled leaves the editor's text, the
// current path (the dialog's FileName), Saved and the file on disk as they were. Reading,
// checking and writing a document are the window's background work.
class FileCommands {
 public:
  FileCommands(platform::EditBox& text1, platform::CommonDialog& dialog, platform::Timer& timer2,
               platform::UserDialogs& dialogs, platform::BackgroundWork& work, DocumentState& state)
      : text1_(text1),
        dialog_(dialog),
        timer2_(timer2),
        dialogs_(dialogs),
        work_(work),
        state_(state) {}

  void Open_Click();
  void Bc_Click();
  SaveOutcome Save_Click();
  void Text1_OLEDragDrop(const platform::DropData& data);
  void Timer2_Timer(const std::u16string& command_line);

  // The window became the active one again: a file another program changed since this one opened
  // or saved it is offered for reloading while the text is unchanged, and mentioned once while it
  // holds changes of its own. Each change of the file is brought up once.
  void Form_Activate();

  // Before the text is given up (to close, or to open another document): text changed since the
  // last load or save is offered a save, as Save As. kStop when the user wanted it saved and it
  // was not (cancelled or failed), so nothing may replace it.
  Proceed OfferToSaveChanges();

  // Puts the document at path into the editor; on failure warns and answers false, and answers
  // false without a word when the user stopped the reading.
  bool LoadDocument(const std::u16string& path);
  // Writes the editor's text to path and says so; on failure warns and answers kNotSaved.
  SaveOutcome SaveDocument(const std::u16string& path);

  // Before the current file is saved over: when another program changed, replaced or removed
  // it since this one last opened or saved it, asks whether to save anyway. kStop when not.
  Proceed ConfirmSavingOverOtherChanges(const std::u16string& path);

 private:
  // Answers true when nothing would be lost, or the user accepts the loss, given how many
  // characters of the text the save cannot write.
  bool AcceptLossyCharacters(std::size_t unwritable);
  void Warn(const std::u16string& text);
  // Records the current file as this program just read or wrote it.
  void RememberFile(std::optional<platform::files::FileIdentity> identity);

  platform::EditBox& text1_;
  platform::CommonDialog& dialog_;
  platform::Timer& timer2_;
  platform::UserDialogs& dialogs_;
  platform::BackgroundWork& work_;
  DocumentState& state_;
  // The state of the file (nullopt: gone) that the user was last told about, so that one change
  // made by another program is brought up once, not at every activation.
  std::optional<std::optional<platform::files::FileIdentity>> noticed_file_;
};

}  // namespace tambrel::commands
