#pragma once

// Host codes. Codes without a name here (10, 11, 19) are reserved and have
// neither a key nor a display name.
enum EHost {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostMelodyne = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28
};

// Identifies a host by the first table key its lower-cased name contains;
// kHostUnknown when none does. Only the first MAX_HOST_NAME_LEN - 1
// characters of the name are looked at. [any thread]
EHost LookUpHost(const char* hostName);

// Writes the display name of a host code ("Unknown" for codes without one),
// truncated to strSize - 1 characters. [any thread]
void GetHostNameStr(EHost host, char* str, int strSize);
