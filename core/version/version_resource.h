// The version texts and build flags the build writes into the executable.
//
// Section ".redevuvo_version" holds entries "Key=Value", each ended by a NUL byte,
// in UTF-8: the twelve texts under their names (CompanyName, FileDescription,
// FileVersion, InternalName, LegalCopyright, LegalTrademarks, OriginalFilename,
// ProductName, ProductVersion, Comments, Mail, Internet) and FileFlags, the flags
// word as a C integer literal (decimal, 0x hexadecimal or 0 octal).
#pragma once

#include <map>
#include <string>
#include <string_view>

inline constexpr const char *VersionSectionName = ".redevuvo_version";

// The entries of a section's contents. Text after the last NUL still counts as an
// entry; an entry without "=" is skipped; of repeated keys the first one holds.
std::map<std::string, std::string> ParseVersionSection(std::string_view contents);

// This program's own section contents, as compiled in.
std::string_view BuiltInVersionSection();
