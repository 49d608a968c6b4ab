// Compiled with -maes -msse4.1 (codec.cmake) and run only after the processor
// has reported both (Aes.cpp asks it, in code built for any processor). It
// includes no header with inline functions of its own:
// a copy of such a function compiled with these flags could be the one the
// linker keeps for the rest of the program, which must run anywhere.
#include "AesHardware.h"

#if defined(__AES__) && defined(__SSE4_1__)

#include <immintrin.h>

namespace {

// Blocks and keys may sit at any address: unaligned loads and stores only.
inline __m128i load(const uint8_t *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

inline void store(uint8_t *p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v);
}

// The round keys in the order the rounds use them: the inverse cipher takes
// the schedule from its last key to its first.
struct Schedule
{
    Schedule(const uint8_t (*keys)[16], int rounds, bool decrypt) : rounds(rounds)
    {
        for (int r = 0; r <= rounds; ++r)
            k[r] = load(keys[decrypt ? rounds - r : r]);
    }
    __m128i k[15];
    int rounds;
};

// N independent blocks through the cipher together: one instruction's
// latency is hidden behind the others'.
template <bool Decrypt, int N>
inline void cryptBlocks(const Schedule &s, __m128i (&x)[N])
{
    for (int i = 0; i < N; ++i)
        x[i] = _mm_xor_si128(x[i], s.k[0]);
    for (int r = 1; r < s.rounds; ++r)
        for (int i = 0; i < N; ++i)
            x[i] = Decrypt ? _mm_aesdec_si128(x[i], s.k[r]) : _mm_aesenc_si128(x[i], s.k[r]);
    for (int i = 0; i < N; ++i)
        x[i] = Decrypt ? _mm_aesdeclast_si128(x[i], s.k[s.rounds]) : _mm_aesenclast_si128(x[i], s.k[s.rounds]);
}

// Eight blocks in flight keep the AES unit busy on current processors.
constexpr int lanes = 8;

void invertKeys(uint8_t (*keys)[16], int rounds)
{
    for (int r = 1; r < rounds; ++r)
        store(keys[r], _mm_aesimc_si128(load(keys[r])));
}

template <bool Decrypt>
void ecbBlocks(const Schedule &s, const uint8_t *input, int blocks, uint8_t *output)
{
    int b = 0;
    for (; b + lanes <= blocks; b += lanes) {
        __m128i x[lanes];
        for (int i = 0; i < lanes; ++i)
            x[i] = load(input + 16 * (b + i));
        cryptBlocks<Decrypt>(s, x);
        for (int i = 0; i < lanes; ++i)
            store(output + 16 * (b + i), x[i]);
    }
    for (; b < blocks; ++b) {
        __m128i x[1] = {load(input + 16 * b)};
        cryptBlocks<Decrypt>(s, x);
        store(output + 16 * b, x[0]);
    }
}

void ecb(const uint8_t (*keys)[16], int rounds, bool decrypt, const uint8_t *input, int blocks, uint8_t *output)
{
    const Schedule s(keys, rounds, decrypt);
    if (decrypt)
        ecbBlocks<true>(s, input, blocks, output);
    else
        ecbBlocks<false>(s, input, blocks, output);
}

// Each block's input depends on the previous output: one block at a time.
void cbcEncrypt(const uint8_t (*keys)[16], int rounds, const uint8_t *iv, const uint8_t *input, int blocks,
                uint8_t *output)
{
    const Schedule s(keys, rounds, false);
    __m128i x[1] = {load(iv)};
    for (int b = 0; b < blocks; ++b) {
        x[0] = _mm_xor_si128(x[0], load(input + 16 * b));
        cryptBlocks<false>(s, x);
        store(output + 16 * b, x[0]);
    }
}

// Each group is read whole before any of it is written, so the output may
// be the input buffer.
void cbcDecrypt(const uint8_t (*keys)[16], int rounds, const uint8_t *iv, const uint8_t *input, int blocks,
                uint8_t *output)
{
    const Schedule s(keys, rounds, true);
    __m128i previous = load(iv);
    int b = 0;
    for (; b + lanes <= blocks; b += lanes) {
        __m128i cipher[lanes], x[lanes];
        for (int i = 0; i < lanes; ++i)
            x[i] = cipher[i] = load(input + 16 * (b + i));
        cryptBlocks<true>(s, x);
        store(output + 16 * b, _mm_xor_si128(x[0], previous));
        for (int i = 1; i < lanes; ++i)
            store(output + 16 * (b + i), _mm_xor_si128(x[i], cipher[i - 1]));
        previous = cipher[lanes - 1];
    }
    for (; b < blocks; ++b) {
        const __m128i cipher = load(input + 16 * b);
        __m128i x[1] = {cipher};
        cryptBlocks<true>(s, x);
        store(output + 16 * b, _mm_xor_si128(x[0], previous));
        previous = cipher;
    }
}

constexpr AesHardwareCode code = {invertKeys, ecb, cbcEncrypt, cbcDecrypt};

} // namespace

const AesHardwareCode *aesHardwareCode()
{
    return &code;
}

#else

// Built without the instruction flags (another processor family).
const AesHardwareCode *aesHardwareCode()
{
    return nullptr;
}

#endif
