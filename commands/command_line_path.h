#pragma once

#include <string>
#include <string_view>

namespace tambrel::commands {

// The document named on the command line: the whole argument text, without the double quotes
// that enclose it when both are there. An empty answer names no document.
std::u16string DocumentPathFromCommandLine(std::u16string_view command_line);

}  // namespace tambrel::commands
