// A zip archive file: opened for reading, for reading and writing, or created new
// for writing, with entries added from files and extracted to files. The archive is
// read whole at open and, when it was changed, written whole at close (to a temporary
// file renamed over it, so a failed write never costs the old archive). Entry names
// and entry comments are host text: UTF-8 when the entry's flag says so, else the
// bytes of the process's code page; the archive comment is bytes kept as they are.
#pragma once

#include <cstddef>
#include <stdexcept>

#include "core/text/text.h"
#include "core/zip/zip_archive.h"

enum class TZipMode { Closed, Read, ReadWrite, Write };

// A change the archive's mode does not allow (an entry comment set on an archive open
// for reading only).
class EZipReadOnly : public std::runtime_error {
public:
  EZipReadOnly() : std::runtime_error("zip file is open for reading only") {}
};

class TZipFile {
public:
  TZipFile() = default;
  TZipFile(const TZipFile &) = delete;
  TZipFile &operator=(const TZipFile &) = delete;
  // Closes the archive, writing pending changes.
  virtual ~TZipFile();

  // Read and ReadWrite read an existing archive (an empty file counts as an archive
  // without entries for ReadWrite only); Write creates a new, empty archive file at
  // once, replacing any file of that name. Closes the open archive first. False, and
  // closed, on any failure.
  bool Open(TTextView fileName, TZipMode mode);
  // Writes a changed archive open for writing, then closes. A write that fails (a full
  // disk, no memory for the image) loses the changes but never the file's old content,
  // and gives false; true when nothing had to be written or the write succeeded.
  // Never throws.
  bool Close() noexcept;

  TZipMode Mode() const { return FMode; }
  std::size_t FileCount() const { return FArchive.Count(); }
  const TZipEntryInfo &FileInfo(std::size_t index) const { return FArchive.Info(index); }
  TText FileName(std::size_t index) const;
  // The 0-based index of the first entry with exactly this name, or -1.
  std::ptrdiff_t IndexOf(TTextView name) const;

  const TBytes &Comment() const { return FArchive.Comment(); }
  void SetComment(TBytesView comment);
  TText FileComment(std::size_t index) const;
  // Encoded like the entry's name and cut to 65535 characters (and to 65535 bytes).
  // Throws EZipReadOnly on an archive open for reading only.
  void SetFileComment(std::size_t index, TTextView comment);

  // Adds the file's content under archiveName, or under the file's name without
  // directory when that is empty, as a UTF-8 name. False when the archive is not open
  // for writing, the file cannot be read, or the name or content does not fit.
  bool Add(TTextView fileName, TTextView archiveName, bool store);
  // Writes an entry below directory (the current directory when empty): with its
  // stored directories when subDirs is set (created as needed), else directly. A
  // stored name may use "/" or "\" as separator; an absolute name, or one that climbs
  // out of the directory with "..", is refused, and so is a symbolic link anywhere
  // below the directory where the entry's path passes (RefusedLink then names it).
  // A directory entry only creates its directory. False on any failure, also when the
  // archive is open for writing only.
  bool Extract(std::size_t index, TTextView directory, bool subDirs);
  // Extracts every entry in order with their directories; stops at the first failure.
  bool ExtractAll(TTextView directory);
  // The path (directory joined with the entry's parts up to the link) of the symbolic
  // link that made the last extraction fail; empty when no link was in the way.
  const TText &RefusedLink() const { return FRefusedLink; }

private:
  TZipArchive FArchive;
  TBytes FNativeName;
  TZipMode FMode = TZipMode::Closed;
  bool FChanged = false;
  TText FRefusedLink;
};

// The path below a target directory at which an entry name is extracted, with "/" as
// separator: "." and empty parts dropped, ".." taking back the part before it. False
// for an absolute name, a name that climbs above the directory, or one holding a NUL
// character. A name ending in a separator keeps one trailing "/".
bool ZipEntryRelativePath(TTextView entryName, TText &relativePath);
