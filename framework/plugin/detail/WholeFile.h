#pragma once

#include "framework/plugin/ByteChunk.h"

// Program and bank files larger than this are refused unread.
constexpr int kMaxWholeFileSize = 64 << 20;

// Reads a whole file of at most kMaxWholeFileSize bytes into bytes (which it
// replaces). False when it cannot be opened or read, or is larger.
bool ReadWholeFile(const char* path, ByteChunk* bytes);

// Writes bytes as the file path whole or not at all (see AtomicFile): a
// symbolic link stays and its target is replaced.
bool WriteWholeFile(const char* path, const ByteChunk& bytes);
