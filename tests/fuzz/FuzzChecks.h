#pragma once

// What the file readers' fuzzers hold every input to, besides the sanitizers.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "workspace/Workspace.h"

inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

// A problem that loaded keeps the Workspace's invariants.
inline void CheckLoadedProblem(const kav::Workspace& ws) {
    Require(ws.LinkCount >= 0 && ws.LinkCount <= kav::MaxLinks);
    Require(ws.NodeCount >= 0 && ws.NodeCount <= kav::MaxNodes);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        Require(ws.LinkOrigin[k] >= 1 && ws.LinkOrigin[k] <= ws.NodeCount);
        Require(ws.LinkDest[k] >= 1 && ws.LinkDest[k] <= ws.NodeCount);
    }
    for (int32_t k = 1; k <= ws.NodeCount; ++k) {
        const std::string& name = ws.NodeName[k];
        Require(name.size() <= kav::MaxNameLength);
        Require(name.find_first_of("\r\n\x1A") == std::string::npos);
    }
}
