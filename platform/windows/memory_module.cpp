#include "platform/windows/memory_module.h"

#include <vector>
#include <windows.h>

#include "platform/windows/pe_image.h"

namespace platform {
namespace {

using TEntryPoint = BOOL(WINAPI *)(HINSTANCE, DWORD, LPVOID);
using TTlsCallback = void(NTAPI *)(PVOID, DWORD, PVOID);

struct TReleaseMemory {
  void operator()(char *base) const { VirtualFree(base, 0, MEM_RELEASE); }
};

struct TReleaseLibrary {
  void operator()(HMODULE library) const { ::FreeLibrary(library); }
};

using TLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, TReleaseLibrary>;

// The image's imports come from the system loader; every library it opens stays
// referenced until the module is released.
class TSystemImports : public pe::TImportResolver {
public:
  explicit TSystemImports(std::vector<TLibrary> &libraries) : FLibraries(libraries) {}

  void *OpenLibrary(const std::string &name) override {
    HMODULE library = LoadLibraryA(name.c_str());
    if (library != nullptr)
      FLibraries.emplace_back(library);
    return library;
  }
  std::uint64_t SymbolByName(void *library, const std::string &name) override {
    return reinterpret_cast<std::uint64_t>(GetProcAddress(HMODULE(library), name.c_str()));
  }
  std::uint64_t SymbolByOrdinal(void *library, std::uint16_t ordinal) override {
    return reinterpret_cast<std::uint64_t>(
        GetProcAddress(HMODULE(library), MAKEINTRESOURCEA(ordinal)));
  }

private:
  std::vector<TLibrary> &FLibraries;
};

// Every section stays at least readable, so an export table that a forged
// header places anywhere in the image can still be read without a fault.
DWORD ProtectionOf(std::uint32_t characteristics) {
  bool execute = (characteristics & pe::SectionExecute) != 0;
  bool write = (characteristics & pe::SectionWrite) != 0;
  if (execute)
    return write ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ;
  return write ? PAGE_READWRITE : PAGE_READONLY;
}

std::uint32_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

} // namespace

struct TMemoryModule::TState {
  pe::THeaders Headers;
  std::unique_ptr<char, TReleaseMemory> Base;
  std::vector<TLibrary> Imports;
  bool TableRegistered = false;
  std::vector<std::uint32_t> TlsCallbacks;
  bool Attached = false;

  std::span<char> Image() const { return {Base.get(), Headers.SizeOfImage}; }

  void NotifyTls(DWORD reason) const {
    for (std::uint32_t callback : TlsCallbacks)
      reinterpret_cast<TTlsCallback>(Base.get() + callback)(Base.get(), reason, nullptr);
  }

  // The entry point's answer; an image without one always succeeds.
  bool NotifyEntry(DWORD reason) const {
    if (Headers.EntryPoint == 0)
      return true;
    auto entry = reinterpret_cast<TEntryPoint>(Base.get() + Headers.EntryPoint);
    return entry(HINSTANCE(Base.get()), reason, nullptr) != FALSE;
  }

  bool Map(std::string_view file);
  bool Protect() const;
  bool Attach();

  // Detach in the reverse order of attach; the members release the imported
  // libraries and the memory afterwards.
  ~TState() {
    if (Attached) {
      NotifyEntry(DLL_PROCESS_DETACH);
      NotifyTls(DLL_PROCESS_DETACH);
    }
    if (TableRegistered)
      RtlDeleteFunctionTable(reinterpret_cast<PRUNTIME_FUNCTION>(
          Base.get() + pe::FunctionTable(Headers)->VirtualAddress));
  }
};

bool TMemoryModule::TState::Map(std::string_view file) {
  std::optional<pe::THeaders> headers = pe::ParseHeaders(file);
  if (!headers)
    return false;
  Headers = std::move(*headers);
  // The preferred base spares the relocations; anywhere else will do.
  void *base = VirtualAlloc(reinterpret_cast<void *>(Headers.ImageBase), Headers.SizeOfImage,
                            MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base == nullptr)
    base = VirtualAlloc(nullptr, Headers.SizeOfImage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base == nullptr)
    return false;
  Base.reset(static_cast<char *>(base));
  pe::CopySections(Headers, file, Image());
  if (!pe::ApplyRelocations(Headers, Image(), reinterpret_cast<std::uint64_t>(base)))
    return false;
  TSystemImports imports(Imports);
  if (!pe::ResolveImports(Headers, Image(), imports))
    return false;
  std::optional<std::vector<std::uint32_t>> callbacks =
      pe::TlsCallbacks(Headers, Image(), reinterpret_cast<std::uint64_t>(base));
  if (!callbacks)
    return false;
  TlsCallbacks = std::move(*callbacks);
  return true;
}

bool TMemoryModule::TState::Protect() const {
  DWORD old = 0;
  std::uint32_t page = PageSize();
  if (Headers.SectionAlignment < page) {
    // Sections share pages: one protection must serve them all.
    return VirtualProtect(Base.get(), Headers.SizeOfImage, PAGE_EXECUTE_READWRITE, &old) != FALSE;
  }
  if (!VirtualProtect(Base.get(), Headers.SizeOfHeaders, PAGE_READONLY, &old))
    return false;
  for (const pe::TSection &section : Headers.Sections)
    if (!VirtualProtect(Base.get() + section.VirtualAddress, section.VirtualSize,
                        ProtectionOf(section.Characteristics), &old))
      return false;
  FlushInstructionCache(GetCurrentProcess(), Base.get(), Headers.SizeOfImage);
  return true;
}

bool TMemoryModule::TState::Attach() {
  if (std::optional<pe::TFunctionTable> table = pe::FunctionTable(Headers)) {
    auto *entries = reinterpret_cast<PRUNTIME_FUNCTION>(Base.get() + table->VirtualAddress);
    if (!RtlAddFunctionTable(entries, table->Count, reinterpret_cast<DWORD64>(Base.get())))
      return false;
    TableRegistered = true;
  }
  if (!Protect())
    return false;
  // As the system loader does: TLS callbacks first, then the entry point.
  NotifyTls(DLL_PROCESS_ATTACH);
  if (!NotifyEntry(DLL_PROCESS_ATTACH)) {
    NotifyTls(DLL_PROCESS_DETACH);
    return false;
  }
  Attached = true;
  return true;
}

TMemoryModule::TMemoryModule(std::unique_ptr<TState> state) : FState(std::move(state)) {}

TMemoryModule::~TMemoryModule() = default;

std::unique_ptr<TMemoryModule> TMemoryModule::Load(std::string_view image) {
  auto state = std::make_unique<TState>();
  if (!state->Map(image) || !state->Attach())
    return nullptr;
  return std::make_unique<TMemoryModule>(std::move(state));
}

void *TMemoryModule::SymbolByName(std::string_view name) const {
  std::optional<std::uint32_t> rva = pe::ExportByName(FState->Headers, FState->Image(), name);
  return rva ? FState->Base.get() + *rva : nullptr;
}

void *TMemoryModule::SymbolByOrdinal(std::uint16_t ordinal) const {
  std::optional<std::uint32_t> rva = pe::ExportByOrdinal(FState->Headers, FState->Image(), ordinal);
  return rva ? FState->Base.get() + *rva : nullptr;
}

} // namespace platform
