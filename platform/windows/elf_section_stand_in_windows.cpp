// A stand-in until the version information is read from the program's VERSIONINFO
// resource: a Windows program carries no ELF sections, so there is none to find.
#include "platform/elf_section.h"

namespace platform {

std::optional<std::string> ReadElfSection(const std::string &, const std::string &) {
  return std::nullopt;
}

std::optional<std::string> ElfSectionFromImage(std::string_view, const std::string &) {
  return std::nullopt;
}

} // namespace platform
