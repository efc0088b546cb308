#include "tools/jackhost/JackClient.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// libjack explains in lines of its own what the client then tells in one:
// a server that cannot be reached, a refusal, the server going away.
void Quiet(const char*) {}

std::string ServerName() {
  const char* name = std::getenv("JACK_DEFAULT_SERVER");
  return name && *name ? name : "default";
}

std::vector<jack_port_t*> RegisterPorts(jack_client_t* client, const char* prefix, int count,
                                        unsigned long direction) {
  std::vector<jack_port_t*> ports;
  for (int i = 1; i <= count; ++i) {
    const std::string name = prefix + std::to_string(i);
    jack_port_t* port =
        jack_port_register(client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, direction, 0);
    if (!port) throw JackError("the JACK server refused the port " + name);
    ports.push_back(port);
  }
  return ports;
}

// Appends a C string within a fixed buffer; nothing but what a signal
// handler may do.
size_t Append(char* buffer, size_t size, size_t at, const char* text) {
  while (text && *text && at + 1 < size)
    buffer[at++] = *text++;
  buffer[at] = '\0';
  return at;
}

}  // namespace

JackClient::JackClient(const std::string& name, int inputs, int outputs, JackProcessor& processor)
    : mProcessor(processor), mInBuffers(inputs), mOutBuffers(outputs) {
  if (pipe2(mWake, O_CLOEXEC | O_NONBLOCK) != 0)
    throw JackError(std::string("cannot make a pipe: ") + std::strerror(errno));
  jack_set_error_function(Quiet);
  jack_status_t status;
  mClient = jack_client_open(name.c_str(), JackNoStartServer, &status);
  if (!mClient) {
    close(mWake[0]);
    close(mWake[1]);
    throw JackError("cannot reach the JACK server '" + ServerName() +
                    "': start it first (jackd, or PipeWire's JACK)");
  }
  try {
    mInputs = RegisterPorts(mClient, "in_", inputs, JackPortIsInput);
    mOutputs = RegisterPorts(mClient, "out_", outputs, JackPortIsOutput);
    if (jack_set_process_callback(mClient, onProcess, this) != 0 ||
        jack_set_buffer_size_callback(mClient, onPeriodFrames, this) != 0 ||
        jack_set_sample_rate_callback(mClient, onSampleRate, this) != 0 ||
        jack_set_xrun_callback(mClient, onXrun, this) != 0)
      throw JackError("the JACK server refused the client's callbacks");
    jack_on_info_shutdown(mClient, onShutdown, this);
  } catch (...) {
    release();
    throw;
  }
}

JackClient::~JackClient() {
  release();
}

void JackClient::release() noexcept {
  if (mServerGone.load()) {
    // Closing makes libjack cancel its threads asynchronously, wherever they
    // stand: once the server has gone they are not waiting on it but running
    // their own ends, through the processor or holding a lock of the C
    // library's, and the process aborted or hung. Such a client is left to
    // the process's end; only the processor is taken out of its reach.
    mGate.shut();
  } else if (mClient) {
    jack_deactivate(mClient);
    jack_client_close(mClient);
  }
  mClient = nullptr;
  for (int& fd : mWake) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

std::string JackClient::name() const {
  return jack_get_client_name(mClient);
}

double JackClient::sampleRate() const {
  return jack_get_sample_rate(mClient);
}

uint32_t JackClient::periodFrames() const {
  return jack_get_buffer_size(mClient);
}

void JackClient::activate() {
  mRate = jack_get_sample_rate(mClient);
  mFrames = jack_get_buffer_size(mClient);
  mProcessor.prepare(mRate, mFrames);
  mPrepared.store(true);
  mGate.open();
  if (jack_activate(mClient) != 0)
    throw JackError("the JACK server refused to activate the client");
}

std::string JackClient::endReason() const {
  return mEnded.load(std::memory_order_acquire) ? mEndReason : "";
}

int JackClient::onProcess(jack_nframes_t frames, void* self) {
  auto* client = static_cast<JackClient*>(self);
  for (size_t c = 0; c < client->mInputs.size(); ++c)
    client->mInBuffers[c] =
        static_cast<const float*>(jack_port_get_buffer(client->mInputs[c], frames));
  for (size_t c = 0; c < client->mOutputs.size(); ++c)
    client->mOutBuffers[c] = static_cast<float*>(jack_port_get_buffer(client->mOutputs[c], frames));
  if (client->mGate.enter()) {
    // JACK's clock is one a process callback may read.
    const jack_time_t start = jack_get_time();
    client->mProcessor.process(client->mInBuffers.data(), client->mOutBuffers.data(), frames);
    const jack_time_t took = jack_get_time() - start;
    client->mGate.leave();
    if (took > client->mLongestWork.load(std::memory_order_relaxed))
      client->mLongestWork.store(took, std::memory_order_relaxed);
  } else {
    for (float* out : client->mOutBuffers)
      std::fill_n(out, frames, 0.0f);
  }
  return 0;
}

int JackClient::onPeriodFrames(jack_nframes_t frames, void* self) {
  auto* client = static_cast<JackClient*>(self);
  client->follow(client->mRate, frames);
  return 0;
}

int JackClient::onSampleRate(jack_nframes_t rate, void* self) {
  auto* client = static_cast<JackClient*>(self);
  client->follow(rate, client->mFrames);
  return 0;
}

int JackClient::onXrun(void* self) {
  static_cast<JackClient*>(self)->mXruns.fetch_add(1);
  return 0;
}

void JackClient::onShutdown(jack_status_t, const char* reason, void* self) {
  auto* client = static_cast<JackClient*>(self);
  client->mServerGone.store(true);
  client->end("the JACK server went away", reason);
}

// The server tells the rate as soon as its callback is set, before
// activate() prepares the processor, and the activation itself brings the
// stream just prepared for: neither changes anything.
void JackClient::follow(jack_nframes_t rate, jack_nframes_t frames) {
  if (!mPrepared.load() || (rate == mRate && frames == mFrames) || mEnding.load()) return;
  mGate.shut();
  try {
    mProcessor.prepare(rate, frames);
    mRate = rate;
    mFrames = frames;
    mGate.open();
  } catch (const std::exception& error) {
    end("cannot follow the server's new stream", error.what());
  }
}

void JackClient::end(const char* what, const char* detail) noexcept {
  if (mEnding.exchange(true)) return;
  size_t at = Append(mEndReason, sizeof mEndReason, 0, what);
  if (detail && *detail) {
    at = Append(mEndReason, sizeof mEndReason, at, " (");
    at = Append(mEndReason, sizeof mEndReason, at, detail);
    Append(mEndReason, sizeof mEndReason, at, ")");
  }
  mEnded.store(true, std::memory_order_release);
  const char wake = 1;
  // The pipe is never full: only the first end writes.
  [[maybe_unused]] const ssize_t written = write(mWake[1], &wake, 1);
}

std::vector<std::string> JackClient::choosePorts(const std::vector<std::string>& names,
                                                 unsigned long direction, size_t channels) const {
  const char* kind = direction == JackPortIsOutput ? "output" : "input";
  std::vector<std::string> ports;
  if (const char** found = jack_get_ports(mClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, direction)) {
    for (const char** port = found; *port; ++port)
      ports.push_back(*port);
    jack_free(found);
  }
  std::vector<std::string> chosen;
  for (const std::string& name : names) {
    if (name.find(':') != std::string::npos) {
      if (std::find(ports.begin(), ports.end(), name) == ports.end())
        throw JackError("the JACK server has no audio " + std::string(kind) + " port '" + name +
                        "'");
      chosen.push_back(name);
      continue;
    }
    size_t taken = 0;
    for (const std::string& port : ports)
      if (port.compare(0, name.size() + 1, name + ":") == 0 && taken < channels) {
        chosen.push_back(port);
        ++taken;
      }
    if (taken == 0) throw JackError("no JACK client '" + name + "' with audio " + kind + " ports");
  }
  if (chosen.size() > channels)
    throw JackError(std::to_string(chosen.size()) + " ports named for " + std::to_string(channels) +
                    (direction == JackPortIsOutput ? " inputs" : " outputs"));
  return chosen;
}

void JackClient::connect(const std::vector<std::string>& names,
                         const std::vector<jack_port_t*>& ours, bool inputs) {
  const std::vector<std::string> theirs =
      choosePorts(names, inputs ? JackPortIsOutput : JackPortIsInput, ours.size());
  for (size_t c = 0; c < ours.size() && (theirs.size() == 1 || c < theirs.size()); ++c) {
    const std::string& other = theirs[theirs.size() == 1 ? 0 : c];
    const std::string mine = jack_port_name(ours[c]);
    const std::string& source = inputs ? other : mine;
    const std::string& destination = inputs ? mine : other;
    const int status = jack_connect(mClient, source.c_str(), destination.c_str());
    if (status != 0 && status != EEXIST)
      throw JackError("the JACK server refused to connect " + source + " to " + destination);
  }
}

void JackClient::connectInputs(const std::vector<std::string>& names) {
  connect(names, mInputs, true);
}

void JackClient::connectOutputs(const std::vector<std::string>& names) {
  connect(names, mOutputs, false);
}
