#pragma once

#include "support/ProblemBuilder.h"

// Three nodes at potential 0 and zero-cost links 0..5 with flows 0, 2, 5 and
// 7: at the lower bound, between, at the upper bound and out of kilter; link 5
// is fixed at 3 (lower = upper = flow), which counts as at the upper bound.
inline void FillLinksAtEveryState(kav::Workspace& ws) {
    ProblemBuilder(ws)
        .Node("Alpha")
        .Node("Beta")
        .Node("Gamma")
        .Link(1, 2, 0, 5, 0, 0)
        .Link(1, 2, 0, 5, 0, 2)
        .Link(2, 1, 0, 5, 0, 5)
        .Link(2, 3, 0, 5, 0, 7)
        .Link(3, 1, 3, 3, 0, 3);
}

// A ring of count nodes with a chord from every node to the one three on:
// node 5 reaches 6 and 8 and is reached from 4 and 2.
inline void FillRing(kav::Workspace& ws, int count) {
    ProblemBuilder builder(ws);
    builder.Nodes(count);
    for (int32_t n = 1; n <= count; ++n) {
        builder.Link(n, n % count + 1, 0, 10, 1);
        builder.Link(n, (n + 2) % count + 1, 0, 10, 1);
    }
}
