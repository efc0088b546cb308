#include "tools/morvex/editor/EditorSnapshot.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/NSViewCache.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_png.h"
#include "raster/lice_scaled_blit.h"
#include "tools/auhost/Unit.h"
#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/editor/NoEditorError.h"
#include "tools/morvex/editor/UnitView.h"
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

// The view's picture, as it would show on a screen.
std::unique_ptr<LICE_MemBitmap> Picture(void* view) {
  NSSize size;
  if (!NSViewGetBoundsSize(view, &size))
    throw ToolError("Morvex's editor view cannot be drawn off the screen");
  auto picture =
      std::make_unique<LICE_MemBitmap>(static_cast<int>(size.width), static_cast<int>(size.height));
  NSBitmapImageRep rep = {reinterpret_cast<unsigned char*>(picture->getBits()), picture->getWidth(),
                          picture->getHeight(),
                          picture->getRowSpan() * static_cast<SInt32>(sizeof(LICE_pixel))};
  if (!NSViewCacheDisplay(view, &rep)) throw ToolError("Morvex's editor failed to draw");
  return picture;
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
  // On no screen, whatever display the user has: the plug-in's window
  // layer, finding none named, makes a view that is drawn off the screen
  // rather than a window that would flash up.
  unsetenv("DISPLAY");
  Unit unit;
  unit.configure(2, kSampleRate, kBlock);
  unit.initialize();
  settings.apply(unit);
  RenderQuietBlock(unit);

  void* view = OpenView(unit);
  if (!view) throw NoEditorError();
  std::unique_ptr<LICE_MemBitmap> picture = Picture(view);
  if (scale > 1) picture = Enlarged(*picture, scale);
  std::vector<unsigned char> png;
  if (!LICE_EncodePNG(picture.get(), false, &png))
    throw ToolError(path + ": the editor's picture could not be encoded");
  output.write(png.data(), png.size());
  output.commit();
}
