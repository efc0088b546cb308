#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "raster/LICE_IBitmap.h"
#include "raster/lice_fill.h"
#include "raster/lice_png.h"

extern char** environ;

namespace artwork_test {

struct Run {
  int status = -1;  // exit status, or 128 + signal
  std::string err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Runs the generator with its standard error captured in `errFile`.
inline Run RunArtwork(const std::vector<std::string>& args, const std::string& errFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<char*> argv = {const_cast<char*>(ARTWORK_TOOL)};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  Run run;
  pid_t pid;
  if (posix_spawn(&pid, ARTWORK_TOOL, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.err = Slurp(errFile);
  unlink(errFile.c_str());
  return run;
}

// An image the build painted into the bundle, decoded as the editor
// decodes it.
inline std::unique_ptr<LICE_IBitmap> LoadBundled(const std::string& name) {
  const std::string path = std::string(MORVEX_BUNDLE) + "/Contents/Resources/" + name + ".png";
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()));
}

// One frame of a top-to-bottom strip, read pixel by pixel.
class Frame {
 public:
  Frame(const LICE_IBitmap* strip, int index, int height)
      : mStrip(strip), mTop(index * height), mHeight(height) {}
  int width() const { return mStrip->getWidth(); }
  int height() const { return mHeight; }
  LICE_pixel at(int x, int y) const { return LICE_GetPixel(mStrip, x, mTop + y); }

 private:
  const LICE_IBitmap* mStrip;
  int mTop, mHeight;
};

// Clearly the accent: opaque, strongly red-yellow rather than grey.
inline bool IsLitAccent(LICE_pixel p) {
  return LICE_GETA(p) > 200 && LICE_GETR(p) > 200 && LICE_GETR(p) - LICE_GETB(p) > 120;
}

// Degrees, 0 straight up and growing clockwise, of pixel (x, y) seen from
// (cx, cy) in continuous coordinates.
inline double AngleDegrees(int x, int y, double cx, double cy) {
  return std::atan2(x + 0.5 - cx, cy - (y + 0.5)) * 180.0 / 3.14159265358979;
}

}  // namespace artwork_test
