#pragma once

#include <cstddef>
#include <cstring>

#include "platform/Components.h"

// Values in host memory (argument slots, property data) carry no alignment
// promise and must not be read through a cast, which strict aliasing would
// let the optimiser break: they are copied.

// Argument slot of a component call; slot 0 holds the last argument.
template <typename T>
T Arg(const ComponentParameters* params, int slot) {
  T value;
  memcpy(&value, &params->params[slot], sizeof value);
  return value;
}

template <typename T>
T Get(const void* data) {
  T value;
  memcpy(&value, data, sizeof value);
  return value;
}

// Writes the index-th T of an array in host memory.
template <typename T>
void Put(void* data, const T& value, size_t index = 0) {
  memcpy(static_cast<char*>(data) + index * sizeof(T), &value, sizeof(T));
}
