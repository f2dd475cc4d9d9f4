#pragma once

#include <string_view>

namespace tambrel::platform {

// The arguments of a Windows command line (as GetCommandLineW gives it) exactly as typed: what
// follows the program's name and the blanks after it, quotes and runs of spaces kept. The name
// ends at its closing quote when it starts with one, else at the first space or tab, the rule
// Windows itself uses for the program's name.
std::u16string_view ArgumentsAfterProgramName(std::u16string_view command_line);

}  // namespace tambrel::platform
