#include "framework/plugin/HostTable.h"

#include <cstring>

#include "framework/base/TruncatingCopy.h"
#include "framework/plugin/CharUtils.h"
#include "framework/plugin/IPlugConstants.h"

namespace {
struct HostKey {
  const char* key;
  EHost host;
};

// Order matters: the first key found wins ("cubase" before "nuendo").
const HostKey kHostKeys[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

const char* DisplayName(EHost host) {
  switch (host) {
    case kHostReaper:
      return "Reaper";
    case kHostProTools:
      return "ProTools";
    case kHostCubase:
      return "Cubase";
    case kHostNuendo:
      return "Nuendo";
    case kHostSonar:
      return "Sonar";
    case kHostVegas:
      return "Vegas";
    case kHostFL:
      return "FLStudio";
    case kHostSamplitude:
      return "Samplitude";
    case kHostLive:
      return "Live";
    case kHostVSTScanner:
      return "VSTScanner";
    case kHostAULab:
      return "AULab";
    case kHostForte:
      return "Forte";
    case kHostChainer:
      return "Chainer";
    case kHostAudition:
      return "Audition";
    case kHostOrion:
      return "Orion";
    case kHostSAWStudio:
      return "SAWStudio";
    case kHostLogic:
      return "Logic";
    case kHostGarageBand:
      return "GarageBand";
    case kHostDigitalPerformer:
      return "DigitalPerformer";
    case kHostStandalone:
      return "Standalone";
    case kHostAudioMulch:
      return "AudioMulch";
    case kHostStudioOne:
      return "StudioOne";
    case kHostVST3TestHost:
      return "VST3PluginTestHost";
    case kHostArdour:
      return "Ardour";
    default:
      return "Unknown";
  }
}
}  // namespace

EHost LookUpHost(const char* hostName) {
  char lower[MAX_HOST_NAME_LEN];
  TruncatingCopy(lower, hostName);
  ToLower(lower, lower);
  for (const HostKey& entry : kHostKeys) {
    if (strstr(lower, entry.key)) return entry.host;
  }
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* str, int strSize) {
  TruncatingCopy(str, strSize, DisplayName(host));
}
