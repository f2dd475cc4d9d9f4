// The journal and the reading back: the text of a record is the base with its edits, from the
// file while it is unchanged, from the kept copy once it has changed, and nothing at all when
// neither is there.
#include "recovery/recovery_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "document/document_file.h"
#include "platform/files/path_text.h"
#include "platform/files/record_file.h"
#include "recovery/recovered_text.h"
#include "tests/support/temp_dir.h"

namespace tambrel::recovery {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

JournalBase BaseOf(const fs::path& file) {
  JournalBase base;
  base.path = platform::files::PathText(file);
  base.identity = platform::files::IdentityOf(file).value();
  return base;
}

std::vector<fs::path> Records(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".journal") found.push_back(entry.path());
  }
  return found;
}

TEST(ReplayEdits, MatchesEditsOnAPlainString) {
  std::mt19937 random(11);
  std::u16string expected = u"一二三\r\nabc";
  std::vector<JournalEdit> edits;
  for (int step = 0; step < 2000; ++step) {
    const std::size_t position = random() % (expected.size() + 1);
    const std::size_t removed = random() % (expected.size() - position + 1) % 4;
    const std::u16string inserted(random() % 3, static_cast<char16_t>(u'a' + random() % 26));
    expected.replace(position, removed, inserted);
    edits.push_back(JournalEdit{position, removed, inserted, step});
  }
  std::size_t applied = 0;
  EXPECT_EQ(ReplayEdits(text::TextBuffer(u"一二三\r\nabc"), edits, &applied).Text(), expected);
  EXPECT_EQ(applied, edits.size());
}

TEST(ReplayEdits, AnEditThatDoesNotFitEndsTheReplay) {
  std::size_t applied = 0;
  EXPECT_EQ(ReplayEdits(text::TextBuffer(u"abc"),
                        {{3, 0, u"d", 1}, {9, 0, u"x", 2}, {0, 0, u"y", 3}}, &applied)
                .Text(),
            u"abcd");
  EXPECT_EQ(applied, 1u);
  EXPECT_EQ(ReplayEdits(text::TextBuffer(u"abc"), {{1, 5, u"", 1}}, &applied).Text(), u"abc");
  EXPECT_EQ(applied, 0u);
}

TEST(RecoveryJournal, ARecordExistsOnlyWhileThereAreUnsavedEdits) {
  TempDir folder;
  RecoveryJournal journal(folder.path());
  journal.Start({});
  journal.WaitUntilWritten();
  EXPECT_TRUE(Records(folder.path()).empty()) << "no edit, no record";

  journal.Record({0, 0, u"你好", 0});
  journal.WaitUntilWritten();
  ASSERT_EQ(Records(folder.path()).size(), 1u);
  const fs::path record = Records(folder.path()).front();
  EXPECT_TRUE(platform::files::RecordFileInUse(record));
  EXPECT_TRUE(AbandonedRecords(folder.path()).empty()) << "a living instance's record is its own";

  journal.Start({});  // saved: the edits so far are in a file now
  journal.WaitUntilWritten();
  EXPECT_FALSE(fs::exists(record));
  journal.Record({0, 0, u"x", 0});
  journal.Discard();  // given up
  journal.WaitUntilWritten();
  EXPECT_TRUE(Records(folder.path()).empty());
  journal.Record({0, 0, u"y", 0});
  journal.WaitUntilWritten();
  EXPECT_TRUE(Records(folder.path()).empty()) << "nothing is followed after a discard";
}

TEST(RecoveryJournal, TwoJournalsKeepTwoRecords) {
  TempDir folder;
  RecoveryJournal first(folder.path());
  RecoveryJournal second(folder.path());
  first.Start({});
  second.Start({});
  first.Record({0, 0, u"one", 0});
  second.Record({0, 0, u"two", 0});
  first.WaitUntilWritten();
  second.WaitUntilWritten();
  EXPECT_EQ(Records(folder.path()).size(), 2u);
  EXPECT_NE(first.RecordPath(), second.RecordPath());
}

TEST(RecoveryJournal, ARecordLeftBehindGivesBackTheText) {
  TempDir folder;
  const fs::path document = folder.Write("doc.txt", "abc\r\ndef");
  const fs::path records = folder / "recovery";
  {
    RecoveryJournal journal(records);
    journal.Start(BaseOf(document));
    journal.Record({3, 0, u"甲", 0});
    journal.Record({0, 1, u"", 0});
    // The program dies here: the journal ends without a discard.
  }
  const std::vector<fs::path> left = AbandonedRecords(records);
  ASSERT_EQ(left.size(), 1u);
  const auto recovered = RecoverText(left.front());
  ASSERT_TRUE(recovered.ok());
  EXPECT_EQ(recovered.value().text.Text(), u"bc甲\r\ndef");
  EXPECT_EQ(recovered.value().characters, 8u);
  EXPECT_EQ(recovered.value().line_break, document::LineBreak::kCrLf);
  EXPECT_EQ(recovered.value().from, RecoveredFrom::kUnchangedFile);
  EXPECT_EQ(recovered.value().path, platform::files::PathText(document));
  EXPECT_EQ(recovered.value().edits.size(), 2u);
  EXPECT_GT(recovered.value().last_edit_unix_ms, 0);
}

TEST(RecoveryJournal, AFileChangedSinceIsReplacedByTheCopyKeptOfIt) {
  TempDir folder;
  const fs::path document = folder.Write("doc.txt", "original");
  const fs::path records = folder / "recovery";
  fs::path record;
  {
    RecoveryJournal journal(records);
    journal.Start(BaseOf(document));
    journal.Record({8, 0, u"!", 0});
    journal.WaitUntilWritten();
    record = *journal.RecordPath();
    // The copy is made beside the record; wait for it as a user's second would.
    for (int i = 0; i < 500 && !fs::exists(BaseCopyPath(record)); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(fs::exists(BaseCopyPath(record)));
  }
  folder.Write("doc.txt", "another program wrote this");
  const auto recovered = RecoverText(record);
  ASSERT_TRUE(recovered.ok());
  EXPECT_EQ(recovered.value().text.Text(), u"original!");
  EXPECT_EQ(recovered.value().from, RecoveredFrom::kCopyOfFile);

  fs::remove(BaseCopyPath(record));
  EXPECT_FALSE(RecoverText(record).ok()) << "edits never go onto a file they were not made on";
  RemoveRecord(record);
  EXPECT_FALSE(fs::exists(record));
}

TEST(RecoveryJournal, AbandonedRecordsSkipEmptyAndForeignFilesAndComeNewestFirst) {
  TempDir folder;
  const fs::path records = folder / "recovery";
  fs::create_directories(records);
  std::ofstream(records / "empty.journal") << "";
  std::ofstream(records / "stray.base") << "left by a death between two removals";
  std::ofstream(records / "notes.txt") << "not ours";
  for (const char16_t* text : {u"older", u"newer"}) {
    RecoveryJournal journal(records);
    journal.Start({});
    journal.Record({0, 0, text, 0});
    journal.WaitUntilWritten();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const std::vector<fs::path> left = AbandonedRecords(records);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(RecoverText(left[0]).value().text.Text(), u"newer");
  EXPECT_EQ(RecoverText(left[1]).value().text.Text(), u"older");
  EXPECT_FALSE(fs::exists(records / "empty.journal"));
  EXPECT_FALSE(fs::exists(records / "stray.base"));
  EXPECT_TRUE(fs::exists(records / "notes.txt"));
}

TEST(RecoveryJournal, AFailureToWriteIsToldOnceAndEditingGoesOn) {
  TempDir folder;
  const fs::path blocked = folder.Write("not-a-folder", "a file where the folder should be");
  RecoveryJournal journal(blocked / "recovery");
  journal.Start({});
  for (int i = 0; i < 3; ++i) journal.Record({0, 0, u"a", 0});
  journal.WaitUntilWritten();
  const auto failure = journal.TakeFailure();
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->reason.empty());
  EXPECT_FALSE(journal.TakeFailure().has_value());
}

}  // namespace
}  // namespace tambrel::recovery
