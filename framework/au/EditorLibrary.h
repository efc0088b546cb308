#pragma once

class IEventLoop;
class IGraphics;
class IPlugBase;

// An effect's editor kept in a second library of its bundle, beside the
// library that holds the component entry, so that a host that only renders
// never maps what drawing needs (the window system, fonts, images). The
// library is loaded the first time an entry of it is asked for, from the
// bundle this code was loaded from wherever that bundle was copied, and
// stays loaded. Null when the library or the entry cannot be found.
// [UI thread]
void* EditorLibraryEntry(const char* libraryName, const char* entryName);

// The editor library's one entry (morvex_add_au_bundle's EDITOR), which the
// component's library looks up by the name its identity gives.
using EditorMaker = IGraphics* (*)(IPlugBase* plug, const char* imageFolder, IEventLoop* loop);

// Defined by the effect in its editor library, as MakePlug is in the
// component's: the editor of a plug-in object the component's library made.
IGraphics* MakeEditorOf(IPlugBase* plug, const char* imageFolder, IEventLoop* loop);
