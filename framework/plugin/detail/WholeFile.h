#pragma once

#include "framework/plugin/ByteChunk.h"

// Program and bank files larger than this are refused unread.
constexpr int kMaxWholeFileSize = 64 << 20;

// Reads a whole file of at most kMaxWholeFileSize bytes into bytes (which it
// replaces). False when it cannot be opened or read, or is larger.
bool ReadWholeFile(const char* path, ByteChunk* bytes);

// Writes bytes to a temporary file beside path and renames it over path, so
// a failed write never leaves a half-written file behind.
bool WriteWholeFile(const char* path, const ByteChunk& bytes);
