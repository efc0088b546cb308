#pragma once

#include "platform/CFDictionary.h"
#include "platform/MacTypes.h"

class IPlugBase;

// A component's identity as its saved states carry it.
struct SavedStateIdentity {
  SInt32 type;
  SInt32 subtype;
  SInt32 manufacturer;
};

// The plug-in's state as the saved-state dictionary: the identity, the
// version, the preset name and the parameter chunk. The Audio Unit's class
// info and a user preset file are both this. Null without memory; the
// caller releases it. [UI thread]
CFMutableDictionaryRef CreateSavedState(IPlugBase* plug, const SavedStateIdentity& identity,
                                        const char* presetName);

// Loads a saved state of this component into the plug-in. The whole
// dictionary is checked before anything changes, so a restore applies fully
// or is refused with nothing touched: no parameter, no preset. Only the keys
// the restore reads are checked: states from other hosts and versions may
// carry a "version" of any type, or no name. [UI thread]
bool RestoreSavedState(IPlugBase* plug, const SavedStateIdentity& identity, CFDictionaryRef state);
