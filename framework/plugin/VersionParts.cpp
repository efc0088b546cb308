#include "framework/plugin/VersionParts.h"

#include <cstdio>

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pPatch) {
  if (pMajor) *pMajor = version >> 16;
  if (pMinor) *pMinor = (version >> 8) & 0xFF;
  if (pPatch) *pPatch = version & 0xFF;
}

int GetDecimalVersion(int version) {
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  return major * 10000 + minor * 100 + patch;
}

void GetVersionStr(int version, char* str, int strSize) {
  if (!str || strSize < 1) return;
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  snprintf(str, static_cast<size_t>(strSize), "v%d.%d.%d", major, minor, patch);
}
