// Reading the entries of one directory. Names stay the bytes the system reported
// (newlines, invalid UTF-8 and all); turning them into host text, and deciding what
// to do with a name that host text cannot carry, is the caller's business. The file
// search and the script lookup skip such a name: its text would give other bytes back
// and so name another file, or none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What the directory itself says about an entry, without looking at the entry.
// Link and Unknown need a status call to learn whether a directory lies behind them.
enum class TEntryKind { Unknown, File, Directory, Link, Other };

struct TDirectoryEntry {
  std::string FName; // never "." or ".."
  TEntryKind FKind = TEntryKind::Unknown;
  // A hidden or system entry: on Linux a name beginning with a dot, on Windows the
  // entry's attributes.
  bool FHidden = false;
};

// The identity of a directory on this machine, for telling two ways to one directory apart.
struct TDirectoryIdentity {
  std::uint64_t FDevice = 0;
  std::uint64_t FInode = 0;
  bool operator==(const TDirectoryIdentity &) const = default;
};

// Lists every entry of a directory (hidden ones included, "." and ".." left out) in
// the order the system returns them, and the directory's identity. Returns 0 or the
// system's error number: a directory that cannot be opened lists nothing. A read
// error after some entries keeps the entries read before it and returns the error.
// Only the directory is opened, never an entry, so FIFOs and devices cannot block.
int ListDirectory(const std::string &directory, std::vector<TDirectoryEntry> &entries,
                  TDirectoryIdentity &identity);

} // namespace platform
