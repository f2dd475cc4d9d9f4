#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/clock.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/picture_box.h"
#include "platform/user_dialogs.h"

namespace tambrel::commands {

// Find, clear, time stamp, font and colour: the commands that work on the editor in place.
class EditingCommands {
 public:
  EditingCommands(platform::EditBox& text1, platform::PictureBox& pic_lines,
                  platform::CommonDialog& dialog, std::function<platform::UserDialogs&()> dialogs,
                  std::int32_t& find_pos, std::unique_ptr<const platform::Clock> clock)
      : text1_(text1),
        pic_lines_(pic_lines),
        dialog_(dialog),
        dialogs_(std::move(dialogs)),
        find_pos_(find_pos),
        clock_(std::move(clock)) {}

  void Cz_Click();
  void Qp_Click();
  void Timer_Click();
  void ZtB_Click();
  void ZtC_Click();

 private:
  platform::EditBox& text1_;
  platform::PictureBox& pic_lines_;
  platform::CommonDialog& dialog_;
  std::function<platform::UserDialogs&()> dialogs_;
  std::int32_t& find_pos_;
  std::unique_ptr<const platform::Clock> clock_;
};

}  // namespace tambrel::commands
