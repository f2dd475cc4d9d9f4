#include "main_window/form1.h"

#include <utility>

#include "gutter/draw_lines.h"
#include "platform/files/ordinary_file.h"

namespace tambrel::main_window {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

Form1::Form1(Environment environment, platform::WindowSystem& windows,
             std::unique_ptr<platform::UserDialogs> dialogs,
             std::unique_ptr<const platform::Clock> clock)
    : Form1(std::move(environment), windows,
            windows.CreateWindow(Form1Definition(*this), std::move(dialogs)),
            clock ? std::move(clock) : windows.CreateSystemClock()) {}

Form1::Form1(Environment environment, platform::WindowSystem& windows,
             std::unique_ptr<platform::Window> window, std::unique_ptr<const platform::Clock> clock)
    : Timer2(window->Get<platform::Timer>("Timer2")),
      CommonDialog1(window->Get<platform::CommonDialog>("CommonDialog1")),
      Container(window->Get<platform::Control>("Container")),
      picLines(window->Get<platform::PictureBox>("picLines")),
      Timer3(window->Get<platform::Timer>("Timer3")),
      Text1(window->Get<platform::EditBox>("Text1")),
      environment_(std::move(environment)),
      windows_(windows),
      window_(std::move(window)),
      clock_(std::move(clock)),
      layout_(environment_.decimal_separator),
      file_commands_(Text1, CommonDialog1, Timer2, window_->Dialogs(), window_->Work(), document_),
      recovery_(Text1, CommonDialog1, window_->Dialogs(), window_->Work(), document_,
                environment_.state_folder) {
  BindEvents();
}

Form1::~Form1() = default;

void Form1::BindEvents() {
  window_->OnResize([this] { Form_Resize(); });
  window_->OnUnload([this](std::int16_t& cancel) { Form_Unload(cancel); });
  window_->OnActivate([this] { Form_Activate(); });
  Text1.OnChange([this] { Text1_Change(); });
  Text1.OnKeyUp([this](std::int16_t key, std::int16_t shift) { Text1_KeyUp(key, shift); });
  Text1.OnMouseUp([this](std::int16_t button, std::int16_t shift, float x, float y) {
    Text1_MouseUp(button, shift, x, y);
  });
  Text1.OnDrop([this](const platform::DropData& data) {
    RunCommand([this, &data] { file_commands_.Text1_OLEDragDrop(data); });
  });
  Timer2.OnTimer([this] {
    RunCommand([this] {
      // Text an earlier run left unsaved comes first; taken back, it stands in for the document
      // the command line names.
      Timer2.SetEnabled(false);
      std::optional<recovery::RecoveredText> recovered = recovery_.AskAboutAbandonedText();
      file_commands_.Timer2_Timer(recovered ? std::u16string() : environment_.command_line);
      if (recovered) recovery_.Restore(std::move(*recovered));
    });
  });
  Timer3.OnTimer([this] { Timer3_Timer(); });
}

LoadOutcome Form1::Form_Load() {
  layout_.StoreLayout(*window_);

  const std::filesystem::path skin = environment_.executable_directory / kSkinFileName;
  if (!platform::files::OrdinaryFileExists(skin)) {
    window_->Dialogs().ShowMessage(u"缺少皮肤！", MessageButtons::kOk, MessageIcon::kExclamation,
                                   u"警告");
    return LoadOutcome::kEnded;
  }

  // The skin only changes the look; a skin that cannot be applied is no reason not to run.
  static_cast<void>(windows_.SkinH_AttachEx(skin, u""));
  Timer2.SetEnabled(true);
  OldWndProc = Text1.SetHook([this](platform::EditMessage message) { TextWndProc(message); });
  window_->SetWidth(environment_.screen_width / 2.0f);
  window_->SetHeight(environment_.screen_height / 2.0f);
  return LoadOutcome::kRunning;
}

void Form1::Show() { window_->Show(); }

void Form1::Form_Resize() {
  main_window::Form_Resize(*window_, layout_);
  // The layout gave the gutter its proportional width again; it takes what its numbers need now
  // rather than at the next repaint.
  if (window_->State() != platform::WindowState::kMinimized) DrawLines(picLines);
}

void Form1::RunCommand(const std::function<void()>& command) {
  // What the user does to the text meanwhile waits for the command, which may be reading the
  // text on another thread.
  {
    const std::unique_ptr<platform::InputHold> hold = Text1.HoldUserInput();
    struct Running {
      int& count;
      explicit Running(int& c) : count(c) { ++count; }
      ~Running() { --count; }
    } running(commands_running_);
    command();
  }
  // A text just loaded or saved is what the unsaved edits are counted from.
  recovery_.AfterCommand();
  if (commands_running_ == 0 && std::exchange(close_after_command_, false)) {
    // The close was asked for after whatever the user typed meanwhile: the typing reaches the text
    // first, so that the closing question knows it is not saved.
    Text1.AfterUserInput([this] { window_->Close(); });
  }
}

void Form1::Form_Unload(std::int16_t& cancel) {
  // A close asked for while a command reads the text comes once the command is done: the text
  // and the window must outlive the work.
  if (commands_running_ > 0) {
    cancel = 1;
    close_after_command_ = true;
    return;
  }
  // A save asked for that did not happen (cancelled, or failed) keeps the window and the text.
  if (file_commands_.OfferToSaveChanges() == commands::Proceed::kStop) {
    cancel = 1;
    return;
  }
  // Saved, or given up with 否: nothing is left to bring back.
  recovery_.Forget();
  Text1.SetHook(std::move(OldWndProc));
}

void Form1::Form_Activate() {
  // A command's own dialogs hand the window the focus back when they close; the command knows
  // what it read or wrote, and a question in its middle would come at the wrong moment.
  if (commands_running_ > 0) return;
  RunCommand([this] { file_commands_.Form_Activate(); });
}

void Form1::DrawLines(platform::PictureBox& picTo) {
  // A number too wide for the gutter takes room from the editor rather than lose its digits. The
  // narrower editor may wrap into more rows and so longer numbers: a few rounds settle it.
  for (int round = 0; round < 3; ++round) {
    const int needed = gutter::DrawLines(picTo, Text1, windows_.Colors(), shown_gutter_);
    if (&picTo != &picLines || !MakeRoomForGutter(picLines, Text1, needed)) return;
  }
}

std::int32_t Form1::LineCount() { return Text1.LineCount(); }

std::int32_t Form1::LineForCharacterIndex(const std::int32_t& lIndex) {
  return Text1.LineFromChar(lIndex);
}

std::int32_t Form1::FirstVisibleLine() { return Text1.FirstVisibleLine(); }

void Form1::Text1_Change() {
  if (document_.Saved) document_.Saved = false;
  recovery_.Text1_Change();
  DrawLines(picLines);
}

void Form1::Text1_KeyUp(std::int16_t, std::int16_t) { DrawLines(picLines); }

void Form1::Text1_MouseUp(std::int16_t, std::int16_t, float, float) { DrawLines(picLines); }

void Form1::Timer3_Timer() {
  DrawLines(picLines);
  // Said here rather than when it happens: the record is written while the user types.
  recovery_.SayFailureOnce();
}

void Form1::TextWndProc(platform::EditMessage message) {
  if (message == platform::EditMessage::kVerticalScroll) DrawLines(picLines);
  if (OldWndProc) OldWndProc(message);
}

}  // namespace tambrel::main_window
