// Exceptions of the script engine. Host failures are std::exception types; script
// errors raised from host code are EScriptError and become runtime errors at the
// host-function boundary, after every C++ destructor has run.
#pragma once

#include <stdexcept>
#include <string>

// Common base of the runtime-binding failures.
class ELuaError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class ELuaLibraryNotFound : public ELuaError {
public:
  ELuaLibraryNotFound() : ELuaError("Lua library resource not present\"") {}
};

class ELuaLibraryLoadError : public ELuaError {
public:
  ELuaLibraryLoadError() : ELuaError("Failed to load Lua library") {}
};

class ELuaLibraryMethodNotFound : public ELuaError {
public:
  explicit ELuaLibraryMethodNotFound(const std::string &name);
};

// A host input/output failure (for example print output that cannot be written).
class EHostIoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A script error raised by host code. The boundary raises it in the runtime:
// an argument error (luaL_argerror), a message (luaL_error), or the error value
// that the thrower left on top of the stack (lua_error).
class EScriptError : public std::exception {
public:
  enum TKind { ArgumentError, Message, ValueOnStack };

  static EScriptError Argument(int index, std::string message) {
    return EScriptError(ArgumentError, index, std::move(message));
  }
  static EScriptError WithMessage(std::string message) {
    return EScriptError(Message, 0, std::move(message));
  }
  static EScriptError FromStackTop() { return EScriptError(ValueOnStack, 0, ""); }

  TKind Kind() const { return FKind; }
  int Index() const { return FIndex; }
  const std::string &Text() const { return FText; }
  const char *what() const noexcept override { return FText.c_str(); }

private:
  EScriptError(TKind kind, int index, std::string text)
      : FKind(kind), FIndex(index), FText(std::move(text)) {}
  TKind FKind;
  int FIndex;
  std::string FText;
};
