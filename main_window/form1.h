#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commands/document_state.h"
#include "commands/file_commands.h"
#include "commands/unsaved_text_recovery.h"
#include "gutter/draw_lines.h"
#include "main_window/proportional_layout.h"
#include "platform/clock.h"
#include "platform/common_dialog.h"
#include "platform/edit_box.h"
#include "platform/picture_box.h"
#include "platform/timer.h"
#include "platform/user_dialogs.h"
#include "platform/window.h"
#include "platform/window_system.h"

namespace tambrel::main_window {

// What the window learns from the desktop at start-up. main() asks the running program; tests
// give their own.
struct Environment {
  std::filesystem::path executable_directory;
  float screen_width = 0;   // twips
  float screen_height = 0;  // twips
  std::u16string command_line;
  char16_t decimal_separator = u'.';
  // Where unsaved text is kept against the program's death; none keeps nothing.
  std::optional<std::filesystem::path> state_folder;
};

// The skin file the program needs beside its executable.
inline constexpr char kSkinFileName[] = "Pf.she";

enum class LoadOutcome { kRunning, kEnded };

// The main window: its controls, the window-level state and the handlers of its own events. The
// menu rows call the commands of document/ and commands/ directly.
class Form1 {
 public:
  // The window is built by the window system given, which must outlive it. Without dialogs of its
  // own the window shows the desktop's, and without a clock it reads the system's; tests answer
  // with scripted ones.
  Form1(Environment environment, platform::WindowSystem& windows,
        std::unique_ptr<platform::UserDialogs> dialogs = nullptr,
        std::unique_ptr<const platform::Clock> clock = nullptr);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Brings the program into working order; kEnded when it must end without showing a window.
  LoadOutcome Form_Load();
  void Show();

  // The window's own routines.
  void DrawLines(platform::PictureBox& picTo);
  std::int32_t LineCount();
  std::int32_t LineForCharacterIndex(const std::int32_t& lIndex);
  std::int32_t FirstVisibleLine();

  platform::Window& window() { return *window_; }
  const ProportionalLayout& layout() const { return layout_; }
  commands::FileCommands& file_commands() { return file_commands_; }

  // Window-level state.
  bool Saved() const { return document_.Saved; }
  const std::u16string& FilePath() const { return document_.FilePath; }
  std::int32_t FindPos() const { return find_pos_; }

  // The controls, by their design names.
  platform::Timer& Timer2;
  platform::CommonDialog& CommonDialog1;
  platform::Control& Container;
  platform::PictureBox& picLines;
  platform::Timer& Timer3;
  platform::EditBox& Text1;

  // Event handlers, public so that tests can raise them as the window system does.
  void Form_Resize();
  void Form_Unload(std::int16_t& cancel);
  void Form_Activate();
  void Text1_Change();
  void Text1_KeyUp(std::int16_t key_code, std::int16_t shift);
  void Text1_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
  void Timer3_Timer();
  void TextWndProc(platform::EditMessage message);

  // Runs a menu command, a drop or the start-up load: what the user does to the text meanwhile
  // waits until it is done, and so does a close.
  void RunCommand(const std::function<void()>& command);

 private:
  friend platform::WindowDefinition Form1Definition(Form1& form);

  // Built first: the controls above are references into it.
  Form1(Environment environment, platform::WindowSystem& windows,
        std::unique_ptr<platform::Window> window, std::unique_ptr<const platform::Clock> clock);
  void BindEvents();

  Environment environment_;
  platform::WindowSystem& windows_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<const platform::Clock> clock_;
  ProportionalLayout layout_;
  commands::DocumentState document_;
  std::int32_t find_pos_ = 0;
  int commands_running_ = 0;
  bool close_after_command_ = false;
  // What picLines shows, so that a trigger that changes nothing draws nothing.
  gutter::ShownGutter shown_gutter_;
  platform::EditHook OldWndProc;
  commands::FileCommands file_commands_;
  commands::UnsavedTextRecovery recovery_;
};

// The window definition: controls and menus, with the menu commands bound to the form.
platform::WindowDefinition Form1Definition(Form1& form);

}  // namespace tambrel::main_window
