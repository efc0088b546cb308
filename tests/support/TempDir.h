#pragma once

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// A fresh folder under /tmp for one test, removed with its contents at the end.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/morvex-test-XXXXXX";
    mPath = mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return mPath; }
  std::string operator/(const std::string& name) const { return mPath + "/" + name; }

  // Writes bytes to a file in the folder (making the folders on its way) and
  // returns its path.
  template <typename Bytes>
  std::string write(const std::string& name, const Bytes& bytes) const {
    const std::string file = *this / name;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return file;
  }

  // Names in the folder (hidden ones too), sorted.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(mPath.c_str())) {
      while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string mPath;
};

}  // namespace test_support
