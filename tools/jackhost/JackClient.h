#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/jackhost/ProcessGate.h"

// What JackClient throws when the server cannot be reached or refuses it.
struct JackError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The audio a JackClient's ports carry.
class JackProcessor {
 public:
  virtual ~JackProcessor() = default;
  // [audio thread] in[c] and out[c] hold `frames` samples. Allocates
  // nothing, locks nothing and makes no system call.
  virtual void process(const float* const* in, float* const* out, uint32_t frames) noexcept = 0;
  // [never while process runs] From now on the stream runs at sampleRate in
  // periods of at most maxFrames. A std::exception thrown ends the client.
  virtual void prepare(double sampleRate, uint32_t maxFrames) = 0;
};

// One client of a JACK server with audio inputs in_1, in_2... and outputs
// out_1, out_2... whose audio a JackProcessor makes. It prepares the
// processor again whenever the server changes its sample rate or period
// size, and tells when the server goes away.
class JackClient {
 public:
  // Registers with the server $JACK_DEFAULT_SERVER names (else the default
  // one), never starting one. Throws JackError.
  JackClient(const std::string& name, int inputs, int outputs, JackProcessor& processor);
  // Closes the client; one whose server went away is left open for the
  // process's end to take, as libjack cannot close it safely then.
  ~JackClient();
  JackClient(const JackClient&) = delete;
  JackClient& operator=(const JackClient&) = delete;

  // The name the server granted: a taken one comes back numbered.
  std::string name() const;
  double sampleRate() const;
  uint32_t periodFrames() const;

  // Prepares the processor for the server's stream, then starts the process
  // calls. Throws JackError, or what the processor throws.
  void activate();

  // Connects other clients' ports to the inputs in order, or the outputs to
  // theirs. A name is a port ("system:capture_1") or a client ("system")
  // standing for its first ports of the right direction; a lone port goes
  // with every channel. Throws JackError naming a missing port, one too
  // many, or a connection the server refused.
  void connectInputs(const std::vector<std::string>& names);
  void connectOutputs(const std::vector<std::string>& names);

  // Readable once the client has ended: the server went away or shut it
  // out, or the processor could not follow a change of the stream.
  int endedDescriptor() const { return mWake[0]; }
  // Why it ended; empty while it runs.
  std::string endReason() const;
  // The xruns the server has reported since activation.
  unsigned xruns() const { return mXruns.load(); }
  // The longest the processor took over one period, by JACK's clock: what
  // tells an xrun of its own from the machine's.
  uint64_t longestWorkMicroseconds() const { return mLongestWork.load(); }

 private:
  static int onProcess(jack_nframes_t frames, void* self);
  static int onPeriodFrames(jack_nframes_t frames, void* self);
  static int onSampleRate(jack_nframes_t rate, void* self);
  static int onXrun(void* self);
  static void onShutdown(jack_status_t, const char* reason, void* self);
  void release() noexcept;
  void follow(jack_nframes_t rate, jack_nframes_t frames);
  // [any thread, as a signal handler would] Only the first end counts.
  void end(const char* what, const char* detail) noexcept;
  std::vector<std::string> choosePorts(const std::vector<std::string>& names,
                                       unsigned long direction, size_t channels) const;
  void connect(const std::vector<std::string>& names, const std::vector<jack_port_t*>& ours,
               bool inputs);

  JackProcessor& mProcessor;
  jack_client_t* mClient = nullptr;
  std::vector<jack_port_t*> mInputs, mOutputs;
  // The buffers of one period, kept here so that the process call does not
  // allocate them.
  std::vector<const float*> mInBuffers;
  std::vector<float*> mOutBuffers;
  ProcessGate mGate;
  // What the processor was last prepared for; the notification thread's.
  jack_nframes_t mRate = 0, mFrames = 0;
  std::atomic<bool> mPrepared{false};
  std::atomic<unsigned> mXruns{0};
  std::atomic<jack_time_t> mLongestWork{0};
  std::atomic<bool> mEnding{false}, mEnded{false};
  // Set before the end is told, so that whoever learns of it knows this.
  std::atomic<bool> mServerGone{false};
  char mEndReason[512] = {};
  int mWake[2] = {-1, -1};
};
