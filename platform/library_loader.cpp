#include "platform/library_loader.h"

#include <dlfcn.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes the descriptor on every exit path; the mapping made by dlopen outlives it.
struct TFileDescriptor {
  int Fd;
  ~TFileDescriptor() {
    if (Fd >= 0)
      close(Fd);
  }
};

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = write(fd, data.data(), data.size());
    if (written <= 0)
      return false;
    data.remove_prefix(size_t(written));
  }
  return true;
}

} // namespace

void *LoadLibraryFromMemory(std::string_view image) {
  if (image.empty())
    return nullptr;
  TFileDescriptor file{memfd_create("redevuvo-runtime", MFD_CLOEXEC)};
  if (file.Fd < 0 || !WriteAll(file.Fd, image))
    return nullptr;
  std::string path = "/proc/self/fd/" + std::to_string(file.Fd);
  return dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

void *LibrarySymbol(void *library, const char *name) {
  return library ? dlsym(library, name) : nullptr;
}

void FreeLibrary(void *library) {
  if (library)
    dlclose(library);
}

} // namespace platform
