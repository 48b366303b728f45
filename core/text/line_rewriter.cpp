#include "core/text/line_rewriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/large_buffer.h"

TLineRewriter::TLineRewriter(std::string_view text) : FSource(text) {
  FindLineAt(0);
}

// Cuts one line as ScanLines does, without its set-up: this runs once per line of
// every iteration.
void TLineRewriter::FindLineAt(size_t start) {
  const size_t size = FSource.size();
  if (start >= size) {
    FCurrentStart = size + 1; // no line left
    return;
  }
  FCurrentStart = start;
  const char *base = FSource.data();
  const void *lf = std::memchr(base + start, '\n', size - start);
  if (lf == nullptr) {
    FCurrentLength = size - start;
    FCurrentEnd = LineEndNone;
    FNextStart = size;
    return;
  }
  const size_t at = size_t(static_cast<const char *>(lf) - base);
  const bool crlf = at > start && base[at - 1] == '\r';
  FCurrentLength = (crlf ? at - 1 : at) - start;
  FCurrentEnd = crlf ? LineEndCRLF : LineEndLF;
  FNextStart = at + 1;
}

void TLineRewriter::Advance() {
  if (FIndexed)
    ++FRead;
  FindLineAt(FNextStart);
}

void TLineRewriter::BuildIndex() const {
  if (FIndexed)
    return;
  FRefs.clear();
  // The processed lines: first those in the output, then the unchanged run.
  size_t irregular = 0;
  for (size_t pos = 0;;) {
    if (irregular < FIrregular.size() && (FIrregular[irregular].OffsetAndKind >> 3) == pos) {
      const TRef &ref = FIrregular[irregular++];
      FRefs.push_back(ref);
      pos += ref.Length + LineEndBytes(EndOf(ref)).size();
      continue;
    }
    if (pos >= FOutput.size())
      break;
    ScanLines(
        FOutput.substr(pos),
        [&](size_t start, size_t length, TLineEnd end) {
          FRefs.push_back(MakeRef(pos + start, length, true, end));
        },
        1);
    pos = (FRefs.back().OffsetAndKind >> 3) + FRefs.back().Length +
          LineEndBytes(EndOf(FRefs.back())).size();
  }
  size_t runEnd = AtEnd() ? FSource.size() : FCurrentStart;
  ScanLines(FSource.substr(FRunStart, runEnd - FRunStart),
            [&](size_t start, size_t length, TLineEnd end) {
              FRefs.push_back(MakeRef(FRunStart + start, length, false, end));
            });
  FRead = FRefs.size();
  if (!AtEnd())
    ScanLines(FSource.substr(FCurrentStart), [&](size_t start, size_t length, TLineEnd end) {
      FRefs.push_back(MakeRef(FCurrentStart + start, length, false, end));
    });
  FIndexed = true;
}

std::string_view TLineRewriter::Text(const TRef &ref) const {
  uint64_t offset = ref.OffsetAndKind >> 3;
  bool inOutput = (ref.OffsetAndKind & 4) != 0;
  const char *base = inOutput ? FOutput.data() : FSource.data();
  return std::string_view(base + offset, ref.Length);
}

size_t TLineRewriter::Count() const {
  BuildIndex();
  return FKept + (FRefs.size() - FRead);
}

std::string_view TLineRewriter::Line(size_t index) const {
  BuildIndex();
  if (index < FKept)
    return Text(FRefs[index]);
  return Text(FRefs[FRead + (index - FKept)]);
}

void TLineRewriter::ReplaceCurrent(std::string_view text) {
  if (text == Current()) {
    // Unchanged: the line stays where it is in the source, part of the run.
    if (FIndexed)
      FRefs[FKept] = MakeRef(FCurrentStart, FCurrentLength, false, FCurrentEnd);
  } else {
    CopyRunToOutput(FCurrentStart);
    FRunStart = FNextStart;
    TRef ref = MakeRef(FOutput.size(), text.size(), true, FCurrentEnd);
    FOutput.append(text);
    FOutput.append(LineEndBytes(FCurrentEnd));
    const bool leavesNoBytes = text.empty() && FCurrentEnd == LineEndNone;
    if (text.find('\n') != std::string_view::npos || (!text.empty() && text.back() == '\r') ||
        leavesNoBytes)
      FIrregular.push_back(ref);
    if (FIndexed)
      FRefs[FKept] = ref;
  }
  ++FKept;
  Advance();
}

void TLineRewriter::DeleteCurrent() {
  CopyRunToOutput(FCurrentStart);
  FRunStart = FNextStart;
  Advance();
}

// Copies the unchanged lines from the run's start up to end into the output.
void TLineRewriter::CopyRunToOutput(size_t end) {
  if (FOutput.capacity() < FSource.size())
    platform::ReserveLargeText(FOutput, FSource.size() + 16); // most rewrites keep the size
  if (end > FRunStart)
    FOutput.append(FSource.substr(FRunStart, end - FRunStart));
}

std::optional<std::string> TLineRewriter::TakeOutput() {
  if (FRunStart == 0 && FOutput.empty())
    return std::nullopt; // nothing changed
  CopyRunToOutput(FSource.size());
  std::string output = std::move(FOutput);
  FOutput.clear();
  FRefs.clear();
  FIrregular.clear();
  FIndexed = false;
  FKept = FRead = FRunStart = 0;
  FindLineAt(FSource.size());
  return output;
}

void TLineRewriter::Reorder(const std::vector<uint32_t> &order) {
  BuildIndex();
  std::vector<TRef> reordered;
  reordered.reserve(FRefs.size());
  for (uint32_t i : order)
    reordered.push_back(FRefs[i]);
  if (!reordered.empty() && EndOf(reordered.back()) != LineEndNone) {
    for (TRef &ref : reordered)
      if (EndOf(ref) == LineEndNone) {
        SetEnd(ref, EndOf(reordered.back()));
        SetEnd(reordered.back(), LineEndNone);
        break;
      }
  }
  FRefs = std::move(reordered);
}

std::string TLineRewriter::Join() const {
  BuildIndex();
  size_t total = 0;
  for (const TRef &ref : FRefs)
    total += ref.Length + LineEndBytes(EndOf(ref)).size();
  std::string out;
  platform::ReserveLargeText(out, total);
  for (const TRef &ref : FRefs) {
    out.append(Text(ref));
    out.append(LineEndBytes(EndOf(ref)));
  }
  return out;
}
