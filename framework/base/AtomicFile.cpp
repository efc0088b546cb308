#include "framework/base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "framework/base/PathLinks.h"

namespace {

// The process's file-creation mask, read once: reading it means setting it,
// which threads making files at the same time must not see.
mode_t processUmask() {
  static const mode_t mask = [] {
    const mode_t value = umask(0);
    umask(value);
    return value;
  }();
  return mask;
}

}  // namespace

AtomicFile::AtomicFile(const char* destination, Existing existing) : mExisting(existing) {
  if (!destination || !*destination) {
    errno = ENOENT;
    return;
  }
  if (!FollowLinks(destination, &mFinal)) return;
  struct stat st;
  if (stat(mFinal.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      return;
    }
    if (mExisting == Existing::Keep) {
      errno = EEXIST;
      return;
    }
  }
  // A short name, so that a destination name near the 255-byte limit still
  // leaves room for it.
  std::string pattern = FolderOf(mFinal) + ".morvex-XXXXXX";
  mFd = mkstemp(pattern.data());
  if (mFd < 0) return;
  mTemp = pattern;
  GiveModeOf(mFinal, mFd);
}

void GiveModeOf(const std::string& replaced, int fd) {
  // mkstemp makes the file private: a replaced file keeps its own owner (when
  // we may give it away) and bits, a new one gets the usual mode.
  struct stat st;
  if (stat(replaced.c_str(), &st) == 0) {
    // Without the right to give the file away it becomes ours, and then the
    // set-id bits must not come along.
    const bool sameOwner = fchown(fd, st.st_uid, st.st_gid) == 0;
    fchmod(fd, st.st_mode & (sameOwner ? 07777 : 0777));
  } else {
    fchmod(fd, 0666 & ~processUmask());
  }
}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (ok() && size > 0) {
    const ssize_t n = ::write(mFd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return ok();
}

bool AtomicFile::commit() {
  if (!ok()) return false;
  const bool done = fsync(mFd) == 0 && close(mFd) == 0;
  mFd = -1;
  if (!done || !moveIntoPlace()) {
    discard();
    return false;
  }
  mTemp.clear();
  return true;
}

// A file to keep may have appeared since the constructor looked, so the
// rename itself must refuse to replace one.
bool AtomicFile::moveIntoPlace() {
  if (mExisting == Existing::Replace) return rename(mTemp.c_str(), mFinal.c_str()) == 0;
  if (renameat2(AT_FDCWD, mTemp.c_str(), AT_FDCWD, mFinal.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system that cannot rename so: a new link will not replace either.
  if (link(mTemp.c_str(), mFinal.c_str()) != 0) return false;
  unlink(mTemp.c_str());
  return true;
}

void AtomicFile::discard() {
  const int error = errno;
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTemp.empty()) unlink(mTemp.c_str());
  mTemp.clear();
  errno = error;
}

bool WriteFileAtomically(const char* path, const void* data, size_t size) {
  AtomicFile file(path);
  return file.write(data, size) && file.commit();
}
