#pragma once

#include <string>

// Paths as the file system sees them rather than by spelling. [any thread]

// The path a chain of symbolic links ends at (relative targets taken from the
// folder of the link); the path itself when it is no link. The end need not
// exist. False, with errno ELOOP, when the chain loops.
bool FollowLinks(const std::string& path, std::string* end);

// The folder part of a path with its trailing slash ("" for a bare name).
std::string FolderOf(const std::string& path);
