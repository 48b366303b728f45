// The path text rules under both rule sets: every routine on any text, and the
// properties their descriptions promise.
#include <cstddef>
#include <cstdint>

#include "core/paths/path_expand.h"
#include "core/paths/path_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"

namespace {

#define PATH_CHECK(condition, what)                                                                \
  FUZZ_CHECK(condition, "%s rules, path [%s], other [%s]: %s", windows ? "Windows" : "native",     \
             Printable(path).c_str(), Printable(other).c_str(), what)

bool IsCanonical(TTextView path, const TPathRules &rules) {
  TText canonical;
  return PathCanonical(path, canonical, rules) && canonical == path;
}

// No drive, a network prefix, or a letter and colon, once alternate separators are
// read as separators ("\:" is a drive too, but no plausible one).
bool PlausibleDrive(TTextView path, const TPathRules &rules) {
  TText text(path);
  for (char16_t &c : text)
    if (rules.FAlternateSeparator != 0 && c == rules.FAlternateSeparator)
      c = rules.FSeparator;
  const TText drive = PathDrive(text, rules);
  const bool network =
      drive.size() >= 2 && IsPathSeparator(drive[0], rules) && IsPathSeparator(drive[1], rules);
  return drive.empty() || network || (drive[0] >= u'A' && drive[0] <= u'Z') ||
         (drive[0] >= u'a' && drive[0] <= u'z');
}

void CheckRules(TTextView path, TTextView other, bool windows) {
  const TPathRules &rules = windows ? WindowsPathRules() : NativePathRules();

  const TText name = PathFileName(path, rules);
  const TText prefix = PathDirectoryPrefix(path, rules);
  PATH_CHECK(prefix + name == path, "directory prefix and file name are not the path");
  const TText directory = PathDirectory(path, rules);
  PATH_CHECK(prefix.starts_with(directory), "the directory is not within the prefix");
  PATH_CHECK(PathChangeExtension(path, PathExtension(path, rules), rules) == path,
             "changing the extension to itself changes the path");
  PATH_CHECK(PathReplaceDirectory(path, other, rules) == WithTrailingSeparator(other, rules) + name,
             "replacing the directory");
  const TText drive = PathDrive(path, rules);
  PATH_CHECK(path.starts_with(drive), "the drive is no prefix of the path");
  PATH_CHECK(SamePathName(path, path, rules), "a path differs from itself");
  PATH_CHECK(WithoutTrailingSeparator(WithTrailingSeparator(path, rules), rules) == path ||
                 (!path.empty() && IsPathSeparator(path.back(), rules)),
             "adding and removing a trailing separator");
  // A canonical path with a file name splits into directory and name and joins back
  // (a one-letter directory under drives is taken for a drive letter).
  if (!name.empty() && IsCanonical(path, rules) && !(rules.FHasDrives && directory.size() == 1))
    PATH_CHECK(JoinDirName(directory, name, rules) == path,
               "directory and file name do not join back");

  TText canonical;
  PATH_CHECK(PathCanonical(path, canonical, rules), "no canonical form");
  // Dropping "." or "x\.." can bring a name with a colon to the front, where it reads
  // as a drive (any character before a colon does): the path has changed its meaning
  // and its canonical form is no longer a fixed point.
  if (PathDrive(canonical, rules) == drive) {
    PATH_CHECK(IsCanonical(canonical, rules), "the canonical form is not stable");
    PATH_CHECK(IsRelativePath(canonical, rules) == IsRelativePath(path, rules) || path.empty(),
               "canonical form changes relativeness");
  }

  TText combined = u"unchanged";
  if (PathCombine(other, path, combined, rules)) {
    PATH_CHECK(combined.size() <= rules.FMaxPathLength || other.empty() || path.empty(),
               "combination longer than the limit");
    // An empty text combined with another gives the other as it is.
    // (Unless, as above, a name with a colon came to the front.)
    const TText combinedDrive = PathDrive(combined, rules);
    const bool driveKept = combinedDrive == drive || combinedDrive == PathDrive(other, rules);
    PATH_CHECK(other.empty()  ? combined == path
               : path.empty() ? combined == other
                              : IsCanonical(combined, rules) || !driveKept,
               "the combination is not canonical");
  } else {
    PATH_CHECK(combined == u"unchanged", "a failed combination changed the result");
  }

  // The current directory is canonical and fully qualified in every real use, and a
  // drive is a letter.
  const TText expanded = PathExpandFrom(path, other, rules);
  const TText otherDrive = PathDrive(other, rules);
  const bool qualified =
      other.size() > otherDrive.size() && IsPathSeparator(other[otherDrive.size()], rules);
  if (!expanded.empty() && qualified && IsCanonical(other, rules) && PlausibleDrive(path, rules) &&
      PlausibleDrive(other, rules) && PlausibleDrive(expanded, rules)) {
    PATH_CHECK(!IsRelativePath(expanded, rules), "the expansion is relative");
    PATH_CHECK(PathExpandFrom(expanded, other, rules) == expanded,
               "expanding twice gives something else");
    PATH_CHECK(IsCanonical(expanded, rules), "the expansion is not canonical");
  }

  (void)PathRelative(other, path, rules);
  (void)MergePath(drive, directory, name, PathExtension(other, rules), rules);
  (void)DirPrefix(path, rules);
  (void)JoinDirName(other, path, rules);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  const TTextView alphabet = u"aAbC:/\\..~ \u00E4\u0131";
  const TText path = FuzzText(input, alphabet, 300);
  const TText other = FuzzText(input, alphabet, 300);
  CheckRules(path, other, false);
  CheckRules(path, other, true);
  return 0;
}
