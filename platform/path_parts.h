// A relative name taken apart at its separators and put together again: the walk
// below a base directory goes one part at a time on both systems.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The non-empty parts of `relative` between any of the `separators`.
std::vector<std::string> SplitPathParts(std::string_view relative, std::string_view separators);
// The first `count` parts joined by `separator`.
std::string JoinPathParts(const std::vector<std::string> &parts, std::size_t count, char separator);

} // namespace platform
