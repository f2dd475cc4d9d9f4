// What the user does while a command reads the text waits, and is done afterwards in order.
#include <gtest/gtest.h>

#include "editor/input_queue.h"
#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

TEST(InputQueue, WithoutAHoldActionsRunAtOnce) {
  InputQueue queue;
  int runs = 0;
  queue.Submit([&] { ++runs; });
  EXPECT_EQ(runs, 1);
}

TEST(InputQueue, HeldActionsRunInOrderWhenTheLastHoldEnds) {
  InputQueue queue;
  std::string done;
  {
    auto outer = queue.HoldInput();
    queue.Submit([&] { done += "a"; });
    {
      auto inner = queue.HoldInput();
      queue.Submit([&] { done += "b"; });
    }
    EXPECT_EQ(done, "");
    queue.Submit([&] { done += "c"; });
  }
  EXPECT_EQ(done, "abc");
  EXPECT_EQ(queue.Waiting(), 0u);
}

TEST(InputQueue, AWindowSystemRunsWhatWaitedFromItsLoop) {
  InputQueue queue;
  int released = 0;
  queue.on_released = [&] { ++released; };
  std::string done;
  {
    auto hold = queue.HoldInput();
    queue.Submit([&] { done += "a"; });
  }
  EXPECT_EQ(released, 1);
  EXPECT_EQ(done, "");
  // Something the user does before the loop gets there goes after what waited.
  queue.Submit([&] { done += "b"; });
  EXPECT_EQ(done, "");
  queue.RunWaiting();
  EXPECT_EQ(done, "ab");
}

TEST(InputQueue, TypingDuringAHoldChangesNothingUntilItEnds) {
  TestEditor editor;
  editor->SetText(u"saved text");
  {
    auto hold = editor->Input().HoldInput();
    editor->Input().Submit([&] { editor->Type(u"x"); });
    editor->Input().Submit([&] { editor->Commit(u"你"); });
    EXPECT_EQ(editor.Text(), u"saved text");
  }
  EXPECT_EQ(editor.Text(), u"x你saved text");
}

}  // namespace
}  // namespace tambrel::editor
