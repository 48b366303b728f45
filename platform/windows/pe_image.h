// Reading and preparing a 64-bit Windows library image (PE32+) for mapping from
// memory: the header checks, copying the sections into the image's address
// range, relocations, the import and export tables and the TLS callbacks.
// Everything here works on plain bytes, so each check can be tested with
// hand-made images; every offset taken from the image is bounds-checked, and a
// malformed image gives an empty result, never a read outside the buffer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::pe {

inline constexpr std::uint16_t MachineAmd64 = 0x8664;

// Indices into the optional header's data directories.
enum TDirectoryIndex {
  ExportDirectory = 0,
  ImportDirectory = 1,
  ExceptionDirectory = 3,
  RelocationDirectory = 5,
  TlsDirectory = 9,
};

struct TDataDirectory {
  std::uint32_t VirtualAddress = 0;
  std::uint32_t Size = 0;
};

struct TSection {
  std::uint32_t VirtualAddress = 0;
  std::uint32_t VirtualSize = 0; // the size in memory; never 0 after parsing
  std::uint32_t RawOffset = 0;
  std::uint32_t RawSize = 0; // bytes to copy from the file, at most VirtualSize
  std::uint32_t Characteristics = 0;
};

// Section characteristics that decide the memory protection.
inline constexpr std::uint32_t SectionExecute = 0x20000000;
inline constexpr std::uint32_t SectionRead = 0x40000000;
inline constexpr std::uint32_t SectionWrite = 0x80000000;
inline constexpr std::uint32_t SectionDiscardable = 0x02000000;

struct THeaders {
  std::uint64_t ImageBase = 0;
  std::uint32_t SizeOfImage = 0;
  std::uint32_t SizeOfHeaders = 0;
  std::uint32_t SectionAlignment = 0;
  std::uint32_t EntryPoint = 0; // relative address; 0 when the image has none
  std::uint16_t Characteristics = 0;
  std::vector<TSection> Sections;
  std::array<TDataDirectory, 16> Directories{};
};

// The headers of a complete library file. Empty unless the file has the DOS and
// PE signatures, is made for x64, has a PE32+ optional header, every header,
// section and data directory lies inside the file and the image size, sections
// start on the section alignment, and the entry point (if any) lies in code.
std::optional<THeaders> ParseHeaders(std::string_view file);

// Copies the headers and each section's file bytes into image (SizeOfImage bytes,
// zero-filled by the caller; parsing guarantees everything fits).
void CopySections(const THeaders &headers, std::string_view file, std::span<char> image);

// Adds actualBase - ImageBase to every address the relocation table names.
// False when an entry lies outside the image, has an unknown type, or the image
// must move but carries no relocations.
bool ApplyRelocations(const THeaders &headers, std::span<char> image, std::uint64_t actualBase);

// The imports' service: opens a library by name and looks up its exports.
class TImportResolver {
public:
  virtual ~TImportResolver() = default;
  // An opaque handle, or nullptr when the library cannot be loaded.
  virtual void *OpenLibrary(const std::string &name) = 0;
  // An address, or 0 when the library does not export it.
  virtual std::uint64_t SymbolByName(void *library, const std::string &name) = 0;
  virtual std::uint64_t SymbolByOrdinal(void *library, std::uint16_t ordinal) = 0;
};

// Fills every import address slot through the resolver. False at the first
// library or symbol that cannot be found or a table that leaves the image.
bool ResolveImports(const THeaders &headers, std::span<char> image, TImportResolver &resolver);

// The relative address of the export named name, comparing ASCII letters without
// regard to case (an exact match wins over one that differs in case only).
// Empty when there is no such export, it is forwarded to another library, or
// the export table is malformed.
std::optional<std::uint32_t> ExportByName(const THeaders &headers, std::span<const char> image,
                                          std::string_view name);
// The same by ordinal (the biased number the import tables use).
std::optional<std::uint32_t> ExportByOrdinal(const THeaders &headers, std::span<const char> image,
                                             std::uint32_t ordinal);

// The unwinding table: relative address and number of its 12-byte entries.
struct TFunctionTable {
  std::uint32_t VirtualAddress = 0;
  std::uint32_t Count = 0;
};
// Empty when the image has no table; parsing guarantees the table fits the image.
std::optional<TFunctionTable> FunctionTable(const THeaders &headers);

// The TLS callbacks' relative addresses, read after relocation (the table holds
// absolute addresses based at actualBase). Empty optional when the table is
// malformed or a callback lies outside the image's code; an empty list when there
// are none.
std::optional<std::vector<std::uint32_t>>
TlsCallbacks(const THeaders &headers, std::span<const char> image, std::uint64_t actualBase);

} // namespace platform::pe
