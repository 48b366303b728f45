#include "core/version/version_resource.h"

#include "version_texts.h"

#define REDEVUVO_STRINGIFY_VALUE(x) #x
#define REDEVUVO_STRINGIFY(x) REDEVUVO_STRINGIFY_VALUE(x)

namespace {

// The parser below lives in this same object file on purpose: the version reader
// calls it, so the linker always takes this object, and with it the section, out
// of the static library into every executable that reads version information.
__attribute__((section(".redevuvo_version"), used)) const char VersionSection[] =
    "CompanyName=" REDEVUVO_COMPANY_NAME "\0"
    "FileDescription=" REDEVUVO_FILE_DESCRIPTION "\0"
    "FileVersion=" REDEVUVO_FILE_VERSION "\0"
    "InternalName=" REDEVUVO_INTERNAL_NAME "\0"
    "LegalCopyright=" REDEVUVO_LEGAL_COPYRIGHT "\0"
    "LegalTrademarks=" REDEVUVO_LEGAL_TRADEMARKS "\0"
    "OriginalFilename=" REDEVUVO_ORIGINAL_FILENAME "\0"
    "ProductName=" REDEVUVO_PRODUCT_NAME "\0"
    "ProductVersion=" REDEVUVO_PRODUCT_VERSION "\0"
    "Comments=" REDEVUVO_COMMENTS "\0"
    "Mail=" REDEVUVO_MAIL "\0"
    "Internet=" REDEVUVO_INTERNET "\0"
    "FileFlags=" REDEVUVO_STRINGIFY(REDEVUVO_FILE_FLAGS);

} // namespace

std::map<std::string, std::string> ParseVersionSection(std::string_view contents) {
  std::map<std::string, std::string> entries;
  while (!contents.empty()) {
    std::size_t end = contents.find('\0');
    std::string_view entry = contents.substr(0, end);
    contents = end == std::string_view::npos ? std::string_view() : contents.substr(end + 1);
    std::size_t equals = entry.find('=');
    if (equals != std::string_view::npos)
      entries.emplace(entry.substr(0, equals), entry.substr(equals + 1));
  }
  return entries;
}

// The array's own terminating NUL ends the last entry.
std::string_view BuiltInVersionSection() {
  return {VersionSection, sizeof(VersionSection)};
}
