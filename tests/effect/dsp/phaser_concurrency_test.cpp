#include "effect/dsp/CPhaser.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "tests/effect/dsp/RandomControl.h"

// One thread changes every setting and resets as fast as it can while the
// audio thread renders without any lock; ThreadSanitizer watches for races.
// Whatever interleaving happens, the output stays finite and within ±1, and
// the last reset is served before the frame that follows it.
TEST(PhaserConcurrencyTest, SettersAndResetRaceSafelyWithProcessing) {
  CPhaser p;
  std::atomic<bool> stop{false}, stopped{false}, done{false};
  std::atomic<long> frames{0};

  std::thread control([&] {
    std::mt19937 rng(21);
    for (int i = 0; i < 20000; ++i) {
      randomControl(rng, p);
      if (i % 8 == 0) std::this_thread::yield();
    }
    // Keep the control thread alive until the audio thread has had a real
    // chance to overlap with it.
    while (frames.load() < 200000)
      std::this_thread::yield();
    stop.store(true);
    // A reset posted from this thread while the audio thread is idle.
    while (!stopped.load())
      std::this_thread::yield();
    p.reset(48000.0);
    done.store(true);
  });

  std::mt19937 rng(22);
  std::uniform_real_distribution<double> sample(-0.8, 0.8);
  bool bounded = true;
  double display = 0.0;
  while (!stop.load()) {
    for (int i = 0; i < 64; ++i) {
      p.process(sample(rng), sample(rng));
      bounded = bounded && std::isfinite(p.getOutL()) && std::fabs(p.getOutL()) <= 1.0 &&
                std::isfinite(p.getOutR()) && std::fabs(p.getOutR()) <= 1.0;
    }
    display = p.getlfo();
    frames.fetch_add(64);
  }
  stopped.store(true);
  while (!done.load())
    std::this_thread::yield();
  EXPECT_TRUE(bounded);
  EXPECT_GE(display, 0.0);

  p.process(0.3, 0.1);
  EXPECT_EQ(p.getOscillator().getSampleRate(), 48000.0);
  EXPECT_EQ(p.getAllPassR().getSampleRate(), 48000.0);
  EXPECT_EQ(p.getOscillator().getPhase(), p.getOscillator().getInc());
  EXPECT_EQ(p.getCounter(), 6);
  control.join();
}
