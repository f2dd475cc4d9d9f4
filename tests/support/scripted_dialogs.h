#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_dialogs.h"

namespace tambrel::testing {

// Answers the program's dialogs from a script, and records every message it was shown, for
// what a test cannot click. A dialog the script has no answer for fails the test.
class ScriptedDialogs final : public platform::UserDialogs {
 public:
  struct Message {
    std::u16string text;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    std::u16string title;
  };

  std::deque<platform::MessageAnswer> message_answers;
  std::deque<std::u16string> text_answers;
  std::deque<std::optional<std::u16string>> file_answers;
  std::deque<std::optional<platform::FontChoice>> font_answers;
  std::deque<std::optional<platform::OleColor>> color_answers;

  // Called as each message shows, before it is answered: what a test checks while a message box
  // is open, or what happens meanwhile (the loop runs behind a modal message).
  std::function<void(const Message&)> on_message;

  std::vector<Message> messages;
  std::vector<std::u16string> prompts;
  std::vector<std::u16string> file_dialog_starts;
  std::vector<std::u16string> file_dialog_filters;
  std::vector<platform::FontChoice> font_dialog_starts;
  std::vector<platform::OleColor> color_dialog_starts;

  platform::MessageAnswer ShowMessage(const std::u16string& text, platform::MessageButtons buttons,
                                      platform::MessageIcon icon,
                                      const std::u16string& title) override;
  std::u16string AskText(const std::u16string& prompt) override;
  std::optional<std::u16string> ChooseFileToOpen(const std::u16string& start,
                                                 const std::u16string& filter) override;
  std::optional<std::u16string> ChooseFileToSave(const std::u16string& start,
                                                 const std::u16string& filter) override;
  std::optional<platform::FontChoice> ChooseFont(const platform::FontChoice& start) override;
  std::optional<platform::OleColor> ChooseColor(platform::OleColor start) override;
};

}  // namespace tambrel::testing
