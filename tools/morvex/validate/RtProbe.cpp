#include "tools/morvex/validate/RtProbe.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "tools/morvex/console/ToolError.h"

namespace {

// Set in the environment of the run that was re-executed with the library.
constexpr char kPreloadedMark[] = "MORVEX_RTCHECK_PRELOADED";

// The function's name when the library exports it, else the offset in the
// library's file for addr2line.
std::string frameText(void* address) {
  Dl_info info;
  if (!dladdr(address, &info) || !info.dli_fname) return "??";
  const char* slash = std::strrchr(info.dli_fname, '/');
  const std::string file = slash ? slash + 1 : info.dli_fname;
  if (!info.dli_sname) {
    char offset[32];
    std::snprintf(offset, sizeof offset, "+0x%lx",
                  static_cast<unsigned long>(static_cast<char*>(address) -
                                             static_cast<char*>(info.dli_fbase)));
    return file + offset;
  }
  int status = 0;
  char* plain = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
  const std::string name = status == 0 && plain ? plain : info.dli_sname;
  std::free(plain);
  return name + " in " + file;
}

std::string executableFolder() {
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) throw ToolError("cannot tell where this program is (/proc/self/exe)");
  exe[length] = '\0';
  const std::string path(exe);
  return path.substr(0, path.rfind('/') + 1);
}

// The build's library (its path from bin/ known at configure time), then the
// installed one beside the platform library.
std::string findLibrary() {
  const std::string folder = executableFolder();
  struct stat st;
  for (const std::string& candidate :
       {folder + MORVEX_RTCHECK_FROM_BIN, folder + "../lib/morvex/libmorvex_rtcheck.so"})
    if (stat(candidate.c_str(), &st) == 0) return candidate;
  throw ToolError("libmorvex_rtcheck.so, which the strict level needs, is neither at " + folder +
                  MORVEX_RTCHECK_FROM_BIN + " nor at " + folder + "../lib/morvex/");
}

template <typename Fn>
Fn symbol(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

const RtProbe* RtProbe::Find() {
  static const RtProbe* probe = []() -> const RtProbe* {
    static RtProbe found;
    found.mEnter = symbol<MorvexRtEnterFn>("morvex_rtcheck_enter");
    found.mLeave = symbol<MorvexRtLeaveFn>("morvex_rtcheck_leave");
    found.mTake = symbol<MorvexRtTakeFn>("morvex_rtcheck_take");
    found.mLiveBlocks = symbol<MorvexRtLiveBlocksFn>("morvex_rtcheck_live_blocks");
    found.mSanitizerBytes = symbol<size_t (*)()>("__sanitizer_get_current_allocated_bytes");
    const auto watches =
        symbol<MorvexRtWatchesSystemCallsFn>("morvex_rtcheck_watches_system_calls");
    found.mWatchesSystemCalls = watches && watches();
    return found.mEnter && found.mLeave && found.mTake && found.mLiveBlocks ? &found : nullptr;
  }();
  return probe;
}

void RtProbe::EnsurePreloaded(const std::vector<std::string>& args) {
  if (Find()) return;
  if (std::getenv(kPreloadedMark))
    throw ToolError("libmorvex_rtcheck.so was preloaded but is not in the process");
  std::string preload = findLibrary();
  if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing)
    preload += std::string(":") + existing;
  setenv("LD_PRELOAD", preload.c_str(), 1);
  setenv(kPreloadedMark, "1", 1);
  // AddressSanitizer wants its runtime first; the library forwards to it.
  if (dlsym(RTLD_DEFAULT, "__asan_init")) {
    const char* options = std::getenv("ASAN_OPTIONS");
    const std::string asan = std::string(options && *options ? options : "") +
                             (options && *options ? ":" : "") + "verify_asan_link_order=0";
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
  }
  std::vector<std::string> words = {"morvex", "validate"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  execv("/proc/self/exe", argv.data());
  throw ToolError(std::string("cannot run morvex again with libmorvex_rtcheck.so: ") +
                  std::strerror(errno));
}

RtProbe::HeapUse RtProbe::heapInUse() const {
  if (mSanitizerBytes) return {static_cast<long>(mSanitizerBytes()), "bytes"};
  return {mLiveBlocks(), "blocks"};
}

long RtProbe::HeapUse::leakOver(int cycles) const {
  // The smallest block an allocator hands out holds 16 bytes. Below a block a
  // cycle is room for what settles: containers that grow by doubling, caches.
  return std::strcmp(unit, "bytes") == 0 ? 16L * cycles : cycles / 2;
}

std::string RtProbe::takeHits() const {
  MorvexRtHit hits[8];
  const int count = mTake(hits, 8);
  if (count == 0) return {};
  std::set<std::string> functions;
  const int kept = count < 8 ? count : 8;
  for (int i = 0; i < kept; ++i)
    functions.insert(hits[i].function);
  std::string names;
  for (const std::string& name : functions)
    names += (names.empty() ? "" : ", ") + name;
  std::string text = std::to_string(count) + " forbidden call" + (count == 1 ? "" : "s") +
                     " in the audio path: " + names + "\nbacktrace of the first (" +
                     hits[0].function + "):";
  // Frame 0 is the recorder itself.
  for (int f = 1; f < hits[0].depth; ++f)
    text += "\n  #" + std::to_string(f) + " " + frameText(hits[0].frames[f]);
  return text;
}
