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

// Why a write failed.
enum class WriteFailure {
    None,           // it did not: every file was written
    System,         // the system refused: SystemError is its error number
    SameFile,       // two of its names are one file
    ProtectedFile,  // a name is one of the files it must not write over
    NoReader,       // a named pipe that no program is reading
};

// How a write ended: true when every file was written; otherwise why the first
// failure happened, the file it concerns, and the state of every file.
struct WriteResult {
    WriteFailure Failure = WriteFailure::None;
    int SystemError = 0;
    std::string File;
    std::vector<std::pair<std::string, FileState>> States;
    explicit operator bool() const { return Failure == WriteFailure::None; }
    // The reason in words: the system's message for its error number, or what
    // the refusal means.
    std::string Reason() const;
    // "[file]: reason", or for a refused name why it was refused.
    std::string FailureText() const;
    // True when some file may hold neither its old nor its new text.
    bool AnyPartial() const;
};

// What a write does with a named pipe that no program is reading yet: the
// windows must not hang until one comes, a shell user expects the program to
// wait like any other.
enum class PipeWithoutReader { Refuse, Wait };

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
// so are two names of one file. A named pipe nobody reads is refused
// (NoReader) or waited for, as `pipes` says; once a reader is there the
// writes wait for it as they would for any pipe.
WriteResult WriteFiles(const std::vector<FileWrite>& files,
                       const std::vector<std::string>& protectedFiles = {},
                       PipeWithoutReader pipes = PipeWithoutReader::Refuse);

// One file: WriteFiles({{target, contents}}, protectedFiles, pipes).
WriteResult WriteFile(const std::string& target, const std::string& contents,
                      const std::vector<std::string>& protectedFiles = {},
                      PipeWithoutReader pipes = PipeWithoutReader::Refuse);

// A file the user named, written as it is produced, for outputs too large to
// hold whole (a solve's trace). The same rules as WriteFile:
//
// - A regular file is written to a short temporary name in its folder and
//   renamed over the old one only when Finish has it complete and on disk,
//   keeping the old file's mode, owner and group. A file with several hard
//   links is streamed into a temporary copy all the same, which Finish then
//   copies into the file in place (after reserving its room), so that every
//   name shows the new text and the old one stays whole until the text is
//   complete. Where no temporary file can be made, or the owner or group
//   would change, Open fails and the file is left as it was.
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
    WriteResult Open(const std::string& name, const std::vector<std::string>& protectedFiles = {},
                     PipeWithoutReader pipes = PipeWithoutReader::Refuse);
    // Adds text (buffered). False once any write has failed; Finish reports it.
    bool Write(const std::string& text);
    bool Failed() const { return failure_ != WriteFailure::None; }
    // Writes what is buffered and puts the file in place.
    WriteResult Finish();

  private:
    bool Flush();
    void Abandon();
    WriteResult Result(FileState state) const;
    WriteResult CopyIntoTarget();
    // Notes the first failure; the later ones follow from it.
    void Break(int errorNumber, WriteFailure failure = WriteFailure::System);

    std::string name_;
    std::string target_;
    std::string temporary_;
    std::string buffer_;
    int fd_ = -1;
    bool truncate_ = false;
    bool regular_ = false;
    bool copyBack_ = false;
    int64_t written_ = 0;
    WriteFailure failure_ = WriteFailure::None;
    int error_ = 0;
};

// The files a Workspace names (node and link file, or its DIMACS file).
std::vector<std::string> FileNamesOf(const Workspace& ws);

// The one decision whether writing `name` would go over one of
// `protectedFiles`: the same file, or the same path once links are followed.
// A protected "-" is the problem read from standard input: the regular file
// standard input reads, if it is one (same device and inode). The name "-"
// (standard output) is never protected.
bool IsProtectedFile(const std::string& name, const std::vector<std::string>& protectedFiles);

// The text shown when an output would go over a file of the problem.
std::string ProtectedFileText(const std::string& name);

}  // namespace kav
