#include "workspace/DimacsFormat.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <map>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "workspace/NumberFormat.h"
#include "workspace/TextEncoding.h"

namespace kav {
namespace {

// Why reading stopped, and on which line.
struct DimacsFault {
    int64_t line = 0;
    std::string reason;
};

// The longest line read; a longer one is refused with its number.
constexpr std::size_t MaxLineLength = 64 * 1024;

// At most `most` words of a line, split at blanks and tabs; a line with more
// gives most + 1, so that the caller sees there are too many.
std::vector<std::string> Words(const std::string& line, std::size_t most) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (words.size() <= most) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// A decimal integer: digits only, or (where `signed` allows) with one
// leading + or -; false for anything else.
bool ParseWide(const std::string& word, bool withSign, int64_t& value, bool& tooLarge) {
    tooLarge = false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    bool negative = false;
    if (withSign && first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || !std::isdigit(static_cast<unsigned char>(*first)))
        return false;
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(first, last, magnitude);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range || magnitude > uint64_t{1} << 62) {
        tooLarge = true;
        return false;
    }
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

// Latin-1 from a UTF-8 name: a character Latin-1 holds becomes its byte,
// any other (and any byte that is not UTF-8) becomes '?'.
std::string Utf8ToLatin1(const std::string& utf8, bool& replaced) {
    std::string latin1;
    replaced = false;
    DecodeUtf8(
        utf8,
        [&](uint32_t code, const std::string&) {
            replaced = replaced || code > 0xFF;
            latin1 += code <= 0xFF ? static_cast<char>(code) : '?';
        },
        [&](unsigned char) {
            replaced = true;
            latin1 += '?';
        });
    return latin1;
}

// Words of the input in a message: in quotes, cut and escaped as QuotedInput.
std::string Quoted(const std::string& word) {
    return "\"" + QuotedInput(word) + "\"";
}

// Reads one line of at most MaxLineLength bytes (without its LF and a CR
// before it); false at the end of the input. A longer line sets tooLong and
// is not kept.
bool ReadLine(std::streambuf& input, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    int c = input.sbumpc();
    if (c == std::char_traits<char>::eof())
        return false;
    for (; c != std::char_traits<char>::eof() && c != '\n'; c = input.sbumpc()) {
        if (line.size() == MaxLineLength) {
            tooLong = true;
            continue;
        }
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// Whether a word is a plain unsigned number, or one with a leading + or -.
bool IsUnsignedNumber(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}
bool IsSignedNumber(const std::string& word) {
    return word.size() > 1 && (word[0] == '+' || word[0] == '-') &&
           IsUnsignedNumber(word.substr(1));
}

// "1 node", "3 nodes".
std::string Counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

constexpr const char* RangeText = "a whole number from -2147483648 to 2147483647";

// A problem read so far, kept apart from the Workspace until it is complete.
class DimacsProblem {
  public:
    bool ReadLine(const std::string& line, int64_t lineNumber) {
        line_ = lineNumber;
        // The type alone first: a comment is never split into words.
        const std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos)
            return true;
        const std::string type = line.substr(at, line.find_first_of(" \t", at) - at);
        if (type == "c")
            return ReadComment(line);
        // A solver's solution lines (this program's own output among them).
        if (type == "s" || type == "f")
            return true;
        if (type == "p")
            return ReadProblemLine(Words(line, 4));
        if (type == "n" || type == "a") {
            if (!headerRead_)
                return Fail("a problem line \"p min NODES ARCS\" before any " + Quoted(type) +
                            " line");
            return type == "n" ? ReadNodeLine(Words(line, 3)) : ReadArcLine(Words(line, 6));
        }
        return Fail("a line of type c, p, n, a, s or f, not " + Quoted(type));
    }

    bool Finish(int64_t lastLine) {
        line_ = lastLine;
        if (!headerRead_)
            return Fail("a problem line \"p min NODES ARCS\"; the file has none");
        if (static_cast<int64_t>(arcs_.size()) != arcCount_)
            return Fail("arc " + std::to_string(arcs_.size() + 1) + " of " +
                        std::to_string(arcCount_) + "; the file ends");
        if (supplySum_ != 0) {
            line_ = lastSupplyLine_;
            return Fail("supplies that sum to 0; they sum to " + std::to_string(supplySum_));
        }
        int64_t supplyLinks = 0;
        for (int32_t node = 1; node <= nodeCount_; ++node)
            supplyLinks += supply_[static_cast<std::size_t>(node)] != 0 ? 1 : 0;
        FindNodesToJoin();
        const int64_t joinLinks = 2 * static_cast<int64_t>(toJoin_.size());
        const int64_t links = arcCount_ + supplyLinks + joinLinks;
        const int64_t nodes = nodeCount_ + (supplyLinks + joinLinks > 0 ? 1 : 0);
        line_ = headerLine_;
        if (links > MaxLinks) {
            std::string added = std::string("with the ") + SupplyNodeName + " node's links";
            if (joinLinks > 0)
                added += " (" + std::to_string(supplyLinks) + " for supplies, " +
                         std::to_string(joinLinks) +
                         " for nodes that lack a leaving or an entering arc)";
            return Fail("at most " + std::to_string(MaxLinks) + " links; " + added +
                        " the problem has " + std::to_string(links));
        }
        if (nodes > MaxNodes)
            return Fail("at most " + std::to_string(MaxNodes) + " nodes; with the " +
                        SupplyNodeName + " node the problem has " + std::to_string(nodes));
        return true;
    }

    // Replaces the Workspace's problem with the one read.
    void Store(Workspace& ws) const {
        for (int32_t node = 1; node <= nodeCount_; ++node) {
            const std::size_t at = static_cast<std::size_t>(node);
            SetNodeName(ws, node, nameLine_[at] != 0 ? names_[at] : std::to_string(node));
        }
        int32_t link = 0;
        for (const LinkData& arc : arcs_)
            SetLink(ws, ++link, arc);
        const int32_t supplyNode = nodeCount_ + 1;
        for (int32_t node = 1; node <= nodeCount_; ++node) {
            const int32_t b = supply_[static_cast<std::size_t>(node)];
            if (b > 0)
                SetLink(ws, ++link, LinkData{supplyNode, node, b, b, 0});
            else if (b < 0)
                SetLink(ws, ++link, LinkData{node, supplyNode, -b, -b, 0});
        }
        for (const int32_t node : toJoin_) {
            SetLink(ws, ++link, LinkData{supplyNode, node, 0, 0, 0});
            SetLink(ws, ++link, LinkData{node, supplyNode, 0, 0, 0});
        }
        const bool supplyNodeAdded = link > arcCount_;
        if (supplyNodeAdded)
            SetNodeName(ws, supplyNode, SupplyName(ws));
        SetProblemSize(ws, link, supplyNodeAdded ? supplyNode : nodeCount_);
    }

    // The one line that tells of the links added by FindNodesToJoin (after
    // Store); empty when there are none.
    std::string JoinNote(const Workspace& ws, const std::string& fileName) const {
        if (toJoin_.empty())
            return {};
        const std::size_t links = 2 * toJoin_.size();
        const int32_t first = ws.LinkCount - static_cast<int32_t>(links) + 1;
        return "[" + fileName + "]: " + Counted(toJoin_.size(), "node") +
               (toJoin_.size() == 1 ? " lacks" : " lack") +
               " a leaving or an entering arc, which the solver needs at every node; links " +
               std::to_string(first) + " to " + std::to_string(ws.LinkCount) + " (to and from " +
               Latin1ToUtf8(ws.NodeName[ws.NodeCount]) +
               ", bounds 0..0, cost 0) were added for them and carry no flow.";
    }

    // Every name that was shortened or had a character replaced, and every
    // set of nodes that share a name, one line each (after Store).
    std::vector<std::string> NameChanges(const Workspace& ws) const {
        constexpr std::size_t MostNamed = 8;
        std::vector<std::string> lines;
        for (const auto& [node, change] : changes_) {
            lines.push_back("node " + std::to_string(node) + " (line " +
                            std::to_string(change.line) + "): " + Quoted(change.given) +
                            " became \"" + Latin1ToUtf8(ws.NodeName[node]) + "\"");
        }
        // Nodes in name order (by number among equal names), then each run
        // of one name.
        std::vector<int32_t> order(static_cast<std::size_t>(ws.NodeCount));
        for (int32_t node = 1; node <= ws.NodeCount; ++node)
            order[static_cast<std::size_t>(node - 1)] = node;
        std::stable_sort(order.begin(), order.end(),
                         [&ws](int32_t a, int32_t b) { return ws.NodeName[a] < ws.NodeName[b]; });
        for (std::size_t first = 0, next = 0; first < order.size(); first = next) {
            const std::string& name = ws.NodeName[order[first]];
            for (next = first + 1; next < order.size() && ws.NodeName[order[next]] == name;)
                ++next;
            const std::size_t count = next - first;
            if (count < 2)
                continue;
            std::string line = "nodes " + std::to_string(order[first]);
            for (std::size_t k = 1; k < count && k < MostNamed; ++k)
                line += (k + 1 == count ? " and " : ", ") + std::to_string(order[first + k]);
            if (count > MostNamed)
                line += " and " + std::to_string(count - MostNamed) + " more";
            lines.push_back(line + " are all named \"" + Latin1ToUtf8(name) + "\"");
        }
        return lines;
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
        if (!ParseWide(word, true, wide, tooLarge) || wide < INT32_MIN || wide > INT32_MAX)
            return Fail(std::string(RangeText) + ", not " + Quoted(word));
        value = static_cast<int32_t>(wide);
        return true;
    }

    // A count or a node number: digits only, no sign.
    bool Count(const std::string& word, int32_t& value, const std::string& expected) {
        int64_t wide = 0;
        bool tooLarge = false;
        if (!ParseWide(word, false, wide, tooLarge) || wide > INT32_MAX)
            return Fail(expected + ", not " + Quoted(word));
        value = static_cast<int32_t>(wide);
        return true;
    }

    bool Node(const std::string& word, int32_t& node) { return NodeUpTo(word, nodeCount_, node); }

    bool NodeUpTo(const std::string& word, int32_t most, int32_t& node) {
        const std::string expected = "a node number between 1 and " + std::to_string(most);
        if (!Count(word, node, expected))
            return false;
        if (!NodeInRange(node, most))
            return Fail(expected + ", not " + QuotedInput(word));
        return true;
    }

    bool FieldCount(const std::vector<std::string>& words, std::size_t count, const char* form) {
        if (words.size() != count)
            return Fail(std::string("\"") + form + "\"");
        return true;
    }

    // "c name ID NAME" names a node: the rest of the line after one blank,
    // UTF-8 taken into Latin-1 and cut to the longest name. Every other
    // comment is skipped, "c name" followed by a word that is not a number
    // among them; a signed number is refused as in an "n" or "a" line. A CR
    // or Ctrl-Z inside the name becomes a blank: a node file would read it as
    // the end of the line or of the file, and a save would lose the names
    // after it. Only the last name of a node is kept.
    bool ReadComment(const std::string& line) {
        const std::vector<std::string> words = Words(line, 3);
        if (words.size() < 3 || words[1] != "name")
            return true;
        const std::string& id = words[2];
        if (!IsUnsignedNumber(id) && !IsSignedNumber(id))
            return true;
        // Before the problem line no problem has more than MaxNodes nodes, so
        // the names that wait for it never take more room than that.
        int32_t node = 0;
        if (!NodeUpTo(id, headerRead_ ? nodeCount_ : MaxNodes, node))
            return false;
        std::size_t at = line.find(id, line.find("name") + 4) + id.size();
        if (at < line.size())
            ++at;
        bool replaced = false;
        std::string name = Utf8ToLatin1(line.substr(at), replaced);
        const bool shortened = name.size() > MaxNameLength;
        name.resize(std::min(name.size(), MaxNameLength));
        for (char& c : name) {
            if (c == '\r' || c == '\x1a')
                c = ' ';
        }
        if (shortened || replaced)
            // Enough bytes for more characters than a message quotes.
            changes_[node] = {line_, line.substr(at, 4 * 61)};
        else
            changes_.erase(node);
        names_[static_cast<std::size_t>(node)] = std::move(name);
        nameLine_[static_cast<std::size_t>(node)] = line_;
        return true;
    }

    // The nodes that, after the supply links, still have no leaving or no
    // entering link. Each gets a link from and one to the supply node with
    // bounds 0..0: the problem stays the same, and every node (the supply
    // node too) has both, as the solver needs.
    void FindNodesToJoin() {
        const std::size_t size = static_cast<std::size_t>(nodeCount_) + 1;
        std::vector<bool> leaves(size, false);
        std::vector<bool> enters(size, false);
        for (const LinkData& arc : arcs_) {
            leaves[static_cast<std::size_t>(arc.Origin)] = true;
            enters[static_cast<std::size_t>(arc.Dest)] = true;
        }
        for (std::size_t node = 1; node < size; ++node) {
            const bool supplied = supply_[node] > 0;
            const bool demanded = supply_[node] < 0;
            if (!(leaves[node] || demanded) || !(enters[node] || supplied))
                toJoin_.push_back(static_cast<int32_t>(node));
        }
    }

    // The added supply node's name: the first of SUPPLY, SUPPLY 2, ... that
    // no node of the file has.
    std::string SupplyName(const Workspace& ws) const {
        std::set<std::string> used;
        for (int32_t node = 1; node <= nodeCount_; ++node)
            used.insert(ws.NodeName[node]);
        std::string name = SupplyNodeName;
        for (int k = 2; used.count(name) != 0; ++k)
            name = std::string(SupplyNodeName) + " " + std::to_string(k);
        return name;
    }

    bool ReadProblemLine(const std::vector<std::string>& words) {
        if (headerRead_)
            return Fail("one problem line only");
        if (!FieldCount(words, 4, "p min NODES ARCS") || words[1] != "min")
            return Fail("\"p min NODES ARCS\"");
        if (!Count(words[2], nodeCount_, "counts of 0 or more") ||
            !Count(words[3], arcCount_, "counts of 0 or more"))
            return false;
        if (nodeCount_ > MaxNodes)
            return Fail("at most " + std::to_string(MaxNodes) + " nodes, not " + words[2]);
        if (arcCount_ > MaxLinks)
            return Fail("at most " + std::to_string(MaxLinks) + " links, not " + words[3]);
        headerRead_ = true;
        headerLine_ = line_;
        supply_.assign(static_cast<std::size_t>(nodeCount_) + 1, 0);
        supplied_.assign(static_cast<std::size_t>(nodeCount_) + 1, false);
        arcs_.reserve(static_cast<std::size_t>(arcCount_));
        // Names given before the problem line, now that the count is known:
        // the first line that named a node beyond it is refused.
        std::size_t beyond = 0;
        for (std::size_t node = static_cast<std::size_t>(nodeCount_) + 1; node < nameLine_.size();
             ++node) {
            if (nameLine_[node] != 0 && (beyond == 0 || nameLine_[node] < nameLine_[beyond]))
                beyond = node;
        }
        if (beyond != 0) {
            line_ = nameLine_[beyond];
            return Fail("a node number between 1 and " + std::to_string(nodeCount_) + ", not " +
                        std::to_string(beyond));
        }
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
    // The last name of each node (Latin-1, at most MaxNameLength bytes) and
    // the line that gave it (0 for none), by node number; room for every
    // node a problem can have, so that names may come before the problem line.
    std::vector<std::string> names_ = std::vector<std::string>(MaxNodes + 1);
    std::vector<int64_t> nameLine_ = std::vector<int64_t>(MaxNodes + 1, 0);
    // The nodes FindNodesToJoin found, in node order.
    std::vector<int32_t> toJoin_;
    // Names that were shortened or had characters replaced: the line and the
    // name as the file gave it.
    struct NameChange {
        int64_t line = 0;
        std::string given;
    };
    std::map<int32_t, NameChange> changes_;
};

LoadResult Refuse(const std::string& fileName, const std::string& why) {
    LoadResult result;
    result.outcome = LoadOutcome::Refused;
    const std::string source = fileName == "-" ? "from standard input" : "[" + fileName + "]";
    result.report.Box(MsgKind::Warning,
                      "Cannot read the DIMACS file [" + fileName + "]\r" + why +
                          "\rThe problem in memory is unchanged.",
                      "cannot read the DIMACS problem " + source + ": " + why);
    result.report.Beep(BeepFileError);
    return result;
}

// The warning after a load that changed names; the load goes on.
void WarnAboutNames(Report& report, const std::string& fileName,
                    const std::vector<std::string>& changes) {
    constexpr std::size_t MostListed = 12;
    if (changes.empty())
        return;
    std::string text = "Some node names of [" + fileName + "] were changed (names hold at most " +
                       std::to_string(MaxNameLength) + " Latin-1 characters):";
    for (std::size_t k = 0; k < changes.size() && k < MostListed; ++k)
        text += "\r" + changes[k];
    if (changes.size() > MostListed)
        text += "\r... and " + std::to_string(changes.size() - MostListed) + " more";
    report.Box(MsgKind::Warning, text);
}

// Reads a descriptor for ReadLine and keeps the error a read failed with: a
// stream buffer itself reports a failed read as the end of the input.
class DescriptorBuffer : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd) : fd_(fd) {}
    int Error() const { return error_; }

  protected:
    int_type underflow() override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
            if (got > 0) {
                setg(buffer_, buffer_, buffer_ + got);
                return traits_type::to_int_type(*gptr());
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                error_ = errno;
            return traits_type::eof();
        }
    }

  private:
    int fd_;
    int error_ = 0;
    char buffer_[1 << 16];
};

// Reads line by line, so that a file is never held in memory as a whole;
// `descriptor`, when the lines come from one, tells a read error from the end.
LoadResult ReadDimacsLines(Workspace& ws, std::streambuf& input, const std::string& fileName,
                           const DescriptorBuffer* descriptor = nullptr) {
    DimacsProblem problem;
    std::string line;
    int64_t lineNumber = 0;
    bool ok = true;
    bool tooLong = false;
    while (ok && ReadLine(input, line, tooLong)) {
        ++lineNumber;
        if (tooLong) {
            return Refuse(fileName, "line " + std::to_string(lineNumber) +
                                        ": expected a line of at most " +
                                        std::to_string(MaxLineLength) + " bytes");
        }
        ok = problem.ReadLine(line, lineNumber);
    }
    if (descriptor != nullptr && descriptor->Error() != 0)
        return Refuse(fileName,
                      "read error: " + std::generic_category().message(descriptor->Error()));
    if (ok)
        ok = problem.Finish(lineNumber);
    if (!ok) {
        const DimacsFault& fault = problem.Fault();
        return Refuse(fileName, "line " + std::to_string(fault.line) + ": " + fault.reason);
    }
    problem.Store(ws);
    SetFileNames(ws, fileName, "");
    NoteLoaded(ws);
    LoadResult result;
    result.outcome = LoadOutcome::Loaded;
    WarnAboutNames(result.report, fileName, problem.NameChanges(ws));
    if (const std::string note = problem.JoinNote(ws, fileName); !note.empty())
        result.report.Box(MsgKind::Information, note);
    return result;
}

}  // namespace

LoadResult ReadDimacsText(Workspace& ws, const std::string& text, const std::string& fileName) {
    std::stringbuf lines(text);
    return ReadDimacsLines(ws, lines, fileName);
}

LoadResult ReadDimacsFile(Workspace& ws, const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Refuse(fileName, "the file could not be read");
    DescriptorBuffer file(fd);
    LoadResult result = ReadDimacsLines(ws, file, fileName, &file);
    ::close(fd);
    return result;
}

std::string FormatDimacsProblem(const Workspace& ws) {
    std::string text = "c minimum-cost circulation, " + std::to_string(ws.NodeCount) + " nodes, " +
                       std::to_string(ws.LinkCount) + " links\n";
    text += "p min " + std::to_string(ws.NodeCount) + " " + std::to_string(ws.LinkCount) + "\n";
    for (int32_t node = 1; node <= ws.NodeCount; ++node)
        text += "c name " + std::to_string(node) + " " + Latin1ToUtf8(ws.NodeName[node]) + "\n";
    for (int32_t link = 1; link <= ws.LinkCount; ++link) {
        const LinkData data = GetLink(ws, link);
        text += "a " + std::to_string(data.Origin) + " " + std::to_string(data.Dest) + " " +
                std::to_string(data.Lower) + " " + std::to_string(data.Upper) + " " +
                std::to_string(data.Cost) + "\n";
    }
    return text;
}

std::string FormatDimacsSolution(const Workspace& ws, __int128 total) {
    std::string text = "s " + WideDecimal(total) + "\n";
    for (int32_t link = 1; link <= ws.LinkCount; ++link)
        text += "f " + std::to_string(ws.LinkOrigin[link]) + " " +
                std::to_string(ws.LinkDest[link]) + " " + std::to_string(ws.LinkFlow[link]) + "\n";
    return text;
}

bool HasDimacsContent(const std::string& fileName) {
    // Read through a descriptor: a file stream's buffer throws on a read
    // error (a folder), which here only means "no".
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DescriptorBuffer file(fd);
    std::string line;
    bool tooLong = false;
    bool dimacs = false;
    while (ReadLine(file, line, tooLong) && !tooLong) {
        const std::vector<std::string> words = Words(line, 2);
        if (words.empty() || words[0] == "c")
            continue;
        dimacs = words.size() >= 2 && words[0] == "p" && words[1] == "min";
        break;
    }
    ::close(fd);
    return dimacs && file.Error() == 0;
}

LoadResult ReadDimacsStandardInput(Workspace& ws) {
    DescriptorBuffer input(STDIN_FILENO);
    return ReadDimacsLines(ws, input, "-", &input);
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
