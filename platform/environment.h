// Environment variables as host text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of the variable name (exact spelling), converted through the code page;
// nothing when it is not set or the name cannot be a variable name ("", or with "=").
std::optional<std::u16string> EnvironmentVariable(std::u16string_view name);

// s with every %NAME% replaced by the variable's value; references to variables that
// are not set stay as written.
std::u16string ExpandEnvironment(std::u16string_view s);

} // namespace platform
