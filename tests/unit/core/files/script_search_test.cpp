#include "core/files/script_search.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/code_page.h"
#include "platform/process.h"
#include "tests/unit/core/files/file_tree.h"

namespace {

std::string Search(const std::string &name) {
  return NativeFileName(SearchFile(HostFileName(name))).value_or("");
}

// A file next to the running test program, removed again at the end.
class TProgramDirectoryFile {
public:
  explicit TProgramDirectoryFile(const std::string &name) {
    const std::string program = platform::ProgramPath();
    FPath = program.substr(0, program.rfind('/')) + "/" + name;
    std::ofstream(FPath) << "-- script\n";
  }
  ~TProgramDirectoryFile() { unlink(FPath.c_str()); }
  TProgramDirectoryFile(const TProgramDirectoryFile &) = delete;
  TProgramDirectoryFile &operator=(const TProgramDirectoryFile &) = delete;
  const std::string &Path() const { return FPath; }

private:
  std::string FPath;
};

std::string UniqueName(const std::string &stem) {
  return "redevuvo-lookup-" + stem + "-" + std::to_string(getpid()) + ".lua";
}

} // namespace

TEST(ScriptSearch, CurrentDirectoryComesBeforeProgramDirectory) {
  const std::string name = UniqueName("both");
  TProgramDirectoryFile inProgramDirectory(name);
  TFileTree current;
  current.File(name);
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", "");
  EXPECT_EQ(Search(name), current.Path(name));
}

TEST(ScriptSearch, ProgramDirectoryComesBeforePath) {
  const std::string name = UniqueName("program");
  TProgramDirectoryFile inProgramDirectory(name);
  TFileTree current;
  TFileTree onPath;
  onPath.File(name);
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", onPath.Root());
  EXPECT_EQ(Search(name), inProgramDirectory.Path());
}

TEST(ScriptSearch, NameWithDirectoryIsResolvedAgainstCurrentDirectoryOnly) {
  TFileTree current;
  current.Dir("sub");
  current.File("sub/s.lua");
  TFileTree onPath;
  onPath.Dir("other");
  onPath.File("other/t.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", onPath.Root());
  EXPECT_EQ(Search("sub/s.lua"), current.Path("sub/s.lua"));
  EXPECT_EQ(Search("./sub/../sub/s.lua"), current.Path("sub/s.lua"));
  EXPECT_EQ(Search("other/t.lua"), "");
  EXPECT_EQ(Search("sub/missing.lua"), "");
}

TEST(ScriptSearch, AbsoluteNameMustBeAnExistingFile) {
  TFileTree tree;
  tree.File("s.lua");
  tree.Dir("d.lua");
  EXPECT_EQ(Search(tree.Path("s.lua")), tree.Path("s.lua"));
  EXPECT_EQ(Search(tree.Path("d.lua")), "");
  EXPECT_EQ(Search(tree.Path("missing.lua")), "");
}

TEST(ScriptSearch, BareNameFoundNowhereGivesEmptyResult) {
  TFileTree current;
  TFileTree onPath;
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", onPath.Root());
  EXPECT_EQ(Search(UniqueName("nowhere")), "");
  EXPECT_EQ(Search(""), "");
}

TEST(ScriptSearch, MissingPathVariableSearchesCurrentAndProgramDirectoryOnly) {
  TFileTree current;
  current.File("here.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", std::nullopt);
  EXPECT_EQ(Search("here.lua"), current.Path("here.lua"));
  EXPECT_EQ(Search(UniqueName("nowhere")), "");
}

TEST(ScriptSearch, WildcardNameTakesFirstMatchInByteOrderOfFirstDirectoryWithOne) {
  TFileTree current;
  current.File("other.lua");
  TFileTree first;
  for (const char *name : {"sb.lua", "Sa.lua", "sa.lua", "sc.txt"})
    first.File(name);
  TFileTree second;
  second.File("s0.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", first.Root() + ":" + second.Root());
  // Names compare with case, as the file system does.
  EXPECT_EQ(Search("s*.lua"), first.Path("sa.lua"));
  EXPECT_EQ(Search("S?.lua"), first.Path("Sa.lua"));
  EXPECT_EQ(Search("s0.*"), second.Path("s0.lua"));
  EXPECT_EQ(Search("o*"), current.Path("other.lua"));
  // Only "*" and "?" are wildcards here.
  EXPECT_EQ(Search("s[ab].lua"), "");
}

TEST(ScriptSearch, PathReferencesAreExpandedAndUnusableEntriesSkipped) {
  TFileTree current;
  TFileTree target;
  target.File("t.lua");
  TFileTree decoy;
  decoy.File("plain");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope variable("REDEVUVO_LOOKUP_DIR", target.Root());
  {
    TEnvironmentScope path("PATH", "%REDEVUVO_LOOKUP_DIR%");
    EXPECT_EQ(Search("t.lua"), target.Path("t.lua"));
  }
  {
    TEnvironmentScope path("PATH", "::" + decoy.Path("plain") +
                                       ":/nonexistent/dir::" + target.Root() + ":");
    EXPECT_EQ(Search("t.lua"), target.Path("t.lua"));
  }
  {
    // A reference to a variable that is not set stays as written and names no directory.
    TEnvironmentScope path("PATH", "%REDEVUVO_LOOKUP_UNSET%");
    EXPECT_EQ(Search("t.lua"), "");
  }
}

TEST(ScriptSearch, DirectoryCarryingTheNameIsReturnedLikeAFile) {
  TFileTree current;
  current.Dir("job.lua");
  TFileTree onPath;
  onPath.File("job.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", onPath.Root());
  EXPECT_EQ(Search("job.lua"), current.Path("job.lua"));
}

TEST(ScriptSearch, HiddenAndUnusualNamesAreFound) {
  TFileTree current;
  current.File(".hidden.lua");
  current.File("line\nbreak.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", "");
  EXPECT_EQ(Search(".hidden.lua"), current.Path(".hidden.lua"));
  EXPECT_EQ(Search("line\nbreak.lua"), current.Path("line\nbreak.lua"));
  EXPECT_EQ(Search("line?break.lua"), current.Path("line\nbreak.lua"));
}

TEST(ScriptSearch, WildcardFindsNamesInvalidInTheCodePage) {
  TFileTree current;
  current.File("a\xFF.lua");
  current.File("b.lua");
  TCurrentDirectoryScope scope(current.Root());
  TEnvironmentScope path("PATH", "");
  EXPECT_EQ(Search("*.lua"), current.Path("a\xFF.lua"));
}
