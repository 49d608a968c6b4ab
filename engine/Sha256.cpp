#include "Sha256.h"

#include "ByteOrder.h"
#include "Sha256Hardware.h"

#include <atomic>
#include <cstring>

namespace {

// FIPS 180-4 4.2.2: the first 32 bits of the fractional parts of the cube
// roots of the first 64 primes.
constexpr uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// FIPS 180-4 5.3.3: the initial hash value.
constexpr uint32_t H0[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

inline uint32_t rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

bool processorHasSha()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

// The processor is asked once; the answer holds for the process.
Sha256HardwareTransform hardwareTransform()
{
    static const Sha256HardwareTransform transform = processorHasSha() ? sha256HardwareTransform() : nullptr;
    return transform;
}

std::atomic<bool> portableForced{false};

// The one place that chooses the code of a compression: null means ours.
Sha256HardwareTransform activeSha256Hardware()
{
    return portableForced.load(std::memory_order_relaxed) ? nullptr : hardwareTransform();
}

void portableTransform(uint32_t state[8], const uint8_t block[64])
{
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = load32be(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t S1 = rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
        const uint32_t ch = (e & f) ^ (~e & g);
        const uint32_t t1 = h + S1 + ch + K[i] + w[i];
        const uint32_t S0 = rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
        const uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
        const uint32_t t2 = S0 + maj;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

} // namespace

bool sha256HardwareAvailable()
{
    return hardwareTransform() != nullptr;
}

void sha256ForcePortable(bool force)
{
    portableForced.store(force, std::memory_order_relaxed);
}

bool sha256UsesHardware()
{
    return activeSha256Hardware() != nullptr;
}

void sha256Transform(uint32_t state[8], const uint8_t block[64])
{
    if (const Sha256HardwareTransform hardware = activeSha256Hardware())
        hardware(state, block, K);
    else
        portableTransform(state, block);
}

void sha256Init(Sha256Context *context)
{
    std::memcpy(context->state, H0, sizeof H0);
    context->bitCount = 0;
    context->bufferLength = 0;
}

void sha256Update(Sha256Context *context, const uint8_t *data, size_t length)
{
    context->bitCount += uint32_t(length) * 8u;
    while (length > 0) {
        if (context->bufferLength == 0 && length >= 64) {
            sha256Transform(context->state, data);
            data += 64;
            length -= 64;
            continue;
        }
        size_t take = 64 - context->bufferLength;
        if (take > length)
            take = length;
        std::memcpy(context->buffer + context->bufferLength, data, take);
        context->bufferLength += unsigned(take);
        data += take;
        length -= take;
        if (context->bufferLength == 64) {
            sha256Transform(context->state, context->buffer);
            context->bufferLength = 0;
        }
    }
}

void sha256Final(Sha256Context *context, uint8_t out[32])
{
    const uint32_t bits = context->bitCount;
    unsigned n = context->bufferLength;
    context->buffer[n++] = 0x80;
    if (n > 56) {
        std::memset(context->buffer + n, 0, 64 - n);
        sha256Transform(context->state, context->buffer);
        n = 0;
    }
    std::memset(context->buffer + n, 0, 56 - n);
    // 64-bit big-endian length; the count is 32 bits, so the top word is 0.
    store32be(context->buffer + 56, 0);
    store32be(context->buffer + 60, bits);
    sha256Transform(context->state, context->buffer);
    for (int i = 0; i < 8; ++i)
        store32be(out + 4 * i, context->state[i]);
}

void sha256Digest(const void *data, size_t length, uint8_t out[32])
{
    Sha256Context context;
    sha256Init(&context);
    sha256Update(&context, static_cast<const uint8_t *>(data), length);
    sha256Final(&context, out);
}
