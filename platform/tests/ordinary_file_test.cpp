// Whether a file is there to use, as the skin is looked for beside the program.
#include "platform/files/ordinary_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#endif

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace tambrel::platform::files {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(OrdinaryFileExists, AnOrdinaryFileEvenAnEmptyOneIs) {
  const TempDir folder;
  EXPECT_TRUE(OrdinaryFileExists(folder.Write("Pf.she", "QMenuBar {}")));
  EXPECT_TRUE(OrdinaryFileExists(folder.Write("empty", "")));
}

TEST(OrdinaryFileExists, NothingAndAFolderAreNot) {
  const TempDir folder;
  EXPECT_FALSE(OrdinaryFileExists(folder / "Pf.she"));
  fs::create_directory(folder / "Pf.she");
  EXPECT_FALSE(OrdinaryFileExists(folder / "Pf.she"));
  EXPECT_FALSE(OrdinaryFileExists(folder / "Pf.she" / "inside"));
}

#ifdef _WIN32
TEST(OrdinaryFileExists, AFileWithTheHiddenAttributeIsNot) {
  const TempDir folder;
  const fs::path file = folder.Write("Pf.she", "QMenuBar {}");
  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  // Wine keeps the attribute only where the file system can hold it.
  if ((::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  }
  EXPECT_FALSE(OrdinaryFileExists(file));
}
#else
TEST(OrdinaryFileExists, AFileWhoseNameStartsWithADotIsHidden) {
  const TempDir folder;
  EXPECT_FALSE(OrdinaryFileExists(folder.Write(".Pf.she", "QMenuBar {}")));
  EXPECT_TRUE(OrdinaryFileExists(folder.Write("Pf.she.", "QMenuBar {}")));
}

TEST(OrdinaryFileExists, ALinkCountsAsWhatItPointsTo) {
  const TempDir folder;
  const fs::path file = folder.Write("skin.qss", "QMenuBar {}");
  fs::create_symlink(file, folder / "Pf.she");
  EXPECT_TRUE(OrdinaryFileExists(folder / "Pf.she"));
  fs::create_directory_symlink(folder.path(), folder / "looped");
  EXPECT_FALSE(OrdinaryFileExists(folder / "looped"));
  fs::create_symlink(folder / "gone", folder / "dangling");
  EXPECT_FALSE(OrdinaryFileExists(folder / "dangling"));
}
#endif

}  // namespace
}  // namespace tambrel::platform::files
