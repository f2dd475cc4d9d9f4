#include "commands/command_line_path.h"

namespace tambrel::commands {

std::u16string DocumentPathFromCommandLine(std::u16string_view command_line) {
  // A lone quote at one end is part of the name: only a matching pair encloses it.
  if (command_line.size() >= 2 && command_line.front() == u'"' && command_line.back() == u'"') {
    command_line.remove_prefix(1);
    command_line.remove_suffix(1);
  }
  return std::u16string(command_line);
}

}  // namespace tambrel::commands
