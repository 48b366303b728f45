// What the process knows about itself: its executable, its environment and its
// current directory.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The full path of the running executable (from /proc/self/exe); empty if unknown.
std::string ProgramPath();

// The value of an environment variable, nullopt when it is not set (an empty value
// is a value).
std::optional<std::string> GetEnvironmentVariable(const std::string &name);

// The current working directory as an absolute path of any length; empty when it
// cannot be determined (for example after it was removed).
std::string CurrentDirectory();

} // namespace platform
