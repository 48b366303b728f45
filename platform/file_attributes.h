// Carrying a file's extended attributes (its POSIX ACL among them) over to the file
// that replaces or copies it, so that a rewrite neither loses them nor opens the
// file to anyone it was closed to.
#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

// Gives the open file `targetFd` every extended attribute of the file `source` (links
// followed) that this process can read. Call it after the mode is set: the ACL is
// set last, so that its mask, not the mode's group bits, decides what the group may
// do. Where `source` has no access ACL, one the target inherited from its directory
// is removed, so the target ends with the source's access rights.
// Fails (errno set) when an access-control attribute (system.*: POSIX ACLs and the
// ACLs of network file systems) cannot be read or set, since the file would then end
// up with other access than before; likewise for a user.* attribute the target
// refuses for any reason but not having user attributes at all (a copy to such a
// file system), so that a rewrite on the same file system loses none of them.
// security.* and trusted.* attributes that cannot be set are left out: the process
// lacks the privilege, and the target keeps what the system gives any new file.
bool CopyFileAttributes(const std::string &source, int targetFd);

// Gives the open file the permission bits `mode`. A file system that cannot store
// them (it answers with a fixed mode) is no failure when the file already shows
// them; any other refusal is, since the replacement would end up with other access
// than the file it replaces.
bool SetFileMode(int fd, mode_t mode);

} // namespace platform
