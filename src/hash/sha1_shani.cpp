// SHA-1 compression with the x86 SHA extensions (SHA1RNDS4, SHA1NEXTE, SHA1MSG1/2).
#include <immintrin.h>

#include "hash/kernels.h"

#define TARVOLIN_SHANI __attribute__((target("sha,sse4.1")))

namespace tarvolin::hash::kernels {

namespace {

// Lane layout: the instructions want the word of the earliest round in the highest lane, so A
// sits in lane 3 of the state vector, E in lane 3 of its own vector, and each group of four
// message words is byte-reversed as a whole (W[t] in lane 3 ... W[t+3] in lane 0).

/// One group of four rounds. `m` holds the group's words; `e` is E for the first group and the
/// state before the previous group otherwise (SHA1NEXTE derives E from its A).
template <int kGroup>
TARVOLIN_SHANI inline void FourRounds(__m128i& abcd, __m128i& ePrevious, __m128i m) {
  const __m128i e = kGroup == 0 ? _mm_add_epi32(ePrevious, m) : _mm_sha1nexte_epu32(ePrevious, m);
  ePrevious = abcd;
  abcd = _mm_sha1rnds4_epu32(abcd, e, kGroup / 5);
}

/// The next four schedule words from the previous sixteen (oldest first).
TARVOLIN_SHANI inline __m128i Expand(__m128i m0, __m128i m1, __m128i m2, __m128i m3) {
  return _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(m0, m1), m2), m3);
}

}  // namespace

TARVOLIN_SHANI void Sha1ShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  const __m128i byteReverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
  __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);

  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abcdSaved = abcd;
    const __m128i eSaved = e0;
    const auto* p = reinterpret_cast<const __m128i*>(data);
    PrefetchInput(data);
    __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(p + 0), byteReverse);
    __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(p + 1), byteReverse);
    __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(p + 2), byteReverse);
    __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(p + 3), byteReverse);
    __m128i e = e0;

    // Twenty groups; after a group uses its words, their register takes the words four groups
    // ahead, so four registers hold the sixteen-word window of the schedule.
    FourRounds<0>(abcd, e, m0);
    FourRounds<1>(abcd, e, m1);
    FourRounds<2>(abcd, e, m2);
    FourRounds<3>(abcd, e, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<4>(abcd, e, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<5>(abcd, e, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<6>(abcd, e, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<7>(abcd, e, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<8>(abcd, e, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<9>(abcd, e, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<10>(abcd, e, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<11>(abcd, e, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<12>(abcd, e, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<13>(abcd, e, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<14>(abcd, e, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<15>(abcd, e, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<16>(abcd, e, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<17>(abcd, e, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<18>(abcd, e, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<19>(abcd, e, m3);

    // E after the last round is A from before it, rotated: SHA1NEXTE adds it to the saved E.
    e0 = _mm_sha1nexte_epu32(e, eSaved);
    abcd = _mm_add_epi32(abcd, abcdSaved);
  }

  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
  state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e0, 3));
}

}  // namespace tarvolin::hash::kernels
