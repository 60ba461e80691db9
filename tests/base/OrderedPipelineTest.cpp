#include "base/OrderedPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>

namespace zyl::base {
namespace {

TEST(OrderedPipeline, ConsumesInIndexOrderWhateverTheWorkersTake) {
  for (unsigned workers : {1u, 2u, 4u}) {
    std::vector<std::size_t> order;
    RunOrderedPipeline<std::size_t>(
        200, workers, 8,
        [](std::size_t i) {
          // Uneven work so that later items often finish first.
          std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 300));
          return i * i;
        },
        [&](std::size_t i, std::size_t&& v) {
          EXPECT_EQ(v, i * i);
          order.push_back(i);
          return true;
        });
    ASSERT_EQ(order.size(), 200u);
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
  }
}

TEST(OrderedPipeline, NeverHoldsMoreThanTheLimit) {
  std::atomic<int> inFlight{0};
  std::atomic<int> peak{0};
  RunOrderedPipeline<int>(
      300, 4, 6,
      [&](std::size_t) {
        const int now = ++inFlight;
        int p = peak.load();
        while (now > p && !peak.compare_exchange_weak(p, now)) {
        }
        return 0;
      },
      [&](std::size_t, int&&) {
        --inFlight;
        return true;
      });
  EXPECT_LE(peak.load(), 6);
}

TEST(OrderedPipeline, StopsWhenTheConsumerSaysSoAndPassesFailuresOn) {
  std::atomic<int> started{0};
  std::size_t seen = 0;
  RunOrderedPipeline<int>(
      10000, 3, 4,
      [&](std::size_t) {
        ++started;
        return 1;
      },
      [&](std::size_t i, int&&) {
        ++seen;
        return i < 9;
      });
  EXPECT_EQ(seen, 10u);
  EXPECT_LT(started.load(), 20);
  EXPECT_THROW(RunOrderedPipeline<int>(
                   50, 2, 4,
                   [](std::size_t i) -> int {
                     if (i == 7) throw std::runtime_error("boom");
                     return 0;
                   },
                   [](std::size_t, int&&) { return true; }),
               std::runtime_error);
}

}  // namespace
}  // namespace zyl::base
