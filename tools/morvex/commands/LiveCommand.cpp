#include <cstdio>
#include <string>
#include <vector>

#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/editor/EditorWindow.h"
#include "tools/morvex/editor/StopSignals.h"
#include "tools/morvex/live/LiveSession.h"
#include "tools/morvex/output/StateClashes.h"
#include "tools/morvex/output/StateOutputs.h"
#include "tools/morvex/settings/PresetChoice.h"

namespace {

const char kUsage[] =
    "usage: morvex live [OPTIONS]\n"
    "\n"
    "Plays Morvex live through JACK: registers the JACK client 'morvex' with the\n"
    "inputs in_1 and in_2 and the outputs out_1 and out_2, phases what comes in and\n"
    "sends it out, and opens the editor as 'morvex editor' does. It plays until the\n"
    "window is closed, Ctrl-C or SIGTERM; without an X display, or with --no-editor,\n"
    "it plays without a window. It follows the server's sample rate and period size\n"
    "when they change; when the server goes away it says so and exits with status\n"
    "1. The server is the one $JACK_DEFAULT_SERVER names, else the default one; none\n"
    "is started.\n"
    "\n"
    "Settings apply in this order: --preset, then --state, then each --set.\n"
    "\n"
    "  --preset NAME|NUMBER     start from a preset ('morvex presets' lists them)\n"
    "  --state FILE.aupreset    load a saved state\n"
    "  --set NAME=VALUE         set a parameter ('morvex params'); may be repeated\n"
    "  --save-state FILE.aupreset\n"
    "                           save the state when it stops\n"
    "  --save-preset NAME       save it as the user preset NAME (replacing one)\n"
    "  --connect-in PORTS       connect these ports to the inputs in order: port or\n"
    "                           client names, separated by commas ('system' is the\n"
    "                           sound card's capture); a single port feeds both\n"
    "  --connect-out PORTS      connect the outputs to these ports in order ('system'\n"
    "                           is the sound card's playback); a single port takes\n"
    "                           both\n"
    "  --no-editor              play without a window\n"
    "  --help                   show this help\n";

std::vector<std::string> PortNames(const ArgCursor& args, const char* option,
                                   const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    names.push_back(list.substr(start, comma - start));
  names.push_back(list.substr(start));
  for (const std::string& name : names)
    if (name.empty()) args.fail(std::string(option) + " has an empty port name in '" + list + "'");
  return names;
}

bool parse(const std::vector<std::string>& argv, LiveOptions* options) {
  ArgCursor args("live", argv);
  std::string value;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return false;
    }
    if (options->unit.parseOption(args)) continue;
    if (args.namedOption("--connect-in", &value)) {
      for (const std::string& name : PortNames(args, "--connect-in", value))
        options->connectIn.push_back(name);
      continue;
    }
    if (args.namedOption("--connect-out", &value)) {
      for (const std::string& name : PortNames(args, "--connect-out", value))
        options->connectOut.push_back(name);
      continue;
    }
    if (args.flag("--no-editor")) {
      options->editor = false;
      continue;
    }
    args.fail("unexpected argument '" + args.positional() + "'");
  }
  RefuseStateClashes(args, options->unit, "", "");
  return true;
}

}  // namespace

int LiveCommand(const std::vector<std::string>& argv) {
  LiveOptions options;
  if (!parse(argv, &options)) return 0;
  options.unit.readState();
  // Before any thread starts, so that every one inherits the blocked mask.
  StopSignals stop;
  LiveSession session(options, stop);
  if (options.editor) {
    try {
      const int shown = RunEditorWindow(options.unit, 0, &session);
      const int played = session.finish();
      return shown ? shown : played;
    } catch (const DisplayMissing& missing) {
      std::fprintf(stderr, "morvex: %s: playing without the editor\n", missing.what());
    }
  }
  RefuseHiddenPresetName(session.unit(), options.unit.savePresetName);
  StateOutputs outputs(options.unit);
  session.start();
  session.wait();
  outputs.write(session.unit());
  outputs.commit();
  return session.finish();
}
