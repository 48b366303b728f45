#include "libs/zip_library_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "tests/support/process_runner.h"

namespace {
TText T(const std::string &bytes) {
  return BytesToText(bytes);
}
} // namespace

TEST(LuaZipFile, CreatedObjectIsClosed) {
  TLuaZipFile zip;
  EXPECT_FALSE(zip.fIsOpen);
  EXPECT_TRUE(zip.fZipFileName.empty());
}

TEST(LuaZipFile, MissingFileIsCreatedUnlessReadOnly) {
  TTempDir dir;
  TLuaZipFile zip;
  EXPECT_FALSE(zip.Open(T(dir.File("a.zip")), true));
  EXPECT_FALSE(FileExists(dir.File("a.zip")));
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), false));
  EXPECT_TRUE(zip.fIsOpen);
  EXPECT_EQ(zip.fZipFileName, T(dir.File("a.zip")));
  EXPECT_EQ(zip.Mode(), TZipMode::Write);
  zip.Close();
  EXPECT_FALSE(zip.fIsOpen);
  EXPECT_TRUE(zip.fZipFileName.empty());
}

TEST(LuaZipFile, ModeFollowsTheReadOnlyFlagAndTheFile) {
  TTempDir dir;
  std::string path = dir.Write("a.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  TLuaZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), false));
  EXPECT_EQ(zip.Mode(), TZipMode::ReadWrite);
  ASSERT_TRUE(zip.Open(T(path), true));
  EXPECT_EQ(zip.Mode(), TZipMode::Read);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_TRUE(zip.Open(T(path), false));
  EXPECT_EQ(zip.Mode(), TZipMode::Read);
}

TEST(LuaZipFile, FailedOpenClearsTheFields) {
  TTempDir dir;
  TLuaZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), false));
  EXPECT_FALSE(zip.Open(u"", false));
  EXPECT_FALSE(zip.fIsOpen);
  EXPECT_TRUE(zip.fZipFileName.empty());
  EXPECT_FALSE(zip.Open(T(dir.Path()), false)); // a directory is no archive
  EXPECT_FALSE(zip.fIsOpen);
}
