// The Cocoa view factory's calls, and the list of this library's live
// plug-ins that lets it tell its own units from any other.
#include <mutex>
#include <vector>

#include "framework/au/IPlugAU.h"

namespace {

std::mutex gLiveMutex;
std::vector<const IPlugAU*> gLivePlugs;

}  // namespace

void IPlugAU::AddLivePlug(const IPlugAU* plug) {
  std::lock_guard<std::mutex> lock(gLiveMutex);
  gLivePlugs.push_back(plug);
}

void IPlugAU::RemoveLivePlug(const IPlugAU* plug) {
  std::lock_guard<std::mutex> lock(gLiveMutex);
  for (auto it = gLivePlugs.begin(); it != gLivePlugs.end(); ++it) {
    if (*it == plug) {
      gLivePlugs.erase(it);
      return;
    }
  }
}

IPlugAU* IPlugAU::LivePlugOf(AudioUnit unit) {
  // The storage of another vendor's unit may be anything: it is compared,
  // never followed, until it is known to be one of ours.
  const void* storage = unit ? GetComponentInstanceStorage(unit) : nullptr;
  if (!storage) return nullptr;
  std::lock_guard<std::mutex> lock(gLiveMutex);
  for (const IPlugAU* plug : gLivePlugs) {
    if (plug == storage) return const_cast<IPlugAU*>(plug);
  }
  return nullptr;
}

void* IPlugAU::CocoaViewForAudioUnit(AudioUnit unit, NSSize) {
  // The preferred size is not ours to follow: the view has the editor's.
  IPlugAU* plug = LivePlugOf(unit);
  IPlugEditor* editor = plug ? plug->DemandGUI() : nullptr;
  if (!editor) return nullptr;
  void* view = editor->OpenWindow(nullptr);
  if (view) plug->GUIOpened();
  return view;
}

UInt32 IPlugAU::CocoaViewInterfaceVersion() {
  return 0;
}
