#include "platform/console.h"

#include "platform/code_page.h"

#include <climits>
#include <io.h>
#include <windows.h>

namespace platform {
namespace {

constexpr size_t StdinChunkSize = 1000;

HANDLE DescriptorHandle(int fd) {
  return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

size_t WriteToHandle(HANDLE handle, std::string_view bytes) {
  size_t written = 0;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
    return 0;
  while (written < bytes.size()) {
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - written, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(handle, bytes.data() + written, chunk, &n, nullptr) || n == 0)
      break;
    written += n;
  }
  return written;
}

TStdinReadResult ReadAllFromHandle(HANDLE handle, std::string &data) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
    return TStdinReadResult::Failed;
  std::string result;
  char chunk[StdinChunkSize];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(handle, chunk, sizeof chunk, &n, nullptr)) {
      // The writer of a pipe closed its end: that is the end of the input.
      if (GetLastError() == ERROR_BROKEN_PIPE)
        break;
      return TStdinReadResult::Failed;
    }
    if (n == 0)
      break;
    result.append(chunk, n);
  }
  data = std::move(result);
  return TStdinReadResult::Ok;
}

} // namespace

size_t WriteToDescriptor(int fd, std::string_view bytes) {
  return WriteToHandle(DescriptorHandle(fd), bytes);
}

TStdinReadResult ReadAllFromDescriptor(int fd, std::string &data) {
  return ReadAllFromHandle(DescriptorHandle(fd), data);
}

bool WriteStandardError(std::string_view bytes) {
  return WriteToHandle(GetStdHandle(STD_ERROR_HANDLE), bytes) == bytes.size();
}

size_t WriteStandardOutput(std::string_view bytes) {
  return WriteToHandle(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
}

bool IsInteractiveStandardInput() {
  // A pipe or a file is redirected input; only a character device (the console) is not.
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  return input != nullptr && input != INVALID_HANDLE_VALUE &&
         GetFileType(input) == FILE_TYPE_CHAR;
}

TStdinReadResult ReadStandardInput(std::string &data) {
  return ReadAllFromHandle(GetStdHandle(STD_INPUT_HANDLE), data);
}

// A write to a closed pipe fails with an error code on Windows; nothing ends the process.
void IgnoreBrokenPipe() {}

std::u16string ToOemText(std::u16string_view s) {
  if (s.empty() || s.size() > INT_MAX)
    return std::u16string(s);
  // CharToOemBuffW maps into the OEM code page; the bytes are then read back as
  // characters of the ANSI code page, so writing them through it yields the OEM bytes.
  std::string oem(s.size(), '\0');
  std::wstring wide(s.begin(), s.end());
  if (!CharToOemBuffW(wide.c_str(), oem.data(), DWORD(wide.size())))
    return std::u16string(s);
  return AnsiCodePage().Decode(oem);
}

const char *const ConsoleLineEnd = "\r\n";

} // namespace platform
