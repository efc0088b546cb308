#include "framework/au/EditorLibrary.h"

#include <dlfcn.h>

#include <string>

#include "framework/plugin/Trace.h"

namespace {

// The folder of the library holding this function: the component's own,
// not the first bundle of the same identity on the search path.
std::string OwnFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return "";
  const std::string path = info.dli_fname;
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void* EditorLibraryEntry(const char* libraryName, const char* entryName) {
  // Local, so its copies of our libraries cannot interpose on the host's or
  // the component's; the editor library itself is never unloaded.
  const std::string path = OwnFolder() + libraryName;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    Trace("EditorLibraryEntry", __LINE__, "%s", dlerror());
    return nullptr;
  }
  return dlsym(library, entryName);
}
