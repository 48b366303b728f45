#include "core/paths/path_text.h"

#include "core/text/case_tables.h"

namespace {

constexpr size_t NotFound = TTextView::npos;

// Index of the last character that ends a directory part, or NotFound.
size_t LastDelimiter(TTextView path, const TPathRules &rules) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsDirectoryDelimiter(path[i - 1], rules))
      return i - 1;
  return NotFound;
}

// Index of the dot that starts the extension, or NotFound.
size_t ExtensionDot(TTextView path, const TPathRules &rules) {
  for (size_t i = path.size(); i > 0; --i) {
    char16_t c = path[i - 1];
    if (c == u'.')
      return i - 1;
    if (IsDirectoryDelimiter(c, rules))
      return NotFound;
  }
  return NotFound;
}

bool EndsWithSeparator(TTextView text, const TPathRules &rules) {
  return !text.empty() && IsPathSeparator(text.back(), rules);
}

bool IsAsciiLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// The names between separators; a leading separator yields an empty first name and
// the empty piece after a final separator is not a name.
TTextList SplitDirectoryNames(TTextView text, const TPathRules &rules) {
  TTextList names;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsPathSeparator(text[i], rules)) {
      names.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (!names.empty() && names.back().empty())
    names.pop_back();
  return names;
}

// The root of a path: its drive or network prefix plus a following separator, or a
// leading separator alone. `rooted` says whether ".." can climb above it.
TText PathRoot(TTextView path, const TPathRules &rules, size_t &restStart, bool &rooted) {
  TText root = PathDrive(path, rules);
  restStart = root.size();
  rooted = !root.empty() && IsPathSeparator(root[0], rules);
  if (restStart < path.size() && IsPathSeparator(path[restStart], rules)) {
    root.push_back(rules.FSeparator);
    rooted = true;
    while (restStart < path.size() && IsPathSeparator(path[restStart], rules))
      ++restStart;
  }
  return root;
}

} // namespace

bool SamePathName(TTextView a, TTextView b, const TPathRules &rules) {
  if (!rules.FIgnoreCase)
    return a == b;
  return a.size() == b.size() && UpperText(a) == UpperText(b);
}

TText PathFileName(TTextView path, const TPathRules &rules) {
  size_t i = LastDelimiter(path, rules);
  return TText(i == NotFound ? path : path.substr(i + 1));
}

TText PathDirectoryPrefix(TTextView path, const TPathRules &rules) {
  size_t i = LastDelimiter(path, rules);
  return i == NotFound ? TText() : TText(path.substr(0, i + 1));
}

TText PathDirectory(TTextView path, const TPathRules &rules) {
  size_t i = LastDelimiter(path, rules);
  if (i == NotFound)
    return TText();
  // A separator right after a name is not part of the directory; one after a drive
  // colon or another separator is the root and stays.
  size_t length = i + 1;
  if (i > 0 && IsPathSeparator(path[i], rules) && !IsDirectoryDelimiter(path[i - 1], rules))
    --length;
  return TText(path.substr(0, length));
}

TText PathDrive(TTextView path, const TPathRules &rules) {
  const size_t n = path.size();
  if (rules.FHasDrives && n >= 2 && path[1] == u':')
    return TText(path.substr(0, 2));
  if (rules.FHasNetworkPrefixes && n >= 2 && IsPathSeparator(path[0], rules) &&
      IsPathSeparator(path[1], rules)) {
    // p counts characters (1-based position of the scan); stop at the separator that
    // ends the share name.
    size_t p = 3;
    int separators = 0;
    while (p < n && separators < 2) {
      if (IsPathSeparator(path[p - 1], rules))
        ++separators;
      if (separators < 2)
        ++p;
    }
    if (p <= n && IsPathSeparator(path[p - 1], rules))
      --p;
    return TText(p > n ? path : path.substr(0, p));
  }
  return TText();
}

TText PathExtension(TTextView path, const TPathRules &rules) {
  size_t dot = ExtensionDot(path, rules);
  return dot == NotFound ? TText() : TText(path.substr(dot));
}

TText PathChangeExtension(TTextView path, TTextView extension, const TPathRules &rules) {
  size_t dot = ExtensionDot(path, rules);
  TText result(dot == NotFound ? path : path.substr(0, dot));
  result += extension;
  return result;
}

TText PathReplaceDirectory(TTextView path, TTextView directory, const TPathRules &rules) {
  return WithTrailingSeparator(directory, rules) + PathFileName(path, rules);
}

TText WithTrailingSeparator(TTextView text, const TPathRules &rules) {
  TText result(text);
  if (!EndsWithSeparator(text, rules))
    result.push_back(rules.FSeparator);
  return result;
}

TText WithoutTrailingSeparator(TTextView text, const TPathRules &rules) {
  if (EndsWithSeparator(text, rules))
    text.remove_suffix(1);
  return TText(text);
}

TText DirPrefix(TTextView directory, const TPathRules &rules) {
  TText result(directory);
  if (directory.empty() || IsDirectoryDelimiter(directory.back(), rules))
    return result;
  if (rules.FHasDrives && directory.size() == 1 && IsAsciiLetter(directory[0]))
    result.push_back(u':');
  result.push_back(rules.FSeparator);
  return result;
}

TText JoinDirName(TTextView directory, TTextView name, const TPathRules &rules) {
  if (!name.empty())
    return DirPrefix(directory, rules) + TText(name);
  if (directory.size() > rules.FRootLength && EndsWithSeparator(directory, rules))
    directory.remove_suffix(1);
  return TText(directory);
}

TText MergePath(TTextView drive, TTextView directory, TTextView name, TTextView extension,
                const TPathRules &rules) {
  TText result(drive);
  if (!drive.empty()) {
    bool directoryRooted = !directory.empty() && IsPathSeparator(directory[0], rules);
    if (EndsWithSeparator(drive, rules) && directoryRooted)
      result.pop_back();
    else if (!IsDirectoryDelimiter(drive.back(), rules) && !directoryRooted)
      result.push_back(rules.FSeparator);
  }
  result += DirPrefix(directory, rules);
  result += name;
  if (!extension.empty()) {
    if (extension[0] != u'.')
      result.push_back(u'.');
    result += extension;
  }
  return result;
}

TText PathRelative(TTextView baseDirectory, TTextView target, const TPathRules &rules) {
  TText base = WithTrailingSeparator(baseDirectory, rules);
  TText baseDrive = PathDrive(base, rules);
  TText targetDrive = PathDrive(target, rules);
  // Case never matters for drive letters and share names.
  if (UpperText(baseDrive) != UpperText(targetDrive))
    return TText(target);
  if (!rules.FHasDrives && !rules.FHasNetworkPrefixes &&
      IsRelativePath(base, rules) != IsRelativePath(target, rules))
    return TText(target);

  TText baseDirectoryPart = PathDirectoryPrefix(base, rules).substr(baseDrive.size());
  TText targetPrefix = PathDirectoryPrefix(target, rules);
  TText targetName = PathFileName(target, rules);
  TText targetDirectoryPart;
  if (targetPrefix.size() >= targetDrive.size()) {
    targetDirectoryPart = targetPrefix.substr(targetDrive.size());
  } else {
    // A network prefix alone ("\\server\share") ends inside its own last name: it
    // stands for the root of the share.
    targetDirectoryPart = TText(1, rules.FSeparator);
    targetName.clear();
  }
  TTextList baseNames = SplitDirectoryNames(baseDirectoryPart, rules);
  TTextList targetNames = SplitDirectoryNames(targetDirectoryPart, rules);

  size_t common = 0;
  while (common < baseNames.size() && common < targetNames.size() &&
         SamePathName(baseNames[common], targetNames[common], rules))
    ++common;

  TText result;
  for (size_t i = common; i < baseNames.size(); ++i) {
    result += u"..";
    result.push_back(rules.FSeparator);
  }
  for (size_t i = common; i < targetNames.size(); ++i) {
    result += targetNames[i];
    result.push_back(rules.FSeparator);
  }
  return result + targetName;
}

bool PathCombine(TTextView first, TTextView second, TText &result, const TPathRules &rules) {
  if (first.empty() || second.empty()) {
    result = TText(first.empty() ? second : first);
    return true;
  }
  TText combined;
  if (!PathDrive(second, rules).empty())
    combined = TText(second);
  else if (IsPathSeparator(second[0], rules))
    combined = PathDrive(first, rules) + TText(second); // under the first's root
  else
    combined = WithTrailingSeparator(first, rules) + TText(second);
  if (combined.size() > rules.FMaxPathLength)
    return false;
  return PathCanonical(combined, result, rules);
}

bool PathCanonical(TTextView path, TText &result, const TPathRules &rules) {
  if (path.empty()) {
    result.clear();
    return true;
  }
  size_t restStart = 0;
  bool rooted = false;
  TText canonical = PathRoot(path, rules, restStart, rooted);

  TTextList names;
  TTextView rest = path.substr(restStart);
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !IsPathSeparator(rest[i], rules))
      continue;
    TTextView name = rest.substr(start, i - start);
    start = i + 1;
    if (name.empty() || name == u".")
      continue;
    if (name == u"..") {
      if (!names.empty() && names.back() != u"..")
        names.pop_back();
      else if (!rooted)
        names.emplace_back(name); // a relative path keeps what it cannot resolve
      continue;                   // above a root there is nothing to remove
    }
    names.emplace_back(name);
  }

  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0)
      canonical.push_back(rules.FSeparator);
    canonical += names[i];
  }
  if (!names.empty() && EndsWithSeparator(rest, rules))
    canonical.push_back(rules.FSeparator);
  if (canonical.empty())
    canonical = u".";
  result = std::move(canonical);
  return true;
}

bool IsRelativePath(TTextView path, const TPathRules &rules) {
  return PathDrive(path, rules).empty() && !(!path.empty() && IsPathSeparator(path[0], rules));
}

// The native forms.
TText PathFileName(TTextView path) {
  return PathFileName(path, NativePathRules());
}
TText PathDirectoryPrefix(TTextView path) {
  return PathDirectoryPrefix(path, NativePathRules());
}
TText PathDirectory(TTextView path) {
  return PathDirectory(path, NativePathRules());
}
TText PathDrive(TTextView path) {
  return PathDrive(path, NativePathRules());
}
TText PathExtension(TTextView path) {
  return PathExtension(path, NativePathRules());
}
TText PathChangeExtension(TTextView path, TTextView extension) {
  return PathChangeExtension(path, extension, NativePathRules());
}
TText PathReplaceDirectory(TTextView path, TTextView directory) {
  return PathReplaceDirectory(path, directory, NativePathRules());
}
TText WithTrailingSeparator(TTextView text) {
  return WithTrailingSeparator(text, NativePathRules());
}
TText WithoutTrailingSeparator(TTextView text) {
  return WithoutTrailingSeparator(text, NativePathRules());
}
TText DirPrefix(TTextView directory) {
  return DirPrefix(directory, NativePathRules());
}
TText JoinDirName(TTextView directory, TTextView name) {
  return JoinDirName(directory, name, NativePathRules());
}
TText MergePath(TTextView drive, TTextView directory, TTextView name, TTextView extension) {
  return MergePath(drive, directory, name, extension, NativePathRules());
}
TText PathRelative(TTextView baseDirectory, TTextView target) {
  return PathRelative(baseDirectory, target, NativePathRules());
}
bool PathCombine(TTextView first, TTextView second, TText &result) {
  return PathCombine(first, second, result, NativePathRules());
}
bool PathCanonical(TTextView path, TText &result) {
  return PathCanonical(path, result, NativePathRules());
}
bool IsRelativePath(TTextView path) {
  return IsRelativePath(path, NativePathRules());
}
