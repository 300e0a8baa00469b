#include "workspace/ProblemWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <utility>
#include <vector>

#include "workspace/FilePaths.h"
#include "workspace/ProblemFiles.h"

namespace kav {
namespace {

const char* const LineEnd = "\r\n";

void AppendLine(std::string& out, std::initializer_list<int32_t> values, int width) {
    for (int32_t value : values)
        out += FormatNumberField(value, width);
    out += LineEnd;
}

bool WriteAll(int fd, const std::string& contents) {
    const char* next = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// The folder of a path, for syncing the rename to disk.
std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // best effort: the rename itself has already succeeded
    ::close(fd);
}

mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the new file the old one's owner and group; false where the system
// does not allow it (a user may not give a file away or pick a group of which
// they are no member).
bool KeepOwner(int fd, const struct stat& old) {
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return false;
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid)
        return true;
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

}  // namespace

std::string FormatNumberField(int32_t value, int width) {
    std::string text = std::to_string(value);
    const std::size_t fieldWidth = width > 0 ? static_cast<std::size_t>(width) : 0;
    if (text.size() >= fieldWidth)
        return " " + text;
    return std::string(fieldWidth - text.size(), ' ') + text;
}

std::string FormatLinkFile(const Workspace& ws, int width) {
    std::string out;
    out.reserve(static_cast<std::size_t>(ws.LinkCount + 1) * (5 * (width + 1) + 2));
    AppendLine(out, {ws.LinkCount, ws.NodeCount, 0, 0, 0}, width);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        AppendLine(
            out,
            {ws.LinkOrigin[k], ws.LinkDest[k], ws.LinkLower[k], ws.LinkUpper[k], ws.LinkCost[k]},
            width);
    }
    return out;
}

std::string FormatNodeFile(const Workspace& ws) {
    std::string out;
    for (int32_t k = 1; k <= ws.NodeCount; ++k) {
        out += ws.NodeName[k];
        out += LineEnd;
    }
    return out;
}

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {}

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Fail(int errorNumber) {
    if (error_ == 0)
        error_ = errorNumber != 0 ? errorNumber : EIO;
    return false;
}

bool ReplacementFile::Write(const std::string& contents) {
    if (target_.empty())
        return Fail(ENOENT);
    target_ = FollowSymbolicLinks(target_);
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return Fail(errno);
    // Refuse what could not be opened for writing: a folder, a device, a file
    // without write permission.
    if (exists && !S_ISREG(old.st_mode))
        return Fail(EISDIR);
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        return Fail(errno);
    if (exists && old.st_nlink > 1)
        return PrepareInPlace(contents);

    std::vector<char> name(target_.begin(), target_.end());
    for (char c : std::string(".XXXXXX"))
        name.push_back(c);
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return exists ? PrepareInPlace(contents) : Fail(errno);
    temporary_ = name.data();
    if (exists && !KeepOwner(fd, old)) {
        ::close(fd);
        Discard();
        return PrepareInPlace(contents);
    }
    const mode_t mode = exists ? old.st_mode & 07777 : DefaultFileMode();
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    if (!written)
        Fail(errno);
    if (::close(fd) != 0)
        Fail(errno);
    return error_ == 0;
}

// Opens the existing target for writing now, so that a file that cannot be
// written is found before anything is changed; the text goes in at Commit.
bool ReplacementFile::PrepareInPlace(const std::string& contents) {
    inPlaceFd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (inPlaceFd_ < 0)
        return Fail(errno);
    inPlaceContents_ = contents;
    return true;
}

// Overwrites from the start and only then cuts off what is left of a longer
// old text, so the file is never empty on the way.
bool ReplacementFile::CommitInPlace() {
    const off_t size = static_cast<off_t>(inPlaceContents_.size());
    const bool written = WriteAll(inPlaceFd_, inPlaceContents_) &&
                         ::ftruncate(inPlaceFd_, size) == 0 && ::fsync(inPlaceFd_) == 0;
    const int writeError = errno;
    const bool closed = ::close(inPlaceFd_) == 0;
    inPlaceFd_ = -1;
    if (!written || !closed)
        return Fail(written ? errno : writeError);
    committed_ = true;
    return true;
}

bool ReplacementFile::Commit() {
    if (inPlaceFd_ >= 0)
        return CommitInPlace();
    if (temporary_.empty())
        return Fail(ENOENT);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return Fail(errno);
    committed_ = true;
    SyncFolder(target_);
    return true;
}

void ReplacementFile::Discard() {
    if (inPlaceFd_ >= 0)
        ::close(inPlaceFd_);
    inPlaceFd_ = -1;
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

WriteResult WriteProblemFiles(const Workspace& ws, const std::string& nodeFile,
                              const std::string& linkFile, int fieldWidth) {
    // Writing the names over the links would lose the links without a word.
    if (SameFile(nodeFile, linkFile))
        return WriteResult{SameFileError};
    ReplacementFile links(linkFile);
    ReplacementFile nodes(nodeFile);
    const bool written = links.Write(FormatLinkFile(ws, fieldWidth)) &&
                         nodes.Write(FormatNodeFile(ws)) && links.Commit() && nodes.Commit();
    if (written)
        return WriteResult{};
    // A failed write always has an error number (ReplacementFile::Fail).
    return WriteResult{links.Error() != 0 ? links.Error() : nodes.Error()};
}

}  // namespace kav
