// morvex-lv2-ttl BUNDLE_DIR: writes manifest.ttl, plugins.ttl and
// presets.ttl of the LV2 bundle from a plug-in instance, so the parameter
// table and the presets are declared only in the effect.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "effect/MorvexLV2Identity.h"
#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/LV2Turtle.h"
#include "framework/lv2/MakePlug.h"

namespace {
bool WriteFile(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "morvex-lv2-ttl: error: cannot write %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "morvex-lv2-ttl: error: writing %s failed\n", path.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvex-lv2-ttl BUNDLE_DIR\n");
    return 2;
  }
  IPlugInstanceInfo info;
  info.mWithEditor = false;
  std::unique_ptr<IPlugLV2> plug(MakePlug(info));
  LV2Turtle turtle(*plug, kMorvexLV2);
  const std::string dir = argv[1];
  const bool ok = WriteFile(dir + "/manifest.ttl", turtle.Manifest()) &&
                  WriteFile(dir + "/" + LV2Turtle::kPluginsFile, turtle.Plugins()) &&
                  WriteFile(dir + "/" + LV2Turtle::kPresetsFile, turtle.Presets());
  return ok ? 0 : 1;
}
