#include "engine/lua_engine.h"

#include <cstdio>
#include <cstring>

#include "engine/coroutine_guard.h"
#include "engine/host_boundary.h"
#include "engine/lua_exceptions.h"
#include "engine/runtime_binding.h"
#include "platform/code_page.h"
#include "platform/console.h"

namespace {

std::string ToRuntimeName(const TText &name) {
  return TextToBytes(name);
}

// The body of every method closure: upvalue 1 is the target, upvalue 2 the
// published method. Runs behind the boundary like every host function.
int DispatchMethod(lua_State *L) {
  void *target = const_cast<void *>(lua_topointer(L, lua_upvalueindex(1)));
  auto *code = static_cast<const TPublishedMethod *>(lua_topointer(L, lua_upvalueindex(2)));
  if (code->ClassFunction)
    return code->ClassFunction(L);
  TLua *object = static_cast<TLua *>(target);
  TLuaMethod method = code->Method;
  return LuaProtectedHostCall(L, [object, method, L] { return (object->*method)(L); });
}

const TPublishedMethod &RequireMethod(const TLuaClass &aClass, const TText &func) {
  const TPublishedMethod *method = aClass.FindMethod(ToRuntimeName(func));
  // A name the class does not publish must not become a script function that
  // fails uncontrolled when called: refuse the registration.
  if (method == nullptr)
    throw ELuaError("Method \"" + ToRuntimeName(func) + "\" is not published by " + aClass.Name);
  return *method;
}

// What the stock state does when an error escapes every protected call: say so
// on standard error before the runtime aborts.
int PanicOnUnprotectedError(lua_State *L) {
  const char *message = lua_tostring(L, -1);
  std::fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n",
               message != nullptr ? message : "(error object is not a string)");
  std::fflush(stderr);
  return 0;
}

} // namespace

const TPublishedMethod *TLuaClass::FindMethod(const std::string &name) const {
  for (const TLuaClass *c = this; c != nullptr; c = c->Parent)
    for (const TPublishedMethod &m : c->Methods)
      if (name == m.Name)
        return &m;
  return nullptr;
}

const TLuaClass &TLua::StaticClass() {
  static const TLuaClass info{"TLua", nullptr, {{"print", &TLua::print, nullptr}}};
  return info;
}

TLua::TLua() = default;

TLua::~TLua() {
  Close();
}

TLua *TLua::FromState(lua_State *L) {
  TStateLink *link = StateLinkOf(L);
  return link ? link->Engine : nullptr;
}

void TLua::RecordHostFailure(const char *message) noexcept {
  FLink.Failure.Record(message);
}

void TLua::Open() {
  if (FOpened)
    return;
  FOpened = true;
  if (!LuaLibraryLoaded())
    LoadLuaLibrary();
  FMemory = std::make_unique<TStateMemory>();
  FLuaState = lua_newstate(&TStateMemory::Allocate, FMemory.get());
  if (FLuaState == nullptr)
    throw ELuaError("Cannot create the script state");
  lua_atpanic(FLuaState, PanicOnUnprotectedError);
  FLink.Engine = this;
  FLink.Failure.Clear();
  AttachStateLink(FLuaState, &FLink);
  luaL_openlibs(FLuaState);
  GuardCoroutineResumption(FLuaState);
  RegisterFunction(FLuaState, *this, u"print", u"print");
}

void TLua::Close() {
  if (!FOpened)
    return;
  FOpened = false;
  if (FLuaState != nullptr && LuaLibraryLoaded())
    lua_close(FLuaState);
  // Nothing may reach the closed state through this engine any more.
  FLuaState = nullptr;
  FMemory.reset();
}

int LuaMessageHandler(lua_State *L) {
  const char *msg = lua_tostring(L, 1);
  if (msg == nullptr) {
    if (luaL_callmeta(L, 1, "__tostring") && lua_type(L, -1) == LUA_TSTRING)
      return 1;
    msg = lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
  }
  luaL_traceback(L, L, msg, 1);
  return 1;
}

int TLua::DoCall(lua_State *L, int nArg, int nRes) {
  int base = lua_gettop(L) - nArg;
  lua_pushcfunction(L, LuaMessageHandler);
  lua_insert(L, base);
  int status = lua_pcall(L, nArg, nRes, base);
  lua_remove(L, base);
  return status;
}

int TLua::DoChunk(lua_State *L, int status) {
  if (status != LUA_OK)
    return status;
  return DoCall(L, 0, 0);
}

int TLua::DoFile(const TText &filename) {
  Open();
  std::string name = ToRuntimeName(FFilePath + filename);
  int status = luaL_loadfile(FLuaState, name.c_str());
  return DoChunk(FLuaState, status);
}

int TLua::DoString(const TText &value) {
  Open();
  std::string code = ToRuntimeName(value);
  int status = luaL_loadstring(FLuaState, code.c_str());
  if (status == LUA_OK)
    status = lua_pcall(FLuaState, 0, LUA_MULTRET, 0);
  return status;
}

namespace {

// Runs protected, with the loaded chunk and the arguments (light userdata) on the
// stack: pushing many arguments can run out of stack or memory, and that must fail
// the run with a message, not end the program. No C++ object lives in this frame.
int CallWithArguments(lua_State *L) {
  const auto *args = static_cast<const std::vector<std::string> *>(lua_touserdata(L, 2));
  lua_settop(L, 1);
  luaL_checkstack(L, static_cast<int>(args->size()), "too many script arguments");
  for (size_t i = 0; i < args->size(); ++i)
    lua_pushlstring(L, (*args)[i].data(), (*args)[i].size());
  lua_call(L, static_cast<int>(args->size()), 0);
  return 0;
}

} // namespace

int TLua::RunChunk(const std::string &code) {
  return RunChunk(code, {});
}

int TLua::RunChunk(const std::string &code, const std::vector<std::string> &args) {
  Open();
  // Messages name a string chunk by its first line. Script files are joined with
  // CR LF, and a CR inside a console message sends the cursor back over it, so the
  // name leaves out the CR in front of the first line break; the code keeps it.
  std::string name = code.substr(0, code.find('\0'));
  size_t lineBreak = name.find('\n');
  if (lineBreak != std::string::npos && lineBreak > 0 && name[lineBreak - 1] == '\r')
    name.erase(lineBreak - 1, 1);
  int status =
      luaL_loadbufferx(FLuaState, code.data(), std::strlen(code.c_str()), name.c_str(), nullptr);
  if (status == LUA_OK && args.empty())
    status = lua_pcall(FLuaState, 0, 0, 0);
  else if (status == LUA_OK) {
    lua_pushcfunction(FLuaState, CallWithArguments);
    lua_insert(FLuaState, -2);
    lua_pushlightuserdata(FLuaState, const_cast<std::vector<std::string> *>(&args));
    status = lua_pcall(FLuaState, 2, 0, 0);
  }
  return status;
}

TText TLua::ErrorTextOnTop() const {
  if (FLuaState == nullptr || lua_gettop(FLuaState) == 0)
    return TText();
  int type = lua_type(FLuaState, -1);
  if (type != LUA_TSTRING && type != LUA_TNUMBER)
    return TText();
  size_t length = 0;
  // lua_tolstring would turn a number on the stack into a string in place; convert a copy.
  lua_pushvalue(FLuaState, -1);
  const char *s = lua_tolstring(FLuaState, -1, &length);
  TText text = BytesToText(std::string_view(s, length));
  lua_pop(FLuaState, 1);
  return text;
}

int TLua::Run() {
  return DoChunk(FLuaState, LUA_OK);
}

void TLua::DoPrint(const TText &msg) {
  if (FOnPrint) {
    FOnPrint(msg);
    return;
  }
  std::string line = TextToBytes(msg) + platform::ConsoleLineEnd;
  if (platform::WriteStandardOutput(line) != line.size())
    throw EHostIoError("Cannot write print output to standard output");
}

int TLua::print(lua_State *L) {
  int n = lua_gettop(L);
  std::string line;
  lua_getglobal(L, "tostring");
  for (int i = 1; i <= n; ++i) {
    lua_pushvalue(L, -1);
    lua_pushvalue(L, i);
    // Protected, so an error in __tostring comes back here and is raised again
    // by the boundary with the same error value.
    if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
      ThrowIfHostFailed(L);
      throw EScriptError::FromStackTop();
    }
    const char *s = lua_tolstring(L, -1, nullptr);
    if (s == nullptr)
      throw EScriptError::WithMessage("\"tostring\" must return a string to \"print\"");
    if (i > 1)
      line += '\t';
    line.append(s, std::strlen(s));
    lua_pop(L, 1);
  }
  DoPrint(BytesToText(line));
  return 0;
}

void TLua::PushFunction(lua_State *L, void *data, const TPublishedMethod *code,
                        const TText &funcName) {
  std::string name = ToRuntimeName(funcName);
  lua_pushlstring(L, name.data(), name.size());
  lua_pushlightuserdata(L, data);
  lua_pushlightuserdata(L, const_cast<TPublishedMethod *>(code));
  lua_pushcclosure(L, DispatchMethod, 2);
}

void TLua::RegisterFunction(lua_State *L, lua_CFunction func, const TText &funcName) {
  std::string name = ToRuntimeName(funcName);
  lua_register(L, name.c_str(), func);
}

void TLua::RegisterFunction(lua_CFunction func, const TText &funcName) {
  RegisterFunction(FLuaState, func, funcName);
}

void TLua::RegisterFunction(lua_State *L, void *data, const TPublishedMethod *code,
                            const TText &funcName) {
  PushFunction(L, data, code, funcName);
  std::string name = ToRuntimeName(funcName);
  lua_setglobal(L, name.c_str());
}

void TLua::RegisterFunction(lua_State *L, const TLuaClass &aClass, const TText &func,
                            const TText &funcName) {
  const TPublishedMethod &method = RequireMethod(aClass, func);
  if (method.ClassFunction == nullptr)
    throw ELuaError("Method \"" + ToRuntimeName(func) + "\" of " + aClass.Name +
                    " needs an object");
  RegisterFunction(L, method.ClassFunction, funcName);
}

void TLua::RegisterFunction(lua_State *L, TLua &aObject, const TText &func, const TText &funcName) {
  const TPublishedMethod &method = RequireMethod(aObject.ClassInfo(), func);
  RegisterFunction(L, &aObject, &method, funcName);
}

void TLua::RegisterClassFunction(lua_State *L, TLua &aObject, const TText &func,
                                 const TText &funcName) {
  const TLuaClass &aClass = aObject.ClassInfo();
  const TPublishedMethod &method = RequireMethod(aClass, func);
  if (method.ClassFunction == nullptr)
    throw ELuaError("Method \"" + ToRuntimeName(func) + "\" of " + aClass.Name +
                    " needs an object");
  RegisterFunction(L, const_cast<TLuaClass *>(&aClass), &method, funcName);
}

void TLua::RegisterFunction(const TLuaClass &aClass, const TText &func) {
  RegisterFunction(FLuaState, aClass, func, func);
}

void TLua::RegisterFunction(const TLuaClass &aClass, const TText &func, const TText &funcName) {
  RegisterFunction(FLuaState, aClass, func, funcName);
}

void TLua::RegisterFunction(TLua &aObject, const TText &func, const TText &funcName) {
  RegisterFunction(FLuaState, aObject, func, funcName);
}

void TLua::RegisterFunction(TLua &aObject, const TText &func) {
  RegisterFunction(FLuaState, aObject, func, func);
}

void TLua::RegisterFunction(const TText &func) {
  RegisterFunction(FLuaState, *this, func, func);
}

void TLua::RegisterFunction(const TText &func, const TText &funcName) {
  RegisterFunction(FLuaState, *this, func, funcName);
}

void TLua::RegisterPackage(lua_State *L, const TText &packageName, lua_CFunction initFunc) {
  std::string name = ToRuntimeName(packageName);
  lua_getglobal(L, "package");
  lua_getfield(L, -1, "preload");
  lua_pushcfunction(L, initFunc);
  lua_setfield(L, -2, name.c_str());
  lua_pop(L, 2);
}

void TLua::RegisterPackage(const TText &packageName, lua_CFunction initFunc) {
  RegisterPackage(FLuaState, packageName, initFunc);
}

void TLua::RegisterMethodPackage(lua_State *L, void *data, const TPublishedMethod *code,
                                 const TText &packageName) {
  std::string name = ToRuntimeName(packageName);
  lua_getglobal(L, "package");
  lua_getfield(L, -1, "preload");
  lua_pushlightuserdata(L, data);
  lua_pushlightuserdata(L, const_cast<TPublishedMethod *>(code));
  lua_pushcclosure(L, DispatchMethod, 2);
  lua_setfield(L, -2, name.c_str());
  lua_pop(L, 2);
}

void TLua::FreeLuaLibrary() {
  FreeLuaRuntime();
}
bool TLua::LuaLibraryLoaded() {
  return LuaRuntimeLoaded();
}
void TLua::LoadLuaLibrary() {
  LoadLuaRuntime();
}
void TLua::InitLuaLibrary() {
  BindLuaRuntime();
}
