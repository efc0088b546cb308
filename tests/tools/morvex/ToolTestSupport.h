#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/ReproducibleNoise.h"
#include "tests/support/TempDir.h"

extern char** environ;

namespace tool_test {

struct Run {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

using test_support::TempDir;

// This process's environment with each "NAME=VALUE" of `changes` put in;
// a bare "NAME" removes the variable.
inline std::vector<std::string> ChangedEnvironment(const std::vector<std::string>& changes) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry)
    variables.push_back(*entry);
  for (const std::string& change : changes) {
    const std::string name = change.substr(0, change.find('='));
    variables.erase(std::remove_if(variables.begin(), variables.end(),
                                   [&](const std::string& variable) {
                                     return variable.compare(0, name.size() + 1, name + "=") == 0;
                                   }),
                    variables.end());
    if (change.size() > name.size()) variables.push_back(change);
  }
  return variables;
}

// Starts a program with standard input from /dev/null and standard output
// and error into files, in this process's environment changed as
// ChangedEnvironment says; its pid, or 0.
inline pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& outPath, const std::string& errPath,
                          const std::vector<std::string>& environment = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> variables = ChangedEnvironment(environment);
  std::vector<char*> envp;
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Runs a program with standard output and error captured in files, in this
// process's environment changed as ChangedEnvironment says.
inline Run RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& scratch,
                      const std::vector<std::string>& environment = {}) {
  const std::string outPath = scratch + "/.stdout", errPath = scratch + "/.stderr";
  Run run;
  if (const pid_t pid = StartProgram(program, args, outPath, errPath, environment)) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return run;
}

// Where morvex keeps user presets in the tests: inside the scratch folder,
// never among the presets of whoever runs them.
inline std::string UserPresetsOf(const TempDir& scratch) {
  return scratch / ".data/morvex/presets";
}

inline Run Morvex(const std::vector<std::string>& args, const TempDir& scratch,
                  const std::vector<std::string>& environment = {}) {
  std::vector<std::string> changes = {"XDG_DATA_HOME=" + scratch / ".data"};
  changes.insert(changes.end(), environment.begin(), environment.end());
  return RunProgram(MORVEX_TOOL, args, scratch.path(), changes);
}

// Names in a folder (hidden ones too), sorted.
inline std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path, error))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Opens a FIFO for writing once a reader has it open, waiting up to five
// seconds for one (a plain open would wait for ever); -1 when none came.
inline int OpenFifoForWriting(const std::string& path) {
  for (int tries = 0; tries < 500; ++tries) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, 0);
      return fd;
    }
    usleep(10000);
  }
  return -1;
}

// Runs morvex with standard error on a terminal; returns what the terminal got.
inline std::string RunOnTerminal(const std::vector<std::string>& args) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    std::vector<char*> argv = {const_cast<char*>(MORVEX_TOOL)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(MORVEX_TOOL, argv.data());
    _exit(127);
  }
  std::string screen;
  char buffer[4096];
  // A program waiting for typing would never end: it is stopped after a while.
  pollfd ready = {master, POLLIN, 0};
  for (;;) {
    if (poll(&ready, 1, 20000) == 0) {
      kill(pid, SIGKILL);
      screen += "[still running]";
      break;
    }
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) break;
    screen.append(buffer, static_cast<size_t>(got));
  }
  waitpid(pid, nullptr, 0);
  close(master);
  return screen;
}

// Audio as non-interleaved channels.
using Channels = std::vector<std::vector<float>>;

// A deterministic test signal: a chord of tones and a little noise.
inline Channels Signal(int channels, int rate, double seconds) {
  Channels signal(channels, std::vector<float>(static_cast<size_t>(rate * seconds)));
  ReproducibleNoise noise(99);
  for (int c = 0; c < channels; ++c)
    for (size_t i = 0; i < signal[c].size(); ++i) {
      const double t = double(i) / rate;
      signal[c][i] =
          static_cast<float>(0.3 * std::sin(2 * M_PI * (110 + 55 * c) * t) +
                             0.3 * std::sin(2 * M_PI * 1375 * t) + 0.1 * (noise.unit() - 0.5));
    }
  return signal;
}

inline Channels Scaled(Channels signal, float gain) {
  for (auto& channel : signal)
    for (float& sample : channel)
      sample *= gain;
  return signal;
}

inline void WriteAudio(const std::string& path, const Channels& signal, int rate, int format) {
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = static_cast<int>(signal.size());
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return;
  std::vector<float> interleaved(signal[0].size() * signal.size());
  for (size_t i = 0; i < signal[0].size(); ++i)
    for (size_t c = 0; c < signal.size(); ++c)
      interleaved[i * signal.size() + c] = signal[c][i];
  sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(signal[0].size()));
  sf_close(file);
}

struct Audio {
  SF_INFO info = {};
  Channels channels;
};

inline Audio ReadAudio(const std::string& path) {
  Audio audio;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
  if (!file) return audio;
  // The test files are small enough to hold in memory, so their sizes fit a
  // size_t.
  const size_t frames = static_cast<size_t>(audio.info.frames);
  const size_t channels = static_cast<size_t>(audio.info.channels);
  std::vector<float> interleaved(frames * channels);
  sf_readf_float(file, interleaved.data(), audio.info.frames);
  sf_close(file);
  audio.channels.assign(channels, std::vector<float>(frames));
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < channels; ++c)
      audio.channels[c][i] = interleaved[i * channels + c];
  return audio;
}

}  // namespace tool_test
