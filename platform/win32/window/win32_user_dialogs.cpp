#include "platform/win32/window/win32_user_dialogs.h"

#include "platform/win32/window/file_dialog.h"
#include "platform/win32/window/font_dialog.h"
#include "platform/win32/window/input_dialog.h"
#include "platform/win32/window/message_box.h"

namespace tambrel::platform::win32 {

MessageAnswer Win32UserDialogs::ShowMessage(const std::u16string& text, MessageButtons buttons,
                                            MessageIcon icon, const std::u16string& title) {
  return ShowMessageBox(Owner(), text, buttons, icon, title);
}

std::u16string Win32UserDialogs::AskText(const std::u16string& prompt) {
  return AskForText(Owner(), program_title_, prompt).value_or(std::u16string());
}

std::optional<std::u16string> Win32UserDialogs::ChooseFileToOpen(const std::u16string& start,
                                                                 const std::u16string& filter) {
  return ChooseFile(Owner(), FileDialogKind::kOpen, start, filter);
}

std::optional<std::u16string> Win32UserDialogs::ChooseFileToSave(const std::u16string& start,
                                                                 const std::u16string& filter) {
  return ChooseFile(Owner(), FileDialogKind::kSave, start, filter);
}

std::optional<FontChoice> Win32UserDialogs::ChooseFont(const FontChoice& start) {
  return ChooseFontFor(Owner(), start);
}

std::optional<OleColor> Win32UserDialogs::ChooseColor(OleColor start) {
  return colors_.Choose(Owner(), start, desktop_);
}

}  // namespace tambrel::platform::win32
