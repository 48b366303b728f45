#include "platform/environment.h"

#include "platform/code_page.h"
#include "platform/process.h"

namespace platform {

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
  std::optional<std::string> value = GetEnvironmentVariable(TextToBytes(name));
  if (!value)
    return std::nullopt;
  return BytesToText(*value);
}

} // namespace platform
