#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/base/AtomicFile.h"
#include "raster/LICE_IBitmap.h"

namespace artwork {

// Writes PNG files so that a failure leaves nothing half-done: every image
// goes to a temporary beside its destination first, and only when all are
// written whole are they renamed into place (a destination reached through
// a symbolic link replaces the link's target). On failure the temporaries
// are removed, the destinations are untouched, and the message names the
// file and the reason.
class ImageWriter {
 public:
  ~ImageWriter();

  // Encodes the bitmap to a temporary for `destination`; false with
  // error() set on failure.
  bool stage(const std::string& destination, const LICE_IBitmap& image);
  // Renames every staged temporary into place; false with error() set.
  bool commit();
  const std::string& error() const { return mError; }

 private:
  std::vector<std::unique_ptr<AtomicFile>> mStaged;
  std::string mError;
};

// Empty when `folder` exists, is a folder and takes new files; otherwise a
// message saying which of these fails.
std::string CheckOutputFolder(const std::string& folder);

}  // namespace artwork
