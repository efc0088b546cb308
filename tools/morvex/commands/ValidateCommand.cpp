// morvex validate: the basic checks of the Audio Unit, and at the strict
// level what real-time hosts need of either plug-in.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/auhost/Unit.h"
#include "tools/morvex/commands/Commands.h"
#include "tools/morvex/console/ArgCursor.h"
#include "tools/morvex/validate/AuBasicChecks.h"
#include "tools/morvex/validate/AuStrict.h"
#include "tools/morvex/validate/Lv2Strict.h"
#include "tools/morvex/validate/RtProbe.h"

namespace {

const char kUsage[] =
    "usage: morvex validate [--quick | --strict] [--json]\n"
    "       morvex validate --lv2 [URI] [--strict] [--json]\n"
    "\n"
    "Checks that the Morvex component behaves as hosts expect: opening and closing,\n"
    "the required properties and their sizes, parameter information and display\n"
    "texts, every factory preset, saved-state round trips, the channel layouts it\n"
    "accepts and refuses, rendering at 22.05 to 192 kHz with block sizes from 1 to\n"
    "4096 frames (finite output within +-1, the same whatever the block size),\n"
    "silence, bypass and reset, and the status codes answered to bad calls.\n"
    "\n"
    "--strict adds what real-time hosts need. During every render (through the\n"
    "fast-dispatch render function, as such hosts render) no allocation, lock, sleep\n"
    "or system call may happen: a library preloaded into morvex watches them and\n"
    "names the call with a backtrace; where the kernel offers Syscall User Dispatch\n"
    "(Linux 5.11 on x86), also a system call made without the C library's functions,\n"
    "else the table says the raw watch is unavailable. The renders run with every\n"
    "parameter automated from another thread, presets and saved states changed\n"
    "between blocks, the editor open and drawing on its own thread (with an X\n"
    "display), Stages changed through every value, silence, denormal-range input,\n"
    "and NaN and infinity in the input (the output must stay finite, and sound\n"
    "normal after). Then 8 to 384 kHz with blocks of 1 to 4096 frames varying from\n"
    "call to call, in place and in separate buffers, must give the same output as\n"
    "blocks of 4096; 1000 open, initialize, render, uninitialize and close cycles\n"
    "must leak no memory and no file descriptor; 1000 saves and restores of the\n"
    "state must give the same bytes; two instances rendering on two threads at once\n"
    "must sound as each alone. A render through the component entry is reported for\n"
    "information: it holds the plug-in's mutex by design.\n"
    "\n"
    "--lv2 checks an LV2 plug-in instead, loaded through lilv as hosts load it\n"
    "(Morvex's, urn:tarnbrook:morvex:stereo, unless URI names another): the same\n"
    "checks as --strict, with instantiate, activate, run, deactivate and cleanup\n"
    "cycles, and its X11 user interface opened through suil for the editor's\n"
    "check; without --strict, without the watch on its run calls and with 100\n"
    "cycles. The bundle is looked for in the folders of LV2_PATH, this build's\n"
    "Morvex.lv2, ~/.lv2, PREFIX/lib/lv2, /usr/local/lib/lv2 and /usr/lib/lv2.\n"
    "\n"
    "Prints one line per check (PASS or FAIL with the reason) and a summary, or,\n"
    "with --strict or --lv2, a table of every check, its result and its time;\n"
    "exits with status 1 when any check fails.\n"
    "\n"
    "  --quick   render at two sample rates and four block sizes only\n"
    "  --strict  the real-time level (under a minute)\n"
    "  --lv2     check the LV2 plug-in of URI, or Morvex's\n"
    "  --json    the results as one JSON object, for programs\n"
    "  --help    show this help\n";

}  // namespace

int ValidateCommand(const std::vector<std::string>& argv) {
  ArgCursor args("validate", argv);
  bool quick = false, strict = false, lv2 = false, json = false;
  std::vector<std::string> positionals;
  while (!args.done()) {
    if (args.flag("--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (args.flag("--quick")) {
      quick = true;
    } else if (args.flag("--strict")) {
      strict = true;
    } else if (args.flag("--lv2")) {
      lv2 = true;
    } else if (args.flag("--json")) {
      json = true;
    } else {
      positionals.push_back(args.positional());
    }
  }
  if (quick && (strict || lv2)) args.fail("--quick is for the Audio Unit's basic level alone");
  // The one positional argument, the URI, is --lv2's and optional.
  if (!lv2) args.expectPositionals(positionals, {});
  if (positionals.size() > 1) args.fail("unexpected argument '" + positionals[1] + "'");
  if (strict) RtProbe::EnsurePreloaded(argv);

  const ReportStyle style = json            ? ReportStyle::kJson
                            : strict || lv2 ? ReportStyle::kTable
                                            : ReportStyle::kLines;
  CheckReport report(style);
  StrictLevel level;
  if (strict) level.probe = RtProbe::Find();
  if (lv2) {
    if (!strict) level.cycles = 100;
    std::string subject;
    const std::string uri = positionals.empty() ? kMorvexLv2Uri : positionals[0];
    if (!json) std::printf("validating %s%s\n", uri.c_str(), strict ? " (strict)" : "");
    RunLv2Checks(report, uri, level, &subject);
    return report.finish(subject);
  }
  const Component component = FindMorvex();
  if (!json)
    std::printf("validating %s%s\n", BundlePath(component).c_str(), strict ? " (strict)" : "");
  RunAuBasicChecks(report, component, quick);
  if (strict) RunAuStrictChecks(report, component, level);
  return report.finish(BundlePath(component));
}
