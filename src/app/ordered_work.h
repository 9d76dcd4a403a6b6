// Work on a list spread over worker threads, its results taken in list order by the calling
// thread: output written from the results is the same, byte for byte, as a one-thread run's.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace tarvolin::app {

/// Items a worker may be ahead by: enough to keep every worker busy while the lines are
/// written, few enough that memory stays flat for a million files.
inline constexpr std::size_t kItemsPerWorker = 64;

/// How long a worker may keep finished results before handing them over.
inline constexpr std::chrono::milliseconds kHandOverAfter{2};

/// Runs `work(index, worker)` for every index below `count` on `threads` threads, the calling
/// one among them (`worker`, below `threads`, tells which one, so each may keep its own
/// engines and buffers) and hands each result to `consume(index, result)` on the calling
/// thread, in index order. At most `window` results are in flight or waiting, so memory stays
/// flat however long the list. `consume` returning false ends the run: no further index is
/// started, and the workers finish what they hold (`work` should notice the same condition and
/// return early) and are joined before this returns. With one thread everything runs on the
/// calling thread, one index after the other. An exception from `consume` stops and joins the
/// workers too, then passes on; `work` must not throw.
template <typename Result, typename Work, typename Consume>
void RunInOrder(std::size_t count, std::size_t threads, std::size_t window, Work&& work,
                Consume&& consume) {
  if (threads <= 1 || count <= 1) {
    for (std::size_t index = 0; index < count; ++index) {
      Result result = work(index, std::size_t{0});
      if (!consume(index, result)) return;
    }
    return;
  }
  window = std::max(window, threads);
  // A worker takes a few consecutive indices at a time, and each side wakes the other only
  // when it waits: with many small files the hand-over, not the hashing, would cost most.
  const std::size_t batch = std::max<std::size_t>(1, window / (threads * 2));
  std::mutex mutex;
  std::condition_variable done;   // a result arrived (the caller waits)
  std::condition_variable space;  // a slot was freed, or the run ends (workers wait)
  std::vector<std::optional<Result>> slots(window);
  std::size_t next = 0;      // the next index a worker takes
  std::size_t consumed = 0;  // the next index the caller takes
  std::size_t released = 0;  // indices below this have been consumed: their slots are free
  bool callerWaits = false;
  std::size_t workersWaiting = 0;
  bool cancelled = false;

  // Takes the next run of indices under the lock; an empty run when there is none to take.
  const auto take = [&]() -> std::pair<std::size_t, std::size_t> {
    if (cancelled || next >= count) return {count, count};
    const std::size_t first = next;
    // Shorter runs as the list runs out (a share of what is left), so that the last items
    // (a few large files, say) are spread over the threads instead of kept by one.
    const std::size_t share = std::max<std::size_t>(1, (count - next) / (threads * 2));
    next = std::min({count, released + window, next + std::min(batch, share)});
    return {first, next};
  };
  // Room for a whole run: woken for every freed slot, a worker would take one index at a time
  // and wake as often as the caller consumes.
  const auto roomForRun = [&] { return std::min(count, next + batch) <= released + window; };

  // Results are handed over a few at a time: one lock and at most one wake-up for a run of
  // quick ones, while a slow one (a large file) is handed over as soon as it is done.
  const auto runIndices = [&](std::size_t first, std::size_t end, std::size_t worker) {
    std::vector<Result> results;
    results.reserve(end - first);
    std::size_t from = first;
    auto started = std::chrono::steady_clock::now();
    for (std::size_t index = first; index < end; ++index) {
      results.push_back(work(index, worker));
      const auto now = std::chrono::steady_clock::now();
      if (index + 1 < end && now - started < kHandOverAfter) continue;
      bool wake = false;
      {
        std::lock_guard lock(mutex);
        for (std::size_t k = from; k <= index; ++k)
          slots[k % window] = std::move(results[k - from]);
        wake = callerWaits && consumed >= from && consumed <= index;
      }
      if (wake) done.notify_one();
      results.clear();
      from = index + 1;
      started = now;
    }
  };

  const auto run = [&](std::size_t worker) {
    for (;;) {
      std::pair<std::size_t, std::size_t> indices;
      {
        std::unique_lock lock(mutex);
        const auto ready = [&] { return cancelled || next >= count || roomForRun(); };
        if (!ready()) {
          ++workersWaiting;
          space.wait(lock, ready);
          --workersWaiting;
        }
        indices = take();
      }
      if (indices.first == indices.second) return;
      runIndices(indices.first, indices.second, worker);
    }
  };

  // Declared before the guard: the guard cancels first, then the threads are joined.
  std::vector<std::jthread> pool;
  struct TCancelOnExit {
    std::mutex& Mutex;
    std::condition_variable& Space;
    bool& Cancelled;
    ~TCancelOnExit() {
      {
        std::lock_guard lock(Mutex);
        Cancelled = true;
      }
      Space.notify_all();
    }
  };
  // The calling thread is the last worker: it hashes too whenever the next result is not
  // ready, instead of sleeping beside threads that compete for the same cores.
  const std::size_t caller = threads - 1;
  pool.reserve(caller);
  platform::StartThreadsWithoutSignals([&] {
    for (std::size_t worker = 0; worker < caller; ++worker) pool.emplace_back(run, worker);
  });
  const TCancelOnExit guard{mutex, space, cancelled};

  // The caller takes every result that is ready at once, under one lock, and consumes them
  // outside it: the workers then rarely find the lock taken. Their slots count as taken until
  // they are consumed, so no more than `window` results are ever held.
  std::vector<Result> ready;
  ready.reserve(window);
  while (consumed < count) {
    const std::size_t first = consumed;
    {
      std::unique_lock lock(mutex);
      released = consumed;
      if (workersWaiting > 0 && std::min(count, next + batch) <= released + window) {
        space.notify_all();
      }
      const auto arrived = [&] { return slots[consumed % window].has_value(); };
      if (!arrived() && next < count && roomForRun()) {
        const auto indices = take();
        lock.unlock();
        runIndices(indices.first, indices.second, caller);
        continue;
      }
      if (!arrived()) {
        callerWaits = true;
        done.wait(lock, arrived);
        callerWaits = false;
      }
      while (consumed < count && slots[consumed % window].has_value()) {
        ready.push_back(std::move(*slots[consumed % window]));
        slots[consumed % window].reset();
        ++consumed;
      }
    }
    for (std::size_t k = 0; k < ready.size(); ++k) {
      if (!consume(first + k, ready[k])) return;
    }
    ready.clear();
  }
}

}  // namespace tarvolin::app
