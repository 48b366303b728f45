// Reading a file's VERSIONINFO resource through the system's version services.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct TVersionResource {
  std::optional<std::uint32_t> FileFlags;   // from the fixed file information, when present
  std::map<std::string, std::string> Texts; // key -> UTF-8 text, the keys that were found
};

// The version resource of the file at path (empty: the running program's own
// file). The texts come from the string table of the resource's first
// translation; a resource without translation table gives the flags only.
// Empty optional when the file cannot be read or has no version resource.
std::optional<TVersionResource> ReadVersionResource(std::u16string_view path,
                                                    std::span<const char *const> keys);

} // namespace platform
