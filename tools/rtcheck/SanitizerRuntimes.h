#pragma once

// A sanitizer's runtime makes system calls of its own inside the code it
// checks: UndefinedBehaviorSanitizer probes a vtable's memory through a pipe
// when its type cache misses, AddressSanitizer's allocator maps memory for
// the calls it serves itself. Those are the build's, not the plug-in's.
namespace rtcheck {

// Notes where the runtimes loaded into the process lie; outside any audio
// call, once (it takes the loader's lock).
void FindSanitizerRuntimes();

// Whether the calling thread's stack passes through one of them.
bool InSanitizerRuntime();

}  // namespace rtcheck
