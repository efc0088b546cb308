#include "tools/morvex/output/FilePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include "tools/morvex/console/ToolError.h"

namespace {

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

std::string FollowLinks(const std::string& path) {
  std::string end;
  if (!FollowLinks(path, &end)) throw ToolError(path + ": too many levels of symbolic links");
  return end;
}

bool SameFile(const std::string& a, const std::string& b) {
  const Identity first = identityOf(a), second = identityOf(b);
  return first.known && second.known && first.device == second.device &&
         first.inode == second.inode && first.name == second.name;
}
