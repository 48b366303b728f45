// TZipArchive::Load on any bytes; an archive that loads is saved and loaded again and
// must come back with the same entries and comment. Bytes that are no archive build
// one with Add and SetComment instead, which must load back just as it was made.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "core/zip/zip_archive.h"
#include "fuzz/fuzz_check.h"

namespace {

bool SameInfo(const TZipEntryInfo &a, const TZipEntryInfo &b) {
  return a.FMadeByVersion == b.FMadeByVersion && a.FRequiredVersion == b.FRequiredVersion &&
         a.FFlag == b.FFlag && a.FCompressionMethod == b.FCompressionMethod &&
         a.FModifiedDateTime == b.FModifiedDateTime && a.FCrc32 == b.FCrc32 &&
         a.FCompressedSize == b.FCompressedSize && a.FUncompressedSize == b.FUncompressedSize &&
         a.FInternalAttributes == b.FInternalAttributes &&
         a.FExternalAttributes == b.FExternalAttributes && a.FName == b.FName &&
         a.FExtra == b.FExtra && a.FComment == b.FComment;
}

// The one reason a small archive may refuse to save: a comment holding something a
// reader could take for the end record.
bool HoldsEndSignature(const std::string &comment) {
  return comment.find(std::string("PK\x05\x06", 4)) != std::string::npos;
}

} // namespace

// An archive made by the writer from the input: a few entries and a comment.
void CheckWrittenArchive(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  TZipArchive archive;
  std::vector<std::string> names;
  std::vector<std::string> contents;
  for (int n = input.ConsumeIntegralInRange(0, 3); n > 0; --n) {
    std::string name = input.ConsumeRandomLengthString(20);
    std::string content = input.ConsumeRandomLengthString(300);
    const bool store = input.ConsumeBool();
    if (archive.Add(name, content, store, input.ConsumeIntegral<uint32_t>(),
                    input.ConsumeIntegral<uint16_t>())) {
      names.push_back(name);
      contents.push_back(content);
    } else {
      FUZZ_CHECK(name.empty(), "a small entry was refused");
    }
  }
  archive.SetComment(input.ConsumeRemainingBytesAsString());
  std::string image;
  if (!archive.Save(image)) {
    FUZZ_CHECK(HoldsEndSignature(archive.Comment()), "a small archive does not save");
    return;
  }
  TZipArchive loaded;
  FUZZ_CHECK(loaded.Load(image), "a written archive does not load");
  FUZZ_CHECK(loaded.Count() == names.size(), "%zu entries written, %zu loaded", names.size(),
             loaded.Count());
  FUZZ_CHECK(loaded.Comment() == archive.Comment(), "the comment changed");
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string content;
    FUZZ_CHECK(loaded.Info(i).FName == names[i], "entry %zu has another name", i);
    FUZZ_CHECK(loaded.Read(i, content) && content == contents[i], "entry %zu reads differently", i);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TZipArchive archive;
  if (!archive.Load(std::string(reinterpret_cast<const char *>(data), size))) {
    CheckWrittenArchive(data, size);
    return 0;
  }
  std::string first;
  std::string contents[2];
  bool readable[2];
  if (!archive.Save(first)) {
    FUZZ_CHECK(HoldsEndSignature(archive.Comment()), "a loaded archive of %zu bytes does not save",
               size);
    return 0;
  }
  TZipArchive again;
  FUZZ_CHECK(again.Load(first), "the saved image of %zu bytes does not load", first.size());
  FUZZ_CHECK(again.Count() == archive.Count(), "%zu entries became %zu", archive.Count(),
             again.Count());
  FUZZ_CHECK(again.Comment() == archive.Comment(), "the archive comment changed");
  for (std::size_t i = 0; i < archive.Count(); ++i) {
    FUZZ_CHECK(SameInfo(archive.Info(i), again.Info(i)), "the header fields of entry %zu changed",
               i);
    readable[0] = archive.Read(i, contents[0]);
    readable[1] = again.Read(i, contents[1]);
    FUZZ_CHECK(readable[0] == readable[1] && contents[0] == contents[1],
               "entry %zu reads differently (%d, %d)", i, readable[0], readable[1]);
  }
  // A second save of the reloaded archive is the very same image.
  std::string second;
  FUZZ_CHECK(again.Save(second) && second == first, "the second save differs");
  return 0;
}
