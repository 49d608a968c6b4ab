#pragma once

// SHA-256 (FIPS 180-4). The message length is kept as a 32-bit
// count of bits: a message must be shorter than 536,870,912 bytes.

#include <cstddef>
#include <cstdint>

struct Sha256Context
{
    uint32_t state[8];
    uint32_t bitCount;   // message length in bits, kept to 32 bits
    uint8_t buffer[64];
    unsigned bufferLength;
};

void sha256Init(Sha256Context *context);
void sha256Update(Sha256Context *context, const uint8_t *data, size_t length);
void sha256Final(Sha256Context *context, uint8_t out[32]);
// One compression of a 64-byte block into state: on the processor's SHA
// extensions where it has them, else on our portable code (same result).
void sha256Transform(uint32_t state[8], const uint8_t block[64]);

// The 32-byte digest of length bytes, big-endian as the standard prescribes.
void sha256Digest(const void *data, size_t length, uint8_t out[32]);

// The processor has the SHA extensions (checked once).
bool sha256HardwareAvailable();
// True runs every later compression on the portable code, false returns to
// the instructions where available: tests and benchmarks compare the two.
void sha256ForcePortable(bool force);
// Compressions run on the instructions: available and not forced off.
bool sha256UsesHardware();
