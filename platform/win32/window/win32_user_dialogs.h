#pragma once

#include <windows.h>

#include "platform/ole_color.h"
#include "platform/user_dialogs.h"
#include "platform/win32/window/color_dialog.h"

namespace tambrel::platform::win32 {

// The desktop's modal dialogs, owned by the program's window: message boxes, the input box and
// the Open, Save, Font and Color dialogs.
class Win32UserDialogs final : public UserDialogs {
 public:
  // `program_title` is the input box's title; message boxes bring their own.
  Win32UserDialogs(HWND owner, std::u16string program_title, const SystemColors& desktop)
      : owner_(owner), program_title_(std::move(program_title)), desktop_(desktop) {}

  MessageAnswer ShowMessage(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                            const std::u16string& title) override;
  std::u16string AskText(const std::u16string& prompt) override;
  std::optional<std::u16string> ChooseFileToOpen(const std::u16string& start,
                                                 const std::u16string& filter) override;
  std::optional<std::u16string> ChooseFileToSave(const std::u16string& start,
                                                 const std::u16string& filter) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& start) override;
  std::optional<OleColor> ChooseColor(OleColor start) override;

 private:
  // The owner while it exists: a dialog over a window already gone would fail to open.
  HWND Owner() const { return ::IsWindow(owner_) ? owner_ : nullptr; }

  HWND owner_;
  std::u16string program_title_;
  const SystemColors& desktop_;
  ColorDialog colors_;
};

}  // namespace tambrel::platform::win32
