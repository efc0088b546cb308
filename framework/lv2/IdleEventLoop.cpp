#include "framework/lv2/IdleEventLoop.h"

#include <poll.h>

#include <algorithm>

int IdleEventLoop::AddTimer(double interval, Callback fire) {
  const auto period =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
  mEntries.push_back(
      {++mLastId, -1, period, Clock::now() + period, std::move(fire), nullptr, false});
  return mLastId;
}

int IdleEventLoop::AddWatch(int fd, Callback readable, Buffered buffered) {
  if (fd < 0) return 0;
  mEntries.push_back({++mLastId, fd, {}, {}, std::move(readable), std::move(buffered), false});
  return mLastId;
}

void IdleEventLoop::Remove(int id) {
  mEntries.erase(
      std::remove_if(mEntries.begin(), mEntries.end(), [id](const Entry& e) { return e.id == id; }),
      mEntries.end());
}

IdleEventLoop::Entry* IdleEventLoop::Find(int id) {
  for (Entry& e : mEntries) {
    if (e.id == id) return &e;
  }
  return nullptr;
}

std::vector<int> IdleEventLoop::Poll(Clock::duration wait) {
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const Entry& e : mEntries) {
    if (e.fd < 0) continue;
    fds.push_back({e.fd, POLLIN, 0});
    ids.push_back(e.id);
  }
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
  std::vector<int> ready;
  if (poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(0, ms))) <= 0) return ready;
  for (size_t i = 0; i < fds.size(); ++i) {
    // A hang-up or error counts as readable: the reader finds out.
    if (fds[i].revents) ready.push_back(ids[i]);
  }
  return ready;
}

bool IdleEventLoop::Dispatch(const std::vector<int>& readable) {
  bool any = false;
  std::vector<int> ids;
  for (const Entry& e : mEntries)
    ids.push_back(e.id);
  for (int id : ids) {
    Entry* e = Find(id);
    if (!e) continue;
    const Clock::time_point now = Clock::now();
    bool call = false;
    if (e->fd < 0) {
      call = !e->firing && e->due <= now;
      // Late fires are not made up for: the next one is an interval away.
      if (call) e->due = std::max(e->due + e->interval, now);
    } else {
      call = std::find(readable.begin(), readable.end(), id) != readable.end() ||
             (e->buffered && e->buffered());
    }
    if (!call) continue;
    any = true;
    // Copied: the callback may remove its entry or add others.
    const Callback callback = e->callback;
    const bool timer = e->fd < 0;
    if (timer) e->firing = true;
    callback();
    if (timer) {
      if (Entry* still = Find(id)) still->firing = false;
    }
  }
  return any;
}

void IdleEventLoop::RunFor(double seconds) {
  const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                        std::chrono::duration<double>(seconds));
  for (;;) {
    Clock::time_point wake = deadline;
    for (const Entry& e : mEntries) {
      if (e.fd < 0 && !e.firing) wake = std::min(wake, e.due);
    }
    const std::vector<int> readable = Poll(std::max(wake - Clock::now(), Clock::duration::zero()));
    if (Dispatch(readable) || Clock::now() >= deadline) return;
  }
}
