#include "tools/rtcheck/SanitizerRuntimes.h"

#include <link.h>
#include <unwind.h>

#include <cstdint>
#include <cstring>

namespace rtcheck {
namespace {

struct Range {
  uintptr_t begin, end;
};
// Written once before any thread is armed, read only after.
Range gRanges[16];
int gRangeCount = 0;

bool isRuntime(const char* path) {
  static const char* const kRuntimes[] = {"libasan.so", "libubsan.so", "libtsan.so", "liblsan.so",
                                          "libhwasan.so"};
  for (const char* name : kRuntimes)
    if (std::strstr(path, name)) return true;
  return false;
}

int noteObject(dl_phdr_info* info, size_t, void*) {
  if (!info->dlpi_name || !isRuntime(info->dlpi_name)) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
    if (gRangeCount == 16) return 1;
    const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    gRanges[gRangeCount++] = {begin, begin + segment.p_memsz};
  }
  return 0;
}

struct Walk {
  int frames = 0;
  bool found = false;
};

_Unwind_Reason_Code lookAtFrame(_Unwind_Context* context, void* data) {
  auto* walk = static_cast<Walk*>(data);
  const uintptr_t at = _Unwind_GetIP(context);
  for (int i = 0; i < gRangeCount; ++i)
    if (at >= gRanges[i].begin && at < gRanges[i].end) walk->found = true;
  // Deep enough to reach the runtime from the C library's call beneath it.
  return walk->found || ++walk->frames == 32 ? _URC_END_OF_STACK : _URC_NO_REASON;
}

}  // namespace

void FindSanitizerRuntimes() {
  dl_iterate_phdr(noteObject, nullptr);
}

bool InSanitizerRuntime() {
  if (gRangeCount == 0) return false;
  Walk walk;
  _Unwind_Backtrace(lookAtFrame, &walk);
  return walk.found;
}

}  // namespace rtcheck
