// Reading one named section out of an ELF file, as the version information is
// carried in the executable's own section instead of a resource.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The contents of the section called sectionName in the 64-bit little-endian ELF
// file at path. Empty optional when the file cannot be read, is not such an ELF
// file, is malformed or truncated, or has no section of that name. A section that
// occupies no file space (SHT_NOBITS) gives an empty string.
std::optional<std::string> ReadElfSection(const std::string &path, const std::string &sectionName);

// The same over an ELF image already in memory.
std::optional<std::string> ElfSectionFromImage(std::string_view image,
                                               const std::string &sectionName);

} // namespace platform
