#include "platform/environment.h"

#include <cstdlib>

#include "platform/code_page.h"

namespace platform {

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
  const std::string bytes = TextToBytes(name);
  if (bytes.empty() || bytes.find_first_of(std::string_view("=\0", 2)) != std::string::npos)
    return std::nullopt;
  const char *value = std::getenv(bytes.c_str());
  if (value == nullptr)
    return std::nullopt;
  return BytesToText(value);
}

} // namespace platform
