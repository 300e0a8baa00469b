#include "workspace/ProblemWriter.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "workspace/FilePaths.h"
#include "workspace/ProblemFiles.h"
#include "workspace/TemporaryFiles.h"

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

// The umask as the kernel reports it, read without changing it; none where
// the line is missing (kernels before 4.7, no /proc).
std::optional<mode_t> UmaskFromProc() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) != 0)
            continue;
        const std::size_t start = line.find_first_not_of(" \t", 6);
        const std::string digits = start == std::string::npos ? "" : line.substr(start);
        if (digits.empty() || digits.size() > 4 ||
            digits.find_first_not_of("01234567") != std::string::npos)
            return std::nullopt;
        return static_cast<mode_t>(std::stoul(digits, nullptr, 8));
    }
    return std::nullopt;
}

// Reading the umask the old way means setting it: while it is 0, a file
// another thread makes would get the wrong mode. So that is done only where
// /proc cannot tell, and once, at static initialisation, before the program
// starts any thread.
mode_t UmaskBySettingIt() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
const mode_t UmaskAtStart = UmaskFromProc().value_or(UmaskBySettingIt());

mode_t DefaultFileMode() {
    return 0666 & ~UmaskFromProc().value_or(UmaskAtStart);
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

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The descriptor a name stands for (/dev/stdout, /dev/fd/3,
// /proc/self/fd/3, /proc/<this process>/fd/3), or -1.
int DescriptorOf(const std::string& name) {
    if (name == "/dev/stdout")
        return 1;
    if (name == "/dev/stderr")
        return 2;
    std::string number;
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string& prefix :
         {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own}) {
        if (StartsWith(name, prefix.c_str()))
            number = name.substr(prefix.size());
    }
    if (number.empty() || number.size() > 9 ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(number);
}

// Names of the system's own file systems: written to as they are, whatever
// they are (a /dev/null that became a regular file stays where it is).
bool IsSystemName(const std::string& name) {
    return StartsWith(name, "/dev/") || StartsWith(name, "/proc/") || StartsWith(name, "/sys/");
}

// Follows symbolic links, but stops at a name for an open descriptor:
// /dev/stdout leads to /proc/self/fd/1, whose "link" is the file the
// descriptor has open and must not be opened again.
std::string FollowToTarget(const std::string& name, int& descriptor) {
    descriptor = -1;
    return FollowSymbolicLinks(name, [&descriptor](const std::string& path) {
        descriptor = DescriptorOf(std::filesystem::path(path).lexically_normal().string());
        return descriptor >= 0;
    });
}

// How a name the user gave is to be written, found before anything is opened.
enum class Way {
    Descriptor,  // an open descriptor of the program's: written through a copy of it
    AsItIs,      // a device, a pipe or a name under the system's folders
    InPlace,     // a regular file with several hard links: only its own copy will do
    Replace,     // a regular file, or a new one: a temporary copy renamed over it
};

struct Destination {
    Way way = Way::Replace;
    int error = 0;          // nonzero: the name cannot be written (nothing was touched)
    std::string target;     // the name once symbolic links are followed
    int descriptor = -1;    // Descriptor
    bool exists = false;    // AsItIs, InPlace, Replace: something is there now
    bool truncate = false;  // AsItIs: a regular file, cut to the new length at the end
    struct stat old {};     // what is there now, where it exists
};

Destination FindDestination(const std::string& name) {
    Destination d;
    if (name.empty()) {
        d.error = ENOENT;
        return d;
    }
    if (name == "-") {
        d.way = Way::Descriptor;
        d.target = name;
        d.descriptor = STDOUT_FILENO;
        return d;
    }
    d.target = FollowToTarget(name, d.descriptor);
    if (d.descriptor >= 0) {
        d.way = Way::Descriptor;
        return d;
    }
    d.exists = ::stat(d.target.c_str(), &d.old) == 0;
    if (!d.exists && errno != ENOENT) {
        d.error = errno;
        return d;
    }
    if (d.exists && S_ISDIR(d.old.st_mode)) {
        d.error = EISDIR;
        return d;
    }
    if ((d.exists && !S_ISREG(d.old.st_mode)) || IsSystemName(d.target)) {
        d.way = Way::AsItIs;
        d.truncate = d.exists && S_ISREG(d.old.st_mode);
        return d;
    }
    if (d.exists && ::access(d.target.c_str(), W_OK) != 0) {
        d.error = errno;
        return d;
    }
    d.way = d.exists && d.old.st_nlink > 1 ? Way::InPlace : Way::Replace;
    return d;
}

bool IsNamedPipe(const Destination& d) {
    return d.exists && S_ISFIFO(d.old.st_mode);
}

// Opens a Descriptor or AsItIs destination for writing: a copy of the
// descriptor, or the target itself (made only where nothing is there yet);
// -1 with errno set when it cannot be. Opening a named pipe for writing waits
// for a reader; unless it is to wait, the pipe is opened without waiting
// (ENXIO: no reader) and then made to block, so that the writes wait for the
// reader as they would.
int OpenAsItIs(const Destination& d, PipeWithoutReader pipes) {
    if (d.way == Way::Descriptor)
        return ::fcntl(d.descriptor, F_DUPFD_CLOEXEC, 0);
    const bool noWait = IsNamedPipe(d) && pipes == PipeWithoutReader::Refuse;
    const int flags =
        O_WRONLY | O_CLOEXEC | (d.exists ? 0 : O_CREAT | O_EXCL) | (noWait ? O_NONBLOCK : 0);
    const int fd = ::open(d.target.c_str(), flags, DefaultFileMode());
    if (fd < 0 || !noWait)
        return fd;
    const int status = ::fcntl(fd, F_GETFL);
    if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Why OpenAsItIs failed with `error`.
WriteFailure OpenFailure(const Destination& d, int error) {
    return error == ENXIO && IsNamedPipe(d) ? WriteFailure::NoReader : WriteFailure::System;
}

// Closes a file being written and removes its temporary copy, if any.
void CloseAndRemoveTemporary(int& fd, std::string& temporary) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        ForgetTemporaryFile(temporary);
    }
    temporary.clear();
}

// A short name in the target's folder: a long file name must not fail only
// because the temporary name would pass the file system's limit.
std::string TemporaryPattern(const std::string& target) {
    return FolderOf(target) + "/.kav-XXXXXX";
}

// Whether an error means only that the disk (or the user's quota) is full.
bool OutOfRoom(int error) {
    return error == ENOSPC || error == EDQUOT;
}

// Makes sure `size` bytes can be written into the open file without running
// out of room or past the process's file-size limit; false (with errno set)
// when they cannot. Nothing visible changes: the size stays as it was.
bool Reserve(int fd, off_t size, off_t oldSize) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur) {
        errno = EFBIG;
        return false;
    }
    if (size == 0)
        return true;
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0)
        return true;
    // A file system that cannot reserve still takes a text no longer than
    // the old one into blocks the file already has.
    if ((errno == EOPNOTSUPP || errno == ENOSYS) && size <= oldSize)
        return true;
    return false;
}

// One file of a write.
class TargetFile {
  public:
    TargetFile(std::string name, PipeWithoutReader pipes) : name_(std::move(name)), pipes_(pipes) {}
    ~TargetFile() { Discard(); }
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    // Gets everything ready: a temporary file written and synced, an
    // existing file opened and reserved, or the descriptor or device opened.
    // False on any error; the target is then untouched.
    bool Prepare(const std::string& contents);
    // Puts the new text in the target's place.
    bool Commit();

    const std::string& Name() const { return name_; }
    WriteFailure Failure() const { return failure_; }
    int Error() const { return error_; }
    FileState State() const { return state_; }

  private:
    bool PrepareReplacement(const struct stat* old, const std::string& contents);
    bool PrepareInPlace(const std::string& contents);
    bool PrepareAsItIs(const Destination& d, const std::string& contents);
    bool Fail(int errorNumber, WriteFailure failure = WriteFailure::System) {
        if (failure_ == WriteFailure::None) {
            failure_ = failure;
            error_ = errorNumber != 0 ? errorNumber : EIO;
        }
        return false;
    }
    void Discard();

    enum class Mode { None, Replace, InPlace, AsItIs };
    std::string name_;
    PipeWithoutReader pipes_;
    std::string target_;
    std::string temporary_;
    std::string contents_;
    int fd_ = -1;
    Mode mode_ = Mode::None;
    bool truncate_ = false;
    FileState state_ = FileState::Old;
    WriteFailure failure_ = WriteFailure::None;
    int error_ = 0;
};

bool TargetFile::Prepare(const std::string& contents) {
    const Destination d = FindDestination(name_);
    if (d.error != 0)
        return Fail(d.error);
    target_ = d.target;
    switch (d.way) {
        case Way::Descriptor:
        case Way::AsItIs:
            // A regular file is cut to the new length at the commit, once the
            // text is ready.
            truncate_ = d.truncate;
            return PrepareAsItIs(d, contents);
        case Way::InPlace:
            return PrepareInPlace(contents);
        case Way::Replace:
            break;
    }
    return PrepareReplacement(d.exists ? &d.old : nullptr, contents);
}

bool TargetFile::PrepareAsItIs(const Destination& d, const std::string& contents) {
    const int fd = OpenAsItIs(d, pipes_);
    if (fd < 0) {
        const int error = errno;
        return Fail(error, OpenFailure(d, error));
    }
    fd_ = fd;
    mode_ = Mode::AsItIs;
    contents_ = contents;
    return true;
}

bool TargetFile::PrepareReplacement(const struct stat* old, const std::string& contents) {
    const int fd = MakeTemporaryFile(TemporaryPattern(target_), temporary_);
    if (fd < 0)
        return old != nullptr ? PrepareInPlace(contents) : Fail(errno);
    if (old != nullptr && !KeepOwner(fd, *old)) {
        ::close(fd);
        Discard();
        return PrepareInPlace(contents);
    }
    const mode_t mode = old != nullptr ? old->st_mode & 07777 : DefaultFileMode();
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, contents) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0) {
        mode_ = Mode::Replace;
        return true;
    }
    Discard();
    // No room for a second copy: the old file's own room may still do.
    if (old != nullptr && OutOfRoom(error))
        return PrepareInPlace(contents);
    return Fail(error);
}

// Opens the existing target and reserves the room for its new text now, so
// that a file that cannot take it is found before anything is changed.
bool TargetFile::PrepareInPlace(const std::string& contents) {
    const int fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 ||
        !Reserve(fd, static_cast<off_t>(contents.size()), info.st_size)) {
        const int error = errno;
        ::close(fd);
        return Fail(error);
    }
    fd_ = fd;
    mode_ = Mode::InPlace;
    contents_ = contents;
    return true;
}

bool TargetFile::Commit() {
    switch (mode_) {
        case Mode::Replace:
            if (::rename(temporary_.c_str(), target_.c_str()) != 0)
                return Fail(errno);
            ForgetTemporaryFile(temporary_);
            temporary_.clear();
            state_ = FileState::New;
            SyncFolder(target_);
            return true;
        case Mode::InPlace:
        case Mode::AsItIs: {
            struct stat info {};
            const bool regular = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
            const bool inPlace = mode_ == Mode::InPlace || truncate_;
            // Overwrites from the start and only then cuts off what is left of
            // a longer old text, so the file is never empty on the way.
            bool written = WriteAll(fd_, contents_);
            if (written && inPlace)
                written = ::ftruncate(fd_, static_cast<off_t>(contents_.size())) == 0;
            if (written && regular)
                written = ::fsync(fd_) == 0 || errno == EINVAL;
            int error = written ? 0 : errno;
            if (::close(fd_) != 0 && error == 0 && errno != EINTR)
                error = errno;
            fd_ = -1;
            if (error != 0) {
                state_ = FileState::Partial;
                return Fail(error);
            }
            state_ = FileState::New;
            return true;
        }
        case Mode::None:
            break;
    }
    return Fail(ENOENT);
}

void TargetFile::Discard() {
    CloseAndRemoveTemporary(fd_, temporary_);
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

std::string WriteResult::Reason() const {
    switch (Failure) {
        case WriteFailure::SameFile:
            return "the two names are one file";
        case WriteFailure::ProtectedFile:
            return "it is a file of the problem in memory";
        case WriteFailure::NoReader:
            return "it is a named pipe that nothing is reading";
        case WriteFailure::None:
        case WriteFailure::System:
            break;
    }
    return std::generic_category().message(SystemError);
}

std::string WriteResult::FailureText() const {
    if (Failure == WriteFailure::ProtectedFile)
        return ProtectedFileText(File);
    return "[" + File + "]: " + Reason();
}

bool WriteResult::AnyPartial() const {
    for (const auto& [name, state] : States) {
        if (state == FileState::Partial)
            return true;
    }
    return false;
}

std::string ProtectedFileText(const std::string& name) {
    return "File [" + name + "] holds the problem in memory... Choose another name.";
}

namespace {

// Whether name is the regular file standard input reads from.
bool IsStandardInputFile(const std::string& name) {
    struct stat input {};
    struct stat named {};
    return ::fstat(STDIN_FILENO, &input) == 0 && S_ISREG(input.st_mode) &&
           ::stat(name.c_str(), &named) == 0 && named.st_dev == input.st_dev &&
           named.st_ino == input.st_ino;
}

}  // namespace

bool IsProtectedFile(const std::string& name, const std::vector<std::string>& protectedFiles) {
    if (name == "-" || name.empty())
        return false;
    for (const std::string& file : protectedFiles) {
        // "-": a problem read from standard input.
        if (file == "-" ? IsStandardInputFile(name) : SameFile(name, file))
            return true;
    }
    return false;
}

std::vector<std::string> FileNamesOf(const Workspace& ws) {
    std::vector<std::string> files;
    for (const std::string& name : {ws.NodeFileName, ws.LinkFileName}) {
        if (!name.empty())
            files.push_back(name);
    }
    return files;
}

namespace {

WriteResult& Failed(WriteResult& result, const std::string& file, WriteFailure failure,
                    int systemError = 0) {
    result.Failure = failure;
    result.SystemError = systemError;
    result.File = file;
    return result;
}

WriteResult& Failed(WriteResult& result, const TargetFile& target) {
    return Failed(result, target.Name(), target.Failure(), target.Error());
}

}  // namespace

WriteResult WriteFiles(const std::vector<FileWrite>& files,
                       const std::vector<std::string>& protectedFiles, PipeWithoutReader pipes) {
    WriteResult result;
    for (const FileWrite& file : files)
        result.States.emplace_back(file.name, FileState::Old);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (IsProtectedFile(files[i].name, protectedFiles))
            return Failed(result, files[i].name, WriteFailure::ProtectedFile);
        for (std::size_t j = 0; j < i; ++j) {
            if (SameFile(files[i].name, files[j].name))
                return Failed(result, files[i].name, WriteFailure::SameFile);
        }
    }
    std::vector<std::unique_ptr<TargetFile>> targets;
    for (const FileWrite& file : files) {
        targets.push_back(std::make_unique<TargetFile>(file.name, pipes));
        // On failure every file is as it was; temporary files go.
        if (!targets.back()->Prepare(file.contents))
            return Failed(result, *targets.back());
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const bool committed = targets[i]->Commit();
        result.States[i].second = targets[i]->State();
        if (!committed)
            return Failed(result, *targets[i]);
    }
    return result;
}

WriteResult WriteFile(const std::string& target, const std::string& contents,
                      const std::vector<std::string>& protectedFiles, PipeWithoutReader pipes) {
    return WriteFiles({{target, contents}}, protectedFiles, pipes);
}

StreamedFile::StreamedFile() = default;

StreamedFile::~StreamedFile() {
    Abandon();
}

WriteResult StreamedFile::Result(FileState state) const {
    WriteResult result;
    result.Failure = failure_;
    result.SystemError = error_;
    result.File = name_;
    result.States.emplace_back(name_, state);
    return result;
}

void StreamedFile::Break(int errorNumber, WriteFailure failure) {
    if (failure_ != WriteFailure::None)
        return;
    failure_ = failure;
    error_ = errorNumber != 0 || failure != WriteFailure::System ? errorNumber : EIO;
}

WriteResult StreamedFile::Open(const std::string& name,
                               const std::vector<std::string>& protectedFiles,
                               PipeWithoutReader pipes) {
    Abandon();
    name_ = name;
    failure_ = WriteFailure::None;
    error_ = 0;
    written_ = 0;
    buffer_.clear();
    auto fail = [this](int errorNumber, WriteFailure failure = WriteFailure::System) {
        Break(errorNumber, failure);
        Abandon();
        return Result(FileState::Old);
    };
    if (IsProtectedFile(name, protectedFiles))
        return fail(0, WriteFailure::ProtectedFile);
    const Destination d = FindDestination(name);
    if (d.error != 0)
        return fail(d.error);
    target_ = d.target;
    switch (d.way) {
        case Way::Descriptor:
        case Way::AsItIs:
            // A regular file there is cut to the new length when it is finished.
            truncate_ = d.truncate;
            regular_ = d.truncate;
            fd_ = OpenAsItIs(d, pipes);
            if (fd_ < 0) {
                const int error = errno;
                return fail(error, OpenFailure(d, error));
            }
            return Result(FileState::Old);
        case Way::InPlace:
        case Way::Replace:
            break;
    }
    fd_ = MakeTemporaryFile(TemporaryPattern(target_), temporary_);
    if (fd_ < 0)
        return fail(errno);
    regular_ = true;
    // Another name of the file would lose its link by a rename: the finished
    // text is copied into the file instead.
    copyBack_ = d.way == Way::InPlace;
    if (copyBack_)
        return Result(FileState::Old);
    if (d.exists && !KeepOwner(fd_, d.old))
        return fail(EPERM);
    if (::fchmod(fd_, d.exists ? d.old.st_mode & 07777 : DefaultFileMode()) != 0)
        return fail(errno);
    return Result(FileState::Old);
}

bool StreamedFile::Write(const std::string& text) {
    if (Failed() || fd_ < 0)
        return false;
    buffer_ += text;
    return buffer_.size() < (std::size_t{1} << 16) || Flush();
}

bool StreamedFile::Flush() {
    if (Failed())
        return false;
    if (!WriteAll(fd_, buffer_)) {
        Break(errno);
        return false;
    }
    written_ += static_cast<int64_t>(buffer_.size());
    buffer_.clear();
    return true;
}

WriteResult StreamedFile::Finish() {
    if (fd_ < 0)
        Break(EBADF);
    bool done = !Failed() && Flush();
    if (done && truncate_)
        done = ::ftruncate(fd_, static_cast<off_t>(written_)) == 0;
    if (done && regular_)
        done = ::fsync(fd_) == 0 || errno == EINVAL;
    if (!done)
        Break(errno);
    if (fd_ >= 0 && ::close(fd_) != 0 && errno != EINTR)
        Break(errno);
    fd_ = -1;
    if (Failed()) {
        // A replacement never reached the target; anything else was written
        // as it came, and a write that failed (its text still buffered) may
        // have put part of it there.
        const bool touched = written_ > 0 || !buffer_.empty();
        const FileState state = temporary_.empty() && touched ? FileState::Partial : FileState::Old;
        Abandon();
        return Result(state);
    }
    if (copyBack_)
        return CopyIntoTarget();
    if (!temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            Break(errno);
            Abandon();
            return Result(FileState::Old);
        }
        ForgetTemporaryFile(temporary_);
        temporary_.clear();
        SyncFolder(target_);
    }
    return Result(FileState::New);
}

// The finished temporary copy is written over the target from the start, once
// the room for it is reserved; the old text stays whole until then.
WriteResult StreamedFile::CopyIntoTarget() {
    const int from = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    const int to = from < 0 ? -1 : ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat old {};
    bool started = false;
    bool done = to >= 0 && ::fstat(to, &old) == 0 && Reserve(to, written_, old.st_size);
    std::string block(std::size_t{1} << 16, '\0');
    while (done) {
        const ssize_t got = ::read(from, block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            done = got == 0;
            break;
        }
        started = true;
        done = WriteAll(to, block.substr(0, static_cast<std::size_t>(got)));
    }
    if (done)
        done = ::ftruncate(to, written_) == 0 && (::fsync(to) == 0 || errno == EINVAL);
    if (!done)
        Break(errno);
    for (const int fd : {from, to}) {
        if (fd >= 0)
            ::close(fd);
    }
    Abandon();
    if (Failed())
        return Result(started ? FileState::Partial : FileState::Old);
    return Result(FileState::New);
}

void StreamedFile::Abandon() {
    CloseAndRemoveTemporary(fd_, temporary_);
    truncate_ = false;
    regular_ = false;
    copyBack_ = false;
}

WriteResult WriteProblemFiles(const Workspace& ws, const std::string& nodeFile,
                              const std::string& linkFile, int fieldWidth) {
    return WriteFiles({{linkFile, FormatLinkFile(ws, fieldWidth)}, {nodeFile, FormatNodeFile(ws)}});
}

}  // namespace kav
