// math.constrain and math.map.
#include <cstdint>
#include <stdexcept>

#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"

namespace {

bool AllIntegers(lua_State *L, int count) {
  for (int i = 1; i <= count; ++i)
    if (!lua_isinteger(L, i))
      return false;
  return true;
}

// Two's-complement wrap-around, as the runtime's own integer arithmetic does.
std::int64_t WrapSub(std::int64_t a, std::int64_t b) {
  return std::int64_t(std::uint64_t(a) - std::uint64_t(b));
}
std::int64_t WrapMul(std::int64_t a, std::int64_t b) {
  return std::int64_t(std::uint64_t(a) * std::uint64_t(b));
}
std::int64_t WrapAdd(std::int64_t a, std::int64_t b) {
  return std::int64_t(std::uint64_t(a) + std::uint64_t(b));
}

// Integer division that never reaches the processor's divide fault: both faulting
// cases are host failures that end the script run.
std::int64_t CheckedDivide(std::int64_t a, std::int64_t b) {
  if (b == 0)
    throw std::domain_error("Integer division by zero");
  if (b == -1 && a == INT64_MIN)
    throw std::overflow_error("Integer overflow");
  return a / b;
}

template <typename T> T Constrain(T value, T low, T high) {
  if (value < low)
    return low;
  if (value > high)
    return high;
  return value;
}

int MathConstrain(lua_State *L) {
  if (AllIntegers(L, 3)) {
    std::int64_t value = lua_tointeger(L, 1), low = lua_tointeger(L, 2), high = lua_tointeger(L, 3);
    LuaClearStack(L);
    return LuaReturnInteger(L, Constrain(value, low, high));
  }
  double value = LuaCheckNumber(L, 1), low = LuaCheckNumber(L, 2), high = LuaCheckNumber(L, 3);
  LuaClearStack(L);
  return LuaReturnNumber(L, Constrain(value, low, high));
}

int MathMap(lua_State *L) {
  if (AllIntegers(L, 5)) {
    std::int64_t v[5];
    for (int i = 0; i < 5; ++i)
      v[i] = lua_tointeger(L, i + 1);
    LuaClearStack(L);
    auto [value, fromLow, fromHigh, toLow, toHigh] = v;
    std::int64_t product = WrapMul(WrapSub(value, fromLow), WrapSub(toHigh, toLow));
    return LuaReturnInteger(L, WrapAdd(toLow, CheckedDivide(product, WrapSub(fromHigh, fromLow))));
  }
  double v[5];
  for (int i = 0; i < 5; ++i)
    v[i] = LuaCheckNumber(L, i + 1);
  LuaClearStack(L);
  auto [value, fromLow, fromHigh, toLow, toHigh] = v;
  // An empty source range gives an infinity or NaN, as float division does.
  return LuaReturnNumber(L, (value - fromLow) * (toHigh - toLow) / (fromHigh - fromLow) + toLow);
}

} // namespace

const luaL_Reg *MathExtensionFunctions() {
  static const luaL_Reg functions[] = {
      {"constrain", LuaBoundary<MathConstrain>},
      {"map", LuaBoundary<MathMap>},
      {nullptr, nullptr},
  };
  return functions;
}
