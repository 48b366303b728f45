#include "app/job_driver.h"

#include <cerrno>
#include <cstring>

#include "app/backup_names.h"
#include "app/messages.h"
#include "core/files/file_helpers.h"
#include "core/paths/path_expand.h"
#include "core/paths/path_text.h"
#include "core/paths/shorten_path.h"
#include "core/text/text_file.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "script/filter_host.h"

namespace {

// The system's reason is taken right where a call failed (into `error`): writing a
// message in between could change errno. A name the system cannot be given is
// reported as an invalid character sequence.
void ReportFileError(const TText &path, int error) {
  WriteMessage(u"  Datei: " + path + u": " + BytesToText(std::strerror(error)));
}

// An input too large for the memory left is a read failure, not a crash.
bool ReadNamedFile(const TText &fileName, std::string &data, int &error) {
  std::optional<TBytes> name = NativeFileName(fileName);
  if (!name) {
    error = EILSEQ;
    return false;
  }
  try {
    if (platform::FileSystem().ReadWholeFile(*name, data))
      return true;
    error = errno;
  } catch (const std::bad_alloc &) {
    error = ENOMEM;
  }
  return false;
}

bool ReadInputStdin(std::string &data) {
  try {
    return platform::ReadStandardInput(data) == platform::TStdinReadResult::Ok;
  } catch (const std::bad_alloc &) {
    return false;
  }
}

// The backup copy holds the whole file in memory; running out of it fails the copy.
bool CopyBackup(const TBytes &target, const TBytes &backup, int &error) {
  try {
    if (platform::FileSystem().CopyToBackup(target, backup))
      return true;
    error = errno;
  } catch (const std::bad_alloc &) {
    error = ENOMEM;
  }
  return false;
}

// An in-place run locks its input before reading it. A file that cannot be locked
// is not read: rewriting it unlocked could undo a concurrent run's edit.
bool LockForRewrite(TFilterJob &job, int &error) {
  if (!job.InPlace)
    return true;
  std::optional<TBytes> name = NativeFileName(*job.InputName);
  if (!name) {
    error = EILSEQ;
    return false;
  }
  if (job.Lock.Lock(*name))
    return true;
  error = errno;
  return false;
}

} // namespace

TText ScriptFileText(const std::string &bytes) {
  TTextList lines = SplitTextFileLines(DecodeTextFileBytes(bytes));
  size_t size = 0;
  for (const TText &line : lines)
    size += line.size() + 2;
  TText text;
  text.reserve(size);
  for (const TText &line : lines) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

int ReadInput(TFilterJob &job) {
  std::string data;
  if (const std::optional<TText> &fileName = job.InputName) {
    WriteMessage(u"Bearbeite Datei " + ShortenPath(*fileName, 63, TShortenMode::Alternating));
    int error = 0;
    if (!LockForRewrite(job, error) || !ReadNamedFile(*fileName, data, error)) {
      WriteMessage(u"Fehler: Kann nicht von Eingabedatei lesen!");
      ReportFileError(*fileName, error);
      return StepIoFailed;
    }
    if (data.empty()) {
      WriteMessage(u"Fehler: Keine Daten in Eingabedatei vorhanden!");
      return StepIoFailed;
    }
  } else {
    WriteMessage(u"Bearbeite Daten von STDIN");
    if (platform::IsInteractiveStandardInput()) {
      WriteMessage(u"Fehler: Keine Daten an STDIN vorhanden!");
      return StepIoFailed;
    }
    if (!ReadInputStdin(data)) {
      WriteMessage(u"Fehler: Kann nicht von STDIN lesen!");
      return StepIoFailed;
    }
    if (data.empty()) {
      WriteMessage(u"Fehler: Keine Daten an STDIN vorhanden!");
      return StepIoFailed;
    }
  }
  job.CurrentText = std::move(data);
  return StepOk;
}

int RunScript(TFilterJob &job) {
  const TRunSettings &settings = job.Settings;
  if (settings.ScriptFile.empty())
    return RunScriptText(job, settings.ScriptCommands) == 0 ? StepOk : StepScriptFailed;
  std::string bytes;
  // The file was found when the command line was read; it may have gone since.
  int error = 0;
  if (!ReadNamedFile(settings.ScriptFile, bytes, error)) {
    WriteMessage(u"Fehler: Kann Scriptdatei nicht lesen!");
    ReportFileError(settings.ScriptFile, error);
    return StepScriptFailed;
  }
  return RunScriptText(job, ScriptFileText(bytes)) == 0 ? StepOk : StepScriptFailed;
}

int RunScriptText(TFilterJob &job, const TText &text) {
  // A failure to open or close the host (the runtime cannot be loaded) is status 3;
  // its message is written so that no run fails silently.
  constexpr int HostUnavailable = 3;
  VIroveridUza host(job);
  try {
    host.Open();
  } catch (const std::exception &error) {
    WriteMessage(BytesToText(error.what()));
    return HostUnavailable;
  }
  // The status of a run that a host failure ended after the chunk returned.
  constexpr int HostFailedLate = 2;
  const TRunSettings &settings = job.Settings;
  int status = 0;
  if (settings.HasScriptArguments)
    status = host.SetArgTable(settings.ScriptFile.empty()
                                  ? std::string("/c")
                                  : platform::AnsiCodePage().EncodeLossless(settings.ScriptFile),
                              settings.ScriptArguments);
  if (status == 0)
    status = host.RunChunk(TextToBytes(text), settings.ScriptArguments);
  // The engine's message names a chunk by its first line; the line before it says
  // which script file failed.
  auto reportFailure = [&settings](const TText &message) {
    if (!settings.ScriptFile.empty())
      WriteMessage(u"Fehler in Scriptdatei " + settings.ScriptFile + u":");
    WriteMessage(message);
  };
  bool failureReported = false;
  if (status != 0) {
    failureReported = host.HostFailed();
    if (failureReported)
      reportFailure(BytesToText(host.HostFailure()));
    else
      reportFailure(host.ErrorTextOnTop());
  }
  try {
    host.Close();
  } catch (const std::exception &error) {
    WriteMessage(BytesToText(error.what()));
    return HostUnavailable;
  }
  // Finalisers run while the state closes; a host failure in one fails the run
  // just as one during the chunk does.
  if (host.HostFailed() && !failureReported) {
    reportFailure(BytesToText(host.HostFailure()));
    if (status == 0)
      status = HostFailedLate;
  }
  return status;
}

TText OutputTarget(const TFilterJob &job) {
  const TText &outputName = job.Settings.OutputFile;
  const std::optional<TText> &inputName = job.InputName;
  TText target;
  if (job.InPlace)
    target = inputName.value_or(TText());
  else if (job.Settings.SubDirs || PathDirectory(outputName).empty())
    target = JoinDirName(PathDirectory(inputName.value_or(TText())), PathFileName(outputName));
  else
    target = outputName;
  return PathExpand(target);
}

int WriteOutput(const TFilterJob &job, TBackupNames &backups) {
  const TText &outputName = job.Settings.OutputFile;
  const std::string &text = job.CurrentText;
  if (outputName.empty() && !job.InPlace) {
    if (platform::WriteStandardOutput(text) != text.size()) {
      WriteMessage(u"Fehler: Kann nicht nach STDOUT schreiben!");
      return StepIoFailed;
    }
    return StepOk;
  }
  TText target = OutputTarget(job);

  platform::TFileSystem &files = platform::FileSystem();
  std::optional<TBytes> targetName = NativeFileName(target);
  // Only a regular file that the write replaces has anything to keep: a device, a
  // FIFO or one of our own descriptors is written where it stands, and reading it
  // for a copy could block or consume what it holds.
  if (job.Settings.CreateBak && targetName && platform::IsReplaceableFile(*targetName)) {
    if (std::optional<TText> backupText = backups.Choose(target)) {
      if (*backupText != PathChangeExtension(target, u".pwl_backup"))
        WriteMessage(u"Hinweis: Sicherungskopie unter " +
                     ShortenPath(*backupText, 63, TShortenMode::Alternating) +
                     u", der kurze Name gehört in diesem Lauf einer anderen Datei");
      std::optional<TBytes> backup = NativeFileName(*backupText);
      int error = EILSEQ;
      if (!backup || !CopyBackup(*targetName, *backup, error)) {
        WriteMessage(u"Fehler: Kann keine Sicherungskopie erstellen!");
        ReportFileError(*backupText, error);
        return StepIoFailed;
      }
      backups.Written(*backupText, target);
    }
  }
  int error = target.empty() ? ENOENT : EILSEQ;
  bool written = !target.empty() && targetName && files.WriteFileAtomic(*targetName, text);
  if (!written && !target.empty() && targetName)
    error = errno;
  if (!written) {
    WriteMessage(u"Fehler: Kann nicht in Ausgabedatei schreiben!");
    ReportFileError(target, error);
    return StepIoFailed;
  }
  return StepOk;
}
