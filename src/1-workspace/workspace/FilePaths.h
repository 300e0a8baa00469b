#pragma once

#include <functional>
#include <string>

namespace kav {

// The name a chain of symbolic links finally leads to, followed link by link,
// also when the last one points to a file that does not exist yet. A name that
// is no symbolic link comes back as it is. With stopAt, the chain ends early
// at the first name (the given one included) for which stopAt is true.
std::string FollowSymbolicLinks(const std::string& name,
                                const std::function<bool(const std::string&)>& stopAt = {});

// True when two names are one file: the same device and inode where both
// exist, otherwise the same path once symbolic links, "." and ".." are
// resolved (so "./P.LIN" and "P.LIN" are one file before either exists).
bool SameFile(const std::string& first, const std::string& second);

}  // namespace kav
