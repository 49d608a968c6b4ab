#include "Md5.h"

#include "ByteOrder.h"

#include <cstring>

namespace {

// RFC 1321 3.4: T[i] = floor(2^32 * |sin(i)|), and the per-round shifts.
constexpr uint32_t T[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int S[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

inline uint32_t rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

void md5Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = load32le(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (b & d) | (c & ~d);
            g = (5 * i + 1) & 15;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) & 15;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) & 15;
        }
        const uint32_t temp = d;
        d = c;
        c = b;
        b = b + rotl(a + f + T[i] + x[g], S[i]);
        a = temp;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5Init(Md5Context *context)
{
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
    context->byteCount = 0;
}

void md5Update(Md5Context *context, const uint8_t *data, size_t length)
{
    size_t used = size_t(context->byteCount & 63);
    context->byteCount += length;
    while (length > 0) {
        if (used == 0 && length >= 64) {
            md5Transform(context->state, data);
            data += 64;
            length -= 64;
            continue;
        }
        size_t take = 64 - used;
        if (take > length)
            take = length;
        std::memcpy(context->buffer + used, data, take);
        used += take;
        data += take;
        length -= take;
        if (used == 64) {
            md5Transform(context->state, context->buffer);
            used = 0;
        }
    }
}

void md5Final(Md5Context *context, uint8_t out[16])
{
    const uint64_t bits = context->byteCount * 8;
    size_t n = size_t(context->byteCount & 63);
    context->buffer[n++] = 0x80;
    if (n > 56) {
        std::memset(context->buffer + n, 0, 64 - n);
        md5Transform(context->state, context->buffer);
        n = 0;
    }
    std::memset(context->buffer + n, 0, 56 - n);
    store32le(context->buffer + 56, uint32_t(bits));
    store32le(context->buffer + 60, uint32_t(bits >> 32));
    md5Transform(context->state, context->buffer);
    for (int i = 0; i < 4; ++i)
        store32le(out + 4 * i, context->state[i]);
}

void md5Digest(const void *data, size_t length, uint8_t out[16])
{
    Md5Context context;
    md5Init(&context);
    md5Update(&context, static_cast<const uint8_t *>(data), length);
    md5Final(&context, out);
}
