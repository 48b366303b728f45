#include "platform/spawn.h"

#include "platform/windows/win32_text.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {
namespace {

// One argument quoted the way the C runtime splits a command line back.
void AppendQuoted(std::wstring &line, const std::wstring &argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

bool HasExecutableExtension(const std::wstring &name) {
  const size_t dot = name.find_last_of(L".\\/:");
  if (dot == std::wstring::npos || name[dot] != L'.')
    return false;
  std::wstring extension = name.substr(dot);
  CharUpperBuffW(extension.data(), DWORD(extension.size()));
  return extension == L".EXE" || extension == L".COM" || extension == L".BAT" ||
         extension == L".CMD";
}

} // namespace

bool SpawnDetached(const std::string &program, const std::vector<std::string> &arguments,
                   const std::string &directory, int *processId) {
  const std::optional<std::wstring> wideProgram = win32::WideName(program);
  const std::optional<std::wstring> wideDirectory = win32::WideName(directory);
  if (!wideProgram || !wideDirectory)
    return false;
  std::wstring line;
  AppendQuoted(line, *wideProgram);
  for (const std::string &argument : arguments) {
    const std::optional<std::wstring> wide = win32::WideName(argument);
    if (!wide)
      return false;
    line += L' ';
    AppendQuoted(line, *wide);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(wideProgram->c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      wideDirectory->empty() ? nullptr : wideDirectory->c_str(), &startup,
                      &process))
    return false;
  if (processId != nullptr)
    *processId = int(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool IsExecutableFile(const std::string &path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide)
    return false;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         HasExecutableExtension(*wide);
}

std::string FindExecutableOnPath(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide || wide->empty() || wide->find_first_of(L"\\/:") != std::wstring::npos)
    return {};
  std::wstring found(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = SearchPathW(nullptr, wide->c_str(), L".exe", DWORD(found.size()), found.data(),
                                nullptr);
    if (n == 0)
      return {};
    if (n < found.size()) {
      found.resize(n);
      break;
    }
    found.resize(n);
  }
  if (!IsExecutableFile(win32::NarrowName(found).value_or(std::string())))
    return {};
  return win32::NarrowName(found).value_or(std::string());
}

std::optional<bool> SystemShellExecute(std::u16string_view operation, std::u16string_view file,
                                       std::u16string_view parameters,
                                       std::u16string_view directory, int showCommand) {
  const std::wstring wideOperation = win32::ToWide(operation);
  const std::wstring wideFile = win32::ToWide(file);
  const std::wstring wideParameters = win32::ToWide(parameters);
  const std::wstring wideDirectory = win32::ToWide(directory);
  // The shell's answer is an instance value above 32 on success.
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, wideOperation.empty() ? nullptr : wideOperation.c_str(),
                    wideFile.c_str(), wideParameters.empty() ? nullptr : wideParameters.c_str(),
                    wideDirectory.empty() ? nullptr : wideDirectory.c_str(), showCommand));
  return result > 32;
}

} // namespace platform
