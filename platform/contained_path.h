// Files and directories created strictly below a base directory, one name part at a
// time, relative to the directory opened before it: a symbolic link below the base
// is never followed, so what an archive entry names cannot be carried elsewhere by
// a link someone placed in the target tree (also not by one placed there while the
// parts are walked). The base itself is taken as given, links included.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class TContainedResult {
  Done,
  Failed,
  // A symbolic link stands where a part of the path was to be.
  LinkRefused,
};

// Opens (creating when `create` is set and missing) every directory that `relative`
// names below `base` ("" for the current directory); parts are separated by "/",
// empty parts are skipped. On LinkRefused `linkPart` holds the relative path up to
// and including the part that is a link.
TContainedResult CreateDirectoriesBelow(const std::string &base, std::string_view relative,
                                        std::string &linkPart);

// Writes `content` to the file `relative` names below `base`, its parent directories
// created as needed when `createParents` is set (else they must exist). The file is
// replaced as a whole: written beside its final name and renamed over it, keeping the
// mode bits (and owner where permitted) of a file that stood there; a new file gets
// 0666 less the umask. A file without any write bit, or one the process may not
// write, is never replaced; anything that is not a regular file (a directory, a
// device, a FIFO) fails. A failed write leaves no temporary file and the old file
// whole. LinkRefused as above, also for a link at the file's own name.
TContainedResult WriteFileBelow(const std::string &base, std::string_view relative,
                                std::string_view content, bool createParents,
                                std::string &linkPart);

} // namespace platform
