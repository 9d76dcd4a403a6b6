// Memory and file streams, and the multi-engine file reader.
#include "hash/stream.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstring>
#include <exception>
#include <numeric>
#include <thread>

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

bool TFileStream::ChangedWhileRead() const {
  return impl_->file.ChangedWhileRead();
}

void TFileStream::SetReadCounter(std::atomic<std::uint64_t>* counter) {
  impl_->counter = counter;
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
  if (impl_->counter != nullptr) {
    impl_->counter->fetch_add(static_cast<std::uint64_t>(n), std::memory_order_relaxed);
  }
  return n;
}

void TFileStream::Seek(std::int64_t offset) {
  std::string error;
  if (!impl_->file.Seek(offset, error)) throw EFileError(error);
}

// ---------------------------------------------------------------------------------------------
// TFileHasher

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
  if (threads_ > 1 && engines.size() > 1 && stream.Size() >= kParallelMinimum) {
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
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  const std::size_t workers = std::min(static_cast<std::size_t>(threads_), engines.size());
  std::array<std::vector<std::uint8_t>, 2> buffers{std::vector<std::uint8_t>(kChunk),
                                                   std::vector<std::uint8_t>(kChunk)};
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
  std::barrier<> round(static_cast<std::ptrdiff_t>(workers + 1));

  const auto run = [&] {
    for (;;) {
      round.arrive_and_wait();  // a buffer is ready, or the file is done
      if (finished) return;
      for (std::size_t task = nextTask++; task < order.size(); task = nextTask++) {
        const std::size_t e = order[task];
        const auto start = std::chrono::steady_clock::now();
        engines[e]->UpdateRange(current, 0, current.size());
        seconds[e] +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      }
      round.arrive_and_wait();  // every engine has taken the buffer
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
    got = stream.Read(buffers[which].data(), static_cast<std::int64_t>(kChunk));
  } catch (...) {
    failure = std::current_exception();
  }
  for (bool first = true; !failure; first = false) {
    current = std::span<const std::uint8_t>(buffers[which].data(), static_cast<std::size_t>(got));
    nextTask = 0;
    round.arrive_and_wait();
    // While the engines take this buffer, the next one is read.
    const bool more =
        got == static_cast<std::int64_t>(kChunk) &&
        !(stream.Size() >= 0 && stream.Position() > stream.Size() && stream.ChangedWhileRead());
    std::int64_t next = 0;
    if (more) {
      try {
        if (stop && stop()) throw EReadStopped();
        next = stream.Read(buffers[which ^ 1].data(), static_cast<std::int64_t>(kChunk));
      } catch (...) {
        failure = std::current_exception();
      }
    }
    round.arrive_and_wait();
    if (first) {
      std::sort(order.begin(), order.end(),
                [&](std::size_t a, std::size_t b) { return seconds[a] > seconds[b]; });
    }
    if (!more) break;
    which ^= 1;
    got = next;
  }
  finished = true;
  round.arrive_and_wait();
  pool.clear();
  if (failure) std::rethrow_exception(failure);
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
