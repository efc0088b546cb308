#include "effect/artwork/ImageWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "raster/lice_png.h"

namespace artwork {

ImageWriter::~ImageWriter() = default;

bool ImageWriter::stage(const std::string& destination, const LICE_IBitmap& image) {
  std::vector<unsigned char> png;
  auto file = std::make_unique<AtomicFile>(destination.c_str());
  if (!file->ok()) {
    mError = destination + ": cannot write (" + std::strerror(errno) + ")";
  } else if (!LICE_EncodePNG(&image, true, &png) || !file->write(png.data(), png.size())) {
    mError = destination + ": cannot write the image whole";
  } else {
    mStaged.push_back(std::move(file));
    return true;
  }
  mStaged.clear();
  return false;
}

bool ImageWriter::commit() {
  for (const std::unique_ptr<AtomicFile>& file : mStaged) {
    if (!file->commit()) {
      mError = file->destination() + ": cannot replace (" + std::strerror(errno) + ")";
      mStaged.clear();
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
