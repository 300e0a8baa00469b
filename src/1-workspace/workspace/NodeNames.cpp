#include "workspace/NodeNames.h"

#include <algorithm>
#include <charconv>

namespace kav {

namespace {

constexpr char Blank = ' ';
// Longer lists of namesakes give the first numbers and count the rest.
constexpr std::size_t NamesakesShown = 6;

std::string_view Trim(std::string_view name) {
    const std::size_t first = name.find_first_not_of(Blank);
    if (first == std::string_view::npos)
        return {};
    return name.substr(first, name.find_last_not_of(Blank) - first + 1);
}

// A whole decimal number 1..nodeCount, or 0.
int32_t NodeNumber(std::string_view text, int32_t nodeCount) {
    int32_t number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || text.front() == '-' || error != std::errc() || stop != end ||
        !NodeInRange(number, nodeCount))
        return 0;
    return number;
}

}  // namespace

std::string TrimmedName(std::string_view name) {
    return std::string(Trim(name));
}

std::string WithoutLeadingBlanks(std::string_view name) {
    const std::size_t first = name.find_first_not_of(Blank);
    return std::string(first == std::string_view::npos ? std::string_view() : name.substr(first));
}

NodeSearch FindNodeByNameOrNumber(const Workspace& ws, std::string_view typed) {
    const std::string_view name = Trim(typed);
    NodeSearch found;
    if (name.empty())
        return found;
    std::vector<int32_t> named;
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        if (Trim(ws.NodeName[n]) == name)
            named.push_back(n);
    }
    if (named.size() == 1) {
        found.node = named.front();
        return found;
    }
    found.node = NodeNumber(name, ws.NodeCount);
    if (found.node == 0 && named.size() > 1)
        found.namesakes = std::move(named);
    return found;
}

std::string NamesakesText(std::string_view typed, const std::vector<int32_t>& namesakes) {
    std::string text =
        std::to_string(namesakes.size()) + " nodes are named " + std::string(Trim(typed)) + " (";
    const std::size_t shown = std::min(namesakes.size(), NamesakesShown);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0)
            text += i + 1 == shown && shown == namesakes.size() ? " and " : ", ";
        text += std::to_string(namesakes[i]);
    }
    if (shown < namesakes.size())
        text += " and " + std::to_string(namesakes.size() - shown) + " more";
    return text + ")";
}

}  // namespace kav
