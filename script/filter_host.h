// VIroveridUza: the engine every filter script runs in. It routes print to
// standard error and carries the PWL table.
#pragma once

#include "engine/lua_engine.h"

class VIroveridUza : public TLua {
public:
  VIroveridUza();
  static const TLuaClass& StaticClass();
  const TLuaClass& ClassInfo() const override { return StaticClass(); }

  void Open() override;

  // Writes one printed line to standard error (no console conversion).
  void PrintOutput(const TText& msg);
};
