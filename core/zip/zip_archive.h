// A zip archive held in memory: its entries in central-directory order, each with the
// header fields of its central record and its (compressed) data, and the archive
// comment. An archive image is taken apart with Load and put together with Save; every
// offset and length read from an image is checked against the image before it is used,
// so a damaged image fails to load instead of being read out of bounds. Only the stored
// (0) and deflate (8) methods can be read or written; zip64 archives are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/text.h"

// The fields of one entry as its central-directory record holds them.
struct TZipEntryInfo {
  std::uint16_t FMadeByVersion = 0;
  std::uint16_t FRequiredVersion = 0;
  std::uint16_t FFlag = 0;
  std::uint16_t FCompressionMethod = 0;
  // The packed date word in the high 16 bits, the packed time word in the low 16 bits.
  std::uint32_t FModifiedDateTime = 0;
  std::uint32_t FCrc32 = 0;
  std::uint32_t FCompressedSize = 0;
  std::uint32_t FUncompressedSize = 0;
  std::uint16_t FInternalAttributes = 0;
  std::uint32_t FExternalAttributes = 0;
  // Bytes exactly as stored; bit 11 of the flag says they are UTF-8.
  TBytes FName;
  TBytes FExtra;
  TBytes FComment;
};

constexpr std::uint16_t ZipFlagEncrypted = 0x0001;
constexpr std::uint16_t ZipFlagDataDescriptor = 0x0008;
constexpr std::uint16_t ZipFlagUtf8 = 0x0800;
constexpr std::uint16_t ZipMethodStored = 0;
constexpr std::uint16_t ZipMethodDeflate = 8;
// The largest comment, name or extra field a 16-bit length can describe.
constexpr std::size_t ZipMaxFieldLength = 0xFFFF;
constexpr std::size_t ZipMaxEntryCount = 0xFFFF;

class TZipArchive {
public:
  // Takes the image of an archive file apart. A damaged or unsupported image leaves
  // the archive unchanged and gives false, and so does one whose entries (local
  // header and data) overlap each other or the central directory. The empty image is
  // not an archive.
  bool Load(std::string image);
  // An archive without entries and without comment.
  void Clear();

  std::size_t Count() const { return FEntries.size(); }
  const TZipEntryInfo &Info(std::size_t index) const { return FEntries.at(index).FInfo; }

  const TBytes &Comment() const { return FComment; }
  // Longer comments are cut to the 65535 bytes the end record can carry.
  void SetComment(TBytesView comment);
  // Cut like the archive comment.
  void SetEntryComment(std::size_t index, TBytesView comment);

  // Appends an entry with the content, deflated or stored, under a name of raw bytes
  // (flag bits as given, e.g. ZipFlagUtf8). Entries with the same name may exist; none
  // is replaced. False, with nothing added, when the name is empty or too long, the
  // archive would exceed the limits of the format (65535 entries, 4 GiB) or the
  // compressor fails.
  bool Add(TBytesView name, std::string_view content, bool store, std::uint32_t modifiedDateTime,
           std::uint16_t flag);

  // The uncompressed content of an entry, checked against its sizes and CRC-32. False
  // for an encrypted entry, an unknown method, or damaged data. Memory used never
  // exceeds what the entry's data could really expand to.
  bool Read(std::size_t index, std::string &content) const;

  // The image of the whole archive: local headers with their data, the central
  // directory and the end record with the comment. False when it would exceed the
  // format's limits, or when the comment holds an end record that readers would take
  // for the archive's own.
  bool Save(std::string &image) const;

private:
  struct TEntry {
    TZipEntryInfo FInfo;
    // The local header as found in the loaded image; empty for an entry added since,
    // whose header is made from FInfo.
    std::string FLocalHeader;
    // Where the compressed data lies: in FImage for a loaded entry, else in FData.
    bool FOwnsData = false;
    std::size_t FDataOffset = 0;
    std::string FData;
  };

  static bool LocateEndRecord(std::string_view image, std::size_t &end,
                              std::vector<TEntry> &entries);
  static bool ReadDirectory(std::string_view image, std::size_t end, std::vector<TEntry> &entries);
  std::string_view Data(const TEntry &entry) const;
  std::uint64_t SavedSize() const;

  std::string FImage;
  std::vector<TEntry> FEntries;
  TBytes FComment;
};
