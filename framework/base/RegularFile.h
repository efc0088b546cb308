#pragma once

#include <cstdio>

// [any thread] Opens path for reading only when it is a regular file; null
// otherwise. The open itself does not block, so a pipe without a writer or a
// device named where a file is expected is refused instead of holding the
// caller for ever. When size is given it receives the file's size in bytes.
std::FILE* OpenRegularFile(const char* path, long long* size = nullptr);
