#include "core/version/version_info.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "core/version/version_resource.h"
#include "platform/code_page.h"
#ifdef _WIN32
#include "platform/windows/file_version_resource.h"
#else
#include "platform/elf_section.h"
#endif

namespace {

constexpr std::uint32_t FlagDebug = 0x1;
constexpr std::uint32_t FlagPrerelease = 0x2;
constexpr std::uint32_t FlagPrivateBuild = 0x8;
constexpr std::uint32_t FlagSpecialBuild = 0x20;

// A decimal integer with an optional sign that fits an int, nothing else.
std::optional<int> ParseInteger(TTextView text) {
  std::size_t pos = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) {
    negative = text[0] == u'-';
    pos = 1;
  }
  if (pos == text.size())
    return std::nullopt;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < u'0' || text[pos] > u'9')
      return std::nullopt;
    value = value * 10 + (text[pos] - u'0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(value);
}

// The numbers before the first count dots; none when a dot is missing or a piece
// is not a number.
std::optional<std::array<int, 3>> LeadingNumbers(TTextView version, int count) {
  std::array<int, 3> numbers{};
  std::size_t start = 0;
  for (int i = 0; i < count; ++i) {
    std::size_t dot = version.find(u'.', start);
    if (dot == TTextView::npos)
      return std::nullopt;
    std::optional<int> number = ParseInteger(version.substr(start, dot - start));
    if (!number)
      return std::nullopt;
    numbers[i] = *number;
    start = dot + 1;
  }
  return numbers;
}

TText Utf8ToText(const std::string &bytes) {
  static const platform::TCodePage utf8 = platform::TCodePage::FromCharsetName("UTF-8");
  return utf8.Decode(bytes);
}

// C integer literal as the build writes it; anything else gives 0.
std::uint32_t ParseFlags(const std::string &text) {
  if (text.empty())
    return 0;
  char *end = nullptr;
  unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  return *end == '\0' ? static_cast<std::uint32_t>(value) : 0;
}

int CompareNumbers(std::uint32_t stored, std::uint32_t given) {
  return stored < given ? -1 : stored > given ? 1 : 0;
}

// The version entries of the chosen file as the version section spells them:
// the texts by key and "FileFlags". Empty when the file has none.
std::optional<std::map<std::string, std::string>> ReadVersionEntries(const TText &programName) {
#ifdef _WIN32
  static constexpr const char *Keys[] = {"CompanyName",
                                         "FileDescription",
                                         "FileVersion",
                                         "InternalName",
                                         "LegalCopyright",
                                         "LegalTrademarks",
                                         "OriginalFilename",
                                         "ProductName",
                                         "ProductVersion",
                                         "Comments",
                                         "Mail",
                                         "Internet"};
  std::optional<platform::TVersionResource> resource =
      platform::ReadVersionResource(programName, Keys);
  if (!resource)
    return std::nullopt;
  if (resource->FileFlags)
    resource->Texts.emplace("FileFlags", std::to_string(*resource->FileFlags));
  return std::move(resource->Texts);
#else
  std::string fileName = programName.empty() ? "/proc/self/exe" : TextToBytes(programName);
  std::optional<std::string> contents = platform::ReadElfSection(fileName, VersionSectionName);
  if (!contents)
    return std::nullopt;
  return ParseVersionSection(*contents);
#endif
}

} // namespace

TText MediumVersion(TTextView version) {
  std::optional<std::array<int, 3>> numbers = LeadingNumbers(version, 3);
  if (!numbers)
    return TText(version);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d.%.2d.%.2d", (*numbers)[0], (*numbers)[1], (*numbers)[2]);
  return AsciiText(buffer);
}

TText ShortVersion(TTextView version) {
  std::optional<std::array<int, 3>> numbers = LeadingNumbers(version, 2);
  if (!numbers)
    return TText(version);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d.%.2d", (*numbers)[0], (*numbers)[1]);
  return AsciiText(buffer);
}

std::uint32_t PackedVersion(TTextView version) {
  std::uint32_t packed = 0;
  std::size_t start = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    std::size_t end = version.find_first_of(u".,", start);
    TTextView part = version.substr(start, end == TTextView::npos ? TTextView::npos : end - start);
    packed += static_cast<std::uint32_t>(ParseInteger(part).value_or(0)) << shift;
    if (end == TTextView::npos)
      break;
    start = end + 1;
  }
  return packed;
}

std::uint32_t PackVersionNumbers(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                                 std::uint16_t num4) {
  return (static_cast<std::uint32_t>(num1) << 24) + (static_cast<std::uint32_t>(num2) << 16) +
         (static_cast<std::uint32_t>(num3) << 8) + num4;
}

void TInfoVersion::Clear() {
  TText programName = std::move(FProgramName);
  *this = TInfoVersion();
  FProgramName = std::move(programName);
}

void TInfoVersion::Execute() {
  Clear();
  std::optional<std::map<std::string, std::string>> read = ReadVersionEntries(FProgramName);
  if (!read)
    return;
  const std::map<std::string, std::string> &entries = *read;
  auto text = [&entries](const char *key) {
    auto found = entries.find(key);
    return found == entries.end() ? TText() : Utf8ToText(found->second);
  };

  auto flags = entries.find("FileFlags");
  if (flags != entries.end()) {
    std::uint32_t word = ParseFlags(flags->second);
    FDebugversion = (word & FlagDebug) != 0;
    FPrerelease = (word & FlagPrerelease) != 0;
    FPrivateBuild = (word & FlagPrivateBuild) != 0;
    FSpecialBuild = (word & FlagSpecialBuild) != 0;
  }

  FCompanyName = text("CompanyName");
  FFileDescription = text("FileDescription");
  FFileVersion = text("FileVersion");
  FMediumFileVersion = MediumVersion(FFileVersion);
  FShortFileVersion = ShortVersion(FFileVersion);
  FFileVersionNumber = PackedVersion(FFileVersion);
  FInternalName = text("InternalName");
  FLegalCopyright = text("LegalCopyright");
  FLegalTrademarks = text("LegalTrademarks");
  FOriginalFilename = text("OriginalFilename");
  FProductName = text("ProductName");
  FProductVersion = text("ProductVersion");
  FMediumProductVersion = MediumVersion(FProductVersion);
  FShortProductVersion = ShortVersion(FProductVersion);
  FProductVersionNumber = PackedVersion(FProductVersion);
  FComments = text("Comments");
  FMail = text("Mail");
  FInternet = text("Internet");
}

int TInfoVersion::CompareFileVersion(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                                     std::uint16_t num4) const {
  return CompareNumbers(FFileVersionNumber, PackVersionNumbers(num1, num2, num3, num4));
}

int TInfoVersion::CompareProductVersion(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                                        std::uint16_t num4) const {
  return CompareNumbers(FProductVersionNumber, PackVersionNumbers(num1, num2, num3, num4));
}
