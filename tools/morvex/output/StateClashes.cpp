#include "tools/morvex/output/StateClashes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/output/FilePaths.h"
#include "tools/morvex/settings/UnitSettings.h"
#include "tools/morvex/settings/UserPresets.h"

namespace {

// A file the command uses: a path, or for "-" the stream `fd`.
struct FileUse {
  std::string path;
  int fd;
  std::string description;  // how a message names it
};

bool sameStreams(int a, int b) {
  struct stat first, second;
  return a == b || (fstat(a, &first) == 0 && fstat(b, &second) == 0 &&
                    first.st_dev == second.st_dev && first.st_ino == second.st_ino);
}

// stat() follows /dev/stdout and /proc/self/fd/N to whatever the stream is
// open on, a pipe included.
bool pathIsStream(const std::string& path, int fd) {
  struct stat named, open;
  return stat(path.c_str(), &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
         named.st_ino == open.st_ino;
}

bool same(const FileUse& a, const FileUse& b) {
  const bool aStream = a.path == "-", bStream = b.path == "-";
  if (aStream && bStream) return sameStreams(a.fd, b.fd);
  if (aStream) return pathIsStream(b.path, a.fd);
  if (bStream) return pathIsStream(a.path, b.fd);
  return SameFile(a.path, b.path);
}

FileUse audioUse(const std::string& path, int fd, const char* stream) {
  if (path == "-") return {path, fd, std::string(stream) + ", which carries the audio"};
  return {path, fd, "the audio file " + path + ", which the state would overwrite"};
}

}  // namespace

void RefuseStateClashes(const ArgCursor& args, const UnitSettings& settings, const std::string& in,
                        const std::string& out) {
  std::vector<FileUse> others;
  if (!in.empty()) others.push_back(audioUse(in, STDIN_FILENO, "standard input"));
  if (!out.empty()) others.push_back(audioUse(out, STDOUT_FILENO, "standard output"));

  std::vector<std::pair<std::string, FileUse>> writers;  // the option, then what it writes
  if (!settings.saveStatePath.empty())
    writers.push_back({"--save-state " + settings.saveStatePath,
                       {settings.saveStatePath, STDOUT_FILENO,
                        "the file --save-state " + settings.saveStatePath + " writes"}});
  const std::string presetPath = UserPresetPath(settings.savePresetName);
  if (!presetPath.empty())
    writers.push_back({"--save-preset " + settings.savePresetName + " (" + presetPath + ")",
                       {presetPath, -1, "the user preset " + presetPath}});

  for (size_t w = 0; w < writers.size(); ++w) {
    for (const FileUse& other : others)
      if (same(writers[w].second, other)) args.fail(writers[w].first + ": is " + other.description);
    // Each later writer is checked against this one too.
    others.push_back(writers[w].second);
  }
}
