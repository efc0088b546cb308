// The Carbon view component: opens the plug-in's editor in a host window.
#include <cstring>

#include "framework/au/IPlugAU.h"
#include "framework/au/detail/CarbonViewRecord.h"
#include "framework/au/detail/HostMemory.h"

namespace {
// The unit's storage is a plug-in of ours only when the unit is the
// component this view belongs to: same subtype and manufacturer.
IPlugAU* PlugShownBy(ComponentInstance view, AudioUnit unit) {
  ComponentDescription viewDesc, unitDesc;
  if (!unit ||
      GetComponentInfo(reinterpret_cast<Component>(view), &viewDesc, nullptr, nullptr, nullptr) !=
          noErr ||
      GetComponentInfo(reinterpret_cast<Component>(unit), &unitDesc, nullptr, nullptr, nullptr) !=
          noErr ||
      unitDesc.componentType == kAudioUnitCarbonViewComponentType ||
      unitDesc.componentSubType != viewDesc.componentSubType ||
      unitDesc.componentManufacturer != viewDesc.componentManufacturer) {
    return nullptr;
  }
  return reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit));
}
}  // namespace

ComponentResult IPlugAU::IPlugAUCarbonViewEntry(ComponentParameters* params, Handle storage) {
  if (!params) return paramErr;
  auto* record = reinterpret_cast<CarbonViewRecord*>(storage);
  const auto detach = [](CarbonViewRecord* view) {
    if (view->mPlug) view->mPlug->mCarbonViews.Delete(view->mPlug->mCarbonViews.Find(view));
    view->mPlug = nullptr;
  };
  switch (params->what) {
    case kComponentOpenSelect: {
      if (params->paramSize < sizeof(long)) return paramErr;
      record = new CarbonViewRecord;
      record->mView = Arg<ComponentInstance>(params, 0);
      SetComponentInstanceStorage(record->mView, reinterpret_cast<Handle>(record));
      return noErr;
    }
    case kAudioUnitCarbonViewCreateSelect: {
      if (params->paramSize < 6 * sizeof(long)) return paramErr;
      if (!record) return badComponentInstance;
      detach(record);
      IPlugAU* plug = PlugShownBy(record->mView, Arg<AudioUnit>(params, 5));
      if (!plug || !plug->DemandGUI()) return badComponentSelector;
      record->mPlug = plug;
      plug->mCarbonViews.Add(record);
      // Location and size are the editor's own.
      record->mWindow =
          plug->GetGUI()->OpenWindow(Arg<WindowRef>(params, 4), Arg<ControlRef>(params, 3), 0, 0);
      if (auto* outControl = Arg<ControlRef*>(params, 0)) {
        *outControl = static_cast<ControlRef>(record->mWindow);
      }
      return noErr;
    }
    case kComponentCloseSelect:
      if (record) {
        // A newer view may have taken the editor since: its window stays.
        IPlugEditor* editor = record->mPlug ? record->mPlug->GetGUI() : nullptr;
        if (editor && record->mWindow && editor->GetWindow() == record->mWindow) {
          editor->CloseWindow();
        }
        detach(record);
        delete record;
      }
      return noErr;
    default:
      return badComponentSelector;
  }
}
