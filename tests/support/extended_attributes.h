// Extended attributes and POSIX ACLs for tests, set and read with the system calls
// themselves, so that the tests need no tools.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Every extended attribute of a file (links followed), name to value.
std::map<std::string, std::string> ExtendedAttributes(const std::string &path);

// Sets one attribute; false (errno set) when the file system refuses it.
bool SetExtendedAttribute(const std::string &path, const std::string &name,
                          const std::string &value);

// One entry of a POSIX ACL: the kernel's tag (1 owner, 2 named user, 4 owning group,
// 8 named group, 0x10 mask, 0x20 others), permission bits (4 r, 2 w, 1 x), and the id
// of a named user or group.
struct TAclEntry {
  uint16_t Tag;
  uint16_t Permissions;
  uint32_t Id = uint32_t(-1);
};

// The value of system.posix_acl_access for these entries.
std::string AclValue(const std::vector<TAclEntry> &entries);

// Whether the file's owning group may write it: the group entry limited by the ACL's
// mask where there is an ACL, else the mode's group bits.
bool OwningGroupMayWrite(const std::string &path);
