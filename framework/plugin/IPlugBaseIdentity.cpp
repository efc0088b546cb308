// Versions, API and the host's identity.
#include <cstring>

#include "framework/plugin/IPlugBase.h"
#include "framework/plugin/VersionParts.h"

int IPlugBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* str, int strSize) const {
  GetVersionStr(mVersion, str, strSize);
  if (!str || strSize < 1) return;
  const size_t length = strlen(str);
  if (static_cast<int>(length) + 1 < strSize) {
    str[length] = 'D';
    str[length + 1] = 0;
  }
}

int IPlugBase::GetHostVersion(bool decimal) {
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* str, int strSize) {
  GetHost();
  GetVersionStr(mHostVersion, str, strSize);
}

void IPlugBase::SetHost(const char* hostName, int version) {
  mHost = LookUpHost(hostName);
  mHostVersion = version;
}

const char* IPlugBase::GetAPIString() {
  switch (GetAPI()) {
    case kAPIVST2:
      return "VST2";
    case kAPIVST3:
      return "VST3";
    case kAPIAU:
      return "AU";
    case kAPIRTAS:
      return "RTAS";
    case kAPIAAX:
      return "AAX";
    case kAPISA:
      return "Standalone";
    case kAPILV2:
      return "LV2";
  }
  return "";
}
