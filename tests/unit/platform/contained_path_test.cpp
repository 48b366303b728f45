#include "platform/contained_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

namespace {

mode_t ModeOf(const std::string &path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::string Listing(const std::string &directory) {
  return RunProcess({"/bin/ls", "-A", directory}).Stdout;
}

} // namespace

TEST(ContainedPath, FilesAreWrittenBelowTheBaseOrRefused) {
  using platform::TContainedResult;
  mode_t mask = umask(022);
  struct TCase {
    const char *Name;
    const char *Setup; // shell commands run in the base directory first
    const char *Relative;
    bool CreateParents;
    TContainedResult Result;
    const char *LinkPart;
    std::string Content; // what "a/f" holds afterwards
    mode_t Mode;         // and its mode
  } cases[] = {
      {"new file, parents made", "", "a/f", true, TContainedResult::Done, "", "new", 0644},
      {"doubled and trailing separators", "", "a//f", true, TContainedResult::Done, "", "new",
       0644},
      {"missing parent not made", "", "a/f", false, TContainedResult::Failed, "", "", 0},
      {"mode of the replaced file kept", "mkdir a; echo old >a/f; chmod 640 a/f", "a/f", false,
       TContainedResult::Done, "", "new", 0640},
      {"read-only file kept", "mkdir a; echo old >a/f; chmod 444 a/f", "a/f", true,
       TContainedResult::Failed, "", "old\n", 0444},
      {"FIFO refused without blocking", "mkdir a; mkfifo a/f", "a/f", true,
       TContainedResult::Failed, "", "", 0644},
      {"directory refused", "mkdir -p a/f", "a/f", true, TContainedResult::Failed, "", "", 0755},
      {"link to a directory as parent", "mkdir elsewhere; ln -s elsewhere a", "a/f", true,
       TContainedResult::LinkRefused, "a", "", 0},
      {"dangling link at the file's name", "mkdir a elsewhere; ln -s ../elsewhere/f a/f", "a/f",
       true, TContainedResult::LinkRefused, "a/f", "", 0},
      {"climbing part refused", "mkdir a", "a/../f", true, TContainedResult::Failed, "", "", 0},
  };
  for (const TCase &c : cases) {
    TTempDir dir;
    ASSERT_EQ(
        RunProcess({"/bin/sh", "-c",
                    std::string("cd '") + dir.Path() + "' && " + (*c.Setup ? c.Setup : "true")})
            .ExitCode,
        0)
        << c.Name;
    std::string before = Listing(dir.Path());
    std::string linkPart = "unchanged";
    TContainedResult result =
        platform::WriteFileBelow(dir.Path(), c.Relative, "new", c.CreateParents, linkPart);
    EXPECT_EQ(result, c.Result) << c.Name;
    EXPECT_EQ(linkPart, c.LinkPart) << c.Name;
    std::string file = dir.File("a/f");
    if (!c.Content.empty()) {
      EXPECT_EQ(ReadFileBytes(file), c.Content) << c.Name;
    }
    if (c.Mode != 0) {
      EXPECT_EQ(ModeOf(file) & 0777, c.Mode) << c.Name;
    }
    // No temporary file is left beside the target.
    if (result != TContainedResult::Done && FileExists(dir.File("a"))) {
      EXPECT_EQ(
          RunProcess({"/bin/sh", "-c", "ls -A '" + dir.File("a") + "' | grep -c redevuvo"}).Stdout,
          "0\n")
          << c.Name;
    }
    // Nothing reached the place a link points to.
    if (FileExists(dir.File("elsewhere"))) {
      EXPECT_EQ(Listing(dir.File("elsewhere")), "") << c.Name;
    }
    if (result == TContainedResult::Failed && !c.CreateParents) {
      EXPECT_EQ(Listing(dir.Path()), before) << c.Name;
    }
  }
  umask(mask);
}

TEST(ContainedPath, DirectoriesAreMadeBelowTheBaseOrRefused) {
  TTempDir dir;
  TTempDir outside;
  std::string linkPart;
  EXPECT_EQ(platform::CreateDirectoriesBelow(dir.Path(), "x/y/z", linkPart),
            platform::TContainedResult::Done);
  struct stat info;
  EXPECT_EQ(stat(dir.File("x/y/z").c_str(), &info), 0);
  ASSERT_EQ(symlink(outside.Path().c_str(), dir.File("x/l").c_str()), 0);
  EXPECT_EQ(platform::CreateDirectoriesBelow(dir.Path(), "x/l/sub", linkPart),
            platform::TContainedResult::LinkRefused);
  EXPECT_EQ(linkPart, "x/l");
  EXPECT_EQ(Listing(outside.Path()), "");
  // A missing base is not made.
  EXPECT_EQ(platform::CreateDirectoriesBelow(dir.File("missing"), "x", linkPart),
            platform::TContainedResult::Failed);
  EXPECT_FALSE(FileExists(dir.File("missing")));
}
