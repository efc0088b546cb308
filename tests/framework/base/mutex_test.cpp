#include "framework/base/WDL_Mutex.h"

#include <gtest/gtest.h>

#include <thread>

// A plain mutex would deadlock on the nested lock.
TEST(MutexTest, IsRecursiveAndSerialisesThreads) {
  WDL_Mutex mutex;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      WDL_MutexLock outer(&mutex);
      WDL_MutexLock inner(&mutex);
      WDL_MutexLock ignored(nullptr);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}
