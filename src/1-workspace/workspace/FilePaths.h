#pragma once

#include <string>

namespace kav {

// The name a chain of symbolic links finally leads to, followed link by link,
// also when the last one points to a file that does not exist yet. A name that
// is no symbolic link comes back as it is.
std::string FollowSymbolicLinks(const std::string& name);

// True when two names are one file: the same device and inode where both
// exist, otherwise the same path once symbolic links, "." and ".." are
// resolved (so "./P.LIN" and "P.LIN" are one file before either exists).
bool SameFile(const std::string& first, const std::string& second);

}  // namespace kav
