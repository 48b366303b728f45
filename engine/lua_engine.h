// TLua: the host's handle on one script state. Opens the state lazily (binding
// the runtime on first need), replaces print, runs chunks under protected calls
// and turns host functions and published host methods into script functions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/text/text.h"
#include "engine/lua_api.h"
#include "engine/state_memory.h"
#include "engine/state_link.h"

class TLua;

// Output event of the script's print: receives one printed line.
using TOnLuaPrint = std::function<void(const TText &msg)>;

// A host method callable from scripts: takes the state, returns the result count.
using TLuaMethod = int (TLua::*)(lua_State *L);

// One entry of a class's table of published methods: an instance method, or a
// class-level function called with the state only (already wrapped by the boundary).
struct TPublishedMethod {
  const char *Name;
  TLuaMethod Method = nullptr;
  lua_CFunction ClassFunction = nullptr;
};

// A class's published methods and its base; lookup searches the class, then its bases.
struct TLuaClass {
  const char *Name;
  const TLuaClass *Parent;
  std::vector<TPublishedMethod> Methods;

  const TPublishedMethod *FindMethod(const std::string &name) const;
};

class TLua {
public:
  TLua();
  virtual ~TLua();
  TLua(const TLua &) = delete;
  TLua &operator=(const TLua &) = delete;

  static const TLuaClass &StaticClass();
  virtual const TLuaClass &ClassInfo() const { return StaticClass(); }

  virtual void DoPrint(const TText &msg);
  static void RegisterMethodPackage(lua_State *L, void *data, const TPublishedMethod *code,
                                    const TText &packageName);
  virtual void Open();
  virtual void Close();
  virtual int DoFile(const TText &filename);
  virtual int DoString(const TText &value);
  virtual int DoChunk(lua_State *L, int status);
  virtual int DoCall(lua_State *L, int nArg, int nRes);
  virtual int Run();

  // Registration family; every name becomes a global of the state.
  static void RegisterFunction(lua_State *L, lua_CFunction func, const TText &funcName);
  void RegisterFunction(lua_CFunction func, const TText &funcName);
  static void RegisterFunction(lua_State *L, void *data, const TPublishedMethod *code,
                               const TText &funcName);
  static void RegisterFunction(lua_State *L, const TLuaClass &aClass, const TText &func,
                               const TText &funcName);
  static void RegisterFunction(lua_State *L, TLua &aObject, const TText &func,
                               const TText &funcName);
  static void RegisterClassFunction(lua_State *L, TLua &aObject, const TText &func,
                                    const TText &funcName);
  void RegisterFunction(const TLuaClass &aClass, const TText &func);
  void RegisterFunction(const TLuaClass &aClass, const TText &func, const TText &funcName);
  void RegisterFunction(TLua &aObject, const TText &func, const TText &funcName);
  void RegisterFunction(TLua &aObject, const TText &func);
  void RegisterFunction(const TText &func);
  void RegisterFunction(const TText &func, const TText &funcName);
  static void RegisterPackage(lua_State *L, const TText &packageName, lua_CFunction initFunc);
  void RegisterPackage(const TText &packageName, lua_CFunction initFunc);
  static void PushFunction(lua_State *L, void *data, const TPublishedMethod *code,
                           const TText &funcName);

  // The runtime binding, process-wide.
  static void FreeLuaLibrary();
  static bool LuaLibraryLoaded();
  static void LoadLuaLibrary();
  static void InitLuaLibrary();

  // The script's print (published as "print").
  int print(lua_State *L);

  const TText &FilePath() const { return FFilePath; }
  void SetFilePath(const TText &value) { FFilePath = value; }
  const TOnLuaPrint &OnPrint() const { return FOnPrint; }
  void SetOnPrint(TOnLuaPrint value) { FOnPrint = std::move(value); }
  bool Opened() const { return FOpened; }
  lua_State *LuaState() const { return FLuaState; }
  void SetLuaState(lua_State *value) { FLuaState = value; }

  // Loads code as one chunk from a string and calls it protected, with no
  // arguments, no results and no message handler. Returns the status.
  int RunChunk(const std::string &code);
  // The same, with the arguments handed to the chunk as its varargs (strings,
  // bytes as given), in order.
  int RunChunk(const std::string &code, const std::vector<std::string> &args);
  // The error value on top of the stack as text: a string or a number in its
  // string form; anything else gives the empty text.
  TText ErrorTextOnTop() const;

  // A host failure that ended the current run (empty when none happened).
  const std::string &HostFailure() const { return FLink.Failure.Text; }
  bool HostFailed() const { return FLink.Failure.Failed; }
  // Records the first host failure of the run; later ones keep the first text.
  void RecordHostFailure(const char *message) noexcept;

  // The engine that owns a state (and every coroutine of it), or nullptr.
  static TLua *FromState(lua_State *L);

private:
  std::unique_ptr<TStateMemory> FMemory; // outlives the state it serves
  lua_State *FLuaState = nullptr;
  TOnLuaPrint FOnPrint;
  TText FFilePath;
  bool FOpened = false;
  TStateLink FLink;
};

// The message handler of DoCall: message plus traceback.
int LuaMessageHandler(lua_State *L);
