#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/user_dialogs.h"

namespace tambrel::platform::qt {

// "TXT文本|*.txt|所有文件|*.*" becomes {"TXT文本 (*.txt)", "所有文件 (*)"}: "*.*" keeps its
// Windows sense of every file. A trailing description without a pattern is dropped.
QStringList NameFiltersFromPipes(const QString& filter);

// The desktop's modal dialogs, parented to the main window.
class QtUserDialogs final : public UserDialogs {
 public:
  explicit QtUserDialogs(QWidget* parent) : parent_(parent) {}

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
  QPointer<QWidget> parent_;
};

}  // namespace tambrel::platform::qt
