// morvex-artwork: paints the editor's images into a folder, or a picture of
// the editor made from them.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "effect/MorvexIdentity.h"
#include "effect/artwork/Catalogue.h"
#include "effect/artwork/ImageWriter.h"
#include "effect/artwork/Preview.h"

namespace {

const char kUsage[] =
    "usage: morvex-artwork OUTPUT-FOLDER\n"
    "       morvex-artwork --preview FILE.png [--scale N]\n"
    "       morvex-artwork --preview-info FILE.png [--scale N]\n"
    "\n"
    "Paints the editor's 13 images into OUTPUT-FOLDER, which must exist: bg.png,\n"
    "knob.png, knob_rot_1.png to knob_rot_6.png, freq__mask.png, depth__mask.png,\n"
    "lfo__mask.png, stages.png and info.png. Existing files are replaced only\n"
    "when all of them have been written.\n"
    "\n"
    "  --preview FILE.png       write the editor as it looks with the images instead\n"
    "  --preview-info FILE.png  the same with the information overlay shown\n"
    "  --scale N                enlarge the preview N times, pixel for pixel (1 to 8)\n"
    "  --help                   show this help\n";

int Usage(const std::string& message) {
  std::fprintf(stderr, "morvex-artwork: error: %s\n%s", message.c_str(), kUsage);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "morvex-artwork: error: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const artwork::Identity identity = {kMorvexName, kMorvexManufacturer, kMorvexVersionText};
  std::string folder, preview;
  bool info = false;
  int scale = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--preview" || arg == "--preview-info") {
      if (i + 1 >= argc) return Usage(arg + " needs a file name");
      if (!preview.empty()) return Usage("only one preview at a time");
      preview = argv[++i];
      info = arg == "--preview-info";
    } else if (arg == "--scale") {
      char* end = nullptr;
      const long v = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end || v < 1 || v > 8) {
        return Usage("--scale needs a whole number from 1 to 8, not '" +
                     std::string(i + 1 < argc ? argv[i + 1] : "") + "'");
      }
      scale = static_cast<int>(v);
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage("unknown option '" + arg + "'");
    } else if (!folder.empty()) {
      return Usage("more than one output folder ('" + folder + "', '" + arg + "')");
    } else {
      folder = arg;
    }
  }

  artwork::ImageWriter writer;
  if (!preview.empty()) {
    if (!folder.empty()) return Usage("a preview takes no output folder");
    const auto picture = artwork::ComposePreview(identity, info, scale);
    if (!writer.stage(preview, *picture) || !writer.commit()) return Fail(writer.error());
    return 0;
  }
  if (scale != 1) return Usage("--scale goes with --preview or --preview-info");
  if (folder.empty()) return Usage("no output folder given");
  const std::string problem = artwork::CheckOutputFolder(folder);
  if (!problem.empty()) return Fail(problem);
  for (const artwork::ImageShape& shape : artwork::Catalogue()) {
    const auto image = artwork::PaintImage(shape, identity);
    if (!writer.stage(folder + "/" + shape.name + ".png", *image)) return Fail(writer.error());
  }
  if (!writer.commit()) return Fail(writer.error());
  return 0;
}
