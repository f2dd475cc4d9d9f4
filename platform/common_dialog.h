#pragma once

#include <string>

#include "platform/control.h"
#include "platform/ole_color.h"
#include "platform/user_dialogs.h"

namespace tambrel::platform {

// The one dialog component the window shares between the file, font and colour commands. Its
// properties carry values from one use to the next: a confirmed dialog stores the user's
// choice in them, a cancelled one leaves them as they were.
class CommonDialog : public Control {
 public:
  CommonDialog(std::string name, UserDialogs& dialogs)
      : Control(std::move(name)), dialogs_(dialogs) {}

  std::u16string FileName;
  std::u16string Filter;
  OleColor Color = kBlack;
  std::u16string FontName;
  float FontSize = 0.0f;
  bool FontBold = false;
  bool FontItalic = false;

  // Each answers true when the user confirmed.
  bool ShowOpen();
  bool ShowSave();
  bool ShowFont();
  bool ShowColor();

 private:
  UserDialogs& dialogs_;
};

}  // namespace tambrel::platform
