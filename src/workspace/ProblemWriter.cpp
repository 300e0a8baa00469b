#include "workspace/ProblemWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <utility>
#include <vector>

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

unsigned DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
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

// Follows a symbolic link to the file it names (so the link survives the
// rename) and refuses a target that could not be opened for writing: a folder,
// a device, a file without write permission. `mode` receives the permissions
// the new file gets: those of the old one, or the usual ones for a new file.
bool ReplacementFile::PrepareTarget(unsigned& mode) {
    std::error_code error;
    if (std::filesystem::is_symlink(target_, error)) {
        const auto resolved = std::filesystem::weakly_canonical(target_, error);
        if (error)
            return Fail(error.value());
        target_ = resolved.string();
    }
    struct stat info {};
    if (::stat(target_.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return Fail(errno);
        mode = DefaultFileMode();
        return true;
    }
    if (!S_ISREG(info.st_mode))
        return Fail(EISDIR);
    if (::access(target_.c_str(), W_OK) != 0)
        return Fail(errno);
    mode = info.st_mode & 07777;
    return true;
}

bool ReplacementFile::Fail(int errorNumber) {
    if (error_ == 0)
        error_ = errorNumber != 0 ? errorNumber : EIO;
    return false;
}

bool ReplacementFile::Write(const std::string& contents) {
    unsigned mode = 0;
    if (target_.empty())
        return Fail(ENOENT);
    if (!PrepareTarget(mode))
        return false;
    std::vector<char> name(target_.begin(), target_.end());
    for (char c : std::string(".XXXXXX"))
        name.push_back(c);
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return Fail(errno);
    temporary_ = name.data();
    const bool written =
        ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    if (!written)
        Fail(errno);
    if (::close(fd) != 0)
        Fail(errno);
    return error_ == 0;
}

bool ReplacementFile::Commit() {
    if (temporary_.empty())
        return Fail(ENOENT);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return Fail(errno);
    committed_ = true;
    SyncFolder(target_);
    return true;
}

void ReplacementFile::Discard() {
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool WriteProblemFiles(const Workspace& ws, const std::string& nodeFile,
                       const std::string& linkFile, int fieldWidth, int* errorNumber) {
    ReplacementFile links(linkFile);
    ReplacementFile nodes(nodeFile);
    const bool written = links.Write(FormatLinkFile(ws, fieldWidth)) &&
                         nodes.Write(FormatNodeFile(ws)) && links.Commit() && nodes.Commit();
    if (errorNumber)
        *errorNumber = written ? 0 : (links.Error() != 0 ? links.Error() : nodes.Error());
    return written;
}

}  // namespace kav
