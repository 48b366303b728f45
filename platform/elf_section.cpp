#include "platform/elf_section.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

namespace platform {

namespace {

// Offsets and sizes of the 64-bit ELF layout; fields are decoded byte by byte so
// the reader does not depend on the host's byte order or structure packing.
constexpr std::size_t ElfHeaderSize = 64;
constexpr std::size_t SectionHeaderSize = 64;
constexpr unsigned char ElfClass64 = 2;
constexpr unsigned char ElfDataLittleEndian = 1;
constexpr std::uint32_t SectionTypeNoBits = 8;
constexpr std::uint32_t SectionIndexExtended = 0xFFFF;

std::uint64_t LittleEndian(const char *bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

// Reads count bytes at offset into out; false when they are not all there.
using TReadAt = std::function<bool(std::uint64_t offset, std::size_t count, std::string &out)>;

bool InBounds(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
  return offset <= size && count <= size - offset;
}

struct TSectionHeader {
  std::uint32_t Name = 0;
  std::uint32_t Type = 0;
  std::uint64_t Offset = 0;
  std::uint64_t Size = 0;
  std::uint32_t Link = 0;
};

TSectionHeader DecodeSectionHeader(const char *bytes) {
  TSectionHeader header;
  header.Name = static_cast<std::uint32_t>(LittleEndian(bytes + 0, 4));
  header.Type = static_cast<std::uint32_t>(LittleEndian(bytes + 4, 4));
  header.Offset = LittleEndian(bytes + 24, 8);
  header.Size = LittleEndian(bytes + 32, 8);
  header.Link = static_cast<std::uint32_t>(LittleEndian(bytes + 40, 4));
  return header;
}

std::optional<std::string> FindSection(std::uint64_t fileSize, const TReadAt &readAt,
                                       const std::string &sectionName) {
  std::string elfHeader;
  if (fileSize < ElfHeaderSize || !readAt(0, ElfHeaderSize, elfHeader))
    return std::nullopt;
  if (std::memcmp(elfHeader.data(),
                  "\x7F"
                  "ELF",
                  4) != 0 ||
      elfHeader[4] != ElfClass64 || elfHeader[5] != ElfDataLittleEndian)
    return std::nullopt;

  std::uint64_t tableOffset = LittleEndian(elfHeader.data() + 0x28, 8);
  std::uint64_t entrySize = LittleEndian(elfHeader.data() + 0x3A, 2);
  std::uint64_t count = LittleEndian(elfHeader.data() + 0x3C, 2);
  std::uint64_t namesIndex = LittleEndian(elfHeader.data() + 0x3E, 2);
  if (tableOffset == 0 || entrySize < SectionHeaderSize)
    return std::nullopt;

  // Section 0 carries the real count and string-table index when they do not fit
  // the header's 16-bit fields.
  if (!InBounds(tableOffset, entrySize, fileSize))
    return std::nullopt;
  std::string entry;
  if (!readAt(tableOffset, SectionHeaderSize, entry))
    return std::nullopt;
  TSectionHeader first = DecodeSectionHeader(entry.data());
  if (count == 0)
    count = first.Size;
  if (namesIndex == SectionIndexExtended)
    namesIndex = first.Link;
  if (count == 0 || count > fileSize / entrySize ||
      !InBounds(tableOffset, count * entrySize, fileSize))
    return std::nullopt;
  if (namesIndex >= count)
    return std::nullopt;

  std::string table;
  if (!readAt(tableOffset, static_cast<std::size_t>(count * entrySize), table))
    return std::nullopt;
  auto header = [&](std::uint64_t index) {
    return DecodeSectionHeader(table.data() + index * entrySize);
  };

  TSectionHeader namesHeader = header(namesIndex);
  if (namesHeader.Type == SectionTypeNoBits ||
      !InBounds(namesHeader.Offset, namesHeader.Size, fileSize))
    return std::nullopt;
  std::string names;
  if (!readAt(namesHeader.Offset, static_cast<std::size_t>(namesHeader.Size), names))
    return std::nullopt;

  for (std::uint64_t index = 1; index < count; ++index) {
    TSectionHeader section = header(index);
    if (section.Name >= names.size())
      continue;
    const char *name = names.data() + section.Name;
    std::size_t room = names.size() - section.Name;
    std::size_t length = strnlen(name, room);
    if (length == room || std::string_view(name, length) != sectionName)
      continue;
    if (section.Type == SectionTypeNoBits)
      return std::string();
    if (!InBounds(section.Offset, section.Size, fileSize))
      return std::nullopt;
    std::string contents;
    if (!readAt(section.Offset, static_cast<std::size_t>(section.Size), contents))
      return std::nullopt;
    return contents;
  }
  return std::nullopt;
}

class TFileHandle {
public:
  explicit TFileHandle(const std::string &path)
      : FHandle(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TFileHandle() {
    if (FHandle >= 0)
      close(FHandle);
  }
  TFileHandle(const TFileHandle &) = delete;
  TFileHandle &operator=(const TFileHandle &) = delete;
  int Get() const { return FHandle; }

private:
  int FHandle;
};

} // namespace

std::optional<std::string> ElfSectionFromImage(std::string_view image,
                                               const std::string &sectionName) {
  TReadAt readAt = [image](std::uint64_t offset, std::size_t count, std::string &out) {
    if (!InBounds(offset, count, image.size()))
      return false;
    out.assign(image.substr(static_cast<std::size_t>(offset), count));
    return true;
  };
  return FindSection(image.size(), readAt, sectionName);
}

std::optional<std::string> ReadElfSection(const std::string &path, const std::string &sectionName) {
  TFileHandle file(path);
  struct stat status {};
  if (file.Get() < 0 || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
    return std::nullopt;
  std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
  // Only the headers, the name table and the wanted section are read: the file
  // may be a large executable.
  TReadAt readAt = [&file, fileSize](std::uint64_t offset, std::size_t count, std::string &out) {
    if (!InBounds(offset, count, fileSize))
      return false;
    out.assign(count, '\0');
    std::size_t done = 0;
    while (done < count) {
      ssize_t got =
          pread(file.Get(), out.data() + done, count - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR)
        continue;
      if (got <= 0)
        return false;
      done += static_cast<std::size_t>(got);
    }
    return true;
  };
  return FindSection(fileSize, readAt, sectionName);
}

} // namespace platform
