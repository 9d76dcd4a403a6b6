// The shared engine machinery: input operations, block buffering and results.
#include "hash/hash.h"

#include <algorithm>
#include <cstring>

#include "hash/stream.h"
#include "platform/platform.h"

namespace tarvolin::hash {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string Base64(ByteSpan bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (const std::size_t rest = bytes.size() - i; rest > 0) {
    std::uint32_t v = bytes[i] << 16;
    if (rest == 2) v |= bytes[i + 1] << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

void SecureZero(void* data, std::size_t size) {
  if (data == nullptr || size == 0) return;
  std::memset(data, 0, size);
  // Tells the compiler the zeroed memory is still observed, so the stores stay.
  asm volatile("" : : "r"(data) : "memory");
}

// ---------------------------------------------------------------------------------------------
// Encoding

Bytes TUTF8Encoding::GetBytes(std::string_view text) const {
  return Bytes(text.begin(), text.end());
}

const TEncoding& TUTF8Encoding::Instance() {
  static const TUTF8Encoding instance;
  return instance;
}

// ---------------------------------------------------------------------------------------------
// Results

THashResult::THashResult(std::uint64_t value) : bytes_(8) {
  for (int i = 7; i >= 0; --i) {
    bytes_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    value >>= 8;
  }
}

std::uint64_t THashResult::BigEndian(std::size_t size, const char* typeName) const {
  if (bytes_.size() != size) {
    throw EInvalidOperationError(
        std::string("Current Data Structure cannot be Represented as an \"") + typeName +
        "\" Type.");
  }
  std::uint64_t value = 0;
  for (const std::uint8_t b : bytes_) value = (value << 8) | b;
  return value;
}

std::uint8_t THashResult::ToUInt8() const {
  return static_cast<std::uint8_t>(BigEndian(1, "UInt8"));
}

std::uint16_t THashResult::ToUInt16() const {
  return static_cast<std::uint16_t>(BigEndian(2, "UInt16"));
}

std::uint32_t THashResult::ToUInt32() const {
  return static_cast<std::uint32_t>(BigEndian(4, "UInt32"));
}

std::int32_t THashResult::ToInt32() const {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(BigEndian(4, "Int32")));
}

std::uint64_t THashResult::ToUInt64() const {
  return BigEndian(8, "UInt64");
}

std::string THashResult::ToHex(bool group) const {
  const bool separators = group && bytes_.size() > 1;
  std::string text;
  text.reserve(bytes_.size() * (separators ? 3 : 2));
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (separators && i > 0) text += '-';
    text += kHexDigits[bytes_[i] >> 4];
    text += kHexDigits[bytes_[i] & 15];
  }
  return text;
}

bool THashResult::SameAs(const IHashResult& other) const {
  const ByteSpan a = bytes_;
  const ByteSpan b = other.View();
  std::size_t d = a.size() ^ b.size();
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) d |= static_cast<std::size_t>(a[i] ^ b[i]);
  return d == 0;
}

std::int32_t THashResult::HashCode() const {
  std::uint32_t h = 0;
  for (const char c : Base64(bytes_)) {
    h = ((h << 5) | (h >> 27)) ^ static_cast<std::uint8_t>(c);
  }
  return static_cast<std::int32_t>(h);
}

// ---------------------------------------------------------------------------------------------
// THash

void THash::SetBufferSize(std::int32_t size) {
  if (size <= 0) throw EArgumentError("\"BufferSize\" Must Be Greater Than Zero");
  buffer_size_ = size;
}

void THash::UpdateText(std::string_view text, const TEncoding* encoding) {
  if (encoding == nullptr) throw EArgumentNilError("Encoding Instance Cannot Be Nil");
  const Bytes bytes = encoding->GetBytes(text);
  UpdateBytes(bytes);
}

void THash::UpdateBytes(ByteSpan bytes) {
  TransformBytes(bytes.data(), bytes.size());
}

void THash::UpdateBytesFrom(ByteSpan bytes, std::size_t start) {
  if (start > bytes.size()) throw EIndexOutOfRangeError("Current Index Is Out Of Range");
  TransformBytes(bytes.data() + start, bytes.size() - start);
}

void THash::UpdateRange(ByteSpan bytes, std::size_t start, std::size_t count) {
  // A range outside the array would read foreign memory: refuse it.
  if (start > bytes.size() || count > bytes.size() - start) {
    throw EIndexOutOfRangeError("Current Index Is Out Of Range");
  }
  TransformBytes(bytes.data() + start, count);
}

void THash::UpdateMemory(const void* address, std::int64_t length) {
  if (address == nullptr || length <= 0) return;
  // Fed in chunks of the buffer size, as the streams are; no copy is needed.
  const std::int64_t chunk = buffer_size_ <= length ? buffer_size_ : kDefaultBufferSize;
  const auto* p = static_cast<const std::uint8_t*>(address);
  while (length > 0) {
    const std::int64_t n = std::min(chunk, length);
    TransformBytes(p, static_cast<std::size_t>(n));
    p += n;
    length -= n;
  }
}

void THash::UpdateStream(TStream* stream, std::int64_t length) {
  if (stream == nullptr) throw EArgumentNilError("Input Stream Is Unassigned");
  const std::int64_t size = stream->Size();
  const bool sized = size >= 0;  // pipes and devices have no size and are read to their end
  if (sized) {
    if (length > -1 && stream->Position() + length > size) {
      throw EIndexOutOfRangeError("Current Index Is Out Of Range");
    }
    if (stream->Position() >= size) return;
  }
  const std::int64_t chunk = (!sized || buffer_size_ <= size) ? buffer_size_ : kDefaultBufferSize;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(chunk));
  if (length < 0) {
    for (;;) {
      const std::int64_t n = stream->Read(buffer.data(), chunk);
      TransformBytes(buffer.data(), static_cast<std::size_t>(n));
      if (n < chunk) break;
    }
    return;
  }
  std::int64_t total = 0;
  while (total < length) {
    const std::int64_t n = stream->Read(buffer.data(), std::min(chunk, length - total));
    TransformBytes(buffer.data(), static_cast<std::size_t>(n));
    total += n;
    if (n == 0) break;
  }
}

void THash::UpdateFile(const std::string& fileName, std::int64_t start, std::int64_t length) {
  if (!platform::IsExistingFile(fileName)) throw EArgumentError("Specified File Not Found");
  TFileStream stream(fileName);
  if (start != 0) stream.Seek(start);
  UpdateStream(&stream, length);
}

IHashResultPtr THash::HashText(std::string_view text, const TEncoding* encoding) {
  if (encoding == nullptr) throw EArgumentNilError("Encoding Instance Cannot Be Nil");
  const Bytes bytes = encoding->GetBytes(text);
  return HashBytes(bytes);
}

IHashResultPtr THash::HashBytes(ByteSpan bytes) {
  Initialize();
  UpdateBytes(bytes);
  return Final();
}

IHashResultPtr THash::HashMemory(const void* address, std::int64_t length) {
  Initialize();
  UpdateMemory(address, length);
  return Final();
}

IHashResultPtr THash::HashStream(TStream* stream, std::int64_t length) {
  Initialize();
  UpdateStream(stream, length);
  return Final();
}

IHashResultPtr THash::HashFile(const std::string& fileName, std::int64_t start,
                               std::int64_t length) {
  Initialize();
  UpdateFile(fileName, start, length);
  return Final();
}

IHashPtr THash::Clone() const {
  throw ENotImplementedError("Clone Not Yet Implemented For \"" + Name() + "\"");
}

// ---------------------------------------------------------------------------------------------
// Block buffering

void THashBuffer::Reset() {
  position_ = 0;
  std::fill(data_.begin(), data_.end(), std::uint8_t{0});
}

bool THashBuffer::Feed(const std::uint8_t*& data, std::size_t& count, std::uint64_t& processed) {
  if (count == 0) return false;
  const std::size_t free = data_.size() - static_cast<std::size_t>(position_);
  const std::size_t n = std::min(free, count);
  std::memcpy(data_.data() + position_, data, n);
  position_ += static_cast<std::int32_t>(n);
  data += n;
  count -= n;
  processed += n;
  return static_cast<std::size_t>(position_) == data_.size();
}

void TBlockHash::Initialize() {
  buffer_.Reset();
  processed_bytes_ = 0;
}

void TBlockHash::TransformBytes(const std::uint8_t* data, std::size_t count) {
  const auto block = static_cast<std::size_t>(BlockSize());
  if (!buffer_.IsEmpty()) {
    if (buffer_.Feed(data, count, processed_bytes_)) {
      buffer_.SetPosition(0);
      ProcessBlocks(buffer_.Data(), 1);
    }
  }
  if (count >= block) {
    const std::size_t blocks = count / block;
    processed_bytes_ += blocks * block;
    ProcessBlocks(data, blocks);
    data += blocks * block;
    count -= blocks * block;
  }
  if (count > 0) buffer_.Feed(data, count, processed_bytes_);
}

void TBlockHash::PadWithLength(ByteSpan lengthField) {
  const std::int32_t block = BlockSize();
  const auto lengthBytes = static_cast<std::int32_t>(lengthField.size());
  const std::int32_t p = buffer_.Position();
  const std::int32_t z =
      p < block - lengthBytes ? block - lengthBytes - p : 2 * block - lengthBytes - p;
  std::vector<std::uint8_t> pad(static_cast<std::size_t>(z + lengthBytes), 0);
  pad[0] = 0x80;
  std::copy(lengthField.begin(), lengthField.end(), pad.begin() + z);
  TransformBytes(pad.data(), pad.size());
}

IHashResultPtr TBlockHash::Final() {
  Pad();
  Bytes digest = ReadDigest();
  Initialize();
  return std::make_shared<THashResult>(std::move(digest));
}

}  // namespace tarvolin::hash
