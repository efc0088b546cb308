#include "tools/artwork/ImageWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "raster/lice_png.h"

namespace artwork {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a destination finally names: a symbolic link's target is
// replaced, not the link.
std::string Resolve(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved))
    return resolved;
  return path;
}

}  // namespace

ImageWriter::~ImageWriter() {
  discard();
}

void ImageWriter::discard() {
  for (const Staged& s : mStaged)
    unlink(s.temporary.c_str());
  mStaged.clear();
}

bool ImageWriter::stage(const std::string& destination, const LICE_IBitmap& image) {
  const std::string target = Resolve(destination);
  struct stat st;
  if (stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    mError = destination + ": is not a regular file";
    discard();
    return false;
  }
  std::string pattern = FolderOf(target) + ".artwork-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    mError = destination + ": cannot write (" + std::strerror(errno) + ")";
    discard();
    return false;
  }
  close(fd);
  mStaged.push_back({pattern, target});
  // A temporary is private; the image should be as readable as any file.
  const mode_t mask = umask(0);
  umask(mask);
  if (!LICE_WritePNG(pattern.c_str(), &image) || chmod(pattern.c_str(), 0666 & ~mask) != 0) {
    mError = destination + ": cannot write the image whole";
    discard();
    return false;
  }
  return true;
}

bool ImageWriter::commit() {
  for (size_t i = 0; i < mStaged.size(); ++i) {
    if (rename(mStaged[i].temporary.c_str(), mStaged[i].destination.c_str()) != 0) {
      mError = mStaged[i].destination + ": cannot replace (" + std::strerror(errno) + ")";
      mStaged.erase(mStaged.begin(), mStaged.begin() + static_cast<std::ptrdiff_t>(i));
      discard();
      return false;
    }
  }
  mStaged.clear();
  return true;
}

std::string CheckOutputFolder(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) return folder + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return folder + ": is not a folder";
  // Permission bits do not bind every user (root), nor tell of a read-only
  // file system: try making a file.
  std::string probe = folder + "/.artwork-XXXXXX";
  const int fd = mkstemp(probe.data());
  if (fd < 0) return folder + ": cannot create files there (" + std::strerror(errno) + ")";
  close(fd);
  unlink(probe.c_str());
  return std::string();
}

}  // namespace artwork
