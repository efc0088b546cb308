#pragma once

#include <atomic>

#include "effect/dsp/CAllPass6.h"
#include "effect/dsp/CLfo.h"
#include "effect/dsp/CSmooth.h"
#include "effect/dsp/InstructionSet.h"

// The stereo phaser: two all-pass chains with feedback (the left one tuned
// 5 % below the right), one LFO sweeping both upward from the base frequency,
// smoothed controls applied once every 8 processed frames, an equal-power
// dry/wet mix and a ±1 clamp.
//
// Threads. The setters and reset() may run on any thread while process()
// runs on the audio thread without a lock; the caller serialises setters and
// reset() among themselves (the plug-in's mutex does). Every setting they
// write is an atomic the audio thread reads with relaxed loads, once at the
// start of each block (process() is a block of one frame). The filters, the
// LFO, the smoothers and the counter belong to the audio thread alone: what
// reset() does to them is posted, and the audio thread carries the posts out
// in order at the start of its next block, calc() or getlfo(), a silent
// frame included. A caller on one thread therefore sees exactly what acting
// in place would give:
// - reset() posts the control values of the moment with its request, so its
//   control update uses them even if setters run before it is served;
// - resets queue up (hosts reset more than once before they render, and each
//   reset steps the smoothers once); past kQueuedResets unserved ones the
//   newest post is overwritten, the only departure, and no host gets there.
//
// Tuning. A normalised frequency f stands for f × 22050 Hz at every sample
// rate, so the sweep sounds the same at every rate; only below 44.1 kHz is
// its top held lower, under the Nyquist frequency.
//
// Silence. A frame of digital silence skips the chains once both have rung
// out (cutting a tail, or anti-phase stereo, to zero would click), but the
// sweep and the smoothers go on as in any other frame, so the sweep keeps
// time through gaps.
//
// Start-up. The smoothers start far from the settings, and gliding through
// near-zero Q with signal in the chains booms; so the first frame processed
// after construction or a reset jumps the per-chain smoothers to the
// settings instead.
//
// Faulty input. A sample that is NaN, infinite or beyond ±kMaxInput counts
// as 0, so the engine runs exactly as if it had been fed silence there
// instead of carrying the fault in its filters' memory.
class CPhaser {
 public:
  // +80 dB over full scale: louder is a fault upstream, not a signal.
  static constexpr double kMaxInput = 1e4;

  CPhaser() noexcept;
  CPhaser(const CPhaser&) = delete;
  CPhaser& operator=(const CPhaser&) = delete;

  // [any thread] Values in [0, 1].
  void setFreq(double v) noexcept;
  void setFeedback(double v) noexcept;
  void setSpread(double s) noexcept;
  void setRate(double v) noexcept;
  void setDepth(double v) noexcept;
  // [any thread] m is the dry share: 0 gives only the chain output.
  void setMix(double m) noexcept;
  // [any thread] 0 runs one section, 5 six; the sweep goes on where it is.
  void setStages(int n) noexcept;
  // [any thread] Clears the filters, restarts the sweep at its bottom and
  // tunes for the new rate; keeps every setting and the smoothers.
  void reset(double sampleRate) noexcept;

  // [audio thread] One control update.
  void calc() noexcept;
  // [audio thread] One stereo frame; read the results with getOutL/getOutR.
  void process(double inL, double inR) noexcept;
  // [audio thread] `frames` stereo frames, the same samples as process()
  // frame by frame when nothing is set meanwhile; outL and outR may be inL
  // and inR. Afterwards getOutL/getOutR hold the last frame's results.
  void processBlock(const double* inL, const double* inR, double* outL, double* outR,
                    int frames) noexcept;

  // [audio thread] Which processor features the loop uses (see
  // InstructionSet.h); defaultInstructionSet() unless set.
  void setInstructionSet(InstructionSet set) noexcept;
  InstructionSet getInstructionSet() const noexcept { return mAllPassL.getInstructionSet(); }
  // [audio thread] Position of the right chain's frequency on a logarithmic
  // 32 Hz .. 22050 Hz scale, 0 at and below 32 Hz.
  double getlfo() noexcept;

  // [any thread] The display law behind getlfo() for a nominal frequency in Hz.
  static double displayPosition(double hz) noexcept;

  // [any thread] What the settings mean to a listener, by the laws the
  // setters apply. The sweep is the right chain's.
  static double feedbackGain(double feedback) noexcept;
  static double sectionQ(double spread) noexcept;
  static double dryGain(double dryShare) noexcept;
  static double wetGain(double dryShare) noexcept;
  // The sample rate matters only below 44.1 kHz, where the top is held lower.
  static double sweepBottomHz(double freq, double sampleRate) noexcept;
  static double sweepTopHz(double freq, double depth, double sampleRate) noexcept;
  // One sweep up and back down; infinite where the rate stands it still.
  static double sweepSeconds(double rate) noexcept;

  // [audio thread]
  double getOutL() const noexcept { return mOutL; }
  double getOutR() const noexcept { return mOutR; }
  double getLfoValue() const noexcept { return mLfoValue; }
  int getCounter() const noexcept { return mCounter; }
  // The sweep oscillator itself (getlfo() is the display position).
  const CLfo& getOscillator() const noexcept { return mLfo; }
  const CAllPass6& getAllPassL() const noexcept { return mAllPassL; }
  const CAllPass6& getAllPassR() const noexcept { return mAllPassR; }
  const CSmooth& getSmoothFbL() const noexcept { return mSmoothFbL; }
  const CSmooth& getSmoothFbR() const noexcept { return mSmoothFbR; }

  // [any thread] The settings as last written.
  double getSampleRate() const noexcept { return mSampleRate.load(kRelaxed); }
  int getStages() const noexcept { return mStages.load(kRelaxed); }
  double getFreqShape() const noexcept { return mFreqShape.load(kRelaxed); }
  double getFreqL() const noexcept { return mFreqL.load(kRelaxed); }
  double getFreqR() const noexcept { return mFreqR.load(kRelaxed); }
  double getQ() const noexcept { return mQ.load(kRelaxed); }
  double getFeedback() const noexcept { return mFeedback.load(kRelaxed); }
  double getRate() const noexcept { return mRate.load(kRelaxed); }
  double getDepth() const noexcept { return mDepth.load(kRelaxed); }
  double getWet() const noexcept { return mWet.load(kRelaxed); }
  double getDry() const noexcept { return mDry.load(kRelaxed); }

 private:
  static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

  static constexpr unsigned kQueuedResets = 16;
  static constexpr int kFramesPerUpdate = 8;
  static constexpr int kUpdatesPerFlush = 8;

  // What a control update reads.
  struct Controls {
    double freqShape, depth, rate, freqL, freqR, q;
  };
  // A posted reset: its sample rate and the controls as it found them.
  struct ResetPost {
    std::atomic<double> freqShape{0.0}, depth{0.0}, rate{0.0}, freqL{0.0}, freqR{0.0}, q{0.0};
    std::atomic<double> sampleRate{44100.0};
  };

  // What a block reads of the settings.
  struct BlockSettings {
    Controls controls;
    double feedback, dry, wet;
    int stages;
  };
  // The block loop, built for each instruction set and section count.
  struct Kernel;

  Controls liveControls() const noexcept;
  // A control update; true when the chains and the feedback smoothers are
  // due a flush of tiny values, which is up to the caller: in a block they
  // are not where update() could reach them.
  bool update(const Controls& c) noexcept;
  void flushSignal() noexcept;
  void serveRequests() noexcept;
  void serveReset(const ResetPost& post) noexcept;
  void settleChainControls(const Controls& c, double feedback) noexcept;

  CLfo mLfo;
  CAllPass6 mAllPassL, mAllPassR;
  CSmooth mSmoothFreqL, mSmoothFreqR, mSmoothFreqShape, mSmoothDepth, mSmoothRate, mSmoothQL,
      mSmoothQR, mSmoothFbL, mSmoothFbR;
  std::atomic<double> mSampleRate{44100.0};
  int mInterval = kFramesPerUpdate - 1;
  int mCounter = 0;
  std::atomic<int> mStages{0};
  std::atomic<double> mFreqShape{0.0};
  std::atomic<double> mFreqL{0.0};
  std::atomic<double> mFreqR{0.0};
  std::atomic<double> mQ{0.0};
  std::atomic<double> mFeedback{0.0};
  std::atomic<double> mRate{0.0};
  std::atomic<double> mDepth{0.0};
  std::atomic<double> mWet{0.0};
  std::atomic<double> mDry{0.0};
  double mLfoValue = 0.0;
  double mOutL = 0.0, mOutR = 0.0;
  int mFlushCountdown = kUpdatesPerFlush;
  bool mSettlePending = true;  // the next processed frame settles the chain controls

  // Posts from the setter side; mPending says there is something to serve.
  ResetPost mResetPosts[kQueuedResets];
  std::atomic<unsigned> mResetsPosted{0}, mResetsServed{0};
  std::atomic<bool> mPending{false};
};
