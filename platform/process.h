// What the process knows about itself: its executable, its environment and its
// current directory.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

namespace platform {

// The full path of the running executable (from /proc/self/exe); empty if unknown.
std::string ProgramPath();

// The value of an environment variable, nullopt when it is not set (an empty value
// is a value).
std::optional<std::string> GetEnvironmentVariable(const std::string &name);

// The value of the first of the variables that is set and not empty (locale
// settings are read this way).
std::optional<std::string> FirstSetEnvironmentVariable(std::initializer_list<const char *> names);

// The directory for temporary files, as the system names it: $TMPDIR when set and
// not empty, else /tmp; on Windows GetTempPathW (TMP, TEMP, USERPROFILE or the
// Windows directory). Trailing separators are the caller's to drop.
std::string TemporaryDirectory();

// The current working directory as an absolute path of any length; empty when it
// cannot be determined (for example after it was removed).
std::string CurrentDirectory();

} // namespace platform
