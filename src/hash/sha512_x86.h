// The shared body of the x86-64 SHA-512 kernels: scalar rounds on precomputed W[t] + K[t], and
// the message schedule of two blocks at once in 256-bit vectors, computed beside the rounds of
// the two blocks before. Included only by kernel files, which first define
// TARVOLIN_SHA512_TARGET (their target attribute) and SmallSigma0/SmallSigma1 on __m256i. Every
// name here has internal linkage, so each kernel gets its own copy built for its instructions.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "hash/kernels.h"

#ifndef TARVOLIN_SHA512_TARGET
#error "define TARVOLIN_SHA512_TARGET before including sha512_x86.h"
#endif

/// The helpers below are always inlined: the rounds keep the working variables in registers.
#define TARVOLIN_SHA512_INLINE [[gnu::always_inline]] TARVOLIN_SHA512_TARGET inline

namespace tarvolin::hash::kernels {
namespace {

// One round with the names rotated by the caller: `h` ends as the new `a` and `d` as the new `e`.
// `x` holds b ^ c and is used up; `y` receives a ^ b, the next round's b ^ c, so the caller swaps
// the two from round to round. The round is written in assembly because its order sets the speed
// (only two ports rotate, and the chains are short); the compiler's own order of the same
// operations runs about a tenth slower.
//   e chain: d + h + W[t] + K[t] is summed before `e` is known, then Ch (two operations after `e`)
//   and Sigma1 (three) are added to it, so the new `e` comes four operations after `e`.
//   a chain: new a = new e - d + Sigma0(a) + Maj(a, b, c). The old `d` is subtracted early, and
//   Maj(a, b, c) = (a & (b ^ c)) + (b & ~(b ^ c)), whose terms share no bit, so only an AND and
//   Sigma0 wait for `a`.
// clang-format off
#define TARVOLIN_SHA512_ROUND(A, B, C, D, E, F, G, H, X, Y, WK)                                 \
  __asm__("andn  %[b], %[x], %[t2]\n\t"   /* t2 = b & ~(b ^ c) - d */                             \
          "sub   %[d], %[t2]\n\t"                                                                \
          "add   %[wk], %[h]\n\t"         /* d = d + h + W[t] + K[t] */                           \
          "add   %[h], %[d]\n\t"                                                                 \
          "mov   %[f], %[t1]\n\t"         /* t1 = Ch(e, f, g) = g ^ (e & (f ^ g)) */              \
          "xor   %[g], %[t1]\n\t"                                                                \
          "and   %[e], %[t1]\n\t"                                                                \
          "rorx  $14, %[e], %[t3]\n\t"    /* t3 = Sigma1(e), with h as scratch */                 \
          "xor   %[g], %[t1]\n\t"                                                                \
          "rorx  $18, %[e], %[h]\n\t"                                                            \
          "add   %[t1], %[d]\n\t"                                                                \
          "xor   %[h], %[t3]\n\t"                                                                \
          "rorx  $41, %[e], %[t1]\n\t"                                                           \
          "and   %[a], %[x]\n\t"          /* t2 = Maj(a, b, c) - d */                             \
          "xor   %[t1], %[t3]\n\t"                                                               \
          "add   %[x], %[t2]\n\t"                                                                \
          "add   %[t3], %[d]\n\t"         /* d = new e */                                         \
          "mov   %[a], %[y]\n\t"          /* y = a ^ b */                                         \
          "xor   %[b], %[y]\n\t"                                                                 \
          "rorx  $28, %[a], %[t1]\n\t"    /* t1 = Sigma0(a) */                                    \
          "rorx  $34, %[a], %[t3]\n\t"                                                           \
          "xor   %[t3], %[t1]\n\t"                                                               \
          "rorx  $39, %[a], %[t3]\n\t"                                                           \
          "xor   %[t3], %[t1]\n\t"                                                               \
          "lea   (%[t2], %[d]), %[h]\n\t" /* h = new a */                                         \
          "add   %[t1], %[h]"                                                                    \
          : [d] "+r"(D), [h] "+r"(H), [x] "+r"(X), [y] "=&r"(Y), [t1] "=&r"(t1), [t2] "=&r"(t2),  \
            [t3] "=&r"(t3)                                                                       \
          : [a] "r"(A), [b] "r"(B), [e] "r"(E), [f] "r"(F), [g] "r"(G), [wk] "m"(WK)             \
          : "cc")
// clang-format on

/// The working variables of the rounds and the carried b ^ c.
struct TSha512Vars {
  std::uint64_t a, b, c, d, e, f, g, h, bc;
};

TARVOLIN_SHA512_INLINE TSha512Vars Sha512Begin(const std::uint64_t* state) {
  return {state[0], state[1], state[2], state[3],           state[4],
          state[5], state[6], state[7], state[1] ^ state[2]};
}

/// Eight rounds; the names come back to where they started. The words are read in pairs
/// `kStride` apart: wk[0], wk[1], wk[kStride], wk[kStride + 1]... (kStride 2: consecutive).
template <int kStride>
TARVOLIN_SHA512_INLINE void Sha512EightRounds(TSha512Vars& v, const std::uint64_t* wk) {
  std::uint64_t a = v.a, b = v.b, c = v.c, d = v.d, e = v.e, f = v.f, g = v.g, h = v.h;
  std::uint64_t p = v.bc, q, t1, t2, t3;  // b ^ c in p and q by turns; scratch
  TARVOLIN_SHA512_ROUND(a, b, c, d, e, f, g, h, p, q, wk[0]);
  TARVOLIN_SHA512_ROUND(h, a, b, c, d, e, f, g, q, p, wk[1]);
  TARVOLIN_SHA512_ROUND(g, h, a, b, c, d, e, f, p, q, wk[kStride]);
  TARVOLIN_SHA512_ROUND(f, g, h, a, b, c, d, e, q, p, wk[kStride + 1]);
  TARVOLIN_SHA512_ROUND(e, f, g, h, a, b, c, d, p, q, wk[2 * kStride]);
  TARVOLIN_SHA512_ROUND(d, e, f, g, h, a, b, c, q, p, wk[2 * kStride + 1]);
  TARVOLIN_SHA512_ROUND(c, d, e, f, g, h, a, b, p, q, wk[3 * kStride]);
  TARVOLIN_SHA512_ROUND(b, c, d, e, f, g, h, a, q, p, wk[3 * kStride + 1]);
  v = {a, b, c, d, e, f, g, h, p};
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

/// Eight schedule words W[t..t+7]. The window is used in place: x[(kOffset + i) % 8] is the
/// window's i-th vector, and kOffset advances by four with every call.
template <int kOffset>
TARVOLIN_SHA512_INLINE void EightWords(TWindow& win, int t, TPairWords& out) {
  for (int i = 0; i < 4; ++i) {
    __m256i& x0 = win.x[(kOffset + i) % 8];  // W[t-16..t-15], replaced by W[t..t+1]
    const __m256i x1 = win.x[(kOffset + i + 1) % 8];
    const __m256i x4 = win.x[(kOffset + i + 4) % 8];
    const __m256i x5 = win.x[(kOffset + i + 5) % 8];
    const __m256i x7 = win.x[(kOffset + i + 7) % 8];    // W[t-2..t-1]
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
#undef TARVOLIN_SHA512_INLINE

}  // namespace
}  // namespace tarvolin::hash::kernels
