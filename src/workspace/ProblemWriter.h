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
class ReplacementFile {
  public:
    explicit ReplacementFile(std::string target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Writes and syncs the temporary file; false on any error (the target is
    // then untouched).
    bool Write(const std::string& contents);
    // Puts the written file in the target's place.
    bool Commit();
    // The system error number of the first step that failed, 0 when none did.
    int Error() const { return error_; }

  private:
    bool PrepareTarget(unsigned& mode);
    bool Fail(int errorNumber);
    void Discard();

    std::string target_;
    std::string temporary_;
    bool committed_ = false;
    int error_ = 0;
};

}  // namespace kav
