#include "platform/path_parts.h"

namespace platform {

std::vector<std::string> SplitPathParts(std::string_view relative, std::string_view separators) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < relative.size()) {
    std::size_t stop = relative.find_first_of(separators, start);
    if (stop == std::string_view::npos)
      stop = relative.size();
    if (stop > start)
      parts.emplace_back(relative.substr(start, stop - start));
    start = stop + 1;
  }
  return parts;
}

std::string JoinPathParts(const std::vector<std::string> &parts, std::size_t count,
                          char separator) {
  std::string joined;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0)
      joined += separator;
    joined += parts[i];
  }
  return joined;
}

} // namespace platform
