// The in-memory loader with the real runtime library: the mapped lua53.dll runs
// chunks, raises errors with longjmp and lets C++ exceptions pass through its
// frames; malformed images are refused without a fault.
#include "platform/windows/memory_module.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/library_loader.h"
#include "platform/windows/pe_image.h"

namespace {

// The few runtime entry points the tests call, declared by their C signatures
// (the test talks to the mapped image only, never to the engine's binding).
struct lua_State;
using TCFunction = int (*)(lua_State *);
struct TRuntime {
  lua_State *(*NewState)();
  void (*OpenLibs)(lua_State *);
  int (*LoadString)(lua_State *, const char *);
  int (*PCall)(lua_State *, int, int, int, std::intptr_t, void *);
  void (*Call)(lua_State *, int, int, std::intptr_t, void *);
  const char *(*ToString)(lua_State *, int, std::size_t *);
  long long (*ToInteger)(lua_State *, int, int *);
  void (*PushCFunction)(lua_State *, TCFunction, int);
  void (*SetGlobal)(lua_State *, const char *);
  int (*Error)(lua_State *, const char *, ...);
  void (*Close)(lua_State *);
};

template <typename T> void Bind(const platform::TMemoryModule &module, const char *name, T &slot) {
  slot = reinterpret_cast<T>(module.SymbolByName(name));
  ASSERT_NE(slot, nullptr) << name;
}

std::string RuntimeImage() {
  std::ifstream in(REDEVUVO_LUA_DLL, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MappedRuntime : public ::testing::Test {
protected:
  void SetUp() override {
    FImage = RuntimeImage();
    ASSERT_FALSE(FImage.empty()) << REDEVUVO_LUA_DLL;
    FModule = platform::TMemoryModule::Load(FImage);
    ASSERT_NE(FModule, nullptr);
    // Upper-case names on purpose: the binding ignores ASCII case.
    Bind(*FModule, "LUAL_NEWSTATE", R.NewState);
    Bind(*FModule, "luaL_openlibs", R.OpenLibs);
    Bind(*FModule, "luaL_loadstring", R.LoadString);
    Bind(*FModule, "lua_pcallk", R.PCall);
    Bind(*FModule, "lua_callk", R.Call);
    Bind(*FModule, "lua_tolstring", R.ToString);
    Bind(*FModule, "lua_tointegerx", R.ToInteger);
    Bind(*FModule, "lua_pushcclosure", R.PushCFunction);
    Bind(*FModule, "lua_setglobal", R.SetGlobal);
    Bind(*FModule, "luaL_error", R.Error);
    Bind(*FModule, "lua_close", R.Close);
    L = R.NewState();
    ASSERT_NE(L, nullptr);
    R.OpenLibs(L);
  }
  void TearDown() override {
    if (L != nullptr)
      R.Close(L);
  }

  // Loads the chunk and calls it protected; the status, with the result or error text.
  std::pair<int, std::string> Run(const char *chunk) {
    int status = R.LoadString(L, chunk);
    if (status == 0)
      status = R.PCall(L, 0, 1, 0, 0, nullptr);
    const char *text = R.ToString(L, -1, nullptr);
    std::pair<int, std::string> result{status, text ? text : "<not a string>"};
    return result;
  }

  std::string FImage;
  std::unique_ptr<platform::TMemoryModule> FModule;
  TRuntime R{};
  lua_State *L = nullptr;
};

TRuntime *Current = nullptr;

int HostThrows(lua_State *) {
  throw std::runtime_error("thrown by the host");
}

int HostRaisesScriptError(lua_State *L) {
  return Current->Error(L, "raised by the host: %d", 42);
}

TEST_F(MappedRuntime, RunsAChunkWithTheStandardLibraries) {
  auto [status, text] = Run("return string.format('%d-%s', 6 * 7, bit32.band(12, 10))");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text, "42-8");
}

TEST_F(MappedRuntime, ErrorsLongjmpBackToTheProtectedCall) {
  Current = &R;
  R.PushCFunction(L, HostRaisesScriptError, 0);
  R.SetGlobal(L, "hostraise");
  struct TCase {
    const char *Chunk;
    int Status;
    const char *Text;
  } cases[] = {
      {"error('boom')", 2, "[string \"error('boom')\"]:1: boom"},
      {"local t = nil; return t.x", 2, "attempt to index a nil value"},
      {"hostraise()", 2, "raised by the host: 42"},
      {"return pcall(hostraise) and 'caught' or 'not caught'", 0, "not caught"},
      {"return select(2, pcall(error, 'inner'))", 0, "inner"},
      {"return (", 3, "unexpected symbol near <eof>"},
  };
  for (const TCase &c : cases) {
    auto [status, text] = Run(c.Chunk);
    EXPECT_EQ(status, c.Status) << c.Chunk;
    EXPECT_NE(text.find(c.Text), std::string::npos) << c.Chunk << ": " << text;
  }
  // The state still works after every error.
  EXPECT_EQ(Run("return 1 + 1").second, "2");
}

TEST_F(MappedRuntime, CppExceptionsPassThroughTheRuntimesFrames) {
  R.PushCFunction(L, HostThrows, 0);
  R.SetGlobal(L, "hostthrow");
  // Called unprotected and protected, and from deeper inside the runtime
  // (a Lua function, string.gsub's callback, table.sort's comparison).
  const char *chunks[] = {
      "hostthrow()",
      "local function f() return hostthrow() + 1 end return f()",
      "return (string.gsub('abc', '%w', function(c) hostthrow() end))",
      "table.sort({3, 2, 1}, function(a, b) hostthrow() end)",
  };
  for (const char *chunk : chunks) {
    for (bool protectedCall : {false, true}) {
      ASSERT_EQ(R.LoadString(L, chunk), 0) << chunk;
      std::string caught;
      try {
        if (protectedCall)
          R.PCall(L, 0, 0, 0, 0, nullptr);
        else
          R.Call(L, 0, 0, 0, nullptr);
      } catch (const std::runtime_error &e) {
        caught = e.what();
      }
      EXPECT_EQ(caught, "thrown by the host") << chunk << (protectedCall ? " (pcall)" : "");
    }
  }
  // The state after an exception is not used again; a fresh one works.
  R.Close(L);
  L = R.NewState();
  R.OpenLibs(L);
  EXPECT_EQ(Run("return 'fresh'").second, "fresh");
}

TEST_F(MappedRuntime, ExportsByOrdinalMatchThoseByName) {
  void *byName = FModule->SymbolByName("lua_close");
  bool found = false;
  for (std::uint16_t ordinal = 1; ordinal < 400; ++ordinal)
    found = found || FModule->SymbolByOrdinal(ordinal) == byName;
  EXPECT_TRUE(found);
  EXPECT_EQ(FModule->SymbolByOrdinal(0), nullptr);
  EXPECT_EQ(FModule->SymbolByName("lua_no_such_function"), nullptr);
  EXPECT_EQ(FModule->SymbolByName("lua_clos"), nullptr);
}

// --- Images that must be refused --------------------------------------------

std::uint32_t ReadWord(const std::string &image, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, image.data() + at, sizeof value);
  return value;
}

template <typename T> void WriteAt(std::string &image, std::size_t at, T value) {
  std::memcpy(image.data() + at, &value, sizeof value);
}

// Offsets of the real image's header fields and tables, for the edits below.
struct TLayout {
  explicit TLayout(const std::string &image) {
    PeHeader = ReadWord(image, 0x3C);
    Optional = PeHeader + 24;
    Headers = *platform::pe::ParseHeaders(image);
  }
  std::size_t FileOffset(std::uint32_t rva) const {
    for (const platform::pe::TSection &s : Headers.Sections)
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.RawSize)
        return s.RawOffset + (rva - s.VirtualAddress);
    ADD_FAILURE() << "address not in the file: " << rva;
    return 0;
  }
  std::size_t PeHeader;
  std::size_t Optional;
  platform::pe::THeaders Headers;
};

// While one copy of the image holds its preferred base, a second copy must move
// and so have its relocations applied.
class PreferredBaseTaken {
public:
  PreferredBaseTaken() : FHolder(platform::TMemoryModule::Load(RuntimeImage())) {}
  bool Held() const { return FHolder != nullptr; }

private:
  std::unique_ptr<platform::TMemoryModule> FHolder;
};

void RenameImport(std::string &image, const TLayout &layout, const char *from, const char *to) {
  std::size_t start = layout.FileOffset(layout.Headers.Directories[1].VirtualAddress);
  std::size_t at = image.find(from, start);
  ASSERT_NE(at, std::string::npos) << from;
  image.replace(at, std::strlen(to), to);
}

TEST(MemoryModule, RelocatedImageStillRuns) {
  auto first = platform::TMemoryModule::Load(RuntimeImage());
  auto module = platform::TMemoryModule::Load(RuntimeImage());
  ASSERT_TRUE(first && module);
  EXPECT_NE(first->SymbolByName("lua_close"), module->SymbolByName("lua_close"));
  auto newState = reinterpret_cast<lua_State *(*)()>(module->SymbolByName("luaL_newstate"));
  auto openLibs = reinterpret_cast<void (*)(lua_State *)>(module->SymbolByName("luaL_openlibs"));
  auto doString =
      reinterpret_cast<int (*)(lua_State *, const char *)>(module->SymbolByName("luaL_loadstring"));
  auto close = reinterpret_cast<void (*)(lua_State *)>(module->SymbolByName("lua_close"));
  ASSERT_TRUE(newState && openLibs && doString && close);
  lua_State *L = newState();
  openLibs(L);
  EXPECT_EQ(doString(L, "return ('x'):rep(3)"), 0);
  close(L);
}

TEST(MemoryModule, MalformedImagesAreRefused) {
  const std::string original = RuntimeImage();
  ASSERT_FALSE(original.empty());
  const TLayout layout(original);
  PreferredBaseTaken blocker; // so that the relocation cases really relocate
  ASSERT_TRUE(blocker.Held());
  const platform::pe::TDataDirectory relocations = layout.Headers.Directories[5];
  struct TCase {
    const char *Name;
    std::function<void(std::string &)> Edit;
  } cases[] = {
      {"empty", [](std::string &i) { i.clear(); }},
      {"only the DOS header", [](std::string &i) { i.resize(64); }},
      {"truncated in the headers", [&](std::string &i) { i.resize(layout.Optional + 40); }},
      {"truncated in the sections", [](std::string &i) { i.resize(i.size() / 2); }},
      {"not an image", [](std::string &i) { i.assign(4096, 'x'); }},
      {"bad DOS signature", [](std::string &i) { i[1] = 'X'; }},
      {"PE header beyond the end",
       [](std::string &i) { WriteAt<std::uint32_t>(i, 0x3C, 0xFFFFFFF0); }},
      {"bad PE signature", [&](std::string &i) { i[layout.PeHeader + 1] = 'X'; }},
      {"32-bit machine",
       [&](std::string &i) { WriteAt<std::uint16_t>(i, layout.PeHeader + 4, 0x14C); }},
      {"ARM64 machine",
       [&](std::string &i) { WriteAt<std::uint16_t>(i, layout.PeHeader + 4, 0xAA64); }},
      {"PE32 optional header",
       [&](std::string &i) { WriteAt<std::uint16_t>(i, layout.Optional, 0x10B); }},
      {"optional header too small",
       [&](std::string &i) { WriteAt<std::uint16_t>(i, layout.PeHeader + 20, 16); }},
      {"too many sections",
       [&](std::string &i) { WriteAt<std::uint16_t>(i, layout.PeHeader + 6, 0xFFFF); }},
      {"image size too small",
       [&](std::string &i) { WriteAt<std::uint32_t>(i, layout.Optional + 56, 0x2000); }},
      {"image size absurd",
       [&](std::string &i) { WriteAt<std::uint32_t>(i, layout.Optional + 56, 0xFFFFF000); }},
      {"section alignment 0",
       [&](std::string &i) { WriteAt<std::uint32_t>(i, layout.Optional + 32, 0); }},
      {"entry point outside the code",
       [&](std::string &i) {
         WriteAt<std::uint32_t>(i, layout.Optional + 16, layout.Headers.Sections[1].VirtualAddress);
       }},
      {"section off its alignment",
       [&](std::string &i) {
         std::size_t firstSection = layout.Optional + ReadWord(i, layout.PeHeader + 20) % 0x10000;
         WriteAt<std::uint32_t>(i, firstSection + 12,
                                layout.Headers.Sections[0].VirtualAddress + 8);
       }},
      {"export table outside the image",
       [&](std::string &i) { WriteAt<std::uint32_t>(i, layout.Optional + 112, 0x7FFFFFF0); }},
      {"relocation block outside the image",
       [&](std::string &i) {
         WriteAt<std::uint32_t>(i, layout.FileOffset(relocations.VirtualAddress), 0x7FFFF000);
       }},
      {"relocation block size beyond the table",
       [&](std::string &i) {
         WriteAt<std::uint32_t>(i, layout.FileOffset(relocations.VirtualAddress) + 4, 0x7FFFFFF0);
       }},
      {"relocation of an unknown type",
       [&](std::string &i) {
         WriteAt<std::uint16_t>(i, layout.FileOffset(relocations.VirtualAddress) + 8, 0x5000);
       }},
      {"relocations stripped but needed",
       [&](std::string &i) { WriteAt<std::uint32_t>(i, layout.Optional + 112 + 8 * 5 + 4, 0); }},
      {"import of a missing library",
       [&](std::string &i) { RenameImport(i, layout, "KERNEL32.dll", "KERNELXX.dll"); }},
      {"import of a missing function",
       [&](std::string &i) { RenameImport(i, layout, "FormatMessageA", "FormatMessageQ"); }},
  };
  for (const TCase &c : cases) {
    std::string image = original;
    c.Edit(image);
    EXPECT_EQ(platform::TMemoryModule::Load(image), nullptr) << c.Name;
    EXPECT_EQ(platform::LoadLibraryFromMemory(image), nullptr) << c.Name;
  }
}

// The probe library counts its own notifications (tests/stubs/loader_probe.c).
TEST(MemoryModule, NotifiesTlsCallbacksAndTheEntryPoint) {
  std::ifstream in(REDEVUVO_LOADER_PROBE, std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(image.empty()) << REDEVUVO_LOADER_PROBE;
  volatile int detached = 0;
  {
    auto module = platform::TMemoryModule::Load(image);
    ASSERT_NE(module, nullptr);
    auto tlsCount = reinterpret_cast<int (*)()>(module->SymbolByName("ProbeTlsAttachCount"));
    auto entryCount = reinterpret_cast<int (*)()>(module->SymbolByName("ProbeEntryAttachCount"));
    auto setFlag =
        reinterpret_cast<void (*)(volatile int *)>(module->SymbolByName("ProbeSetDetachFlag"));
    ASSERT_TRUE(tlsCount && entryCount && setFlag);
    EXPECT_EQ(tlsCount(), 1);
    EXPECT_EQ(entryCount(), 1);
    setFlag(&detached);
  }
  EXPECT_EQ(detached, 1);

  // An entry point that refuses to attach leaves nothing mapped.
  ASSERT_EQ(_putenv("REDEVUVO_PROBE_REFUSE_ATTACH=1"), 0);
  EXPECT_EQ(platform::TMemoryModule::Load(image), nullptr);
  EXPECT_EQ(platform::LoadLibraryFromMemory(image), nullptr);
  ASSERT_EQ(_putenv("REDEVUVO_PROBE_REFUSE_ATTACH="), 0);
  EXPECT_NE(platform::TMemoryModule::Load(image), nullptr);
}

TEST(LibraryLoader, HandlesAreCheckedBeforeUse) {
  const std::string image = RuntimeImage();
  void *library = platform::LoadLibraryFromMemory(image);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(platform::LibrarySymbol(library, "Lua_Close"), nullptr);
  EXPECT_EQ(platform::LibrarySymbol(library, nullptr), nullptr);
  int notAHandle[4] = {};
  EXPECT_EQ(platform::LibrarySymbol(notAHandle, "lua_close"), nullptr);
  platform::FreeLibrary(notAHandle); // refused, no fault
  platform::FreeLibrary(nullptr);
  platform::FreeLibrary(library);
}

} // namespace
