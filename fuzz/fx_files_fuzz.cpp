// Feeds arbitrary bytes to the program (fxp) and bank (fxb) loaders. The
// first byte picks the loader and whether the plug-in does state chunks; the
// rest is the file. Beyond the sanitizers' checks, a refused file must leave
// the plug-in exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/plugin/IPlugBase.h"

namespace {

// A plug-in with one parameter of each kind and no host behind it: the
// loaders are the base's, so any plug-in over it exercises them.
class FilesPlug : public IPlugBase {
 public:
  explicit FilesPlug(bool chunks)
      : IPlugBase(3, "1-1 2-2", 3, "FilesPlug", "Fuzz", "Tarnbrook", 0x10203, 0x7A46787A,
                  0x41636D65, 0, false, chunks, false, kAPIAU) {
    GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
    GetParam(1)->InitInt("Stages", 3, 0, 5);
    GetParam(2)->InitBool("On", true);
  }

  // Everything a loader may change, in the plug-in's own serial form.
  std::string Snapshot() {
    ByteChunk state;
    state.Put(&mCurrentPresetIdx);
    if (!SerializeParams(&state) || !SerializePresets(&state)) abort();
    return std::string(reinterpret_cast<const char*>(state.GetBytes()),
                       static_cast<size_t>(state.Size()));
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() noexcept override { return 0; }
  double GetTempo() noexcept override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) noexcept override {
    *numerator = 4;
    *denominator = 4;
  }
  void GetTime(ITimeInfo*) noexcept override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) noexcept override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool bank = data[0] & 1;
  const bool chunks = data[0] & 2;
  ByteChunk file;
  file.PutBytes(data + 1, static_cast<int>(size - 1));

  FilesPlug plug(chunks);
  plug.MakePreset("Warm", 0.25, 2, 1);
  plug.MakePreset("Cold", 0.75, 4, 0);
  plug.RestorePreset(1);
  const std::string before = plug.Snapshot();
  const bool loaded = bank ? plug.LoadBankFromFXBData(file) : plug.LoadProgramFromFXPData(file);
  if (!loaded && plug.Snapshot() != before) abort();
  // Whatever was loaded must save again.
  if (loaded) {
    ByteChunk state;
    if (!plug.SerializeState(&state) || state.Size() != 8 * plug.NParams()) abort();
  }
  return 0;
}
