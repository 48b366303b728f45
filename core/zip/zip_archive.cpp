#include "core/zip/zip_archive.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/deflate.h"

namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t EndRecordSignature = 0x06054b50;
constexpr std::uint32_t DataDescriptorSignature = 0x08074b50;
constexpr std::size_t LocalHeaderSize = 30;
constexpr std::size_t CentralHeaderSize = 46;
constexpr std::size_t EndRecordSize = 22;
constexpr std::size_t DataDescriptorSize = 16;
constexpr int MaxEndRecordTries = 64;
// Anything at or above this is a zip64 marker, or more than 32-bit fields can hold.
constexpr std::uint64_t Limit32 = 0xFFFFFFFF;
// Deflate cannot expand data by more than about 1032 to 1; a header that claims more
// is a lie, and believing it would cost memory the data could never fill.
constexpr std::uint64_t MaxDeflateRatio = 1032;
constexpr std::uint16_t VersionMadeBy = 20;  // 2.0, MS-DOS attributes
constexpr std::uint16_t VersionStored = 10;  // 1.0: stored
constexpr std::uint16_t VersionDeflate = 20; // 2.0: deflate

// Bounds-checked little-endian reads from an image.
class TReader {
public:
  explicit TReader(std::string_view image) : FImage(image) {}

  bool Has(std::size_t offset, std::size_t length) const {
    return offset <= FImage.size() && length <= FImage.size() - offset;
  }
  std::uint16_t U16(std::size_t offset) const {
    return std::uint16_t(Byte(offset) | Byte(offset + 1) << 8);
  }
  std::uint32_t U32(std::size_t offset) const {
    return std::uint32_t(U16(offset)) | std::uint32_t(U16(offset + 2)) << 16;
  }
  std::string_view Bytes(std::size_t offset, std::size_t length) const {
    return FImage.substr(offset, length);
  }

private:
  unsigned Byte(std::size_t offset) const { return static_cast<unsigned char>(FImage[offset]); }
  std::string_view FImage;
};

void PutU16(std::string &out, std::uint32_t value) {
  out.push_back(char(value & 0xFF));
  out.push_back(char(value >> 8 & 0xFF));
}

void PutU32(std::string &out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

// The next candidate for the end record below limit (start with the image size): a
// signature whose comment fits into the rest of the image.
bool FindEndRecord(const TReader &reader, std::size_t imageSize, std::size_t limit,
                   std::size_t &position) {
  if (imageSize < EndRecordSize)
    return false;
  std::size_t lowest = imageSize - EndRecordSize > ZipMaxFieldLength
                           ? imageSize - EndRecordSize - ZipMaxFieldLength
                           : 0;
  for (std::size_t p = std::min(limit, imageSize - EndRecordSize + 1); p-- > lowest;) {
    if (reader.U32(p) == EndRecordSignature &&
        reader.U16(p + 20) <= imageSize - p - EndRecordSize) {
      position = p;
      return true;
    }
  }
  return false;
}

std::size_t LocalHeaderLength(const TZipEntryInfo &info) {
  return LocalHeaderSize + info.FName.size();
}

void PutLocalHeader(std::string &out, const TZipEntryInfo &info) {
  PutU32(out, LocalHeaderSignature);
  PutU16(out, info.FRequiredVersion);
  PutU16(out, info.FFlag);
  PutU16(out, info.FCompressionMethod);
  PutU32(out, info.FModifiedDateTime);
  PutU32(out, info.FCrc32);
  PutU32(out, info.FCompressedSize);
  PutU32(out, info.FUncompressedSize);
  PutU16(out, std::uint32_t(info.FName.size()));
  PutU16(out, 0);
  out += info.FName;
}

void PutCentralHeader(std::string &out, const TZipEntryInfo &info, std::uint32_t localOffset) {
  PutU32(out, CentralHeaderSignature);
  PutU16(out, info.FMadeByVersion);
  PutU16(out, info.FRequiredVersion);
  PutU16(out, info.FFlag);
  PutU16(out, info.FCompressionMethod);
  PutU32(out, info.FModifiedDateTime);
  PutU32(out, info.FCrc32);
  PutU32(out, info.FCompressedSize);
  PutU32(out, info.FUncompressedSize);
  PutU16(out, std::uint32_t(info.FName.size()));
  PutU16(out, std::uint32_t(info.FExtra.size()));
  PutU16(out, std::uint32_t(info.FComment.size()));
  PutU16(out, 0); // disk number start
  PutU16(out, info.FInternalAttributes);
  PutU32(out, info.FExternalAttributes);
  PutU32(out, localOffset);
  out += info.FName;
  out += info.FExtra;
  out += info.FComment;
}

TBytes CutField(TBytesView text) {
  return TBytes(text.substr(0, ZipMaxFieldLength));
}

} // namespace

bool TZipArchive::Load(std::string image) {
  std::vector<TEntry> entries;
  std::size_t end = 0;
  if (!LocateEndRecord(image, end, entries))
    return false;
  FEntries = std::move(entries);
  FComment = TReader(image).Bytes(end + EndRecordSize, TReader(image).U16(end + 20));
  FImage = std::move(image);
  return true;
}

// The signature may also turn up inside the archive comment, so the candidates are
// tried from the end: the first whose central directory lies right before it and
// reads without fault is the end record. Failing that, the last signature whose
// comment fits is taken (something may lie between directory and end record). A
// bounded number of tries keeps a crafted image from costing quadratic time.
bool TZipArchive::LocateEndRecord(std::string_view image, std::size_t &end,
                                  std::vector<TEntry> &entries) {
  TReader reader(image);
  std::optional<std::size_t> last;
  std::size_t limit = image.size();
  for (int tries = 0; tries < MaxEndRecordTries && FindEndRecord(reader, image.size(), limit, end);
       ++tries, limit = end) {
    if (!last)
      last = end;
    if (std::uint64_t(reader.U32(end + 16)) + reader.U32(end + 12) == end &&
        ReadDirectory(image, end, entries))
      return true;
    entries.clear();
  }
  if (!last || !ReadDirectory(image, *last, entries))
    return false;
  end = *last;
  return true;
}

// The central directory that the end record at end describes, with every entry's local
// header checked.
bool TZipArchive::ReadDirectory(std::string_view image, std::size_t end,
                                std::vector<TEntry> &entries) {
  TReader reader(image);
  std::uint16_t diskNumber = reader.U16(end + 4);
  std::uint16_t directoryDisk = reader.U16(end + 6);
  std::uint16_t entriesOnDisk = reader.U16(end + 8);
  std::uint16_t entryCount = reader.U16(end + 10);
  std::uint32_t directorySize = reader.U32(end + 12);
  std::uint32_t directoryOffset = reader.U32(end + 16);
  // Split archives and zip64 archives are not read.
  if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != entryCount ||
      entryCount == 0xFFFF || directorySize == Limit32 || directoryOffset == Limit32)
    return false;
  if (directoryOffset > end || directorySize > end - directoryOffset)
    return false;

  entries.clear();
  // Each record takes at least its fixed part, so a count that claims more is a lie.
  if (std::size_t(entryCount) * CentralHeaderSize > directorySize)
    return false;
  entries.reserve(entryCount);
  // Where each entry's local header and data lie, to find entries sharing bytes.
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  ranges.reserve(entryCount);
  TReader directory(image.substr(directoryOffset, directorySize));
  std::size_t position = 0;
  for (std::size_t i = 0; i < entryCount; ++i) {
    if (!directory.Has(position, CentralHeaderSize) ||
        directory.U32(position) != CentralHeaderSignature)
      return false;
    TEntry entry;
    TZipEntryInfo &info = entry.FInfo;
    info.FMadeByVersion = directory.U16(position + 4);
    info.FRequiredVersion = directory.U16(position + 6);
    info.FFlag = directory.U16(position + 8);
    info.FCompressionMethod = directory.U16(position + 10);
    info.FModifiedDateTime = directory.U32(position + 12);
    info.FCrc32 = directory.U32(position + 16);
    info.FCompressedSize = directory.U32(position + 20);
    info.FUncompressedSize = directory.U32(position + 24);
    std::size_t nameLength = directory.U16(position + 28);
    std::size_t extraLength = directory.U16(position + 30);
    std::size_t commentSize = directory.U16(position + 32);
    info.FInternalAttributes = directory.U16(position + 36);
    info.FExternalAttributes = directory.U32(position + 38);
    std::uint32_t localOffset = directory.U32(position + 42);
    std::size_t variable = nameLength + extraLength + commentSize;
    if (!directory.Has(position + CentralHeaderSize, variable))
      return false;
    std::size_t field = position + CentralHeaderSize;
    info.FName = directory.Bytes(field, nameLength);
    info.FExtra = directory.Bytes(field + nameLength, extraLength);
    info.FComment = directory.Bytes(field + nameLength + extraLength, commentSize);
    position = field + variable;
    if (info.FCompressedSize == Limit32 || info.FUncompressedSize == Limit32 ||
        localOffset == Limit32)
      return false;

    // The local header and the data must lie before the central directory.
    if (!reader.Has(localOffset, LocalHeaderSize) || localOffset > directoryOffset ||
        reader.U32(localOffset) != LocalHeaderSignature)
      return false;
    std::size_t headerLength =
        LocalHeaderSize + reader.U16(localOffset + 26) + std::size_t(reader.U16(localOffset + 28));
    std::size_t dataOffset = localOffset + headerLength;
    if (dataOffset > directoryOffset || info.FCompressedSize > directoryOffset - dataOffset)
      return false;
    entry.FLocalHeader = reader.Bytes(localOffset, headerLength);
    entry.FDataOffset = dataOffset;
    ranges.emplace_back(localOffset, dataOffset + info.FCompressedSize);
    entries.push_back(std::move(entry));
  }
  // Entries that share their bytes are how a small archive claims to unpack to far
  // more than it holds; no archive tool writes them, so they are refused outright.
  // (That none reaches into the central directory was checked above.)
  std::sort(ranges.begin(), ranges.end());
  for (std::size_t i = 1; i < ranges.size(); ++i)
    if (ranges[i].first < ranges[i - 1].second)
      return false;
  return true;
}

void TZipArchive::Clear() {
  FImage.clear();
  FEntries.clear();
  FComment.clear();
}

void TZipArchive::SetComment(TBytesView comment) {
  FComment = CutField(comment);
}

void TZipArchive::SetEntryComment(std::size_t index, TBytesView comment) {
  FEntries.at(index).FInfo.FComment = CutField(comment);
}

std::string_view TZipArchive::Data(const TEntry &entry) const {
  if (entry.FOwnsData)
    return entry.FData;
  return std::string_view(FImage).substr(entry.FDataOffset, entry.FInfo.FCompressedSize);
}

std::uint64_t TZipArchive::SavedSize() const {
  std::uint64_t size = EndRecordSize + FComment.size();
  for (const TEntry &entry : FEntries) {
    const TZipEntryInfo &info = entry.FInfo;
    size += entry.FOwnsData ? LocalHeaderLength(info) : entry.FLocalHeader.size();
    size += info.FCompressedSize;
    if (info.FFlag & ZipFlagDataDescriptor)
      size += DataDescriptorSize;
    size += CentralHeaderSize + info.FName.size() + info.FExtra.size() + info.FComment.size();
  }
  return size;
}

bool TZipArchive::Add(TBytesView name, std::string_view content, bool store,
                      std::uint32_t modifiedDateTime, std::uint16_t flag) {
  if (name.empty() || name.size() > ZipMaxFieldLength || FEntries.size() >= ZipMaxEntryCount ||
      content.size() >= Limit32)
    return false;
  TEntry entry;
  TZipEntryInfo &info = entry.FInfo;
  entry.FOwnsData = true;
  if (store) {
    entry.FData = content;
  } else if (!platform::DeflateRaw(content, entry.FData) || entry.FData.size() >= Limit32) {
    return false;
  }
  info.FMadeByVersion = VersionMadeBy;
  info.FRequiredVersion = store ? VersionStored : VersionDeflate;
  info.FFlag = flag & ~(ZipFlagDataDescriptor | ZipFlagEncrypted);
  info.FCompressionMethod = store ? ZipMethodStored : ZipMethodDeflate;
  info.FModifiedDateTime = modifiedDateTime;
  info.FCrc32 = platform::Crc32(content);
  info.FCompressedSize = std::uint32_t(entry.FData.size());
  info.FUncompressedSize = std::uint32_t(content.size());
  info.FName = name;
  std::uint64_t added =
      LocalHeaderLength(info) + entry.FData.size() + CentralHeaderSize + info.FName.size();
  // Every offset, the central directory's included, must stay below 4 GiB.
  if (SavedSize() + added >= Limit32)
    return false;
  FEntries.push_back(std::move(entry));
  return true;
}

bool TZipArchive::Read(std::size_t index, std::string &content) const {
  content.clear();
  if (index >= FEntries.size())
    return false;
  const TEntry &entry = FEntries[index];
  const TZipEntryInfo &info = entry.FInfo;
  if (info.FFlag & ZipFlagEncrypted)
    return false;
  std::string_view data = Data(entry);
  bool unpacked = false;
  if (info.FCompressionMethod == ZipMethodStored) {
    unpacked = info.FCompressedSize == info.FUncompressedSize;
    if (unpacked)
      content.assign(data);
  } else if (info.FCompressionMethod == ZipMethodDeflate) {
    unpacked = info.FUncompressedSize <= (std::uint64_t(data.size()) + 1) * MaxDeflateRatio &&
               platform::InflateRaw(data, info.FUncompressedSize, content);
  }
  if (!unpacked || platform::Crc32(content) != info.FCrc32) {
    content.clear();
    return false;
  }
  return true;
}

bool TZipArchive::Save(std::string &image) const {
  if (FEntries.size() > ZipMaxEntryCount || SavedSize() >= Limit32)
    return false;
  std::string out;
  out.reserve(std::size_t(SavedSize()));
  std::vector<std::uint32_t> offsets;
  offsets.reserve(FEntries.size());
  for (const TEntry &entry : FEntries) {
    const TZipEntryInfo &info = entry.FInfo;
    offsets.push_back(std::uint32_t(out.size()));
    if (entry.FOwnsData)
      PutLocalHeader(out, info);
    else
      out += entry.FLocalHeader;
    out += Data(entry);
    // The sizes of a loaded entry that had them after its data stay there, now in the
    // one form every reader knows: with signature, 32-bit sizes.
    if (info.FFlag & ZipFlagDataDescriptor) {
      PutU32(out, DataDescriptorSignature);
      PutU32(out, info.FCrc32);
      PutU32(out, info.FCompressedSize);
      PutU32(out, info.FUncompressedSize);
    }
  }
  std::uint32_t directoryOffset = std::uint32_t(out.size());
  for (std::size_t i = 0; i < FEntries.size(); ++i)
    PutCentralHeader(out, FEntries[i].FInfo, offsets[i]);
  std::uint32_t directorySize = std::uint32_t(out.size() - directoryOffset);
  PutU32(out, EndRecordSignature);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, std::uint32_t(FEntries.size()));
  PutU16(out, std::uint32_t(FEntries.size()));
  PutU32(out, directorySize);
  PutU32(out, directoryOffset);
  PutU16(out, std::uint32_t(FComment.size()));
  out += FComment;
  // A comment that holds an end record of its own could be taken for the archive's
  // end, here and by every other reader: such an image is not written.
  std::size_t found = 0;
  std::vector<TEntry> entries;
  if (!LocateEndRecord(out, found, entries) ||
      found != std::size_t(directoryOffset) + directorySize)
    return false;
  image = std::move(out);
  return true;
}
