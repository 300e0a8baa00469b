#include "solver/LastSolve.h"

#include <optional>
#include <utility>

namespace kav {
namespace {

struct Record {
    const Workspace* ws = nullptr;
    uint64_t revision = 0;
    SolveStatus status;
    std::shared_ptr<const Workspace> asSolved;
};

std::optional<Record>& TheRecord() {
    static std::optional<Record> record;
    return record;
}

}  // namespace

void RecordLastSolve(const Workspace& ws, const SolveStatus& status,
                     std::shared_ptr<const Workspace> asSolved) {
    TheRecord() = Record{&ws, ws.Revision, status, std::move(asSolved)};
}

namespace {
const Record* CurrentRecord(const Workspace& ws) {
    const std::optional<Record>& record = TheRecord();
    if (!record || record->ws != &ws || record->revision != ws.Revision)
        return nullptr;
    return &*record;
}
}  // namespace

const SolveStatus* LastSolve(const Workspace& ws) {
    const Record* record = CurrentRecord(ws);
    return record ? &record->status : nullptr;
}

const Workspace* ProblemAsSolved(const Workspace& ws) {
    const Record* record = CurrentRecord(ws);
    return record ? record->asSolved.get() : nullptr;
}

void ForgetLastSolve() {
    TheRecord().reset();
}

}  // namespace kav
