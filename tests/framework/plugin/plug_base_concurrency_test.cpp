#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/plugin/IPlugBase.h"
#include "tests/support/TestPlug.h"

// The editor, the host's state calls and the audio thread meet in the base:
// parameter writes and state loads serialise on the plug-in's mutex, and the
// audio thread reads values without it.
TEST(IPlugBaseConcurrencyTest, EditorStateAndAudioThreadsMeetSafely) {
  TestPlug plug("1-1", 2);
  plug.SetBlockSize(64);
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    double sum = 0;
    while (!stop.load()) {
      for (int i = 0; i < plug.NParams(); ++i)
        sum += plug.GetParam(i)->Value();
    }
    EXPECT_GE(sum, 0.0);
  });
  std::thread editor([&] {
    for (int i = 0; i < 2000; ++i)
      plug.SetParameterFromGUI(i % 3, (i % 11) / 10.0);
  });
  for (int i = 0; i < 500; ++i) {
    ByteChunk chunk;
    ASSERT_TRUE(plug.SerializeState(&chunk));
    ASSERT_EQ(plug.UnserializeState(&chunk, 0), 24);
  }
  editor.join();
  stop = true;
  audio.join();
  // Each editor change reached the effect once, each load three times.
  EXPECT_EQ(plug.paramChanges.size(), 2000u + 500u * 3u);
}
