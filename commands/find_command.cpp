// The find command as the window runs it: on the editor's own text, off the painting thread.
#include "commands/find.h"

namespace tambrel::commands {

FindStep NextFind(const SearchInBackground& search, std::u16string_view sought,
                  std::int32_t find_pos) {
  std::int32_t found = 0;
  platform::WorkProgress progress;
  search.work.RunShowingProgress(platform::StoppableWork(kFinding), progress, [&] {
    found = FindFrom(std::int64_t{find_pos} + 1, search.text, sought, &progress);
  });
  if (progress.GivenUp()) return FindStep{find_pos, std::nullopt};
  if (found < 1) return FindStep{0, std::nullopt};
  return FindStep{found, FindStep::Selection{found - 1, static_cast<std::int32_t>(sought.size())}};
}

void Cz_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs,
              platform::BackgroundWork& work, std::int32_t& FindPos) {
  // The text is searched where the editor holds it, never copied whole.
  const PiecewiseText text{
      [&Text1](std::size_t from, std::size_t length, const text::PieceReader& read) {
        Text1.ForEachTextPiece(from, length, read);
      },
      static_cast<std::size_t>(Text1.TextLength())};
  const std::u16string sought = dialogs.AskText(kFindPrompt);
  搜索字符串(SearchInBackground{text, work}, sought, Text1, FindPos);
}

}  // namespace tambrel::commands
