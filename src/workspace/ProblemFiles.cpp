#include "workspace/ProblemFiles.h"

// Placeholder bodies: the reader and writer are built in their own change.
namespace kav {

LoadOutcome LoadProblem(Workspace&, Prompts&) { return LoadOutcome::Cancelled; }
SaveOutcome SaveProblem(Workspace&, Prompts&) { return SaveOutcome::Cancelled; }
LoadOutcome ReadProblem(Workspace&, Prompts&, const std::string&, const std::string&) {
    return LoadOutcome::Failed;
}
bool WriteProblemFiles(const Workspace&, const std::string&, const std::string&, int) {
    return false;
}
std::string DeriveLinkFileName(const std::string& nodeFileName) {
    if (nodeFileName.size() < 3) return "LIN";
    return nodeFileName.substr(0, nodeFileName.size() - 3) + "LIN";
}

}  // namespace kav
