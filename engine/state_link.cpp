#include "engine/state_link.h"

void THostFailure::Record(const char *message) noexcept {
  if (Failed)
    return;
  Failed = true;
  try {
    Text = message;
  } catch (...) {
    Text.clear();
  }
}

void THostFailure::Clear() noexcept {
  Failed = false;
  Text.clear();
}

void AttachStateLink(lua_State *L, TStateLink *link) {
  *static_cast<TStateLink **>(lua_getextraspace(L)) = link;
}

TStateLink *StateLinkOf(lua_State *L) {
  return L ? *static_cast<TStateLink **>(lua_getextraspace(L)) : nullptr;
}
