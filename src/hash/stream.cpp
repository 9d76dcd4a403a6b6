// Memory and file streams, and the multi-engine file reader.
#include "hash/stream.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>

#include "hash/blake3.h"
#include "platform/platform.h"

namespace tarvolin::hash {

// ---------------------------------------------------------------------------------------------
// Streams

std::int64_t TMemoryStream::Read(std::uint8_t* destination, std::int64_t count) {
  const std::int64_t available = std::max<std::int64_t>(0, Size() - position_);
  const std::int64_t n = std::min(count, available);
  if (n > 0) std::memcpy(destination, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += std::max<std::int64_t>(n, 0);
  return std::max<std::int64_t>(n, 0);
}

void TMemoryStream::Seek(std::int64_t offset) {
  position_ = std::max<std::int64_t>(offset, 0);
}

struct TFileStream::Impl {
  platform::TInputFile file;
  std::string name;
  std::atomic<std::uint64_t>* counter = nullptr;
};

TFileStream::TFileStream(const std::string& fileName, bool regularOnly)
    : impl_(std::make_unique<Impl>()) {
  impl_->name = fileName;
  std::string error;
  if (!impl_->file.Open(fileName, error, regularOnly)) throw EFileError(error);
}

std::int64_t TFileStream::ReadAt(std::int64_t offset, std::uint8_t* destination,
                                 std::int64_t count) const {
  std::string error;
  const std::int64_t n = impl_->file.ReadAt(offset, destination, count, error);
  if (n < 0) throw EFileError(error);
  CountRead(n);
  return n;
}

bool TFileStream::ChangedWhileRead() const {
  return impl_->file.ChangedWhileRead();
}

void TFileStream::SetReadCounter(std::atomic<std::uint64_t>* counter) {
  impl_->counter = counter;
}

void TFileStream::CountRead(std::int64_t bytes) const {
  if (impl_->counter != nullptr) {
    impl_->counter->fetch_add(static_cast<std::uint64_t>(bytes), std::memory_order_relaxed);
  }
}

TFileStream::~TFileStream() = default;

std::int64_t TFileStream::Position() const {
  return impl_->file.Position();
}

std::int64_t TFileStream::Size() const {
  return impl_->file.Size();
}

std::int64_t TFileStream::Read(std::uint8_t* destination, std::int64_t count) {
  std::string error;
  const std::int64_t n = impl_->file.Read(destination, count, error);
  if (n < 0) throw EFileError(error);
  CountRead(n);
  return n;
}

void TFileStream::Seek(std::int64_t offset) {
  std::string error;
  if (!impl_->file.Seek(offset, error)) throw EFileError(error);
}

// ---------------------------------------------------------------------------------------------
// TFileHasher

namespace {

/// Where the threads reading one file meet between rounds. (A mutex and a condition variable:
/// the standard barrier's waiting has been seen to miss its wake-up with some systems'
/// libraries.) A thread that arrives early first waits a little without sleeping, giving way
/// to any thread that needs its core: a round is short, and waking a sleeping thread can cost
/// more than the round itself on a virtual machine.
class TRoundBarrier {
 public:
  explicit TRoundBarrier(std::size_t threads) : threads_(threads) {}
  void ArriveAndWait() {
    std::unique_lock lock(mutex_);
    const std::uint64_t round = round_.load(std::memory_order_relaxed);
    if (++arrived_ == threads_) {
      arrived_ = 0;
      round_.store(round + 1, std::memory_order_release);
      const bool wake = sleeping_ > 0;
      lock.unlock();
      if (wake) next_.notify_all();
      return;
    }
    lock.unlock();
    const auto until = std::chrono::steady_clock::now() + kSpinFor;
    while (std::chrono::steady_clock::now() < until) {
      if (round_.load(std::memory_order_acquire) != round) return;
      std::this_thread::yield();
    }
    lock.lock();
    ++sleeping_;
    next_.wait(lock, [&] { return round_.load(std::memory_order_relaxed) != round; });
    --sleeping_;
  }

 private:
  static constexpr std::chrono::microseconds kSpinFor{200};
  std::mutex mutex_;
  std::condition_variable next_;
  const std::size_t threads_;
  std::size_t arrived_ = 0;
  std::size_t sleeping_ = 0;
  std::atomic<std::uint64_t> round_{0};
};

}  // namespace

std::vector<IHashResultPtr> TFileHasher::HashFile(const std::string& fileName,
                                                  std::span<IHash* const> engines, bool regularOnly,
                                                  const std::function<bool()>& stop) {
  // Opening first saves a look-up per file; only a failed open asks whether the file exists.
  std::unique_ptr<TFileStream> opened;
  try {
    opened = std::make_unique<TFileStream>(fileName, regularOnly);
  } catch (const EFileError&) {
    if (!platform::IsExistingFile(fileName)) throw EArgumentError("Specified File Not Found");
    throw;
  }
  TFileStream& stream = *opened;
  stream.SetReadCounter(read_counter_);
  for (IHash* engine : engines) engine->Initialize();
  TBlake3* tree = engines.size() == 1 ? dynamic_cast<TBlake3*>(engines[0]) : nullptr;
  if (threads_ > 1 && tree && stream.Size() >= kTreeMinimum) {
    UpdateTree(stream, *tree, stop);
  } else if (threads_ > 1 && engines.size() > 1 && stream.Size() >= kParallelMinimum) {
    UpdateParallel(stream, engines, stop);
  } else {
    UpdateSerial(stream, engines, buffer_, stop);
  }
  if (stream.ChangedWhileRead()) throw EFileError("The file changed while it was read");
  std::vector<IHashResultPtr> results;
  results.reserve(engines.size());
  for (IHash* engine : engines) results.push_back(engine->Final());
  return results;
}

void TFileHasher::UpdateParallel(TFileStream& stream, std::span<IHash* const> engines,
                                 const std::function<bool()>& stop) {
  // Rounds of a quarter megabyte: the buffer is still in the cores' caches when the engines
  // take it, and a round is long enough that meeting between rounds costs little.
  constexpr std::size_t kChunk = std::size_t{256} << 10;
  static_assert(kChunk <= kSpareSize);
  // The calling thread reads the next buffer, then takes engines as the workers do.
  const std::size_t workers = std::min(static_cast<std::size_t>(threads_), engines.size()) - 1;
  const std::array<std::uint8_t*, 2> buffers{Spare(0), Spare(1)};
  // Shared with the workers; written by this thread only between the two barriers of a round,
  // while the workers wait.
  std::span<const std::uint8_t> current;
  bool finished = false;
  std::atomic<std::size_t> nextTask{0};
  // The engines in the order they are taken: the slowest first, once a round has been timed,
  // so that the last engines taken are short and the threads finish together.
  std::vector<std::size_t> order(engines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::vector<double> seconds(engines.size(), 0.0);
  TRoundBarrier round(workers + 1);

  const auto takeEngines = [&] {
    for (std::size_t task = nextTask++; task < order.size(); task = nextTask++) {
      const std::size_t e = order[task];
      const auto start = std::chrono::steady_clock::now();
      engines[e]->UpdateRange(current, 0, current.size());
      seconds[e] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  };
  const auto run = [&] {
    for (;;) {
      round.ArriveAndWait();  // a buffer is ready, or the file is done
      if (finished) return;
      takeEngines();
      round.ArriveAndWait();  // every engine has taken the buffer
    }
  };
  std::vector<std::jthread> pool;
  platform::StartThreadsWithoutSignals([&] {
    for (std::size_t w = 0; w < workers; ++w) pool.emplace_back(run);
  });

  std::exception_ptr failure;
  std::size_t which = 0;
  std::int64_t got = 0;
  try {
    if (stop && stop()) throw EReadStopped();
    got = stream.Read(buffers[which], static_cast<std::int64_t>(kChunk));
  } catch (...) {
    failure = std::current_exception();
  }
  for (bool first = true; !failure; first = false) {
    current = std::span<const std::uint8_t>(buffers[which], static_cast<std::size_t>(got));
    nextTask = 0;
    round.ArriveAndWait();
    // While the engines take this buffer, the next one is read.
    const bool more =
        got == static_cast<std::int64_t>(kChunk) &&
        !(stream.Size() >= 0 && stream.Position() > stream.Size() && stream.ChangedWhileRead());
    std::int64_t next = 0;
    if (more) {
      try {
        if (stop && stop()) throw EReadStopped();
        next = stream.Read(buffers[which ^ 1], static_cast<std::int64_t>(kChunk));
      } catch (...) {
        failure = std::current_exception();
      }
    }
    takeEngines();
    round.ArriveAndWait();
    if (first) {
      std::sort(order.begin(), order.end(),
                [&](std::size_t a, std::size_t b) { return seconds[a] > seconds[b]; });
    }
    if (!more) break;
    which ^= 1;
    got = next;
  }
  finished = true;
  round.ArriveAndWait();
  pool.clear();
  if (failure) std::rethrow_exception(failure);
}

void TFileHasher::UpdateTree(TFileStream& stream, TBlake3& engine,
                             const std::function<bool()>& stop) {
  // The file's whole pieces but the one holding its last byte are complete subtrees, read and
  // hashed by every thread, the calling one too; the engine joins their chaining values in
  // order, a batch at a time, and reads the rest itself: the root stays with the engine.
  constexpr std::size_t kPieceChunks = 256;
  constexpr std::size_t kPiece = kPieceChunks * 1024;
  static_assert(kPiece <= kSpareSize);
  constexpr std::int64_t kBatch = 256;
  const std::int64_t pieces = (stream.Size() - 1) / static_cast<std::int64_t>(kPiece);
  const std::size_t workers = static_cast<std::size_t>(threads_) - 1;
  std::vector<std::uint32_t> cvs(static_cast<std::size_t>(kBatch) * 8);
  std::int64_t first = 0;  // the batch's first piece
  std::int64_t end = 0;
  std::atomic<std::int64_t> next{0};
  std::atomic<bool> halt{false};
  bool finished = false;
  std::exception_ptr failure;
  std::mutex failureLock;
  TRoundBarrier round(workers + 1);

  const auto hashPieces = [&](std::uint8_t* buffer, bool asksStop) {
    for (std::int64_t piece = next++; piece < end; piece = next++) {
      try {
        if (asksStop && stop && stop()) throw EReadStopped();
        if (halt) return;
        const auto offset = piece * static_cast<std::int64_t>(kPiece);
        std::uint32_t* const cv = cvs.data() + 8 * static_cast<std::size_t>(piece - first);
        const auto counter = static_cast<std::uint64_t>(piece) * kPieceChunks;
        if (stream.ReadAt(offset, buffer, static_cast<std::int64_t>(kPiece)) !=
            static_cast<std::int64_t>(kPiece)) {
          throw EFileError("The file changed while it was read");
        }
        engine.SubtreeCv(buffer, kPieceChunks, counter, cv);
      } catch (...) {
        const std::lock_guard lock(failureLock);
        if (!failure) failure = std::current_exception();
        halt = true;
        return;
      }
    }
  };
  std::vector<std::jthread> pool;
  platform::StartThreadsWithoutSignals([&] {
    for (std::size_t w = 0; w < workers; ++w) {
      pool.emplace_back([&, buffer = Spare(w + 1)] {
        for (;;) {
          round.ArriveAndWait();  // a batch is ready, or the file is done
          if (finished) return;
          hashPieces(buffer, false);
          round.ArriveAndWait();  // the batch is hashed
        }
      });
    }
  });

  std::uint8_t* const own = Spare(0);
  for (first = 0; first < pieces && !halt; first = end) {
    end = std::min(first + kBatch, pieces);
    next = first;
    round.ArriveAndWait();
    hashPieces(own, true);
    round.ArriveAndWait();
    if (halt) break;
    for (std::int64_t piece = first; piece < end; ++piece) {
      engine.AppendSubtree(cvs.data() + 8 * static_cast<std::size_t>(piece - first), kPieceChunks);
    }
  }
  finished = true;
  round.ArriveAndWait();
  pool.clear();
  if (failure) std::rethrow_exception(failure);
  stream.Seek(pieces * static_cast<std::int64_t>(kPiece));
  IHash* const alone = &engine;
  UpdateSerial(stream, std::span<IHash* const>(&alone, 1), buffer_, stop);
}

std::uint8_t* TFileHasher::Spare(std::size_t index) {
  while (spares_.size() <= index) {
    spares_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kSpareSize));
  }
  return spares_[index].get();
}

void TFileHasher::UpdateSerial(TFileStream& stream, std::span<IHash* const> engines,
                               std::vector<std::uint8_t>& buffer,
                               const std::function<bool()>& stop) {
  const auto chunk = static_cast<std::int64_t>(buffer.size());
  for (;;) {
    if (stop && stop()) throw EReadStopped();
    const std::int64_t n = stream.Read(buffer.data(), chunk);
    for (IHash* engine : engines) {
      engine->UpdateRange(buffer, 0, static_cast<std::size_t>(n));
    }
    if (n < chunk) break;
    // A regular file read past the size it had when opened may be growing: then it has
    // changed, and reading on could take forever. (A pseudo-file may just hold more than its
    // size says; it is read to its end.)
    if (stream.Size() >= 0 && stream.Position() > stream.Size() && stream.ChangedWhileRead()) {
      break;
    }
  }
}

}  // namespace tarvolin::hash
