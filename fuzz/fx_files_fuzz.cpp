// Feeds arbitrary bytes to the program (fxp) and bank (fxb) loaders. The
// first byte picks the loader and whether the plug-in does state chunks; the
// rest is the file. Beyond the sanitizers' checks, a refused file must leave
// the plug-in exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/plugin/IPlugBase.h"
#include "tests/support/TestPlug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool bank = data[0] & 1;
  const bool chunks = data[0] & 2;
  ByteChunk file;
  file.PutBytes(data + 1, static_cast<int>(size - 1));

  TestPlug plug("1-1 2-2", 3, chunks);
  plug.MakePreset("Warm", 0.25, 2, 1);
  plug.MakePreset("Cold", 0.75, 4, 0);
  plug.RestorePreset(1);
  const std::string before = plug.Snapshot();
  const bool loaded = bank ? plug.LoadBankFromFXBData(file) : plug.LoadProgramFromFXPData(file);
  if (!loaded && plug.Snapshot() != before) abort();
  // Whatever was loaded must save again.
  if (loaded) {
    ByteChunk state;
    if (!plug.SerializeState(&state) || state.Size() != 8 * plug.NParams()) abort();
  }
  return 0;
}
