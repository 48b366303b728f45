#include "script/filter_host.h"

#include "engine/lua_exceptions.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "script/pwl_table.h"

namespace {

struct TArgTable {
  const std::string *ScriptName;
  const std::vector<std::string> *Args;
};

// Runs protected: a table too large for the memory left fails the run with a
// message. No C++ object lives in this frame.
int BuildArgTable(lua_State *L) {
  const auto *table = static_cast<const TArgTable *>(lua_touserdata(L, 1));
  const std::vector<std::string> &args = *table->Args;
  lua_createtable(L, static_cast<int>(args.size()), 1);
  lua_pushlstring(L, table->ScriptName->data(), table->ScriptName->size());
  lua_rawseti(L, -2, 0);
  for (size_t i = 0; i < args.size(); ++i) {
    lua_pushlstring(L, args[i].data(), args[i].size());
    lua_rawseti(L, -2, static_cast<lua_Integer>(i + 1));
  }
  lua_setglobal(L, "arg");
  return 0;
}

} // namespace

VIroveridUza::VIroveridUza(TFilterJob &job) : FContext(job) {
  SetOnPrint([this](const TText &msg) { PrintOutput(msg); });
}

const TLuaClass &VIroveridUza::StaticClass() {
  static const TLuaClass info{"VIroveridUza", &REveVed::StaticClass(), {}};
  return info;
}

void VIroveridUza::Open() {
  bool wasOpened = Opened();
  REveVed::Open();
  RegisterPwlTable(LuaState(), FContext);
  // The engine's Open leaves the name of print on the stack; the filter starts empty.
  if (!wasOpened)
    lua_pop(LuaState(), 1);
}

void VIroveridUza::PrintOutput(const TText &msg) {
  if (!platform::WriteStandardError(TextToBytes(msg) + platform::ConsoleLineEnd))
    throw EHostIoError("Cannot write print output to standard error");
}

int VIroveridUza::SetArgTable(const std::string &scriptName, const std::vector<std::string> &args) {
  TArgTable table{&scriptName, &args};
  lua_State *L = LuaState();
  lua_pushcfunction(L, BuildArgTable);
  lua_pushlightuserdata(L, &table);
  return lua_pcall(L, 1, 0, 0);
}
