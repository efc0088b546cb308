#pragma once

#include <pthread.h>

// A recursive mutex: the thread that holds it may enter it again and must
// leave it as often.
class WDL_Mutex {
 public:
  WDL_Mutex() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mMutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
  }
  ~WDL_Mutex() { pthread_mutex_destroy(&mMutex); }

  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter() { pthread_mutex_lock(&mMutex); }
  // Enters only when no other thread holds the mutex; never waits. A true
  // result must be matched by a Leave.
  bool TryEnter() { return pthread_mutex_trylock(&mMutex) == 0; }
  void Leave() { pthread_mutex_unlock(&mMutex); }

 private:
  pthread_mutex_t mMutex;
};

// Holds a mutex for the scope of the lock; a null mutex is ignored.
class WDL_MutexLock {
 public:
  explicit WDL_MutexLock(WDL_Mutex* mutex) : mMutex(mutex) {
    if (mMutex) mMutex->Enter();
  }
  ~WDL_MutexLock() {
    if (mMutex) mMutex->Leave();
  }

  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

 private:
  WDL_Mutex* mMutex;
};
