#pragma once

class IGraphics;
class IPlugBase;

// Morvex's editor: a 424 x 104 panel drawn from the bundle's 13 images.
inline constexpr int kMorvexEditorWidth = 424;
inline constexpr int kMorvexEditorHeight = 104;

// The editor for the plug-in, in this platform's window layer, finding its
// images in imageFolder when it is not empty, else in the plug-in's bundle.
// An fps of 0 gives the default rate. [UI thread]
IGraphics* MakeGraphics(IPlugBase* plug, int w, int h, int fps, const char* imageFolder);
