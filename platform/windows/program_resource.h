// Raw data resources of the running program's own module.
#pragma once

#include <string_view>

namespace platform {

// The bytes of the RCDATA resource called name (ASCII) in the program's own
// module; empty when there is no such resource. The bytes live as long as the
// program.
std::string_view ProgramDataResource(std::string_view name);

} // namespace platform
