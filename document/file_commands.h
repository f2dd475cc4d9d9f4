#pragma once

#include <functional>
#include <string>

#include "document/document_state.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/timer.h"
#include "platform/user_dialogs.h"

namespace tambrel::document {

// Open, save, save as, drop and the start-up tick: everything that moves a document between
// a file and the editor.
class FileCommands {
 public:
  FileCommands(platform::EditBox& text1, platform::CommonDialog& dialog, platform::Timer& timer2,
               std::function<platform::UserDialogs&()> dialogs, DocumentState& state)
      : text1_(text1), dialog_(dialog), timer2_(timer2), dialogs_(std::move(dialogs)),
        state_(state) {}

  void Open_Click();
  void Bc_Click();
  SaveOutcome Save_Click();
  void Text1_OLEDragDrop(const platform::DropData& data);
  void Timer2_Timer(const std::u16string& command_line);

 private:
  platform::EditBox& text1_;
  platform::CommonDialog& dialog_;
  platform::Timer& timer2_;
  std::function<platform::UserDialogs&()> dialogs_;
  DocumentState& state_;
};

}  // namespace tambrel::document
