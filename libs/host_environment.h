// REveVed: the engine plus the host's extension libraries in the standard tables
// math, os (with os.path), string and table, and the zip library.
#pragma once

#include "engine/lua_engine.h"

class REveVed : public TLua {
public:
  static const TLuaClass &StaticClass();
  const TLuaClass &ClassInfo() const override { return StaticClass(); }

  void Open() override;

  // Registers the extension libraries into the opened state.
  void Init();

  // Replaces package.path with the patterns of the chosen directories.
  void SetRequirePath(const TText &userDir, const TText &scriptDirName, const TText &extensions,
                      bool allowBaseDir, bool allowCurrentDir, bool allowProgDir, bool allowInit);
};

// The package.path text SetRequirePath builds; programDirectory is the program's
// directory with its trailing separator.
TText RequirePathText(const TText &userDir, const TText &scriptDirName, const TText &extensions,
                      bool allowBaseDir, bool allowCurrentDir, bool allowProgDir, bool allowInit,
                      const TText &programDirectory);
