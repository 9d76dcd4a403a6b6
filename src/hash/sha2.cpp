// SHA-2 compression functions, eight steps per unrolled group with the state in locals.
#include "hash/sha2.h"

#include <algorithm>
#include <iterator>

#include "hash/bits.h"

namespace tarvolin::hash {

using bits::Rotr32;
using bits::Rotr64;

namespace {

// clang-format off
// First 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::uint32_t kK256[64] = {
    0x428a2f98u, 0x71374491u, 0xb5c0fbcfu, 0xe9b5dba5u, 0x3956c25bu, 0x59f111f1u, 0x923f82a4u, 0xab1c5ed5u,
    0xd807aa98u, 0x12835b01u, 0x243185beu, 0x550c7dc3u, 0x72be5d74u, 0x80deb1feu, 0x9bdc06a7u, 0xc19bf174u,
    0xe49b69c1u, 0xefbe4786u, 0x0fc19dc6u, 0x240ca1ccu, 0x2de92c6fu, 0x4a7484aau, 0x5cb0a9dcu, 0x76f988dau,
    0x983e5152u, 0xa831c66du, 0xb00327c8u, 0xbf597fc7u, 0xc6e00bf3u, 0xd5a79147u, 0x06ca6351u, 0x14292967u,
    0x27b70a85u, 0x2e1b2138u, 0x4d2c6dfcu, 0x53380d13u, 0x650a7354u, 0x766a0abbu, 0x81c2c92eu, 0x92722c85u,
    0xa2bfe8a1u, 0xa81a664bu, 0xc24b8b70u, 0xc76c51a3u, 0xd192e819u, 0xd6990624u, 0xf40e3585u, 0x106aa070u,
    0x19a4c116u, 0x1e376c08u, 0x2748774cu, 0x34b0bcb5u, 0x391c0cb3u, 0x4ed8aa4au, 0x5b9cca4fu, 0x682e6ff3u,
    0x748f82eeu, 0x78a5636fu, 0x84c87814u, 0x8cc70208u, 0x90befffau, 0xa4506cebu, 0xbef9a3f7u, 0xc67178f2u,
};

// First 64 bits of the fractional parts of the cube roots of the first 80 primes.
constexpr std::uint64_t kK512[80] = {
    0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL,
    0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL,
    0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL,
    0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL, 0xc19bf174cf692694ULL,
    0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
    0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL,
    0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL,
    0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL, 0x142929670a0e6e70ULL,
    0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL, 0x53380d139d95b3dfULL,
    0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
    0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL,
    0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL,
    0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL,
    0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL, 0x682e6ff3d6b2b8a3ULL,
    0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
    0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL,
    0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL,
    0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL, 0x1b710b35131c471bULL,
    0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL, 0x431d67c49c100d4cULL,
    0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL,
};
// clang-format on

}  // namespace

// One step of either family; `d` and `h` are updated, the other six only rotate names.
#define SHA2_STEP(S0, S1, K, a, b, c, d, e, f, g, h, t)                    \
  {                                                                        \
    const auto t1 = h + S1(e) + ((g) ^ ((e) & ((f) ^ (g)))) + K[t] + w[t]; \
    const auto t2 = S0(a) + (((a) & (b)) | ((c) & ((a) | (b))));           \
    d += t1;                                                               \
    h = t1 + t2;                                                           \
  }
#define SHA2_EIGHT(S0, S1, K, t)                       \
  SHA2_STEP(S0, S1, K, a, b, c, d, e, f, g, h, t);     \
  SHA2_STEP(S0, S1, K, h, a, b, c, d, e, f, g, t + 1); \
  SHA2_STEP(S0, S1, K, g, h, a, b, c, d, e, f, t + 2); \
  SHA2_STEP(S0, S1, K, f, g, h, a, b, c, d, e, t + 3); \
  SHA2_STEP(S0, S1, K, e, f, g, h, a, b, c, d, t + 4); \
  SHA2_STEP(S0, S1, K, d, e, f, g, h, a, b, c, t + 5); \
  SHA2_STEP(S0, S1, K, c, d, e, f, g, h, a, b, t + 6); \
  SHA2_STEP(S0, S1, K, b, c, d, e, f, g, h, a, t + 7)

#define BS0_256(x) (Rotr32(x, 2) ^ Rotr32(x, 13) ^ Rotr32(x, 22))
#define BS1_256(x) (Rotr32(x, 6) ^ Rotr32(x, 11) ^ Rotr32(x, 25))
#define SS0_256(x) (Rotr32(x, 7) ^ Rotr32(x, 18) ^ ((x) >> 3))
#define SS1_256(x) (Rotr32(x, 17) ^ Rotr32(x, 19) ^ ((x) >> 10))
#define BS0_512(x) (Rotr64(x, 28) ^ Rotr64(x, 34) ^ Rotr64(x, 39))
#define BS1_512(x) (Rotr64(x, 14) ^ Rotr64(x, 18) ^ Rotr64(x, 41))
#define SS0_512(x) (Rotr64(x, 1) ^ Rotr64(x, 8) ^ ((x) >> 7))
#define SS1_512(x) (Rotr64(x, 19) ^ Rotr64(x, 61) ^ ((x) >> 6))

void TSHA2_256Base::Pad() {
  std::uint8_t length[8];
  bits::StoreBE64(length, processed_bytes_ * 8);
  PadWithLength(length);
}

void TSHA2_256Base::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  std::uint32_t w[64];
  for (; blocks > 0; --blocks, data += 64) {
    for (int t = 0; t < 16; ++t) w[t] = bits::LoadBE32(data + 4 * t);
    for (int t = 16; t < 64; ++t) {
      w[t] = SS1_256(w[t - 2]) + w[t - 7] + SS0_256(w[t - 15]) + w[t - 16];
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int t = 0; t < 64; t += 8) {
      SHA2_EIGHT(BS0_256, BS1_256, kK256, t);
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
  }
  SecureZero(w, sizeof w);
}

void TSHA2_256::Initialize() {
  static constexpr std::uint32_t kIv[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                           0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

TBytes TSHA2_256::ReadDigest() {
  TBytes digest(32);
  for (int i = 0; i < 8; ++i) bits::StoreBE32(&digest[4 * i], state_[i]);
  return digest;
}

IHashPtr TSHA2_256::Clone() const {
  return std::make_shared<TSHA2_256>(*this);
}

void TSHA2_512Base::Pad() {
  // 128-bit bit length: the high half holds the bits shifted out of the 64-bit product.
  std::uint8_t length[16];
  bits::StoreBE64(length, processed_bytes_ >> 61);
  bits::StoreBE64(length + 8, processed_bytes_ * 8);
  PadWithLength(length);
}

void TSHA2_512Base::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  std::uint64_t w[80];
  for (; blocks > 0; --blocks, data += 128) {
    for (int t = 0; t < 16; ++t) w[t] = bits::LoadBE64(data + 8 * t);
    for (int t = 16; t < 80; ++t) {
      w[t] = SS1_512(w[t - 2]) + w[t - 7] + SS0_512(w[t - 15]) + w[t - 16];
    }
    std::uint64_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint64_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int t = 0; t < 80; t += 8) {
      SHA2_EIGHT(BS0_512, BS1_512, kK512, t);
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
  }
  SecureZero(w, sizeof w);
}

TBytes TSHA2_512Base::ReadDigest() {
  TBytes digest(static_cast<std::size_t>(HashSize()));
  for (std::size_t i = 0; i < digest.size() / 8; ++i) bits::StoreBE64(&digest[8 * i], state_[i]);
  return digest;
}

void TSHA2_384::Initialize() {
  static constexpr std::uint64_t kIv[8] = {
      0xcbbb9d5dc1059ed8ULL, 0x629a292a367cd507ULL, 0x9159015a3070dd17ULL, 0x152fecd8f70e5939ULL,
      0x67332667ffc00b31ULL, 0x8eb44a8768581511ULL, 0xdb0c2e0d64f98fa7ULL, 0x47b5481dbefa4fa4ULL};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

IHashPtr TSHA2_384::Clone() const {
  return std::make_shared<TSHA2_384>(*this);
}

void TSHA2_512::Initialize() {
  static constexpr std::uint64_t kIv[8] = {
      0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL, 0xa54ff53a5f1d36f1ULL,
      0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL, 0x1f83d9abfb41bd6bULL, 0x5be0cd19137e2179ULL};
  std::copy(std::begin(kIv), std::end(kIv), state_);
  TBlockHash::Initialize();
}

IHashPtr TSHA2_512::Clone() const {
  return std::make_shared<TSHA2_512>(*this);
}

}  // namespace tarvolin::hash
