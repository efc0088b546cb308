#include "tools/morvex/editor/EditorSnapshot.h"

#include <memory>
#include <vector>

#include "effect/MorvexIdentity.h"
#include "framework/au/IPlugAU.h"
#include "framework/editor/IGraphics.h"
#include "platform/HostComponents.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_png.h"
#include "raster/lice_scaled_blit.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/editor/NoEditorError.h"
#include "tools/morvex/output/SafeOutput.h"
#include "tools/morvex/render/QuietNoise.h"
#include "tools/morvex/settings/UnitSettings.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr UInt32 kBlock = 512;

// A block of quiet noise (about -60 dBFS), the same on every run.
void RenderQuietBlock(Unit& unit) {
  std::vector<float> in(kBlock), outL(kBlock), outR(kBlock);
  ReproducibleNoise noise(1);
  FillQuietNoise(noise, in);
  Renderer renderer(unit, 2);
  const float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  const OSStatus status = renderer.render(inputs, outputs, kBlock);
  if (status != noErr) throw ToolError("Morvex failed to render: " + StatusText(status));
}

// Each pixel a scale x scale block, as a high-density screen shows it.
std::unique_ptr<LICE_MemBitmap> Enlarged(const LICE_IBitmap& drawn, int scale) {
  auto out = std::make_unique<LICE_MemBitmap>(drawn.getWidth() * scale, drawn.getHeight() * scale);
  LICE_ScaledBlit(out.get(), &drawn, 0, 0, out->getWidth(), out->getHeight(), 0.0f, 0.0f,
                  static_cast<float>(drawn.getWidth()), static_cast<float>(drawn.getHeight()), 1.0f,
                  LICE_BLIT_MODE_COPY);
  return out;
}

}  // namespace

void WriteEditorSnapshot(const UnitSettings& settings, int scale, const std::string& path) {
  SafeOutput output(path);
  const ComponentDescription description = {kMorvexType, kMorvexSubtype, kMorvexManufacturerID, 0,
                                            0};
  static const Component component =
      HostRegisterComponent(&description, IPlugAU::IPlugAUEntry, kMorvexComponentName,
                            static_cast<UInt32>(kMorvexVersion));
  Unit unit(component);
  unit.configure(2, kSampleRate, kBlock);
  unit.initialize();
  settings.apply(unit);
  RenderQuietBlock(unit);

  IPlugAU* plug = IPlugAU::LivePlugOf(unit.au());
  auto* editor = dynamic_cast<IGraphics*>(plug ? plug->DemandGUI() : nullptr);
  if (!editor || !editor->DecodeImages()) throw NoEditorError();
  IRECT whole(0, 0, editor->Width(), editor->Height());
  editor->Draw(&whole);  // no screen to copy to: the drawing is what counts
  const LICE_IBitmap* drawn = editor->GetDrawBitmap();
  std::unique_ptr<LICE_MemBitmap> enlarged;
  if (scale > 1) {
    enlarged = Enlarged(*drawn, scale);
    drawn = enlarged.get();
  }
  std::vector<unsigned char> png;
  if (!LICE_EncodePNG(drawn, false, &png))
    throw ToolError(path + ": the editor's picture could not be encoded");
  output.write(png.data(), png.size());
  output.commit();
}
