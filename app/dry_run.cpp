#include "app/dry_run.h"

#include <optional>

#include "app/job_driver.h"
#include "app/messages.h"
#include "core/files/file_helpers.h"
#include "core/paths/file_names.h"
#include "core/paths/path_text.h"
#include "core/text/line_diff.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/file_status.h"

namespace {

// A path in a diff header: below the current directory relative to it, as patch
// tools expect, else as it stands; in the bytes the system takes.
std::string HeaderPath(const TText &path) {
  const TText prefix = DirPrefix(CurrentDirectory());
  TText shown = path;
  if (shown.size() > prefix.size() && shown.compare(0, prefix.size(), prefix) == 0)
    shown.erase(0, prefix.size());
  return NativeFileName(shown).value_or(TextToBytes(shown));
}

bool HasWriteBit(const TText &path) {
  std::optional<TBytes> name = NativeFileName(path.empty() ? CurrentDirectory() : path);
  platform::TFileStatus status;
  return name && platform::StatPath(*name, status) == 0 && status.IsDirectory() &&
         status.HasWriteBit();
}

// Whether a write of the target would get past its checks, found without writing:
// an existing file must be open for writing and not read-only, and a regular file is
// replaced through its directory, as a new one is created there.
bool IsWritableTarget(const TText &target) {
  std::optional<TBytes> name = NativeFileName(target);
  if (target.empty() || !name)
    return false;
  platform::TFileStatus status;
  if (platform::StatPath(*name, status) != 0)
    return HasWriteBit(PathDirectory(target));
  if (status.IsDirectory() || IsReadOnlyFile(target))
    return false;
  return !status.IsRegularFile() || HasWriteBit(PathDirectory(target));
}

} // namespace

int TDryRun::Preview(const TFilterJob &job, const std::string &original) {
  std::string label = job.InputName ? HeaderPath(*job.InputName) : std::string("STDIN");
  std::string before = original;
  if (!job.Settings.OutputFile.empty() || job.InPlace) {
    const TText target = OutputTarget(job);
    if (!IsWritableTarget(target)) {
      WriteMessage(u"Fehler: Kann nicht in Ausgabedatei schreiben!");
      return StepIoFailed;
    }
    label = HeaderPath(target);
    // What an output file holds now; a device or FIFO is written where it stands
    // and is not read (that could block or consume its data).
    if (!job.InPlace) {
      before.clear();
      std::optional<TBytes> name = NativeFileName(target);
      if (name && platform::IsReplaceableFile(*name))
        platform::FileSystem().ReadWholeFile(*name, before);
    }
  }
  const std::string diff = UnifiedDiff(before, job.CurrentText, "a/" + label, "b/" + label);
  if (diff.empty())
    return StepOk;
  ++FChanged;
  if (platform::WriteStandardOutput(diff) != diff.size()) {
    WriteMessage(u"Fehler: Kann nicht nach STDOUT schreiben!");
    return StepIoFailed;
  }
  return StepOk;
}

void TDryRun::ShowSummary() const {
  const TText count = BytesToText(std::to_string(FChanged));
  WriteMessage(FChanged == 1 ? TText(u"Probelauf: 1 Datei würde geändert")
                             : u"Probelauf: " + count + u" Dateien würden geändert");
}
