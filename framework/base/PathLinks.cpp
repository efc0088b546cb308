#include "framework/base/PathLinks.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// As many hops as the kernel allows before ELOOP.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool FollowLinks(const std::string& path, std::string* end) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st;
    char target[PATH_MAX];
    const ssize_t length = lstat(current.c_str(), &st) == 0 && S_ISLNK(st.st_mode)
                               ? readlink(current.c_str(), target, sizeof target - 1)
                               : -1;
    if (length < 0) {
      *end = current;
      return true;
    }
    target[length] = '\0';
    current = target[0] == '/' ? std::string(target) : FolderOf(current) + target;
  }
  errno = ELOOP;
  return false;
}
