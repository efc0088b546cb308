#include "tools/morvex/render/BatchRender.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <system_error>
#include <thread>

#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/console/BatchProgress.h"
#include "tools/morvex/console/TextTable.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/FilePaths.h"
#include "tools/morvex/output/SafeOutput.h"
#include "tools/morvex/render/Automation.h"
#include "tools/morvex/settings/TypedInput.h"

static_assert(kMaxBatchJobs < SafeOutput::kMaxPending,
              "every job's output must be removable on a signal");

namespace {

struct BatchResult {
  bool ok = false;
  std::string error;
  std::vector<std::string> notes;
  FileOutcome outcome;
};

std::string nameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

void requireWritableFolder(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0)
    throw ToolError(folder + ": cannot write into it (" + std::strerror(errno) + ")");
  if (!S_ISDIR(st.st_mode)) throw ToolError(folder + ": is not a folder");
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    throw ToolError(folder + ": cannot write into it (" + std::strerror(errno) + ")");
}

// A state that does not load, a preset or parameter that does not exist and
// a missing component fail once, before any file. This first instance, on
// the main thread, also loads the bundle or drops a broken one from the
// registry before the workers look: a worker that found a broken bundle as
// another dropped it would fail to open it instead of moving on.
void checkSettings(RenderSettings& settings) {
  settings.unit.readState();
  Unit unit;
  // Each file tells its own notes, at its own rate.
  const NoteSink ignore = [](const std::string&) {};
  settings.unit.apply(unit, ignore);
  Automation automation(unit.sampleRate());
  const std::vector<ParameterDescription> parameters = unit.parameters();
  for (const std::string& envelope : settings.automations)
    automation.add(envelope, unit, parameters, ignore);
}

BatchResult renderOne(const RenderSettings& settings, const BatchFile& file,
                      BatchProgress& progress) {
  BatchResult result;
  try {
    FileRender render(settings, file.in, file.out, file.container);
    long long reported = 0;
    const auto note = [&](const std::string& text) { result.notes.push_back(text); };
    result.outcome = render.run(note, [&](long long done) {
      progress.addAudio(static_cast<double>(done - reported) / render.sampleRate());
      reported = done;
    });
    result.ok = true;
  } catch (const std::exception& error) {
    result.error = error.what();
  }
  progress.fileDone();
  return result;
}

// Each worker opens and closes the units of its files itself: the Component
// Manager serves any thread (its registry under a lock, each instance's
// calls through its own slot) and the plug-in builds its instances under a
// lock of its own, so only as many units as jobs exist at a time.
void renderAll(const RenderSettings& settings, const std::vector<BatchFile>& files, int jobs,
               std::vector<BatchResult>& results) {
  BatchProgress progress(!settings.quiet, files.size());
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i; (i = next++) < files.size();)
      results[i] = renderOne(settings, files[i], progress);
  };
  std::vector<std::thread> workers;
  const size_t wanted = std::min(files.size(), static_cast<size_t>(jobs));
  while (workers.size() < wanted) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      // Fewer threads than asked still render every file.
      if (workers.empty()) throw ToolError("cannot start a thread to render on");
      break;
    }
  }
  progress.waitForAll();
  for (std::thread& worker : workers)
    worker.join();
}

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

void report(const std::vector<BatchFile>& files, const std::vector<BatchResult>& results,
            bool quiet) {
  // Files at one rate approach a value alike: each note is told once.
  std::vector<std::string> told;
  for (const BatchResult& result : results)
    for (const std::string& note : result.notes)
      if (std::find(told.begin(), told.end(), note) == told.end()) {
        told.push_back(note);
        PrintNote(note);
      }
  for (const BatchResult& result : results) {
    result.outcome.warn();
    // The summary names the failures; without it they are told here.
    if (!result.ok && quiet) std::fprintf(stderr, "morvex: error: %s\n", result.error.c_str());
  }
  if (quiet) return;
  // Outcomes come last: an error's text is long, and the numbers stay aligned.
  std::vector<std::vector<std::string>> rows = {
      {"file", "peak", "RMS", "clipped", "seconds", "outcome"}};
  OutputLevels all;
  double seconds = 0;
  size_t failed = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const BatchResult& result = results[i];
    if (!result.ok) {
      ++failed;
      rows.push_back({nameOf(files[i].in), "", "", "", "", result.error});
      continue;
    }
    const FileOutcome& outcome = result.outcome;
    rows.push_back({nameOf(files[i].in), DbfsText(outcome.levels.peakDbfs()),
                    DbfsText(outcome.levels.rmsDbfs()), std::to_string(outcome.levels.clipped()),
                    secondsText(outcome.seconds()), "ok"});
    all.add(outcome.levels);
    seconds += outcome.seconds();
  }
  // Levels of nothing rendered would read as silence.
  const bool any = failed < files.size();
  rows.push_back(
      {"total", any ? DbfsText(all.peakDbfs()) : "", any ? DbfsText(all.rmsDbfs()) : "",
       std::to_string(all.clipped()), secondsText(seconds),
       std::to_string(files.size() - failed) + " ok, " + std::to_string(failed) + " failed"});
  PrintTable(rows, stderr);
}

}  // namespace

int DefaultBatchJobs() {
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxBatchJobs);
}

std::vector<BatchFile> PlanBatch(const ArgCursor& args, const std::vector<std::string>& inputs,
                                 const std::string& folder, const std::string& type) {
  std::vector<BatchFile> files;
  std::map<std::string, std::string> inputNamed;
  for (const std::string& in : inputs) {
    if (in == "-") args.fail("standard input has no name for its output in " + folder);
    const std::string name = nameOf(in);
    if (name.empty() || name == "." || name == "..")
      args.fail(in + ": names no file, so its output would have no name");
    const auto [first, unique] = inputNamed.emplace(name, in);
    if (!unique)
      args.fail(first->second + " and " + in + " have the same name, so both would write " +
                folder + "/" + name);
    const std::string out = folder + (folder.back() == '/' ? "" : "/") + name;
    if (SameFile(in, out)) args.fail(in + ": is its own output in " + folder);
    files.push_back({in, out, ContainerFor(out, type)});
  }
  return files;
}

int RenderBatch(RenderSettings& settings, const std::vector<BatchFile>& files,
                const std::string& folder, int jobs) {
  requireWritableFolder(folder);
  checkSettings(settings);
  std::vector<BatchResult> results(files.size());
  renderAll(settings, files, jobs, results);
  report(files, results, settings.quiet);
  const bool anyFailed =
      std::any_of(results.begin(), results.end(), [](const BatchResult& r) { return !r.ok; });
  return anyFailed ? 1 : 0;
}
