#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/Quickie.h"
#include "solver/SortOkf.h"
#include "support/ScriptedPrompts.h"

using namespace kav;

namespace {

// Runs both variants over the same keys (given for items 1..n) and checks that
// they agree; returns the solver variant's index for positions 1..n.
template <class Key>
std::vector<uint16_t> SortBoth(const std::vector<Key>& keys, char code) {
    const auto n = static_cast<uint16_t>(keys.size());
    std::vector<uint16_t> solverIndex(n + 1, 0xBEEF);
    SortOkf(1, n, keys.data(), solverIndex.data(), code);
    solverIndex.resize(n);

    std::vector<Key> resultsKeys(keys);
    resultsKeys.insert(resultsKeys.begin(), Key{});
    std::vector<uint16_t> resultsIndex(n + 2, 0xBEEF);
    Quickie(1, n, resultsKeys.data(), resultsIndex.data(), code);
    EXPECT_EQ(resultsIndex[0], 0xBEEF);
    EXPECT_EQ(resultsIndex[n + 1], 0xBEEF);
    EXPECT_EQ(std::vector<uint16_t>(resultsIndex.begin() + 1, resultsIndex.begin() + 1 + n),
              solverIndex);
    return solverIndex;
}

using Index = std::vector<uint16_t>;

}  // namespace

TEST(IndexSort, IntegerQuickSortLeavesEqualKeysWhereTheExchangesPutThem) {
    EXPECT_EQ(SortBoth<int32_t>({7, 7, 7}, 'I'), (Index{3, 2, 1}));
    EXPECT_EQ(SortBoth<int32_t>({2, 1, 2, 1}, 'I'), (Index{4, 2, 1, 3}));
    EXPECT_EQ(SortBoth<int32_t>({3, 1, 2, 1, 3}, 'I'), (Index{2, 4, 3, 5, 1}));
    EXPECT_EQ(SortBoth<int32_t>({3, 1, 2, 1, 3}, 'L'), (Index{2, 4, 3, 5, 1}));
    EXPECT_EQ(SortBoth<int32_t>({5}, 'I'), (Index{1}));
}

TEST(IndexSort, LowerCaseCodesSortAsUpperCase) {
    EXPECT_EQ(SortBoth<int32_t>({3, 1, 2, 1, 3}, 'i'), (Index{2, 4, 3, 5, 1}));
    EXPECT_EQ(SortBoth<int32_t>({2, 1, 2, 1}, 'l'), (Index{4, 2, 1, 3}));
    EXPECT_EQ(SortBoth<std::string>({"b", "a"}, 's'), (Index{2, 1}));
}

TEST(IndexSort, NegativePivotRoundsTowardZero) {
    // Keys -3 and 0 give the pivot -1; a pivot of -2 would stop the first scan
    // on the -2 keys and give 1, 4, 3, 2, 5.
    EXPECT_EQ(SortBoth<int32_t>({-3, -1, -2, -2, 0}, 'I'), (Index{1, 3, 4, 2, 5}));
    // Extreme keys do not overflow the pivot.
    EXPECT_EQ(SortBoth<int32_t>({INT32_MAX, INT32_MIN, INT32_MAX, 0}, 'I'), (Index{2, 4, 1, 3}));
}

TEST(IndexSort, OtherNumericKeyTypesAscend) {
    EXPECT_EQ(SortBoth<uint8_t>({200, 3, 255, 0}, 'B'), (Index{4, 2, 1, 3}));
    EXPECT_EQ(SortBoth<uint16_t>({60000, 3, 65535, 0}, 'W'), (Index{4, 2, 1, 3}));
    EXPECT_EQ(SortBoth<double>({2.5, -1.0, 1e300, 0.0}, 'R'), (Index{2, 4, 1, 3}));

    std::vector<long double> extended{0, 2.5L, -1.0L, 1e4000L, 0.0L};
    Index index(6, 0);
    Quickie(1, 4, extended.data(), index.data(), 'E');
    EXPECT_EQ(Index(index.begin() + 1, index.begin() + 5), (Index{2, 4, 1, 3}));
}

TEST(IndexSort, TextKeysUseByteOrderWithPrefixesFirst) {
    EXPECT_EQ(SortBoth<std::string>({"b", "B", "a", "A", "AB", "A "}, 'S'),
              (Index{4, 6, 5, 2, 3, 1}));
    EXPECT_EQ(SortBoth<std::string>({"x", "x", "x", "x"}, 'S'), (Index{1, 2, 3, 4}));
    EXPECT_EQ(SortBoth<std::string>({"\xE9", "z", "", "1"}, 'S'), (Index{3, 4, 2, 1}));
}

TEST(IndexSort, TextWidthDiffersBetweenTheVariants) {
    // Equal over ten bytes: the solver's variant keeps them in input order,
    // the results window's sees the eleventh byte.
    std::vector<std::string> keys{"ABCDEFGHIJZ", "ABCDEFGHIJA"};
    Index solverIndex(2);
    SortOkf(1, 2, keys.data(), solverIndex.data(), 'S');
    EXPECT_EQ(solverIndex, (Index{1, 2}));

    keys.insert(keys.begin(), "");
    Index resultsIndex(3);
    Quickie(1, 2, keys.data(), resultsIndex.data(), 'S');
    EXPECT_EQ(resultsIndex[1], 2);
    EXPECT_EQ(resultsIndex[2], 1);
}

TEST(IndexSort, ResultsVariantReturnsAtOnceOnAnEmptyRange) {
    ScriptedPrompts prompts;
    SetFatalErrorPrompts(&prompts);
    Index index{9, 9};
    Quickie(1, 0, nullptr, index.data(), 'Q');
    Quickie(1, 0, nullptr, index.data(), 'I');
    EXPECT_EQ(index, (Index{9, 9}));
    EXPECT_TRUE(prompts.messages.empty());
    SetFatalErrorPrompts(nullptr);
}

TEST(IndexSort, UnacceptedCodesAreFatalWithTheVariantsIcon) {
    ScriptedPrompts prompts;
    SetFatalErrorPrompts(&prompts);
    const std::string text = "*** FATAL ERROR ... INCORRECT SORT TYPE IN QUICK_SORT ***";
    std::vector<long double> keys{1.0L, 2.0L};
    Index index(3);

    EXPECT_THROW(SortOkf(1, 2, keys.data(), index.data(), 'E'), ScriptedPrompts::FatalShown);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(prompts.messages[0].text, text);

    EXPECT_THROW(Quickie(1, 1, keys.data(), index.data(), 'X'), ScriptedPrompts::FatalShown);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].kind, MsgKind::Information);
    EXPECT_EQ(prompts.messages[1].text, text);
    SetFatalErrorPrompts(nullptr);
}

TEST(IndexSort, LargeRangesSortCompletely) {
    // Presorted keys, many equal keys and a descending run, as the solver sees
    // them for generated problems.
    std::vector<int32_t> keys;
    for (int32_t k = 0; k < 20000; ++k)
        keys.push_back(k < 10000 ? k / 100 : 30000 - k);
    Index index(keys.size());
    SortOkf(1, static_cast<uint16_t>(keys.size()), keys.data(), index.data(), 'I');
    std::vector<bool> seen(keys.size() + 1, false);
    for (std::size_t p = 0; p < index.size(); ++p) {
        ASSERT_FALSE(seen[index[p]]);
        seen[index[p]] = true;
        if (p > 0) {
            ASSERT_LE(keys[index[p - 1] - 1], keys[index[p] - 1]);
        }
    }
}
