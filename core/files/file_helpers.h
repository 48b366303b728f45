// Small file-system tests and operations on native paths. None of them raises:
// failures come back as false, -1, 0.0 or an empty text.
#pragma once

#include <cstdint>
#include <optional>

#include "core/paths/file_names.h"
#include "core/text/text.h"
#include "core/time/date_time.h"

// Attribute word bits, as scripts and the file list see them.
constexpr std::uint32_t FileAttributeReadOnly = 0x1;   // the mode has no write bit at all
constexpr std::uint32_t FileAttributeHidden = 0x2;     // the name begins with "."
constexpr std::uint32_t FileAttributeSystem = 0x4;     // never set here
constexpr std::uint32_t FileAttributeDirectory = 0x10; // links followed
constexpr std::uint32_t FileAttributeLink = 0x400;     // the name itself is a symbolic link
constexpr std::uint32_t InvalidFileAttributes = 0xFFFFFFFF;

// A file time: seconds since 1970-01-01 00:00 UTC.
using TFileTime = std::int64_t;

bool ChangeCurrentDirectory(TTextView directory);

// An existing entry that is not a directory, links followed.
bool IsExistingFile(TTextView path);
// An existing directory, links followed.
bool IsExistingDirectory(TTextView path);
// The attribute word can be read and carries the directory bit.
bool IsDirectoryPath(TTextView path);
// An existing file or directory, links followed: false for a dangling link.
bool PathExists(TTextView path);
// The name itself is a symbolic link (dangling or not).
bool IsLinkPath(TTextView path);

// The attribute word of a name; InvalidFileAttributes when it cannot be read.
std::uint32_t FileAttributesByName(TTextView path);

// True when the file cannot be opened for writing, or its mode has no write bit, or
// the test itself fails. checkAttribute adds nothing here: the attribute's read-only
// bit is the write-bit test that always applies.
bool IsReadOnlyFile(TTextView path, bool checkAttribute = false);
// True when no file can be created in the directory (probed with a temporary file),
// when its mode has no write bit, or when the test itself fails.
bool IsReadOnlyDirectory(TTextView directory);
// The first name made from pattern by putting 0, 1, 2 ... in place of its "%d" for
// which the directory holds no entry; empty when none is free. A pattern without
// "%d" is the only candidate.
TText UniqueFileName(TTextView directory, TTextView pattern);

// Size of an existing file (links followed); -1 when there is none or it is a directory.
std::int64_t FileSizeByName(TTextView path);
// One time of an existing entry (links followed): which = 1 creation, 2 last access,
// 3 last write. 0.0 when there is no such entry or which is another value.
DateTime FileTimeByName(TTextView path, int which);

// The local packed date and time words of a file time, with the offset in force at
// that time and seconds truncated to two; false outside the years 1980 to 2107.
bool FileTimeToDosDateTime(TFileTime time, std::uint16_t &dosDate, std::uint16_t &dosTime);
// The local DateTime of a file time, two-second resolution; 0.0 outside 1980 to 2107.
DateTime FileTimeToDateTime(TFileTime time);

// The directory for temporary files: $TMPDIR less one trailing separator when set
// and not empty (a lone "/" stays), else /tmp.
TText TempDirectory();

// Creates the directory and every missing parent, outermost first. A relative name is
// resolved against the current directory; the empty name fails. An existing
// directory succeeds without change.
bool CreateDirectoryPath(TTextView directory);
// Removes a file or a link (a link to a directory included, never its target).
bool RemoveFileOrLink(TTextView path);
// Removes an empty directory.
bool RemoveEmptyDirectory(TTextView directory);
// True when the directory holds no entry other than "." and "..", hidden ones
// included; false also when it cannot be read.
bool IsDirectoryEmpty(TTextView directory);

// The 8.3 short name of a file: file systems here keep none.
TText ShortFileName(TTextView path);
