// Open, save, save as, drop and the start-up tick through the window's menus and events, over
// the fake window system: real files in a temporary folder, the real editor, scripted dialogs.
#include "commands/file_commands.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "platform/files/path_text.h"
#include "tests/support/fake_form.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {

using namespace tambrel::document;
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::files::PathText;
using testing::FakeForm;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempDir;
using testing::WriteBytes;

// "你好" LF "中文" in code page 936, and as the editor holds it.
const std::string kGbkBytes = "\xC4\xE3\xBA\xC3\n\xD6\xD0\xCE\xC4";
const std::u16string kChineseText = u"你好\n中文";
const std::string kMarker = "-RgPw";
const std::u16string kSaveQuestion = u"文本已改变，是否保存？";

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

// The window as the program builds it, its dialogs answered from a script, started with the given
// command line by its own start-up tick.
class FileCommandsTest : public ::testing::Test {
 protected:
  void Start(std::u16string command_line = u"") {
    main_window::Environment environment = FakeForm::DesignScreen();
    environment.executable_directory = folder_.path();
    environment.command_line = std::move(command_line);
    fake_ = std::make_unique<FakeForm>(std::move(environment));
    fake_->Start();
  }

  main_window::Form1& form() { return fake_->form(); }
  ScriptedDialogs& dialogs() { return fake_->dialogs(); }
  void Click(const char* name) { fake_->Click(name); }

  // Opens path through the Open dialog and checks that it loaded.
  void OpenDocument(const std::filesystem::path& path) {
    dialogs().file_answers.push_back(PathText(path));
    Click("Open");
    ASSERT_EQ(FileName(), PathText(path));
    ASSERT_TRUE(form().Saved());
  }

  void Edit(const std::u16string& text) {
    form().Text1.SetText(text);
    ASSERT_FALSE(form().Saved());
  }

  void Drop(std::vector<std::u16string> files) {
    fake_->editor().DropFiles(std::move(files));
    fake_->ProcessEvents();
  }

  std::u16string Text() { return form().Text1.Text(); }
  std::u16string& FileName() { return form().CommonDialog1.FileName; }

  const ScriptedDialogs::Message& LastMessage() {
    static const ScriptedDialogs::Message kNone{};
    if (dialogs().messages.empty()) {
      ADD_FAILURE() << "no message was shown";
      return kNone;
    }
    return dialogs().messages.back();
  }

  // A warning titled 警告 with the exclamation icon that names the path.
  void ExpectWarningAbout(const std::filesystem::path& path) {
    const auto& message = LastMessage();
    EXPECT_EQ(message.title, u"警告");
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    EXPECT_EQ(message.buttons, MessageButtons::kOk);
    EXPECT_NE(message.text.find(PathText(path)), std::u16string::npos);
  }

  std::filesystem::path In(std::u16string_view name) const { return folder_.path() / name; }

  TempDir folder_;
  std::unique_ptr<FakeForm> fake_;
};

// --- The start-up tick ---------------------------------------------------------------------

TEST_F(FileCommandsTest, StartWithoutCommandLineOnlySetsDefaults) {
  Start(u"");
  EXPECT_TRUE(form().Saved());
  EXPECT_FALSE(form().Timer2.Enabled());
  EXPECT_EQ(form().CommonDialog1.Filter, u"TXT文本|*.txt|所有文件|*.*");
  EXPECT_EQ(form().CommonDialog1.Color, form().Text1.ForeColor());
  EXPECT_EQ(FileName(), u"");
  EXPECT_EQ(Text(), u"");
  EXPECT_TRUE(dialogs().messages.empty());
}

TEST_F(FileCommandsTest, StartWithQuotedPathOpensIt) {
  const auto path = In(u"文档 一.txt");
  WriteBytes(path, kGbkBytes);
  Start(u"\"" + PathText(path) + u"\"");
  EXPECT_EQ(Text(), kChineseText);
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_EQ(form().FilePath(), PathText(path));
  EXPECT_TRUE(form().Saved());
  EXPECT_FALSE(form().Timer2.Enabled());
}

TEST_F(FileCommandsTest, StartWithUnquotedPathKeepsEveryCharacter) {
  // The arguments joined by spaces: an unquoted path with a space arrives whole.
  const auto path = In(u"a b.txt");
  WriteBytes(path, "abc");
  Start(PathText(path));
  EXPECT_EQ(Text(), u"abc");
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_EQ(form().FilePath(), PathText(path));
}

TEST_F(FileCommandsTest, StartWithMissingFileCreatesItEmpty) {
  const auto path = In(u"新文件.txt");
  Start(PathText(path));
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(Text(), u"");
  EXPECT_EQ(FileName(), PathText(path));
}

TEST_F(FileCommandsTest, StartWithUnreadablePathWarnsOnceWithTheTimerOff) {
  main_window::Environment environment = FakeForm::DesignScreen();
  environment.command_line = PathText(folder_.path());  // a folder is no document
  FakeForm fake(std::move(environment));
  // The loop runs behind the warning, and the 1 ms timer with it: it must already be off, or it
  // would start the load again and stack up warnings.
  std::vector<bool> ticked_behind_warning;
  fake.dialogs().on_message = [&](const ScriptedDialogs::Message&) {
    ticked_behind_warning.push_back(fake.timer("Timer2").Tick());
  };
  fake.Start();
  EXPECT_EQ(ticked_behind_warning, std::vector<bool>{false});
  EXPECT_EQ(fake.form().CommonDialog1.FileName, u"");
  EXPECT_TRUE(fake.form().Saved());
}

// --- Open ------------------------------------------------------------------------------------

TEST_F(FileCommandsTest, OpenShowsFilterAndLoadsPlainFile) {
  Start();
  const auto path = In(u"中文.txt");
  WriteBytes(path, kGbkBytes);
  OpenDocument(path);
  EXPECT_EQ(Text(), kChineseText);
  ASSERT_EQ(dialogs().file_dialog_filters.size(), 1u);
  EXPECT_EQ(dialogs().file_dialog_filters[0], u"TXT文本|*.txt|所有文件|*.*");
  EXPECT_EQ(dialogs().file_dialog_starts[0], u"");
  EXPECT_EQ(form().FilePath(), u"") << "Open leaves FilePath alone";
  EXPECT_EQ(ReadBytes(path), kGbkBytes) << "opening writes nothing";
}

TEST_F(FileCommandsTest, OpenCancelledKeepsUnsavedEdits) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited, not saved");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  dialogs().file_answers.push_back(std::nullopt);
  Click("Open");
  EXPECT_EQ(Text(), u"edited, not saved");
  EXPECT_FALSE(form().Saved());
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_EQ(dialogs().messages.size(), 1u) << "only the question before opening";
}

TEST_F(FileCommandsTest, OpenOfUnknownNameCreatesEmptyFile) {
  Start();
  Edit(u"old text");
  const auto path = In(u"还没有.txt");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  OpenDocument(path);
  EXPECT_EQ(Text(), u"");
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(FileCommandsTest, OpenFailureWarnsAndChangesNothing) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  const std::vector<std::filesystem::path> bad_paths = {folder_.path(), In(u"没有的文件夹/x.txt")};
  for (std::size_t k = 0; k < bad_paths.size(); ++k) {
    SCOPED_TRACE(k);
    const std::filesystem::path& bad = bad_paths[k];
    dialogs().message_answers.push_back(MessageAnswer::kNo);
    dialogs().file_answers.push_back(PathText(bad));
    Click("Open");
    ExpectWarningAbout(bad);
    EXPECT_EQ(Text(), u"edited");
    EXPECT_EQ(FileName(), PathText(path));
    EXPECT_FALSE(form().Saved());
  }
  EXPECT_FALSE(std::filesystem::exists(In(u"没有的文件夹")));
}

// --- Save and Save As ----------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveTurnsPlainFileIntoScrambledForm) {
  Start();
  const auto path = In(u"plain.txt");
  WriteBytes(path, "plain");
  OpenDocument(path);
  Edit(u"Hello, Tambrel");
  Click("Bc");
  ExpectScrambledAscii(ReadBytes(path), "Hello, Tambrel");
  EXPECT_TRUE(form().Saved());
  EXPECT_EQ(dialogs().file_dialog_starts.size(), 1u) << "Save with a path asks for none";
  const auto& message = LastMessage();
  EXPECT_EQ(message.text, u"保存成功");
  EXPECT_EQ(message.title, u"提示");
  EXPECT_EQ(message.icon, MessageIcon::kInformation);
}

TEST_F(FileCommandsTest, SavedChineseDocumentReopensIdentical) {
  const auto path = In(u"中文.txt");
  WriteBytes(path, kGbkBytes);
  Start(PathText(path));
  Edit(kChineseText + u"\n第三行");
  Click("Bc");
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved.substr(saved.size() - kMarker.size()), kMarker);
  EXPECT_EQ(saved.find("\xD6\xD0\xCE\xC4"), std::string::npos) << "the text is scrambled";
  Edit(u"something else");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  OpenDocument(path);
  EXPECT_EQ(Text(), kChineseText + u"\n第三行");
}

TEST_F(FileCommandsTest, OpenedAndSavedDocumentKeepsEveryByte) {
  Start();
  for (const std::u16string text : {u"第一行\r\n第二行\r\n", u"Unix\n行\n", u"旧Mac\r行"}) {
    const auto path = In(u"原样.txt");
    ASSERT_TRUE(WriteDocumentFile(path, text));
    const std::string before = ReadBytes(path);
    OpenDocument(path);
    Click("Bc");
    EXPECT_EQ(ReadBytes(path), before);
  }
}

TEST_F(FileCommandsTest, SaveOfEmptyTextWithPathWritesMarkerOnly) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "something");
  OpenDocument(path);
  Edit(u"");
  Click("Bc");
  EXPECT_EQ(ReadBytes(path), kMarker);
  EXPECT_TRUE(HasMessage(dialogs(), u"保存成功"));
}

TEST_F(FileCommandsTest, SaveWithoutPathAsksForOne) {
  Start();
  Edit(u"new text");
  const auto path = In(u"new.txt");
  dialogs().file_answers.push_back(PathText(path));
  Click("Bc");
  ASSERT_EQ(dialogs().file_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs().file_dialog_filters[0], u"TXT文本|*.txt|所有文件|*.*");
  ExpectScrambledAscii(ReadBytes(path), "new text");
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_TRUE(form().Saved());
}

TEST_F(FileCommandsTest, SaveAsOfEmptyTextWarnsAndWritesNothing) {
  Start();
  EXPECT_EQ(form().file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_TRUE(dialogs().file_dialog_starts.empty());
  const auto& message = LastMessage();
  EXPECT_EQ(message.text, u"文本框不可以空！！！");
  EXPECT_EQ(message.title, u"警告");
  EXPECT_EQ(message.icon, MessageIcon::kExclamation);
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(FileCommandsTest, SaveAsCancelledKeepsPathAndSaved) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  dialogs().file_answers.push_back(std::nullopt);
  EXPECT_EQ(form().file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_EQ(dialogs().file_dialog_starts.back(), u"") << "Save As starts without a name";
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_FALSE(form().Saved());
  EXPECT_EQ(ReadBytes(path), "on disk");
  EXPECT_TRUE(dialogs().messages.empty());
}

TEST_F(FileCommandsTest, SaveAsReplacesExistingFileAndMovesThePath) {
  Start();
  const auto first = In(u"first.txt");
  const auto other = In(u"other.txt");
  WriteBytes(first, "first");
  WriteBytes(other, "a longer plain text that must go entirely");
  OpenDocument(first);
  Edit(u"replacement");
  dialogs().file_answers.push_back(PathText(other));
  Click("Save");
  ExpectScrambledAscii(ReadBytes(other), "replacement");
  EXPECT_EQ(ReadBytes(first), "first");
  EXPECT_EQ(FileName(), PathText(other));
  // The next Save goes to the new path without a dialog.
  Edit(u"again");
  Click("Bc");
  ExpectScrambledAscii(ReadBytes(other), "again");
  EXPECT_EQ(dialogs().file_dialog_starts.size(), 2u);
}

TEST_F(FileCommandsTest, FailedWriteWarnsAndKeepsEverything) {
  Start();
  Edit(u"text to keep");
  const auto blocked = In(u"没有的文件夹/x.txt");
  dialogs().file_answers.push_back(PathText(blocked));
  EXPECT_EQ(form().file_commands().Save_Click(), SaveOutcome::kNotSaved);
  ExpectWarningAbout(blocked);
  EXPECT_FALSE(HasMessage(dialogs(), u"保存成功"));
  EXPECT_EQ(FileName(), u"");
  EXPECT_FALSE(form().Saved());
  EXPECT_EQ(Text(), u"text to keep");

  // A folder in the way of the name.
  dialogs().file_answers.push_back(PathText(folder_.path()));
  EXPECT_EQ(form().file_commands().Save_Click(), SaveOutcome::kNotSaved);
  ExpectWarningAbout(folder_.path());
  EXPECT_TRUE(std::filesystem::is_directory(folder_.path()));
}

#ifndef _WIN32
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
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
  bool active_ = false;
};

TEST_F(FileCommandsTest, FailedSaveLeavesTheOldFileIntact) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "old");
  OpenDocument(path);
  Edit(std::u16string(4000, u'x'));
  {
    FileSizeLimit limit(64);
    ASSERT_TRUE(limit.active());
    Click("Bc");
  }
  ExpectWarningAbout(path);
  EXPECT_FALSE(HasMessage(dialogs(), u"保存成功"));
  EXPECT_FALSE(form().Saved());
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Text().size(), 4000u);
}
#endif

TEST_F(FileCommandsTest, LossyTextAsksBeforeSaving) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "old");
  OpenDocument(path);
  // Thai letters have no place in code page 936.
  const std::u16string text = u"abc\u0E01\u0E02";
  const std::size_t lossy = CountLossyCharacters(text);
  ASSERT_GT(lossy, 0u);
  Edit(text);

  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Click("Bc");
  ASSERT_EQ(dialogs().messages.size(), 1u);
  const auto& question = dialogs().messages[0];
  EXPECT_EQ(question.title, u"提示");
  EXPECT_EQ(question.buttons, MessageButtons::kYesNoDefaultNo);
  const std::string count = std::to_string(lossy);
  EXPECT_NE(question.text.find(std::u16string(count.begin(), count.end())), std::u16string::npos);
  EXPECT_NE(question.text.find(u"?"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "old") << "No writes nothing";
  EXPECT_FALSE(form().Saved());

  dialogs().message_answers.push_back(MessageAnswer::kYes);
  Click("Bc");
  EXPECT_TRUE(HasMessage(dialogs(), u"保存成功"));
  EXPECT_TRUE(form().Saved());
  auto reread = ReadDocumentFile(path);
  ASSERT_TRUE(reread.ok());
  EXPECT_EQ(reread.value().text, u"abc??");
}

TEST_F(FileCommandsTest, LossySaveAsDeclinedKeepsThePath) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "old");
  OpenDocument(path);
  Edit(u"\u0E01");
  const auto other = In(u"other.txt");
  dialogs().file_answers.push_back(PathText(other));
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  EXPECT_EQ(form().file_commands().Save_Click(), SaveOutcome::kNotSaved);
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_FALSE(std::filesystem::exists(other));
}

// --- Drop ----------------------------------------------------------------------------------

TEST_F(FileCommandsTest, DropOfSeveralFilesOpensTheLast) {
  Start();
  const auto first = In(u"first.txt");
  const auto last = In(u"最后.txt");
  WriteBytes(first, "first");
  WriteBytes(last, kGbkBytes);
  Edit(u"edited");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Drop({PathText(first), PathText(last)});
  EXPECT_EQ(Text(), kChineseText);
  EXPECT_EQ(FileName(), PathText(last));
  EXPECT_EQ(form().FilePath(), PathText(last));
  EXPECT_TRUE(form().Saved());
}

TEST_F(FileCommandsTest, DropWithoutFilesChangesNothing) {
  Start();
  const auto path = In(u"doc.txt");
  WriteBytes(path, "on disk");
  OpenDocument(path);
  Edit(u"edited");
  Drop({});
  EXPECT_EQ(Text(), u"edited");
  EXPECT_EQ(FileName(), PathText(path));
  EXPECT_FALSE(form().Saved()) << "closing must still ask";
}

TEST_F(FileCommandsTest, DropOfUnreadableFileWarnsAndChangesNothing) {
  Start();
  Edit(u"edited");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  Drop({PathText(folder_.path())});
  ExpectWarningAbout(folder_.path());
  EXPECT_EQ(Text(), u"edited");
  EXPECT_EQ(FileName(), u"");
  EXPECT_FALSE(form().Saved());
}

// --- Opening over changed text ---------------------------------------------------------------

// Open and a drop of files ask before they replace text that is not saved: 否 goes on, 是 saves
// as Save As does and goes on only once that saved.
class OpenOverChanges : public FileCommandsTest {
 protected:
  enum class Way { kOpenDialog, kDrop };
  enum class Expect { kOpenDialog, kNoOpenDialog };

  void SetUp() override {
    Start();
    other_ = In(u"另一个.txt");
    WriteBytes(other_, "other document");
  }

  void OpenOther(Way way, Expect expect = Expect::kOpenDialog) {
    if (way == Way::kOpenDialog) {
      if (expect == Expect::kOpenDialog) dialogs().file_answers.push_back(PathText(other_));
      Click("Open");
    } else {
      Drop({PathText(other_)});
    }
  }

  std::size_t Questions() {
    std::size_t count = 0;
    for (const auto& message : dialogs().messages) {
      if (message.text != kSaveQuestion) continue;
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
    dialogs().message_answers.push_back(MessageAnswer::kNo);
    OpenOther(way);
    EXPECT_EQ(Text(), u"other document");
    EXPECT_TRUE(form().Saved());
  }
  EXPECT_EQ(Questions(), 2u);
}

TEST_F(OpenOverChanges, YesSavesAsThenOpens) {
  for (const Way way : {Way::kOpenDialog, Way::kDrop}) {
    const auto kept = In(way == Way::kDrop ? u"dropped-over.txt" : u"opened-over.txt");
    Edit(u"keep me");
    dialogs().message_answers.push_back(MessageAnswer::kYes);
    dialogs().file_answers.push_back(PathText(kept));  // the Save As dialog
    OpenOther(way);
    ExpectScrambledAscii(ReadBytes(kept), "keep me");
    EXPECT_EQ(Text(), u"other document");
    EXPECT_EQ(FileName(), PathText(other_));
  }
}

TEST_F(OpenOverChanges, YesWithTheSaveCancelledOrFailedOpensNothing) {
  for (const Way way : {Way::kOpenDialog, Way::kDrop}) {
    for (const bool fails : {false, true}) {
      Edit(u"must not be lost");
      dialogs().message_answers.push_back(MessageAnswer::kYes);
      dialogs().file_answers.push_back(fails ? std::optional(PathText(In(u"没有的文件夹/x.txt")))
                                             : std::nullopt);
      const std::size_t file_dialogs = dialogs().file_dialog_starts.size();
      OpenOther(way, Expect::kNoOpenDialog);
      EXPECT_EQ(Text(), u"must not be lost");
      EXPECT_FALSE(form().Saved());
      // Only the Save As dialog showed; the Open dialog never did.
      EXPECT_EQ(dialogs().file_dialog_starts.size(), file_dialogs + 1);
      EXPECT_TRUE(dialogs().file_answers.empty());
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
