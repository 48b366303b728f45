#include "platform/file_attributes.h"

#include <cerrno>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <vector>

#include "platform/system_calls.h"

namespace platform {
namespace {

constexpr std::string_view AccessAclName = "system.posix_acl_access";

bool HasPrefix(std::string_view name, std::string_view prefix) {
  return name.substr(0, prefix.size()) == prefix;
}

// Attributes that decide who may use the file.
bool GuardsAccess(std::string_view name) {
  return HasPrefix(name, "system.");
}

// Whether leaving out an attribute the target refused (with `error`) is safe.
bool MayLeaveOut(std::string_view name, int error) {
  if (GuardsAccess(name))
    return false;
  if (HasPrefix(name, "user."))
    return error == EOPNOTSUPP;
  return true;
}

// The names of the file's attributes; none where the file system has no attributes.
bool ListNames(const std::string &path, std::vector<std::string> &names) {
  for (;;) {
    ssize_t size = sys::ListXattr(path.c_str(), nullptr, 0);
    if (size < 0)
      return errno == EOPNOTSUPP;
    // Most files have none; asking again for an empty list would only repeat that.
    if (size == 0)
      return true;
    std::string buffer(size_t(size), '\0');
    size = sys::ListXattr(path.c_str(), buffer.data(), buffer.size());
    if (size < 0 && errno == ERANGE)
      continue; // an attribute was added meanwhile
    if (size < 0)
      return false;
    buffer.resize(size_t(size));
    for (size_t start = 0; start < buffer.size();) {
      size_t end = buffer.find('\0', start);
      if (end == std::string::npos)
        end = buffer.size();
      if (end > start)
        names.push_back(buffer.substr(start, end - start));
      start = end + 1;
    }
    return true;
  }
}

bool ReadValue(const std::string &path, const std::string &name, std::string &value) {
  for (;;) {
    ssize_t size = sys::GetXattr(path.c_str(), name.c_str(), nullptr, 0);
    if (size < 0)
      return false;
    value.assign(size_t(size), '\0');
    size = sys::GetXattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (size >= 0) {
      value.resize(size_t(size));
      return true;
    }
    if (errno != ERANGE)
      return false;
  }
}

bool CopyOne(const std::string &source, const std::string &name, int targetFd) {
  std::string value;
  if (!ReadValue(source, name, value))
    // What this process may not read is not its to carry, and what vanished meanwhile
    // is gone from the source too; an ACL it cannot read would leave the target's
    // access unknown, and a failing disk would lose the attribute.
    return errno == ENODATA || (!GuardsAccess(name) && (errno == EACCES || errno == EPERM));
  if (sys::Fsetxattr(targetFd, name.c_str(), value.data(), value.size(), 0) == 0)
    return true;
  return MayLeaveOut(name, errno);
}

} // namespace

bool CopyFileAttributes(const std::string &source, int targetFd) {
  std::vector<std::string> names;
  if (!ListNames(source, names))
    return false;
  bool hasAccessAcl = false;
  for (const std::string &name : names) {
    if (name == AccessAclName)
      hasAccessAcl = true;
    if (!GuardsAccess(name) && !CopyOne(source, name, targetFd))
      return false;
  }
  // Setting the ACL also sets the mode's permission bits from it; after it nothing
  // may touch the mode again.
  for (const std::string &name : names) {
    if (GuardsAccess(name) && !CopyOne(source, name, targetFd))
      return false;
  }
  if (!hasAccessAcl && sys::Fremovexattr(targetFd, std::string(AccessAclName).c_str()) != 0 &&
      errno != ENODATA && errno != EOPNOTSUPP)
    return false;
  return true;
}

bool SetFileMode(int fd, mode_t mode) {
  if (sys::Fchmod(fd, mode) == 0)
    return true;
  int error = errno;
  struct stat info;
  if (fstat(fd, &info) == 0 && (info.st_mode & 07777) == mode)
    return true;
  errno = error;
  return false;
}

} // namespace platform
