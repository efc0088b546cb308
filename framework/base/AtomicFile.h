#pragma once

#include <string>

// A file written whole or not at all: the bytes go to a temporary beside the
// destination, which commit() flushes to disk and renames over it, so a
// reader, a crash or a full disk never meets half a file.
//
// The destination is where its symbolic links lead: the links stay links and
// the file they name is replaced, keeping its permission bits (a new file
// gets the usual ones, 0666 less the umask; see GiveModeOf). A device, FIFO or folder at the
// destination is refused: it cannot be replaced.
//
// [any thread] One object belongs to one thread at a time.
class AtomicFile {
 public:
  // Whether a file already at the destination may be replaced. Kept, it
  // fails the constructor or, should one appear meanwhile, commit(), both
  // with errno EEXIST.
  enum class Existing { Replace, Keep };

  // Opens the temporary; ok() tells whether that worked, and errno why not.
  explicit AtomicFile(const char* destination, Existing existing = Existing::Replace);
  // Removes the temporary unless commit() succeeded.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return mFd >= 0; }
  // The file replaced: the destination with its links followed.
  const std::string& destination() const { return mFinal; }
  // The temporary, open for writing and seeking; -1 when not ok().
  int fd() const { return mFd; }
  // The temporary's path, until commit() or destruction removes the name;
  // for a caller that must remove it should the process die first.
  const std::string& temporary() const { return mTemp; }
  // Writes all the bytes at the current position; false (errno set) when not.
  bool write(const void* data, size_t size);
  // Flushes, sets the permission bits and renames into place; false (errno
  // set, the temporary removed and the destination untouched) on failure.
  bool commit();

 private:
  void discard();
  bool moveIntoPlace();

  Existing mExisting;
  std::string mFinal;  // the destination with its links followed
  std::string mTemp;
  int mFd = -1;
};

// [any thread] Gives the file open as fd what a file replacing `replaced`
// should have: its owner (where that may be given away) and permission bits,
// or the usual mode (0666 less the umask) when there is nothing to replace.
void GiveModeOf(const std::string& replaced, int fd);

// [any thread] The whole of `size` bytes as the file `path`, by AtomicFile.
bool WriteFileAtomically(const char* path, const void* data, size_t size);
