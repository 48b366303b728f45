// The global zip table and the zip objects it makes: full userdata holding the one
// reference (a unique_ptr placed into the userdata's memory) to a TLuaZipFile, with
// the methods of the metatable "zevuvu.zip". Every method runs behind the host-function
// boundary and reports its own failures as nil plus an English message; running out
// of memory in the archive work is one of them ("not enough memory").
#include <memory>
#include <new>

#include "engine/host_boundary.h"
#include "engine/lua_exceptions.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "libs/file_name_marshalling.h"
#include "libs/zip_library_file.h"
#include "platform/code_page.h"
#include "platform/console.h"

namespace {

constexpr const char *ZipObjectMetatable = "zevuvu.zip";
constexpr const char *ZipModuleMetatable = "zevuvu.module.zip";
constexpr const char *NoZipFileOpen = "no zip file open";
// The runtime's own words for it, so a script sees one message either way.
constexpr const char *NotEnoughMemory = "not enough memory";

using TZipReference = std::unique_ptr<TLuaZipFile>;

// Argument 1 as a zip object; a script error for anything else.
TZipReference &LuaCheckZip(lua_State *L) {
  void *memory = luaL_testudata(L, 1, ZipObjectMetatable);
  if (memory == nullptr)
    throw EScriptError::Argument(1, "zevuvu.zip expected, got " + LuaTypeNameOf(L, 1));
  return *static_cast<TZipReference *>(memory);
}

// The object's archive when one is open, else null.
TLuaZipFile *OpenZip(lua_State *L) {
  TZipReference &reference = LuaCheckZip(L);
  return reference && reference->fIsOpen ? reference.get() : nullptr;
}

int ReturnNotOpen(lua_State *L) {
  LuaClearStack(L);
  return LuaReturnNilMessage(L, NoZipFileOpen);
}

// An entry argument: an integer position (1-based) or a name. The result is 0-based
// and lies outside the entries when the position does or the name is not found.
struct TEntryArgument {
  bool FIsPosition = false;
  lua_Integer FPosition = 0;
  TBytes FName;
};

TEntryArgument LuaCheckEntry(lua_State *L, int index) {
  TEntryArgument entry;
  entry.FIsPosition = lua_type(L, index) == LUA_TNUMBER;
  if (entry.FIsPosition)
    entry.FPosition = LuaCheckInteger(L, index);
  else
    entry.FName = LuaCheckString(L, index);
  return entry;
}

std::ptrdiff_t ResolveEntry(const TLuaZipFile &zip, const TEntryArgument &entry) {
  if (!entry.FIsPosition)
    return zip.IndexOf(BytesToText(entry.FName));
  if (entry.FPosition < 1 || std::uint64_t(entry.FPosition) > zip.FileCount())
    return -1;
  return std::ptrdiff_t(entry.FPosition - 1);
}

// The entry's 0-based index; "index out of range" for argument `index` otherwise.
std::size_t CheckedEntryIndex(const TLuaZipFile &zip, const TEntryArgument &entry, int index) {
  std::ptrdiff_t resolved = ResolveEntry(zip, entry);
  if (resolved < 0)
    throw EScriptError::Argument(index, "index out of range");
  return std::size_t(resolved);
}

// An archive closed without a caller to hear of it (collected, or replaced by the
// next open) that could not be written says so on standard error.
void CloseReportingLoss(TLuaZipFile &zip) noexcept {
  if (!zip.fIsOpen)
    return;
  std::string warning;
  try {
    warning = "warning: cannot write zip file \"" + TextToBytes(zip.fZipFileName) +
              "\", its changes are lost\n";
  } catch (const std::bad_alloc &) {
    // Said without the name, which there is no memory to spell.
  }
  if (!zip.Close())
    platform::WriteStandardError(warning.empty()
                                     ? std::string_view("warning: cannot write a zip file, "
                                                        "its changes are lost\n")
                                     : std::string_view(warning));
}

// Why an extraction failed: a symbolic link in the way is named, anything else is the
// plain message.
TBytes ExtractFailure(const TLuaZipFile &zip, const char *message) {
  if (zip.RefusedLink().empty())
    return message;
  return std::string(message) + ": \"" + TextToBytes(zip.RefusedLink()) + "\" is a symbolic link";
}

int Create(lua_State *L) {
  LuaClearStack(L);
  void *memory = lua_newuserdata(L, sizeof(TZipReference));
  TZipReference *reference = new (memory) TZipReference();
  luaL_setmetatable(L, ZipObjectMetatable);
  *reference = std::make_unique<TLuaZipFile>();
  return 1;
}

int Collect(lua_State *L) {
  TZipReference &reference = LuaCheckZip(L);
  // Close writes pending changes and never throws; the reference ends null.
  if (reference) {
    CloseReportingLoss(*reference);
    reference.reset();
  }
  return 0;
}

int Ignore(lua_State *) {
  return 0;
}

int NoMetatable(lua_State *L) {
  return LuaReturnNil(L);
}

int ToString(lua_State *L) {
  TZipReference &reference = LuaCheckZip(L);
  TText name = reference ? reference->fZipFileName : TText();
  bool isOpen = reference && reference->fIsOpen;
  LuaClearStack(L);
  LuaPushByteString(L, "zip");
  LuaPushFileName(L, name);
  lua_pushboolean(L, isOpen);
  return 3;
}

int Open(lua_State *L) {
  TZipReference &reference = LuaCheckZip(L);
  TBytes fileName = LuaCheckString(L, 2);
  bool readOnly = LuaOptBoolean(L, 3, false);
  LuaClearStack(L);
  if (fileName.empty())
    return LuaReturnNilMessage(L, "no filename given");
  if (!reference)
    return LuaReturnNilMessage(L, "cannot create or open zip file \"" + fileName + "\"");
  CloseReportingLoss(*reference);
  bool opened = false;
  try {
    opened = reference->Open(FileNameText(fileName), readOnly);
  } catch (const std::bad_alloc &) {
    return LuaReturnNilMessage(L, NotEnoughMemory);
  }
  if (opened)
    return LuaReturnBoolean(L, true);
  return LuaReturnNilMessage(L, "cannot create or open zip file \"" + fileName + "\"");
}

int Close(lua_State *L) {
  TZipReference &reference = LuaCheckZip(L);
  LuaClearStack(L);
  if (!reference || !reference->fIsOpen)
    return LuaReturnBoolean(L, true);
  TBytes name = TextToBytes(reference->fZipFileName);
  if (!reference->Close())
    return LuaReturnNilMessage(L, "cannot write zip file \"" + name + "\"");
  return LuaReturnBoolean(L, true);
}

int FileCount(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(zip->FileCount()));
}

int Add(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TBytes fileName = LuaCheckString(L, 2);
  TBytes archiveName = LuaOptString(L, 3, "");
  bool store = LuaOptBoolean(L, 4, false);
  LuaClearStack(L);
  bool added = false;
  try {
    added = zip->Add(FileNameText(fileName), BytesToText(archiveName), store);
  } catch (const std::bad_alloc &) {
    return LuaReturnNilMessage(L, NotEnoughMemory);
  }
  if (!added)
    return LuaReturnNilMessage(L, "cannot add file");
  return LuaReturnBoolean(L, true);
}

int Extract(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TEntryArgument entry = LuaCheckEntry(L, 2);
  TBytes directory = LuaOptString(L, 3, "");
  bool subDirs = LuaOptBoolean(L, 4, true);
  // Only a position is an argument error; a name not found is a failed extraction.
  std::ptrdiff_t index = entry.FIsPosition ? std::ptrdiff_t(CheckedEntryIndex(*zip, entry, 2))
                                           : ResolveEntry(*zip, entry);
  LuaClearStack(L);
  if (index < 0)
    return LuaReturnNilMessage(L, "cannot extract file");
  bool extracted = false;
  try {
    extracted = zip->Extract(std::size_t(index), FileNameText(directory), subDirs);
  } catch (const std::bad_alloc &) {
    return LuaReturnNilMessage(L, NotEnoughMemory);
  }
  if (!extracted)
    return LuaReturnNilMessage(L, ExtractFailure(*zip, "cannot extract file"));
  return LuaReturnBoolean(L, true);
}

int ExtractAll(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TBytes directory = LuaOptString(L, 2, "");
  LuaClearStack(L);
  bool extracted = false;
  try {
    extracted = zip->ExtractAll(FileNameText(directory));
  } catch (const std::bad_alloc &) {
    return LuaReturnNilMessage(L, NotEnoughMemory);
  }
  if (!extracted)
    return LuaReturnNilMessage(L, ExtractFailure(*zip, "cannot extract files"));
  return LuaReturnBoolean(L, true);
}

int FileInfo(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  std::size_t index = CheckedEntryIndex(*zip, LuaCheckEntry(L, 2), 2);
  LuaClearStack(L);
  const TZipEntryInfo &info = zip->FileInfo(index);
  lua_createtable(L, 0, 8);
  LuaSetFieldInteger(L, "MadeByVersion", info.FMadeByVersion);
  LuaSetFieldInteger(L, "RequiredVersion", info.FRequiredVersion);
  LuaSetFieldInteger(L, "Flag", info.FFlag);
  LuaSetFieldInteger(L, "CompressionMethod", info.FCompressionMethod);
  LuaSetFieldInteger(L, "ModifiedDateTime", info.FModifiedDateTime);
  LuaSetFieldInteger(L, "CRC32", info.FCrc32);
  LuaSetFieldInteger(L, "CompressedSize", info.FCompressedSize);
  LuaSetFieldInteger(L, "UncompressedSize", info.FUncompressedSize);
  return 1;
}

int FileName(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TEntryArgument entry;
  entry.FIsPosition = true;
  entry.FPosition = LuaCheckInteger(L, 2);
  std::size_t index = CheckedEntryIndex(*zip, entry, 2);
  LuaClearStack(L);
  return LuaReturnText(L, zip->FileName(index));
}

int FileNames(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  LuaClearStack(L);
  TTextList names;
  names.reserve(zip->FileCount());
  for (std::size_t i = 0; i < zip->FileCount(); ++i)
    names.push_back(zip->FileName(i));
  return LuaReturnStringList(L, names);
}

int IndexOf(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TBytes name = LuaCheckString(L, 2);
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(zip->IndexOf(BytesToText(name)) + 1));
}

int GetComment(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  LuaClearStack(L);
  return LuaReturnByteString(L, zip->Comment());
}

int SetComment(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  TBytes comment = LuaOptString(L, 2, "");
  LuaClearStack(L);
  zip->SetComment(comment);
  return 0;
}

int GetFileComment(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  std::size_t index = CheckedEntryIndex(*zip, LuaCheckEntry(L, 2), 2);
  LuaClearStack(L);
  return LuaReturnText(L, zip->FileComment(index));
}

int SetFileComment(lua_State *L) {
  TLuaZipFile *zip = OpenZip(L);
  if (zip == nullptr)
    return ReturnNotOpen(L);
  std::size_t index = CheckedEntryIndex(*zip, LuaCheckEntry(L, 2), 2);
  TBytes comment = LuaOptString(L, 3, "");
  LuaClearStack(L);
  // On an archive open for reading only this throws: a host failure that ends the run.
  zip->SetFileComment(index, BytesToText(comment));
  return 0;
}

const luaL_Reg ZipObjectFunctions[] = {{"__gc", LuaBoundary<Collect>},
                                       {"__len", LuaBoundary<FileCount>},
                                       {"__metatable", LuaBoundary<NoMetatable>},
                                       {"__newindex", LuaBoundary<Ignore>},
                                       {"__tostring", LuaBoundary<ToString>},
                                       {"open", LuaBoundary<Open>},
                                       {"close", LuaBoundary<Close>},
                                       {"add", LuaBoundary<Add>},
                                       {"extract", LuaBoundary<Extract>},
                                       {"extractall", LuaBoundary<ExtractAll>},
                                       {"filecount", LuaBoundary<FileCount>},
                                       {"fileinfo", LuaBoundary<FileInfo>},
                                       {"filename", LuaBoundary<FileName>},
                                       {"filenames", LuaBoundary<FileNames>},
                                       {"indexof", LuaBoundary<IndexOf>},
                                       {"getcomment", LuaBoundary<GetComment>},
                                       {"setcomment", LuaBoundary<SetComment>},
                                       {"getfilecomment", LuaBoundary<GetFileComment>},
                                       {"setfilecomment", LuaBoundary<SetFileComment>},
                                       {nullptr, nullptr}};

const luaL_Reg ZipModuleFunctions[] = {{"__call", LuaBoundary<Create>},
                                       {"__metatable", LuaBoundary<NoMetatable>},
                                       {"__newindex", LuaBoundary<Ignore>},
                                       {"create", LuaBoundary<Create>},
                                       {nullptr, nullptr}};

} // namespace

void RegisterZipLibrary(lua_State *L) {
  luaL_newmetatable(L, ZipObjectMetatable);
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "__index");
  luaL_setfuncs(L, ZipObjectFunctions, 0);
  lua_pop(L, 1);

  if (!LuaGetGlobalTable(L, "zip"))
    return;
  luaL_newmetatable(L, ZipModuleMetatable);
  luaL_setfuncs(L, ZipModuleFunctions, 0);
  // Without an __index the metatable's create could not be reached as zip.create.
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
  lua_pop(L, 1);
}
