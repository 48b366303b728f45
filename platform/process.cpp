#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace platform {

std::string ProgramPath() {
  std::string buffer(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0)
      return {};
    // A result that fills the buffer may have been cut off.
    if (size_t(n) < buffer.size()) {
      buffer.resize(size_t(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> GetEnvironmentVariable(const std::string &name) {
  if (name.empty() || name.find_first_of(std::string("=\0", 2)) != std::string::npos)
    return std::nullopt;
  const char *value = std::getenv(name.c_str());
  if (value == nullptr)
    return std::nullopt;
  return std::string(value);
}

std::string TemporaryDirectory() {
  return FirstSetEnvironmentVariable({"TMPDIR"}).value_or("/tmp");
}

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(buffer.find('\0'));
      // Older C libraries report an unreachable directory this way instead of failing.
      if (buffer.empty() || buffer[0] != '/')
        return {};
      return buffer;
    }
    if (errno != ERANGE)
      return {};
    buffer.resize(buffer.size() * 2);
  }
}

} // namespace platform
