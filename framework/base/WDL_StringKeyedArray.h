#pragma once

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "WDL_AssocArray.h"

// A sorted array keyed by C strings; keys are copied on insertion and freed
// when they leave the array.
template <class VAL>
class WDL_StringKeyedArray : public WDL_AssocArray<const char*, VAL> {
 public:
  explicit WDL_StringKeyedArray(
      bool caseSensitive = true,
      typename WDL_AssocArray<const char*, VAL>::ValueDispose valueDispose = nullptr)
      : WDL_AssocArray<const char*, VAL>(caseSensitive ? CompareCase : CompareNoCase, Duplicate,
                                         Dispose, valueDispose) {}

 private:
  static int CompareCase(const char** a, const char** b) { return strcmp(*a, *b); }
  static int CompareNoCase(const char** a, const char** b) { return strcasecmp(*a, *b); }
  static const char* Duplicate(const char* key) { return strdup(key); }
  static void Dispose(const char* key) { free(const_cast<char*>(key)); }
};
