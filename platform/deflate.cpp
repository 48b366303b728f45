#include "platform/deflate.h"

#include <algorithm>
#include <limits>

#include <zlib.h>

namespace platform {

namespace {

// zlib counts in uInt; longer buffers are handed over in pieces of this size.
constexpr std::size_t MaxPiece = std::numeric_limits<uInt>::max() / 2;
// Output is produced in steps of this size, so memory follows the real data.
constexpr std::size_t OutputStep = 256 * 1024;
constexpr int RawWindowBits = -15;

// Ends a zlib stream on every way out, the std::bad_alloc of a growing output included.
template <int (*End)(z_streamp)> class TStreamEnd {
public:
  explicit TStreamEnd(z_stream &stream) : FStream(stream) {}
  ~TStreamEnd() { End(&FStream); }
  TStreamEnd(const TStreamEnd &) = delete;
  TStreamEnd &operator=(const TStreamEnd &) = delete;

private:
  z_stream &FStream;
};

} // namespace

std::uint32_t Crc32(std::string_view data, std::uint32_t crc) {
  uLong value = crc;
  while (!data.empty()) {
    std::size_t piece = std::min(data.size(), MaxPiece);
    value = crc32(value, reinterpret_cast<const Bytef *>(data.data()), uInt(piece));
    data.remove_prefix(piece);
  }
  return std::uint32_t(value);
}

bool DeflateRaw(std::string_view data, std::string &compressed) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, RawWindowBits, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  TStreamEnd<deflateEnd> end(stream);
  compressed.clear();
  int result = Z_OK;
  std::size_t offset = 0;
  do {
    std::size_t piece = std::min(data.size() - offset, MaxPiece);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data() + offset));
    stream.avail_in = uInt(piece);
    offset += piece;
    int flush = offset == data.size() ? Z_FINISH : Z_NO_FLUSH;
    do {
      std::size_t used = compressed.size();
      compressed.resize(used + OutputStep);
      stream.next_out = reinterpret_cast<Bytef *>(compressed.data() + used);
      stream.avail_out = uInt(OutputStep);
      result = deflate(&stream, flush);
      compressed.resize(used + OutputStep - stream.avail_out);
      if (result == Z_STREAM_ERROR)
        return false;
    } while (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  } while (offset < data.size());
  return result == Z_STREAM_END;
}

bool InflateRaw(std::string_view compressed, std::uint64_t expectedSize, std::string &data) {
  data.clear();
  z_stream stream{};
  if (inflateInit2(&stream, RawWindowBits) != Z_OK)
    return false;
  TStreamEnd<inflateEnd> end(stream);
  std::size_t offset = 0;
  int result = Z_OK;
  bool failed = false;
  while (result != Z_STREAM_END && !failed) {
    if (stream.avail_in == 0) {
      if (offset == compressed.size()) {
        failed = true; // the stream does not end within the entry
        break;
      }
      std::size_t piece = std::min(compressed.size() - offset, MaxPiece);
      stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data() + offset));
      stream.avail_in = uInt(piece);
      offset += piece;
    }
    // One byte of room beyond the expected size: output that reaches it is too long.
    std::uint64_t room = expectedSize + 1 - data.size();
    std::size_t step = std::size_t(std::min<std::uint64_t>(room, OutputStep));
    std::size_t used = data.size();
    data.resize(used + step);
    stream.next_out = reinterpret_cast<Bytef *>(data.data() + used);
    stream.avail_out = uInt(step);
    result = inflate(&stream, Z_NO_FLUSH);
    data.resize(used + step - stream.avail_out);
    if (result != Z_OK && result != Z_STREAM_END)
      failed = true; // damaged data, or no progress possible (Z_BUF_ERROR)
    if (data.size() > expectedSize)
      failed = true;
  }
  return !failed && data.size() == expectedSize;
}

} // namespace platform
