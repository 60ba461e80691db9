// Runs `produce(i)` for i = 0..count-1 on several worker threads and hands the results to
// `consume(i, result)` on the calling thread in index order. At most `maxInFlight` results exist
// at once (produced but not yet consumed), so memory is bounded by the largest few items, not
// by the whole list. `consume` returns false to stop: no further item is started, and items
// already started are finished and dropped.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zyl::base {

// The threads of a run: the requested number, or one per core when none was requested.
inline unsigned PipelineWorkers(unsigned requested) {
  return requested ? requested : std::max(1u, std::thread::hardware_concurrency());
}

// Results in flight for `workers` threads: two per worker keeps every worker busy while the
// calling thread stores a large item, and the two extra cover the item being consumed.
inline std::size_t PipelineDepth(unsigned workers) {
  return 2 * static_cast<std::size_t>(workers) + 2;
}

template <typename T>
void RunOrderedPipeline(std::size_t count, unsigned workers, std::size_t maxInFlight,
                        const std::function<T(std::size_t)>& produce,
                        const std::function<bool(std::size_t, T&&)>& consume) {
  if (workers == 0) workers = 1;
  if (maxInFlight < workers) maxInFlight = workers;
  if (workers == 1) {
    // No threads for the simple case: the same order, the same results.
    for (std::size_t i = 0; i < count; ++i)
      if (!consume(i, produce(i))) return;
    return;
  }
  std::mutex m;
  std::condition_variable ready;  // a result arrived
  std::condition_variable room;   // a result was consumed
  std::map<std::size_t, T> done;
  std::size_t next = 0;      // next index to start
  std::size_t consumed = 0;  // next index to consume
  bool stop = false;
  std::exception_ptr failure;

  auto worker = [&] {
    while (true) {
      std::size_t i;
      {
        std::unique_lock lock(m);
        room.wait(lock, [&] { return stop || next >= count || next < consumed + maxInFlight; });
        if (stop || next >= count) return;
        i = next++;
      }
      try {
        T result = produce(i);
        std::lock_guard lock(m);
        done.emplace(i, std::move(result));
      } catch (...) {
        std::lock_guard lock(m);
        if (!failure) failure = std::current_exception();
        stop = true;
      }
      ready.notify_all();
    }
  };
  std::vector<std::thread> threads;
  const unsigned n =
      static_cast<unsigned>(std::min<std::size_t>(workers, std::max<std::size_t>(count, 1)));
  threads.reserve(n);
  for (unsigned t = 0; t < n; ++t) threads.emplace_back(worker);

  try {
    while (consumed < count) {
      std::optional<T> item;
      {
        std::unique_lock lock(m);
        ready.wait(lock, [&] { return stop || done.count(consumed) != 0; });
        if (done.count(consumed) == 0) break;  // stopped by a failure
        auto node = done.extract(consumed);
        item.emplace(std::move(node.mapped()));
      }
      const bool goOn = consume(consumed, std::move(*item));
      {
        std::lock_guard lock(m);
        ++consumed;
        if (!goOn) stop = true;
      }
      room.notify_all();
      if (!goOn) break;
    }
  } catch (...) {
    std::lock_guard lock(m);
    if (!failure) failure = std::current_exception();
    stop = true;
  }
  {
    std::lock_guard lock(m);
    stop = true;
  }
  room.notify_all();
  for (auto& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zyl::base
