#include "document/file_commands.h"

namespace tambrel::document {

void FileCommands::Open_Click() {}

void FileCommands::Bc_Click() {}

SaveOutcome FileCommands::Save_Click() { return SaveOutcome::kNotSaved; }

void FileCommands::Text1_OLEDragDrop(const platform::DropData& /*data*/) {}

void FileCommands::Timer2_Timer(const std::u16string& /*command_line*/) {
  state_.Saved = true;
  timer2_.SetEnabled(false);
}

}  // namespace tambrel::document
