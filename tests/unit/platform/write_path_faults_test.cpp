// Every system call of the write path fails in turn, at each of its calls, with a
// realistic errno; whatever the program answers, no file is lost or cut short and
// no temporary file is left behind.
#include "platform/system_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <sys/stat.h>

#include "app/backup_names.h"
#include "app/job_driver.h"
#include "core/files/file_transfer.h"
#include "core/zip/zip_file.h"
#include "platform/code_page.h"
#include "platform/file_io_test_double.h"
#include "script/filter_job.h"
#include "tests/support/extended_attributes.h"
#include "tests/support/process_runner.h"

using platform::TCall;
using platform::TFaultPlan;

namespace {

const std::string ReadFailed = "Fehler: Kann nicht von Eingabedatei lesen!";
const std::string BackupFailed = "Fehler: Kann keine Sicherungskopie erstellen!";
const std::string WriteFailed = "Fehler: Kann nicht in Ausgabedatei schreiben!";

const std::string OldText = "old text of the target, line one\nline two\n";
const std::string NewText = "the new text\n";
const std::string LongText = std::string(100000, 'n') + "\n";
const std::string PreviousBackup = "an older backup\n";
const std::string SourceText = "the source of a copy\n";

// Set when a case left its one temporary file, for the case's line.
bool LeftTemporary = false;

TText T(const std::string &bytes) {
  return BytesToText(bytes);
}

std::vector<std::string> Entries(const std::string &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(directory))
    names.push_back(std::filesystem::relative(entry.path(), directory).string());
  std::sort(names.begin(), names.end());
  return names;
}

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

mode_t ModeOf(const std::string &path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

// A file kept its inode when it was rewritten where it stands (as a bind-mounted
// file is), keeping its own mode and attributes, rather than replaced.
ino_t InodeOf(const std::string &path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A file's bytes, mode and extended attributes (its ACL among them): all a rewrite
// has to keep.
struct TFileState {
  bool Exists = false;
  std::string Bytes;
  mode_t Mode = 0;
  std::map<std::string, std::string> Attributes;
  bool operator==(const TFileState &) const = default;
};

TFileState StateOf(const std::string &path) {
  TFileState state;
  state.Exists = FileExists(path);
  if (state.Exists) {
    state.Bytes = ReadFileBytes(path);
    state.Mode = ModeOf(path);
    state.Attributes = ExtendedAttributes(path);
  }
  return state;
}

bool IsSubset(const std::map<std::string, std::string> &part,
              const std::map<std::string, std::string> &whole) {
  return std::all_of(part.begin(), part.end(), [&](const auto &entry) {
    auto found = whole.find(entry.first);
    return found != whole.end() && found->second == entry.second;
  });
}

// A file as a user leaves it: private to owner and group, with a note and an ACL
// that lets one more user read it (where the file system keeps them).
std::string WriteUserFile(const TTempDir &dir, const std::string &name, const std::string &text,
                          mode_t mode) {
  std::string path = dir.Write(name, text);
  chmod(path.c_str(), mode);
  SetExtendedAttribute(path, "user.note", "kept with " + name);
  SetExtendedAttribute(
      path, "system.posix_acl_access",
      AclValue({{1, 6}, {2, 4, 65534}, {4, uint16_t((mode >> 3) & 7)}, {0x10, 4}, {0x20, 0}}));
  return path;
}

// One row of the table: a kind of call failing with an errno (0: moving only part
// of its bytes). `MayRecover`: the program may carry on (a best-effort step, a
// fallback that exists for this errno, a close with nothing left to report) or fail
// where an interruption cannot be taken up again; `DropsAttribute`: when it carries
// on, an attribute it was not allowed to read may be missing. Otherwise an
// interruption or a short transfer must not change the result, and any other
// failure must fail the operation.
struct TRow {
  TCall Call;
  int Error;
  bool MayRecover = false;
  bool DropsAttribute = false;
};

const TRow Rows[] = {
    // clang-format off
    {TCall::Open, EACCES}, {TCall::Open, EIO}, {TCall::Open, EINTR},
    {TCall::Open, EOPNOTSUPP, true},
    {TCall::Read, EIO}, {TCall::Read, EINTR}, {TCall::Read, 0},
    {TCall::Write, ENOSPC}, {TCall::Write, EIO}, {TCall::Write, EINTR}, {TCall::Write, 0},
    {TCall::Fallocate, ENOSPC}, {TCall::Fallocate, EOPNOTSUPP}, {TCall::Fallocate, EINTR},
    {TCall::Ftruncate, EIO}, {TCall::Ftruncate, EINTR},
    {TCall::Sync, EIO}, {TCall::Sync, ENOSPC}, {TCall::Sync, EINTR},
    {TCall::Close, EIO, true}, {TCall::Close, EINTR, true},
    {TCall::Fchmod, EIO}, {TCall::Fchmod, EPERM}, {TCall::Fchmod, EINTR},
    {TCall::Fchown, EPERM, true}, {TCall::Fchown, EINTR},
    {TCall::ListXattr, EIO}, {TCall::ListXattr, EINTR},
    {TCall::GetXattr, EIO}, {TCall::GetXattr, EACCES, true, true}, {TCall::GetXattr, EINTR},
    {TCall::SetXattr, ENOSPC}, {TCall::SetXattr, EIO}, {TCall::SetXattr, EOPNOTSUPP, true, true},
    {TCall::SetXattr, EINTR},
    {TCall::RemoveXattr, EIO}, {TCall::RemoveXattr, EINTR},
    {TCall::Rename, EXDEV}, {TCall::Rename, EIO}, {TCall::Rename, EACCES},
    {TCall::Rename, EBUSY, true}, {TCall::Rename, EINTR},
    {TCall::Link, ENOSPC}, {TCall::Link, EIO}, {TCall::Link, EINTR},
    // A temporary file that cannot be removed stays; see MayLeaveTemporary.
    {TCall::Unlink, EIO, true}, {TCall::Unlink, EBUSY, true}, {TCall::Unlink, EINTR},
    {TCall::Flock, ENOLCK}, {TCall::Flock, EINTR},
    {TCall::Mkdir, ENOSPC, true}, {TCall::Mkdir, EINTR},
    // clang-format on
};

struct TOutcome {
  bool Ok = false;
  std::string Message; // the driver's last line on standard error
};

// One operation on the write path, set up afresh in a directory for every case.
struct TScenario {
  std::string Name;
  std::function<void(const TTempDir &)> Setup;
  std::function<TOutcome(const TTempDir &)> Run;
  // Checks the files after the run; `row` is null for the run without faults.
  std::function<void(const TTempDir &, const TOutcome &, const TRow *)> Check;
  std::vector<TFaultPlan::TFault> Base; // faults present in every case
  bool ShortTransfers = false;          // every read and write moves part of its bytes
  bool NoUnnamedFiles = false;
  bool Fails = false; // the base faults alone fail it
};

// Runs the scenario with its base faults and the row's fault at the nth call.
TOutcome RunCase(const TScenario &scenario, const TTempDir &dir, TFaultPlan &plan,
                 const TRow *row = nullptr, int nth = 0) {
  platform::TFailingFileSystem files;
  files.NoUnnamedFiles = scenario.NoUnnamedFiles;
  platform::TFileSystemOverride override(files);
  if (row != nullptr && row->Error == 0)
    plan.Shorten(row->Call, nth);
  else if (row != nullptr)
    plan.Fail(row->Call, nth, row->Error);
  // The repeat of an interrupted call is one more call of its kind.
  bool repeated = row != nullptr && row->Error == EINTR;
  for (const auto &fault : scenario.Base)
    plan.Fail(fault.Call, fault.Nth + (repeated && fault.Call == row->Call && fault.Nth > nth),
              fault.Error);
  if (scenario.ShortTransfers) {
    plan.ShortenAll(TCall::Read);
    plan.ShortenAll(TCall::Write);
  }
  platform::TFaultPlanScope scope(plan);
  return scenario.Run(dir);
}

std::string Describe(const TOutcome &outcome) {
  if (outcome.Ok)
    return "ok";
  return outcome.Message.empty() ? "failed" : "failed: " + outcome.Message;
}

void Walk(const TScenario &scenario) {
  SCOPED_TRACE(scenario.Name);
  TFaultPlan counting;
  TOutcome clean;
  {
    TTempDir dir;
    scenario.Setup(dir);
    clean = RunCase(scenario, dir, counting);
    ASSERT_EQ(clean.Ok, !scenario.Fails) << Describe(clean);
    scenario.Check(dir, clean, nullptr);
  }
  std::cout << scenario.Name << " without further faults: " << Describe(clean) << "\n";
  for (const TRow &row : Rows) {
    int calls = counting.Count(row.Call);
    for (int nth = 1; nth <= calls; ++nth) {
      bool taken = std::any_of(scenario.Base.begin(), scenario.Base.end(),
                               [&](const auto &f) { return f.Call == row.Call && f.Nth == nth; });
      if (taken || (scenario.ShortTransfers && row.Error == 0))
        continue;
      std::string name = std::string(platform::CallName(row.Call)) + " #" + std::to_string(nth) +
                         " " + (row.Error == 0 ? "short" : strerrorname_np(row.Error));
      SCOPED_TRACE(name);
      int descriptors = OpenDescriptors();
      TOutcome outcome;
      {
        TTempDir dir;
        scenario.Setup(dir);
        TFaultPlan plan;
        outcome = RunCase(scenario, dir, plan, &row, nth);
        scenario.Check(dir, outcome, &row);
      }
      // An interruption is taken up again and a short transfer continued: the result
      // is that of the run without them.
      if (row.MayRecover) {
        // Either result, as long as the files are whole.
      } else if (row.Error == EINTR || row.Error == 0) {
        EXPECT_EQ(Describe(outcome), Describe(clean));
      } else {
        EXPECT_FALSE(outcome.Ok);
      }
      EXPECT_EQ(OpenDescriptors(), descriptors) << "a descriptor was left open";
      std::cout << scenario.Name << ", " << name << ": " << Describe(outcome)
                << (LeftTemporary ? ", temporary file left" : "") << "\n";
      LeftTemporary = false;
    }
  }
}

// Whether a temporary file may stay: only when its own removal is what failed.
bool MayLeaveTemporary(const TRow *row) {
  return row != nullptr && row->Call == TCall::Unlink && row->Error != EINTR;
}

void ExpectEntries(const TTempDir &dir, std::vector<std::string> expected, const TRow *row) {
  std::vector<std::string> found = Entries(dir.Path());
  if (MayLeaveTemporary(row)) {
    size_t removed =
        std::erase_if(found, [](const std::string &n) { return n.find(".redevuvo-") != n.npos; });
    EXPECT_LE(removed, 1u);
    LeftTemporary = removed > 0;
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

// The driver rewrites t.txt in place with a backup, as a run with /p /b does.
TScenario InPlaceRun(const std::string &name, const std::string &newText) {
  auto states = std::make_shared<std::pair<TFileState, TFileState>>();
  auto backupInode = std::make_shared<ino_t>();
  TScenario scenario;
  scenario.Name = name;
  scenario.Setup = [states, backupInode](const TTempDir &dir) {
    WriteUserFile(dir, "t.txt", OldText, 0640);
    dir.Write("t.pwl_backup", PreviousBackup);
    states->first = StateOf(dir.File("t.txt"));
    states->second = StateOf(dir.File("t.pwl_backup"));
    *backupInode = InodeOf(dir.File("t.pwl_backup"));
  };
  scenario.Run = [newText](const TTempDir &dir) {
    TRunSettings settings;
    settings.InPlace = true;
    settings.CreateBak = true;
    TBackupNames backups;
    TOutcome outcome;
    testing::internal::CaptureStderr();
    {
      TFilterJob job(settings, T(dir.File("t.txt")), true);
      int step = ReadInput(job);
      if (step == StepOk && job.CurrentText != OldText)
        step = -1; // a read that stopped short
      if (step == StepOk) {
        job.CurrentText = newText;
        step = WriteOutput(job, backups);
      }
      outcome.Ok = step == StepOk;
    }
    std::string errors = testing::internal::GetCapturedStderr();
    size_t end = errors.find_last_not_of('\n');
    size_t start = errors.find_last_of('\n', end);
    // A failed file operation is followed by the line naming the file.
    if (end != errors.npos && start != errors.npos &&
        errors.compare(start + 1, 9, "  Datei: ") == 0) {
      end = start - 1;
      start = errors.find_last_of('\n', end);
    }
    outcome.Message = end == errors.npos ? "" : errors.substr(start + 1, end - start);
    return outcome;
  };
  scenario.Check = [states, backupInode, newText](const TTempDir &dir, const TOutcome &outcome,
                                                  const TRow *row) {
    const TFileState &oldTarget = states->first;
    TFileState target = StateOf(dir.File("t.txt"));
    TFileState backup = StateOf(dir.File("t.pwl_backup"));
    ExpectEntries(dir, {"t.txt", "t.pwl_backup"}, row);
    bool drops = row != nullptr && row->DropsAttribute;
    if (outcome.Ok) {
      EXPECT_EQ(target.Bytes, newText);
      EXPECT_EQ(target.Mode, oldTarget.Mode);
      EXPECT_EQ(backup.Bytes, oldTarget.Bytes);
      bool backupInPlace = InodeOf(dir.File("t.pwl_backup")) == *backupInode;
      EXPECT_EQ(backup.Mode, backupInPlace ? states->second.Mode : oldTarget.Mode);
      if (backupInPlace) {
        EXPECT_EQ(backup.Attributes, states->second.Attributes);
        backup.Attributes = oldTarget.Attributes;
      }
      for (const TFileState *written : {&target, &backup}) {
        if (drops) {
          EXPECT_TRUE(IsSubset(written->Attributes, oldTarget.Attributes));
        } else {
          EXPECT_EQ(written->Attributes, oldTarget.Attributes);
        }
      }
      return;
    }
    EXPECT_EQ(target, oldTarget);
    if (outcome.Message == WriteFailed) {
      EXPECT_EQ(backup.Bytes, oldTarget.Bytes);
    } else if (outcome.Message == ReadFailed || outcome.Message == BackupFailed) {
      EXPECT_EQ(backup, states->second);
    } else {
      ADD_FAILURE() << "unexpected message: " << outcome.Message;
    }
  };
  return scenario;
}

// os.path.copy over an existing file.
TScenario CopyOverExisting() {
  auto states = std::make_shared<std::pair<TFileState, TFileState>>();
  auto targetInode = std::make_shared<ino_t>();
  TScenario scenario;
  scenario.Name = "copy over an existing file";
  scenario.Setup = [states, targetInode](const TTempDir &dir) {
    std::string source = dir.Write("s.txt", SourceText);
    chmod(source.c_str(), 0604);
    SetExtendedAttribute(source, "user.note", "source");
    dir.Write("t.txt", OldText);
    states->first = StateOf(source);
    states->second = StateOf(dir.File("t.txt"));
    *targetInode = InodeOf(dir.File("t.txt"));
  };
  scenario.Run = [](const TTempDir &dir) {
    return TOutcome{CopyFilePath(T(dir.File("s.txt")), T(dir.File("t.txt")), false), ""};
  };
  scenario.Check = [states, targetInode](const TTempDir &dir, const TOutcome &outcome,
                                         const TRow *row) {
    ExpectEntries(dir, {"s.txt", "t.txt"}, row);
    EXPECT_EQ(StateOf(dir.File("s.txt")), states->first);
    TFileState target = StateOf(dir.File("t.txt"));
    if (!outcome.Ok) {
      EXPECT_EQ(target, states->second);
      return;
    }
    EXPECT_EQ(target.Bytes, SourceText);
    const TFileState &modeFrom =
        InodeOf(dir.File("t.txt")) == *targetInode ? states->second : states->first;
    EXPECT_EQ(target.Mode, modeFrom.Mode);
    if (row == nullptr || !row->DropsAttribute) {
      EXPECT_EQ(target.Attributes, modeFrom.Attributes);
    }
  };
  return scenario;
}

// os.path.move to another file system: the first rename answers EXDEV, and the file
// is copied over and removed at its old place.
TScenario MoveAcrossFileSystems() {
  auto source = std::make_shared<TFileState>();
  TScenario scenario;
  scenario.Name = "move across file systems";
  scenario.Base = {{TCall::Rename, 1, TFaultPlan::TEffect::Fail, EXDEV}};
  scenario.Setup = [source](const TTempDir &dir) {
    dir.Write("s.txt", SourceText);
    chmod(dir.File("s.txt").c_str(), 0640);
    *source = StateOf(dir.File("s.txt"));
  };
  scenario.Run = [](const TTempDir &dir) {
    return TOutcome{MovePath(T(dir.File("s.txt")), T(dir.File("m.txt"))), ""};
  };
  scenario.Check = [source](const TTempDir &dir, const TOutcome &outcome, const TRow *row) {
    if (outcome.Ok) {
      ExpectEntries(dir, {"m.txt"}, row);
      TFileState moved = StateOf(dir.File("m.txt"));
      EXPECT_EQ(moved.Bytes, source->Bytes);
      EXPECT_EQ(moved.Mode, source->Mode);
    } else {
      ExpectEntries(dir, {"s.txt"}, row);
      EXPECT_EQ(StateOf(dir.File("s.txt")), *source);
    }
  };
  return scenario;
}

// Closing a changed archive writes it anew over the old one.
TScenario ZipClose() {
  auto image = std::make_shared<std::string>();
  TScenario scenario;
  scenario.Name = "zip close";
  scenario.Setup = [image](const TTempDir &dir) {
    dir.Write("a.txt", OldText);
    dir.Write("b.txt", NewText);
    TZipFile zip;
    zip.Open(T(dir.File("a.zip")), TZipMode::Write);
    zip.Add(T(dir.File("a.txt")), u"a.txt", false);
    zip.Close();
    *image = ReadFileBytes(dir.File("a.zip"));
  };
  scenario.Run = [](const TTempDir &dir) {
    TZipFile zip;
    // Opening reads the archive; the faults are meant for the write on close.
    bool opened = false;
    {
      TFaultPlan none;
      platform::TFaultPlanScope scope(none);
      opened = zip.Open(T(dir.File("a.zip")), TZipMode::ReadWrite) &&
               zip.Add(T(dir.File("b.txt")), u"b.txt", false);
    }
    return TOutcome{opened && zip.Close(), ""};
  };
  scenario.Check = [image](const TTempDir &dir, const TOutcome &outcome, const TRow *row) {
    ExpectEntries(dir, {"a.txt", "a.zip", "b.txt"}, row);
    std::string bytes = ReadFileBytes(dir.File("a.zip"));
    if (!outcome.Ok) {
      EXPECT_EQ(bytes, *image);
      return;
    }
    TZipFile zip;
    ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Read));
    EXPECT_EQ(zip.FileCount(), 2u);
  };
  return scenario;
}

// Extracting an entry over a file that stands below the target directory.
TScenario ZipExtract() {
  TScenario scenario;
  scenario.Name = "zip extract over a file";
  scenario.Setup = [](const TTempDir &dir) {
    dir.Write("n.txt", NewText);
    TZipFile zip;
    zip.Open(T(dir.File("a.zip")), TZipMode::Write);
    zip.Add(T(dir.File("n.txt")), u"d/e.txt", false);
    zip.Close();
    std::filesystem::create_directory(dir.File("out"));
    std::filesystem::create_directory(dir.File("out/d"));
    dir.Write("out/d/e.txt", OldText);
    chmod(dir.File("out/d/e.txt").c_str(), 0604);
  };
  scenario.Run = [](const TTempDir &dir) {
    TZipFile zip;
    bool opened = false;
    {
      TFaultPlan none;
      platform::TFaultPlanScope scope(none);
      opened = zip.Open(T(dir.File("a.zip")), TZipMode::Read);
    }
    return TOutcome{opened && zip.Extract(0, T(dir.File("out")), true), ""};
  };
  scenario.Check = [](const TTempDir &dir, const TOutcome &outcome, const TRow *row) {
    ExpectEntries(dir, {"a.zip", "n.txt", "out", "out/d", "out/d/e.txt"}, row);
    EXPECT_EQ(ReadFileBytes(dir.File("out/d/e.txt")), outcome.Ok ? NewText : OldText);
    EXPECT_EQ(ModeOf(dir.File("out/d/e.txt")), mode_t(0604));
  };
  return scenario;
}

TEST(WritePathFaults, EveryFailingCallLeavesEveryFileWhole) {
  using TEffect = TFaultPlan::TEffect;
  std::vector<TScenario> scenarios;
  scenarios.push_back(InPlaceRun("in place with backup", NewText));
  scenarios.push_back(InPlaceRun("in place with backup, longer text", LongText));
  TScenario shortTransfers = InPlaceRun("in place with backup, short transfers", LongText);
  shortTransfers.ShortTransfers = true;
  scenarios.push_back(shortTransfers);
  TScenario named = InPlaceRun("in place with backup, named temporary files", NewText);
  named.NoUnnamedFiles = true;
  scenarios.push_back(named);
  // The target's rename (the second; the backup's is the first) is refused as for a
  // bind-mounted file, which is then rewritten where it stands.
  for (const std::string &text : {NewText, LongText}) {
    TScenario mounted = InPlaceRun(
        "in place, bind-mounted target, " + std::to_string(text.size()) + " bytes", text);
    mounted.Base = {{TCall::Rename, 2, TEffect::Fail, EBUSY}};
    scenarios.push_back(mounted);
  }
  // The target's rename fails, so its temporary file is removed again.
  for (bool unnamed : {true, false}) {
    TScenario refused = InPlaceRun(std::string("in place, target rename refused, ") +
                                       (unnamed ? "unnamed" : "named") + " temporary files",
                                   NewText);
    refused.Base = {{TCall::Rename, 2, TEffect::Fail, EXDEV}};
    refused.NoUnnamedFiles = !unnamed;
    refused.Fails = true;
    scenarios.push_back(refused);
  }
  scenarios.push_back(MoveAcrossFileSystems());
  // The others once as they run, and once with the final rename refused, so that
  // their temporary file has to be removed again.
  for (TScenario scenario : {CopyOverExisting(), ZipClose(), ZipExtract()}) {
    scenarios.push_back(scenario);
    scenario.Name += ", rename refused";
    scenario.Base = {{TCall::Rename, 1, TEffect::Fail, EXDEV}};
    scenario.Fails = true;
    scenarios.push_back(scenario);
  }
  for (const TScenario &scenario : scenarios)
    Walk(scenario);
}

// The plan counts per kind and strikes only the call it names.
TEST(WritePathFaults, PlanFailsTheNamedCallOnly) {
  TTempDir dir;
  std::string path = dir.Write("f", "abcdef");
  TFaultPlan plan;
  plan.Fail(TCall::Open, 2, EACCES);
  plan.Shorten(TCall::Read, 1);
  platform::TFaultPlanScope scope(plan);
  int first = platform::sys::Open(path.c_str(), O_RDONLY);
  ASSERT_GE(first, 0);
  errno = 0;
  EXPECT_EQ(platform::sys::Open(path.c_str(), O_RDONLY), -1);
  EXPECT_EQ(errno, EACCES);
  char buffer[6];
  EXPECT_EQ(platform::sys::Read(first, buffer, 6), 3);
  EXPECT_EQ(platform::sys::Read(first, buffer, 6), 3);
  EXPECT_EQ(platform::sys::Close(first), 0);
  EXPECT_EQ(plan.Count(TCall::Open), 2);
  EXPECT_EQ(plan.Count(TCall::Read), 2);
  EXPECT_EQ(plan.Injected(), 2);
}

} // namespace
