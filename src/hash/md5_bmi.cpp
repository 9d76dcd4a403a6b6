// MD5 compression for CPUs with BMI1/BMI2: the step additions ordered so that only the round
// function of the newest word, the rotation and one addition wait for it.
#include <bit>

#include "hash/bits.h"
#include "hash/kernels.h"

#define TARVOLIN_BMI __attribute__((target("bmi,bmi2")))

namespace tarvolin::hash::kernels {

namespace {

// In every step `a` is the oldest word and `b` the newest. Message word and constant are added
// to `a` first, and whatever needs only `c` and `d` too, since those are ready long before `b`.
// The dependency on `b` is then: F 2 operations, G 1 (as (b & d) + (c & ~d), the second half
// early, ANDN), H 1 (c ^ d early), I 2, each followed by an add, the rotation (RORX) and `+ b`.

#define MD5_F(a, b, c, d, x, s, k) \
  a += (x) + (k);                  \
  a += (((c) ^ (d)) & (b)) ^ (d);  \
  a = std::rotl(a, s) + (b)

#define MD5_G(a, b, c, d, x, s, k) \
  a += (x) + (k);                  \
  a += (c) & ~(d);                 \
  a += (b) & (d);                  \
  a = std::rotl(a, s) + (b)

#define MD5_H(a, b, c, d, x, s, k) \
  a += (x) + (k);                  \
  a += ((c) ^ (d)) ^ (b);          \
  a = std::rotl(a, s) + (b)

#define MD5_I(a, b, c, d, x, s, k) \
  a += (x) + (k);                  \
  a += ((b) | ~(d)) ^ (c);         \
  a = std::rotl(a, s) + (b)

}  // namespace

TARVOLIN_BMI void Md5Bmi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  std::uint32_t a0 = state[0], b0 = state[1], c0 = state[2], d0 = state[3];
  for (; blocks > 0; --blocks, data += 64) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = bits::LoadLE32(data + 4 * i);
    std::uint32_t a = a0, b = b0, c = c0, d = d0;
    // clang-format off
    MD5_F(a, b, c, d, w[ 0],  7, 0xd76aa478); MD5_F(d, a, b, c, w[ 1], 12, 0xe8c7b756);
    MD5_F(c, d, a, b, w[ 2], 17, 0x242070db); MD5_F(b, c, d, a, w[ 3], 22, 0xc1bdceee);
    MD5_F(a, b, c, d, w[ 4],  7, 0xf57c0faf); MD5_F(d, a, b, c, w[ 5], 12, 0x4787c62a);
    MD5_F(c, d, a, b, w[ 6], 17, 0xa8304613); MD5_F(b, c, d, a, w[ 7], 22, 0xfd469501);
    MD5_F(a, b, c, d, w[ 8],  7, 0x698098d8); MD5_F(d, a, b, c, w[ 9], 12, 0x8b44f7af);
    MD5_F(c, d, a, b, w[10], 17, 0xffff5bb1); MD5_F(b, c, d, a, w[11], 22, 0x895cd7be);
    MD5_F(a, b, c, d, w[12],  7, 0x6b901122); MD5_F(d, a, b, c, w[13], 12, 0xfd987193);
    MD5_F(c, d, a, b, w[14], 17, 0xa679438e); MD5_F(b, c, d, a, w[15], 22, 0x49b40821);

    MD5_G(a, b, c, d, w[ 1],  5, 0xf61e2562); MD5_G(d, a, b, c, w[ 6],  9, 0xc040b340);
    MD5_G(c, d, a, b, w[11], 14, 0x265e5a51); MD5_G(b, c, d, a, w[ 0], 20, 0xe9b6c7aa);
    MD5_G(a, b, c, d, w[ 5],  5, 0xd62f105d); MD5_G(d, a, b, c, w[10],  9, 0x02441453);
    MD5_G(c, d, a, b, w[15], 14, 0xd8a1e681); MD5_G(b, c, d, a, w[ 4], 20, 0xe7d3fbc8);
    MD5_G(a, b, c, d, w[ 9],  5, 0x21e1cde6); MD5_G(d, a, b, c, w[14],  9, 0xc33707d6);
    MD5_G(c, d, a, b, w[ 3], 14, 0xf4d50d87); MD5_G(b, c, d, a, w[ 8], 20, 0x455a14ed);
    MD5_G(a, b, c, d, w[13],  5, 0xa9e3e905); MD5_G(d, a, b, c, w[ 2],  9, 0xfcefa3f8);
    MD5_G(c, d, a, b, w[ 7], 14, 0x676f02d9); MD5_G(b, c, d, a, w[12], 20, 0x8d2a4c8a);

    MD5_H(a, b, c, d, w[ 5],  4, 0xfffa3942); MD5_H(d, a, b, c, w[ 8], 11, 0x8771f681);
    MD5_H(c, d, a, b, w[11], 16, 0x6d9d6122); MD5_H(b, c, d, a, w[14], 23, 0xfde5380c);
    MD5_H(a, b, c, d, w[ 1],  4, 0xa4beea44); MD5_H(d, a, b, c, w[ 4], 11, 0x4bdecfa9);
    MD5_H(c, d, a, b, w[ 7], 16, 0xf6bb4b60); MD5_H(b, c, d, a, w[10], 23, 0xbebfbc70);
    MD5_H(a, b, c, d, w[13],  4, 0x289b7ec6); MD5_H(d, a, b, c, w[ 0], 11, 0xeaa127fa);
    MD5_H(c, d, a, b, w[ 3], 16, 0xd4ef3085); MD5_H(b, c, d, a, w[ 6], 23, 0x04881d05);
    MD5_H(a, b, c, d, w[ 9],  4, 0xd9d4d039); MD5_H(d, a, b, c, w[12], 11, 0xe6db99e5);
    MD5_H(c, d, a, b, w[15], 16, 0x1fa27cf8); MD5_H(b, c, d, a, w[ 2], 23, 0xc4ac5665);

    MD5_I(a, b, c, d, w[ 0],  6, 0xf4292244); MD5_I(d, a, b, c, w[ 7], 10, 0x432aff97);
    MD5_I(c, d, a, b, w[14], 15, 0xab9423a7); MD5_I(b, c, d, a, w[ 5], 21, 0xfc93a039);
    MD5_I(a, b, c, d, w[12],  6, 0x655b59c3); MD5_I(d, a, b, c, w[ 3], 10, 0x8f0ccc92);
    MD5_I(c, d, a, b, w[10], 15, 0xffeff47d); MD5_I(b, c, d, a, w[ 1], 21, 0x85845dd1);
    MD5_I(a, b, c, d, w[ 8],  6, 0x6fa87e4f); MD5_I(d, a, b, c, w[15], 10, 0xfe2ce6e0);
    MD5_I(c, d, a, b, w[ 6], 15, 0xa3014314); MD5_I(b, c, d, a, w[13], 21, 0x4e0811a1);
    MD5_I(a, b, c, d, w[ 4],  6, 0xf7537e82); MD5_I(d, a, b, c, w[11], 10, 0xbd3af235);
    MD5_I(c, d, a, b, w[ 2], 15, 0x2ad7d2bb); MD5_I(b, c, d, a, w[ 9], 21, 0xeb86d391);
    // clang-format on
    a0 += a;
    b0 += b;
    c0 += c;
    d0 += d;
  }
  state[0] = a0;
  state[1] = b0;
  state[2] = c0;
  state[3] = d0;
}

#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

}  // namespace tarvolin::hash::kernels
