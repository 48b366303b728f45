// The archive object behind a script's zip object: the zip file of core/zip_file.h
// plus the name of the open archive and whether one is open.
#pragma once

#include "core/text/text.h"
#include "core/zip/zip_file.h"

class TLuaZipFile : public TZipFile {
public:
  TText fZipFileName;
  bool fIsOpen = false;

  // Closes the open archive, then opens AFileName: a missing file is created as a new
  // archive unless AReadOnly; an existing one opens for reading only when AReadOnly or
  // when the file is read-only, else for reading and writing. False, and closed, on
  // any failure.
  bool Open(TTextView AFileName, bool AReadOnly);
  // Writes pending changes of an archive open for writing and closes it; false when
  // that write failed (the changes are lost, the file keeps its old content).
  bool Close();
};
