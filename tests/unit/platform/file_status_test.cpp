#include "platform/file_status.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class FileStatus : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device random;
    FRoot = fs::temp_directory_path() / ("redevuvo_status_" + std::to_string(random()));
    fs::create_directories(FRoot);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(FRoot, ignored);
  }
  std::string Name(const std::string &relative) const { return (FRoot / relative).string(); }
  void WriteFile(const std::string &relative, const std::string &content) const {
    std::ofstream(FRoot / relative, std::ios::binary) << content;
  }
  std::string ReadFile(const std::string &relative) const {
    std::ifstream in(FRoot / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path FRoot;
};

TEST_F(FileStatus, StatFollowsLinksAndLinkStatDoesNot) {
  WriteFile("f", "12345678");
  fs::create_symlink(FRoot / "f", FRoot / "l");
  TFileStatus followed, own;
  ASSERT_EQ(StatPath(Name("l"), followed), 0);
  ASSERT_EQ(LinkStatPath(Name("l"), own), 0);
  EXPECT_TRUE(followed.IsRegularFile());
  EXPECT_FALSE(followed.IsLink());
  EXPECT_EQ(followed.FSize, 8);
  EXPECT_TRUE(own.IsLink());
  EXPECT_NE(own.FInode, followed.FInode);
  TFileStatus direct;
  ASSERT_EQ(StatPath(Name("f"), direct), 0);
  EXPECT_EQ(direct.FInode, followed.FInode);
  EXPECT_EQ(direct.FDevice, followed.FDevice);
  EXPECT_TRUE(direct.HasWriteBit());
  if (!direct.FHasBirthTime) {
    EXPECT_EQ(direct.FCreationTime, direct.FLastWriteTime);
  }
}

TEST_F(FileStatus, MissingNamesReportNotFoundErrors) {
  WriteFile("f", "");
  fs::create_symlink(FRoot / "loop2", FRoot / "loop1");
  fs::create_symlink(FRoot / "loop1", FRoot / "loop2");
  TFileStatus status;
  EXPECT_EQ(StatPath(Name("missing"), status), ENOENT);
  EXPECT_EQ(StatPath(Name("f/x"), status), ENOTDIR);
  EXPECT_EQ(StatPath(Name("loop1"), status), ELOOP);
  EXPECT_EQ(StatPath(Name(std::string(5000, 'a')), status), ENAMETOOLONG);
  for (int error : {ENOENT, ENOTDIR, ELOOP, ENAMETOOLONG})
    EXPECT_TRUE(IsNameNotFoundError(error));
  EXPECT_FALSE(IsNameNotFoundError(EACCES));
  EXPECT_FALSE(IsNameNotFoundError(0));
}

TEST_F(FileStatus, OpenForWritingLeavesContentAlone) {
  WriteFile("f", "content");
  EXPECT_EQ(TryOpenForWriting(Name("f")), 0);
  EXPECT_EQ(ReadFile("f"), "content");
  EXPECT_EQ(TryOpenForWriting(Name("missing")), ENOENT);
  EXPECT_FALSE(fs::exists(FRoot / "missing"));
  EXPECT_EQ(TryOpenForWriting(FRoot.string()), EISDIR);
}

TEST_F(FileStatus, CreateNewFileRefusesAnyExistingName) {
  EXPECT_EQ(CreateNewFile(Name("new")), 0);
  EXPECT_TRUE(fs::is_regular_file(FRoot / "new"));
  WriteFile("old", "keep");
  EXPECT_EQ(CreateNewFile(Name("old")), EEXIST);
  EXPECT_EQ(ReadFile("old"), "keep");
  fs::create_symlink(FRoot / "target", FRoot / "dangling");
  EXPECT_EQ(CreateNewFile(Name("dangling")), EEXIST);
  EXPECT_FALSE(fs::exists(FRoot / "target"));
}

TEST_F(FileStatus, DirectoryCallsReportErrors) {
  EXPECT_EQ(MakeDirectory(Name("d")), 0);
  EXPECT_EQ(MakeDirectory(Name("d")), EEXIST);
  WriteFile("d/f", "");
  EXPECT_EQ(RemoveDirectory(Name("d")), ENOTEMPTY);
  EXPECT_EQ(RemoveName(Name("d")), EISDIR);
  EXPECT_EQ(RemoveName(Name("d/f")), 0);
  EXPECT_EQ(RemoveDirectory(Name("d")), 0);
  EXPECT_EQ(RemoveDirectory(Name("d")), ENOENT);
}

TEST_F(FileStatus, DirectoryEmptinessIncludesDotEntries) {
  fs::create_directory(FRoot / "d");
  bool empty = false;
  ASSERT_EQ(ReadDirectoryEmpty(Name("d"), empty), 0);
  EXPECT_TRUE(empty);
  WriteFile("d/.dot", "");
  ASSERT_EQ(ReadDirectoryEmpty(Name("d"), empty), 0);
  EXPECT_FALSE(empty);
  EXPECT_EQ(ReadDirectoryEmpty(Name("missing"), empty), ENOENT);
}

TEST_F(FileStatus, RenameNeverReplacesAnExistingTarget) {
  WriteFile("a", "A");
  WriteFile("b", "B");
  EXPECT_EQ(RenameNoReplace(Name("a"), Name("b")), EEXIST);
  EXPECT_EQ(ReadFile("a"), "A");
  EXPECT_EQ(ReadFile("b"), "B");
  fs::create_symlink(FRoot / "nowhere", FRoot / "dangling");
  EXPECT_EQ(RenameNoReplace(Name("a"), Name("dangling")), EEXIST);
  EXPECT_EQ(RenameNoReplace(Name("a"), Name("c")), 0);
  EXPECT_EQ(ReadFile("c"), "A");
  EXPECT_FALSE(fs::exists(FRoot / "a"));
  fs::create_directory(FRoot / "d");
  EXPECT_EQ(RenameNoReplace(Name("d"), Name("e")), 0);
  EXPECT_TRUE(fs::is_directory(FRoot / "e"));
  EXPECT_EQ(RenameNoReplace(Name("missing"), Name("x")), ENOENT);
}

TEST_F(FileStatus, WorkingDirectoryCanBeReadAndChanged) {
  std::string saved = platform::CurrentDirectory();
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(saved[0], '/');
  ASSERT_EQ(ChangeWorkingDirectory(FRoot.string()), 0);
  std::string inside = platform::CurrentDirectory();
  ASSERT_EQ(ChangeWorkingDirectory(saved), 0);
  EXPECT_EQ(fs::path(inside), fs::canonical(FRoot));
  EXPECT_EQ(ChangeWorkingDirectory(Name("missing")), ENOENT);
  EXPECT_EQ(platform::CurrentDirectory(), saved);
}

} // namespace
