#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "commands/document_state.h"
#include "platform/background_work.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/user_dialogs.h"
#include "recovery/recovered_text.h"
#include "recovery/recovery_journal.h"

namespace tambrel::commands {

// Keeps what the user typed since the last load or save in a record beside the program's state,
// so that it comes back when the program dies before a save, and offers it back at the next start.
class UnsavedTextRecovery {
 public:
  // Records go into `folder`; without one, nothing is kept and nothing offered.
  UnsavedTextRecovery(platform::EditBox& text1, platform::CommonDialog& dialog,
                      platform::UserDialogs& dialogs, platform::BackgroundWork& work,
                      DocumentState& state, std::optional<std::filesystem::path> folder);

  // Before any document is opened: offers the newest text an earlier run left unsaved, in one
  // question, and answers it when the user takes it back. A declined text is gone.
  std::optional<recovery::RecoveredText> AskAboutAbandonedText();
  // Puts the text taken back into the editor, with its file name where the file is as it was,
  // unsaved, and keeps it against another death before its record goes.
  void Restore(recovery::RecoveredText recovered);
  // After every command: a text just loaded or saved is what the next edits apply to.
  void AfterCommand();
  // With every change of the text.
  void Text1_Change();
  // The window closes, its text saved or given up: nothing is left to recover.
  void Forget();
  // A failure to write the record is told once, outside the editing that met it.
  void SayFailureOnce();

 private:
  void Follow();

  platform::EditBox& text1_;
  platform::CommonDialog& dialog_;
  platform::UserDialogs& dialogs_;
  platform::BackgroundWork& work_;
  DocumentState& state_;
  std::optional<std::filesystem::path> folder_;
  std::unique_ptr<recovery::RecoveryJournal> journal_;
  std::filesystem::path offered_record_;
};

}  // namespace tambrel::commands
