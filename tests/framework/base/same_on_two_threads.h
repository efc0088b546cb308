#pragma once

#include <thread>
#include <vector>

// Whether draw(thread, variant), run `runs` times on each of two threads at
// once, gives for every variant what it gave alone: shared state that is not
// guarded shows up as a difference here, or as a race under ThreadSanitizer.
template <class Draw>
bool SameOnTwoThreadsAsAlone(int variants, int runs, Draw draw) {
  using Result = decltype(draw(0, 0));
  std::vector<Result> alone[2];
  for (int t = 0; t < 2; ++t) {
    for (int v = 0; v < variants; ++v)
      alone[t].push_back(draw(t, v));
  }
  bool same[2] = {true, true};
  std::thread other([&] {
    for (int i = 0; i < runs; ++i)
      same[1] &= draw(1, i % variants) == alone[1][i % variants];
  });
  for (int i = 0; i < runs; ++i)
    same[0] &= draw(0, i % variants) == alone[0][i % variants];
  other.join();
  return same[0] && same[1];
}
