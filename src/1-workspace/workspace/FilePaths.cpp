#include "workspace/FilePaths.h"

#include <sys/stat.h>

#include <filesystem>

namespace kav {
namespace {

namespace fs = std::filesystem;

// The system gives up on a chain of links after 40 of them; so does this.
constexpr int MaxLinkHops = 40;

std::string ResolvedPath(const std::string& name) {
    std::error_code error;
    fs::path path = fs::absolute(FollowSymbolicLinks(name), error);
    if (error)
        return name;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return (error ? path.lexically_normal() : resolved).string();
}

}  // namespace

std::string FollowSymbolicLinks(const std::string& name,
                                const std::function<bool(const std::string&)>& stopAt) {
    fs::path path(name);
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        if (stopAt && stopAt(path.string()))
            break;
        std::error_code error;
        if (!fs::is_symlink(path, error))
            break;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path.string();
}

bool SameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty())
        return false;
    struct stat a {};
    struct stat b {};
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return ResolvedPath(first) == ResolvedPath(second);
}

}  // namespace kav
