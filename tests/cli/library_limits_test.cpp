// The script libraries when the machine runs short: no memory left for what a file
// or an archive entry needs, no room on the disk for an archive being written.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/process_runner.h"
#include "tests/unit/core/zip/zip_test_archives.h"

namespace {

bool UnderValgrind() {
  const char *v = std::getenv("REDEVUVO_VALGRIND");
  return v && std::string(v) == "1";
}

// Bytes deflate cannot shrink much, made the same way every run.
std::string Noise(std::size_t size) {
  std::string bytes(size, '\0');
  unsigned state = 4711;
  for (char &c : bytes) {
    state = state * 1103515245u + 12345u;
    c = char(state >> 24);
  }
  return bytes;
}

// A script that defines the named paths as globals, runs `code` and says it went on.
std::string Script(const std::vector<std::pair<std::string, std::string>> &paths,
                   const std::string &code) {
  std::string script;
  for (const auto &[name, path] : paths)
    script += name + " = [[" + path + "]]\n";
  return script + code + "\nprint('went on')";
}

bool HasLine(const TProcessResult &r, const std::string &line) {
  auto lines = r.StderrLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST(LibraryLimits, RunningOutOfMemoryIsAFailureTheScriptSurvives) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows";
#endif
  if (UnderValgrind())
    GTEST_SKIP() << "valgrind cannot run under an address-space limit";
  TTempDir dir;
  // A gigabyte the disk does not hold: reading it asks for that much memory at once.
  std::string big = dir.Write("big.txt", "");
  ASSERT_EQ(truncate(big.c_str(), 1l << 30), 0);
  // One entry that really unpacks to more than the limit leaves, from a small archive.
  std::string content(100u << 20, '\0');
  for (std::size_t i = 0; i < content.size(); i += 4096)
    content[i] = char(i >> 12);
  std::string bomb = dir.Write("bomb.zip", BuildArchive({DeflatedEntry("big", content)}));
  content = std::string();
  std::vector<std::pair<std::string, std::string>> paths = {
      {"BIG", big},
      {"BOMB", bomb},
      {"SMALL", dir.Write("small.txt", "small")},
      {"ARCHIVE", dir.File("a.zip")},
      {"COPY", dir.File("copy.txt")},
      {"OUT", dir.File("out")},
  };
  struct {
    const char *Name;
    std::string Code;
  } cases[] = {
      {"table.loadstrings", "local ok, m = pcall(table.loadstrings, BIG)\n"
                            "assert(not ok and m == 'not enough memory', m)"},
      {"os.path.copy", "local r, m = os.path.copy(BIG, COPY)\n"
                       "assert(r == nil and m == BIG .. ': Not enough memory', m)\n"
                       "assert(not io.open(COPY))"},
      {"zip:open", "local z = zip()\nlocal r, m = z:open(BIG)\n"
                   "assert(r == nil and m == 'not enough memory', m)\n"
                   "assert(select(2, z:filecount()) == 'no zip file open')"},
      // The archive stays as it was before the failed add and is written whole.
      {"zip:add", "local z = zip()\nassert(z:open(ARCHIVE) and z:add(SMALL))\n"
                  "local r, m = z:add(BIG)\nassert(r == nil and m == 'not enough memory', m)\n"
                  "assert(#z == 1 and z:close())\n"
                  "assert(z:open(ARCHIVE, true) and #z == 1 and z:extract(1, OUT))\n"
                  "assert(io.open(OUT .. '/small.txt'):read('a') == 'small')"},
      {"zip:extract", "local z = zip()\nassert(z:open(BOMB, true))\n"
                      "local r, m = z:extract(1, OUT)\n"
                      "assert(r == nil and m == 'not enough memory', m)\n"
                      "r, m = z:extractall(OUT)\n"
                      "assert(r == nil and m == 'not enough memory', m)\n"
                      "assert(not io.open(OUT .. '/big'))"},
  };
  for (const auto &c : cases) {
    TProcessOptions options = WithStdin("text");
    options.AddressSpaceLimit = 80l << 20;
    TProcessResult r = RunRedevuvo({"/c", Script(paths, c.Code)}, options);
    EXPECT_EQ(r.ExitCode, 0) << c.Name << "\n" << r.Stderr;
    EXPECT_EQ(r.Stdout, "text") << c.Name;
    EXPECT_EQ(LastLine(r), "went on") << c.Name;
  }
}

TEST(LibraryLimits, ZipArchiveThatCannotBeWrittenIsReported) {
  TTempDir dir;
  std::string source = dir.Write("noise.bin", Noise(300000));
  std::string old = BuildArchive({StoredEntry("old", "old")});
  std::string archive = dir.Write("a.zip", old);
  std::vector<std::pair<std::string, std::string>> paths = {{"A", archive}, {"S", source}};
  const std::string fill = "assert(z:add(S, 'one', true) and z:add(S, 'two', true))\n";
  const std::string warning =
      "warning: cannot write zip file \"" + archive + "\", its changes are lost";
  struct {
    const char *Name;
    std::string Code;
    bool Warned;
  } cases[] = {
      {"close",
       "local z = zip()\nassert(z:open(A))\n" + fill +
           "local r, m = z:close()\n"
           "assert(r == nil and m == 'cannot write zip file \"' .. A .. '\"', m)\n"
           "assert(z:close() == true)",
       false},
      {"collected", "z = zip()\nassert(z:open(A))\n" + fill, true},
      {"replaced by the next open",
       "local z = zip()\nassert(z:open(A))\n" + fill + "assert(z:open(A, true) and #z == 1)", true},
  };
  for (const auto &c : cases) {
    TProcessOptions options = WithStdin("text");
    // Room for the old archive, not for two copies of the noise.
    options.FileSizeLimit = 400000;
    TProcessResult r = RunRedevuvo({"/c", Script(paths, c.Code)}, options);
    EXPECT_EQ(r.ExitCode, 0) << c.Name << "\n" << r.Stderr;
    EXPECT_TRUE(HasLine(r, "went on")) << c.Name << "\n" << r.Stderr;
    EXPECT_EQ(HasLine(r, warning), c.Warned) << c.Name << "\n" << r.Stderr;
    EXPECT_EQ(ReadFileBytes(archive), old) << c.Name;
    TProcessResult listing = RunProcess({"/bin/ls", "-A", dir.Path()});
    EXPECT_EQ(listing.Stdout, "a.zip\nnoise.bin\n") << c.Name;
  }
}
