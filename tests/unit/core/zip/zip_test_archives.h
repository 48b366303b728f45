// Archive images built byte by byte, so that the zip tests can make every field lie.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/deflate.h"

struct TRawZipEntry {
  std::string Name;
  std::string Data; // as stored (already compressed for method 8)
  std::uint16_t Method = 0;
  std::uint16_t Flag = 0;
  std::uint32_t Crc = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t UncompressedSize = 0;
  std::string Comment;
  // Written after the data, with signature, when Flag has bit 3; the local header
  // then carries zeros for CRC and sizes.
  bool Descriptor = false;
  // When set, the entry has no local header and data of its own: its central record
  // points at those of the entry with this index (which must come before it).
  int SharesDataOf = -1;
};

// A stored entry whose fields are honest.
inline TRawZipEntry StoredEntry(const std::string &name, const std::string &content) {
  TRawZipEntry entry;
  entry.Name = name;
  entry.Data = content;
  entry.Crc = platform::Crc32(content);
  entry.CompressedSize = entry.UncompressedSize = std::uint32_t(content.size());
  return entry;
}

// A deflated entry whose fields are honest.
inline TRawZipEntry DeflatedEntry(const std::string &name, const std::string &content) {
  TRawZipEntry entry = StoredEntry(name, content);
  platform::DeflateRaw(content, entry.Data);
  entry.Method = 8;
  entry.CompressedSize = std::uint32_t(entry.Data.size());
  return entry;
}

inline void PutU16(std::string &out, std::uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8 & 0xFF));
}
inline void PutU32(std::string &out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// Local headers with data, central directory, end record with comment.
inline std::string BuildArchive(const std::vector<TRawZipEntry> &entries,
                                const std::string &comment = "") {
  std::string out;
  std::vector<std::uint32_t> offsets;
  for (const TRawZipEntry &e : entries) {
    if (e.SharesDataOf >= 0) {
      offsets.push_back(offsets.at(std::size_t(e.SharesDataOf)));
      continue;
    }
    offsets.push_back(std::uint32_t(out.size()));
    bool descriptor = e.Descriptor;
    PutU32(out, 0x04034b50);
    PutU16(out, 20);
    PutU16(out, e.Flag);
    PutU16(out, e.Method);
    PutU32(out, 0x58210000);
    PutU32(out, descriptor ? 0 : e.Crc);
    PutU32(out, descriptor ? 0 : e.CompressedSize);
    PutU32(out, descriptor ? 0 : e.UncompressedSize);
    PutU16(out, std::uint32_t(e.Name.size()));
    PutU16(out, 0);
    out += e.Name + e.Data;
    if (descriptor) {
      PutU32(out, 0x08074b50);
      PutU32(out, e.Crc);
      PutU32(out, e.CompressedSize);
      PutU32(out, e.UncompressedSize);
    }
  }
  std::uint32_t directoryOffset = std::uint32_t(out.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TRawZipEntry &e = entries[i];
    PutU32(out, 0x02014b50);
    PutU16(out, 20);
    PutU16(out, 20);
    PutU16(out, e.Flag);
    PutU16(out, e.Method);
    PutU32(out, 0x58210000);
    PutU32(out, e.Crc);
    PutU32(out, e.CompressedSize);
    PutU32(out, e.UncompressedSize);
    PutU16(out, std::uint32_t(e.Name.size()));
    PutU16(out, 0);
    PutU16(out, std::uint32_t(e.Comment.size()));
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, 0);
    PutU32(out, offsets[i]);
    out += e.Name + e.Comment;
  }
  std::uint32_t directorySize = std::uint32_t(out.size()) - directoryOffset;
  PutU32(out, 0x06054b50);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, std::uint32_t(entries.size()));
  PutU16(out, std::uint32_t(entries.size()));
  PutU32(out, directorySize);
  PutU32(out, directoryOffset);
  PutU16(out, std::uint32_t(comment.size()));
  out += comment;
  return out;
}
