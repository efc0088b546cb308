// A second effect on the Audio Unit wrapper, made into a bundle by the same
// recipe as Morvex's from nothing but its identity and this factory: it
// halves its input and has no editor.
#include "framework/au/IPlugAU.h"
#include "framework/au/MakePlug.h"
#include "tests/framework/au/HalverIdentity.h"

namespace {
class Halver : public IPlugAU {
 public:
  explicit Halver(IPlugInstanceInfo info)
      : IPlugAU(info, 1, "1-1 2-2", 1, kHalverName, "", kHalverManufacturer, kHalverVersion,
                static_cast<int>(kHalverSubtype), static_cast<int>(kHalverManufacturerID), 0, false,
                false, false, 0) {
    GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
    MakeDefaultPreset();
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override {
    for (int c = 0; c < NOutChannels(); ++c) {
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = 0.5 * inputs[c][s];
    }
  }
};
}  // namespace

IPlugAU* MakePlug(IPlugInstanceInfo info) {
  info.mBundleID.Set(kHalverBundleID);
  info.mViewClassName.Set(kHalverViewClass);
  return new Halver(info);
}
