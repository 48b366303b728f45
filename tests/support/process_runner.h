// Runs the program (or any command) as a child process for command-line tests:
// feeds standard input, captures standard output and error, returns the exit code.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct TProcessResult {
  int ExitCode = -1; // -1 when the child did not exit normally
  int Signal = 0;    // the signal that ended it, 0 if none
  std::string Stdout;
  std::string Stderr;
  // Standard error split at line ends (LF, with a CR before it removed).
  std::vector<std::string> StderrLines() const;
};

struct TProcessOptions {
  std::optional<std::string> Stdin;               // nullopt: the child inherits /dev/null
  bool StdinFromTerminal = false;                 // give the child a pseudo-terminal as stdin
  std::string WorkingDirectory;                   // empty: the test's own
  std::map<std::string, std::string> Environment; // added to or replacing the test's own
  std::vector<std::string> Unset;                 // variables removed from the environment
  long FileSizeLimit = -1;                        // RLIMIT_FSIZE in bytes, SIGXFSZ ignored
  long AddressSpaceLimit = -1;                    // RLIMIT_AS in bytes
  bool CloseStdout = false;                       // stdout is a pipe whose reader is already gone
  unsigned TimeLimitSeconds = 0;                  // > 0: the child is killed (SIGALRM) after it
};

TProcessResult RunProcess(const std::vector<std::string> &argv,
                          const TProcessOptions &options = {});

// Options with the given standard input (and working directory, when not empty).
TProcessOptions WithStdin(const std::string &text, const std::string &workingDirectory = "");

// The last line the program wrote to standard error (empty when none).
std::string LastLine(const TProcessResult &result);

// Runs the built program with the given arguments.
TProcessResult RunRedevuvo(const std::vector<std::string> &args,
                           const TProcessOptions &options = {});

// A fresh temporary directory, removed with everything in it when the object ends.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir &) = delete;
  TTempDir &operator=(const TTempDir &) = delete;
  const std::string &Path() const { return FPath; }
  std::string File(const std::string &name) const { return FPath + "/" + name; }
  // Writes a file below the directory (parents must exist) and returns its path.
  std::string Write(const std::string &name, const std::string &content) const;

private:
  std::string FPath;
};

std::string ReadFileBytes(const std::string &path);
bool FileExists(const std::string &path);
