#include "graphics/drawing/point_encoding.h"

#include <bit>

#include "platform/base/byte_order.h"

// SSE2 is part of every x86-64 processor; AVX2 is looked up at run time.
#if defined(__x86_64__)
#include <immintrin.h>
#define QV_POINT_VECTORS 1
#endif

namespace {

static_assert(sizeof(RecordPoint) == 2 * sizeof(LONG), "points are read as pairs of 32-bit values");

constexpr float kFixedScale = 0.0625f;  // 28.4 fixed point to units

bool Always() { return true; }

void EncodeScalar(BYTE* out, const RecordPoint* points, DWORD count) {
  for (DWORD i = 0; i < count; ++i) {
    PutBE32(out + i * kFixedPointBytes, std::bit_cast<DWORD>(static_cast<float>(points[i].x) * kFixedScale));
    PutBE32(out + i * kFixedPointBytes + 4, std::bit_cast<DWORD>(static_cast<float>(points[i].y) * kFixedScale));
  }
}

#ifdef QV_POINT_VECTORS

// Two points (four values) a step: converted and scaled together, then each value's bytes
// reversed by swapping its 16-bit halves and the bytes within each half.
void EncodeSse2(BYTE* out, const RecordPoint* points, DWORD count) {
  const __m128 scale = _mm_set1_ps(kFixedScale);
  DWORD i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128i fixed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(points + i));
    __m128i bits = _mm_castps_si128(_mm_mul_ps(_mm_cvtepi32_ps(fixed), scale));
    bits = _mm_shufflehi_epi16(_mm_shufflelo_epi16(bits, 0xB1), 0xB1);
    bits = _mm_or_si128(_mm_slli_epi16(bits, 8), _mm_srli_epi16(bits, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * kFixedPointBytes), bits);
  }
  EncodeScalar(out + i * kFixedPointBytes, points + i, count - i);
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}

// Four points (eight values) a step, each value's bytes reversed by one byte shuffle; the
// points left over take the SSE2 form.
__attribute__((target("avx2"))) void EncodeAvx2(BYTE* out, const RecordPoint* points, DWORD count) {
  const __m256 scale = _mm256_set1_ps(kFixedScale);
  const __m256i reverse = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12,  //
                                           3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
  DWORD i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256i fixed = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(points + i));
    const __m256 values = _mm256_mul_ps(_mm256_cvtepi32_ps(fixed), scale);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i * kFixedPointBytes),
                        _mm256_shuffle_epi8(_mm256_castps_si256(values), reverse));
  }
  EncodeSse2(out + i * kFixedPointBytes, points + i, count - i);
}

#endif

// The fastest form this processor runs.
FixedPointEncodeFunction PickEncoder() {
  FixedPointEncodeFunction best = EncodeScalar;
  for (size_t i = 0; i < kFixedPointEncoderCount; ++i)
    if (kFixedPointEncoders[i].available()) best = kFixedPointEncoders[i].encode;
  return best;
}

}  // namespace

const FixedPointEncoder kFixedPointEncoders[] = {
    {"scalar", Always, EncodeScalar},
#ifdef QV_POINT_VECTORS
    {"sse2", Always, EncodeSse2},
    {"avx2", HasAvx2, EncodeAvx2},
#endif
};
const size_t kFixedPointEncoderCount = sizeof(kFixedPointEncoders) / sizeof(kFixedPointEncoders[0]);

void EncodeFixedPoints(BYTE* out, const RecordPoint* points, DWORD count) {
  // Chosen at the first use.
  static const FixedPointEncodeFunction encode = PickEncoder();
  encode(out, points, count);
}
