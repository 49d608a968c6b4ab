#pragma once

// The AES block code on the processor's AES instructions, behind Aes.cpp.
// Round keys are the context's roundKeyBytes: 16-byte strings in the
// cipher's byte order; a decrypting schedule holds the equivalent inverse
// cipher's keys (InvMixColumns applied to keys 1 .. rounds-1).

#include <cstdint>

struct AesHardwareCode
{
    // Applies InvMixColumns to round keys 1 .. rounds-1 in place.
    void (*invertKeys)(uint8_t (*keys)[16], int rounds);
    void (*ecb)(const uint8_t (*keys)[16], int rounds, bool decrypt, const uint8_t *input, int blocks,
                uint8_t *output);
    void (*cbcEncrypt)(const uint8_t (*keys)[16], int rounds, const uint8_t *iv, const uint8_t *input, int blocks,
                       uint8_t *output);
    // Input and output may be the same buffer.
    void (*cbcDecrypt)(const uint8_t (*keys)[16], int rounds, const uint8_t *iv, const uint8_t *input, int blocks,
                       uint8_t *output);
};

// The code, or null when the engine was built without it (another processor
// family). Call it only on a processor that reports AES and SSE4.1.
const AesHardwareCode *aesHardwareCode();
