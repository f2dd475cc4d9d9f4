#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/background_work.h"
#include "platform/win32/text_view/tests/test_font.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/win32_handles.h"
#include "text/char_metrics.h"

namespace tambrel::platform::win32 {

// Long work done where it is asked for: the tests have no window to keep painting.
class InlineWork final : public BackgroundWork {
 public:
  void RunWithoutFreezing(const std::function<void()>& work) override { work(); }
};

// A top-level window to hold the view, as the program's main window does.
UniqueWindow CreateHostWindow(int width, int height);

// Keys held down while a message is sent, as GetKeyState reports them to the view.
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2 };

// The edit box as the window builds it, 420 by 300 pixels, shown and focused.
class ViewFixture : public ::testing::Test {
 protected:
  ViewFixture();
  ~ViewFixture() override;

  HWND View() const { return box_->Hwnd(); }
  editor::Editor& Model() { return box_->Model(); }
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  // Presses and releases a key with the modifiers held, as the keyboard would.
  void Key(UINT key, unsigned modifiers = kNoModifier);
  // Types units one WM_CHAR at a time, as TranslateMessage hands them on.
  void Type(std::u16string_view units);
  void Click(POINT point, unsigned modifiers = kNoModifier);
  // Handles what waits in the thread's queue: posted messages, paints.
  void Pump();
  void Resize(int width, int height);

  // How many CJK characters (all one em wide) a row holds at the present width.
  int PerRow();
  // A line of CJK characters that takes exactly `rows` rows.
  std::u16string LineOfRows(int rows);
  // The point in the middle of a character's cell on screen.
  POINT PointOf(std::size_t screen_row, float x) const;
  int RowHeight() { return box_->View().RowHeight(); }

  InlineWork work_;
  UniqueWindow host_;
  std::unique_ptr<Win32EditBox> box_;

 private:
  void HoldModifiers(unsigned modifiers);
};

}  // namespace tambrel::platform::win32
