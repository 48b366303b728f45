// What a script state knows of its host: the engine object that owns it and the
// record of a host failure that ended its run. The state's extra space points at
// one link, and coroutines copy that pointer, so every thread of a state finds
// both without a lookup that could fail or allocate.
#pragma once

#include <string>

#include "engine/lua_api.h"

class TLua;

// The first host failure of a run; later ones keep the first text.
struct THostFailure {
  bool Failed = false;
  std::string Text;

  void Record(const char *message) noexcept;
  void Clear() noexcept;
};

struct TStateLink {
  TLua *Engine = nullptr;
  THostFailure Failure;
};

// Makes L (and every coroutine created from it later) point at link.
void AttachStateLink(lua_State *L, TStateLink *link);
// The link of L, or nullptr for a state no engine owns.
TStateLink *StateLinkOf(lua_State *L);
