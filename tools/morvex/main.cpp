// morvex: renders audio files through the Morvex phaser Audio Unit, lists
// what it offers and validates it, driving the component only as a host
// does, through the platform's Component Manager and Audio Unit calls.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/commands/BuildTreeBundle.h"
#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/commands/DisplayModule.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/SafeOutput.h"

namespace {

const char kUsage[] =
    "usage: morvex COMMAND [ARGS...]\n"
    "\n"
    "Runs audio files through the Morvex stereo phaser (an Audio Unit effect) and\n"
    "tells what it offers.\n"
    "\n"
    "Commands:\n"
    "  render IN OUT [OPTIONS]   phase an audio file (WAV, AIFF, FLAC, Ogg...)\n"
    "  render IN... --output-dir DIR [OPTIONS]\n"
    "                            phase many files into a folder, several at once\n"
    "  presets                   list the factory presets and your own\n"
    "  params                    list the parameters with ranges and values\n"
    "  info                      show the component's identity and layouts\n"
    "  validate [--quick]        check that the component behaves as a host expects\n"
    "  validate --strict         ...and never allocates, locks or waits while rendering\n"
    "  validate --lv2 [URI]      the same checks on the LV2 plug-in\n"
    "  editor [OPTIONS]          open the editor in a window, or draw it into a PNG\n"
    "  show FILE.aupreset        tell what a saved state holds\n"
    "  live [OPTIONS]            play live through JACK, with the editor open\n"
    "\n"
    "'morvex COMMAND --help' explains each command; 'morvex --version' tells the\n"
    "version.\n"
    "\n"
    "The component is found in the folders of AUDIOUNIT_PATH (colon-separated),\n"
    "then the Morvex.component of the build this program belongs to (if any), then\n"
    "in ~/Library/Audio/Plug-Ins/Components, /Library/Audio/Plug-Ins/Components\n"
    "and the Components folder of the installation (PREFIX/lib/morvex/Components).\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"render", RenderCommand}, {"presets", PresetsCommand},         {"params", ParamsCommand},
    {"info", InfoCommand},     {"validate", ValidateModuleCommand}, {"editor", EditorModuleCommand},
    {"show", ShowCommand},     {"live", LiveModuleCommand},
};

int run(int argc, char** argv) {
  if (argc < 2) throw UsageError("no command given (see 'morvex --help')");
  const std::string name = argv[1];
  if (name == "--version") {
    std::puts("morvex " MORVEX_VERSION);
    return 0;
  }
  if (name == "--help" || name == "-h" || name == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  for (const Command& command : kCommands)
    if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
  throw UsageError("unknown command '" + name + "' (see 'morvex --help')");
}

}  // namespace

int main(int argc, char** argv) {
  SafeOutput::installSignalHandlers();
  AddBuildTreeBundle();
  return ReportingFailures([&] {
    const int status = run(argc, argv);
    if (std::fflush(stdout) != 0)
      throw ToolError(std::string("standard output: ") + std::strerror(errno));
    return status;
  });
}
