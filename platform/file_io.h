// Reading and writing whole files. Everything the program writes (output files,
// in-place rewrites, backups) goes through here, so that a failed or interrupted
// write never costs the old content of a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// The disk as the rest of the program sees it; tests put a double in its place.
// Paths are bytes as the system takes them. Every operation answers false on any
// failure, with errno telling why.
class TFileSystem {
public:
  virtual ~TFileSystem() = default;

  // The whole content of a file; a directory or an unreadable file fails and
  // leaves `data` unchanged.
  virtual bool ReadWholeFile(const std::string &path, std::string &data) = 0;

  // Replaces the file's content. A regular file (or a new one) is written to a
  // temporary file beside it that is then renamed over it, carrying the old mode
  // bits, extended attributes and ACL (and owner where permitted); mode bits or an
  // ACL that cannot be carried fail the write. A new file gets 0666 less the umask.
  // The temporary file has no name until just before the rename where the file
  // system allows. A device or FIFO is written directly and never replaced. A name for one of the
  // process's own descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N) is written
  // to that descriptor as it stands: appending stays appending, a pipe gets the
  // text. A symbolic link is followed to the file it finally names, which is
  // rewritten; the link stays. A regular file with no write bit at all is never
  // overwritten, not even by root. When the rename is refused because the target
  // is a mount point, the content is written over the target where it stands, and
  // only once the space for it is reserved; a failure there puts the old content
  // back. On failure the old file is whole and no temporary file is left (unless
  // removing it is what fails).
  virtual bool WriteFileAtomic(const std::string &path, std::string_view content) = 0;

  // Copies `source` over `target` with the same safety as WriteFileAtomic; the
  // copy carries the source's permission bits, extended attributes and ACL.
  virtual bool CopyFileReplacing(const std::string &source, const std::string &target) = 0;

  // Copies the regular file `source` to its backup name `backup` like
  // CopyFileReplacing, except that whatever stands at `backup` (a symbolic link
  // too) is replaced, never written through. Any other kind of source fails
  // without being opened for long (a FIFO would block).
  virtual bool CopyToBackup(const std::string &source, const std::string &backup) = 0;
};

// The real disk. Bytes, renames and space reservations pass through hooks that a
// test double can fail on command, and every system call through the fault plan of
// platform/system_calls.h, so that the clean-up paths are proven without a broken
// disk.
class TRealFileSystem : public TFileSystem {
public:
  bool ReadWholeFile(const std::string &path, std::string &data) override;
  bool WriteFileAtomic(const std::string &path, std::string_view content) override;
  bool CopyFileReplacing(const std::string &source, const std::string &target) override;
  bool CopyToBackup(const std::string &source, const std::string &backup) override;

protected:
  // Writes all bytes to an open descriptor; false (errno set) when that fails.
  virtual bool WriteBytes(int fd, std::string_view bytes);
  // rename(2): 0, or the errno of the failure.
  virtual int RenameFile(const std::string &from, const std::string &to);
  // An unnamed temporary file in `directory`, or -1 with errno (EOPNOTSUPP: the file
  // system has none, and a named one is used).
  virtual int OpenUnnamed(const std::string &directory, mode_t mode);
  // Reserves disk space for the first `length` bytes of an open file without
  // changing its size or content; false (errno set) when that fails.
  virtual bool ReserveSpace(int fd, std::size_t length);

private:
  enum class TLinkAtTarget { Follow, Replace };
  bool WriteTarget(const std::string &path, std::string_view content, int newMode,
                   TLinkAtTarget links, const std::string *copySource);
  bool WriteDirectly(const std::string &path, std::string_view content);
  bool RewriteInPlace(const std::string &path, std::string_view content);
  bool WriteFromStart(int fd, std::string_view content);
};

// True when a write to `path` would replace an existing regular file (links followed
// as a write follows them): the only kind of target a backup is made of. Devices,
// FIFOs and names of the process's own descriptors are written where they stand.
bool IsReplaceableFile(const std::string &path);

// A file size limit (ulimit -f) must show up as a failed write (EFBIG), not end
// the process with SIGXFSZ halfway through a file.
void IgnoreFileSizeSignal();

// The file system the program uses: the real one unless a test replaced it.
TFileSystem &FileSystem();

// Puts another file system in place for its lifetime and restores the previous one.
class TFileSystemOverride {
public:
  explicit TFileSystemOverride(TFileSystem &fileSystem);
  ~TFileSystemOverride();
  TFileSystemOverride(const TFileSystemOverride &) = delete;
  TFileSystemOverride &operator=(const TFileSystemOverride &) = delete;

private:
  TFileSystem *FPrevious;
};

} // namespace platform
