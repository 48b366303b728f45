#include "libs/zip_library_file.h"

#include <utility>

#include "core/files/file_helpers.h"

bool TLuaZipFile::Open(TTextView AFileName, bool AReadOnly) {
  Close();
  if (AFileName.empty())
    return false;
  TZipMode mode = TZipMode::Write;
  if (IsExistingFile(AFileName))
    mode = AReadOnly || IsReadOnlyFile(AFileName, false) ? TZipMode::Read : TZipMode::ReadWrite;
  else if (AReadOnly)
    return false;
  // The name is copied first: running out of memory after the archive opened would
  // leave it open behind an object that says it is closed.
  TText name(AFileName);
  if (!TZipFile::Open(AFileName, mode))
    return false;
  fZipFileName = std::move(name);
  fIsOpen = true;
  return true;
}

bool TLuaZipFile::Close() {
  bool saved = TZipFile::Close();
  fZipFileName.clear();
  fIsOpen = false;
  return saved;
}
