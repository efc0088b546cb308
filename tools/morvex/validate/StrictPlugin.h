#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A plug-in as the strict level drives it, whatever its format: the Audio
// Unit and the LV2 plug-in each implement it the way their hosts call them.
struct StrictParameter {
  std::string name;
  float minValue = 0;
  float maxValue = 1;
  bool integer = false;
};

// One running instance: created, configured and activated; torn down as a
// host does on destruction. Calls throw ToolError when the plug-in refuses.
class StrictInstance {
 public:
  virtual ~StrictInstance() = default;

  // [audio thread] One call of the audio path; out may be in. Nothing else
  // runs inside it, not even a failure's explanation: false when the
  // plug-in refused the call, then failure() tells why.
  virtual bool process(const float* const* in, float* const* out, uint32_t frames) noexcept = 0;
  virtual std::string failure() const = 0;
  // [another thread, any time] A parameter change as the host's automation
  // sends it, in the parameter's own units.
  virtual void automate(int index, float value) = 0;

  // [between audio calls]
  virtual std::vector<unsigned char> saveState() = 0;
  virtual void restoreState(const std::vector<unsigned char>& state) = 0;
  virtual int presetCount() = 0;
  virtual void loadPreset(int index) = 0;
};

class StrictPlugin {
 public:
  virtual ~StrictPlugin() = default;

  // What is validated, for the summary: the bundle's path, or the URI.
  virtual std::string subject() const = 0;
  virtual const std::vector<StrictParameter>& parameters() const = 0;
  // The parameter that sets the number of stages (sections), or -1.
  virtual int stagesParameter() const = 0;
  // A stereo instance at the rate for blocks of up to maxFrames.
  virtual std::unique_ptr<StrictInstance> open(double sampleRate, uint32_t maxFrames) = 0;
};
