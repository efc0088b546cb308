#pragma once

#include <string>

namespace artwork {

// The names the artwork shows, as the build declares them.
struct Identity {
  std::string product;
  std::string maker;
  std::string version;
};

}  // namespace artwork
