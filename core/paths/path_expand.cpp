#include "core/paths/path_expand.h"

#include "core/paths/file_names.h"
#include "core/paths/path_text.h"

TText PathExpandFrom(TTextView path, TTextView currentDirectory, const TPathRules &rules) {
  if (path.empty())
    return TText();
  // Both texts, the current directory too: an alternate separator left in it would
  // reach the result and read differently when the result is expanded again.
  TText text(path);
  TText current(currentDirectory);
  if (rules.FAlternateSeparator != 0)
    for (TText *t : {&text, &current})
      for (char16_t &c : *t)
        if (c == rules.FAlternateSeparator)
          c = rules.FSeparator;
  currentDirectory = current;

  TText drive = PathDrive(text, rules);
  TText full;
  if (!drive.empty() && IsPathSeparator(drive[0], rules)) {
    full = text; // network path
  } else if (!drive.empty()) {
    TTextView rest = TTextView(text).substr(drive.size());
    if (!rest.empty() && IsPathSeparator(rest[0], rules))
      full = text;
    else if (SamePathName(PathDrive(currentDirectory, rules), drive, rules))
      full = JoinDirName(currentDirectory, rest, rules);
    else
      full = drive + rules.FSeparator + TText(rest);
  } else if (IsPathSeparator(text[0], rules)) {
    full = PathDrive(currentDirectory, rules) + text;
  } else {
    if (currentDirectory.empty())
      return TText();
    full = DirPrefix(currentDirectory, rules) + text;
  }

  TText result;
  if (!PathCanonical(full, result, rules))
    return TText();
  return result;
}

TText PathExpand(TTextView path) {
  return PathExpandFrom(path, CurrentDirectory(), NativePathRules());
}
