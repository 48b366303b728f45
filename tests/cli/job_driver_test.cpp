// Reading each input, running the script, writing the result with backups.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include "tests/support/extended_attributes.h"
#include "tests/support/process_runner.h"

namespace {

// The message of a failed file operation: the line before the one naming the file.
std::string FileFailureMessage(const TProcessResult &r) {
  auto lines = r.StderrLines();
  if (lines.size() < 2 || lines.back().rfind("  Datei: ", 0) != 0)
    return "<no line naming the file>";
  return lines[lines.size() - 2];
}

// The file's ACL and extended attributes as the system tools show them, without the
// line that names the file.
std::string AttributeListing(const std::string &path) {
  TProcessResult acl = RunProcess({"/usr/bin/getfacl", "--omit-header", path});
  TProcessResult xattrs = RunProcess({"/usr/bin/getfattr", "-d", "-m", "-", path});
  std::string listing = xattrs.Stdout;
  listing.erase(0, listing.find('\n') + 1);
  return acl.Stdout + listing;
}

// The signals a process of the program catches and ignores, as bit masks by
// signal number, read by the script from /proc.
void CaughtAndIgnored(unsigned long long &caught, unsigned long long &ignored) {
  TProcessResult r =
      RunRedevuvo({"/c", "for l in io.lines('/proc/self/status') do if l:find('^Sig[CI]') then "
                         "print(l) end end"},
                  WithStdin("x"));
  caught = ignored = 0;
  for (const std::string &line : r.StderrLines()) {
    if (line.rfind("SigCgt:", 0) == 0)
      caught = std::stoull(line.substr(7), nullptr, 16);
    if (line.rfind("SigIgn:", 0) == 0)
      ignored = std::stoull(line.substr(7), nullptr, 16);
  }
}

unsigned long long Bit(int signalNumber) {
  return 1ull << (signalNumber - 1);
}

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b)
    s.push_back(char(b));
  return s;
}

// Runs the program from a shell, so that its standard handles and limits are set up
// as a user's command line sets them: `before` runs first, `after` (redirections,
// expanded by the shell) follows the arguments.
TProcessResult RunFromShell(const std::string &before, const std::vector<std::string> &args,
                            const std::string &after, const TProcessOptions &options = {}) {
  std::vector<std::string> argv{"/bin/sh", "-c", before + "\nexec \"$0\" \"$@\" " + after,
                                REDEVUVO_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, options);
}

std::string DirectoryListing(const std::string &directory) {
  return RunProcess({"/bin/ls", "-A", directory}).Stdout;
}

} // namespace

TEST(JobDriverStdin, CopiesStandardInputByteForByteAndPrintsToStandardError) {
  std::string inputs[] = {
      "plain\n",    "no final line end",      std::string("nul\0byte\n", 9),
      "lone\rCR\r", "crlf\r\nmixed\nend\r\n", "invalid \xFF\xFE utf-8 \xC3\n",
      AllBytes(),
  };
  for (const std::string &input : inputs) {
    TProcessResult r = RunRedevuvo({"/c", "print('hi')"}, WithStdin(input));
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    EXPECT_EQ(r.Stdout, input);
    auto lines = r.StderrLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "Bearbeite Daten von STDIN");
    EXPECT_EQ(lines[5], "hi");
  }
}

TEST(JobDriverStdin, EmptyOrInteractiveStandardInputHasNoData) {
  TProcessResult empty = RunRedevuvo({"/c", "x=1"}, WithStdin(""));
  EXPECT_EQ(empty.ExitCode, 1);
  EXPECT_EQ(LastLine(empty), "Fehler: Keine Daten an STDIN vorhanden!");

  TProcessOptions terminal;
  terminal.StdinFromTerminal = true;
  TProcessResult tty = RunRedevuvo({"/c", "x=1"}, terminal);
  EXPECT_EQ(tty.ExitCode, 1);
  EXPECT_EQ(LastLine(tty), "Fehler: Keine Daten an STDIN vorhanden!");
}

TEST(JobDriverStdin, OutputNameWithoutDirectoryIsWrittenToTheCurrentDirectory) {
  TTempDir dir;
  TProcessOptions options = WithStdin("text\n");
  options.WorkingDirectory = dir.Path();
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/o", "result.txt"}, options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("result.txt")), "text\n");
  EXPECT_EQ(r.Stdout, "");
}

TEST(JobDriverStdin, ClosedStandardOutputIsReportedAsWriteFailure) {
  TProcessOptions options = WithStdin("text\n");
  options.CloseStdout = true;
  TProcessResult r = RunRedevuvo({"/c", "x=1"}, options);
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(LastLine(r), "Fehler: Kann nicht nach STDOUT schreiben!");
}

TEST(JobDriverFiles, EmptyInputFileIsRejected) {
  TTempDir dir;
  std::string input = dir.Write("empty.txt", "");
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", dir.File("out.txt")});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(LastLine(r), "Fehler: Keine Daten in Eingabedatei vorhanden!");
  EXPECT_FALSE(FileExists(dir.File("out.txt")));
}

TEST(JobDriverFiles, OutputNameWithoutDirectoryGoesBesideTheInput) {
  TTempDir dir;
  TTempDir elsewhere;
  std::string input = dir.Write("in.txt", "x\r\ny");
  TProcessOptions options;
  options.WorkingDirectory = elsewhere.Path();
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", "out.txt"}, options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "x\r\ny");
  EXPECT_FALSE(FileExists(elsewhere.File("out.txt")));
}

TEST(JobDriverFiles, InPlaceWithBackupKeepsTheOriginalBesideTheRewrittenFile) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("old.dir").c_str(), 0755), 0);
  struct {
    std::string name, backup;
  } cases[] = {
      {"report.txt", "report.pwl_backup"},
      {"report", "report.pwl_backup"},
      {"old.dir/report", "old.dir/report.pwl_backup"},
      {"archive.tar.gz", "archive.tar.pwl_backup"},
  };
  for (const auto &c : cases) {
    std::string input = dir.Write(c.name, "original " + c.name);
    dir.Write(c.backup, "older backup");
    TProcessResult r = RunRedevuvo({"/c", "print('unchanged')", "/i", input, "/p", "/b"});
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    EXPECT_EQ(ReadFileBytes(dir.File(c.backup)), "original " + c.name) << c.name;
    EXPECT_EQ(ReadFileBytes(input), "original " + c.name);
  }
}

TEST(JobDriverFiles, NoBackupIsMadeForATargetThatDoesNotExistYet) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc");
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", dir.File("new.txt"), "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_FALSE(FileExists(dir.File("new.pwl_backup")));
  EXPECT_EQ(ReadFileBytes(dir.File("new.txt")), "abc");
}

TEST(JobDriverFiles, RewriteKeepsModeBitsAndWritesThroughSymbolicLinks) {
  TTempDir dir;
  std::string real = dir.Write("real.txt", "abc");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.txt", dir.File("link.txt").c_str()), 0);
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", dir.File("link.txt"), "/p", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  struct stat st;
  ASSERT_EQ(lstat(dir.File("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFileBytes(dir.File("link.pwl_backup")), "abc");
}

TEST(JobDriverFiles, RewriteAndBackupKeepTheAclAndExtendedAttributes) {
  struct {
    std::string acl;
    bool backup;
  } cases[] = {
      {"u:nobody:r,g::r,m::r", false},
      {"u:nobody:r,g::r,m::r", true},
      // The mask allows more than the owning group has: the mode's group bits show
      // the mask, so a rewrite that dropped the ACL would let the group write.
      {"u:nobody:rw,g::r", false},
      {"u:nobody:rw,g::r", true},
  };
  for (const auto &c : cases) {
    TTempDir dir;
    std::string file = dir.Write("file.txt", "abc\n");
    // A missing tool is a missing package (the test command fails on that skip);
    // a file system without ACLs is a machine feature.
    if (access("/usr/bin/setfacl", X_OK) != 0 || access("/usr/bin/setfattr", X_OK) != 0)
      GTEST_SKIP() << "acl or attr not installed (setfacl/setfattr)";
    if (RunProcess({"/usr/bin/setfacl", "-m", c.acl, file}).ExitCode != 0 ||
        RunProcess({"/usr/bin/setfattr", "-n", "user.test", "-v", "1", file}).ExitCode != 0)
      GTEST_SKIP() << "the temporary directory's file system has no ACLs or user attributes";
    std::string before = AttributeListing(file);
    ASSERT_NE(before.find("user:nobody:r"), std::string::npos) << before;
    ASSERT_NE(before.find("user.test=\"1\""), std::string::npos) << before;
    ASSERT_FALSE(OwningGroupMayWrite(file));

    std::vector<std::string> args = {"/c", "x=1", "/i", file, "/p"};
    if (c.backup)
      args.push_back("/b");
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    std::vector<std::string> written = {file};
    if (c.backup)
      written.push_back(dir.File("file.pwl_backup"));
    for (const std::string &path : written) {
      EXPECT_EQ(ReadFileBytes(path), "abc\n") << path;
      EXPECT_EQ(AttributeListing(path), before) << c.acl << " " << path;
      EXPECT_FALSE(OwningGroupMayWrite(path)) << c.acl << " " << path;
    }
  }
}

TEST(JobDriverFiles, TerminatingSignalsAreCaughtUnlessIgnored) {
  // Caught so that a named temporary file is removed on the way out; one the caller
  // ignores (nohup) stays ignored.
  if (const char *v = std::getenv("REDEVUVO_VALGRIND"); v && std::string(v) == "1")
    GTEST_SKIP() << "valgrind catches every signal itself";
  for (bool hangupIgnored : {false, true}) {
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    if (hangupIgnored)
      sigaction(SIGHUP, &ignore, &previous);
    unsigned long long caught = 0, ignored = 0;
    CaughtAndIgnored(caught, ignored);
    if (hangupIgnored)
      sigaction(SIGHUP, &previous, nullptr);
    for (int signalNumber : {SIGTERM, SIGINT, SIGQUIT, SIGXCPU})
      EXPECT_TRUE(caught & Bit(signalNumber)) << signalNumber << " " << hangupIgnored;
    EXPECT_EQ(bool(caught & Bit(SIGHUP)), !hangupIgnored);
    EXPECT_EQ(bool(ignored & Bit(SIGHUP)), hangupIgnored);
  }
}

TEST(JobDriverFiles, DevicesAreWrittenDirectly) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc");
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", "/dev/null", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  struct stat st;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(JobDriverFailures, UnwritableTargetsReportTheWriteMessageAndKeepOldContent) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "new content");
  std::string readOnly = dir.Write("ro.txt", "old content");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  struct {
    std::string target;
  } cases[] = {{readOnly}, {"/proc/redevuvo-cannot-write-here.txt"}};
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", c.target});
    EXPECT_EQ(r.ExitCode, 1) << c.target;
    EXPECT_EQ(FileFailureMessage(r), "Fehler: Kann nicht in Ausgabedatei schreiben!");
  }
  EXPECT_EQ(ReadFileBytes(readOnly), "old content");
}

TEST(JobDriverFailures, FullDiskLeavesTargetAndBackupWhole) {
  TTempDir dir;
  std::string big(800000, 'n');
  std::string input = dir.Write("in.txt", big);
  std::string target = dir.Write("target.txt", "old target");
  dir.Write("target.pwl_backup", "old backup");
  TProcessOptions options;
  // The new content does not fit; the limit still leaves room for the runtime image,
  // which is mapped through an in-memory file that counts against it.
  options.FileSizeLimit = 400000;
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", target, "/b"}, options);
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(FileFailureMessage(r), "Fehler: Kann nicht in Ausgabedatei schreiben!");
  EXPECT_EQ(ReadFileBytes(target), "old target");
  EXPECT_EQ(ReadFileBytes(dir.File("target.pwl_backup")), "old target");
  // No temporary file is left behind.
  TProcessResult ls = RunProcess({"/bin/ls", "-A", dir.Path()});
  EXPECT_EQ(ls.Stdout, "in.txt\ntarget.pwl_backup\ntarget.txt\n");
}

TEST(JobDriverFailures, FailedBackupLeavesTheTargetUntouched) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "new");
  std::string target = dir.Write("t.txt", "old");
  std::string backup = dir.Write("t.pwl_backup", "read-only backup");
  ASSERT_EQ(chmod(backup.c_str(), 0444), 0);
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", target, "/b"});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(FileFailureMessage(r), "Fehler: Kann keine Sicherungskopie erstellen!");
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(ReadFileBytes(backup), "read-only backup");
}

TEST(JobDriverScripts, ScriptErrorsReportTheEngineMessageAndWriteNothing) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc");
  std::string target = dir.Write("out.txt", "old");
  struct {
    std::string code, message;
  } cases[] = {
      {"x = = 1", "[string \"x = = 1\"]:1: unexpected symbol near '='"},
      {"error('boom')", "[string \"error('boom')\"]:1: boom"},
      {"error(42)", "42"},
      {"error({})", ""},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({"/c", c.code, "/i", input, "/o", target, "/b"});
    EXPECT_EQ(r.ExitCode, 2) << c.code;
    EXPECT_EQ(LastLine(r), c.message) << c.code;
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_FALSE(FileExists(dir.File("out.pwl_backup")));
  }
}

TEST(JobDriverScripts, ScriptFilesWithByteOrderMarksAreDecoded) {
  TTempDir dir;
  std::string utf8 = dir.Write("utf8.lua", "\xEF\xBB\xBFprint('gr\xC3\xBC\xC3\x9F')\r\nprint(2)");
  std::string utf16le =
      dir.Write("le.lua", std::string("\xFF\xFEp\0r\0i\0n\0t\0(\0\x27\0\xFC\0\x27\0)\0", 22));
  std::string utf16be =
      dir.Write("be.lua", std::string("\xFE\xFF\0p\0r\0i\0n\0t\0(\0\x27\0\xFC\0\x27\0)", 22));
  struct {
    std::string script;
    std::vector<std::string> printed;
  } cases[] = {
      {utf8, {"gr\xC3\xBC\xC3\x9F", "2"}},
      {utf16le, {"\xC3\xBC"}},
      {utf16be, {"\xC3\xBC"}},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({c.script}, WithStdin("in"));
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    auto lines = r.StderrLines();
    ASSERT_EQ(lines.size(), 5 + c.printed.size()) << r.Stderr;
    for (size_t i = 0; i < c.printed.size(); ++i)
      EXPECT_EQ(lines[5 + i], c.printed[i]);
  }
}

TEST(JobDriverScripts, ScriptFileReadAgainForEveryRunErrorNamesTheChunkByItsText) {
  TTempDir dir;
  std::string script = dir.Write("bad.lua", "local x = 1\nerror('line two')\n");
  TProcessResult r = RunRedevuvo({script}, WithStdin("in"));
  EXPECT_EQ(r.ExitCode, 2);
  // Script files are re-joined with CR LF; the chunk's name in messages has no CR.
  EXPECT_EQ(LastLine(r), "[string \"local x = 1...\"]:2: line two");
}

TEST(JobDriverLargeInput, HundredMegabytesPassUnchanged) {
  if (const char *v = std::getenv("REDEVUVO_VALGRIND"); v && std::string(v) == "1")
    GTEST_SKIP() << "too slow under valgrind";
  std::string input;
  input.reserve(100u << 20);
  unsigned state = 12345;
  while (input.size() < (100u << 20)) {
    state = state * 1103515245u + 12345u;
    input.push_back(char(state >> 24));
  }
  TTempDir dir;
  std::string file = dir.Write("big.bin", input);
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", file, "/o", dir.File("copy.bin")});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_TRUE(ReadFileBytes(dir.File("copy.bin")) == input);
}

TEST(JobDriverFailures, InputLargerThanTheMemoryLeftIsAReadFailure) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows";
#endif
  if (const char *v = std::getenv("REDEVUVO_VALGRIND"); v && std::string(v) == "1")
    GTEST_SKIP() << "valgrind cannot run under an address-space limit";
  TTempDir dir;
  std::string big(100u << 20, 'x');
  std::string input = dir.Write("big.txt", big);
  std::string target = dir.Write("out.txt", "old");
  TProcessOptions options = WithStdin(big);
  options.AddressSpaceLimit = 80l << 20;
  TProcessResult file = RunRedevuvo({"/c", "x=1", "/i", input, "/o", target}, options);
  EXPECT_EQ(file.ExitCode, 1);
  EXPECT_EQ(FileFailureMessage(file), "Fehler: Kann nicht von Eingabedatei lesen!");
  TProcessResult stdinRun = RunRedevuvo({"/c", "x=1", "/o", target}, options);
  EXPECT_EQ(stdinRun.ExitCode, 1);
  EXPECT_EQ(LastLine(stdinRun), "Fehler: Kann nicht von STDIN lesen!");
  EXPECT_EQ(ReadFileBytes(target), "old");
}

TEST(JobDriverFiles, NamesOfOwnDescriptorsAreWrittenThroughAsTheyStand) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "new\n");
  std::string log = dir.Write("log", "old line\n");
  ASSERT_EQ(symlink("/dev/stdout", dir.File("out").c_str()), 0);
  // Standard output appended to a log: each run adds its text, the old lines stay;
  // such a target has no backup.
  std::string expected = "old line\n";
  for (const std::string &name : std::vector<std::string>{
           "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "/proc/$$/fd/1", dir.File("out")}) {
    std::vector<std::string> args{"/c", "x=1", "/i", input};
    if (name == dir.File("out"))
      args.push_back("/b");
    TProcessResult r = RunFromShell("", args, "/o " + name + " >>" + log);
    EXPECT_EQ(r.ExitCode, 0) << name << r.Stderr;
    expected += "new\n";
    EXPECT_EQ(ReadFileBytes(log), expected) << name;
  }
  EXPECT_FALSE(FileExists(dir.File("out.pwl_backup")));

  // A pipe as standard output gets the text.
  TProcessResult piped = RunRedevuvo({"/c", "x=1", "/i", input, "/o", "/dev/stdout"});
  EXPECT_EQ(piped.ExitCode, 0) << piped.Stderr;
  EXPECT_EQ(piped.Stdout, "new\n");

  // Standard output on a deleted file: the text goes there, no file is made under
  // the name the descriptor's link shows ("victim (deleted)").
  TProcessOptions inDir;
  inDir.WorkingDirectory = dir.Path();
  TProcessResult deleted = RunFromShell("exec >victim; rm victim",
                                        {"/c", "x=1", "/i", input, "/o", "/dev/stdout"}, "", inDir);
  EXPECT_EQ(deleted.ExitCode, 0) << deleted.Stderr;
  EXPECT_EQ(DirectoryListing(dir.Path()), "in.txt\nlog\nout\n");
}

TEST(JobDriverFiles, LinkAtTheBackupNameIsReplacedNotWrittenThrough) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "new");
  std::string target = dir.Write("t.txt", "original");
  std::string victim = dir.Write("victim.txt", "victim text");
  std::string backup = dir.File("t.pwl_backup");
  ASSERT_EQ(symlink("victim.txt", backup.c_str()), 0);
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", target, "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(victim), "victim text");
  struct stat st;
  ASSERT_EQ(lstat(backup.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFileBytes(backup), "original");
  EXPECT_EQ(ReadFileBytes(target), "new");
}

TEST(JobDriverFiles, OnlyRegularFilesAreBackedUp) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "text\n");
  // A FIFO with a reader gets the text; reading it for a backup would block forever.
  std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFileBytes(fifo); });
  TProcessOptions options;
  options.TimeLimitSeconds = 120; // generous: a run under valgrind takes seconds
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", fifo, "/b"}, options);
  // Should the program have blocked and been killed, the reader still waits for a writer.
  int release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (release >= 0)
    close(release);
  reader.join();
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(received, "text\n");
  EXPECT_FALSE(FileExists(dir.File("pipe.pwl_backup")));

  std::string device = dir.File("null");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device node here (needs root)";
  TProcessResult toDevice = RunRedevuvo({"/c", "x=1", "/i", input, "/o", device, "/b"});
  EXPECT_EQ(toDevice.ExitCode, 0) << toDevice.Stderr;
  EXPECT_EQ(DirectoryListing(dir.Path()), "in.txt\nnull\npipe\n");
}

TEST(JobDriverFailures, FileSizeLimitIsAnOrdinaryFailureNotASignal) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", std::string(2000000, 'n'));
  std::string target = dir.Write("target.txt", "old target");
  // ulimit -f counts blocks of 512 (or 1024) bytes: 800 leave room for the runtime
  // image (about 240 KB, written to an in-memory file at start) but not for the text.
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{"/c", "x=1", "/i", input, "/o", target, "/b"},
        std::vector<std::string>{"/c", "x=1", "/i", target, "/p"}}) {
    if (args.back() == "/p")
      dir.Write("target.txt", std::string(2000000, 'o'));
    std::string before = ReadFileBytes(target);
    TProcessResult r = RunFromShell("ulimit -f 800", args, "");
    EXPECT_EQ(r.Signal, 0);
    EXPECT_EQ(r.ExitCode, 1) << r.Stderr;
    EXPECT_EQ(FileFailureMessage(r), "Fehler: Kann nicht in Ausgabedatei schreiben!");
    EXPECT_TRUE(ReadFileBytes(target) == before);
  }
  EXPECT_EQ(ReadFileBytes(dir.File("target.pwl_backup")), "old target");
  EXPECT_EQ(DirectoryListing(dir.Path()), "in.txt\ntarget.pwl_backup\ntarget.txt\n");

  // A limit too small for the runtime image ends the run with the runtime's message.
  TProcessResult tiny = RunFromShell("ulimit -f 1", {"/c", "x=1", "/i", input, "/o", target}, "");
  EXPECT_EQ(tiny.Signal, 0);
  EXPECT_EQ(tiny.ExitCode, 2) << tiny.Stderr;
  EXPECT_EQ(LastLine(tiny), "Failed to load Lua library");
  EXPECT_EQ(DirectoryListing(dir.Path()), "in.txt\ntarget.pwl_backup\ntarget.txt\n");
}

// A failed file operation is followed by the file's path and the system's reason.
TEST(JobDriverFailures, FailedFileOperationsNameTheFileAndTheReason) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "new");
  std::string readOnly = dir.Write("ro.txt", "old"); // refused even to root
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(mkdir(dir.File("outdir").c_str(), 0755), 0);
  std::string target = dir.Write("t.txt", "old");
  ASSERT_EQ(mkdir(dir.File("t.pwl_backup").c_str(), 0755), 0);
  struct {
    std::vector<std::string> args;
    std::string message, path;
    int error;
  } cases[] = {
      {{"/i", input, "/o", readOnly},
       "Fehler: Kann nicht in Ausgabedatei schreiben!",
       readOnly,
       EACCES},
      {{"/i", readOnly, "/p"}, "Fehler: Kann nicht in Ausgabedatei schreiben!", readOnly, EACCES},
      {{"/i", input, "/o", dir.File("outdir")},
       "Fehler: Kann nicht in Ausgabedatei schreiben!",
       dir.File("outdir"),
       EISDIR},
      {{"/i", input, "/o", "/proc/redevuvo-cannot-write-here.txt"},
       "Fehler: Kann nicht in Ausgabedatei schreiben!",
       "/proc/redevuvo-cannot-write-here.txt",
       ENOENT},
      {{"/i", input, "/o", target, "/b"},
       "Fehler: Kann keine Sicherungskopie erstellen!",
       dir.File("t.pwl_backup"),
       EISDIR},
      // the process's own memory reads as a file whose first page is not mapped
      {{"/i", "/proc/self/mem"},
       "Fehler: Kann nicht von Eingabedatei lesen!",
       "/proc/self/mem",
       EIO},
  };
  for (const auto &c : cases) {
    std::vector<std::string> args = {"/c", "x=1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, 1) << c.path;
    auto lines = r.StderrLines();
    ASSERT_GE(lines.size(), 2u) << r.Stderr;
    EXPECT_EQ(lines[lines.size() - 2], c.message) << c.path;
    EXPECT_EQ(lines.back(), "  Datei: " + c.path + ": " + std::strerror(c.error)) << c.path;
  }
  EXPECT_EQ(ReadFileBytes(readOnly), "old");
  EXPECT_EQ(ReadFileBytes(target), "old");
}

TEST(JobDriverScripts, FailingScriptFilesAreNamedBeforeTheEngineMessage) {
  TTempDir dir;
  struct {
    std::string code, message;
  } cases[] = {
      {"x = = 1", "[string \"x = = 1...\"]:1: unexpected symbol near '='"},
      {"error('boom', 0)", "boom"},
      // a host failure
      {"PWL.ForEachLine(function(l) return math.map(1, 0, 0, 0, 1) end)",
       "Integer division by zero"},
  };
  for (const auto &c : cases) {
    std::string script = dir.Write("s.pwl", c.code);
    TProcessResult r = RunRedevuvo({script}, WithStdin("in\n"));
    EXPECT_EQ(r.ExitCode, 2) << c.code;
    auto lines = r.StderrLines();
    ASSERT_GE(lines.size(), 2u) << r.Stderr;
    EXPECT_EQ(lines[lines.size() - 2], "Fehler in Scriptdatei " + script + ":") << r.Stderr;
    EXPECT_EQ(lines.back(), c.message);
    // Script commands have no file to name.
    TProcessResult commands = RunRedevuvo({"/c", c.code}, WithStdin("in\n"));
    EXPECT_EQ(commands.Stderr.find("Fehler in Scriptdatei"), std::string::npos);
  }
  // A script file that cannot be read names the file and the reason.
  TProcessResult r = RunRedevuvo({"/proc/self/mem"}, WithStdin("in\n"));
  EXPECT_EQ(r.ExitCode, 2);
  auto lines = r.StderrLines();
  ASSERT_GE(lines.size(), 2u) << r.Stderr;
  EXPECT_EQ(lines[lines.size() - 2], "Fehler: Kann Scriptdatei nicht lesen!");
  EXPECT_EQ(lines.back(), std::string("  Datei: /proc/self/mem: ") + std::strerror(EIO));
}
