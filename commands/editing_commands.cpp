#include "commands/editing_commands.h"

#include "commands/clear_and_stamp.h"
#include "commands/find.h"
#include "commands/font_and_colour.h"

namespace tambrel::commands {

void EditingCommands::Cz_Click() { commands::Cz_Click(text1_, dialogs_(), find_pos_); }
void EditingCommands::Qp_Click() { commands::Qp_Click(text1_, dialogs_()); }
void EditingCommands::Timer_Click() { commands::Timer_Click(text1_, *clock_); }
void EditingCommands::ZtB_Click() { commands::ZtB_Click(text1_, pic_lines_, dialog_); }
void EditingCommands::ZtC_Click() { commands::ZtC_Click(text1_, dialog_); }

}  // namespace tambrel::commands
