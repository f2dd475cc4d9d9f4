#include "platform/windows_command_line.h"

namespace tambrel::platform {
namespace {

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t'; }

}  // namespace

std::u16string_view ArgumentsAfterProgramName(std::u16string_view command_line) {
  std::size_t end = 0;
  if (!command_line.empty() && command_line.front() == u'"') {
    // No escapes inside the program's name: it runs to the next quote, or to the end.
    const std::size_t closing = command_line.find(u'"', 1);
    end = closing == std::u16string_view::npos ? command_line.size() : closing + 1;
  }
  while (end < command_line.size() && !IsBlank(command_line[end])) ++end;
  while (end < command_line.size() && IsBlank(command_line[end])) ++end;
  return command_line.substr(end);
}

}  // namespace tambrel::platform
