// The resources the Windows build carries: the runtime image as RCDATA "LUALIB"
// and the VERSIONINFO with the build's version texts, read back through the
// system's resource and version services, as the program reads its own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/version/version_info.h"
#include "platform/windows/file_version_resource.h"
#include "platform/windows/program_resource.h"
#include "version_texts.h"

namespace {

std::u16string Wide(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

struct TVersionText {
  const char *Key;
  const char *Expected;
};

constexpr TVersionText VersionTexts[] = {
    {"CompanyName", REDEVUVO_COMPANY_NAME},
    {"FileDescription", REDEVUVO_FILE_DESCRIPTION},
    {"FileVersion", REDEVUVO_FILE_VERSION},
    {"InternalName", REDEVUVO_INTERNAL_NAME},
    {"LegalCopyright", REDEVUVO_LEGAL_COPYRIGHT},
    {"LegalTrademarks", REDEVUVO_LEGAL_TRADEMARKS},
    {"OriginalFilename", REDEVUVO_ORIGINAL_FILENAME},
    {"ProductName", REDEVUVO_PRODUCT_NAME},
    {"ProductVersion", REDEVUVO_PRODUCT_VERSION},
    {"Comments", REDEVUVO_COMMENTS},
    {"Mail", REDEVUVO_MAIL},
    {"Internet", REDEVUVO_INTERNET},
};

std::vector<const char *> Keys() {
  std::vector<const char *> keys;
  for (const TVersionText &text : VersionTexts)
    keys.push_back(text.Key);
  keys.push_back("NoSuchKey");
  return keys;
}

} // namespace

TEST(ProgramResources, CarryTheRuntimeImageAsBuilt) {
  std::string_view image = platform::ProgramDataResource("LUALIB");
  std::ifstream in(REDEVUVO_LUA_DLL, std::ios::binary);
  std::string built{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(built.empty()) << REDEVUVO_LUA_DLL;
  EXPECT_EQ(image, built);
  EXPECT_EQ(platform::ProgramDataResource("lualib"), image); // resource names ignore case
  EXPECT_TRUE(platform::ProgramDataResource("NO_SUCH_RESOURCE").empty());
}

TEST(ProgramResources, VersionResourceHoldsTheBuildsTexts) {
  std::vector<const char *> keys = Keys();
  std::optional<platform::TVersionResource> own = platform::ReadVersionResource(u"", keys);
  ASSERT_TRUE(own);
  for (const TVersionText &text : VersionTexts) {
    auto found = own->Texts.find(text.Key);
    ASSERT_NE(found, own->Texts.end()) << text.Key;
    EXPECT_EQ(found->second, text.Expected) << text.Key;
  }
  EXPECT_EQ(own->Texts.count("NoSuchKey"), 0u);
  EXPECT_EQ(own->FileFlags, std::optional<std::uint32_t>(REDEVUVO_FILE_FLAGS));

  // The runtime library has no version resource; a missing file has nothing.
  EXPECT_FALSE(platform::ReadVersionResource(Wide(REDEVUVO_LUA_DLL), keys));
  EXPECT_FALSE(platform::ReadVersionResource(u"Z:\\no\\such\\program.exe", keys));
}

TEST(ProgramResources, InfoVersionReadsTheOwnResource) {
  TInfoVersion info;
  info.Execute();
  EXPECT_EQ(info.ProductName(), Wide(REDEVUVO_PRODUCT_NAME));
  EXPECT_EQ(info.LegalCopyright(), Wide(REDEVUVO_LEGAL_COPYRIGHT));
  EXPECT_EQ(info.FileVersion(), Wide(REDEVUVO_FILE_VERSION));
  EXPECT_EQ(info.ShortFileVersion(), ShortVersion(Wide(REDEVUVO_FILE_VERSION)));
  EXPECT_EQ(info.FileVersionNumber(), PackedVersion(Wide(REDEVUVO_FILE_VERSION)));
  EXPECT_EQ(info.Mail(), Wide(REDEVUVO_MAIL));
  EXPECT_EQ(info.Internet(), Wide(REDEVUVO_INTERNET));

  TInfoVersion missing;
  missing.SetProgramName(u"Z:\\no\\such\\program.exe");
  missing.Execute();
  EXPECT_EQ(missing.ProductName(), u"");
}
