#include "workspace/ProblemReader.h"

#include <string>

#include "workspace/NodeNames.h"

namespace kav {
namespace {

const char* const FatalReadText =
    "<<< FATAL ERROR READING DATA ... WARNING ... >>>\r"
    "<<<     DATA MATRICES BEING SET TO ZERO      >>>";

std::string TooManyText(const char* what, int32_t maximum) {
    return std::string("File contains too many ") + what + "...\rMaximum number allowed is " +
           std::to_string(maximum) + "\rTry another file ... SORRY";
}

// One of the two files being read, with the name its messages show.
struct NamedReader {
    TextReader& file;
    const std::string& name;
};

// Where and why reading stopped: the line below the fatal read warning.
class ReadFault {
  public:
    // Notes the first fault only; always false, so that readers can return it.
    bool Note(const NamedReader& reader, const std::string& expected) {
        if (text_.empty())
            text_ = Describe(reader, expected);
        return false;
    }
    bool Noted() const { return !text_.empty(); }
    const std::string& Text() const { return text_; }

  private:
    static std::string Describe(const NamedReader& reader, const std::string& expected) {
        const std::string file = "File [" + reader.name + "]";
        if (reader.file.Failed())
            return file + " could not be read";
        const std::string line = std::to_string(reader.file.Line());
        if (reader.file.AtEnd())
            return file + " ends at line " + line + "; expected " + expected;
        return file + " line " + line + ": expected " + expected;
    }

    std::string text_;
};

std::string NumberExpected(const TextReader& file) {
    return file.NumberOutOfRange() ? "a whole number from -2147483648 to 2147483647"
                                   : "a whole number";
}

// A header's counts; a count that could not be read is absent.
struct Header {
    int32_t links = 0;
    int32_t nodes = 0;
    bool linksRead = false;
    bool nodesRead = false;
};

Header ReadHeader(const NamedReader& reader, ReadFault& fault) {
    Header header;
    TextReader& file = reader.file;
    if (file.AtEnd()) {
        fault.Note(reader, "the number of links");
        return header;
    }
    header.linksRead = file.ReadInteger(header.links);
    if (!header.linksRead) {
        fault.Note(reader, NumberExpected(file));
        return header;
    }
    header.nodesRead = file.ReadInteger(header.nodes);
    if (!header.nodesRead)
        fault.Note(reader, NumberExpected(file));
    else if (header.links < 0 || header.nodes < 0)
        fault.Note(reader, "counts of 0 or more");
    file.SkipLine();
    return header;
}

// Shows the capacity messages (links first) and tells whether the header asks
// for more than the Workspace holds. The link count decides before anything
// else, so a header with too many links is refused even when the node count
// after it is missing or garbled.
bool RefuseHeader(const Header& header, Report& report) {
    const bool tooManyLinks = header.linksRead && header.links > MaxLinks;
    const bool tooManyNodes = header.nodesRead && header.nodes > MaxNodes;
    if (tooManyLinks) {
        report.Box(MsgKind::Warning, TooManyText("links", MaxLinks));
    }
    if (tooManyNodes) {
        report.Box(MsgKind::Warning, TooManyText("nodes", MaxNodes));
    }
    return tooManyLinks || tooManyNodes;
}

std::string NodeNumberExpected(int32_t nodeCount) {
    if (nodeCount == 0)
        return "no link, since the file gives no nodes";
    return "a node number between 1 and " + std::to_string(nodeCount);
}

std::string ItemExpected(const char* item, int32_t number, int32_t count) {
    return std::string(item) + " " + std::to_string(number) + " of " + std::to_string(count);
}

bool ReadLinks(Workspace& ws, const NamedReader& reader, const Header& header, ReadFault& fault) {
    TextReader& file = reader.file;
    for (int32_t k = 1; k <= header.links; ++k) {
        if (file.AtEnd())
            return fault.Note(reader, ItemExpected("link", k, header.links));
        int32_t fields[5] = {};
        for (int32_t& field : fields) {
            if (!file.ReadInteger(field))
                return fault.Note(reader, NumberExpected(file));
        }
        // Every later module indexes the node arrays with these numbers.
        for (int32_t end : {fields[0], fields[1]}) {
            if (!NodeInRange(end, header.nodes))
                return fault.Note(reader, NodeNumberExpected(header.nodes));
        }
        SetLink(ws, k, LinkData{fields[0], fields[1], fields[2], fields[3], fields[4]});
        file.SkipLine();
    }
    return true;
}

bool ReadNames(Workspace& ws, const NamedReader& reader, int32_t nodeCount, ReadFault& fault) {
    for (int32_t k = 1; k <= nodeCount; ++k) {
        if (reader.file.AtEnd())
            return fault.Note(reader, ItemExpected("name", k, nodeCount));
        SetNodeName(ws, k, WithoutLeadingBlanks(reader.file.ReadLineStart(MaxNameLength)));
    }
    return true;
}

}  // namespace

LoadResult ReadProblemText(Workspace& ws, TextReader& linkFile, TextReader& nodeFile) {
    const NamedReader links{linkFile, ws.LinkFileName};
    const NamedReader nodes{nodeFile, ws.NodeFileName};
    ReadFault fault;
    LoadResult result;
    const Header header = ReadHeader(links, fault);
    if (RefuseHeader(header, result.report)) {
        result.outcome = LoadOutcome::Refused;
        return result;
    }
    if (!fault.Noted() && ReadLinks(ws, links, header, fault) &&
        ReadNames(ws, nodes, header.nodes, fault)) {
        if (linkFile.Failed())
            fault.Note(links, "");
        if (nodeFile.Failed())
            fault.Note(nodes, "");
    }

    result.outcome = LoadOutcome::Loaded;
    if (!fault.Noted()) {
        SetProblemSize(ws, header.links, header.nodes);
    } else {
        result.report.Box(MsgKind::Warning, std::string(FatalReadText) + "\r" + fault.Text(),
                          "cannot read the problem: " + fault.Text());
        SetProblemSize(ws, 0, 0);
        result.report.Beep(BeepFileError);
        result.outcome = LoadOutcome::Failed;
    }
    NoteLoaded(ws);
    return result;
}

}  // namespace kav
