#pragma once

#include <optional>
#include <string>

#include "platform/font_choice.h"
#include "platform/ole_color.h"

namespace tambrel::platform {

// kYesNo has Yes as the default button (Return), kYesNoDefaultNo No: the safe answer to a question
// whose Yes destroys something. Escape answers No to both.
enum class MessageButtons { kOk, kYesNo, kYesNoDefaultNo };
enum class MessageIcon { kNone, kInformation, kExclamation };

// The answer codes the program compares against; only Yes acts on a question.
enum class MessageAnswer : int { kOk = 1, kYes = 6, kNo = 7 };

// Every modal dialog the program shows. The window owns the desktop implementation; tests put
// a scripted one in its place to answer what they cannot click.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  virtual MessageAnswer ShowMessage(const std::u16string& text, MessageButtons buttons,
                                    MessageIcon icon, const std::u16string& title) = 0;
  // The text entered, or the empty string when the user cancels.
  virtual std::u16string AskText(const std::u16string& prompt) = 0;
  // A path chosen in the Open or Save dialog; nullopt when cancelled. The filter is in the
  // "description|pattern|description|pattern" form, its first entry selected.
  virtual std::optional<std::u16string> ChooseFileToOpen(const std::u16string& start,
                                                         const std::u16string& filter) = 0;
  virtual std::optional<std::u16string> ChooseFileToSave(const std::u16string& start,
                                                         const std::u16string& filter) = 0;
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& start) = 0;
  virtual std::optional<OleColor> ChooseColor(OleColor start) = 0;
};

}  // namespace tambrel::platform
