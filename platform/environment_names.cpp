// What both systems read from the environment the same way: the first variable of a
// list that is set, and the locale name the collation follows.
#include "platform/locale_collation.h"
#include "platform/process.h"

namespace platform {

std::optional<std::string> FirstSetEnvironmentVariable(std::initializer_list<const char *> names) {
  for (const char *name : names)
    if (std::optional<std::string> value = GetEnvironmentVariable(name); value && !value->empty())
      return value;
  return std::nullopt;
}

// On Windows the collation follows the user's default locale instead; the name is
// still what callers show and test.
std::string CollationLocaleName(std::string_view localeVariable) {
  const size_t end = localeVariable.find_first_of(".@");
  std::string_view name = localeVariable.substr(0, end);
  if (name == "C" || name == "POSIX")
    return {};
  return std::string(name);
}

std::string CollationLocaleFromEnvironment() {
  std::optional<std::string> locale = FirstSetEnvironmentVariable({"LC_ALL", "LC_COLLATE", "LANG"});
  return locale ? CollationLocaleName(*locale) : std::string();
}

} // namespace platform
