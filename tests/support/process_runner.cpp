#include "tests/support/process_runner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

std::vector<std::string> TProcessResult::StderrLines() const {
  std::vector<std::string> lines;
  std::string line;
  for (char c : Stderr) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty())
    lines.push_back(line);
  return lines;
}

namespace {

// A run that takes longer is killed and fails its test instead of hanging it; the
// limit is far above any normal run, even under valgrind on a busy machine.
constexpr auto RunLimit = std::chrono::seconds(300);

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// The child's status once it ended, or after the deadline once it was killed.
int WaitForChild(pid_t pid, std::chrono::steady_clock::time_point deadline, bool &killed) {
  int status = 0;
  for (;;) {
    pid_t waited = waitpid(pid, &status, WNOHANG);
    if (waited == pid || (waited < 0 && errno != EINTR))
      return status;
    if (!killed && std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      killed = true;
    }
    usleep(2000);
  }
}

std::vector<std::string> ChildEnvironment(const TProcessOptions &options) {
  std::map<std::string, std::string> env;
  for (char **e = environ; *e; ++e) {
    std::string entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string::npos)
      env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto &name : options.Unset)
    env.erase(name);
  for (const auto &[name, value] : options.Environment)
    env[name] = value;
  std::vector<std::string> out;
  for (const auto &[name, value] : env)
    out.push_back(name + "=" + value);
  return out;
}

} // namespace

TProcessResult RunProcess(const std::vector<std::string> &argv, const TProcessOptions &options) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
    throw std::runtime_error("pipe failed");
  int master = -1, slave = -1;
  if (options.StdinFromTerminal && openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  std::vector<std::string> envStrings = ChildEnvironment(options);
  std::vector<char *> envp, args;
  for (auto &s : envStrings)
    envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argvCopy = argv;
  for (auto &s : argvCopy)
    args.push_back(s.data());
  args.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0)
    throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (options.StdinFromTerminal) {
      dup2(slave, 0);
    } else if (options.Stdin) {
      dup2(in[0], 0);
    } else {
      int devNull = open("/dev/null", O_RDONLY);
      dup2(devNull, 0);
    }
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1], master, slave})
      if (fd > 2)
        close(fd);
    if (options.CloseStdout) {
      // A pipe whose reading end is closed: writes fail with EPIPE.
      int p[2];
      if (pipe(p) == 0) {
        dup2(p[1], 1);
        close(p[0]);
        close(p[1]);
      }
    }
    if (options.FileSizeLimit >= 0) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{rlim_t(options.FileSizeLimit), rlim_t(options.FileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.AddressSpaceLimit >= 0) {
      rlimit limit{rlim_t(options.AddressSpaceLimit), rlim_t(options.AddressSpaceLimit)};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (!options.WorkingDirectory.empty() && chdir(options.WorkingDirectory.c_str()) != 0)
      _exit(126);
    // The alarm survives the exec, so a program that blocks ends instead of the test hanging.
    if (options.TimeLimitSeconds > 0)
      alarm(options.TimeLimitSeconds);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (slave >= 0)
    close(slave);

  TProcessResult result;
  std::string input = options.Stdin.value_or("");
  size_t written = 0;
  if (!options.Stdin || input.empty()) {
    close(in[1]);
    in[1] = -1;
  } else {
    fcntl(in[1], F_SETFL, O_NONBLOCK);
  }
  signal(SIGPIPE, SIG_IGN);
  const auto deadline = std::chrono::steady_clock::now() + RunLimit;
  bool killed = false;
  bool outOpen = true, errOpen = true;
  char buffer[65536];
  while (outOpen || errOpen) {
    pollfd fds[3];
    int n = 0;
    int outIdx = -1, errIdx = -1, inIdx = -1;
    if (outOpen)
      fds[outIdx = n++] = {out[0], POLLIN, 0};
    if (errOpen)
      fds[errIdx = n++] = {err[0], POLLIN, 0};
    if (in[1] >= 0)
      fds[inIdx = n++] = {in[1], POLLOUT, 0};
    int ready = poll(fds, n, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR)
      continue;
    if (ready < 0)
      break;
    if (ready == 0) {
      // Out of time; programs it started may still hold the pipes, so stop reading.
      kill(pid, SIGKILL);
      killed = true;
      break;
    }
    auto drain = [&](int idx, int fd, bool &open, std::string &sink) {
      if (idx < 0 || !(fds[idx].revents & (POLLIN | POLLHUP | POLLERR)))
        return;
      ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0)
        open = false;
      else
        sink.append(buffer, size_t(got));
    };
    drain(outIdx, out[0], outOpen, result.Stdout);
    drain(errIdx, err[0], errOpen, result.Stderr);
    if (inIdx >= 0 && (fds[inIdx].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t put = write(in[1], input.data() + written, input.size() - written);
      if (put > 0)
        written += size_t(put);
      if (put < 0 || written == input.size()) {
        close(in[1]);
        in[1] = -1;
      }
    }
  }
  if (in[1] >= 0)
    close(in[1]);
  close(out[0]);
  close(err[0]);
  if (master >= 0)
    close(master);
  int status = WaitForChild(pid, deadline, killed);
  if (killed)
    result.Stderr +=
        "\n[test run: no end within " + std::to_string(RunLimit.count()) + " s, killed]\n";
  if (WIFEXITED(status))
    result.ExitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    result.Signal = WTERMSIG(status);
  return result;
}

TProcessOptions WithStdin(const std::string &text, const std::string &workingDirectory) {
  TProcessOptions options;
  options.Stdin = text;
  options.WorkingDirectory = workingDirectory;
  return options;
}

std::string LastLine(const TProcessResult &result) {
  auto lines = result.StderrLines();
  return lines.empty() ? "" : lines.back();
}

TProcessResult RunRedevuvo(const std::vector<std::string> &args, const TProcessOptions &options) {
  std::vector<std::string> argv{REDEVUVO_BINARY};
  // Under REDEVUVO_VALGRIND=1 every run of the program is checked for memory errors and leaks.
  const char *valgrind = std::getenv("REDEVUVO_VALGRIND");
  if (valgrind && std::string(valgrind) == "1")
    argv = {"/usr/bin/valgrind",
            "--quiet",
            "--error-exitcode=99",
            "--leak-check=full",
            "--errors-for-leak-kinds=definite,indirect",
            REDEVUVO_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, options);
}

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "redevuvo-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ec;
  // Give back write permission first so read-only test files can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           FPath, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    if (!it->is_symlink())
      chmod(it->path().c_str(), 0700);
  std::filesystem::remove_all(FPath, ec);
}

std::string TTempDir::Write(const std::string &name, const std::string &content) const {
  std::string path = File(name);
  std::ofstream file(path, std::ios::binary);
  file << content;
  return path;
}

std::string ReadFileBytes(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << file.rdbuf();
  return buffer.str();
}

bool FileExists(const std::string &path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}
