// Raw deflate streams (no zlib or gzip wrapper), as zip entries carry them, and the
// CRC-32 that zip archives record for each entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The CRC-32 of data (the polynomial of zip, gzip and PNG), continuing from crc.
std::uint32_t Crc32(std::string_view data, std::uint32_t crc = 0);

// Compresses data into one raw deflate stream; false only when the compressor fails.
bool DeflateRaw(std::string_view data, std::string &compressed);

// Decompresses one raw deflate stream that must end within `compressed` and yield
// exactly `expectedSize` bytes. The output never grows beyond expectedSize, so a
// stream that expands further than its header declared fails without using more
// memory. False for any damage; `data` then holds no meaningful content.
bool InflateRaw(std::string_view compressed, std::uint64_t expectedSize, std::string &data);

} // namespace platform
