#include "core/process/shell_execute.h"

#include <optional>

#include "core/files/file_helpers.h"
#include "core/process/shell_words.h"
#include "platform/code_page.h"
#include "platform/spawn.h"

namespace {

bool IsOperation(TTextView operation, TTextView name) {
  if (operation.size() != name.size())
    return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = operation[i];
    if (c >= u'A' && c <= u'Z')
      c = char16_t(c - u'A' + u'a');
    if (c != name[i])
      return false;
  }
  return true;
}

// An existing file or directory as the system names it, made absolute so the
// working directory of the started program does not change what it refers to.
std::optional<TBytes> ExistingPath(TTextView file) {
  if (!PathExists(file))
    return std::nullopt;
  std::optional<TBytes> name = NativeFileName(file);
  if (!name || name->empty() || (*name)[0] == '/')
    return name;
  std::optional<TBytes> current = NativeFileName(CurrentDirectory());
  if (!current || current->empty())
    return std::nullopt;
  return *current + (current->back() == '/' ? "" : "/") + *name;
}

bool OpenWithDesktop(const TBytes &path, const TBytes &directory) {
  TBytes opener = platform::FindExecutableOnPath("xdg-open");
  return !opener.empty() && platform::SpawnDetached(opener, {path}, directory);
}

} // namespace

bool ShellExecute(TTextView operation, TTextView file, TTextView parameters, TTextView directory,
                  int showCommand) {
  if (std::optional<bool> started =
          platform::SystemShellExecute(operation, file, parameters, directory, showCommand))
    return *started;
  bool open = operation.empty() || IsOperation(operation, u"open");
  bool explore = IsOperation(operation, u"explore");
  if (!open && !explore)
    return false;
  std::optional<TBytes> workingDirectory = NativeFileName(directory);
  if (!workingDirectory)
    return false;

  std::optional<TBytes> path = ExistingPath(file);
  bool executable = false;
  if (path)
    executable = platform::IsExecutableFile(*path);
  else if (std::optional<TBytes> name = NativeFileName(file)) {
    TBytes found = platform::FindExecutableOnPath(*name);
    if (!found.empty()) {
      path = found;
      executable = true;
    }
  }
  if (!path)
    return false;

  if (explore || !executable)
    return OpenWithDesktop(*path, *workingDirectory);
  std::vector<TBytes> arguments;
  for (const TText &word : SplitShellWords(parameters))
    arguments.push_back(TextToBytes(word));
  return platform::SpawnDetached(*path, arguments, *workingDirectory);
}
