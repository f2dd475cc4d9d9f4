#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/edit_box.h"
#include "platform/user_dialogs.h"

namespace tambrel::commands {

inline constexpr char16_t kClearQuestion[] = u"是否清屏？";
inline constexpr char16_t kClearTitle[] = u"提示";

// Empties the editor once the user has answered Yes. The user can undo it like any edit.
void Qp_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs);

// What a stamp adds: one space, the date, one space, the time of day.
std::u16string Stamp(const platform::DateTimeText& now);

// Appends the current date and time of day to the end of the editor's text, as an edit the user
// can undo; the caret then stands at the start, as after the whole text was set anew.
void Timer_Click(platform::EditBox& Text1, const platform::Clock& clock);

}  // namespace tambrel::commands
