// The audio thread renders (moving the sweep display), the host automates
// and the user turns the Mix knob while the UI thread draws, all at once;
// afterwards every knob shows exactly what its parameter holds.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "effect/Morvex.h"
#include "framework/au/MakePlug.h"
#include "framework/editor/IControl.h"
#include "framework/editor/IGraphics.h"
#include "raster/LICE_SysBitmap.h"

namespace {

IMouseMod gLeft(true);

std::unique_ptr<IPlugAU> MakeMorvex() {
  std::unique_ptr<IPlugAU> plug(MakePlug());
  plug->SetSampleRate(44100.0);
  plug->Reset();
  return plug;
}

IGraphics* EditorOf(IPlugAU* plug) {
  return dynamic_cast<IGraphics*>(plug->DemandGUI());
}

void DrawUntilClean(IGraphics* editor) {
  for (IRECT r; editor->IsDirty(&r); r = IRECT())
    editor->Draw(&r);
}

// The pixels of a control's rectangle.
std::vector<LICE_pixel> PixelsOf(IGraphics* editor, int control) {
  const IRECT rect = *editor->GetControl(control)->GetRECT();
  const LICE_SysBitmap* bitmap = editor->GetDrawBitmap();
  std::vector<LICE_pixel> pixels;
  for (int y = rect.T; y < rect.B; ++y) {
    for (int x = rect.L; x < rect.R; ++x)
      pixels.push_back(bitmap->getBits()[y * bitmap->getRowSpan() + x]);
  }
  return pixels;
}

TEST(MorvexEditorStressTest, AfterRenderingAutomationAndGesturesTheKnobsShowTheLastValues) {
  std::unique_ptr<IPlugAU> plug = MakeMorvex();
  IGraphics* editor = EditorOf(plug.get());
  ASSERT_NE(editor, nullptr);
  DrawUntilClean(editor);

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<double> in(512, 0.01), outL(512), outR(512);
    double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {outL.data(), outR.data()};
    while (!stop)
      plug->ProcessDoubleReplacing(inputs, outputs, 512);
  });
  std::thread host([&] {
    for (int i = 0; !stop; ++i) {
      const AudioUnitParameterID param = 2 + static_cast<AudioUnitParameterID>(i % 5);
      IPlugAU::SetParamProc(plug.get(), param, kAudioUnitScope_Global, 0,
                            static_cast<float>((i * 37) % 101) / 100.0f, 0);
    }
  });
  for (int gesture = 0; gesture < 300; ++gesture) {
    const int y = 68 - gesture % 20;
    editor->OnMouseDown(43, 68, &gLeft);
    editor->OnMouseDrag(43, y, &gLeft);
    editor->OnMouseUp(43, y, &gLeft);
    IRECT r;
    if (editor->IsDirty(&r)) editor->Draw(&r);
  }
  stop = true;
  audio.join();
  host.join();
  DrawUntilClean(editor);

  // A fresh editor given the same values draws the same knobs.
  std::unique_ptr<IPlugAU> reference = MakeMorvex();
  IGraphics* referenceEditor = EditorOf(reference.get());
  ASSERT_NE(referenceEditor, nullptr);
  for (int param = 0; param < Morvex::kNumParams; ++param) {
    const double value = plug->GetParam(param)->Value();
    IPlugAU::SetParamProc(reference.get(), static_cast<AudioUnitParameterID>(param),
                          kAudioUnitScope_Global, 0, static_cast<float>(value), 0);
  }
  DrawUntilClean(referenceEditor);
  for (int knob : {10, 12, 13, 14, 15, 16}) {
    const int param = editor->GetControl(knob)->ParamIdx();
    EXPECT_DOUBLE_EQ(editor->GetControl(knob)->GetValue(), plug->GetParam(param)->GetNormalized())
        << "knob " << knob;
    EXPECT_EQ(PixelsOf(editor, knob), PixelsOf(referenceEditor, knob)) << "knob " << knob;
  }
}

}  // namespace
