#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace tambrel::testing {

namespace {
template <typename T>
T Next(std::deque<T>& answers, const char* what, T fallback) {
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected " << what;
    return fallback;
  }
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}
}  // namespace

platform::MessageAnswer ScriptedDialogs::ShowMessage(const std::u16string& text,
                                                     platform::MessageButtons buttons,
                                                     platform::MessageIcon icon,
                                                     const std::u16string& title) {
  messages.push_back(Message{text, buttons, icon, title});
  if (on_message) on_message(messages.back());
  if (buttons == platform::MessageButtons::kOk) return platform::MessageAnswer::kOk;
  return Next(message_answers, "question", platform::MessageAnswer::kNo);
}

std::u16string ScriptedDialogs::AskText(const std::u16string& prompt) {
  prompts.push_back(prompt);
  return Next(text_answers, "input box", std::u16string());
}

std::optional<std::u16string> ScriptedDialogs::ChooseFileToOpen(const std::u16string& start,
                                                                const std::u16string& filter) {
  file_dialog_starts.push_back(start);
  file_dialog_filters.push_back(filter);
  return Next(file_answers, "open dialog", std::optional<std::u16string>());
}

std::optional<std::u16string> ScriptedDialogs::ChooseFileToSave(const std::u16string& start,
                                                                const std::u16string& filter) {
  file_dialog_starts.push_back(start);
  file_dialog_filters.push_back(filter);
  return Next(file_answers, "save dialog", std::optional<std::u16string>());
}

std::optional<platform::FontChoice> ScriptedDialogs::ChooseFont(const platform::FontChoice& start) {
  font_dialog_starts.push_back(start);
  return Next(font_answers, "font dialog", std::optional<platform::FontChoice>());
}

std::optional<platform::OleColor> ScriptedDialogs::ChooseColor(platform::OleColor start) {
  color_dialog_starts.push_back(start);
  return Next(color_answers, "colour dialog", std::optional<platform::OleColor>());
}

}  // namespace tambrel::testing
