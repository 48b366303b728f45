#include "platform/process.h"
#include "tests/support/process_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using platform::CurrentDirectory;
using platform::GetEnvironmentVariable;

namespace {

// Changes the working directory for a test and goes back afterwards.
class TDirectoryChange {
public:
  explicit TDirectoryChange(const std::string &path) : FSaved(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~TDirectoryChange() { std::filesystem::current_path(FSaved); }
  TDirectoryChange(const TDirectoryChange &) = delete;
  TDirectoryChange &operator=(const TDirectoryChange &) = delete;

private:
  std::filesystem::path FSaved;
};

} // namespace

TEST(Process, ProgramPathNamesTheRunningExecutable) {
  std::string path = platform::ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_EQ(std::filesystem::path(path).filename().string(), "unit_tests");
  EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
}

TEST(Process, EnvironmentVariableValueEmptyAndMissing) {
  ASSERT_EQ(setenv("REDEVUVO_TEST_VALUE", "a=b c", 1), 0);
  ASSERT_EQ(setenv("REDEVUVO_TEST_EMPTY", "", 1), 0);
  unsetenv("REDEVUVO_TEST_MISSING");
  EXPECT_EQ(GetEnvironmentVariable("REDEVUVO_TEST_VALUE"), std::optional<std::string>("a=b c"));
  EXPECT_EQ(GetEnvironmentVariable("REDEVUVO_TEST_EMPTY"), std::optional<std::string>(""));
  EXPECT_EQ(GetEnvironmentVariable("REDEVUVO_TEST_MISSING"), std::nullopt);
  unsetenv("REDEVUVO_TEST_VALUE");
  unsetenv("REDEVUVO_TEST_EMPTY");
}

TEST(Process, MalformedEnvironmentVariableNamesAreNotSet) {
  ASSERT_EQ(setenv("REDEVUVO_TEST_A", "value", 1), 0);
  EXPECT_EQ(GetEnvironmentVariable(""), std::nullopt);
  EXPECT_EQ(GetEnvironmentVariable("REDEVUVO_TEST_A=value"), std::nullopt);
  EXPECT_EQ(GetEnvironmentVariable(std::string("REDEVUVO_TEST_A\0x", 17)), std::nullopt);
  unsetenv("REDEVUVO_TEST_A");
}

TEST(Process, CurrentDirectoryFollowsChanges) {
  TTempDir dir;
  std::string expected = std::filesystem::canonical(dir.Path()).string();
  TDirectoryChange change(dir.Path());
  EXPECT_EQ(CurrentDirectory(), expected);
}

TEST(Process, CurrentDirectoryLongerThanPathMax) {
  TTempDir dir;
  std::string expected = std::filesystem::canonical(dir.Path()).string();
  TDirectoryChange change(dir.Path());
  const std::string name(200, 'd');
  for (int level = 0; level < 25; ++level) {
    ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
    ASSERT_EQ(chdir(name.c_str()), 0);
    expected += "/" + name;
  }
  ASSERT_GT(expected.size(), 4096u);
  EXPECT_EQ(CurrentDirectory(), expected);
}

TEST(Process, RemovedCurrentDirectoryGivesEmptyPath) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("gone").c_str(), 0755), 0);
  TDirectoryChange change(dir.File("gone"));
  ASSERT_EQ(rmdir(dir.File("gone").c_str()), 0);
  EXPECT_EQ(CurrentDirectory(), "");
}
