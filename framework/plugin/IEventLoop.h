#pragma once

#include <functional>

// The timers and readable descriptors of the thread an editor runs on:
// everything the window layer needs from the thread's loop, so that a
// wrapper can hand over whichever loop its host turns (a run loop, or the
// host's idle calls). Callbacks run on that thread, inside RunFor or inside
// whatever the host runs. [UI thread]
class IEventLoop {
 public:
  using Callback = std::function<void()>;
  // Whether a reader already holds input it read ahead of the descriptor
  // (Xlib queues events), which a readable check alone would not see.
  using Buffered = std::function<bool()>;

  virtual ~IEventLoop() = default;

  // Calls fire every interval seconds, the first time one interval from
  // now; a nested RunFor inside fire does not call it again. Returns an id
  // for Remove, never 0.
  virtual int AddTimer(double interval, Callback fire) = 0;
  // Calls readable whenever fd can be read, and, when buffered is given,
  // whenever it reports pending input before the loop would wait.
  virtual int AddWatch(int fd, Callback readable, Buffered buffered = nullptr) = 0;
  // Forgets a timer or watch; safe from inside its own callback, and for an
  // id already removed.
  virtual void Remove(int id) = 0;
  // Handles what is due, waiting at most `seconds` for something to
  // happen: the nested loop of a modal window, or one pass for 0.
  virtual void RunFor(double seconds) = 0;
};
