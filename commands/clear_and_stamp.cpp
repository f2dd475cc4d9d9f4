#include "commands/clear_and_stamp.h"

namespace tambrel::commands {

namespace {
// Replaces the selection by typing, which the editor's undo can take back, where setting the whole
// text would start its history anew.
void ReplaceAsAnEdit(platform::EditBox& Text1, std::int32_t start, std::int32_t length,
                     const std::u16string& text) {
  Text1.SetSelStart(start);
  Text1.SetSelLength(length);
  Text1.SetSelText(text);
  Text1.SetSelStart(0);
}
}  // namespace

void Qp_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs) {
  const platform::MessageAnswer answer = dialogs.ShowMessage(
      kClearQuestion, platform::MessageButtons::kYesNo, platform::MessageIcon::kNone, kClearTitle);
  if (answer == platform::MessageAnswer::kYes) ReplaceAsAnEdit(Text1, 0, Text1.TextLength(), u"");
}

std::u16string Stamp(const platform::DateTimeText& now) {
  return u" " + now.date + u" " + now.time;
}

void Timer_Click(platform::EditBox& Text1, const platform::Clock& clock) {
  ReplaceAsAnEdit(Text1, Text1.TextLength(), 0, Stamp(clock.Now()));
}

}  // namespace tambrel::commands
