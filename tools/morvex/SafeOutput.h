#pragma once

#include <string>

// A file that appears under its name only when it is complete. Writes go to a
// temporary file beside the destination (same folder, so the final rename is
// atomic); commit() renames it into place. An exception, a failed write,
// destruction before commit() or SIGINT/SIGTERM remove the temporary and leave
// whatever was at the destination untouched.
class SafeOutput {
 public:
  // Creates the temporary; throws ToolError naming the destination.
  explicit SafeOutput(std::string destination);
  ~SafeOutput();
  SafeOutput(const SafeOutput&) = delete;
  SafeOutput& operator=(const SafeOutput&) = delete;

  int fd() const { return mFd; }
  const std::string& destination() const { return mDestination; }
  // Writes all bytes; throws ToolError naming the destination.
  void write(const void* data, size_t size);
  // Closes and renames; throws ToolError (and removes the temporary) on failure.
  void commit();

  // Installs the SIGINT/SIGTERM handler that removes pending temporaries and
  // then dies of the same signal. Call once, early in main().
  static void installSignalHandlers();

 private:
  void discard();

  std::string mDestination;
  std::string mTemp;
  int mFd = -1;
  int mSlot = -1;
};
