#pragma once

// The single trace hook, called at interesting points (construction, host
// selectors, state loading). This system writes no trace: the call discards
// everything. [any thread]
void Trace(const char* location, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
