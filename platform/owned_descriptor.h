// Owns one open file descriptor and closes it once, through the system-call seam.
#pragma once

#include "platform/system_calls.h"

namespace platform {

class TOwnedDescriptor {
public:
  TOwnedDescriptor() = default;
  explicit TOwnedDescriptor(int fd) : FFd(fd) {}
  ~TOwnedDescriptor() { Reset(-1); }
  TOwnedDescriptor(const TOwnedDescriptor &) = delete;
  TOwnedDescriptor &operator=(const TOwnedDescriptor &) = delete;

  int Get() const { return FFd; }
  bool IsOpen() const { return FFd >= 0; }
  void Reset(int fd) {
    if (FFd >= 0)
      sys::Close(FFd);
    FFd = fd;
  }
  // The close a late write error shows up in.
  bool Close() {
    int fd = FFd;
    FFd = -1;
    return sys::Close(fd) == 0;
  }

private:
  int FFd = -1;
};

} // namespace platform
