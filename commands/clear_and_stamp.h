#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/edit_box.h"
#include "platform/user_dialogs.h"

namespace tambrel::commands {

inline constexpr char16_t kClearQuestion[] = u"是否清屏？";
inline constexpr char16_t kClearTitle[] = u"提示";

// Empties the editor once the user has answered Yes.
void Qp_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs);

// The text with the date and the time of day appended, each after one space.
std::u16string StampedText(const std::u16string& text, const platform::DateTimeText& now);

// Appends the current date and time of day to the end of the editor's text.
void Timer_Click(platform::EditBox& Text1, const platform::Clock& clock);

}  // namespace tambrel::commands
