#pragma once

#include <string>

class ArgCursor;
struct UnitSettings;

// Refuses, before any work, a --save-state file or --save-preset NAME whose
// file is one the command also reads or writes: IN and OUT (standard input
// and output for "-", compared by what they are open on, so a redirection or
// /dev/stdout is seen through) and each other. Pass "" for IN or OUT when the
// command has none. Fails the command's usage naming both.
void RefuseStateClashes(const ArgCursor& args, const UnitSettings& settings, const std::string& in,
                        const std::string& out);
