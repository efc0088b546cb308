#include "framework/plugin/Trace.h"

void Trace(const char*, int, const char*, ...) {}

const char* AUSelectStr(int) {
  return "";
}
const char* AUPropertyStr(int) {
  return "";
}
const char* AUScopeStr(int) {
  return "";
}
const char* VSTOpcodeStr(int) {
  return "";
}
