#pragma once

// Checks what the sentences of a solve's steps claim against the states
// around them, replayed independently of the sentences' own reasoning: the
// reduced costs and kilter numbers come from the solver's formulas on a copy
// of the problem. Used on the sentences the program builds in memory and on
// the lines that `--narrate` writes.

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "results/SolveSteps.h"
#include "solver/KiltSolve.h"

namespace stepclaims {

using kav::SolveEvent;
using kav::SolveEventKind;
using kav::StepState;
using kav::Workspace;

// The link numbers named as "link 4 (" in text.
inline std::vector<int32_t> LinksIn(const std::string& text) {
    static const std::regex named("link (\\d+) \\(");
    std::vector<int32_t> links;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), named);
         it != std::sregex_iterator(); ++it)
        links.push_back(std::stoi((*it)[1]));
    return links;
}

// The part of text after `from` up to the first of the ends (or its end).
inline std::string Between(const std::string& text, const std::string& from,
                           const std::vector<std::string>& ends) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        return std::string();
    const std::size_t begin = at + from.size();
    std::size_t end = text.size();
    for (const std::string& e : ends)
        end = std::min(end, text.find(e, begin));
    return text.substr(begin, end - begin);
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class Checker {
  public:
    explicit Checker(const Workspace& problem) : ws_(problem), shown_(problem) {}

    // The claims of the sentence and counter of the step that led from before
    // to after; next is the step after it (null at the end). Returns what is
    // false, empty when every claim holds.
    std::string Check(const StepState& before, const StepState& after, const SolveEvent& event,
                      const SolveEvent* next, const std::string& text,
                      const std::string& counter = std::string()) {
        errors_.clear();
        Load(after);
        switch (event.Kind) {
            case SolveEventKind::Potentials:
            case SolveEventKind::Resume:
                CheckRise(event, next, text);
                break;
            case SolveEventKind::Augment:
                CheckFlowChange(before, after, text);
                break;
            case SolveEventKind::Label:
                CheckLabel(before, event, text);
                break;
            default:
                break;
        }
        if (!counter.empty())
            CheckCounter(after, counter);
        return errors_;
    }

  private:
    void Load(const StepState& state) {
        kav::SolveSteps::ApplyTo(state, shown_);
        labels_ = state.labels;
    }
    bool Labelled(int32_t node) const {
        return node >= 1 && static_cast<std::size_t>(node) < labels_.size() &&
               labels_[static_cast<std::size_t>(node)] != 0;
    }
    bool InKilter(int32_t link) const { return kav::KilterState(shown_, link).InKilter; }
    // Whether the link's flow can rise (forward) or fall from the labelled
    // side, by the eligibility rules of the labelling.
    bool CanCarry(int32_t link, bool forward) const {
        const int64_t r = kav::WideReducedCost(shown_, link);
        const int32_t x = shown_.LinkFlow[link];
        const int32_t lo = shown_.LinkLower[link], up = shown_.LinkUpper[link];
        if (forward)
            return r > 0 ? x < lo : x < up;
        return r < 0 ? x > up : x > lo;
    }
    bool Across(int32_t link, bool forward) const {
        const bool o = Labelled(shown_.LinkOrigin[link]), d = Labelled(shown_.LinkDest[link]);
        return forward ? o && !d : d && !o;
    }
    void Fail(const std::string& what) { errors_ += what + "; "; }

    // The named links can carry a change in the direction named.
    void CheckCarriers(const std::vector<int32_t>& links, bool forward) {
        for (const int32_t m : links) {
            if (!Across(m, forward) || !CanCarry(m, forward))
                Fail("link " + std::to_string(m) + " cannot carry a change that way");
            if (kav::WideReducedCost(shown_, m) != 0)
                Fail("link " + std::to_string(m) + " has a reduced cost other than 0");
        }
    }

    void CheckRise(const SolveEvent& e, const SolveEvent* next, const std::string& text) {
        const SolveEventKind nextKind = next ? next->Kind : SolveEventKind::Done;
        const std::vector<int32_t> decided =
            LinksIn(Between(text, "the reduced cost of ", {" to 0"}));
        for (const int32_t m : decided) {
            if (kav::WideReducedCost(shown_, m) != 0)
                Fail("the deciding link's reduced cost is not 0");
        }
        const bool inKilter = Has(text, "into kilter, so this pass ends");
        if (inKilter != (next && nextKind == SolveEventKind::InKilter))
            Fail("in kilter said " + std::to_string(inKilter));
        if (inKilter) {
            const std::vector<int32_t> said = LinksIn(Between(text, "That brings ", {" into"}));
            if (said.size() != 1 || !InKilter(said[0]) || (next && said[0] != next->Link))
                Fail("the link said to be in kilter is not");
            return;
        }
        const std::vector<int32_t> rising =
            LinksIn(Between(text, "the flow can rise on ", {" and fall on ", ":", ", whose"}));
        const std::vector<int32_t> falling =
            LinksIn(Between(text, "fall on ", {":", ", whose", ". "}));
        CheckCarriers(rising, true);
        CheckCarriers(falling, false);
        const bool named = !rising.empty() || !falling.empty();
        if (e.Kind == SolveEventKind::Resume) {
            if (!named || (next && nextKind != SolveEventKind::Label))
                Fail("a resume names no link or is not followed by a label");
            return;
        }
        if (Has(text, "Labelling goes on from")) {
            if (!next || nextKind != SolveEventKind::Label) {
                Fail("labelling is said to go on but does not");
                return;
            }
            const int32_t via = std::abs(next->Via);
            const auto& side = next->Via > 0 ? rising : falling;
            if (std::find(side.begin(), side.end(), via) == side.end())
                Fail("the next label goes through link " + std::to_string(via) + ", not one named");
        } else if (named) {
            const bool found =
                next && (std::find(rising.begin(), rising.end(), next->Link) != rising.end() ||
                         std::find(falling.begin(), falling.end(), next->Link) != falling.end());
            if (nextKind != SolveEventKind::Resume || !found)
                Fail("the links named elsewhere are not what the next look finds");
        } else {
            const bool again = Has(text, "so the potentials change again");
            const bool expected = again ? nextKind == SolveEventKind::Potentials
                                        : nextKind == SolveEventKind::Infeasible ||
                                              nextKind == SolveEventKind::Stopped;
            if (!next || !expected)
                Fail("what follows a rise with no carrier is not what is said");
        }
    }

    // Each link said to gain or lose does so, by the amount said.
    void CheckFlowChange(const StepState& before, const StepState& after, const std::string& text) {
        static const std::regex amount("(?:rises|falls) by (\\d+) on ");
        std::smatch m;
        if (!std::regex_search(text, m, amount)) {
            Fail("no amount");
            return;
        }
        const int64_t a = std::stoll(m[1]);
        const std::string by = std::to_string(a);
        auto changed = [&](int32_t link) {
            return static_cast<int64_t>(after.flows[static_cast<std::size_t>(link)]) -
                   before.flows[static_cast<std::size_t>(link)];
        };
        const auto rising = LinksIn(Between(text, "rises by " + by + " on ", {"; it falls"}));
        const auto falling = LinksIn(Between(text, "falls by " + by + " on ", {"\n"}));
        if (rising.empty() && falling.empty())
            Fail("no link changes");
        for (const int32_t k : rising) {
            if (changed(k) != a)
                Fail("link " + std::to_string(k) + " does not gain " + by);
        }
        for (const int32_t k : falling) {
            if (changed(k) != -a)
                Fail("link " + std::to_string(k) + " does not lose " + by);
        }
    }

    void CheckLabel(const StepState& before, const SolveEvent& e, const std::string& text) {
        Load(before);
        const int32_t link = std::abs(e.Via);
        const bool forward = Has(text, "whose flow can rise");
        if (forward != (e.Via > 0) || !CanCarry(link, forward))
            Fail("the label's link cannot carry that way");
    }

    void CheckCounter(const StepState& after, const std::string& counter) {
        static const std::regex bringing("bringing link (\\d+) of \\d+ into kilter");
        static const std::regex upTo("links? (?:1 to )?(\\d+) of \\d+ in kilter");
        static const std::regex stopped("stopped at link (\\d+)");
        if (counter.rfind("Step " + std::to_string(after.applied) + " of ", 0) != 0)
            Fail("counter's step");
        std::smatch m;
        int32_t firstOut = 1;  // links before it must be in kilter
        if (std::regex_search(counter, m, bringing)) {
            const int32_t l = std::stoi(m[1]);
            if (l != after.link || InKilter(l))
                Fail("counter's link is not the one out of kilter");
            firstOut = l;
        } else if (std::regex_search(counter, m, upTo)) {
            firstOut = std::stoi(m[1]) + 1;
        } else if (Has(counter, "all ")) {
            firstOut = ws_.LinkCount + 1;
        } else if (std::regex_search(counter, m, stopped)) {
            if (std::stoi(m[1]) != after.link)
                Fail("counter's stopping link");
            firstOut = after.link;
        } else if (!Has(counter, "before link 1") && !Has(counter, "no links")) {
            Fail("counter unread");
        }
        for (int32_t k = 1; k < firstOut; ++k) {
            if (!InKilter(k))
                Fail("counter says link " + std::to_string(k) + " is in kilter");
        }
    }

    const Workspace& ws_;
    Workspace shown_;
    std::vector<int32_t> labels_;
    std::string errors_;
};

}  // namespace stepclaims
