#include "platform/directory_listing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct TDirCloser {
  void operator()(DIR *dir) const { closedir(dir); }
};

TEntryKind KindOf(unsigned char type) {
  switch (type) {
  case DT_REG:
    return TEntryKind::File;
  case DT_DIR:
    return TEntryKind::Directory;
  case DT_LNK:
    return TEntryKind::Link;
  case DT_UNKNOWN:
    return TEntryKind::Unknown;
  default:
    return TEntryKind::Other;
  }
}

} // namespace

int ListDirectory(const std::string &directory, std::vector<TDirectoryEntry> &entries,
                  TDirectoryIdentity &identity) {
  entries.clear();
  // O_DIRECTORY refuses anything else, so a name that was swapped for a FIFO since
  // its status was read cannot block the open.
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    int error = errno;
    close(fd);
    return error;
  }
  identity.FDevice = st.st_dev;
  identity.FInode = st.st_ino;
  std::unique_ptr<DIR, TDirCloser> dir(fdopendir(fd));
  if (!dir) {
    int error = errno;
    close(fd);
    return error;
  }
  for (;;) {
    errno = 0;
    const dirent *entry = readdir(dir.get());
    if (entry == nullptr)
      return errno;
    const char *name = entry->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
      continue;
    entries.push_back({name, KindOf(entry->d_type), name[0] == '.'});
  }
}

} // namespace platform
