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

std::u16string ExpandEnvironment(std::u16string_view s) {
  std::u16string result;
  result.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t open = s.find(u'%', i);
    if (open == std::u16string_view::npos) {
      result.append(s.substr(i));
      break;
    }
    result.append(s.substr(i, open - i));
    const std::size_t close = s.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      // An unfinished reference is copied as it stands.
      result.append(s.substr(open));
      break;
    }
    const std::u16string_view name = s.substr(open + 1, close - open - 1);
    const std::optional<std::u16string> value =
        name.empty() ? std::nullopt : EnvironmentVariable(name);
    // A variable that is not set keeps its reference, both percent signs included,
    // and scanning goes on after it.
    result.append(value ? std::u16string_view(*value) : s.substr(open, close - open + 1));
    i = close + 1;
  }
  return result;
}

} // namespace platform
