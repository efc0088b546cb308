#include "tools/morvex/FilePaths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/morvex/ToolError.h"

namespace {

// As many hops as the kernel allows before ELOOP.
constexpr int kMaxLinkHops = 40;

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // only for a file that does not exist yet
  bool known = false;
};

Identity identityOf(const std::string& path) {
  Identity identity;
  struct stat st;
  const std::string target = FollowLinks(path);
  if (stat(target.c_str(), &st) == 0) {
    identity = {st.st_dev, st.st_ino, "", true};
    return identity;
  }
  const std::string folder = FolderOf(target);
  if (stat(folder.empty() ? "." : folder.c_str(), &st) == 0)
    identity = {st.st_dev, st.st_ino, target.substr(folder.size()), true};
  return identity;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), target, sizeof target - 1);
    if (length < 0) return current;
    target[length] = '\0';
    current = target[0] == '/' ? std::string(target) : FolderOf(current) + target;
  }
  throw ToolError(path + ": too many levels of symbolic links");
}

bool SameFile(const std::string& a, const std::string& b) {
  const Identity first = identityOf(a), second = identityOf(b);
  return first.known && second.known && first.device == second.device &&
         first.inode == second.inode && first.name == second.name;
}
