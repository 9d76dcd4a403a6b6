// Work spread over threads, results taken in list order.
#include "app/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tarvolin::app {
namespace {

// Results arrive in list order whatever order the workers finish in, and no more than the
// window is ever taken ahead of the consumer.
TEST(OrderedWork, ResultsInListOrderWithinTheWindow) {
  for (const std::size_t threads : {1u, 2u, 4u, 8u}) {
    std::atomic<std::size_t> consumedSoFar{0};
    std::atomic<std::size_t> furthestAhead{0};
    std::vector<std::size_t> seen;
    RunInOrder<std::size_t>(
        200, threads, 8,
        [&](std::size_t index, std::size_t worker) {
          EXPECT_LT(worker, threads);
          const std::size_t ahead = index - consumedSoFar.load();
          std::size_t known = furthestAhead.load();
          while (ahead > known && !furthestAhead.compare_exchange_weak(known, ahead)) {
          }
          // Later indices often finish first.
          std::this_thread::sleep_for(std::chrono::microseconds((index * 7919) % 300));
          return index * 3;
        },
        [&](std::size_t index, std::size_t result) {
          EXPECT_EQ(result, index * 3);
          seen.push_back(index);
          consumedSoFar = index + 1;
          return true;
        });
    ASSERT_EQ(seen.size(), 200u) << threads;
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i);
    EXPECT_LE(furthestAhead.load(), threads > 1 ? 8u : 0u);
  }
}

// Stopping (false from the consumer) or a consumer's exception starts no further index, and
// every worker is joined before the call returns.
TEST(OrderedWork, StopAndExceptionEndTheRun) {
  std::atomic<std::size_t> started{0};
  std::size_t consumed = 0;
  RunInOrder<int>(
      10000, 4, 16,
      [&](std::size_t, std::size_t) {
        ++started;
        return 0;
      },
      [&](std::size_t index, int) {
        ++consumed;
        return index < 9;
      });
  EXPECT_EQ(consumed, 10u);
  EXPECT_LE(started.load(), 10u + 16u);

  started = 0;
  EXPECT_THROW(RunInOrder<int>(
                   10000, 3, 6,
                   [&](std::size_t, std::size_t) {
                     ++started;
                     return 0;
                   },
                   [&](std::size_t index, int) -> bool {
                     if (index == 4) throw std::runtime_error("write failed");
                     return true;
                   }),
               std::runtime_error);
  EXPECT_LE(started.load(), 5u + 6u);
}

}  // namespace
}  // namespace tarvolin::app
