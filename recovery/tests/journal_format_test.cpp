// The record's bytes: what was written whole reads back, and a record cut off or damaged
// anywhere gives back its edits up to the damage and never one made up.
#include "recovery/journal_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tambrel::recovery {
namespace {

JournalBase FileBase() {
  return JournalBase{u"/home/用户/笔记.txt",
                     platform::files::FileIdentity{7, 42, 1234, 1'700'000'000'123'456'789}};
}

std::vector<JournalEdit> SomeEdits() {
  return {JournalEdit{0, 0, u"春眠不觉晓", 1000}, JournalEdit{5, 0, u"\r\n", 1001},
          JournalEdit{2, 3, u"👨‍👩‍👧", 1002}, JournalEdit{1, 1, u"", 1003}};
}

std::string Record(const JournalBase& base, const std::vector<JournalEdit>& edits) {
  std::string bytes = EncodeHeader(base, 999);
  for (const JournalEdit& edit : edits) bytes += EncodeEdit(edit);
  return bytes;
}

TEST(JournalFormat, ReadsBackWhatWasWritten) {
  for (const JournalBase& base : {FileBase(), JournalBase{}}) {
    const auto contents = DecodeJournal(Record(base, SomeEdits()));
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->base, base);
    EXPECT_EQ(contents->started_unix_ms, 999);
    EXPECT_EQ(contents->edits, SomeEdits());
    EXPECT_FALSE(contents->torn);
  }
}

TEST(JournalFormat, ARecordCutAnywhereGivesTheEditsThatCameThroughWhole) {
  const std::vector<JournalEdit> edits = SomeEdits();
  const std::string header = EncodeHeader(FileBase(), 999);
  std::vector<std::size_t> ends = {header.size()};
  for (const JournalEdit& edit : edits) ends.push_back(ends.back() + EncodeEdit(edit).size());
  const std::string whole = Record(FileBase(), edits);
  for (std::size_t length = header.size(); length <= whole.size(); ++length) {
    const auto contents = DecodeJournal(whole.substr(0, length));
    ASSERT_TRUE(contents.has_value()) << length;
    std::size_t whole_edits = 0;
    while (whole_edits + 1 < ends.size() && ends[whole_edits + 1] <= length) ++whole_edits;
    EXPECT_EQ(contents->edits, std::vector<JournalEdit>(edits.begin(), edits.begin() + whole_edits))
        << "cut at " << length;
    EXPECT_EQ(contents->torn, length != ends[whole_edits]) << "cut at " << length;
  }
}

TEST(JournalFormat, DamageStopsTheReadingAtTheDamagedEdit) {
  const std::string whole = Record(FileBase(), SomeEdits());
  const std::size_t header = EncodeHeader(FileBase(), 999).size();
  const std::size_t first = EncodeEdit(SomeEdits()[0]).size();
  for (std::size_t at = header; at < whole.size(); ++at) {
    std::string damaged = whole;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
    const auto contents = DecodeJournal(damaged);
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->torn) << "byte " << at;
    const std::vector<JournalEdit> edits = SomeEdits();
    ASSERT_LE(contents->edits.size(), edits.size());
    // Whatever is read is a true prefix, never a changed edit.
    for (std::size_t i = 0; i < contents->edits.size(); ++i)
      EXPECT_EQ(contents->edits[i], edits[i]);
    if (at < header + first) {
      EXPECT_TRUE(contents->edits.empty());
    }
  }
}

TEST(JournalFormat, WhatIsNotARecordIsRefused) {
  EXPECT_FALSE(DecodeJournal("").has_value());
  EXPECT_FALSE(DecodeJournal("hello, world").has_value());
  std::string header = EncodeHeader(FileBase(), 1);
  EXPECT_FALSE(DecodeJournal(header.substr(0, header.size() - 1)).has_value());
  header[header.size() - 3] ^= 1;
  EXPECT_FALSE(DecodeJournal(header).has_value()) << "a damaged header names no base to trust";
}

}  // namespace
}  // namespace tambrel::recovery
