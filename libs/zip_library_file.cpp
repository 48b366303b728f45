#include "libs/zip_library_file.h"

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
  if (!TZipFile::Open(AFileName, mode))
    return false;
  fZipFileName = TText(AFileName);
  fIsOpen = true;
  return true;
}

void TLuaZipFile::Close() {
  TZipFile::Close();
  fZipFileName.clear();
  fIsOpen = false;
}
