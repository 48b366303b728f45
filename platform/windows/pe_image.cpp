#include "platform/windows/pe_image.h"

#include <cstring>

namespace platform::pe {
namespace {

// Large enough for any library this program carries; keeps a forged header from
// asking for gigabytes.
constexpr std::uint64_t MaxImageSize = 256u << 20;

constexpr std::uint16_t OptionalHeaderMagic64 = 0x20B;
constexpr std::size_t FileHeaderSize = 20;
constexpr std::size_t OptionalHeaderFixedSize = 112; // up to NumberOfRvaAndSizes
constexpr std::size_t SectionHeaderSize = 40;
constexpr std::size_t SecurityDirectory = 4; // holds a file offset, not an address
constexpr std::uint16_t FileRelocationsStripped = 0x0001;

// Bounds-checked little-endian reads: empty when [offset, offset + size) leaves data.
template <typename T> std::optional<T> Read(std::span<const char> data, std::uint64_t offset) {
  if (offset > data.size() || data.size() - offset < sizeof(T))
    return std::nullopt;
  T value;
  std::memcpy(&value, data.data() + offset, sizeof(T));
  return value;
}

template <typename T> bool Write(std::span<char> data, std::uint64_t offset, T value) {
  if (offset > data.size() || data.size() - offset < sizeof(T))
    return false;
  std::memcpy(data.data() + offset, &value, sizeof(T));
  return true;
}

bool InRange(std::uint64_t offset, std::uint64_t size, std::uint64_t limit) {
  return offset <= limit && size <= limit - offset;
}

// A NUL-terminated name starting at offset, wholly inside data.
std::optional<std::string_view> ReadName(std::span<const char> data, std::uint64_t offset) {
  if (offset >= data.size())
    return std::nullopt;
  const char *begin = data.data() + offset;
  const void *end = std::memchr(begin, '\0', data.size() - offset);
  if (end == nullptr)
    return std::nullopt;
  return std::string_view(begin, static_cast<const char *>(end) - begin);
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  return true;
}

// Whether rva lies inside a section whose code may run.
bool InCode(const THeaders &headers, std::uint64_t rva) {
  for (const TSection &section : headers.Sections)
    if ((section.Characteristics & SectionExecute) != 0 && rva >= section.VirtualAddress &&
        rva - section.VirtualAddress < section.VirtualSize)
      return true;
  return false;
}

std::span<const char> Bytes(std::string_view text) {
  return {text.data(), text.size()};
}

// The export directory's fields that the lookups need.
struct TExportTable {
  std::uint32_t OrdinalBase;
  std::uint32_t FunctionCount;
  std::uint32_t NameCount;
  std::uint32_t Functions;
  std::uint32_t Names;
  std::uint32_t NameOrdinals;
};

std::optional<TExportTable> ReadExportTable(const THeaders &headers, std::span<const char> image) {
  const TDataDirectory &dir = headers.Directories[ExportDirectory];
  if (dir.Size < 40)
    return std::nullopt;
  auto base = Read<std::uint32_t>(image, dir.VirtualAddress + 16ull);
  auto functionCount = Read<std::uint32_t>(image, dir.VirtualAddress + 20ull);
  auto nameCount = Read<std::uint32_t>(image, dir.VirtualAddress + 24ull);
  auto functions = Read<std::uint32_t>(image, dir.VirtualAddress + 28ull);
  auto names = Read<std::uint32_t>(image, dir.VirtualAddress + 32ull);
  auto nameOrdinals = Read<std::uint32_t>(image, dir.VirtualAddress + 36ull);
  if (!base || !functionCount || !nameCount || !functions || !names || !nameOrdinals)
    return std::nullopt;
  if (!InRange(*functions, 4ull * *functionCount, image.size()) ||
      !InRange(*names, 4ull * *nameCount, image.size()) ||
      !InRange(*nameOrdinals, 2ull * *nameCount, image.size()))
    return std::nullopt;
  return TExportTable{*base, *functionCount, *nameCount, *functions, *names, *nameOrdinals};
}

// The address of the function at index (0-based); forwarders (an address inside
// the export directory names another library's export) count as missing.
std::optional<std::uint32_t> ExportAddress(const THeaders &headers, std::span<const char> image,
                                           const TExportTable &table, std::uint32_t index) {
  if (index >= table.FunctionCount)
    return std::nullopt;
  auto rva = Read<std::uint32_t>(image, table.Functions + 4ull * index);
  if (!rva || *rva == 0 || *rva >= image.size())
    return std::nullopt;
  const TDataDirectory &dir = headers.Directories[ExportDirectory];
  if (*rva >= dir.VirtualAddress && *rva - dir.VirtualAddress < dir.Size)
    return std::nullopt;
  return *rva;
}

bool ResolveThunks(std::span<char> image, std::uint32_t lookupTable, std::uint32_t addressTable,
                   void *library, TImportResolver &resolver) {
  constexpr std::uint64_t ByOrdinal = 1ull << 63;
  for (std::uint64_t i = 0;; ++i) {
    auto entry = Read<std::uint64_t>(image, lookupTable + 8 * i);
    if (!entry)
      return false;
    if (*entry == 0)
      return true;
    std::uint64_t address = 0;
    if (*entry & ByOrdinal) {
      address = resolver.SymbolByOrdinal(library, std::uint16_t(*entry & 0xFFFF));
    } else {
      // A hint (2 bytes) and the name; only the name is used.
      if (*entry > 0x7FFFFFFF)
        return false;
      auto name = ReadName(image, *entry + 2);
      if (!name)
        return false;
      address = resolver.SymbolByName(library, std::string(*name));
    }
    if (address == 0 || !Write<std::uint64_t>(image, addressTable + 8 * i, address))
      return false;
  }
}

} // namespace

std::optional<THeaders> ParseHeaders(std::string_view fileText) {
  std::span<const char> file = Bytes(fileText);
  if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z')
    return std::nullopt;
  std::uint64_t pe = *Read<std::uint32_t>(file, 0x3C);
  auto signature = Read<std::uint32_t>(file, pe);
  if (!signature || *signature != 0x00004550) // "PE\0\0"
    return std::nullopt;
  std::uint64_t fileHeader = pe + 4;
  auto machine = Read<std::uint16_t>(file, fileHeader);
  auto sectionCount = Read<std::uint16_t>(file, fileHeader + 2);
  auto optionalSize = Read<std::uint16_t>(file, fileHeader + 16);
  auto characteristics = Read<std::uint16_t>(file, fileHeader + 18);
  if (!machine || !sectionCount || !optionalSize || !characteristics || *machine != MachineAmd64 ||
      *optionalSize < OptionalHeaderFixedSize)
    return std::nullopt;
  std::uint64_t optional = fileHeader + FileHeaderSize;
  if (!InRange(optional, *optionalSize, file.size()) ||
      *Read<std::uint16_t>(file, optional) != OptionalHeaderMagic64)
    return std::nullopt;

  THeaders headers;
  headers.Characteristics = *characteristics;
  headers.EntryPoint = *Read<std::uint32_t>(file, optional + 16);
  headers.ImageBase = *Read<std::uint64_t>(file, optional + 24);
  headers.SectionAlignment = *Read<std::uint32_t>(file, optional + 32);
  headers.SizeOfImage = *Read<std::uint32_t>(file, optional + 56);
  headers.SizeOfHeaders = *Read<std::uint32_t>(file, optional + 60);
  std::uint32_t directoryCount = *Read<std::uint32_t>(file, optional + 108);
  std::uint32_t alignment = headers.SectionAlignment;
  if (headers.SizeOfImage == 0 || headers.SizeOfImage > MaxImageSize || alignment == 0 ||
      (alignment & (alignment - 1)) != 0 || headers.SizeOfHeaders > file.size() ||
      headers.SizeOfHeaders > headers.SizeOfImage || headers.EntryPoint >= headers.SizeOfImage)
    return std::nullopt;
  if (directoryCount > headers.Directories.size())
    directoryCount = headers.Directories.size();
  if (OptionalHeaderFixedSize + 8ull * directoryCount > *optionalSize)
    return std::nullopt;
  for (std::uint32_t i = 0; i < directoryCount; ++i) {
    TDataDirectory &dir = headers.Directories[i];
    dir.VirtualAddress = *Read<std::uint32_t>(file, optional + OptionalHeaderFixedSize + 8 * i);
    dir.Size = *Read<std::uint32_t>(file, optional + OptionalHeaderFixedSize + 8 * i + 4);
    if (i != SecurityDirectory && dir.Size != 0 &&
        !InRange(dir.VirtualAddress, dir.Size, headers.SizeOfImage))
      return std::nullopt;
  }

  std::uint64_t sectionTable = optional + *optionalSize;
  if (!InRange(sectionTable, SectionHeaderSize * *sectionCount, headers.SizeOfHeaders))
    return std::nullopt;
  for (std::uint16_t i = 0; i < *sectionCount; ++i) {
    std::uint64_t at = sectionTable + SectionHeaderSize * i;
    TSection section;
    section.VirtualSize = *Read<std::uint32_t>(file, at + 8);
    section.VirtualAddress = *Read<std::uint32_t>(file, at + 12);
    section.RawSize = *Read<std::uint32_t>(file, at + 16);
    section.RawOffset = *Read<std::uint32_t>(file, at + 20);
    section.Characteristics = *Read<std::uint32_t>(file, at + 36);
    if (section.VirtualSize == 0)
      section.VirtualSize = section.RawSize;
    // The file part is padded to the file alignment; only what fits in memory is copied.
    if (section.RawSize > section.VirtualSize)
      section.RawSize = section.VirtualSize;
    if (section.VirtualAddress < headers.SizeOfHeaders ||
        section.VirtualAddress % headers.SectionAlignment != 0 ||
        !InRange(section.VirtualAddress, section.VirtualSize, headers.SizeOfImage) ||
        (section.RawSize != 0 && !InRange(section.RawOffset, section.RawSize, file.size())))
      return std::nullopt;
    headers.Sections.push_back(section);
  }
  // The loader calls the entry point: it must be code.
  if (headers.EntryPoint != 0 && !InCode(headers, headers.EntryPoint))
    return std::nullopt;
  return headers;
}

void CopySections(const THeaders &headers, std::string_view file, std::span<char> image) {
  std::memcpy(image.data(), file.data(), headers.SizeOfHeaders);
  for (const TSection &section : headers.Sections)
    if (section.RawSize != 0)
      std::memcpy(image.data() + section.VirtualAddress, file.data() + section.RawOffset,
                  section.RawSize);
}

bool ApplyRelocations(const THeaders &headers, std::span<char> image, std::uint64_t actualBase) {
  std::uint64_t delta = actualBase - headers.ImageBase;
  if (delta == 0)
    return true;
  const TDataDirectory &dir = headers.Directories[RelocationDirectory];
  if (dir.Size == 0 || (headers.Characteristics & FileRelocationsStripped) != 0)
    return false;
  std::uint64_t block = dir.VirtualAddress;
  std::uint64_t end = std::uint64_t(dir.VirtualAddress) + dir.Size;
  while (end - block >= 8) {
    std::uint32_t page = *Read<std::uint32_t>(image, block);
    std::uint32_t blockSize = *Read<std::uint32_t>(image, block + 4);
    if (blockSize < 8 || blockSize > end - block)
      return false;
    for (std::uint64_t entry = block + 8; entry + 2 <= block + blockSize; entry += 2) {
      std::uint16_t word = *Read<std::uint16_t>(image, entry);
      std::uint64_t target = std::uint64_t(page) + (word & 0x0FFF);
      switch (word >> 12) {
      case 0: // padding
        break;
      case 3: { // 32-bit absolute
        auto value = Read<std::uint32_t>(image, target);
        if (!value || !Write<std::uint32_t>(image, target, std::uint32_t(*value + delta)))
          return false;
        break;
      }
      case 10: { // 64-bit absolute
        auto value = Read<std::uint64_t>(image, target);
        if (!value || !Write<std::uint64_t>(image, target, *value + delta))
          return false;
        break;
      }
      default:
        return false;
      }
    }
    block += blockSize;
  }
  return true;
}

bool ResolveImports(const THeaders &headers, std::span<char> image, TImportResolver &resolver) {
  const TDataDirectory &dir = headers.Directories[ImportDirectory];
  if (dir.Size == 0)
    return true;
  for (std::uint64_t at = dir.VirtualAddress;; at += 20) {
    auto lookupTable = Read<std::uint32_t>(image, at);
    auto nameRva = Read<std::uint32_t>(image, at + 12);
    auto addressTable = Read<std::uint32_t>(image, at + 16);
    if (!lookupTable || !nameRva || !addressTable)
      return false;
    if (*nameRva == 0 && *addressTable == 0)
      return true; // the all-zero descriptor ends the list
    auto name = ReadName(image, *nameRva);
    if (!name)
      return false;
    void *library = resolver.OpenLibrary(std::string(*name));
    if (library == nullptr)
      return false;
    // Without a separate lookup table the address table holds the names.
    std::uint32_t names = *lookupTable != 0 ? *lookupTable : *addressTable;
    if (!ResolveThunks(image, names, *addressTable, library, resolver))
      return false;
  }
}

std::optional<std::uint32_t> ExportByName(const THeaders &headers, std::span<const char> image,
                                          std::string_view name) {
  std::optional<TExportTable> table = ReadExportTable(headers, image);
  if (!table)
    return std::nullopt;
  std::optional<std::uint32_t> caseless;
  for (std::uint32_t i = 0; i < table->NameCount; ++i) {
    auto nameRva = *Read<std::uint32_t>(image, table->Names + 4ull * i);
    auto exported = ReadName(image, nameRva);
    if (!exported || !EqualIgnoringAsciiCase(*exported, name))
      continue;
    std::uint16_t index = *Read<std::uint16_t>(image, table->NameOrdinals + 2ull * i);
    if (*exported == name)
      return ExportAddress(headers, image, *table, index);
    if (!caseless)
      caseless = index;
  }
  if (!caseless)
    return std::nullopt;
  return ExportAddress(headers, image, *table, *caseless);
}

std::optional<std::uint32_t> ExportByOrdinal(const THeaders &headers, std::span<const char> image,
                                             std::uint32_t ordinal) {
  std::optional<TExportTable> table = ReadExportTable(headers, image);
  if (!table || ordinal < table->OrdinalBase)
    return std::nullopt;
  return ExportAddress(headers, image, *table, ordinal - table->OrdinalBase);
}

std::optional<TFunctionTable> FunctionTable(const THeaders &headers) {
  const TDataDirectory &dir = headers.Directories[ExceptionDirectory];
  if (dir.Size < 12)
    return std::nullopt;
  return TFunctionTable{dir.VirtualAddress, dir.Size / 12};
}

std::optional<std::vector<std::uint32_t>>
TlsCallbacks(const THeaders &headers, std::span<const char> image, std::uint64_t actualBase) {
  std::vector<std::uint32_t> callbacks;
  const TDataDirectory &dir = headers.Directories[TlsDirectory];
  if (dir.Size == 0)
    return callbacks;
  auto list = Read<std::uint64_t>(image, dir.VirtualAddress + 24ull); // AddressOfCallBacks
  if (!list)
    return std::nullopt;
  if (*list == 0)
    return callbacks;
  for (std::uint64_t at = *list - actualBase;; at += 8) {
    if (at >= image.size())
      return std::nullopt;
    auto callback = Read<std::uint64_t>(image, at);
    if (!callback)
      return std::nullopt;
    if (*callback == 0)
      return callbacks;
    std::uint64_t rva = *callback - actualBase;
    if (!InCode(headers, rva))
      return std::nullopt;
    callbacks.push_back(std::uint32_t(rva));
  }
}

} // namespace platform::pe
