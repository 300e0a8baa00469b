#include "generator/GenRand4.h"

namespace kav {

GenerateResult GenerateProblem(Workspace&, int32_t, int32_t, const std::string&) { return {}; }
int32_t DrawBelow(int32_t) { return 0; }

}  // namespace kav
