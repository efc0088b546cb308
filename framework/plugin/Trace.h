#pragma once

// The single trace hook, called at interesting points (construction, host
// selectors, state loading). This system writes no trace: the call discards
// everything. [any thread]
void Trace(const char* location, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Debug names for host codes; empty for every code in this system.
// [any thread]
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propertyID);
const char* AUScopeStr(int scope);
const char* VSTOpcodeStr(int opcode);
