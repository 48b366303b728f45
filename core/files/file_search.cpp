#include "core/files/file_search.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/file_helpers.h"
#include "core/paths/path_rules.h"
#include "core/paths/path_text.h"
#include "core/text/case_tables.h"
#include "core/text/text_routines.h"
#include "core/text/tokenizer.h"
#include "core/text/wildcard.h"
#include "platform/collation_key.h"
#include "platform/directory_listing.h"
#include "platform/file_status.h"
#include "platform/regular_expression.h"

namespace {

using platform::TDirectoryEntry;
using platform::TEntryKind;
using platform::TFileStatus;

// How a wildcard pattern is matched: "*" followed by plain characters only needs a
// comparison of the name's end, plain characters alone one of the whole name; both
// give exactly what the general match gives for such patterns.
enum class TPatternShape { General, Suffix, Exact };

struct TNamePattern {
  TText FWildcard; // upper-cased already, as the caseless match would do per name
  TPatternShape FShape = TPatternShape::General;
  bool FEndsWithDot = false;
  std::optional<platform::TRegularExpression> FExpression;
};

struct TSearchPlan {
  TText FStartDirectory;
  bool FMatchesAll = false;
  std::vector<TNamePattern> FPatterns;
  TText FUpperName; // working buffer of MatchName
};

// Upper-cases text in place, code unit by code unit, as the caseless wildcard match does.
void ToUpperInPlace(TText &text) {
  const char16_t *upper = WideUpperTable();
  for (char16_t &c : text)
    c = upper[c];
}

struct TSearchOptions {
  bool FSubdirs = false;
  bool FHidden = false;
  bool FFiles = false;
  bool FDirs = false;
  TSearchPlan *FExclude = nullptr; // names left out, directories not descended into
};

// An entry the search keeps: the directory it was found in (as searched), its name as
// host text, and its native path for any further status call.
struct TFoundEntry {
  const TText &FDirectory;
  const TText &FPathPrefix; // DirPrefix(FDirectory)
  const TText &FName;
  const TBytes &FNativePath;
};

enum class TNameMatch { Yes, No, Failed };

TPatternShape ShapeOf(TTextView wildcard) {
  auto isPlain = [](TTextView text) { return text.find_first_of(u"*?+[\\") == TTextView::npos; };
  if (isPlain(wildcard))
    return TPatternShape::Exact;
  if (wildcard.front() == u'*' && isPlain(wildcard.substr(1)))
    return TPatternShape::Suffix;
  return TPatternShape::General;
}

bool MatchWildcardShaped(TTextView upperName, const TNamePattern &pattern) {
  switch (pattern.FShape) {
  case TPatternShape::Exact:
    return upperName == pattern.FWildcard;
  case TPatternShape::Suffix:
    return upperName.ends_with(TTextView(pattern.FWildcard).substr(1));
  case TPatternShape::General:
    break;
  }
  return MatchWildcard(upperName, pattern.FWildcard, false, false);
}

// Compiles the ";" separated patterns of names into the plan; false when one of them
// is unusable.
bool AddPatterns(TSearchPlan &plan, TTextView names, bool withExpressions) {
  plan.FMatchesAll = plan.FMatchesAll || names == u"*";
  for (TText &token : TokenList(names, u";", true, true, true)) {
    if (token.empty())
      continue;
    TNamePattern pattern;
    if (withExpressions && token.front() == u'{') {
      if (token.size() < 2 || token.back() != u'}')
        return false;
      pattern.FExpression = platform::TRegularExpression::Compile(
          TTextView(token).substr(1, token.size() - 2), true, true);
      if (!pattern.FExpression)
        return false;
    } else {
      pattern.FEndsWithDot = token.back() == u'.';
      pattern.FWildcard = std::move(token);
      ToUpperInPlace(pattern.FWildcard);
      pattern.FShape = ShapeOf(pattern.FWildcard);
    }
    plan.FPatterns.push_back(std::move(pattern));
  }
  return true;
}

// Start directory and compiled patterns; nullopt when the search can find nothing or
// its patterns are unusable.
std::optional<TSearchPlan> PrepareSearch(TTextView mask, bool withExpressions) {
  TSearchPlan plan;
  plan.FStartDirectory = Trim(PathDirectory(mask));
  if (plan.FStartDirectory.empty())
    plan.FStartDirectory = CurrentDirectory();
  // A root stays whole; any longer directory loses one trailing separator.
  if (plan.FStartDirectory.size() > NativePathRules().FRootLength &&
      IsPathSeparator(plan.FStartDirectory.back(), NativePathRules()))
    plan.FStartDirectory.pop_back();
  if (!IsDirectoryPath(plan.FStartDirectory))
    return std::nullopt;

  TText names = Trim(PathFileName(mask));
  if (names.empty())
    names.assign(1, u'*');
  if (!AddPatterns(plan, names, withExpressions))
    return std::nullopt;
  return plan;
}

// A caseless wildcard match upper-cases name and pattern and compares them exactly;
// here the pattern was upper-cased once and the name is, once for all patterns.
TNameMatch MatchName(TSearchPlan &plan, const TText &name) {
  if (plan.FMatchesAll)
    return TNameMatch::Yes;
  bool haveUpperName = false;
  for (TNamePattern &pattern : plan.FPatterns) {
    if (pattern.FExpression) {
      switch (pattern.FExpression->Search(name)) {
      case platform::TRegexSearchResult::Match:
        return TNameMatch::Yes;
      case platform::TRegexSearchResult::Error:
        return TNameMatch::Failed;
      case platform::TRegexSearchResult::NoMatch:
        continue;
      }
    }
    if (!haveUpperName) {
      plan.FUpperName.assign(name);
      ToUpperInPlace(plan.FUpperName);
      haveUpperName = true;
    }
    TTextView subject = plan.FUpperName;
    TText withDot;
    if (pattern.FEndsWithDot && PathExtension(name).empty()) {
      withDot.assign(subject).push_back(u'.');
      subject = withDot;
    }
    if (MatchWildcardShaped(subject, pattern))
      return TNameMatch::Yes;
  }
  return TNameMatch::No;
}

// The host text of a name the system reported, in a reused buffer. The code pages
// in use all keep ASCII as it is.
void HostNameOf(const TBytes &bytes, TText &text) {
  if (std::all_of(bytes.begin(), bytes.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    text.assign(bytes.begin(), bytes.end());
    return;
  }
  text = HostFileName(bytes);
}

TText Concatenated(TTextView a, TTextView b) {
  TText result;
  result.reserve(a.size() + b.size());
  result.append(a).append(b);
  return result;
}

// Visits the start directory and, with subdirs, every directory below it, each once,
// depth first. Directories met through a link wait until every directory met without
// one has been read, and are then taken in byte order of their paths. So a directory
// that the tree holds and a link also leads to is read under its own path, several
// links to one directory outside the tree read it once under the same name every time,
// and the outcome never depends on the order in which the system lists entries.
// onEntry receives every entry that belongs in the result. False when matching failed.
template <typename TOnEntry>
bool Traverse(TSearchPlan &plan, const TSearchOptions &options, TOnEntry onEntry) {
  struct TPendingDirectory {
    TText FPath;
    TBytes FNativePath;
  };
  const std::optional<TBytes> startNative = NativeFileName(plan.FStartDirectory);
  if (!startNative)
    return true;
  // The next one to visit at the back; those met through links in a heap whose front
  // is the first path in byte order.
  std::vector<TPendingDirectory> pending;
  std::vector<TPendingDirectory> pendingLinks;
  auto laterPath = [](const TPendingDirectory &a, const TPendingDirectory &b) {
    return a.FNativePath > b.FNativePath;
  };
  pending.push_back({plan.FStartDirectory, *startNative});
  std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
  std::vector<TDirectoryEntry> entries;
  TText name;        // reused for every entry
  TBytes nativePath; // likewise

  while (!pending.empty() || !pendingLinks.empty()) {
    if (pending.empty())
      std::pop_heap(pendingLinks.begin(), pendingLinks.end(), laterPath);
    std::vector<TPendingDirectory> &from = pending.empty() ? pendingLinks : pending;
    const TPendingDirectory current = std::move(from.back());
    from.pop_back();
    platform::TDirectoryIdentity identity;
    // A directory that cannot be read is passed over; one that broke off while being
    // read still gives the entries read before.
    platform::ListDirectory(current.FNativePath, entries, identity);
    if (entries.empty() || !visited.insert({identity.FDevice, identity.FInode}).second)
      continue;
    const TText pathPrefix = DirPrefix(current.FPath);
    const char separator = char(NativePathRules().FSeparator);
    const TBytes nativePrefix = IsDirectoryDelimiter(char16_t(current.FNativePath.back()),
                                                     NativePathRules())
                                    ? current.FNativePath
                                    : current.FNativePath + separator;

    for (const TDirectoryEntry &entry : entries) {
      if (entry.FHidden && !options.FHidden)
        continue;
      HostNameOf(entry.FName, name);
      if (options.FExclude) {
        const TNameMatch excluded = MatchName(*options.FExclude, name);
        if (excluded == TNameMatch::Failed)
          return false;
        if (excluded == TNameMatch::Yes)
          continue;
      }
      nativePath.assign(nativePrefix).append(entry.FName);
      TEntryKind kind = entry.FKind;
      if (kind == TEntryKind::Unknown) {
        // File systems that do not say what an entry is: ask the entry itself.
        TFileStatus status;
        if (platform::LinkStatPath(nativePath, status) == 0)
          kind = status.IsLink()        ? TEntryKind::Link
                 : status.IsDirectory() ? TEntryKind::Directory
                                        : TEntryKind::File;
      }
      bool isDirectory = kind == TEntryKind::Directory;
      if (kind == TEntryKind::Link) {
        TFileStatus status;
        isDirectory = platform::StatPath(nativePath, status) == 0 && status.IsDirectory();
      }
      if (isDirectory) {
        if (options.FDirs)
          onEntry(TFoundEntry{current.FPath, pathPrefix, name, nativePath});
        if (options.FSubdirs && kind == TEntryKind::Link) {
          pendingLinks.push_back({Concatenated(pathPrefix, name), nativePath});
          std::push_heap(pendingLinks.begin(), pendingLinks.end(), laterPath);
        } else if (options.FSubdirs) {
          pending.push_back({Concatenated(pathPrefix, name), nativePath});
        }
      } else if (options.FFiles) {
        switch (MatchName(plan, name)) {
        case TNameMatch::Yes:
          onEntry(TFoundEntry{current.FPath, pathPrefix, name, nativePath});
          break;
        case TNameMatch::Failed:
          return false;
        case TNameMatch::No:
          break;
        }
      }
    }
  }
  return true;
}

// The positions of fullNames in the locale's case-insensitive order; names it takes as
// equal go by their bytes. Every name begins with the same prefix (the start directory
// and a separator); where the collation lets keys split at the separator, the order of
// the names is the order of what follows the prefix. Keys are made once per name:
// comparing two keys is a plain byte comparison, where a collation per comparison
// would take longer than the search itself.
std::vector<std::size_t> SortedOrder(const TTextList &fullNames, std::size_t prefixLength) {
  struct TKey {
    std::size_t FOffset;
    std::size_t FLength;
  };
  if (!platform::CollationKeysSplitAt(NativePathRules().FSeparator, true))
    prefixLength = 0;
  std::string keyBytes;
  std::vector<TKey> keys;
  keys.reserve(fullNames.size());
  for (const TText &name : fullNames) {
    const TTextView rest = TTextView(name).substr(std::min(prefixLength, name.size()));
    const std::size_t offset = keyBytes.size();
    keys.push_back({offset, platform::AppendCollationKeyLocale(rest, true, keyBytes)});
  }
  auto keyOf = [&](std::size_t index) {
    return std::string_view(keyBytes).substr(keys[index].FOffset, keys[index].FLength);
  };
  std::vector<std::size_t> order(fullNames.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int byKey = keyOf(a).compare(keyOf(b));
    if (byKey != 0)
      return byKey < 0;
    return NativeFileName(fullNames[a]).value_or(TBytes()) <
           NativeFileName(fullNames[b]).value_or(TBytes());
  });
  return order;
}

// The attribute word of an entry, by the same rules as FileAttributesByName: a link
// carries the kind and permissions of its target, a dangling one only its own.
std::uint32_t AttributeWord(const TText &name, const TFileStatus &linkStatus,
                            const TFileStatus &status) {
  std::uint32_t attributes = 0;
  if (linkStatus.IsLink())
    attributes |= FileAttributeLink;
  if (status.IsDirectory())
    attributes |= FileAttributeDirectory;
  if (!status.IsLink() && !status.HasWriteBit())
    attributes |= FileAttributeReadOnly;
  if (!name.empty() && name[0] == u'.')
    attributes |= FileAttributeHidden;
  return attributes;
}

// The directory-search data of an entry; false when it vanished since it was listed.
bool FindDataOf(const TFoundEntry &entry, TFileFindData &data) {
  TFileStatus linkStatus;
  if (platform::LinkStatPath(entry.FNativePath, linkStatus) != 0)
    return false;
  TFileStatus status = linkStatus;
  if (linkStatus.IsLink()) {
    TFileStatus target;
    if (platform::StatPath(entry.FNativePath, target) == 0)
      status = target;
  }
  data.FName = entry.FName;
  data.FShortName.clear();
  data.FAttributes = AttributeWord(entry.FName, linkStatus, status);
  data.FCreationTime = status.FCreationTime;
  data.FLastAccessTime = status.FLastAccessTime;
  data.FLastWriteTime = status.FLastWriteTime;
  // A dangling link has nothing to read through it.
  data.FSize = status.IsLink() ? 0 : status.FSize;
  return true;
}

} // namespace

TTextList FindFiles(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs) {
  return FindFiles(mask, subdirs, hidden, files, dirs, u"");
}

bool IsValidNamePatternList(TTextView names) {
  TSearchPlan plan;
  return AddPatterns(plan, names, true);
}

TTextList FindFiles(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs,
                    TTextView excludeNames) {
  std::optional<TSearchPlan> plan = PrepareSearch(mask, true);
  if (!plan)
    return {};
  TSearchPlan exclude;
  if (!AddPatterns(exclude, excludeNames, true))
    return {};
  TTextList result;
  const TSearchOptions options{subdirs, hidden, files, dirs,
                               exclude.FPatterns.empty() ? nullptr : &exclude};
  const bool complete = Traverse(*plan, options, [&](const TFoundEntry &entry) {
    result.push_back(Concatenated(entry.FPathPrefix, entry.FName));
  });
  if (!complete)
    return {};
  TTextList sorted;
  sorted.reserve(result.size());
  for (std::size_t index : SortedOrder(result, DirPrefix(plan->FStartDirectory).size()))
    sorted.push_back(std::move(result[index]));
  return sorted;
}

TFileList FindFileInfos(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs) {
  std::optional<TSearchPlan> plan = PrepareSearch(mask, false);
  if (!plan)
    return {};
  std::vector<std::unique_ptr<TFileListItem>> items;
  TTextList fullNames;
  TFileFindData data;
  const bool complete =
      Traverse(*plan, TSearchOptions{subdirs, hidden, files, dirs}, [&](const TFoundEntry &entry) {
        if (!FindDataOf(entry, data))
          return;
        items.push_back(MakeFileListItem(entry.FDirectory, data));
        fullNames.push_back(Concatenated(entry.FPathPrefix, entry.FName));
      });
  if (!complete)
    return {};
  TFileList list;
  for (std::size_t index : SortedOrder(fullNames, DirPrefix(plan->FStartDirectory).size()))
    list.Add(std::move(items[index]));
  return list;
}
