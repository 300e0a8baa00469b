#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// The decimal text of value right-aligned in a field `width` characters wide;
// a text that fills the field or more gets a single blank in front instead, so
// that two numbers never touch.
std::string FormatNumberField(int32_t value, int width);

// The whole link file: the header LinkCount, NodeCount, 0, 0, 0, then one line
// per link (origin, destination, lower, upper, cost), each line ending CR LF.
std::string FormatLinkFile(const Workspace& ws, int width);

// The whole node file: every name as stored, each followed by CR LF.
std::string FormatNodeFile(const Workspace& ws);

// How one file of a write was left.
enum class FileState {
    Old,      // untouched: it holds what it held before (or still does not exist)
    New,      // it holds the new text
    Partial,  // written in place and stopped part-way: it may hold neither text
};

// What WriteFiles reports when two of its names are one file, and when a name
// is one of the files it must not write over; no system error number is
// negative.
constexpr int SameFileError = -1;
constexpr int ProtectedFileError = -2;

// How a write ended: true when every file was written; otherwise the error
// number of the first failure (a system error number, SameFileError or
// ProtectedFileError), the file it concerns, and the state of every file.
struct WriteResult {
    int Error = 0;
    std::string File;
    std::vector<std::pair<std::string, FileState>> States;
    explicit operator bool() const { return Error == 0; }
    // The reason in words: the system's message for the error number.
    std::string Reason() const;
    // "[file]: reason", or for a refused name why it was refused.
    std::string FailureText() const;
    // True when some file may hold neither its old nor its new text.
    bool AnyPartial() const;
};

// One file of a write: the name the user gave and its whole new text.
struct FileWrite {
    std::string name;
    std::string contents;
};

// The one way a file the user named is written; every output of the program
// goes through here.
//
// - A regular file (after following symbolic links) is written to a short
//   temporary name in its folder and renamed over the old one once it is
//   complete and on disk. The replacement keeps the old file's mode, owner and
//   group. Where that is not possible (no temporary file can be made, no room
//   for a second copy, the file has several hard links, or its owner or group
//   would change), the existing file is written in place, but only after the
//   room for its new text was reserved; a file that cannot be reserved is left
//   as it was.
// - A name for an open descriptor (/dev/stdout, /dev/stderr, /dev/fd/N,
//   /proc/self/fd/N), anything under /dev or /proc, and a target that is not a
//   regular file (a device, a named pipe) is written to as it is, never
//   replaced or renamed; a descriptor is written through the program's own, so
//   a redirection that appends keeps appending.
// - "-" is standard output.
//
// All files are prepared (temporary files written, in-place files opened and
// reserved) before any is committed, so a failure before the commits leaves
// every file as it was. A name that is one of `protectedFiles` (the same file,
// or the same path once links are followed) is refused with nothing written;
// so are two names of one file.
WriteResult WriteFiles(const std::vector<FileWrite>& files,
                       const std::vector<std::string>& protectedFiles = {});

// One file: WriteFiles({{target, contents}}, protectedFiles).
WriteResult WriteFile(const std::string& target, const std::string& contents,
                      const std::vector<std::string>& protectedFiles = {});

// A file the user named, written as it is produced, for outputs too large to
// hold whole (a solve's trace). The same rules as WriteFile:
//
// - A regular file is written to a short temporary name in its folder and
//   renamed over the old one only when Finish has it complete and on disk,
//   keeping the old file's mode, owner and group. Where that is not possible
//   (no temporary file can be made, the file has several hard links, or its
//   owner or group would change) Open fails and the file is left as it was:
//   text of unknown length cannot be reserved ahead for writing in place.
// - Descriptors, anything under /dev or /proc, devices and named pipes are
//   written to as they are, as the text comes; "-" is standard output.
// - A name that is one of `protectedFiles` is refused with nothing written.
class StreamedFile {
  public:
    StreamedFile();
    // An unfinished file is abandoned: a regular file keeps its old text.
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    // Gets the file ready for writing; on failure nothing has changed.
    WriteResult Open(const std::string& name, const std::vector<std::string>& protectedFiles = {});
    // Adds text (buffered). False once any write has failed; Finish reports it.
    bool Write(const std::string& text);
    bool Failed() const { return error_ != 0; }
    // Writes what is buffered and puts the file in place.
    WriteResult Finish();

  private:
    bool Flush();
    void Abandon();
    WriteResult Result(FileState state) const;

    std::string name_;
    std::string target_;
    std::string temporary_;
    std::string buffer_;
    int fd_ = -1;
    bool truncate_ = false;
    bool regular_ = false;
    int64_t written_ = 0;
    int error_ = 0;
};

// The files of the problem in memory (node, link or DIMACS file): an output
// is never written over them.
std::vector<std::string> ProblemFilesOf(const Workspace& ws);

// True when `name` is one of `files` (same file, or same path once links are
// followed).
bool IsOneOfFiles(const std::string& name, const std::vector<std::string>& files);

// The text shown when an output would go over a file of the problem.
std::string ProtectedFileText(const std::string& name);

}  // namespace kav
