#include "platform/elf_section.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "tests/unit/platform/elf_image_builder.h"

using platform::ElfSectionFromImage;
using platform::ReadElfSection;

namespace {

const std::string Contents("a=1\0b=2\0", 8);

TElfImage SampleImage() {
  return BuildElfImage({{".first", "xyz"}, {".wanted", Contents}});
}

std::size_t SectionHeaderAt(const TElfImage &image, std::size_t index) {
  return image.SectionTableOffset + index * 64;
}

std::string WriteTempFile(const std::string &name, const std::string &bytes) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

} // namespace

TEST(ElfSection, FindsNamedSectionWithExactBytes) {
  TElfImage image = SampleImage();
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), Contents);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".first"), "xyz");
}

TEST(ElfSection, NameMustMatchWhole) {
  TElfImage image = SampleImage();
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".want"), std::nullopt);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wantedx"), std::nullopt);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ""), std::nullopt);
}

TEST(ElfSection, EmptySectionIsFoundAsEmpty) {
  TElfImage image = BuildElfImage({{".empty", ""}});
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".empty"), std::string());
}

TEST(ElfSection, SectionWithoutFileSpaceGivesEmptyText) {
  TElfImage image = SampleImage();
  std::size_t at = SectionHeaderAt(image, 2);
  PutLittleEndian(image.Bytes, at + 4, 8, 4); // SHT_NOBITS
  PutLittleEndian(image.Bytes, at + 32, 1u << 30, 8);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), std::string());
}

TEST(ElfSection, ExtendedCountAndNameIndexComeFromSectionZero) {
  TElfImage image = SampleImage();
  std::size_t zero = SectionHeaderAt(image, 0);
  PutLittleEndian(image.Bytes, zero + 32, 4, 8); // count
  PutLittleEndian(image.Bytes, zero + 40, 3, 4); // name table index
  PutLittleEndian(image.Bytes, 0x3C, 0, 2);
  PutLittleEndian(image.Bytes, 0x3E, 0xFFFF, 2);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), Contents);
}

TEST(ElfSection, EveryTruncationIsRejected) {
  TElfImage image = SampleImage();
  for (std::size_t length = 0; length < image.Bytes.size(); ++length)
    EXPECT_EQ(ElfSectionFromImage(std::string_view(image.Bytes).substr(0, length), ".wanted"),
              std::nullopt)
        << length;
}

TEST(ElfSection, MalformedImagesAreRejected) {
  constexpr std::uint64_t Huge = std::numeric_limits<std::uint64_t>::max() - 7;
  struct TPatch {
    const char *what;
    std::size_t offset; // negative-free: absolute, or relative to a section header below
    int header;         // -1: offset is absolute; else section header index
    std::uint64_t value;
    int width;
  } patches[] = {
      {"bad magic", 1, -1, 'X', 1},
      {"32-bit class", 4, -1, 1, 1},
      {"big-endian", 5, -1, 2, 1},
      {"no section table", 0x28, -1, 0, 8},
      {"table beyond the file", 0x28, -1, 1u << 20, 8},
      {"table offset wraps", 0x28, -1, Huge, 8},
      {"entry size too small", 0x3A, -1, 40, 2},
      {"count beyond the file", 0x3C, -1, 0xFFF0, 2},
      {"name table index out of range", 0x3E, -1, 4, 2},
      {"name table beyond the file", 24, 3, 1u << 20, 8},
      {"name table size wraps", 32, 3, Huge, 8},
      {"section offset beyond the file", 24, 2, 1u << 20, 8},
      {"section offset wraps", 24, 2, Huge, 8},
      {"section size wraps", 32, 2, Huge, 8},
  };
  for (const TPatch &patch : patches) {
    TElfImage image = SampleImage();
    std::size_t at =
        patch.header < 0 ? patch.offset : SectionHeaderAt(image, patch.header) + patch.offset;
    PutLittleEndian(image.Bytes, at, patch.value, patch.width);
    EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), std::nullopt) << patch.what;
  }
}

TEST(ElfSection, NameOutsideTheNameTableIsSkipped) {
  TElfImage image = SampleImage();
  PutLittleEndian(image.Bytes, SectionHeaderAt(image, 2), 1u << 20, 4);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), std::nullopt);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".first"), "xyz");
}

TEST(ElfSection, NameRunningOffTheEndOfTheNameTableIsSkipped) {
  TElfImage image = SampleImage();
  // Shrink the name table so that ".shstrtab", its last name, loses its NUL.
  std::size_t namesHeader = SectionHeaderAt(image, 3);
  std::uint64_t size = 0;
  for (int i = 7; i >= 0; --i)
    size = (size << 8) | static_cast<unsigned char>(image.Bytes[namesHeader + 32 + i]);
  PutLittleEndian(image.Bytes, namesHeader + 32, size - 1, 8);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".shstrtab"), std::nullopt);
  EXPECT_EQ(ElfSectionFromImage(image.Bytes, ".wanted"), Contents);
}

TEST(ElfSection, ReadsSectionFromFile) {
  std::string path = WriteTempFile("elf_section_sample", SampleImage().Bytes);
  EXPECT_EQ(ReadElfSection(path, ".wanted"), Contents);
}

TEST(ElfSection, MissingFileDirectoryAndNonElfFileGiveNothing) {
  EXPECT_EQ(ReadElfSection(::testing::TempDir() + "no_such_file_here", ".text"), std::nullopt);
  EXPECT_EQ(ReadElfSection(::testing::TempDir(), ".text"), std::nullopt);
  std::string text = WriteTempFile("elf_section_text", "just some text, not an executable\n");
  EXPECT_EQ(ReadElfSection(text, ".text"), std::nullopt);
  EXPECT_EQ(ReadElfSection(WriteTempFile("elf_section_empty", ""), ".text"), std::nullopt);
}

TEST(ElfSection, ReadsOwnExecutable) {
  std::optional<std::string> text = ReadElfSection("/proc/self/exe", ".text");
  ASSERT_TRUE(text.has_value());
  EXPECT_GT(text->size(), 1000u);
}
