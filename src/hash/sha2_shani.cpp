// SHA-256 compression with the x86 SHA extensions (SHA256RNDS2, SHA256MSG1/2).
#include <immintrin.h>

#include "hash/kernels.h"

#define TARVOLIN_SHANI __attribute__((target("sha,sse4.1")))

namespace tarvolin::hash::kernels {

namespace {

// Lane layout: SHA256RNDS2 keeps the state as two vectors, ABEF (A in lane 3, B, E, F in lane 0)
// and CDGH, and takes the message-plus-constant words of its two rounds from lanes 0 and 1.

/// Four rounds on schedule words `m`: two SHA256RNDS2, the second on the upper pair of words.
template <int kGroup>
TARVOLIN_SHANI inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i m) {
  __m128i wk =
      _mm_add_epi32(m, _mm_load_si128(reinterpret_cast<const __m128i*>(&kSha256K[4 * kGroup])));
  cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);  // the new ABEF; the old one is the new CDGH
  wk = _mm_shuffle_epi32(wk, 0x0E);
  abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
}

/// The next four schedule words from the previous sixteen (oldest first).
TARVOLIN_SHANI inline __m128i Expand(__m128i m0, __m128i m1, __m128i m2, __m128i m3) {
  // W[t-16] + s0(W[t-15]) from MSG1, plus W[t-7] (words 9..12 of the window), then s1 by MSG2.
  const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(m0, m1), _mm_alignr_epi8(m3, m2, 4));
  return _mm_sha256msg2_epu32(partial, m3);
}

}  // namespace

TARVOLIN_SHANI void Sha256ShaNi(std::uint32_t* state, const std::uint8_t* data,
                                std::size_t blocks) {
  // Swaps the bytes of each 32-bit word: the message words are big-endian.
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);

  // {a,b,c,d} and {e,f,g,h} (lane 0 first) to ABEF {f,e,b,a} and CDGH {h,g,d,c}; the locals
  // are named by their lanes.
  const __m128i badc =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  const __m128i hgfe =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
  __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);

  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefSaved = abef;
    const __m128i cdghSaved = cdgh;
    const auto* p = reinterpret_cast<const __m128i*>(data);
    PrefetchInput(data);
    __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(p + 0), byteSwap);
    __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(p + 1), byteSwap);
    __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(p + 2), byteSwap);
    __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(p + 3), byteSwap);

    // Sixteen groups; four registers hold the sixteen-word window of the schedule, each taking
    // the words four groups ahead once its own are used.
    FourRounds<0>(abef, cdgh, m0);
    FourRounds<1>(abef, cdgh, m1);
    FourRounds<2>(abef, cdgh, m2);
    FourRounds<3>(abef, cdgh, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<4>(abef, cdgh, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<5>(abef, cdgh, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<6>(abef, cdgh, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<7>(abef, cdgh, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<8>(abef, cdgh, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<9>(abef, cdgh, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<10>(abef, cdgh, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<11>(abef, cdgh, m3);
    m0 = Expand(m0, m1, m2, m3);
    FourRounds<12>(abef, cdgh, m0);
    m1 = Expand(m1, m2, m3, m0);
    FourRounds<13>(abef, cdgh, m1);
    m2 = Expand(m2, m3, m0, m1);
    FourRounds<14>(abef, cdgh, m2);
    m3 = Expand(m3, m0, m1, m2);
    FourRounds<15>(abef, cdgh, m3);

    abef = _mm_add_epi32(abef, abefSaved);
    cdgh = _mm_add_epi32(cdgh, cdghSaved);
  }

  // Back to {a,b,c,d} and {e,f,g,h} (variables named by their lanes, lane 0 first).
  const __m128i abefInOrder = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i ghcd = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(abefInOrder, ghcd, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(ghcd, abefInOrder, 8));
}

}  // namespace tarvolin::hash::kernels
