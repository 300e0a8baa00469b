#pragma once

#include "support/ProblemBuilder.h"

// A solved three-node problem: every link in kilter, total cost 0, reduced
// costs 0, 2, 0, -1. Name order is Alpha (2), Gamma (3), beta (1): upper case
// before lower case. Returns the builder, so that a test can add to the problem.
inline ProblemBuilder FillSolvedProblem(kav::Workspace& ws) {
    ProblemBuilder builder(ws);
    builder.Node("beta", 0).Node("Alpha", 3).Node("Gamma", 2);
    builder.Link(1, 2, 0, 10, 3, 2).Link(2, 3, 2, 10, 1, 2).Link(3, 1, 0, 10, -2, 6);
    builder.Link(1, 3, 0, 4, 1, 4);
    return builder;
}

// Its lines in the results lists.
inline constexpr char Link1[] =
    "   1        beta      Alpha     0        2      10         3            0";
inline constexpr char Link2[] =
    "   2       Alpha      Gamma     2        2      10         1            2";
inline constexpr char Link3[] =
    "   3       Gamma       beta     0        6      10        -2            0";
inline constexpr char Link4[] =
    "   4        beta      Gamma     0        4       4         1           -1";
inline constexpr char NodeBeta[] = "      beta              0";
inline constexpr char NodeAlpha[] = "     Alpha              3";
inline constexpr char NodeGamma[] = "     Gamma              2";
