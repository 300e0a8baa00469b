#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "solver/SolveTrace.h"
#include "workspace/Workspace.h"

namespace kav {

// A step of a solve in plain words, with the problem's node names (bytes as
// the Workspace holds them). next, when not null, is the step after it: a
// link found out of kilter then says where its labelling starts.
std::string StepText(const Workspace& problem, const SolveEvent& event,
                     const SolveEvent* next = nullptr);

// "Step n of count, link k of linkCount" (k 0: before the first link).
std::string StepCounter(std::size_t n, std::size_t count, int32_t link, int32_t linkCount);

}  // namespace kav
