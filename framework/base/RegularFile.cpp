#include "framework/base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* OpenRegularFile(const char* path, long long* size) {
  if (!path || !path[0]) return nullptr;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  std::FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(fd, "rb");
  if (!file) {
    close(fd);
    return nullptr;
  }
  if (size) *size = static_cast<long long>(info.st_size);
  return file;
}
