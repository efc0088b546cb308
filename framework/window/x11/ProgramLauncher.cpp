#include "framework/window/x11/ProgramLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace program_launcher {
namespace {

std::vector<pid_t>& Launched() {
  static std::vector<pid_t> pids;
  return pids;
}

std::vector<char*> Arguments(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  return args;
}

}  // namespace

bool IsInstalled(const char* name) {
  const char* path = std::getenv("PATH");
  if (!name || !*name || !path) return false;
  std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

bool Launch(const std::vector<std::string>& argv) {
  ReapFinished();
  // Looked up first: where posix_spawnp cannot share memory with the child
  // (under a user-mode emulator such as qemu, as the 32-bit build's tests
  // run), a failed exec is not reported and the launch would seem to work.
  if (argv.empty() || !IsInstalled(argv[0].c_str())) return false;
  std::vector<char*> args = Arguments(argv);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  Launched().push_back(pid);
  return true;
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        const std::function<void()>& idle) {
  if (argv.empty()) return std::nullopt;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  std::vector<char*> args = Arguments(argv);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return std::nullopt;
  }
  std::string output;
  for (;;) {
    pollfd fd = {out[0], POLLIN, 0};
    const int ready = poll(&fd, 1, 0);
    if (ready > 0) {
      char buffer[4096];
      const ssize_t got = read(out[0], buffer, sizeof buffer);
      if (got > 0) {
        output.append(buffer, static_cast<size_t>(got));
        continue;
      }
      if (got == 0 || errno != EINTR) break;  // end of output
    }
    if (idle) {
      idle();
    } else {
      poll(&fd, 1, 50);
    }
  }
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

void ReapFinished() {
  std::vector<pid_t>& pids = Launched();
  for (size_t i = 0; i < pids.size();) {
    if (waitpid(pids[i], nullptr, WNOHANG) != 0) {
      pids.erase(pids.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

}  // namespace program_launcher
