#include "framework/plugin/detail/WholeFile.h"

#include <cstdio>

#include "framework/base/AtomicFile.h"
#include "framework/base/RegularFile.h"

bool ReadWholeFile(const char* path, ByteChunk* bytes) {
  FILE* file = OpenRegularFile(path);
  if (!file) return false;
  bytes->Clear();
  unsigned char block[65536];
  bool ok = true;
  while (ok) {
    const size_t n = fread(block, 1, sizeof(block), file);
    if (n == 0) break;
    ok = bytes->Size() + static_cast<long long>(n) <= kMaxWholeFileSize &&
         bytes->PutBytes(block, static_cast<int>(n)) >= 0;
  }
  ok = ok && !ferror(file);
  fclose(file);
  return ok;
}

bool WriteWholeFile(const char* path, const ByteChunk& bytes) {
  return WriteFileAtomically(path, bytes.GetBytes(), static_cast<size_t>(bytes.Size()));
}
