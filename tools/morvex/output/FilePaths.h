#pragma once

#include <string>

#include "framework/base/PathLinks.h"

// Questions about paths that a user names, answered the way the file system
// sees them rather than by spelling.

// The path a chain of symbolic links ends at (relative targets taken from the
// folder of the link); `path` itself when it is no link. The end need not
// exist. Throws ToolError when the chain loops.
std::string FollowLinks(const std::string& path);

// True when both paths name the same file: the same inode when it exists, or
// the same name in the same folder when it does not yet.
bool SameFile(const std::string& a, const std::string& b);
