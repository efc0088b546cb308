// <name>-lv2-ttl BUNDLE_DIR: writes manifest.ttl, plugins.ttl and presets.ttl
// of an LV2 bundle from an instance of its plug-in, so the parameter table
// and the presets are declared only in the effect. morvex_add_lv2_bundle
// builds one for each bundle, with the effect's MakePlug and the bundle's
// identity.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/LV2Turtle.h"
#include "framework/lv2/MakePlug.h"

namespace {
bool WriteFile(const char* program, const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "%s: error: cannot write %s: %s\n", program, path.c_str(),
                 std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "%s: error: writing %s failed\n", program, path.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR\n", argv[0]);
    return 2;
  }
  IPlugInstanceInfo info;
  info.mWithEditor = false;
  std::unique_ptr<IPlugLV2> plug(MakePlug(info));
  LV2Turtle turtle(*plug, kLV2Identity);
  const std::string dir = argv[1];
  const bool ok = WriteFile(argv[0], dir + "/manifest.ttl", turtle.Manifest()) &&
                  WriteFile(argv[0], dir + "/" + LV2Turtle::kPluginsFile, turtle.Plugins()) &&
                  WriteFile(argv[0], dir + "/" + LV2Turtle::kPresetsFile, turtle.Presets());
  return ok ? 0 : 1;
}
