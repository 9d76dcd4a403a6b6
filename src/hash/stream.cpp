// Memory and file streams, and the multi-engine file reader.
#include "hash/stream.h"

#include <algorithm>
#include <cstring>

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
  for (IHash* engine : engines) engine->Initialize();
  const auto chunk = static_cast<std::int64_t>(buffer_.size());
  for (;;) {
    if (stop && stop()) throw EReadStopped();
    const std::int64_t n = stream.Read(buffer_.data(), chunk);
    for (IHash* engine : engines) {
      engine->UpdateRange(buffer_, 0, static_cast<std::size_t>(n));
    }
    if (n < chunk) break;
    // A regular file read past the size it had when opened may be growing: then it has
    // changed, and reading on could take forever. (A pseudo-file may just hold more than its
    // size says; it is read to its end.)
    if (stream.Size() >= 0 && stream.Position() > stream.Size() && stream.ChangedWhileRead()) {
      break;
    }
  }
  if (stream.ChangedWhileRead()) throw EFileError("The file changed while it was read");
  std::vector<IHashResultPtr> results;
  results.reserve(engines.size());
  for (IHash* engine : engines) results.push_back(engine->Final());
  return results;
}

}  // namespace tarvolin::hash
