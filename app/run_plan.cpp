#include "app/run_plan.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/dry_run.h"
#include "app/job_driver.h"
#include "app/messages.h"
#include "core/files/file_helpers.h"
#include "core/files/file_search.h"
#include "core/paths/file_names.h"
#include "core/paths/path_text.h"
#include "core/paths/shorten_path.h"
#include "core/text/text_routines.h"
#include "platform/file_status.h"

namespace {

// A file the search found, with the path it resolves to.
struct TSearchedFile {
  TText Name;
  TBytes Resolved;
  bool IsLink = false; // the name itself is a symbolic link
};

// Backups from an earlier run with /b sit among the files; rewriting them (and
// backing up the backups) would destroy the only old copy.
bool IsBackupName(TTextView name) {
  return EndsWith(PathFileName(name), u".pwl_backup", true);
}

// The resolved paths of the directories a search found files in: the files of one
// directory share theirs, and resolving it once spares a walk over every component
// of the path per file.
class TResolvedDirectories {
public:
  // The resolved path of a file that is no link itself, from its directory's; false
  // when the directory cannot be resolved.
  bool ResolveFile(const TBytes &native, TBytes &resolved) {
    const size_t slash = native.find_last_of('/');
    const TBytes directory = slash == TBytes::npos ? TBytes(".")
                             : slash == 0          ? TBytes("/")
                                                   : native.substr(0, slash);
    auto found = FResolved.find(directory);
    if (found == FResolved.end()) {
      TBytes path;
      std::optional<TBytes> entry;
      if (platform::ResolvePath(directory, path) == 0)
        entry = std::move(path);
      found = FResolved.emplace(directory, std::move(entry)).first;
    }
    if (!found->second)
      return false;
    resolved = *found->second;
    if (resolved.empty() || resolved.back() != '/')
      resolved += '/';
    resolved.append(native, slash == TBytes::npos ? 0 : slash + 1);
    return true;
  }

private:
  std::unordered_map<TBytes, std::optional<TBytes>> FResolved;
};

// True for a regular file after following links. Anything else would fail the read
// and end the run (a dangling link) or block it (a FIFO).
bool ReadSearchedFile(const TText &name, TSearchedFile &file, TResolvedDirectories &directories) {
  std::optional<TBytes> native = NativeFileName(name);
  platform::TFileStatus linkStatus;
  if (!native || platform::LinkStatPath(*native, linkStatus) != 0)
    return false;
  file.IsLink = linkStatus.IsLink();
  if (file.IsLink) {
    platform::TFileStatus status;
    if (platform::StatPath(*native, status) != 0 || !status.IsRegularFile() ||
        platform::ResolvePath(*native, file.Resolved) != 0)
      return false;
  } else if (!linkStatus.IsRegularFile() || !directories.ResolveFile(*native, file.Resolved)) {
    return false;
  }
  file.Name = name;
  return true;
}

TText NumberText(size_t n) {
  std::string digits = std::to_string(n);
  return TText(digits.begin(), digits.end());
}

// Read, run, write one input (in a dry run, show what the write would change); the
// result of the last step that ran. With `changed`, tells whether the script changed
// the text; the copy of the text read is made only for runs that need it.
int ProcessInput(const TRunSettings &settings, std::optional<TText> fileName, bool inPlace,
                 TBackupNames &backups, TDryRun &dryRun, bool *changed = nullptr) {
  TFilterJob job(settings, std::move(fileName), inPlace);
  int result = ReadInput(job);
  std::string original;
  if (result == StepOk && (settings.DryRun || changed))
    original = job.CurrentText;
  if (result == StepOk)
    result = RunScript(job);
  if (result == StepOk && changed)
    *changed = job.CurrentText != original;
  if (result == StepOk)
    result = settings.DryRun ? dryRun.Preview(job, original) : WriteOutput(job, backups);
  return result;
}

} // namespace

TTextList SearchedInputs(const TRunSettings &settings) {
  std::vector<TSearchedFile> found;
  TResolvedDirectories directories;
  for (TText &name :
       FindFiles(settings.InputFile, settings.SubDirs, false, true, false, settings.ExcludeNames)) {
    TSearchedFile file;
    if (!IsBackupName(name) && ReadSearchedFile(name, file, directories))
      found.push_back(std::move(file));
  }
  // Each file is edited once, or a link beside it would apply the script a second
  // time to the result of the first.
  std::unordered_set<TBytes> ownNames;
  for (const TSearchedFile &file : found)
    if (!file.IsLink)
      ownNames.insert(file.Resolved);
  std::unordered_set<TBytes> taken;
  TTextList inputs;
  for (TSearchedFile &file : found) {
    if (file.IsLink && ownNames.count(file.Resolved) != 0)
      continue;
    if (taken.insert(file.Resolved).second)
      inputs.push_back(std::move(file.Name));
  }
  return inputs;
}

namespace {

int RunInputs(const TRunSettings &settings, TDryRun &dryRun) {
  TBackupNames backups;
  if (settings.InputFile.empty())
    return ProcessInput(settings, std::nullopt, false, backups, dryRun);
  if (!settings.SubDirs && !settings.InputHasWildcards)
    return ProcessInput(settings, settings.InputFile, settings.InPlace, backups, dryRun);
  // Every file in name order; the first file that fails ends the run. An empty file
  // has nothing to edit and is no reason to leave the rest of a tree untouched.
  int result = StepOk;
  TTextList inputs = SearchedInputs(settings);
  size_t processed = 0, changedCount = 0, skipped = 0;
  for (const TText &file : inputs) {
    if (FileSizeByName(file) == 0) {
      WriteMessage(u"Hinweis: Datei ist leer, übersprungen: " +
                   ShortenPath(file, 63, TShortenMode::Alternating));
      ++skipped;
      continue;
    }
    bool changed = false;
    result = ProcessInput(settings, file, settings.InPlace, backups, dryRun, &changed);
    if (result != StepOk)
      break;
    ++processed;
    changedCount += changed ? 1 : 0;
  }
  // A search that found nothing stays silent; after a failure the counts say how far
  // the run got.
  if (!inputs.empty())
    WriteMessage(u"Zusammenfassung: " + NumberText(processed) +
                 (processed == 1 ? u" Datei" : u" Dateien") + u" bearbeitet, " +
                 NumberText(changedCount) + u" geändert, " + NumberText(skipped) +
                 u" übersprungen");
  return result;
}

} // namespace

int RunPlan(const TRunSettings &settings) {
  TDryRun dryRun;
  const int result = RunInputs(settings, dryRun);
  if (settings.DryRun)
    dryRun.ShowSummary();
  return result;
}
