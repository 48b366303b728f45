// Thin wrappers over the system's file-status and directory calls. Names are bytes
// as the system takes them; results are 0 or the system's error number.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct TFileStatus {
  std::uint32_t FMode = 0; // type and permission bits
  std::int64_t FSize = 0;
  std::uint64_t FDevice = 0;
  std::uint64_t FInode = 0;
  // Seconds since 1970-01-01 00:00 UTC. Creation is the birth time where the file
  // system keeps one, else the last-write time.
  std::int64_t FLastWriteTime = 0;
  std::int64_t FLastAccessTime = 0;
  std::int64_t FCreationTime = 0;
  bool FHasBirthTime = false;

  bool IsDirectory() const;
  bool IsRegularFile() const;
  bool IsLink() const;
  // True when any of the owner, group or other write bits is set.
  bool HasWriteBit() const;
};

// Status of the named file, links followed.
int StatPath(const std::string &name, TFileStatus &status);
// Status of the name itself: a link is not followed.
int LinkStatPath(const std::string &name, TFileStatus &status);

// Errors that mean "there is no such name" (not found, a non-directory on the way,
// too long, a link loop, an invalid name) as opposed to an entry that cannot be reached.
bool IsNameNotFoundError(int error);

// Opens an existing file for writing, without creating, truncating or writing it
// (and without blocking on a FIFO), and closes it at once.
int TryOpenForWriting(const std::string &name);
// Creates a new file that must not exist yet (a link of that name counts as existing)
// and closes it.
int CreateNewFile(const std::string &name);

int MakeDirectory(const std::string &name);   // mode 0777 less the umask
int RemoveDirectory(const std::string &name); // only an empty directory
int RemoveName(const std::string &name);      // unlink: a file or a link, never a directory
// Renames within one file system and never replaces an existing target (EEXIST).
// A move across file systems fails with EXDEV.
int RenameNoReplace(const std::string &from, const std::string &to);

// Sets `empty` when the directory holds no entry other than "." and "..", hidden
// entries included; reading stops at the first other entry.
int ReadDirectoryEmpty(const std::string &name, bool &empty);

// Changes the current directory; 0 or the error number.
int ChangeWorkingDirectory(const std::string &name);

// The absolute name with every link, "." and ".." resolved (realpath); 0 or the
// error number (a dangling link fails).
int ResolvePath(const std::string &name, std::string &resolved);

struct TLocalTime {
  int FYear = 0;  // e.g. 2024
  int FMonth = 0; // 1 to 12
  int FDay = 0;
  int FHour = 0;
  int FMinute = 0;
  int FSecond = 0;
};

// A UTC instant on the local clock, with the time-zone offset in force at that instant.
bool LocalTimeOf(std::int64_t unixSeconds, TLocalTime &local);

} // namespace platform
