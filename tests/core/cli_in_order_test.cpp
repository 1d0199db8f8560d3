// The ordered parallel runner of the command line: results in index order
// whatever the threads do, a stop that is honoured, errors where they belong.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/in_order.h"

namespace tavo::cli {
namespace {

// Items finish out of order: every seventh takes longer.
int slow_square(std::size_t i) {
    if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
    return static_cast<int>(i * i);
}

TEST(RunInOrder, HandsResultsOnInIndexOrderForAnyNumberOfJobs) {
    for (int jobs : {0, 1, 2, 3, 8}) {
        std::vector<std::size_t> order;
        std::vector<int> values;
        run_in_order<int>(500, jobs, slow_square, [&](std::size_t i, int& v) {
            order.push_back(i);
            values.push_back(v);
            return true;
        });
        ASSERT_EQ(order.size(), 500u) << jobs;
        for (std::size_t i = 0; i < order.size(); ++i) {
            ASSERT_EQ(order[i], i) << jobs;
            ASSERT_EQ(values[i], static_cast<int>(i * i)) << jobs;
        }
    }
}

TEST(RunInOrder, StopsHandingOnAndTakingWorkWhenTheEmitterSaysSo) {
    for (int jobs : {1, 2, 4}) {
        std::atomic<int> started{0};
        std::vector<std::size_t> seen;
        run_in_order<int>(
            10000, jobs,
            [&](std::size_t i) {
                ++started;
                return static_cast<int>(i);
            },
            [&](std::size_t i, int&) {
                seen.push_back(i);
                return i < 9;
            });
        ASSERT_EQ(seen.size(), 10u) << jobs;
        EXPECT_EQ(seen.back(), 9u);
        // Workers run only a bounded way ahead of the emitter.
        EXPECT_LT(started.load(), 1000) << jobs;
    }
}

TEST(RunInOrder, AnErrorOfOneItemComesAfterTheItemsBeforeIt) {
    for (int jobs : {1, 2}) {
        std::vector<std::size_t> seen;
        EXPECT_THROW(run_in_order<int>(
                         100, jobs,
                         [](std::size_t i) {
                             if (i == 42) throw std::runtime_error("item 42");
                             return static_cast<int>(i);
                         },
                         [&](std::size_t i, int&) {
                             seen.push_back(i);
                             return true;
                         }),
                     std::runtime_error);
        ASSERT_EQ(seen.size(), 42u) << jobs;
        EXPECT_EQ(seen.back(), 41u);
    }
}

}  // namespace
}  // namespace tavo::cli
