// A write to the Workspace outside its operations, one case a switch. Each
// case is compiled twice: with WRITE, which the compiler must refuse, and
// reading the same member the same way, which must compile, so that the
// refusal is the write's and not some other error.
#include <algorithm>
#include <cstdint>

#include "solver/Session.h"

int64_t Planted(kav::Session& session, kav::Workspace& problem, const kav::Workspace& other) {
    kav::Workspace& ws = session.ws;
    int64_t seen = 0;
#if defined(ALIAS)
    kav::Workspace& w = session.ws;
#ifdef WRITE
    w.LinkCount = 0;
#else
    seen = w.LinkCount;
#endif
#elif defined(PARAMETER)
#ifdef WRITE
    problem.LinkFlow[1] = 3;
#else
    seen = problem.LinkFlow[1];
#endif
#elif defined(DATA)
#ifdef WRITE
    ws.LinkFlow.data()[1] = 3;
#else
    seen = ws.LinkFlow.data()[1];
#endif
#elif defined(FILL)
#ifdef WRITE
    std::fill(ws.LinkCost.begin(), ws.LinkCost.end(), 0);
#else
    seen = std::count(ws.LinkCost.begin(), ws.LinkCost.end(), 0);
#endif
#elif defined(FILL_DATA)
#ifdef WRITE
    std::fill(ws.NodePotential.data() + 1, ws.NodePotential.data() + ws.NodeCount + 1, 0);
#else
    seen = std::count(ws.NodePotential.data() + 1, ws.NodePotential.data() + ws.NodeCount + 1, 0);
#endif
#elif defined(FLAG)
#ifdef WRITE
    ws.DataNotSaved = false;
#else
    seen = ws.DataNotSaved == false;
#endif
#elif defined(INCREMENT)
#ifdef WRITE
    ++ws.Revision;
#else
    seen = ws.Revision + 1;
#endif
#elif defined(FILE_NAME)
#ifdef WRITE
    ws.NodeFileName.clear();
#else
    seen = ws.NodeFileName.empty();
#endif
#elif defined(NAME)
#ifdef WRITE
    ws.NodeName[1] += "x";
#else
    seen = (ws.NodeName[1] + "x").size();
#endif
#elif defined(MEMBER_COPY)
#ifdef WRITE
    ws.LinkCount = other.LinkCount;
#else
    seen = other.LinkCount;
#endif
#elif defined(WHOLE)
#ifdef WRITE
    problem = other;
#else
    kav::Workspace copy = other;
    seen = copy.LinkCount;
#endif
#endif
    return seen + problem.LinkCount + other.LinkCount;
}
