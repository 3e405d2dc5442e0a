#include "engine/ByteMasks.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define VR_X86 1
#endif

void ScalarMasks(const char* p, size_t n, unsigned char delimiter, ByteMasks& out) {
  out = ByteMasks{0, 0, 0};
  for (size_t k = 0; k < n; ++k) {
    const unsigned char c = static_cast<unsigned char>(p[k]);
    out.Delimiters |= static_cast<uint64_t>(c == delimiter) << k;
    out.Feeds |= static_cast<uint64_t>(c == '\n') << k;
    out.Nuls |= static_cast<uint64_t>(c == 0) << k;
  }
}

namespace {

void PortableMasks(const char* p, size_t blocks, unsigned char delimiter, ByteMasks* out) {
  for (size_t b = 0; b < blocks; ++b) ScalarMasks(p + b * MASK_BLOCK, MASK_BLOCK, delimiter, out[b]);
}

#if defined(VR_X86)

uint64_t Bits16(__m128i bytes, __m128i wanted, int shift) {
  return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted))))
         << shift;
}

void Sse2Masks(const char* p, size_t blocks,
               unsigned char delimiter, ByteMasks* out) {
  const __m128i wantDelimiter = _mm_set1_epi8(static_cast<char>(delimiter));
  const __m128i wantFeed = _mm_set1_epi8('\n');
  const __m128i wantNul = _mm_setzero_si128();
  for (size_t b = 0; b < blocks; ++b, p += MASK_BLOCK) {
    ByteMasks masks{0, 0, 0};
    for (int k = 0; k < 4; ++k) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      masks.Delimiters |= Bits16(bytes, wantDelimiter, 16 * k);
      masks.Feeds |= Bits16(bytes, wantFeed, 16 * k);
      masks.Nuls |= Bits16(bytes, wantNul, 16 * k);
    }
    out[b] = masks;
  }
}

__attribute__((target("avx2"))) uint64_t Bits32(__m256i low, __m256i high, __m256i wanted) {
  const uint64_t lowBits = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)));
  const uint64_t highBits = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)));
  return lowBits | highBits << 32;
}

__attribute__((target("avx2"))) void Avx2Masks(const char* p, size_t blocks,
                                               unsigned char delimiter, ByteMasks* out) {
  const __m256i wantDelimiter = _mm256_set1_epi8(static_cast<char>(delimiter));
  const __m256i wantFeed = _mm256_set1_epi8('\n');
  const __m256i wantNul = _mm256_setzero_si256();
  for (size_t b = 0; b < blocks; ++b, p += MASK_BLOCK) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    out[b] = ByteMasks{Bits32(low, high, wantDelimiter), Bits32(low, high, wantFeed),
                       Bits32(low, high, wantNul)};
  }
}

__attribute__((target("avx512f,avx512bw"))) void Avx512Masks(const char* p, size_t blocks,
                                                             unsigned char delimiter,
                                                             ByteMasks* out) {
  const __m512i wantDelimiter = _mm512_set1_epi8(static_cast<char>(delimiter));
  const __m512i wantFeed = _mm512_set1_epi8('\n');
  for (size_t b = 0; b < blocks; ++b, p += MASK_BLOCK) {
    const __m512i bytes = _mm512_loadu_si512(p);
    out[b] = ByteMasks{_mm512_cmpeq_epi8_mask(bytes, wantDelimiter),
                       _mm512_cmpeq_epi8_mask(bytes, wantFeed), _mm512_testn_epi8_mask(bytes, bytes)};
  }
}

#endif

}  // namespace

MaskFinderList AvailableMaskFinders() {
  MaskFinderList list{{PortableMasks}, {"portable"}, 1};
#if defined(VR_X86)
  __builtin_cpu_init();
  auto add = [&list](MaskFinder finder, const char* name) {
    list.Finder[list.Count] = finder;
    list.Name[list.Count++] = name;
  };
  add(Sse2Masks, "sse2");  // every x86-64 has it
  if (__builtin_cpu_supports("avx2")) add(Avx2Masks, "avx2");
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) add(Avx512Masks, "avx512bw");
#endif
  return list;
}

MaskFinder BestMaskFinder() {
  static const MaskFinder best = [] {
    const MaskFinderList list = AvailableMaskFinders();
    return list.Finder[list.Count - 1];
  }();
  return best;
}
