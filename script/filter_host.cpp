#include "script/filter_host.h"

#include "app/current_text.h"
#include "engine/lua_exceptions.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "script/pwl_table.h"

VIroveridUza::VIroveridUza() {
  SetOnPrint([this](const TText &msg) { PrintOutput(msg); });
}

const TLuaClass &VIroveridUza::StaticClass() {
  static const TLuaClass info{"VIroveridUza", &REveVed::StaticClass(), {}};
  return info;
}

VIroveridUza &VIroveridUza::FromState(lua_State *L) {
  // Every state the PWL functions are registered in belongs to a filter host.
  auto *host = dynamic_cast<VIroveridUza *>(TLua::FromState(L));
  if (host == nullptr)
    throw std::logic_error("PWL function called outside a filter host");
  return *host;
}

void VIroveridUza::Open() {
  bool wasOpened = Opened();
  REveVed::Open();
  RegisterPwlTable(LuaState());
  // The engine's Open leaves the name of print on the stack; the filter starts empty.
  if (!wasOpened)
    lua_pop(LuaState(), 1);
}

void VIroveridUza::PrintOutput(const TText &msg) {
  if (!platform::WriteStandardError(TextToBytes(msg) + "\n"))
    throw EHostIoError("Cannot write print output to standard error");
}

const TLineList &VIroveridUza::CurrentTextLines() {
  if (!FTextLines || FTextLinesData != CurrentText.data() || FTextLinesSize != CurrentText.size()) {
    FTextLines.emplace(CurrentText);
    FTextLinesData = CurrentText.data();
    FTextLinesSize = CurrentText.size();
  }
  return *FTextLines;
}
