// Standard streams. (Minimal version; the full console layer replaces it.)
#pragma once

#include <string>
#include <string_view>

namespace platform {

bool WriteStandardError(std::string_view bytes);
size_t WriteStandardOutput(std::string_view bytes);
bool IsInteractiveStandardInput();
enum class TStdinReadResult { Ok, Failed };
TStdinReadResult ReadStandardInput(std::string& data);
void IgnoreBrokenPipe();

} // namespace platform
