#pragma once

#include <cstdint>
#include <string>

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

// A file written beside its target under a temporary name and renamed over the
// target only once it is complete and on disk, so that a failed save never
// destroys the last good copy. The temporary file is removed unless committed.
//
// The result is never worse than overwriting the target would have been: a
// symbolic link (even one whose file does not exist yet) is written through to
// its file; the replacement keeps the old file's mode, owner and group; and
// where no temporary file can be made beside the target, or where replacing it
// would change its owner or group or split its hard links, the existing file is
// written in place at Commit (its new text is held in memory until then).
class ReplacementFile {
  public:
    explicit ReplacementFile(std::string target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Writes and syncs the temporary file, or opens the target for writing in
    // place; false on any error (the target is then untouched).
    bool Write(const std::string& contents);
    // Puts the written file in the target's place, or writes the target in place.
    bool Commit();
    // The system error number of the first step that failed, 0 when none did.
    int Error() const { return error_; }

  private:
    bool PrepareInPlace(const std::string& contents);
    bool CommitInPlace();
    bool Fail(int errorNumber);
    void Discard();

    std::string target_;
    std::string temporary_;
    std::string inPlaceContents_;
    int inPlaceFd_ = -1;
    bool committed_ = false;
    int error_ = 0;
};

}  // namespace kav
