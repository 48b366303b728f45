// Version information of an executable: its version texts, short and medium
// forms of its versions, packed version numbers and build flags, read from the
// file's version section (the running program's own file by default).
#pragma once

#include <cstdint>
#include <string>

#include "core/text/text.h"

// "%d.%.2d.%.2d" of the numbers before the first three dots ("2.13.0.5" -> "2.13.00");
// the text unchanged when it has fewer than three dots or one of them is not a number.
TText MediumVersion(TTextView version);
// "%d.%.2d" of the numbers before the first two dots ("2.5.0.0" -> "2.05"); the text
// unchanged when it has fewer than two dots or one of them is not a number.
TText ShortVersion(TTextView version);
// The parts between "." and "," packed as p1 * 2^24 + p2 * 2^16 + p3 * 2^8 + p4 in
// 32-bit arithmetic; a part that is not a number and a missing part count as 0,
// parts after the fourth are ignored.
std::uint32_t PackedVersion(TTextView version);
// num1 * 2^24 + num2 * 2^16 + num3 * 2^8 + num4 in 32-bit arithmetic.
std::uint32_t PackVersionNumbers(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                                 std::uint16_t num4);

class TInfoVersion {
public:
  // The file to read; empty means the running program's own file.
  const TText &ProgramName() const { return FProgramName; }
  void SetProgramName(TTextView programName) { FProgramName = TText(programName); }

  // Reads the version section of the chosen file. Every field is cleared first, so
  // a file that is missing or has no version section leaves them all empty.
  void Execute();

  // -1, 0 or 1 as the stored number is smaller than, equal to or larger than the
  // packed numbers given.
  int CompareFileVersion(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                         std::uint16_t num4) const;
  int CompareProductVersion(std::uint16_t num1, std::uint16_t num2, std::uint16_t num3,
                            std::uint16_t num4) const;

  const TText &CompanyName() const { return FCompanyName; }
  const TText &FileDescription() const { return FFileDescription; }
  const TText &FileVersion() const { return FFileVersion; }
  const TText &InternalName() const { return FInternalName; }
  const TText &LegalCopyright() const { return FLegalCopyright; }
  const TText &LegalTrademarks() const { return FLegalTrademarks; }
  const TText &MediumFileVersion() const { return FMediumFileVersion; }
  const TText &MediumProductVersion() const { return FMediumProductVersion; }
  const TText &OriginalFilename() const { return FOriginalFilename; }
  const TText &ProductName() const { return FProductName; }
  const TText &ProductVersion() const { return FProductVersion; }
  const TText &ShortFileVersion() const { return FShortFileVersion; }
  const TText &ShortProductVersion() const { return FShortProductVersion; }
  std::uint32_t FileVersionNumber() const { return FFileVersionNumber; }
  std::uint32_t ProductVersionNumber() const { return FProductVersionNumber; }
  const TText &Comments() const { return FComments; }
  const TText &Mail() const { return FMail; }
  const TText &Internet() const { return FInternet; }
  bool Debugversion() const { return FDebugversion; }
  bool Prerelease() const { return FPrerelease; }
  bool PrivateBuild() const { return FPrivateBuild; }
  bool SpecialBuild() const { return FSpecialBuild; }

private:
  void Clear();

  TText FProgramName;
  TText FCompanyName;
  TText FFileDescription;
  TText FFileVersion;
  TText FInternalName;
  TText FLegalCopyright;
  TText FLegalTrademarks;
  TText FMediumFileVersion;
  TText FMediumProductVersion;
  TText FOriginalFilename;
  TText FProductName;
  TText FProductVersion;
  TText FShortFileVersion;
  TText FShortProductVersion;
  std::uint32_t FFileVersionNumber = 0;
  std::uint32_t FProductVersionNumber = 0;
  TText FComments;
  TText FMail;
  TText FInternet;
  bool FDebugversion = false;
  bool FPrerelease = false;
  bool FPrivateBuild = false;
  bool FSpecialBuild = false;
};
