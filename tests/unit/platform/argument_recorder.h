// A small shell script that records how it was started (working directory,
// argument count, each argument in brackets) into a file, for tests of programs
// that are started without being waited for.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <sys/stat.h>

// Writes the script at scriptPath (mode 0755); it records into recordPath, which
// appears whole (renamed into place) once the script has finished.
inline void WriteArgumentRecorder(const std::string &scriptPath, const std::string &recordPath) {
  {
    std::ofstream script(scriptPath, std::ios::binary);
    script << "#!/bin/sh\n"
              "{ pwd -P; echo \"$#\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > '"
           << recordPath << ".tmp'\n"
           << "/bin/mv '" << recordPath << ".tmp' '" << recordPath << "'\n";
  }
  chmod(scriptPath.c_str(), 0755);
}

// The content of a file once it exists; empty after a minute without it.
inline std::string WaitForFile(const std::string &path) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(path)) {
    if (std::chrono::steady_clock::now() > deadline)
      return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// The physical path of a directory, as "pwd -P" reports it.
inline std::string PhysicalPath(const std::string &path) {
  return std::filesystem::canonical(path).string();
}
