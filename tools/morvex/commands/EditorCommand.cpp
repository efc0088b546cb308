#include <cstdio>
#include <string>
#include <vector>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/editor/EditorSnapshot.h"
#include "tools/morvex/editor/EditorWindow.h"
#include "tools/morvex/output/StateClashes.h"
#include "tools/morvex/settings/UnitSettings.h"

namespace {

const char kUsage[] =
    "usage: morvex editor [OPTIONS]\n"
    "       morvex editor --snapshot FILE.png [OPTIONS]\n"
    "\n"
    "Opens Morvex's editor in a window, as a host shows it, and runs until the\n"
    "window is closed, Ctrl-C or SIGTERM. Meanwhile the effect hears quiet noise\n"
    "at real-time pace (nothing is played), so its sweep display moves as in a\n"
    "host. Save the state with --save-state and render with it:\n"
    "'morvex render IN OUT --state FILE';\n"
    "or keep it as a preset of yours with --save-preset NAME and render with\n"
    "'morvex render IN OUT --preset NAME'.\n"
    "\n"
    "With --snapshot the editor is drawn without a display and written as a PNG.\n"
    "\n"
    "Settings apply in this order: --preset, then --state, then each --set.\n"
    "\n"
    "  --preset NAME|NUMBER     start from a preset ('morvex presets' lists them)\n"
    "  --state FILE.aupreset    load a saved state\n"
    "  --set NAME=VALUE         set a parameter ('morvex params'); may be repeated\n"
    "  --save-state FILE.aupreset\n"
    "                           save the state when the window closes\n"
    "  --save-preset NAME       save it as the user preset NAME (replacing one)\n"
    "  --scale 1|2              pixel size: 2 for high-density screens (default: the\n"
    "                           screen's, or 1 for a snapshot)\n"
    "  --snapshot FILE.png      draw the editor into FILE.png instead of a window\n"
    "  --help                   show this help\n";

struct EditorOptions {
  UnitSettings unit;
  std::string snapshot;
  int scale = 0;  // 0: the screen's own
};

bool parse(const std::vector<std::string>& argv, EditorOptions* options) {
  ArgCursor args("editor", argv);
  std::string value;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (options->unit.parseOption(args)) continue;
    if (args.namedOption("--snapshot", &options->snapshot)) continue;
    if (args.option("--scale", &value)) {
      options->scale = static_cast<int>(ParseCount(args, "--scale", value, 1, 2));
      continue;
    }
    args.fail("unexpected argument '" + args.positional() + "'");
  }
  if (!options->snapshot.empty() && !options->unit.saveStatePath.empty())
    args.fail("--save-state goes with the window, not with --snapshot");
  if (!options->snapshot.empty() && !options->unit.savePresetName.empty())
    args.fail("--save-preset goes with the window, not with --snapshot");
  RefuseStateClashes(args, options->unit, "", "");
  return true;
}

}  // namespace

int EditorCommand(const std::vector<std::string>& argv) {
  EditorOptions options;
  if (!parse(argv, &options)) return 0;
  options.unit.readState();
  if (!options.snapshot.empty()) {
    WriteEditorSnapshot(options.unit, options.scale ? options.scale : 1, options.snapshot);
    return 0;
  }
  try {
    return RunEditorWindow(options.unit, options.scale);
  } catch (const DisplayMissing& missing) {
    throw ToolError(std::string(missing.what()) +
                    "; 'morvex editor --snapshot FILE.png' needs none");
  }
}
