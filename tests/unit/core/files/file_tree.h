// Building small real directory trees for the file-search tests, and restoring the
// process state (current directory, environment) that those tests change.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/paths/file_names.h"
#include "core/text/text.h"
#include "platform/code_page.h"
#include "tests/support/process_runner.h"

// A temporary tree whose entries are named by paths relative to its root.
class TFileTree {
public:
  const std::string &Root() const { return FDir.Path(); }
  TText RootText() const { return HostFileName(Root()); }
  std::string Path(const std::string &relative) const { return Root() + "/" + relative; }
  TText Text(const std::string &relative) const { return HostFileName(Path(relative)); }

  void Dir(const std::string &relative) const {
    ASSERT_EQ(mkdir(Path(relative).c_str(), 0755), 0) << relative;
  }
  void File(const std::string &relative, const std::string &content = "") const {
    std::ofstream file(Path(relative), std::ios::binary);
    file << content;
    ASSERT_TRUE(file.good()) << relative;
  }
  void Link(const std::string &target, const std::string &relative) const {
    ASSERT_EQ(symlink(target.c_str(), Path(relative).c_str()), 0) << relative;
  }
  // Sets access and modification time of an entry (links followed) to a local time.
  void SetTime(const std::string &relative, int year, int month, int day, int hour, int minute,
               int second) const {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path(relative).c_str(), times, 0), 0) << relative;
  }

private:
  TTempDir FDir;
};

// Changes the current directory for the lifetime of the object.
class TCurrentDirectoryScope {
public:
  explicit TCurrentDirectoryScope(const std::string &directory) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr)
      FSaved = buffer;
    EXPECT_EQ(chdir(directory.c_str()), 0) << directory;
  }
  ~TCurrentDirectoryScope() {
    if (!FSaved.empty() && chdir(FSaved.c_str()) != 0)
      ADD_FAILURE() << "cannot return to " << FSaved;
  }
  TCurrentDirectoryScope(const TCurrentDirectoryScope &) = delete;
  TCurrentDirectoryScope &operator=(const TCurrentDirectoryScope &) = delete;

private:
  std::string FSaved;
};

// Sets (or, with nullopt, removes) an environment variable for the lifetime of the object.
class TEnvironmentScope {
public:
  TEnvironmentScope(const char *name, const std::optional<std::string> &value) : FName(name) {
    if (const char *old = std::getenv(name))
      FSaved = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~TEnvironmentScope() {
    if (FSaved)
      setenv(FName.c_str(), FSaved->c_str(), 1);
    else
      unsetenv(FName.c_str());
  }
  TEnvironmentScope(const TEnvironmentScope &) = delete;
  TEnvironmentScope &operator=(const TEnvironmentScope &) = delete;

private:
  std::string FName;
  std::optional<std::string> FSaved;
};

// Host text list as bytes, for readable failure messages.
inline std::vector<std::string> AsBytes(const TTextList &list) {
  std::vector<std::string> result;
  for (const TText &text : list)
    result.push_back(NativeFileName(text).value_or("<NUL>"));
  return result;
}
