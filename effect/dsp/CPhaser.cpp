#include "effect/dsp/CPhaser.h"

#include <cmath>
#include <initializer_list>

// The audio thread must never wait, not even inside an atomic.
static_assert(std::atomic<double>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<unsigned>::is_always_lock_free &&
                  std::atomic<unsigned long long>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "settings and requests reach the audio thread through lock-free atomics");

namespace {

// The frequency setting spans kOctaves above kLowestHz: 32 Hz to 22050 Hz.
constexpr double kLowestHz = 32.0;
// The chains read a normalised frequency as a share of 22050 Hz at any
// sample rate, so the base frequency is normalised by this rate, whatever
// the host's.
constexpr double kReferenceRate = 44100.0;
constexpr double kOctaves = 9.42849;
// The left chain sits 5 % below the right, so the two sweep apart in stereo.
constexpr double kLeftDetune = 0.95;
// A rounded π/2: the mix law has always used it, and the dry/wet gains
// (hence every render) depend on its exact value.
constexpr double kQuarterTurn = 1.5708;
// The display scale: octaves above 32 Hz (2^5), over the 9.43 up to 22050 Hz.
constexpr double kDisplayLowestOctave = 5.0;
constexpr double kDisplayPerOctave = 0.106062;

// Right chain's base frequency as a fraction of 22050 Hz.
double baseFreq(double freqShape) noexcept {
  return 2.0 / kReferenceRate * kLowestHz * std::pow(2.0, kOctaves * freqShape);
}

double freqShapeOf(double freq) noexcept {
  return std::pow(freq, 1.06);
}

}  // namespace

CPhaser::CPhaser() noexcept {
  setMix(0.5);
  setFreq(0.0);
  setFeedback(0.0);
  setSpread(1.0);
  setRate(0.3);
  setDepth(1.0);
  calc();
}

void CPhaser::setFreq(double v) noexcept {
  const double shape = freqShapeOf(v);
  const double freqR = baseFreq(shape);
  mFreqShape.store(shape, kRelaxed);
  mFreqR.store(freqR, kRelaxed);
  mFreqL.store(kLeftDetune * freqR, kRelaxed);
}

void CPhaser::setFeedback(double v) noexcept {
  mFeedback.store(feedbackGain(v), kRelaxed);
}

void CPhaser::setSpread(double s) noexcept {
  mQ.store(sectionQ(s), kRelaxed);
}

void CPhaser::setRate(double v) noexcept {
  mRate.store(v, kRelaxed);
}

void CPhaser::setDepth(double v) noexcept {
  mDepth.store(v, kRelaxed);
}

void CPhaser::setMix(double m) noexcept {
  mDry.store(dryGain(m), kRelaxed);
  mWet.store(wetGain(m), kRelaxed);
}

double CPhaser::feedbackGain(double feedback) noexcept {
  return -0.94 + 1.88 * feedback;
}

double CPhaser::sectionQ(double s) noexcept {
  return (5.50989 * std::pow(s, 4.0) - 17.2735 * std::pow(s, 3.0) + 20.8696 * std::pow(s, 2.0) -
          12.6558 * s + 3.95072) *
         0.985973;
}

double CPhaser::dryGain(double dryShare) noexcept {
  return std::sin(kQuarterTurn * dryShare);
}

double CPhaser::wetGain(double dryShare) noexcept {
  return std::cos(kQuarterTurn * dryShare);
}

double CPhaser::sweepBottomHz(double freq, double sampleRate) noexcept {
  const double base = baseFreq(freqShapeOf(freq));
  return CAllPass6::tunedHz(base * CLfo::multiplier(0), sampleRate);
}

double CPhaser::sweepTopHz(double freq, double depth, double sampleRate) noexcept {
  const double shape = freqShapeOf(freq);
  const double base = baseFreq(shape);
  return CAllPass6::tunedHz(base * CLfo::multiplier(CLfo::topEntry(shape, depth)), sampleRate);
}

double CPhaser::sweepSeconds(double rate) noexcept {
  // The phase runs from -1 to 1 over one sweep up and down, a step each
  // control update.
  const double phasePerSecond = CLfo::rateCurve(rate) * CLfo::kPhaseStepPerRate / kFramesPerUpdate;
  return phasePerSecond > 0.0 ? 2.0 / phasePerSecond : HUGE_VAL;
}

// Restarting the sweep here would drop it to its bottom within one control
// update while the sections still ring at the old tuning: a thump at full
// scale.
void CPhaser::setStages(int n) noexcept {
  mStages.store(n, kRelaxed);
}

void CPhaser::reset(double sampleRate) noexcept {
  const double shape = mFreqShape.load(kRelaxed);
  const double freqR = baseFreq(shape);
  mSampleRate.store(sampleRate, kRelaxed);

  // Only this side writes mResetsPosted; a full queue takes the newest slot
  // again, which the audio thread has not reached yet.
  const unsigned posted = mResetsPosted.load(kRelaxed);
  const bool full = posted - mResetsServed.load(std::memory_order_acquire) >= kQueuedResets;
  ResetPost& post = mResetPosts[(full ? posted - 1 : posted) % kQueuedResets];
  post.freqShape.store(shape, kRelaxed);
  post.depth.store(mDepth.load(kRelaxed), kRelaxed);
  post.rate.store(mRate.load(kRelaxed), kRelaxed);
  post.freqL.store(kLeftDetune * freqR, kRelaxed);
  post.freqR.store(freqR, kRelaxed);
  post.q.store(mQ.load(kRelaxed), kRelaxed);
  post.sampleRate.store(sampleRate, kRelaxed);
  if (!full) mResetsPosted.store(posted + 1, std::memory_order_release);
  mPending.store(true, std::memory_order_release);
}

CPhaser::Controls CPhaser::liveControls() const noexcept {
  return {mFreqShape.load(kRelaxed), mDepth.load(kRelaxed), mRate.load(kRelaxed),
          mFreqL.load(kRelaxed),     mFreqR.load(kRelaxed), mQ.load(kRelaxed)};
}

void CPhaser::setInstructionSet(InstructionSet set) noexcept {
  mAllPassL.setInstructionSet(set);
  mAllPassR.setInstructionSet(set);
}

void CPhaser::calc() noexcept {
  if (mPending.load(kRelaxed)) serveRequests();
  if (update(liveControls())) flushSignal();
}

bool CPhaser::update(const Controls& c) noexcept {
  mCounter = mInterval;
  const double fs = mSmoothFreqShape.process(c.freqShape);
  const double d = mSmoothDepth.process(c.depth);
  const double r = mSmoothRate.process(c.rate);
  mLfo.setLfo(fs, d, r);
  mLfoValue = mLfo.nextLfo();
  CAllPass6::calcCoeffPair(mAllPassL, mSmoothFreqL.process(c.freqL), mSmoothQL.process(c.q),
                           mAllPassR, mSmoothFreqR.process(c.freqR), mSmoothQR.process(c.q),
                           mLfoValue);

  // Every 64 frames is often enough: even the fastest decay the sections
  // allow (under half a decade per frame) covers only part of the margin to
  // denormal range in that time, and reading the state the chains are still
  // computing costs time.
  if (--mFlushCountdown > 0) return false;
  mFlushCountdown = kUpdatesPerFlush;
  for (CSmooth* s : {&mSmoothFreqL, &mSmoothFreqR, &mSmoothFreqShape, &mSmoothDepth, &mSmoothRate,
                     &mSmoothQL, &mSmoothQR}) {
    s->flushTiny();
  }
  return true;
}

void CPhaser::flushSignal() noexcept {
  mAllPassL.flushTiny();
  mAllPassR.flushTiny();
  mSmoothFbL.flushTiny();
  mSmoothFbR.flushTiny();
}

void CPhaser::serveRequests() noexcept {
  // Cleared first, as a read-modify-write so that it reads the latest raise
  // and sees what came before it; anything posted later raises it again.
  mPending.exchange(false, std::memory_order_acquire);
  const unsigned posted = mResetsPosted.load(std::memory_order_acquire);
  unsigned served = mResetsServed.load(kRelaxed);
  for (; served != posted; ++served)
    serveReset(mResetPosts[served % kQueuedResets]);
  mResetsServed.store(served, std::memory_order_release);
}

void CPhaser::serveReset(const ResetPost& post) noexcept {
  const Controls c = {post.freqShape.load(kRelaxed), post.depth.load(kRelaxed),
                      post.rate.load(kRelaxed),      post.freqL.load(kRelaxed),
                      post.freqR.load(kRelaxed),     post.q.load(kRelaxed)};
  const double sampleRate = post.sampleRate.load(kRelaxed);
  mLfo.reset(sampleRate);
  mAllPassL.reset(sampleRate);
  mAllPassR.reset(sampleRate);
  mCounter = 0;
  mOutL = mOutR = 0.0;
  mSettlePending = true;
  if (update(c)) flushSignal();
}

void CPhaser::settleChainControls(const Controls& c, double feedback) noexcept {
  mSettlePending = false;
  mSmoothFreqL.setState(c.freqL);
  mSmoothFreqR.setState(c.freqR);
  mSmoothQL.setState(c.q);
  mSmoothQR.setState(c.q);
  mSmoothFbL.setState(feedback);
  mSmoothFbR.setState(feedback);
  CAllPass6::calcCoeffPair(mAllPassL, c.freqL, c.q, mAllPassR, c.freqR, c.q, mLfoValue);
}

void CPhaser::process(double inL, double inR) noexcept {
  double outL, outR;
  processBlock(&inL, &inR, &outL, &outR, 1);
}

double CPhaser::getlfo() noexcept {
  if (mPending.load(kRelaxed)) serveRequests();
  return displayPosition(mAllPassR.getfr() * CAllPass6::kHzPerNormalised);
}

double CPhaser::displayPosition(double hz) noexcept {
  const double octaves = std::log10(hz) / std::log10(2.0);
  // Below 32 Hz the base turns negative and its power is undefined; the
  // display wants 0 there (fmax also maps a NaN to 0).
  return std::pow(std::fmax((octaves - kDisplayLowestOctave) * kDisplayPerOctave, 0.0), 0.96);
}
