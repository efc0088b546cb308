#include "framework/plugin/detail/WholeFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/base/RegularFile.h"
#include "framework/base/WDL_TypedBuf.h"

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
  if (!path || !path[0]) return false;
  const size_t length = strlen(path);
  WDL_TypedBuf<char> temp;
  char* tempPath = temp.Resize(static_cast<int>(length) + 8);
  if (!tempPath) return false;
  memcpy(tempPath, path, length);
  memcpy(tempPath + length, ".XXXXXX", 8);
  const int fd = mkstemp(tempPath);
  if (fd < 0) return false;
  fchmod(fd, 0644);
  FILE* file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(tempPath);
    return false;
  }
  const size_t size = static_cast<size_t>(bytes.Size());
  bool ok = size == 0 || fwrite(bytes.GetBytes(), 1, size, file) == size;
  ok = (fclose(file) == 0) && ok;
  if (!ok || rename(tempPath, path) != 0) {
    unlink(tempPath);
    return false;
  }
  return true;
}
