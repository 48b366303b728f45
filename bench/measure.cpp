// Runs one command and reports what it cost: wall time from fork to reaping, the
// user and system time and the peak resident set of the child (wait4), so that
// the benchmark sees the program alone and not a shell around it.
//
// Usage: measure [-i IN] [-o OUT] [-e ERR] [-C DIR] -- PROGRAM [ARG...]
//   -i, -o, -e  files for the child's standard input, output and error (default
//               /dev/null for all three); OUT and ERR are created or truncated
//   -C          the child's working directory
// Prints one line to standard output: exit wall_s user_s sys_s maxrss_kib, where
// exit is the exit code, or 128 + the signal number for a child killed by one.
// Exits with 0 when the child could be started and reaped, 125 otherwise.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TOptions {
  const char *input = "/dev/null";
  const char *output = "/dev/null";
  const char *error = "/dev/null";
  const char *directory = nullptr;
  char **command = nullptr;
};

bool ParseOptions(int argc, char **argv, TOptions &options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") {
      if (i + 1 >= argc)
        return false;
      options.command = argv + i + 1;
      return true;
    }
    if (i + 1 >= argc)
      return false;
    const char *value = argv[++i];
    if (argument == "-i")
      options.input = value;
    else if (argument == "-o")
      options.output = value;
    else if (argument == "-e")
      options.error = value;
    else if (argument == "-C")
      options.directory = value;
    else
      return false;
  }
  return false;
}

double Seconds(const timeval &t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// In the child: wire up the standard streams and the directory, then become the
// command. Only async-signal-safe calls between fork and exec.
[[noreturn]] void BecomeCommand(const TOptions &options) {
  const int in = open(options.input, O_RDONLY | O_CLOEXEC);
  const int out = open(options.output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = open(options.error, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
    _exit(126);
  if (options.directory && chdir(options.directory) != 0)
    _exit(126);
  execvp(options.command[0], options.command);
  _exit(127);
}

} // namespace

int main(int argc, char **argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [-i IN] [-o OUT] [-e ERR] [-C DIR] -- PROGRAM [ARG...]\n",
                 argv[0]);
    return 125;
  }
  std::fflush(stdout);
  const double start = Now();
  const pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "measure: fork: %s\n", std::strerror(errno));
    return 125;
  }
  if (child == 0)
    BecomeCommand(options);
  int status = 0;
  rusage usage{};
  pid_t reaped;
  do
    reaped = wait4(child, &status, 0, &usage);
  while (reaped < 0 && errno == EINTR);
  const double wall = Now() - start;
  if (reaped < 0) {
    std::fprintf(stderr, "measure: wait4: %s\n", std::strerror(errno));
    return 125;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("%d %.6f %.6f %.6f %ld\n", code, wall, Seconds(usage.ru_utime),
              Seconds(usage.ru_stime), usage.ru_maxrss);
  return 0;
}
