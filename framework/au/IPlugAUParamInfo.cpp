// Parameter descriptions for the host: the info record, clump names and the
// texts that convert between values and strings.
#include <cstdlib>
#include <cstring>

#include "framework/au/CFStrings.h"
#include "framework/au/IPlugAU.h"
#include "framework/au/detail/HostMemory.h"
#include "framework/base/ParseNumber.h"
#include "framework/base/TruncatingCopy.h"

int IPlugAU::ClumpID(IParam* param) {
  const char* group = param->GetParamGroupForHost();
  for (int i = 0; i < mParamGroups.GetSize(); ++i) {
    if (!strcmp(mParamGroups.Get(i)->GetParamGroupForHost(), group)) return i + 1;
  }
  mParamGroups.Add(param);
  return mParamGroups.GetSize();
}

ComponentResult IPlugAU::GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* out) {
  IParam* param = GetParam(static_cast<int>(element));
  AudioUnitParameterInfo info;
  memset(&info, 0, sizeof info);
  info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
               kAudioUnitParameterFlag_CFNameRelease;
  if (param->GetCanAutomate()) info.flags |= kAudioUnitParameterFlag_IsWritable;
  if (param->GetIsMeta()) info.flags |= kAudioUnitParameterFlag_IsElementMeta;
  info.cfNameString = MakeCFString(param->GetNameForHost());
  TruncatingCopy(info.name, param->GetNameForHost());
  switch (param->Type()) {
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      info.unit = kAudioUnitParameterUnit_Indexed;
      break;
    case IParam::kTypeBool:
      info.unit = kAudioUnitParameterUnit_Boolean;
      break;
    default:
      if (param->GetLabelForHost()[0]) {
        info.unit = kAudioUnitParameterUnit_CustomUnit;
        info.unitName = MakeCFString(param->GetLabelForHost());
      } else {
        info.unit = kAudioUnitParameterUnit_Generic;
      }
  }
  double lo, hi;
  param->GetBounds(&lo, &hi);
  info.minValue = static_cast<AudioUnitParameterValue>(lo);
  info.maxValue = static_cast<AudioUnitParameterValue>(hi);
  // Hosts show the default as the value the control starts from.
  info.defaultValue = static_cast<AudioUnitParameterValue>(param->Value());
  if (param->GetParamGroupForHost()[0]) {
    info.flags |= kAudioUnitParameterFlag_HasClump;
    info.clumpID = static_cast<UInt32>(ClumpID(param));
  }
  memcpy(out, &info, sizeof info);
  return noErr;
}

ComponentResult IPlugAU::GetParamText(AudioUnitPropertyID propID, void* data) {
  const auto paramOf = [this](AudioUnitParameterID id) {
    return id < static_cast<UInt32>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  };
  switch (propID) {
    case kAudioUnitProperty_ParameterStringFromValue: {
      auto record = Get<AudioUnitParameterStringFromValue>(data);
      const IParam* param = paramOf(record.inParamID);
      if (!param) return kAudioUnitErr_InvalidParameter;
      // No value asks for the current one.
      const double value = record.inValue ? *record.inValue : param->Value();
      param->GetDisplayForHost(value, false, mDisplayText, true);
      record.outString = MakeCFString(mDisplayText);
      memcpy(data, &record, sizeof record);
      return noErr;
    }
    case kAudioUnitProperty_ParameterIDName: {
      auto record = Get<AudioUnitParameterNameInfo>(data);
      const IParam* param = paramOf(record.inID);
      if (!param) return kAudioUnitErr_InvalidParameter;
      char name[MAX_PARAM_NAME_LEN];
      TruncatingCopy(name, param->GetNameForHost());
      // Any negative length asks for the full name, as
      // kAudioUnitParameterName_Full does.
      if (record.inDesiredLength >= 0 && record.inDesiredLength < MAX_PARAM_NAME_LEN - 1) {
        int cut = record.inDesiredLength;
        while (cut > 0 && (name[cut] & 0xC0) == 0x80)
          --cut;  // keep whole UTF-8 characters
        name[cut] = 0;
      }
      record.outName = MakeCFString(name);
      memcpy(data, &record, sizeof record);
      return noErr;
    }
    case kAudioUnitProperty_ParameterClumpName: {
      auto record = Get<AudioUnitParameterNameInfo>(data);
      if (record.inID < 1 || record.inID > static_cast<UInt32>(mParamGroups.GetSize())) {
        return kAudioUnitErr_PropertyNotInUse;
      }
      record.outName =
          MakeCFString(mParamGroups.Get(static_cast<int>(record.inID) - 1)->GetParamGroupForHost());
      memcpy(data, &record, sizeof record);
      return noErr;
    }
    case kAudioUnitProperty_ParameterValueFromString: {
      auto record = Get<AudioUnitParameterValueFromString>(data);
      const IParam* param = paramOf(record.inParamID);
      if (!param) return kAudioUnitErr_InvalidParameter;
      if (!record.inString) return kAudioUnitErr_InvalidPropertyValue;
      CStrLocal text(record.inString);
      if (param->GetNDisplayTexts() > 0) {
        int value;
        if (param->MapDisplayText(text.Get(), &value)) {
          record.outValue = static_cast<AudioUnitParameterValue>(value);
        }
      } else {
        // Read in the C locale: the host's number text never has a decimal comma.
        double value = 0.0;
        ParseFiniteDouble(text.Get(), &value);
        record.outValue =
            static_cast<AudioUnitParameterValue>(param->DisplayIsNegated() ? -value : value);
      }
      memcpy(data, &record, sizeof record);
      return noErr;
    }
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}
