#include "tests/support/fake_window.h"

#include <algorithm>

#include "platform/common_dialog.h"
#include "tests/support/fake_controls.h"
#include "tests/support/fake_edit_box.h"
#include "tests/support/fake_measures.h"
#include "tests/support/fake_picture_box.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::testing {

using platform::ControlKind;

FakeWindow::FakeWindow(const platform::WindowDefinition& definition,
                       std::unique_ptr<platform::UserDialogs> dialogs, FakeEventLoop& events,
                       const platform::SystemColors& colors, platform::BackgroundWork* work)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<ScriptedDialogs>()),
      work_(work),
      client_width_(TwipsToPixels(definition.client_width)),
      client_height_(TwipsToPixels(definition.client_height)) {
  BuildControls(definition, events, colors);
  BuildMenus(definition);
}

FakeWindow::~FakeWindow() {
  // Nothing of the program may run while the controls go away.
  resize_ = nullptr;
  unload_ = nullptr;
  activate_ = nullptr;
  for (platform::Control* control : controls_) {
    if (auto* timer = dynamic_cast<FakeTimer*>(control)) timer->OnTimer(nullptr);
  }
}

void FakeWindow::BuildControls(const platform::WindowDefinition& definition, FakeEventLoop& events,
                               const platform::SystemColors& colors) {
  for (const platform::ControlDefinition& control : definition.controls) {
    std::unique_ptr<platform::Control> made;
    switch (control.kind) {
      case ControlKind::kTimer:
        made = std::make_unique<FakeTimer>(control.name, control.interval, control.enabled);
        break;
      case ControlKind::kCommonDialog:
        made = std::make_unique<platform::CommonDialog>(control.name, *dialogs_);
        break;
      case ControlKind::kContainer:
        made = std::make_unique<FakeContainer>(
            control.name, PixelPlacement(control.left, control.top, control.width, control.height));
        break;
      case ControlKind::kPictureBox:
        made = std::make_unique<FakePictureBox>(control, colors);
        break;
      case ControlKind::kEditBox:
        made = std::make_unique<FakeEditBox>(control, events);
        break;
    }
    controls_.push_back(made.get());
    owned_.push_back(std::move(made));
  }
}

void FakeWindow::BuildMenus(const platform::WindowDefinition& definition) {
  for (const platform::MenuDefinition& entry : definition.menus) {
    // A menu of the menu bar opens, and runs nothing.
    auto made = std::make_unique<FakeMenuEntry>(entry.name, entry.caption, entry.shortcut,
                                                entry.parent.empty() ? nullptr : entry.click);
    controls_.push_back(made.get());
    owned_.push_back(std::move(made));
  }
}

float FakeWindow::Width() const { return PixelsToTwips(client_width_); }
float FakeWindow::Height() const { return PixelsToTwips(client_height_ + kMenuBarPixels); }
float FakeWindow::ScaleWidth() const { return PixelsToTwips(client_width_); }
float FakeWindow::ScaleHeight() const { return PixelsToTwips(client_height_); }

void FakeWindow::SetWidth(float twips) {
  const int width = std::max(1, TwipsToPixels(twips));
  if (width == client_width_) return;
  client_width_ = width;
  Resized();
}

void FakeWindow::SetHeight(float twips) {
  const int height = std::max(0, TwipsToPixels(twips) - kMenuBarPixels);
  if (height == client_height_) return;
  client_height_ = height;
  Resized();
}

void FakeWindow::SetState(platform::WindowState state) {
  if (state == state_) return;
  state_ = state;
  // Minimising and restoring count as resizes, as the layout expects.
  Resized();
}

void FakeWindow::Resized() {
  if (resize_) resize_();
}

void FakeWindow::Close() {
  if (closed_) return;
  std::int16_t cancel = 0;
  if (unload_) unload_(cancel);
  if (cancel != 0) return;
  visible_ = false;
  closed_ = true;
}

void FakeWindow::Activate() {
  if (!closed_ && activate_) activate_();
}

bool FakeWindow::PressShortcut(std::string_view key) {
  for (platform::Control* control : controls_) {
    auto* entry = dynamic_cast<FakeMenuEntry*>(control);
    if (entry != nullptr && entry->Shortcut() == key) {
      entry->Click();
      return true;
    }
  }
  return false;
}

}  // namespace tambrel::testing
