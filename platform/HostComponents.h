#pragma once

#include "platform/CFBundle.h"
#include "platform/Components.h"

// The host face of the Component Manager: what a host or test needs beyond
// the Mac's calls.
//
// Where components come from. On first use (and on HostRescanComponents) the
// registry searches, in this order: every entry of the AUDIOUNIT_PATH
// environment variable (colon-separated; an entry is a folder of
// *.component bundles, or names one *.component bundle itself), then
// $HOME/Library/Audio/Plug-Ins/Components, then
// /Library/Audio/Plug-Ins/Components, then the installation's own folder
// (HostInstalledComponentsFolder). Bundles inside a folder are taken in
// name order. A bundle is laid out as on the Mac:
//
//   X.component/Contents/Info.plist
//   X.component/Contents/MacOS/<CFBundleExecutable>   (the shared library)
//   X.component/Contents/Resources/
//
// Info.plist (XML) keys:
//   CFBundleIdentifier   string, required
//   CFBundleExecutable   string, required: file name under Contents/MacOS
//   AudioComponents      array, required, one dictionary per component:
//     type, subtype, manufacturer   four-character strings, required
//     name                          string, required
//     version                       integer, optional (0)
//     entryPoint                    string, required: the component entry
//     viewEntryPoint                string, optional: a Carbon view entry,
//                                   registered as a second component of type
//                                   'auvw' with the same subtype,
//                                   manufacturer, name and version
//
// A bundle with a missing or unreadable Info.plist, a missing key, a bad
// four-character code or a missing executable is skipped when searching; one
// whose library or entry symbol cannot be loaded is skipped when a component
// of it is first opened (OpenAComponent returns unresolvedComponentDLLErr and
// its components disappear from the registry). Either way the failure is
// listed by HostCountSkippedBundles / HostGetSkippedBundle. The library is
// loaded (dlopen) when one of its components is first opened and stays loaded
// for the life of the process, so CF objects whose callbacks live in the
// plug-in stay usable after its last instance closes.
//
// Components found in several places are all registered, earlier folders
// first, so FindNextComponent meets the first one found first.

CF_EXTERN_C_BEGIN

typedef struct HostSkippedBundle {
  char path[4096];
  char reason[256];
} HostSkippedBundle;

// [any thread] Registers an entry function directly, like RegisterComponent
// on the Mac; null when cd or entry is null.
MORVEX_PLATFORM_API Component HostRegisterComponent(const ComponentDescription* cd,
                                                    ComponentRoutineProcPtr entry, const char* name,
                                                    SInt32 version);
// [any thread] Forgets the components found in bundles and the skipped-bundle
// list, then searches again. Open instances keep working; directly registered
// components stay.
MORVEX_PLATFORM_API void HostRescanComponents(void);
// [any thread]
MORVEX_PLATFORM_API UInt32 HostCountSkippedBundles(void);
// [any thread] Copies (truncating) the bundle path and reason; false for an
// index out of range.
MORVEX_PLATFORM_API Boolean HostGetSkippedBundle(UInt32 index, HostSkippedBundle* outSkipped);
// [any thread] The Info.plist "version" (or the registered version); 0 for an
// unknown component.
MORVEX_PLATFORM_API SInt32 HostGetRegisteredVersion(Component aComponent);
// [any thread] The bundle a component came from; null for one registered
// directly.
MORVEX_PLATFORM_API CFBundleRef HostGetComponentBundle(Component aComponent);
// [any thread] The folder "Components" beside this platform library: once
// installed as PREFIX/lib/morvex/libmorvex_platform.so, the components
// installed with it sit in PREFIX/lib/morvex/Components, where every host
// using this library finds them. Empty when the library cannot tell where it
// was loaded from.
MORVEX_PLATFORM_API const char* HostInstalledComponentsFolder(void);
// [any thread] Sends any selector: args[0] is the call's first argument, each
// already in slot form (see ComponentParameters); at most 16 arguments, else
// paramErr. No lock, no allocation.
MORVEX_PLATFORM_API ComponentResult HostCallComponentSelector(ComponentInstance ci, SInt16 what,
                                                              UInt32 argCount, const long* args);

CF_EXTERN_C_END
