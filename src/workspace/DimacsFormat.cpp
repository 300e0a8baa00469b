#include "workspace/DimacsFormat.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "workspace/NumberFormat.h"

namespace kav {
namespace {

// Why reading stopped, and on which line.
struct DimacsFault {
    int64_t line = 0;
    std::string reason;
};

// The words of one line, split at blanks and tabs.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

// A decimal integer with an optional sign; false for anything else.
bool ParseWide(const std::string& word, int64_t& value, bool& tooLarge) {
    tooLarge = false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return false;
    }
    if (first == last || (*first == '-' && first + 1 == last))
        return false;
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range) {
        tooLarge = true;
        return false;
    }
    return error == std::errc();
}

constexpr const char* RangeText = "a whole number from -2147483648 to 2147483647";

// A problem read so far, kept apart from the Workspace until it is complete.
class DimacsProblem {
  public:
    bool ReadLine(const std::string& line, int64_t lineNumber) {
        line_ = lineNumber;
        const std::vector<std::string> words = Words(line);
        if (words.empty())
            return true;
        const std::string& type = words[0];
        if (type == "c")
            return ReadComment(line, words);
        if (type == "p")
            return ReadProblemLine(words);
        if (type == "n" || type == "a") {
            if (!headerRead_)
                return Fail("a problem line \"p min NODES ARCS\" before any \"" + type + "\" line");
            return type == "n" ? ReadNodeLine(words) : ReadArcLine(words);
        }
        return Fail("a line of type c, p, n or a, not \"" + type + "\"");
    }

    bool Finish(int64_t lastLine) {
        line_ = lastLine;
        if (!headerRead_)
            return Fail("a problem line \"p min NODES ARCS\"; the file has none");
        if (static_cast<int64_t>(arcs_.size()) != arcCount_)
            return Fail("arc " + std::to_string(arcs_.size() + 1) + " of " +
                        std::to_string(arcCount_) + "; the file ends");
        for (const auto& [node, name] : names_) {
            if (node.first < 1 || node.first > nodeCount_) {
                line_ = node.second;
                return Fail("a node number between 1 and " + std::to_string(nodeCount_));
            }
        }
        if (supplySum_ != 0) {
            line_ = lastSupplyLine_;
            return Fail("supplies that sum to 0; they sum to " + std::to_string(supplySum_));
        }
        int32_t supplyLinks = 0;
        for (int32_t node = 1; node <= nodeCount_; ++node)
            supplyLinks += supply_[static_cast<std::size_t>(node)] != 0 ? 1 : 0;
        const int64_t links = arcCount_ + supplyLinks;
        const int64_t nodes = nodeCount_ + (supplyLinks > 0 ? 1 : 0);
        line_ = headerLine_;
        if (links > MaxLinks)
            return Fail("at most " + std::to_string(MaxLinks) + " links; with the " +
                        SupplyNodeName + " node's links the problem has " + std::to_string(links));
        if (nodes > MaxNodes)
            return Fail("at most " + std::to_string(MaxNodes) + " nodes; with the " +
                        SupplyNodeName + " node the problem has " + std::to_string(nodes));
        return true;
    }

    // Replaces the Workspace's problem with the one read.
    void Store(Workspace& ws) const {
        for (int32_t node = 1; node <= nodeCount_; ++node)
            ws.NodeName[node] = std::to_string(node);
        for (const auto& [node, name] : names_)
            ws.NodeName[static_cast<int32_t>(node.first)] = name;
        int32_t link = 0;
        for (const LinkData& arc : arcs_)
            SetLink(ws, ++link, arc);
        int32_t nodeCount = nodeCount_;
        const int32_t supplyNode = nodeCount_ + 1;
        for (int32_t node = 1; node <= nodeCount_; ++node) {
            const int32_t b = supply_[static_cast<std::size_t>(node)];
            if (b > 0)
                SetLink(ws, ++link, LinkData{supplyNode, node, b, b, 0});
            else if (b < 0)
                SetLink(ws, ++link, LinkData{node, supplyNode, -b, -b, 0});
            if (b != 0)
                nodeCount = supplyNode;
        }
        if (nodeCount == supplyNode)
            ws.NodeName[supplyNode] = SupplyNodeName;
        ws.LinkCount = link;
        ws.NodeCount = nodeCount;
    }

    const DimacsFault& Fault() const { return fault_; }

  private:
    bool Fail(const std::string& expected) {
        fault_ = {line_, "expected " + expected};
        return false;
    }

    bool Number(const std::string& word, int32_t& value) {
        int64_t wide = 0;
        bool tooLarge = false;
        if (!ParseWide(word, wide, tooLarge) || wide < INT32_MIN || wide > INT32_MAX)
            return Fail(std::string(RangeText) + ", not \"" + word + "\"");
        value = static_cast<int32_t>(wide);
        return true;
    }

    bool Node(const std::string& word, int32_t& node) {
        if (!Number(word, node))
            return false;
        if (!NodeInRange(node, nodeCount_))
            return Fail("a node number between 1 and " + std::to_string(nodeCount_) + ", not " +
                        word);
        return true;
    }

    bool FieldCount(const std::vector<std::string>& words, std::size_t count, const char* form) {
        if (words.size() != count)
            return Fail(std::string("\"") + form + "\"");
        return true;
    }

    // "c name ID NAME" names a node (the rest of the line after one blank,
    // cut to the longest name); every other comment is skipped. A CR or
    // Ctrl-Z inside the name becomes a blank: a node file would read it as the
    // end of the line or of the file, and a save would lose the names after it.
    bool ReadComment(const std::string& line, const std::vector<std::string>& words) {
        int64_t node = 0;
        bool tooLarge = false;
        if (words.size() < 3 || words[1] != "name" || !ParseWide(words[2], node, tooLarge))
            return true;
        std::size_t at = line.find(words[2], line.find("name") + 4) + words[2].size();
        if (at < line.size())
            ++at;
        std::string name = line.substr(at, MaxNameLength);
        for (char& c : name) {
            if (c == '\r' || c == '\x1a')
                c = ' ';
        }
        names_[{node, line_}] = std::move(name);
        return true;
    }

    bool ReadProblemLine(const std::vector<std::string>& words) {
        if (headerRead_)
            return Fail("one problem line only");
        if (!FieldCount(words, 4, "p min NODES ARCS") || words[1] != "min")
            return Fail("\"p min NODES ARCS\"");
        if (!Number(words[2], nodeCount_) || !Number(words[3], arcCount_))
            return false;
        if (nodeCount_ < 0 || arcCount_ < 0)
            return Fail("counts of 0 or more");
        if (nodeCount_ > MaxNodes)
            return Fail("at most " + std::to_string(MaxNodes) + " nodes, not " + words[2]);
        if (arcCount_ > MaxLinks)
            return Fail("at most " + std::to_string(MaxLinks) + " links, not " + words[3]);
        headerRead_ = true;
        headerLine_ = line_;
        supply_.assign(static_cast<std::size_t>(nodeCount_) + 1, 0);
        supplied_.assign(static_cast<std::size_t>(nodeCount_) + 1, false);
        arcs_.reserve(static_cast<std::size_t>(arcCount_));
        return true;
    }

    bool ReadNodeLine(const std::vector<std::string>& words) {
        int32_t node = 0;
        int32_t supply = 0;
        if (!FieldCount(words, 3, "n ID SUPPLY") || !Node(words[1], node) ||
            !Number(words[2], supply))
            return false;
        // A demand becomes the bounds of a link, which must fit in 32 bits.
        if (supply == INT32_MIN)
            return Fail("a demand of at most 2147483647");
        const std::size_t at = static_cast<std::size_t>(node);
        if (supplied_[at])
            return Fail("one supply line for node " + words[1]);
        supplied_[at] = true;
        supply_[at] = supply;
        supplySum_ += supply;
        lastSupplyLine_ = line_;
        return true;
    }

    bool ReadArcLine(const std::vector<std::string>& words) {
        LinkData arc;
        if (!FieldCount(words, 6, "a FROM TO LOW CAP COST") || !Node(words[1], arc.Origin) ||
            !Node(words[2], arc.Dest) || !Number(words[3], arc.Lower) ||
            !Number(words[4], arc.Upper) || !Number(words[5], arc.Cost))
            return false;
        if (static_cast<int64_t>(arcs_.size()) == arcCount_)
            return Fail("no more than " + std::to_string(arcCount_) + " arcs");
        arcs_.push_back(arc);
        return true;
    }

    int64_t line_ = 0;
    DimacsFault fault_;
    bool headerRead_ = false;
    int64_t headerLine_ = 0;
    int32_t nodeCount_ = 0;
    int32_t arcCount_ = 0;
    std::vector<int32_t> supply_;
    std::vector<bool> supplied_;
    int64_t supplySum_ = 0;
    int64_t lastSupplyLine_ = 0;
    std::vector<LinkData> arcs_;
    // Names by node number and the line that gave them (for its message).
    std::map<std::pair<int64_t, int64_t>, std::string> names_;
};

LoadOutcome Refuse(Prompts& prompts, const std::string& fileName, const std::string& why) {
    prompts.Message(MsgKind::Warning, MsgButtons::Ok,
                    "Cannot read the DIMACS file [" + fileName + "]\r" + why +
                        "\rThe problem in memory is unchanged.");
    prompts.Beep(BeepFileError);
    return LoadOutcome::Refused;
}

// Reads line by line, so that a file is never held in memory as a whole.
LoadOutcome ReadDimacsLines(Workspace& ws, Prompts& prompts, std::istream& lines,
                            const std::string& fileName) {
    DimacsProblem problem;
    std::string line;
    int64_t lineNumber = 0;
    bool ok = true;
    while (ok && std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ok = problem.ReadLine(line, lineNumber);
    }
    if (lines.bad())
        return Refuse(prompts, fileName, "the file could not be read");
    if (ok)
        ok = problem.Finish(lineNumber);
    if (!ok) {
        const DimacsFault& fault = problem.Fault();
        return Refuse(prompts, fileName,
                      "line " + std::to_string(fault.line) + ": " + fault.reason);
    }
    problem.Store(ws);
    ws.NodeFileName = fileName;
    ws.LinkFileName.clear();
    NoteLoaded(ws);
    return LoadOutcome::Loaded;
}

}  // namespace

LoadOutcome ReadDimacsText(Workspace& ws, Prompts& prompts, const std::string& text,
                           const std::string& fileName) {
    std::istringstream lines(text);
    return ReadDimacsLines(ws, prompts, lines, fileName);
}

LoadOutcome ReadDimacsFile(Workspace& ws, Prompts& prompts, const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return Refuse(prompts, fileName, "the file could not be read");
    return ReadDimacsLines(ws, prompts, file, fileName);
}

std::string FormatDimacsProblem(const Workspace& ws) {
    std::string text = "c minimum-cost circulation, " + std::to_string(ws.NodeCount) + " nodes, " +
                       std::to_string(ws.LinkCount) + " links\n";
    text += "p min " + std::to_string(ws.NodeCount) + " " + std::to_string(ws.LinkCount) + "\n";
    for (int32_t node = 1; node <= ws.NodeCount; ++node)
        text += "c name " + std::to_string(node) + " " + ws.NodeName[node] + "\n";
    for (int32_t link = 1; link <= ws.LinkCount; ++link) {
        const LinkData data = GetLink(ws, link);
        text += "a " + std::to_string(data.Origin) + " " + std::to_string(data.Dest) + " " +
                std::to_string(data.Lower) + " " + std::to_string(data.Upper) + " " +
                std::to_string(data.Cost) + "\n";
    }
    return text;
}

std::string ExactTotalCost(const Workspace& ws) {
    __int128 sum = 0;
    for (int32_t link = 1; link <= ws.LinkCount; ++link)
        sum += static_cast<int64_t>(ws.LinkCost[link]) * ws.LinkFlow[link];
    return WideDecimal(sum);
}

std::string FormatDimacsSolution(const Workspace& ws) {
    std::string text = "s " + ExactTotalCost(ws) + "\n";
    for (int32_t link = 1; link <= ws.LinkCount; ++link)
        text += "f " + std::to_string(ws.LinkOrigin[link]) + " " +
                std::to_string(ws.LinkDest[link]) + " " + std::to_string(ws.LinkFlow[link]) + "\n";
    return text;
}

bool IsDimacsFileName(const std::string& fileName) {
    if (fileName.size() < 4)
        return false;
    std::string end = fileName.substr(fileName.size() - 4);
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".min";
}

}  // namespace kav
