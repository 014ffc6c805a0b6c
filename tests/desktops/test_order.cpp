#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "desktops/NewWindowOrder.h"
#include "tests/desktops/FakeWindowSystem.h"

namespace {

TProcessTime RandomTime(std::mt19937& random) {
    // Few distinct values, so that equal times and unreadable ones meet often.
    const int roll = static_cast<int>(random() % 6);
    if (roll == 0 || roll == 1) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(random() % 5);
}

// A sort is only defined for a strict weak ordering; the comparison must be one for any mix of
// readable and unreadable times.
TEST(CompareWinProcessTime, IsAStrictWeakOrderingWithUnreadableTimes) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto less = [](const TProcessTime& a, const TProcessTime& b) {
        return CompareWinProcessTime(a, b) < 0;
    };
    auto same = [&](const TProcessTime& a, const TProcessTime& b) {
        return !less(a, b) && !less(b, a);
    };
    for (int round = 0; round < 20000; ++round) {
        const TProcessTime a = RandomTime(random), b = RandomTime(random), c = RandomTime(random);
        ASSERT_FALSE(less(a, a));
        ASSERT_EQ(CompareWinProcessTime(a, b), -CompareWinProcessTime(b, a));
        if (less(a, b) && less(b, c)) {
            ASSERT_TRUE(less(a, c));
        }
        if (same(a, b) && same(b, c)) {
            ASSERT_TRUE(same(a, c));
        }
    }
    EXPECT_LT(CompareWinProcessTime(5u, std::nullopt), 0);
    EXPECT_GT(CompareWinProcessTime(std::nullopt, 0u), 0);
    EXPECT_EQ(CompareWinProcessTime(std::nullopt, std::nullopt), 0);
}

// Random new windows of processes with random, partly unreadable start times: the sorted list
// holds the same entries, known times ascending, unreadable ones last, discovery order kept
// among equals, and each process asked for its time once.
TEST(SortByProcessTime, OrdersKnownTimesFirstAndKeepsDiscoveryOrderAmongEquals) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int round = 0; round < 300; ++round) {
        TFakeWindowSystem screen;
        std::vector<TProcessId> processes;
        const int processCount = 1 + static_cast<int>(random() % 8);
        for (int p = 0; p < processCount; ++p) {
            processes.push_back(screen.StartProcess(RandomTime(random)));
        }
        std::vector<std::string> entries;
        std::vector<TProcessTime> times;
        const int windowCount = static_cast<int>(random() % 40);
        for (int w = 0; w < windowCount; ++w) {
            const TProcessId process = processes[random() % processes.size()];
            entries.push_back(HandleText(screen.CreateWindow(process, "w")));
            times.push_back(screen.ProcessCreationTime(process));
        }
        // A gone window has no process: it sorts with the unreadable ones.
        if (random() % 2 == 0) {
            entries.push_back("12345");
            times.push_back(std::nullopt);
        }
        std::vector<std::size_t> expected(entries.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            expected[i] = i;
        }
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            if (times[a] && times[b]) {
                return *times[a] < *times[b];
            }
            return times[a].has_value() && !times[b].has_value();
        });

        const int queriesBefore = screen.TimeQueries();
        std::vector<std::string> sorted = entries;
        SortByProcessTime(sorted, screen);
        ASSERT_EQ(sorted.size(), entries.size());
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            ASSERT_EQ(sorted[i], entries[expected[i]]) << "position " << i;
        }
        EXPECT_LE(screen.TimeQueries() - queriesBefore, processCount);
    }
}

} // namespace
