#include "commands/file_commands.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <memory>
#include <string>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "document/tests/test_files.h"
#include "main_window/form1.h"
#include "platform/qt/qt_window_system.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::commands {

using namespace tambrel::document;
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::U16;
using testing::WriteBytes;

// "你好" LF "中文" in code page 936, and as the editor holds it.
const std::string kGbkBytes = "\xC4\xE3\xBA\xC3\n\xD6\xD0\xCE\xC4";
const std::u16string kChineseText = u"你好\n中文";
const std::string kMarker = "-RgPw";

// The scrambled form of an ASCII text: every byte lowered by the same one-digit shift, then the
// marker and nothing after it.
void ExpectScrambledAscii(const std::string& file, const std::string& ascii) {
  ASSERT_EQ(file.size(), ascii.size() + kMarker.size());
  EXPECT_EQ(file.substr(ascii.size()), kMarker);
  ASSERT_FALSE(ascii.empty());
  const int shift = ascii[0] - file[0];
  EXPECT_GE(shift, 1);
  EXPECT_LE(shift, 9);
  for (std::size_t i = 0; i < ascii.size(); ++i) EXPECT_EQ(ascii[i] - file[i], shift) << i;
}

bool HasMessage(const ScriptedDialogs& dialogs, const std::u16string& text) {
  for (const auto& message : dialogs.messages) {
    if (message.text == text) return true;
  }
  return false;
}

// The window as the program builds it, its dialogs answered from a script, its start-up tick
// run with the given command line.
class FileCommandsTest : public ::testing::Test {
 protected:
  void Start(std::u16string command_line = u"") {
    main_window::Environment environment;
    environment.executable_directory = folder_.path();
    environment.command_line = command_line;
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_ =
        std::make_unique<main_window::Form1>(std::move(environment), windows_, std::move(dialogs));
    form_->Timer2.SetEnabled(true);
    form_->file_commands().Timer2_Timer(command_line);
  }

  // Opens path through the Open dialog and checks that it loaded.
  void OpenDocument(const std::filesystem::path& path) {
    dialogs_->file_answers.push_back(U16(path));
    form_->file_commands().Open_Click();
    ASSERT_EQ(FileName(), U16(path));
    ASSERT_TRUE(form_->Saved());
  }

  void Edit(const std::u16string& text) {
    form_->Text1.SetText(text);
    ASSERT_FALSE(form_->Saved());
  }

  std::u16string Text() const { return form_->Text1.Text(); }
  std::u16string& FileName() { return form_->CommonDialog1.FileName; }

  const ScriptedDialogs::Message& LastMessage() const {
    static const ScriptedDialogs::Message kNone{};
    if (dialogs_->messages.empty()) {
      ADD_FAILURE() << "no message was shown";
      return kNone;
    }
    return dialogs_->messages.back();
  }

  // A warning titled 警告 with the exclamation icon that names the path.
  void ExpectWarningAbout(const std::filesystem::path& path) {
    const auto& message = LastMessage();
    EXPECT_EQ(message.title, u"警告");
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    EXPECT_EQ(message.buttons, MessageButtons::kOk);
    EXPECT_NE(message.text.find(U16(path)), std::u16string::npos);
  }

  TemporaryFolder folder_;
  platform::qt::QtWindowSystem windows_;
  std::unique_ptr<main_window::Form1> form_;
  ScriptedDialogs* dialogs_ = nullptr;
};

// --- The start-up tick ---------------------------------------------------------------------

TEST_F(FileCommandsTest, StartWithoutCommandLineOnlySetsDefaults) {
  Start(u"");
  EXPECT_TRUE(form_->Saved());
  EXPECT_FALSE(form_->Timer2.Enabled());
  EXPECT_EQ(form_->CommonDialog1.Filter, u"TXT文本|*.txt|所有文件|*.*");
  EXPECT_EQ(form_->CommonDialog1.Color, form_->Text1.ForeColor());
  EXPECT_EQ(FileName(), u"");
  EXPECT_EQ(Text(), u"");
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(FileCommandsTest, StartWithQuotedPathOpensIt) {
  const auto path = folder_ / u"文档 一.txt";
  WriteBytes(path, kGbkBytes);
  Start(u"\"" + U16(path) + u"\"");
  EXPECT_EQ(Text(), kChineseText);
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_EQ(form_->FilePath(), U16(path));
  EXPECT_TRUE(form_->Saved());
  EXPECT_FALSE(form_->Timer2.Enabled());
}

TEST_F(FileCommandsTest, StartWithUnquotedPathKeepsEveryCharacter) {
  // The arguments joined by spaces: an unquoted path with a space arrives whole.
  const auto path = folder_ / u"a b.txt";
  WriteBytes(path, "abc");
  Start(U16(path));
  EXPECT_EQ(Text(), u"abc");
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_EQ(form_->FilePath(), U16(path));
}

TEST_F(FileCommandsTest, StartWithMissingFileCreatesItEmpty) {
  const auto path = folder_ / u"新文件.txt";
  Start(U16(path));
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(Text(), u"");
  EXPECT_EQ(FileName(), U16(path));
}

// A warning during the tick runs a nested event loop; the 1 ms timer must already be off then,
// or it would tick again behind the message and stack up warnings.
class TimerWatchingDialogs final : public platform::UserDialogs {
 public:
  const platform::Timer* timer = nullptr;
  std::vector<bool> timer_enabled_at_message;

  platform::MessageAnswer ShowMessage(const std::u16string&, platform::MessageButtons,
                                      platform::MessageIcon, const std::u16string&) override {
    timer_enabled_at_message.push_back(timer->Enabled());
    return platform::MessageAnswer::kOk;
  }
  std::u16string AskText(const std::u16string&) override { return u""; }
  std::optional<std::u16string> ChooseFileToOpen(const std::u16string&,
                                                 const std::u16string&) override {
    return std::nullopt;
  }
  std::optional<std::u16string> ChooseFileToSave(const std::u16string&,
                                                 const std::u16string&) override {
    return std::nullopt;
  }
  std::optional<platform::FontChoice> ChooseFont(const platform::FontChoice&) override {
    return std::nullopt;
  }
  std::optional<platform::OleColor> ChooseColor(platform::OleColor) override {
    return std::nullopt;
  }
};

TEST_F(FileCommandsTest, StartWithUnreadablePathWarnsWithTheTimerOff) {
  main_window::Environment environment;
  environment.command_line = U16(folder_.path());  // a folder is no document
  const std::u16string command_line = environment.command_line;
  auto dialogs = std::make_unique<TimerWatchingDialogs>();
  auto* watcher = dialogs.get();
  platform::qt::QtWindowSystem windows;
  main_window::Form1 form(std::move(environment), windows, std::move(dialogs));
  watcher->timer = &form.Timer2;
  form.Timer2.SetEnabled(true);
  form.file_commands().Timer2_Timer(command_line);
  ASSERT_EQ(watcher->timer_enabled_at_message.size(), 1u);
  EXPECT_FALSE(watcher->timer_enabled_at_message[0]);
  EXPECT_EQ(form.CommonDialog1.FileName, u"");
  EXPECT_TRUE(form.Saved());
}

// --- Open ------------------------------------------------------------------------------------

TEST_F(FileCommandsTest, OpenShowsFilterAndLoadsPlainFile) {
  Start();
  const auto path = folder_ / u"中文.txt";
  WriteBytes(path, kGbkBytes);
  OpenDocument(path);
  EXPECT_EQ(Text(), kChineseText);
  ASSERT_EQ(dialogs_->file_dialog_filters.size(), 1u);
  EXPECT_EQ(dialogs_->file_dialog_filters[0], u"TXT文本|*.txt|所有文件|*.*");
  EXPECT_EQ(dialogs_->file_dialog_starts[0], u"");
  EXPECT_EQ(form_->FilePath(), u"") << "Open leaves FilePath alone";
  EXPECT_EQ(ReadBytes(path), kGbkBytes) << "opening writes nothing";
}

TEST_F(FileCommandsTest, OpenCancelledKeepsUnsavedEdits) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited, not saved");
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  dialogs_->file_answers.push_back(std::nullopt);
  form_->file_commands().Open_Click();
  EXPECT_EQ(Text(), u"edited, not saved");
  EXPECT_FALSE(form_->Saved());
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_EQ(dialogs_->messages.size(), 1u) << "only the question before opening";
}

TEST_F(FileCommandsTest, OpenOfUnknownNameCreatesEmptyFile) {
  Start();
  Edit(u"old text");
  const auto path = folder_ / u"还没有.txt";
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  OpenDocument(path);
  EXPECT_EQ(Text(), u"");
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(FileCommandsTest, OpenFailureWarnsAndChangesNothing) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  for (const auto& bad : {folder_.path(), folder_ / u"没有的文件夹/x.txt"}) {
    SCOPED_TRACE(bad.string());
    dialogs_->message_answers.push_back(MessageAnswer::kNo);
    dialogs_->file_answers.push_back(U16(bad));
    form_->file_commands().Open_Click();
    ExpectWarningAbout(bad);
    EXPECT_EQ(Text(), u"edited");
    EXPECT_EQ(FileName(), U16(path));
    EXPECT_FALSE(form_->Saved());
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ / u"没有的文件夹"));
}

// --- Save and Save As ----------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveTurnsPlainFileIntoScrambledForm) {
  Start();
  const auto path = folder_ / u"plain.txt";
  WriteBytes(path, "plain");
  OpenDocument(path);
  Edit(u"Hello, Tambrel");
  form_->file_commands().Bc_Click();
  ExpectScrambledAscii(ReadBytes(path), "Hello, Tambrel");
  EXPECT_TRUE(form_->Saved());
  EXPECT_TRUE(dialogs_->file_dialog_starts.size() == 1u) << "Save with a path asks for none";
  const auto& message = LastMessage();
  EXPECT_EQ(message.text, u"保存成功");
  EXPECT_EQ(message.title, u"提示");
  EXPECT_EQ(message.icon, MessageIcon::kInformation);
}

TEST_F(FileCommandsTest, SavedChineseDocumentReopensIdentical) {
  const auto path = folder_ / u"中文.txt";
  WriteBytes(path, kGbkBytes);
  Start(U16(path));
  Edit(kChineseText + u"\n第三行");
  form_->file_commands().Bc_Click();
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved.substr(saved.size() - kMarker.size()), kMarker);
  EXPECT_EQ(saved.find("\xD6\xD0\xCE\xC4"), std::string::npos) << "the text is scrambled";
  Edit(u"something else");
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  OpenDocument(path);
  EXPECT_EQ(Text(), kChineseText + u"\n第三行");
}

TEST_F(FileCommandsTest, OpenedAndSavedDocumentKeepsEveryByte) {
  Start();
  for (const std::u16string text : {u"第一行\r\n第二行\r\n", u"Unix\n行\n", u"旧Mac\r行"}) {
    const auto path = folder_ / u"原样.txt";
    ASSERT_TRUE(WriteDocumentFile(path, text));
    const std::string before = ReadBytes(path);
    OpenDocument(path);
    form_->file_commands().Bc_Click();
    EXPECT_EQ(ReadBytes(path), before);
  }
}

TEST_F(FileCommandsTest, SaveOfEmptyTextWithPathWritesMarkerOnly) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "something");
  OpenDocument(path);
  Edit(u"");
  form_->file_commands().Bc_Click();
  EXPECT_EQ(ReadBytes(path), kMarker);
  EXPECT_TRUE(HasMessage(*dialogs_, u"保存成功"));
}

TEST_F(FileCommandsTest, SaveWithoutPathAsksForOne) {
  Start();
  Edit(u"new text");
  const auto path = folder_ / u"new.txt";
  dialogs_->file_answers.push_back(U16(path));
  form_->file_commands().Bc_Click();
  ASSERT_EQ(dialogs_->file_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs_->file_dialog_filters[0], u"TXT文本|*.txt|所有文件|*.*");
  ExpectScrambledAscii(ReadBytes(path), "new text");
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_TRUE(form_->Saved());
}

TEST_F(FileCommandsTest, SaveAsOfEmptyTextWarnsAndWritesNothing) {
  Start();
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_TRUE(dialogs_->file_dialog_starts.empty());
  const auto& message = LastMessage();
  EXPECT_EQ(message.text, u"文本框不可以空！！！");
  EXPECT_EQ(message.title, u"警告");
  EXPECT_EQ(message.icon, MessageIcon::kExclamation);
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(FileCommandsTest, SaveAsCancelledKeepsPathAndSaved) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  dialogs_->file_answers.push_back(std::nullopt);
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_EQ(dialogs_->file_dialog_starts.back(), u"") << "Save As starts without a name";
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_FALSE(form_->Saved());
  EXPECT_EQ(ReadBytes(path), "on disk");
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(FileCommandsTest, SaveAsReplacesExistingFileAndMovesThePath) {
  Start();
  const auto first = folder_ / u"first.txt";
  const auto other = folder_ / u"other.txt";
  WriteBytes(first, "first");
  WriteBytes(other, "a longer plain text that must go entirely");
  OpenDocument(first);
  Edit(u"replacement");
  dialogs_->file_answers.push_back(U16(other));
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kSaved);
  ExpectScrambledAscii(ReadBytes(other), "replacement");
  EXPECT_EQ(ReadBytes(first), "first");
  EXPECT_EQ(FileName(), U16(other));
  // The next Save goes to the new path without a dialog.
  Edit(u"again");
  form_->file_commands().Bc_Click();
  ExpectScrambledAscii(ReadBytes(other), "again");
  EXPECT_EQ(dialogs_->file_dialog_starts.size(), 2u);
}

TEST_F(FileCommandsTest, FailedWriteWarnsAndKeepsEverything) {
  Start();
  Edit(u"text to keep");
  const auto blocked = folder_ / u"没有的文件夹/x.txt";
  dialogs_->file_answers.push_back(U16(blocked));
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kNotSaved);
  ExpectWarningAbout(blocked);
  EXPECT_FALSE(HasMessage(*dialogs_, u"保存成功"));
  EXPECT_EQ(FileName(), u"");
  EXPECT_FALSE(form_->Saved());
  EXPECT_EQ(Text(), u"text to keep");

  // A folder in the way of the name.
  dialogs_->file_answers.push_back(U16(folder_.path()));
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kNotSaved);
  ExpectWarningAbout(folder_.path());
  EXPECT_TRUE(std::filesystem::is_directory(folder_.path()));
}

// Makes every write beyond a few bytes fail, as a full disk would; root cannot bypass it.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_handler_);
  }
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
  bool active_ = false;
};

TEST_F(FileCommandsTest, FailedSaveLeavesTheOldFileIntact) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "old");
  OpenDocument(path);
  Edit(std::u16string(4000, u'x'));
  {
    FileSizeLimit limit(64);
    ASSERT_TRUE(limit.active());
    form_->file_commands().Bc_Click();
  }
  ExpectWarningAbout(path);
  EXPECT_FALSE(HasMessage(*dialogs_, u"保存成功"));
  EXPECT_FALSE(form_->Saved());
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Text().size(), 4000u);
}

TEST_F(FileCommandsTest, LossyTextAsksBeforeSaving) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "old");
  OpenDocument(path);
  // Thai letters have no place in code page 936.
  const std::u16string text = u"abc\u0E01\u0E02";
  const std::size_t lossy = CountLossyCharacters(text);
  ASSERT_GT(lossy, 0u);
  Edit(text);

  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  form_->file_commands().Bc_Click();
  ASSERT_EQ(dialogs_->messages.size(), 1u);
  const auto& question = dialogs_->messages[0];
  EXPECT_EQ(question.title, u"提示");
  EXPECT_EQ(question.buttons, MessageButtons::kYesNoDefaultNo);
  const std::string count = std::to_string(lossy);
  EXPECT_NE(question.text.find(std::u16string(count.begin(), count.end())), std::u16string::npos);
  EXPECT_NE(question.text.find(u"?"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "old") << "No writes nothing";
  EXPECT_FALSE(form_->Saved());

  dialogs_->message_answers.push_back(MessageAnswer::kYes);
  form_->file_commands().Bc_Click();
  EXPECT_TRUE(HasMessage(*dialogs_, u"保存成功"));
  EXPECT_TRUE(form_->Saved());
  auto reread = ReadDocumentFile(path);
  ASSERT_TRUE(reread.ok());
  EXPECT_EQ(reread.value().text, u"abc??");
}

TEST_F(FileCommandsTest, LossySaveAsDeclinedKeepsThePath) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "old");
  OpenDocument(path);
  Edit(u"\u0E01");
  const auto other = folder_ / u"other.txt";
  dialogs_->file_answers.push_back(U16(other));
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_FALSE(std::filesystem::exists(other));
}

// --- Drop ----------------------------------------------------------------------------------

TEST_F(FileCommandsTest, DropOfSeveralFilesOpensTheLast) {
  Start();
  const auto first = folder_ / u"first.txt";
  const auto last = folder_ / u"最后.txt";
  WriteBytes(first, "first");
  WriteBytes(last, kGbkBytes);
  Edit(u"edited");
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  form_->file_commands().Text1_OLEDragDrop(platform::DropData{{U16(first), U16(last)}});
  EXPECT_EQ(Text(), kChineseText);
  EXPECT_EQ(FileName(), U16(last));
  EXPECT_EQ(form_->FilePath(), U16(last));
  EXPECT_TRUE(form_->Saved());
}

TEST_F(FileCommandsTest, DropWithoutFilesChangesNothing) {
  Start();
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  form_->file_commands().Text1_OLEDragDrop(platform::DropData{});
  EXPECT_EQ(Text(), u"edited");
  EXPECT_EQ(FileName(), U16(path));
  EXPECT_FALSE(form_->Saved()) << "closing must still ask";
}

TEST_F(FileCommandsTest, DropOfUnreadableFileWarnsAndChangesNothing) {
  Start();
  Edit(u"edited");
  dialogs_->message_answers.push_back(MessageAnswer::kNo);
  form_->file_commands().Text1_OLEDragDrop(platform::DropData{{U16(folder_.path())}});
  ExpectWarningAbout(folder_.path());
  EXPECT_EQ(Text(), u"edited");
  EXPECT_EQ(FileName(), u"");
  EXPECT_FALSE(form_->Saved());
}

// --- Opening over changed text ---------------------------------------------------------------

// Open and a drop of files ask before they replace text that is not saved: 否 goes on, 是 saves
// as Save As does and goes on only once that saved.
class OpenOverChanges : public FileCommandsTest {
 protected:
  enum class Way { kOpenDialog, kDrop };

  void SetUp() override {
    Start();
    other_ = folder_ / u"另一个.txt";
    WriteBytes(other_, "other document");
  }

  enum class Expect { kOpenDialog, kNoOpenDialog };

  void OpenOther(Way way, Expect expect = Expect::kOpenDialog) {
    if (way == Way::kOpenDialog) {
      if (expect == Expect::kOpenDialog) dialogs_->file_answers.push_back(U16(other_));
      form_->file_commands().Open_Click();
    } else {
      form_->file_commands().Text1_OLEDragDrop(platform::DropData{{U16(other_)}});
    }
  }

  std::size_t Questions() const {
    std::size_t count = 0;
    for (const auto& message : dialogs_->messages) {
      if (message.text != u"文本已改变，是否保存？") continue;
      EXPECT_EQ(message.title, u"提示");
      EXPECT_EQ(message.buttons, MessageButtons::kYesNo);
      ++count;
    }
    return count;
  }

  std::filesystem::path other_;
};

TEST_F(OpenOverChanges, NoOpensTheOtherDocument) {
  for (const Way way : {Way::kOpenDialog, Way::kDrop}) {
    Edit(u"typed, never saved");
    dialogs_->message_answers.push_back(MessageAnswer::kNo);
    OpenOther(way);
    EXPECT_EQ(Text(), u"other document");
    EXPECT_TRUE(form_->Saved());
  }
  EXPECT_EQ(Questions(), 2u);
}

TEST_F(OpenOverChanges, YesSavesAsThenOpens) {
  for (const Way way : {Way::kOpenDialog, Way::kDrop}) {
    const auto kept = folder_ / (way == Way::kDrop ? u"dropped-over.txt" : u"opened-over.txt");
    Edit(u"keep me");
    dialogs_->message_answers.push_back(MessageAnswer::kYes);
    dialogs_->file_answers.push_back(U16(kept));  // the Save As dialog
    OpenOther(way);
    ExpectScrambledAscii(ReadBytes(kept), "keep me");
    EXPECT_EQ(Text(), u"other document");
    EXPECT_EQ(FileName(), U16(other_));
  }
}

TEST_F(OpenOverChanges, YesWithTheSaveCancelledOrFailedOpensNothing) {
  for (const Way way : {Way::kOpenDialog, Way::kDrop}) {
    for (const bool fails : {false, true}) {
      Edit(u"must not be lost");
      dialogs_->message_answers.push_back(MessageAnswer::kYes);
      dialogs_->file_answers.push_back(fails ? std::optional(U16(folder_ / u"没有的文件夹/x.txt"))
                                             : std::nullopt);
      const std::size_t file_dialogs = dialogs_->file_dialog_starts.size();
      OpenOther(way, Expect::kNoOpenDialog);
      EXPECT_EQ(Text(), u"must not be lost");
      EXPECT_FALSE(form_->Saved());
      // Only the Save As dialog showed; the Open dialog never did.
      EXPECT_EQ(dialogs_->file_dialog_starts.size(), file_dialogs + 1);
      EXPECT_TRUE(dialogs_->file_answers.empty());
    }
  }
}

TEST_F(OpenOverChanges, UntouchedOrEmptyTextOpensWithoutAQuestion) {
  OpenOther(Way::kOpenDialog);  // the start-up's empty text
  OpenOther(Way::kDrop);        // a loaded document, unchanged
  Edit(u"");
  OpenOther(Way::kOpenDialog);
  EXPECT_EQ(Questions(), 0u);
  EXPECT_EQ(Text(), u"other document");
}

}  // namespace
}  // namespace tambrel::commands
