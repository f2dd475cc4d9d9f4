#include "commands/clear_and_stamp.h"

namespace tambrel::commands {

void Qp_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs) {
  const platform::MessageAnswer answer = dialogs.ShowMessage(
      kClearQuestion, platform::MessageButtons::kYesNo, platform::MessageIcon::kNone, kClearTitle);
  if (answer == platform::MessageAnswer::kYes) Text1.SetText(u"");
}

std::u16string StampedText(const std::u16string& text, const platform::DateTimeText& now) {
  std::u16string stamped;
  stamped.reserve(text.size() + now.date.size() + now.time.size() + 2);
  stamped.append(text).append(u" ").append(now.date).append(u" ").append(now.time);
  return stamped;
}

void Timer_Click(platform::EditBox& Text1, const platform::Clock& clock) {
  const std::u16string text = Text1.Text();
  Text1.SetText(StampedText(text, clock.Now()));
}

}  // namespace tambrel::commands
