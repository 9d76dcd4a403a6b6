// The 80 scalar rounds of SHA-512 on precomputed message-plus-constant words, shared by the
// x86-64 SHA-512 kernels. Included only by kernel files: the functions have internal linkage and
// no target of their own, so each kernel compiles them for its instruction set (RORX, ANDN).
#pragma once

#include <bit>
#include <cstdint>

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

[[gnu::always_inline]] inline TSha512Vars Sha512Begin(const std::uint64_t* state) {
  return {state[0], state[1], state[2], state[3],           state[4],
          state[5], state[6], state[7], state[1] ^ state[2]};
}

/// Eight rounds; the names come back to where they started. The words are read in pairs
/// `Stride` apart: wk[0], wk[1], wk[Stride], wk[Stride + 1]... (Stride 2: consecutive).
template <int Stride>
[[gnu::always_inline]] inline void Sha512EightRounds(TSha512Vars& v, const std::uint64_t* wk) {
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
[[gnu::always_inline]] inline void Sha512End(TSha512Vars& v, std::uint64_t* state) {
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

#undef TARVOLIN_SHA512_ROUND
#undef TARVOLIN_SHA512_FENCE

}  // namespace
}  // namespace tarvolin::hash::kernels
