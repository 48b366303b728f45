#include "tests/support/extended_attributes.h"

#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

constexpr uint32_t AclVersion = 2;
constexpr uint16_t GroupObjectTag = 4;
constexpr uint16_t MaskTag = 0x10;
constexpr size_t AclEntrySize = 8;

std::string Attribute(const std::string &path, const std::string &name) {
  ssize_t size = getxattr(path.c_str(), name.c_str(), nullptr, 0);
  if (size < 0)
    return std::string();
  std::string value(size_t(size), '\0');
  size = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
  value.resize(size < 0 ? 0 : size_t(size));
  return value;
}

} // namespace

std::map<std::string, std::string> ExtendedAttributes(const std::string &path) {
  std::map<std::string, std::string> attributes;
  ssize_t size = listxattr(path.c_str(), nullptr, 0);
  if (size <= 0)
    return attributes;
  std::string names(size_t(size), '\0');
  size = listxattr(path.c_str(), names.data(), names.size());
  names.resize(size < 0 ? 0 : size_t(size));
  for (size_t start = 0; start < names.size(); start = names.find('\0', start) + 1) {
    std::string name = names.c_str() + start;
    attributes[name] = Attribute(path, name);
  }
  return attributes;
}

bool SetExtendedAttribute(const std::string &path, const std::string &name,
                          const std::string &value) {
  return setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

std::string AclValue(const std::vector<TAclEntry> &entries) {
  std::string value(reinterpret_cast<const char *>(&AclVersion), sizeof AclVersion);
  for (const TAclEntry &entry : entries) {
    char bytes[AclEntrySize];
    std::memcpy(bytes, &entry.Tag, 2);
    std::memcpy(bytes + 2, &entry.Permissions, 2);
    std::memcpy(bytes + 4, &entry.Id, 4);
    value.append(bytes, sizeof bytes);
  }
  return value;
}

bool OwningGroupMayWrite(const std::string &path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return false;
  std::string acl = Attribute(path, "system.posix_acl_access");
  if (acl.size() < sizeof AclVersion)
    return (info.st_mode & S_IWGRP) != 0;
  uint16_t group = 0, mask = 7;
  for (size_t at = sizeof AclVersion; at + AclEntrySize <= acl.size(); at += AclEntrySize) {
    uint16_t tag, permissions;
    std::memcpy(&tag, acl.data() + at, 2);
    std::memcpy(&permissions, acl.data() + at + 2, 2);
    if (tag == GroupObjectTag)
      group = permissions;
    else if (tag == MaskTag)
      mask = permissions;
  }
  return (group & mask & 2) != 0;
}
