#pragma once

#include <string>

#include "tools/morvex/validate/CheckReport.h"
#include "tools/morvex/validate/StrictChecks.h"

// Morvex's stereo plug-in: what `morvex validate --lv2` checks without a URI.
constexpr char kMorvexLv2Uri[] = "urn:tarnbrook:morvex:stereo";

// The shared checks on the LV2 plug-in of that URI, loaded through lilv as
// hosts load it: from the bundles in the folders of LV2_PATH, then this
// build's Morvex.lv2, ~/.lv2, the installation's lib/lv2, /usr/local/lib/lv2
// and /usr/lib/lv2. Throws ToolError when no bundle describes it or it is
// not a stereo effect. *subject names the bundle. The user interface is
// opened with suil for the editor's check.
void RunLv2Checks(CheckReport& report, const std::string& uri, const StrictLevel& level,
                  std::string* subject);
