#pragma once

// Versions are packed as major * 65536 + minor * 256 + patch. [any thread]
void GetVersionParts(int version, int* pMajor, int* pMinor, int* pPatch);
// major * 10000 + minor * 100 + patch.
int GetDecimalVersion(int version);
// "v%d.%d.%d", truncated to strSize - 1 characters.
void GetVersionStr(int version, char* str, int strSize);
