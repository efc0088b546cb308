#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Starting the desktop's helper programs (xdg-open, zenity, kdialog) the
// way a window layer must: found on $PATH and started with posix_spawnp,
// never through a shell, so every argument arrives exactly as given.
// [UI thread]
namespace program_launcher {

// Whether an executable of that name is on $PATH.
bool IsInstalled(const char* name);

// Starts the program and lets it run on its own; false when it could not
// be started. It is reaped by a later call of ReapFinished.
bool Launch(const std::vector<std::string>& argv);

// Runs the program and returns what it wrote to its standard output when
// it exits with status 0; nothing when it could not be started or failed.
// `idle` is called at least every 50 ms while waiting, so the caller's
// window keeps drawing.
std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        const std::function<void()>& idle);

// Collects the exit status of launched programs that have finished.
void ReapFinished();

}  // namespace program_launcher
