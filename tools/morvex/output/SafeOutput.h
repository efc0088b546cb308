#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/base/AtomicFile.h"

// An output that never leaves a partial or damaged file behind.
//
// A new path or an existing regular file is written as an AtomicFile: a
// temporary beside it, renamed over it by commit(), symbolic links followed
// and the file's permission bits kept. Anything
// else that can be written (a device, a FIFO, or standard output for "-") is
// never replaced: the bytes are gathered in an unlinked spool file and copied
// into it by commit(), so writers that go back to fix headers work there too.
//
// An exception, a failed write, destruction before commit(), or SIGINT,
// SIGTERM, SIGHUP or SIGPIPE remove the temporary and leave the destination
// untouched.
//
// [any thread] Each object is used by one thread at a time; outputs on
// different threads are independent, and the signal handler removes the
// pending temporaries of up to kMaxPending of them at once.
class SafeOutput {
 public:
  // Whether a regular file already at the destination may be replaced.
  using Existing = AtomicFile::Existing;

  // A batch's 64 renders and a state file.
  static constexpr int kMaxPending = 65;

  // Opens the destination (so a bad one fails before any work) and the
  // temporary or spool; throws ToolError naming the destination, also when
  // it is a regular file that `existing` says to keep.
  explicit SafeOutput(std::string destination, Existing existing = Existing::Replace);
  ~SafeOutput();
  SafeOutput(const SafeOutput&) = delete;
  SafeOutput& operator=(const SafeOutput&) = delete;

  // The seekable file (temporary or spool) the bytes go to.
  int fd() const { return mFile ? mFile->fd() : mSpool; }
  const std::string& destination() const { return mDestination; }
  // Writes all bytes at the current position of fd(); returns 0 or the errno
  // of the failure.
  int tryWrite(const void* data, size_t size) noexcept;
  // Writes all bytes; throws ToolError naming the destination.
  void write(const void* data, size_t size);
  // Flushes to disk and renames into place, or copies into the device;
  // throws ToolError (and removes the temporary) on failure, or when a file
  // to keep appeared at the destination meanwhile.
  void commit();
  // Commits each output: files first, then devices, FIFOs and standard
  // output, whose bytes cannot be taken back. When one fails, those committed
  // before it are taken back where they can be: a file that did not exist
  // before (with Existing::Keep, so nothing of the user's is lost), so that
  // under --no-clobber all appear or none. Throws the failure's ToolError.
  static void commitTogether(const std::vector<SafeOutput*>& outputs);
  // Throws the ToolError for a failed write with this errno.
  [[noreturn]] void fail(int error);

  // Installs the handler that removes pending temporaries and then dies of
  // the same signal. Call once, early in main().
  static void installSignalHandlers();

 private:
  void openReplacement();
  void openInPlace();
  void copySpoolIntoDestination();
  void startWriteBehind(size_t written) noexcept;
  [[noreturn]] void refuseExisting();
  void withdraw() noexcept;
  void discard();

  std::string mDestination;
  Existing mExisting;
  std::optional<AtomicFile> mFile;  // replacing a regular file, or making one
  int mSpool = -1;                  // the bytes for one written in place
  int mInPlace = -1;                // the device, FIFO or standard output written in place
  int mSlot = -1;
  size_t mNotYetSyncing = 0;  // bytes written since write-back was last started
  bool mCreated = false;      // commit() made mFinal, which was free before
};
