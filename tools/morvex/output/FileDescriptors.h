#pragma once

#include <cstddef>
#include <string>

// Plain descriptor I/O shared by the outputs and the standard-input reader.

// Writes all bytes, retrying after interruptions; returns 0 or the errno.
int WriteAll(int fd, const void* data, size_t size) noexcept;

// Copies `from` (from its current position to its end) into `to`; returns 0
// or the errno.
int CopyAll(int from, int to) noexcept;

// An unlinked read-write file in $TMPDIR (or /tmp), gone when closed. Throws
// ToolError beginning with `what` when none can be made.
int MakeSpoolFile(const std::string& what);
