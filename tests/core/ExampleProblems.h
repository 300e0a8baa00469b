#pragma once

// Small problems that several test files use, each with the result that makes
// it worth using.

#include <string>

#include "support/ProblemBuilder.h"

// Nodes A, B and C; links A to B (0..10, cost 5) and B to C (0..2147483647,
// cost -3). The builder is returned so that a test can add links.
inline ProblemBuilder SmallProblem(kav::Workspace& ws) {
    ProblemBuilder builder(ws);
    builder.Node("A").Node("B").Node("C").Link(1, 2, 0, 10, 5).Link(2, 3, 0, 2147483647, -3);
    return builder;
}

// The same problem as the texts of its node file and link file.
inline const std::string SmallNodeFile = "A\r\nB\r\nC\r\n";
inline const std::string SmallLinkFile = "2 3\r\n1 2 0 10 5\r\n2 3 0 2147483647 -3\r\n";

// Three nodes, four links; from zero flows and potentials the optimum has the
// flows 2, 2, 6, 4 and the potentials 0, 3, 2 (total cost 0).
inline void ThreeNodeExample(kav::Workspace& ws) {
    ProblemBuilder(ws)
        .Nodes(3)
        .Link(1, 2, 0, 10, 3)
        .Link(2, 3, 2, 10, 1)
        .Link(3, 1, 0, 10, -2)
        .Link(1, 3, 0, 4, 1);
}

// Nodes A to D that pass the pre-solve checks, yet 5 units must leave A and B
// through link 3 while at most 1 can come back: infeasible on link 3.
inline void InfeasibleExample(kav::Workspace& ws) {
    ProblemBuilder(ws)
        .Node("A")
        .Node("B")
        .Node("C")
        .Node("D")
        .Link(1, 2, 0, 10, 0)
        .Link(2, 1, 0, 10, 0)
        .Link(1, 3, 5, 5, 0)
        .Link(3, 4, 0, 10, 0)
        .Link(4, 3, 0, 10, 0)
        .Link(4, 2, 0, 1, 0);
}

// Link 1 must carry one unit from node 4 to node 1, which can only come round
// the chain 1 to 2 to 3 to 4 of three links costing `cost` each: at
// 1000000000 the potentials along it would have to pass 2147483647.
inline void CostlyChain(kav::Workspace& ws, int32_t cost) {
    ProblemBuilder builder(ws);
    builder.Nodes(4).Link(4, 1, 1, 1, 0);
    for (int32_t n = 1; n <= 3; ++n)
        builder.Link(n, n + 1, 0, 1, cost);
}
