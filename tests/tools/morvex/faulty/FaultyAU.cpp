// A stand-in for Morvex.component with one parameter and a planted fault,
// found first through AUDIOUNIT_PATH under Morvex's identity.
#include "framework/au/IPlugAU.h"
#include "framework/au/MakePlug.h"
#include "tests/tools/morvex/faulty/PlantedFault.h"

namespace {

class FaultyPlug : public IPlugAU {
 public:
  explicit FaultyPlug(IPlugInstanceInfo info)
      : IPlugAU(info, 1, "1-1 2-2", 1, "Faulty", "", "Tarnbrook", 0x10000, 0x7A4A4175, 0x41636D65,
                0, false, false, false, 0),
        mFault(PlantedFaultFromEnvironment()) {
    GetParam(0)->InitDouble("Gain", 1.0, 0.0, 1.0, 0.01);
    LeakIfPlanted(mFault);
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override {
    CommitPlantedFault(mFault);
    const float gain = static_cast<float>(GetParam(0)->Value());
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = GainedSample(static_cast<float>(inputs[c][s]), gain);
  }

 private:
  const PlantedFault mFault;
};

}  // namespace

IPlugAU* MakePlug(IPlugInstanceInfo info) {
  return new FaultyPlug(info);
}

extern "C" __attribute__((visibility("default"))) ComponentResult Morvex_Entry(
    ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUEntry(params, storage);
}

extern "C" __attribute__((visibility("default"))) ComponentResult Morvex_ViewEntry(
    ComponentParameters* params, Handle storage) {
  return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}
