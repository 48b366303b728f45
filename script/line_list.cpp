#include "script/line_list.h"

#include <cstring>

namespace {

std::string_view LineEndBytes(TLineEnd end) {
  switch (end) {
  case LineEndLF:
    return "\n";
  case LineEndCRLF:
    return "\r\n";
  default:
    return "";
  }
}

} // namespace

TLineList::TLineList(std::string_view text) : FSource(text) {
  size_t breaks = 0;
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(
                                         p, '\n', size_t(text.data() + text.size() - p))));
       ++p)
    ++breaks;
  FRefs.reserve(breaks + 1);
  size_t start = 0;
  while (start < text.size()) {
    const void* found = std::memchr(text.data() + start, '\n', text.size() - start);
    if (found == nullptr) {
      FRefs.push_back(MakeRef(start, text.size() - start, false, LineEndNone));
      break;
    }
    size_t lf = size_t(static_cast<const char*>(found) - text.data());
    bool crlf = lf > start && text[lf - 1] == '\r';
    size_t end = crlf ? lf - 1 : lf;
    FRefs.push_back(MakeRef(start, end - start, false, crlf ? LineEndCRLF : LineEndLF));
    start = lf + 1;
  }
}

std::string_view TLineList::Text(const TRef& ref) const {
  uint64_t offset = ref.OffsetAndKind >> 3;
  bool inOutput = (ref.OffsetAndKind & 4) != 0;
  const char* base = inOutput ? FOutput.data() : FSource.data();
  return std::string_view(base + offset, ref.Length);
}

std::string_view TLineList::Line(size_t index) const {
  if (index < FWrite)
    return Text(FRefs[index]);
  return Text(FRefs[FRead + (index - FWrite)]);
}

void TLineList::ReplaceCurrent(std::string_view text) {
  if (FOutput.capacity() == 0)
    FOutput.reserve(FSource.size() + 16); // most rewrites keep the size
  TLineEnd end = EndOf(FRefs[FRead]);
  uint64_t offset = FOutput.size();
  FOutput.append(text);
  FOutput.append(LineEndBytes(end));
  FRefs[FWrite] = MakeRef(offset, text.size(), true, end);
  ++FWrite;
  ++FRead;
}

std::string TLineList::TakeOutput() {
  std::string output = std::move(FOutput);
  FOutput.clear();
  FRefs.clear();
  FWrite = FRead = 0;
  return output;
}

void TLineList::Reorder(const std::vector<uint32_t>& order) {
  std::vector<TRef> reordered;
  reordered.reserve(FRefs.size());
  for (uint32_t i : order)
    reordered.push_back(FRefs[i]);
  FRefs = std::move(reordered);
}

std::string TLineList::Join() const {
  size_t total = 0;
  for (size_t i = 0; i < Count(); ++i)
    total += Line(i).size() + LineEndBytes(EndOf(FRefs[i])).size();
  std::string out;
  out.reserve(total);
  for (size_t i = 0; i < Count(); ++i) {
    out.append(Line(i));
    out.append(LineEndBytes(EndOf(FRefs[i])));
  }
  return out;
}
