// Compiled with -msha -msse4.1 (codec.cmake) and run only after the processor
// has reported both (Sha256.cpp asks it, in code built for any processor). Like
// AesHardware.cpp it includes no header with inline functions of its own.
#include "Sha256Hardware.h"

#if defined(__SHA__) && defined(__SSE4_1__)

#include <immintrin.h>

namespace {

// The rounds take the state in two registers, one with the words F, E, B, A
// and one with H, G, D, C (lane contents here are listed lowest lane first).
void transform(uint32_t state[8], const uint8_t block[64], const uint32_t k[64])
{
    const __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state));
    const __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state + 4));
    const __m128i badc = _mm_shuffle_epi32(abcd, 0xB1);
    const __m128i hgfe = _mm_shuffle_epi32(efgh, 0x1B);
    const __m128i febaStart = _mm_alignr_epi8(badc, hgfe, 8);
    const __m128i hgdcStart = _mm_blend_epi16(hgfe, badc, 0xF0);
    __m128i feba = febaStart;
    __m128i hgdc = hgdcStart;

    // Message words are big-endian in the block.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i w[4];  // the last four groups of four schedule words
    for (int group = 0; group < 16; ++group) {
        __m128i words;
        if (group < 4) {
            words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * group)),
                                     byteSwap);
        } else {
            // W[t-16] + s0(W[t-15]) + W[t-7], then + s1(W[t-2]).
            const __m128i &w16 = w[group % 4], &w12 = w[(group + 1) % 4];
            const __m128i &w8 = w[(group + 2) % 4], &w4 = w[(group + 3) % 4];
            words = _mm_sha256msg2_epu32(
                _mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4)), w4);
        }
        w[group % 4] = words;
        const __m128i wk =
            _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i *>(k + 4 * group)));
        // Two rounds per instruction; each swaps the roles of the registers.
        hgdc = _mm_sha256rnds2_epu32(hgdc, feba, wk);
        feba = _mm_sha256rnds2_epu32(feba, hgdc, _mm_shuffle_epi32(wk, 0x0E));
    }
    feba = _mm_add_epi32(feba, febaStart);
    hgdc = _mm_add_epi32(hgdc, hgdcStart);

    const __m128i abef = _mm_shuffle_epi32(feba, 0x1B);
    const __m128i ghcd = _mm_shuffle_epi32(hgdc, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state), _mm_blend_epi16(abef, ghcd, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state + 4), _mm_alignr_epi8(ghcd, abef, 8));
}

} // namespace

Sha256HardwareTransform sha256HardwareTransform()
{
    return transform;
}

#else

// Built without the instruction flags (another processor family).
Sha256HardwareTransform sha256HardwareTransform()
{
    return nullptr;
}

#endif
