// The shared body of the x86-64 SHA-512 kernels: scalar rounds on precomputed W[t] + K[t], and
// the message schedule of two blocks at once in 256-bit vectors, computed beside the rounds of
// the two blocks before. Included only by kernel files, which first define
// TARVOLIN_SHA512_TARGET (their target attribute) and SmallSigma0/SmallSigma1 on __m256i. Every
// name here has internal linkage, so each kernel gets its own copy built for its instructions.
#pragma once

#include <immintrin.h>

#include <bit>
#include <cstdint>

#include "hash/kernels.h"

#ifndef TARVOLIN_SHA512_TARGET
#error "define TARVOLIN_SHA512_TARGET before including sha512_x86.h"
#endif

/// The helpers below are always inlined: the rounds keep the working variables in registers.
#define TARVOLIN_SHA512_INLINE [[gnu::always_inline]] TARVOLIN_SHA512_TARGET inline

namespace tarvolin::hash::kernels {
namespace {

/// Hides `x` from the optimiser, so a sum is not reassociated across this point.
#define TARVOLIN_SHA512_FENCE(x) __asm__("" : "+r"(x))

// One round with the names rotated by the caller. `h` ends as the new `a` and `d` as the new `e`.
// The additions follow readiness: h + W[t] + K[t] is known early, Ch two operations after `e`,
// Sigma1 three, so T1 waits four operations for `e` and the new `e` five. (Left to itself, the
// compiler adds Sigma1 first and the chain grows to seven.) Maj(a, b, c) = b ^ ((a ^ b) & (b ^ c)),
// where b ^ c is the previous round's a ^ b, carried in `bc`: three operations instead of four.
#define TARVOLIN_SHA512_ROUND(a, b, c, d, e, f, g, h, wk)                             \
  {                                                                                   \
    h += (wk);                                                                        \
    h += (g) ^ ((e) & ((f) ^ (g)));                                                   \
    TARVOLIN_SHA512_FENCE(h);                                                         \
    h += std::rotr(e, 14) ^ std::rotr(e, 18) ^ std::rotr(e, 41);                      \
    d += h;                                                                           \
    const std::uint64_t ab = (a) ^ (b);                                               \
    std::uint64_t s0 =                                                                \
        (std::rotr(a, 28) ^ std::rotr(a, 34) ^ std::rotr(a, 39)) + ((b) ^ (ab & bc)); \
    TARVOLIN_SHA512_FENCE(s0);                                                        \
    h += s0;                                                                          \
    bc = ab;                                                                          \
  }

/// The working variables of the rounds and the carried b ^ c.
struct TSha512Vars {
  std::uint64_t a, b, c, d, e, f, g, h, bc;
};

TARVOLIN_SHA512_INLINE TSha512Vars Sha512Begin(const std::uint64_t* state) {
  return {state[0], state[1], state[2], state[3],           state[4],
          state[5], state[6], state[7], state[1] ^ state[2]};
}

/// Eight rounds; the names come back to where they started. The words are read in pairs
/// `Stride` apart: wk[0], wk[1], wk[Stride], wk[Stride + 1]... (Stride 2: consecutive).
template <int Stride>
TARVOLIN_SHA512_INLINE void Sha512EightRounds(TSha512Vars& v, const std::uint64_t* wk) {
  std::uint64_t a = v.a, b = v.b, c = v.c, d = v.d, e = v.e, f = v.f, g = v.g, h = v.h, bc = v.bc;
  TARVOLIN_SHA512_ROUND(a, b, c, d, e, f, g, h, wk[0]);
  TARVOLIN_SHA512_ROUND(h, a, b, c, d, e, f, g, wk[1]);
  TARVOLIN_SHA512_ROUND(g, h, a, b, c, d, e, f, wk[Stride]);
  TARVOLIN_SHA512_ROUND(f, g, h, a, b, c, d, e, wk[Stride + 1]);
  TARVOLIN_SHA512_ROUND(e, f, g, h, a, b, c, d, wk[2 * Stride]);
  TARVOLIN_SHA512_ROUND(d, e, f, g, h, a, b, c, wk[2 * Stride + 1]);
  TARVOLIN_SHA512_ROUND(c, d, e, f, g, h, a, b, wk[3 * Stride]);
  TARVOLIN_SHA512_ROUND(b, c, d, e, f, g, h, a, wk[3 * Stride + 1]);
  v = {a, b, c, d, e, f, g, h, bc};
}

/// Adds the working variables into the chaining state and starts the next block from it.
TARVOLIN_SHA512_INLINE void Sha512End(TSha512Vars& v, std::uint64_t* state) {
  state[0] += v.a;
  state[1] += v.b;
  state[2] += v.c;
  state[3] += v.d;
  state[4] += v.e;
  state[5] += v.f;
  state[6] += v.g;
  state[7] += v.h;
  v = Sha512Begin(state);
}

// Lane layout: each 128-bit half of a vector holds two consecutive schedule words, W[t] low and
// W[t+1] high; the low half belongs to one block, the high half to the next. Eight vectors hold
// the sixteen-word window. Two new words at a time never depend on each other: W[t+1] needs
// W[t-1], not W[t].

/// W[t] + K[t] for the two blocks of a pair, as the vectors hold them: for each even t,
/// W[t], W[t+1] of the first block, then of the second.
struct TPairWords {
  alignas(32) std::uint64_t Words[160];
  /// Where block `second` (0 or 1) finds its word t, t a multiple of 8; pairs are 4 apart.
  const std::uint64_t* At(int second, int t) const { return &Words[2 * t + 2 * second]; }
};

/// The round constants twice over, K[t], K[t+1], K[t], K[t+1] for each even t: one addition
/// gives both blocks their constants.
struct TDoubledConstants {
  alignas(32) std::uint64_t K[160];
};

constexpr TDoubledConstants DoubleConstants() {
  TDoubledConstants out{};
  for (int t = 0; t < 80; t += 2) {
    out.K[2 * t] = out.K[2 * t + 2] = kSha512K[t];
    out.K[2 * t + 1] = out.K[2 * t + 3] = kSha512K[t + 1];
  }
  return out;
}

constexpr TDoubledConstants kDoubledK = DoubleConstants();

TARVOLIN_SHA512_INLINE void Store(TPairWords& out, int t, __m256i w) {
  const __m256i k = _mm256_load_si256(reinterpret_cast<const __m256i*>(&kDoubledK.K[2 * t]));
  _mm256_store_si256(reinterpret_cast<__m256i*>(&out.Words[2 * t]), _mm256_add_epi64(w, k));
}

/// The schedule window; x[i] holds W[t-16+2i..t-15+2i] of both blocks.
struct TWindow {
  __m256i x[8];
};

/// Loads the sixteen message words of two blocks (the same block twice for a lone block).
TARVOLIN_SHA512_INLINE void Load(TWindow& win, const std::uint8_t* first,
                                 const std::uint8_t* second, TPairWords& out) {
  const __m256i byteSwap = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7,
                                            6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
  for (int i = 0; i < 8; i += 4) {
    PrefetchInput(first + 16 * i);
    PrefetchInput(second + 16 * i);
  }
  for (int i = 0; i < 8; ++i) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 16 * i));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 16 * i));
    win.x[i] =
        _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1), byteSwap);
    Store(out, 2 * i, win.x[i]);
  }
}

/// Eight schedule words W[t..t+7]. The window is used in place: x[(Offset + i) % 8] is the
/// window's i-th vector, and Offset advances by four with every call.
template <int Offset>
TARVOLIN_SHA512_INLINE void EightWords(TWindow& win, int t, TPairWords& out) {
  for (int i = 0; i < 4; ++i) {
    __m256i& x0 = win.x[(Offset + i) % 8];  // W[t-16..t-15], replaced by W[t..t+1]
    const __m256i x1 = win.x[(Offset + i + 1) % 8];
    const __m256i x4 = win.x[(Offset + i + 4) % 8];
    const __m256i x5 = win.x[(Offset + i + 5) % 8];
    const __m256i x7 = win.x[(Offset + i + 7) % 8];     // W[t-2..t-1]
    const __m256i w15 = _mm256_alignr_epi8(x1, x0, 8);  // W[t-15..t-14]
    const __m256i w7 = _mm256_alignr_epi8(x5, x4, 8);   // W[t-7..t-6]
    x0 = _mm256_add_epi64(_mm256_add_epi64(x0, SmallSigma0(w15)),
                          _mm256_add_epi64(w7, SmallSigma1(x7)));
    Store(out, t + 2 * i, x0);
  }
}

/// The whole schedule of a pair, for the first pair, which has nothing to overlap with.
TARVOLIN_SHA512_TARGET void ScheduleAll(const std::uint8_t* first, const std::uint8_t* second,
                                        TPairWords& out) {
  TWindow win;
  Load(win, first, second, out);
  for (int t = 16; t < 80; t += 16) {
    EightWords<0>(win, t, out);
    EightWords<4>(win, t + 8, out);
  }
}

/// The kernel: pairs of blocks, each pair's schedule computed beside the rounds of the pair
/// before.
TARVOLIN_SHA512_INLINE void Sha512Pairs(std::uint64_t* state, const std::uint8_t* data,
                                        std::size_t blocks) {
  if (blocks == 0) return;
  TPairWords words[2];
  const auto secondOf = [&](std::size_t block) {
    return block + 1 < blocks ? data + 128 * (block + 1) : data + 128 * block;
  };
  ScheduleAll(data, secondOf(0), words[0]);
  TSha512Vars v = Sha512Begin(state);
  TWindow win = {};  // loaded before every use; zeroed for the compiler's flow analysis
  for (std::size_t block = 0; block < blocks; block += 2) {
    const TPairWords& current = words[(block / 2) & 1];
    TPairWords& next = words[(block / 2 + 1) & 1];
    const bool hasNext = block + 2 < blocks;
    // The first block's rounds run beside the next pair's schedule: four vectors (eight words of
    // both blocks) after each eight rounds.
    if (hasNext) Load(win, data + 128 * (block + 2), secondOf(block + 2), next);
    for (int t = 0; t < 80; t += 16) {
      Sha512EightRounds<4>(v, current.At(0, t));
      if (hasNext && t < 64) EightWords<0>(win, 16 + t, next);
      Sha512EightRounds<4>(v, current.At(0, t + 8));
      if (hasNext && t < 64) EightWords<4>(win, 24 + t, next);
    }
    Sha512End(v, state);
    if (block + 1 == blocks) break;
    for (int t = 0; t < 80; t += 8) Sha512EightRounds<4>(v, current.At(1, t));
    Sha512End(v, state);
  }
}

#undef TARVOLIN_SHA512_ROUND
#undef TARVOLIN_SHA512_FENCE
#undef TARVOLIN_SHA512_INLINE

}  // namespace
}  // namespace tarvolin::hash::kernels
