#include "script/filter_host.h"

#include "engine/lua_exceptions.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "script/pwl_table.h"

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
  if (!platform::WriteStandardError(TextToBytes(msg) + "\n"))
    throw EHostIoError("Cannot write print output to standard error");
}
