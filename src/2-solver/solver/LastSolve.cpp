#include "solver/LastSolve.h"

#include <optional>

namespace kav {
namespace {

struct Record {
    const Workspace* ws = nullptr;
    uint64_t revision = 0;
    SolveStatus status;
};

std::optional<Record>& TheRecord() {
    static std::optional<Record> record;
    return record;
}

}  // namespace

void RecordLastSolve(const Workspace& ws, const SolveStatus& status) {
    TheRecord() = Record{&ws, ws.Revision, status};
}

const SolveStatus* LastSolve(const Workspace& ws) {
    const std::optional<Record>& record = TheRecord();
    if (!record || record->ws != &ws || record->revision != ws.Revision)
        return nullptr;
    return &record->status;
}

void ForgetLastSolve() {
    TheRecord().reset();
}

}  // namespace kav
