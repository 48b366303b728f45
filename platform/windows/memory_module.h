// A library image mapped from memory instead of from a file, the way the system
// loader would map it: sections placed in reserved memory, relocations, imports
// through the system loader, the unwinding table registered (so C++ exceptions
// and longjmp can pass through the image's frames), section protections, TLS
// callbacks and the entry point's attach and detach notifications.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

class TMemoryModule {
public:
  // The mapped and attached module, or nullptr when the image is malformed, is
  // not an x64 library, an import cannot be resolved, or its entry point fails.
  static std::unique_ptr<TMemoryModule> Load(std::string_view image);

  // Sends the detach notification and releases everything Load acquired.
  ~TMemoryModule();
  TMemoryModule(const TMemoryModule &) = delete;
  TMemoryModule &operator=(const TMemoryModule &) = delete;

  // An export's address, or nullptr. Names compare ignoring ASCII case.
  void *SymbolByName(std::string_view name) const;
  void *SymbolByOrdinal(std::uint16_t ordinal) const;

  struct TState;
  // Only Load can make the state.
  explicit TMemoryModule(std::unique_ptr<TState> state);

private:
  std::unique_ptr<TState> FState;
};

} // namespace platform
