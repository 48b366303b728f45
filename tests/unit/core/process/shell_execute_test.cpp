#include "core/process/shell_execute.h"
#include "platform/code_page.h"
#include "tests/support/process_runner.h"
#include "tests/unit/platform/argument_recorder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TText Host(const std::string &bytes) {
  return BytesToText(bytes);
}

// A directory with a document, a recording program and a bin directory that holds
// a stand-in for xdg-open, with PATH pointing at bin only.
class ShellExecuteTest : public testing::Test {
protected:
  void SetUp() override {
    const char *old = std::getenv("PATH");
    FPathWasSet = old != nullptr;
    if (old != nullptr)
      FSavedPath = old;
    std::filesystem::create_directory(FDir.File("bin"));
    std::filesystem::create_directory(FDir.File("work"));
    WriteArgumentRecorder(FDir.File("program"), FDir.File("record"));
    WriteArgumentRecorder(FDir.File("bin/xdg-open"), FDir.File("opened"));
    WriteArgumentRecorder(FDir.File("bin/tool"), FDir.File("tool-record"));
    FDir.Write("doc.txt", "text\n");
    chmod(FDir.File("doc.txt").c_str(), 0644);
    setenv("PATH", FDir.File("bin").c_str(), 1);
    FSavedDirectory = std::filesystem::current_path();
  }
  void TearDown() override {
    std::filesystem::current_path(FSavedDirectory);
    if (FPathWasSet)
      setenv("PATH", FSavedPath.c_str(), 1);
    else
      unsetenv("PATH");
  }

  TTempDir FDir;
  std::string FSavedPath;
  bool FPathWasSet = false;
  std::filesystem::path FSavedDirectory;
};

} // namespace

TEST_F(ShellExecuteTest, ExecutableStartsWithShellSplitParametersInTheDirectory) {
  for (const char16_t *operation : {u"", u"open", u"Open", u"OPEN"}) {
    std::filesystem::remove(FDir.File("record"));
    ASSERT_TRUE(ShellExecute(operation, Host(FDir.File("program")), u"one 'two three' \"\" f\\ g",
                             Host(FDir.File("work")), 1));
    EXPECT_EQ(WaitForFile(FDir.File("record")),
              PhysicalPath(FDir.File("work")) + "\n4\n[one]\n[two three]\n[]\n[f g]\n");
  }
}

TEST_F(ShellExecuteTest, EmptyDirectoryKeepsTheCurrentOne) {
  std::filesystem::current_path(FDir.File("work"));
  ASSERT_TRUE(ShellExecute(u"", u"../program", u"", u"", 1));
  EXPECT_EQ(WaitForFile(FDir.File("record")), PhysicalPath(FDir.File("work")) + "\n0\n");
}

TEST_F(ShellExecuteTest, BareNameIsFoundAlongPath) {
  ASSERT_TRUE(ShellExecute(u"open", u"tool", u"x", u"", 10));
  EXPECT_EQ(WaitForFile(FDir.File("tool-record")),
            PhysicalPath(FSavedDirectory.string()) + "\n1\n[x]\n");
}

TEST_F(ShellExecuteTest, DocumentGoesToTheDesktopOpenerWithItsFullPath) {
  std::filesystem::current_path(FDir.Path());
  // A relative name means the current directory, whatever the working directory.
  ASSERT_TRUE(ShellExecute(u"", u"doc.txt", u"ignored parameters", Host(FDir.File("work")), 1));
  EXPECT_EQ(WaitForFile(FDir.File("opened")),
            PhysicalPath(FDir.File("work")) + "\n1\n[" + PhysicalPath(FDir.Path()) + "/doc.txt]\n");
}

TEST_F(ShellExecuteTest, DirectoryGoesToTheDesktopOpener) {
  ASSERT_TRUE(ShellExecute(u"open", Host(FDir.File("work")), u"", u"", 1));
  EXPECT_EQ(WaitForFile(FDir.File("opened")),
            PhysicalPath(FSavedDirectory.string()) + "\n1\n[" + FDir.File("work") + "]\n");
}

TEST_F(ShellExecuteTest, ExploreOpensEvenAnExecutable) {
  ASSERT_TRUE(ShellExecute(u"explore", Host(FDir.File("program")), u"x", u"", 1));
  EXPECT_EQ(WaitForFile(FDir.File("opened")),
            PhysicalPath(FSavedDirectory.string()) + "\n1\n[" + FDir.File("program") + "]\n");
  EXPECT_FALSE(std::filesystem::exists(FDir.File("record")));
}

TEST_F(ShellExecuteTest, FailuresStartNothing) {
  const struct {
    const char16_t *Operation;
    TText File;
    TText Directory;
  } cases[] = {
      // Operations other than open and explore.
      {u"print", Host(FDir.File("program")), u""},
      {u"edit", Host(FDir.File("doc.txt")), u""},
      {u"runas", Host(FDir.File("program")), u""},
      {u"opens", Host(FDir.File("program")), u""},
      {u" open", Host(FDir.File("program")), u""},
      // Files that neither exist nor are found along PATH.
      {u"", Host(FDir.File("missing")), u""},
      {u"open", u"missing-tool", u""},
      {u"explore", Host(FDir.File("missing")), u""},
      {u"open", u"", u""},
      // A directory the program cannot be started in.
      {u"open", Host(FDir.File("program")), Host(FDir.File("no-such-directory"))},
      {u"open", Host(FDir.File("program")), TText(u"wo\0rk", 5)},
  };
  for (const auto &c : cases)
    EXPECT_FALSE(ShellExecute(c.Operation, c.File, u"", c.Directory, 1))
        << TextToBytes(c.Operation) << " " << TextToBytes(c.File);
  EXPECT_FALSE(std::filesystem::exists(FDir.File("record")));
  EXPECT_FALSE(std::filesystem::exists(FDir.File("opened")));
}

TEST_F(ShellExecuteTest, DocumentWithoutADesktopOpenerFails) {
  std::filesystem::remove(FDir.File("bin/xdg-open"));
  EXPECT_FALSE(ShellExecute(u"open", Host(FDir.File("doc.txt")), u"", u"", 1));
  EXPECT_FALSE(ShellExecute(u"explore", Host(FDir.File("work")), u"", u"", 1));
}
