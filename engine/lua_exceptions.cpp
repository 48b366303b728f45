#include "engine/lua_exceptions.h"

namespace {

// The name in single quotes, a quote inside it doubled.
std::string QuotedName(const std::string &name) {
  std::string quoted = "'";
  for (char c : name) {
    quoted += c;
    if (c == '\'')
      quoted += '\'';
  }
  return quoted + "'";
}

} // namespace

ELuaLibraryMethodNotFound::ELuaLibraryMethodNotFound(const std::string &name)
    : ELuaError("Entry point \"" + QuotedName(name) + "\" not found") {}
