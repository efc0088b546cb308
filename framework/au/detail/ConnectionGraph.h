#pragma once

#include "platform/AudioUnit.h"

// Which unit feeds which unit's input, across every instance in the process,
// so that a connection closing a loop (a unit pulling itself, however far
// round) is refused before anything renders it. Keys are instance handles
// and are never dereferenced. [UI thread] Takes its own lock; callers may
// hold a plug-in's mutex but no other lock.
class ConnectionGraph {
 public:
  // Reserves the edge upstream -> (downstream, input), replacing the
  // input's previous one; false, changing nothing, when upstream is
  // downstream or already pulls from it.
  static bool Connect(AudioUnit downstream, UInt32 input, AudioUnit upstream);
  static void Disconnect(AudioUnit downstream, UInt32 input);
  // Every edge from or to a unit that is going away.
  static void Forget(AudioUnit unit);
};
