#include "commands/editing_commands.h"

namespace tambrel::commands {

void EditingCommands::Cz_Click() {}
void EditingCommands::Qp_Click() {}
void EditingCommands::Timer_Click() {}
void EditingCommands::ZtB_Click() {}
void EditingCommands::ZtC_Click() {}

}  // namespace tambrel::commands
