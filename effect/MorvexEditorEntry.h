#pragma once

class IEventLoop;
class IGraphics;
class Morvex;

// The one entry of the component's editor library: Morvex::MakeEditor of
// that library, for a plug-in object of the component's.
using MorvexEditorMaker = IGraphics* (*)(Morvex* plug, const char* imageFolder, IEventLoop* loop);
inline constexpr char kMorvexEditorEntry[] = "Morvex_MakeEditor";
