#include "commands/find.h"

#include <algorithm>
#include <functional>

namespace tambrel::commands {

std::int32_t FindFrom(std::int64_t start, std::u16string_view text, std::u16string_view sought) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (text.empty() || start < 1 || start > length) return 0;
  if (sought.empty()) return static_cast<std::int32_t>(start);
  // Boyer-Moore stays linear where a plain scan would compare a long pasted search text at
  // every position of a large document and freeze the window.
  const auto from = text.begin() + (start - 1);
  const auto found =
      std::search(from, text.end(), std::boyer_moore_searcher(sought.begin(), sought.end()));
  if (found == text.end()) return 0;
  return static_cast<std::int32_t>(found - text.begin() + 1);
}

FindStep NextFind(std::u16string_view text, std::u16string_view sought, std::int32_t find_pos) {
  const std::int32_t found = FindFrom(std::int64_t{find_pos} + 1, text, sought);
  if (found < 1) return FindStep{0, std::nullopt};
  return FindStep{found, FindStep::Selection{found - 1, static_cast<std::int32_t>(sought.size())}};
}

void Cz_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs, std::int32_t& FindPos) {
  const std::u16string text = Text1.Text();
  const std::u16string sought = dialogs.AskText(kFindPrompt);
  搜索字符串(text, sought, Text1, FindPos);
}

}  // namespace tambrel::commands
