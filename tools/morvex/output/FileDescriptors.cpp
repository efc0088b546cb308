#include "tools/morvex/output/FileDescriptors.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/morvex/console/ToolError.h"

int WriteAll(int fd, const void* data, size_t size) noexcept {
  auto bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return 0;
}

int CopyAll(int from, int to) noexcept {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) return 0;
    if (const int error = WriteAll(to, buffer, static_cast<size_t>(got))) return error;
  }
}

int MakeSpoolFile(const std::string& what) {
  const char* folder = getenv("TMPDIR");
  std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/morvex-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0)
    throw ToolError(what + ": cannot make a spool file in " +
                    pattern.substr(0, pattern.rfind('/')) + " (" + std::strerror(errno) + ")");
  unlink(pattern.c_str());
  return fd;
}
