// Esc pressed while an open, a find or a save runs in the background: a stopped open or find
// changes nothing at all, whenever the stop comes; a save is never stopped halfway.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "commands/file_commands.h"
#include "commands/find.h"
#include "commands/tests/large_text_expectations.h"
#include "document/document_codec.h"
#include "platform/codepage/cp936.h"
#include "platform/files/path_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using document::EncodeDocument;
using platform::files::PathText;
using testing::FakeForm;
using testing::NumberedLines;
using testing::ReadBytes;
using testing::TempDir;
using testing::WorkThread;
using testing::WriteBytes;

// What a stopped command must leave as it was.
struct Visible {
  std::u16string text;
  bool saved = false;
  std::u16string file_name;
  std::u16string file_path;
  std::int32_t sel_start = 0;
  std::int32_t sel_length = 0;
  std::int32_t find_pos = 0;

  bool operator==(const Visible&) const = default;
};

class StoppedWork : public ::testing::Test {
 protected:
  // The window with a document of its own, loaded from the command line and then edited.
  StoppedWork() {
    mine_ = folder_.path() / u"我的.txt";
    WriteBytes(mine_, EncodeDocument(u"第一行\r\n第二行\r\n第一行"));
    other_ = folder_.path() / u"另一个.txt";
    other_text_ = NumberedLines(200000);
    WriteBytes(other_, EncodeDocument(other_text_));
    main_window::Environment environment = FakeForm::DesignScreen();
    environment.command_line = PathText(mine_);
    fake_ = std::make_unique<FakeForm>(std::move(environment), WorkThread::kEscaped);
    escaped().stop_after.reset();
    fake_->Start();
    EXPECT_EQ(form().FilePath(), PathText(mine_));
    form().Text1.SetSelStart(3);
    fake_->editor().Type(u"（改）");
    form().Text1.SetSelStart(2);
    form().Text1.SetSelLength(4);
    // From now on Esc is pressed as soon as anything long starts.
    escaped().stop_after = std::chrono::microseconds::zero();
    escaped().shown.clear();
  }

  main_window::Form1& form() { return fake_->form(); }
  testing::EscapedWork& escaped() { return fake_->escaped(); }

  Visible Now() {
    return Visible{form().Text1.Text(), form().Saved(),          form().CommonDialog1.FileName,
                   form().FilePath(),   form().Text1.SelStart(), form().Text1.SelLength(),
                   form().FindPos()};
  }

  void OpenOther() {
    fake_->dialogs().file_answers.push_back(PathText(other_));
    fake_->Click("Open");
  }

  void Find(const std::u16string& sought) {
    fake_->dialogs().text_answers.push_back(sought);
    fake_->Click("Cz");
  }

  TempDir folder_;
  std::filesystem::path mine_;
  std::filesystem::path other_;
  std::u16string other_text_;
  std::unique_ptr<FakeForm> fake_;
};

TEST_F(StoppedWork, AnOpenStoppedLeavesTheEditedDocumentItsPathAndItsSelection) {
  // Declined: the edited text is not saved first.
  fake_->dialogs().message_answers.push_back(platform::MessageAnswer::kNo);
  const Visible before = Now();
  ASSERT_FALSE(before.saved);
  OpenOther();
  EXPECT_EQ(Now(), before);
  ASSERT_EQ(escaped().shown.size(), 1u);
  EXPECT_EQ(escaped().shown[0].what, kOpening);
  EXPECT_TRUE(escaped().shown[0].can_stop);
  // Stopped is no failure: no warning is shown.
  EXPECT_EQ(fake_->dialogs().messages.size(), 1u);
}

TEST_F(StoppedWork, ADropStoppedKeepsTheCommandLinePath) {
  const Visible before = Now();
  fake_->dialogs().message_answers.push_back(platform::MessageAnswer::kNo);
  fake_->editor().DropFiles({PathText(other_)});
  fake_->ProcessEvents();
  EXPECT_EQ(Now(), before);
}

TEST_F(StoppedWork, AFindStoppedKeepsTheSelectionAndWhereTheNextFindStarts) {
  const Visible before = Now();
  Find(u"第一行");
  EXPECT_EQ(Now(), before);
  ASSERT_EQ(escaped().shown.size(), 1u);
  EXPECT_EQ(escaped().shown[0].what, kFinding);
  EXPECT_TRUE(escaped().shown[0].can_stop);
  // Left to run, the same find starts where the stopped one did: at the text's start.
  escaped().stop_after.reset();
  Find(u"第一行");
  EXPECT_EQ(form().Text1.SelStart(), 0);
  EXPECT_EQ(form().Text1.SelLength(), 3);
  EXPECT_EQ(form().FindPos(), 1);
}

TEST_F(StoppedWork, ASaveIsNeverStoppedHalfway) {
  const auto target = folder_.path() / u"存.txt";
  fake_->dialogs().file_answers.push_back(PathText(target));
  fake_->Click("Save");
  ASSERT_TRUE(std::filesystem::exists(target));
  EXPECT_EQ(ReadBytes(target), EncodeDocument(form().Text1.Text()));
  EXPECT_TRUE(form().Saved());
  ASSERT_FALSE(escaped().shown.empty());
  for (const auto& shown : escaped().shown) {
    EXPECT_EQ(shown.what, kSaving);
    EXPECT_FALSE(shown.can_stop);
  }
}

// A document large enough to be shown by its start while the rest is read.
class LargeOpen : public StoppedWork {
 protected:
  LargeOpen() {
    large_ = folder_.path() / u"很大.txt";
    std::u16string line = u"大文件的一行，some ASCII too\r\n";
    while (large_text_.size() < (std::size_t{14} << 20)) large_text_ += line;
    WriteBytes(large_, platform::cp936::Encode(large_text_));
    escaped().stop_after.reset();
    fake_->dialogs().message_answers.push_back(platform::MessageAnswer::kNo);
    fake_->dialogs().file_answers.push_back(PathText(large_));
  }

  std::filesystem::path large_;
  std::u16string large_text_;
};

TEST_F(LargeOpen, ItsStartShowsOverTheEditorUntilTheWholeIsIn) {
  fake_->Click("Open");
  const auto& previews = fake_->editor().Previews();
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_GT(previews[0].size(), 1000u);
  EXPECT_EQ(large_text_.compare(0, previews[0].size(), previews[0]), 0);
  EXPECT_FALSE(fake_->editor().PreviewShows());
  EXPECT_TRUE(form().Text1.Text() == large_text_);
  EXPECT_EQ(form().CommonDialog1.FileName, PathText(large_));
  ASSERT_EQ(escaped().shown.size(), 1u);
  EXPECT_EQ(escaped().shown[0].note, kEditingWaits);
}

// A large document's lines are found while it is decoded, on every processor and a stretch at a
// time: every break of every kind counts, wherever the stretches and the parts end, and a line the
// user starts takes the break the document uses most.
TEST_F(LargeOpen, ItsLinesAndTheBreakOfNewLinesAreThoseOfTheWholeText) {
  std::u16string text;
  std::vector<std::size_t> starts{0};
  for (std::size_t line = 0; text.size() < (std::size_t{14} << 20); ++line) {
    text += line % 3 == 0 ? u"大文件的一行" : u"a line in ASCII, then 中文";
    text += line % 5 == 0 ? u"\r\n" : line % 7 == 0 ? u"\r" : u"\n";
    starts.push_back(text.size());
  }
  WriteBytes(large_, platform::cp936::Encode(text));
  fake_->Click("Open");
  ASSERT_TRUE(form().Text1.Text() == text);
  const text::TextBuffer& buffer = fake_->editor().Model().Buffer();
  ASSERT_EQ(buffer.LineCount(), starts.size());
  std::mt19937 random(8);
  for (int sample = 0; sample < 2000; ++sample) {
    const std::size_t line = random() % starts.size();
    ASSERT_EQ(buffer.LineStart(line), starts[line]) << "line " << line;
  }
  fake_->editor().Model().NewLine();
  EXPECT_EQ(form().Text1.Text().substr(0, 2), u"\n大");
}

// A large log of ASCII is kept a byte a unit, but reads, finds, edits and saves as its text:
// its last line has Chinese in it, and the edits go into the part kept in bytes and after it.
TEST_F(LargeOpen, AnAsciiLogIsHeldInHalfTheMemoryAndEditsFindsAndSavesAsItsText) {
  std::u16string text;
  for (std::size_t line = 0; text.size() < (std::size_t{20} << 20); ++line) {
    text += u"12:00:" + std::u16string(1, u'0' + line % 10) + u" INFO request served\r\n";
  }
  text += u"13:00:00 WARN 用户登录失败\r\n";
  WriteBytes(large_, platform::cp936::Encode(text));
  fake_->Click("Open");
  ASSERT_TRUE(form().Text1.Text() == text);
  EXPECT_LT(fake_->editor().Model().Buffer().MemoryBytes(), text.size() * 3 / 2);

  escaped().stop_after.reset();
  Find(u"登录");
  EXPECT_EQ(form().Text1.SelStart(), static_cast<std::int32_t>(text.find(u"登录")));
  form().Text1.SetSelStart(6);
  form().Text1.SetSelLength(2);
  fake_->editor().Type(u"零零");
  form().Text1.SetSelStart(static_cast<std::int32_t>(form().Text1.TextLength()));
  fake_->editor().Type(u"end");
  const std::u16string edited = text.substr(0, 6) + u"零零" + text.substr(8) + u"end";
  ASSERT_TRUE(form().Text1.Text() == edited);

  const auto target = folder_.path() / u"日志.txt";
  fake_->dialogs().file_answers.push_back(PathText(target));
  fake_->Click("Save");
  EXPECT_TRUE(ReadBytes(target) == EncodeDocument(edited));
}

// A large GBK document of Chinese and ASCII is kept as the bytes it was read from, less than its
// UTF-16 would take, but reads, finds, edits and saves as its text.
TEST_F(LargeOpen, AGbkDocumentIsHeldAsItsBytesAndEditsFindsAndSavesAsItsText) {
  std::u16string text;
  for (std::size_t line = 0; text.size() < (std::size_t{16} << 20); ++line) {
    text += u"12:00:" + std::u16string(1, u'0' + line % 10) + u" 用户 request served\r\n";
  }
  text += u"13:00:00 用户登录失败\r\n";
  const std::string gbk = platform::cp936::Encode(text);
  WriteBytes(large_, gbk);
  fake_->Click("Open");
  ASSERT_TRUE(form().Text1.Text() == text);
  // The bytes and the line starts; the text in UTF-16 alone would take nearly twice the bytes.
  EXPECT_LT(fake_->editor().Model().Buffer().MemoryBytes(), gbk.size() * 5 / 4);

  escaped().stop_after.reset();
  Find(u"登录");
  EXPECT_EQ(form().Text1.SelStart(), static_cast<std::int32_t>(text.find(u"登录")));
  form().Text1.SetSelStart(9);
  form().Text1.SetSelLength(2);
  fake_->editor().Type(u"客户");
  form().Text1.SetSelStart(static_cast<std::int32_t>(form().Text1.TextLength()));
  fake_->editor().Type(u"end");
  const std::u16string edited = text.substr(0, 9) + u"客户" + text.substr(11) + u"end";
  ASSERT_TRUE(form().Text1.Text() == edited);

  const auto target = folder_.path() / u"记录.txt";
  fake_->dialogs().file_answers.push_back(PathText(target));
  fake_->Click("Save");
  EXPECT_TRUE(ReadBytes(target) == EncodeDocument(edited));
}

TEST_F(LargeOpen, EscWhileItsStartShowsLeavesEverythingAsItWas) {
  const Visible before = Now();
  escaped().stop_once_previewed = true;
  fake_->Click("Open");
  EXPECT_EQ(fake_->editor().Previews().size(), 1u);
  EXPECT_FALSE(fake_->editor().PreviewShows());
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(form().Text1.CountedFirstVisibleLine(), 0);
}

// Esc at a random moment of an open: the window holds either what it had or the whole new
// document, never anything in between, and a stopped open says nothing.
TEST_F(StoppedWork, AnOpenStoppedAtAnyMomentChangesNothingOrCompletes) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay_us(1, 40000);
  int stopped = 0;
  int completed = 0;
  for (int attempt = 0; attempt < 40; ++attempt) {
    fake_->dialogs().message_answers.push_back(platform::MessageAnswer::kNo);
    const Visible before = Now();
    escaped().stop_after = std::chrono::microseconds(delay_us(random));
    OpenOther();
    const Visible after = Now();
    if (after == before) {
      ++stopped;
      continue;
    }
    ++completed;
    ASSERT_TRUE(after.text == other_text_) << "attempt " << attempt;
    EXPECT_TRUE(after.saved);
    EXPECT_EQ(after.file_name, PathText(other_));
    // Back to the edited document for the next attempt.
    escaped().stop_after.reset();
    fake_->dialogs().file_answers.push_back(PathText(mine_));
    fake_->Click("Open");
    form().Text1.SetSelStart(1);
    fake_->editor().Type(u"改");
  }
  // Nothing but warnings of the unsaved-change question may have been shown.
  for (const auto& message : fake_->dialogs().messages) EXPECT_NE(message.title, u"警告");
  RecordProperty("stopped", stopped);
  RecordProperty("completed", completed);
  EXPECT_GT(stopped, 0);
}

}  // namespace
}  // namespace tambrel::commands
