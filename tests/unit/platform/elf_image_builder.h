// Builds small 64-bit little-endian ELF images with named sections, so the section
// reader can be fed valid files and precisely broken ones.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TElfImage {
  std::string Bytes;
  std::size_t SectionTableOffset = 0; // where the section headers begin
  std::size_t NamesOffset = 0;        // where the section-name table begins
};

inline void PutLittleEndian(std::string &bytes, std::size_t offset, std::uint64_t value,
                            int count) {
  for (int i = 0; i < count; ++i)
    bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Sections 1..n are the given (name, contents) pairs, the last one the name table.
inline TElfImage BuildElfImage(const std::vector<std::pair<std::string, std::string>> &sections) {
  TElfImage image;
  std::string &bytes = image.Bytes;
  bytes.assign(64, '\0');
  bytes.replace(0, 4,
                "\x7F"
                "ELF");
  bytes[4] = 2;                        // 64-bit
  bytes[5] = 1;                        // little-endian
  bytes[6] = 1;                        // version
  PutLittleEndian(bytes, 0x10, 2, 2);  // executable
  PutLittleEndian(bytes, 0x12, 62, 2); // x86-64
  PutLittleEndian(bytes, 0x34, 64, 2); // header size

  std::vector<std::pair<std::size_t, std::size_t>> placed; // offset, size
  for (const auto &section : sections) {
    placed.emplace_back(bytes.size(), section.second.size());
    bytes += section.second;
  }
  std::string names(1, '\0');
  std::vector<std::size_t> nameOffsets;
  for (const auto &section : sections) {
    nameOffsets.push_back(names.size());
    names += section.first + '\0';
  }
  std::size_t ownName = names.size();
  names += std::string(".shstrtab") + '\0';
  image.NamesOffset = bytes.size();
  bytes += names;
  while (bytes.size() % 8 != 0)
    bytes += '\0';

  image.SectionTableOffset = bytes.size();
  std::size_t count = sections.size() + 2;
  bytes.append(count * 64, '\0');
  auto header = [&](std::size_t index, std::size_t name, std::uint32_t type, std::size_t offset,
                    std::size_t size) {
    std::size_t at = image.SectionTableOffset + index * 64;
    PutLittleEndian(bytes, at + 0, name, 4);
    PutLittleEndian(bytes, at + 4, type, 4);
    PutLittleEndian(bytes, at + 24, offset, 8);
    PutLittleEndian(bytes, at + 32, size, 8);
  };
  for (std::size_t i = 0; i < sections.size(); ++i)
    header(i + 1, nameOffsets[i], 1, placed[i].first, placed[i].second);
  header(count - 1, ownName, 3, image.NamesOffset, names.size());

  PutLittleEndian(bytes, 0x28, image.SectionTableOffset, 8);
  PutLittleEndian(bytes, 0x3A, 64, 2);
  PutLittleEndian(bytes, 0x3C, count, 2);
  PutLittleEndian(bytes, 0x3E, count - 1, 2);
  return image;
}
