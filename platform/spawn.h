// Starting other programs without waiting for them (os.shellexecute).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Starts program (a path; a relative one is taken from the current directory, not
// from `directory`) with the given arguments after argv[0], in `directory` when it
// is not empty, and does not wait for it. True exactly when the program was
// started: a program that cannot be executed or a directory that cannot be entered
// gives false. processId, when given, receives the started program's process id.
//
// A SIGCHLD handler, installed with the first start, reaps every program started
// here as soon as it ends (and no other child), so none is left as a zombie and
// nothing blocks; at most 1024 of them may be running at once. The program's
// standard output goes to this process's standard error (standard output carries
// only the processed text); every signal is back at its default and unblocked.
bool SpawnDetached(const std::string &program, const std::vector<std::string> &arguments,
                   const std::string &directory, int *processId = nullptr);

// A regular file (links followed) that this process may execute.
bool IsExecutableFile(const std::string &path);

// The first executable file named `name` in the directories of PATH (those of the
// C library's default when PATH is not set; empty entries are skipped); empty when
// there is none or the name holds a "/".
std::string FindExecutableOnPath(const std::string &name);

// Where the system's shell starts programs and opens documents itself (Windows'
// ShellExecuteW), its answer for the request, texts as host text; nullopt where
// the program follows its own rules with the functions above (Linux).
std::optional<bool> SystemShellExecute(std::u16string_view operation, std::u16string_view file,
                                       std::u16string_view parameters,
                                       std::u16string_view directory, int showCommand);

} // namespace platform
