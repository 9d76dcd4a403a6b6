// Work on a list spread over worker threads, its results taken in list order by the calling
// thread: output written from the results is the same, byte for byte, as a one-thread run's.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace tarvolin::app {

/// Runs `work(index, worker)` for every index below `count` on `threads` workers (`worker`
/// tells which one, so each may keep its own engines and buffers) and hands each result to
/// `consume(index, result)` on the calling thread, in index order. At most `window` results
/// are in flight or waiting, so memory stays flat however long the list. `consume` returning
/// false ends the run: no further index is started, and the workers finish what they hold
/// (`work` should notice the same condition and return early) and are joined before this
/// returns. With one thread everything runs on the calling thread, one index after the other.
/// An exception from `consume` stops and joins the workers too, then passes on; `work` must
/// not throw.
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
  std::mutex mutex;
  std::condition_variable done;   // a result arrived (the caller waits)
  std::condition_variable space;  // a slot was freed, or the run ends (workers wait)
  std::vector<std::optional<Result>> slots(window);
  std::size_t next = 0;      // the next index a worker takes
  std::size_t consumed = 0;  // the next index the caller takes
  bool cancelled = false;

  const auto run = [&](std::size_t worker) {
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex);
        space.wait(lock, [&] { return cancelled || next >= count || next < consumed + window; });
        if (cancelled || next >= count) return;
        index = next++;
      }
      Result result = work(index, worker);
      {
        std::lock_guard lock(mutex);
        slots[index % window] = std::move(result);
      }
      done.notify_one();
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
  pool.reserve(threads);
  platform::StartThreadsWithoutSignals([&] {
    for (std::size_t worker = 0; worker < threads; ++worker) pool.emplace_back(run, worker);
  });
  const TCancelOnExit guard{mutex, space, cancelled};

  while (consumed < count) {
    Result result;
    {
      std::unique_lock lock(mutex);
      done.wait(lock, [&] { return slots[consumed % window].has_value(); });
      result = std::move(*slots[consumed % window]);
      slots[consumed % window].reset();
      ++consumed;
    }
    space.notify_all();
    if (!consume(consumed - 1, result)) return;
  }
}

}  // namespace tarvolin::app
