#include "core/version/version_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/version/version_resource.h"
#include "platform/code_page.h"
#include "platform/elf_section.h"
#include "tests/unit/platform/elf_image_builder.h"
#include "version_texts.h"

namespace {

TText Utf8(const char *bytes) {
  return platform::TCodePage::FromCharsetName("UTF-8").Decode(bytes);
}

// A literal with embedded NULs, without its final NUL.
template <std::size_t N> std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string WriteTempFile(const std::string &name, const std::string &bytes) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ElfWithVersion(const std::string &contents) {
  return BuildElfImage({{".text", "code"}, {VersionSectionName, contents}}).Bytes;
}

void ExpectAllEmpty(const TInfoVersion &info) {
  EXPECT_EQ(info.CompanyName(), u"");
  EXPECT_EQ(info.FileDescription(), u"");
  EXPECT_EQ(info.FileVersion(), u"");
  EXPECT_EQ(info.InternalName(), u"");
  EXPECT_EQ(info.LegalCopyright(), u"");
  EXPECT_EQ(info.LegalTrademarks(), u"");
  EXPECT_EQ(info.MediumFileVersion(), u"");
  EXPECT_EQ(info.MediumProductVersion(), u"");
  EXPECT_EQ(info.OriginalFilename(), u"");
  EXPECT_EQ(info.ProductName(), u"");
  EXPECT_EQ(info.ProductVersion(), u"");
  EXPECT_EQ(info.ShortFileVersion(), u"");
  EXPECT_EQ(info.ShortProductVersion(), u"");
  EXPECT_EQ(info.FileVersionNumber(), 0u);
  EXPECT_EQ(info.ProductVersionNumber(), 0u);
  EXPECT_EQ(info.Comments(), u"");
  EXPECT_EQ(info.Mail(), u"");
  EXPECT_EQ(info.Internet(), u"");
  EXPECT_FALSE(info.Debugversion());
  EXPECT_FALSE(info.Prerelease());
  EXPECT_FALSE(info.PrivateBuild());
  EXPECT_FALSE(info.SpecialBuild());
}

TInfoVersion ExecuteOn(const std::string &path) {
  TInfoVersion info;
  info.SetProgramName(BytesToText(path));
  info.Execute();
  return info;
}

} // namespace

TEST(InfoVersion, FieldsAreEmptyBeforeExecute) {
  ExpectAllEmpty(TInfoVersion());
}

TEST(InfoVersion, EmptyProgramNameReadsOwnSection) {
  TInfoVersion info;
  info.Execute();
  EXPECT_EQ(info.CompanyName(), Utf8(REDEVUVO_COMPANY_NAME));
  EXPECT_EQ(info.FileDescription(), Utf8(REDEVUVO_FILE_DESCRIPTION));
  EXPECT_EQ(info.FileVersion(), Utf8(REDEVUVO_FILE_VERSION));
  EXPECT_EQ(info.InternalName(), Utf8(REDEVUVO_INTERNAL_NAME));
  EXPECT_EQ(info.LegalCopyright(), Utf8(REDEVUVO_LEGAL_COPYRIGHT));
  EXPECT_EQ(info.LegalTrademarks(), Utf8(REDEVUVO_LEGAL_TRADEMARKS));
  EXPECT_EQ(info.OriginalFilename(), Utf8(REDEVUVO_ORIGINAL_FILENAME));
  EXPECT_EQ(info.ProductName(), Utf8(REDEVUVO_PRODUCT_NAME));
  EXPECT_EQ(info.ProductVersion(), Utf8(REDEVUVO_PRODUCT_VERSION));
  EXPECT_EQ(info.Comments(), Utf8(REDEVUVO_COMMENTS));
  EXPECT_EQ(info.Mail(), Utf8(REDEVUVO_MAIL));
  EXPECT_EQ(info.Internet(), Utf8(REDEVUVO_INTERNET));
  EXPECT_FALSE(info.FileVersion().empty());
  EXPECT_EQ(info.ShortFileVersion(), ShortVersion(info.FileVersion()));
  EXPECT_EQ(info.MediumFileVersion(), MediumVersion(info.FileVersion()));
  EXPECT_EQ(info.FileVersionNumber(), PackedVersion(info.FileVersion()));
  EXPECT_NE(info.FileVersionNumber(), 0u);
  EXPECT_EQ(info.ProductVersionNumber(), PackedVersion(info.ProductVersion()));
  const unsigned flags = REDEVUVO_FILE_FLAGS;
  EXPECT_EQ(info.Debugversion(), (flags & 0x1) != 0);
  EXPECT_EQ(info.Prerelease(), (flags & 0x2) != 0);
  EXPECT_EQ(info.PrivateBuild(), (flags & 0x8) != 0);
  EXPECT_EQ(info.SpecialBuild(), (flags & 0x20) != 0);
}

TEST(InfoVersion, OwnFileByNameGivesTheSameTexts) {
  TInfoVersion own;
  own.Execute();
  TInfoVersion named = ExecuteOn(std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(named.FileVersion(), own.FileVersion());
  EXPECT_EQ(named.LegalCopyright(), own.LegalCopyright());
}

TEST(InfoVersion, SectionInExecutableMatchesCompiledData) {
  std::optional<std::string> section =
      platform::ReadElfSection("/proc/self/exe", VersionSectionName);
  ASSERT_TRUE(section.has_value());
  EXPECT_EQ(section->substr(0, BuiltInVersionSection().size()), BuiltInVersionSection());
}

TEST(InfoVersion, MissingFileLeavesEverythingEmpty) {
  TInfoVersion info;
  info.Execute(); // filled from the own file first: a later failed read must clear it
  ASSERT_FALSE(info.FileVersion().empty());
  info.SetProgramName(BytesToText(::testing::TempDir() + "no_such_program"));
  info.Execute();
  ExpectAllEmpty(info);
}

TEST(InfoVersion, NonElfAndTruncatedFilesLeaveEverythingEmpty) {
  ExpectAllEmpty(ExecuteOn(WriteTempFile("version_not_elf", "MZ\x90\0 plain bytes")));
  std::string own = ReadFile("/proc/self/exe");
  ASSERT_GT(own.size(), 4096u);
  ExpectAllEmpty(ExecuteOn(WriteTempFile("version_truncated_head", own.substr(0, 4096))));
  ExpectAllEmpty(ExecuteOn(WriteTempFile("version_truncated_half", own.substr(0, own.size() / 2))));
  std::string built = ElfWithVersion("FileVersion=1.2.3.4");
  ExpectAllEmpty(
      ExecuteOn(WriteTempFile("version_truncated_built", built.substr(0, built.size() - 1))));
  ExpectAllEmpty(ExecuteOn(::testing::TempDir()));
}

TEST(InfoVersion, ElfWithoutVersionSectionLeavesEverythingEmpty) {
  ExpectAllEmpty(
      ExecuteOn(WriteTempFile("version_other_sections", BuildElfImage({{".text", "code"}}).Bytes)));
}

TEST(InfoVersion, ReadsTextsAndFlagsOfAnotherFile) {
  std::string contents = Bytes("FileVersion=2.13.0.0\0ProductVersion=3.5.1.7\0"
                               "ProductName=Pr\xC3\xBC"
                               "fer\0Mail=a@b.c\0FileFlags=0x2B\0\0\0");
  TInfoVersion info = ExecuteOn(WriteTempFile("version_other", ElfWithVersion(contents)));
  EXPECT_EQ(info.FileVersion(), u"2.13.0.0");
  EXPECT_EQ(info.ShortFileVersion(), u"2.13");
  EXPECT_EQ(info.MediumFileVersion(), u"2.13.00");
  EXPECT_EQ(info.FileVersionNumber(), 0x020D0000u);
  EXPECT_EQ(info.ProductVersion(), u"3.5.1.7");
  EXPECT_EQ(info.ShortProductVersion(), u"3.05");
  EXPECT_EQ(info.MediumProductVersion(), u"3.05.01");
  EXPECT_EQ(info.ProductVersionNumber(), 0x03050107u);
  EXPECT_EQ(info.ProductName(), u"Prüfer");
  EXPECT_EQ(info.Mail(), u"a@b.c");
  EXPECT_EQ(info.CompanyName(), u""); // a key missing from the section stays empty
  EXPECT_TRUE(info.Debugversion());   // 0x2B = 0x20 | 0x8 | 0x2 | 0x1
  EXPECT_TRUE(info.Prerelease());
  EXPECT_TRUE(info.PrivateBuild());
  EXPECT_TRUE(info.SpecialBuild());
}

TEST(InfoVersion, EachFlagBitSetsItsOwnFlag) {
  struct {
    const char *flags;
    bool debug, prerelease, privateBuild, special;
  } cases[] = {
      {"1", true, false, false, false},     {"2", false, true, false, false},
      {"8", false, false, true, false},     {"32", false, false, false, true},
      {"0x14", false, false, false, false}, {"junk", false, false, false, false},
  };
  for (const auto &c : cases) {
    std::string contents = std::string("FileFlags=") + c.flags;
    TInfoVersion info = ExecuteOn(WriteTempFile("version_flags", ElfWithVersion(contents)));
    EXPECT_EQ(info.Debugversion(), c.debug) << c.flags;
    EXPECT_EQ(info.Prerelease(), c.prerelease) << c.flags;
    EXPECT_EQ(info.PrivateBuild(), c.privateBuild) << c.flags;
    EXPECT_EQ(info.SpecialBuild(), c.special) << c.flags;
  }
}

TEST(VersionForms, MediumAndShortForms) {
  struct {
    std::u16string version, medium, shortForm;
  } cases[] = {
      {u"2.13.0.5", u"2.13.00", u"2.13"},
      {u"2.5.0.0", u"2.05.00", u"2.05"},
      {u"2.13.0.0", u"2.13.00", u"2.13"},
      {u"2.13", u"2.13", u"2.13"},      // one dot: both forms keep the text
      {u"2.13.7", u"2.13.7", u"2.13"},  // two dots: medium keeps the text
      {u"1.2.3.", u"1.02.03", u"1.02"}, // third dot present, fourth number empty
      {u"10.100.1000.1", u"10.100.1000", u"10.100"},
      {u"7", u"7", u"7"},
      {u"", u"", u""},
      {u"2.x.0.0", u"2.x.0.0", u"2.x.0.0"}, // a piece that is not a number
      {u"2..0.0", u"2..0.0", u"2..0.0"},
      {u"-1.2.3.4", u"-1.02.03", u"-1.02"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(MediumVersion(c.version), c.medium);
    EXPECT_EQ(ShortVersion(c.version), c.shortForm);
  }
}

TEST(VersionForms, PackedNumbers) {
  struct {
    std::u16string version;
    std::uint32_t packed;
  } cases[] = {
      {u"2.13.0.0", 0x020D0000u},
      {u"2.13.0.5", 0x020D0005u},
      {u"1,2,3,4", 0x01020304u},
      {u"1.2,3.4", 0x01020304u},
      {u"2.13", 0x020D0000u},
      {u"7", 0x07000000u},
      {u"300", 0x2C000000u},       // 300 * 2^24 wraps in 32 bits
      {u"1.256.0.0", 0x02000000u}, // a part too large spills into the next byte
      {u"1.x.3.4", 0x01000304u},   // not a number counts as 0
      {u"1.2.3.4.5", 0x01020304u}, // parts after the fourth are ignored
      {u"", 0u},
  };
  for (const auto &c : cases)
    EXPECT_EQ(PackedVersion(c.version), c.packed)
        << std::string(c.version.begin(), c.version.end());
}

TEST(VersionForms, VersionWithoutDotsKeepsTextAndPacksIntoTopByte) {
  EXPECT_EQ(ShortVersion(u"42"), u"42");
  EXPECT_EQ(MediumVersion(u"42"), u"42");
  EXPECT_EQ(PackedVersion(u"42"), 42u << 24);
}

TEST(InfoVersion, CompareAgainstPackedNumbers) {
  std::string contents = Bytes("FileVersion=2.13.0.5\0ProductVersion=3.0.0.0");
  TInfoVersion info = ExecuteOn(WriteTempFile("version_compare", ElfWithVersion(contents)));
  struct {
    std::uint16_t n1, n2, n3, n4;
    int file, product;
  } cases[] = {
      {2, 13, 0, 5, 0, 1},
      {2, 13, 0, 4, 1, 1},
      {2, 13, 0, 6, -1, 1},
      {2, 14, 0, 0, -1, 1},
      {3, 0, 0, 0, -1, 0},
      {3, 0, 0, 1, -1, -1},
      {1, 255, 255, 255, 1, 1},
      // numbers beyond a byte spill over in 32-bit arithmetic: 2.12.256.5 packs as 2.13.0.5
      {2, 12, 256, 5, 0, 1},
      {0xFFFF, 0, 0, 0, -1, -1}, // 0xFFFF * 2^24 wraps to 0xFF000000
  };
  for (const auto &c : cases) {
    EXPECT_EQ(info.CompareFileVersion(c.n1, c.n2, c.n3, c.n4), c.file)
        << c.n1 << "." << c.n2 << "." << c.n3 << "." << c.n4;
    EXPECT_EQ(info.CompareProductVersion(c.n1, c.n2, c.n3, c.n4), c.product)
        << c.n1 << "." << c.n2 << "." << c.n3 << "." << c.n4;
  }
}

TEST(VersionSection, ParsesEntriesAndSkipsBrokenOnes) {
  std::map<std::string, std::string> entries =
      ParseVersionSection(Bytes("A=1\0noequals\0B=x=y\0A=2\0\0C="));
  std::map<std::string, std::string> expected = {{"A", "1"}, {"B", "x=y"}, {"C", ""}};
  EXPECT_EQ(entries, expected);
}
