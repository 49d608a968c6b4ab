#include "Aes.h"

#include "AesHardware.h"
#include "ByteOrder.h"

#include <atomic>
#include <cstring>

// The standard AES tables: the S-box and its inverse (the multiplicative
// inverse in GF(2^8) followed by the affine map of FIPS-197 5.1.1), the round
// constants, and the usual round tables Te0..Te3 (SubBytes + MixColumns) and
// Td0..Td3 (InvSubBytes + InvMixColumns). They are computed at compile time
// from their definitions; the known-answer tests pin them.

namespace {

constexpr uint8_t xtime(uint8_t x)
{
    return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1b : 0x00));
}

constexpr uint8_t gfMul(uint8_t a, uint8_t b)
{
    uint8_t p = 0;
    for (int i = 0; i < 8; ++i) {
        if (b & 1)
            p ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return p;
}

constexpr uint8_t rotl8(uint8_t x, int n)
{
    return uint8_t((x << n) | (x >> (8 - n)));
}

constexpr uint32_t ror32(uint32_t x, int n)
{
    return n == 0 ? x : (x >> n) | (x << (32 - n));
}

struct Tables
{
    uint8_t sbox[256] = {};
    uint8_t invSbox[256] = {};
    uint32_t te[4][256] = {};
    uint32_t td[4][256] = {};
    uint8_t rcon[10] = {};
};

constexpr Tables makeTables()
{
    Tables t;
    // Multiplicative inverses by the generator 3: 3^i runs through every
    // non-zero element, and the inverse of 3^i is 3^(255-i).
    uint8_t power[256] = {};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        power[i] = x;
        x = uint8_t(x ^ xtime(x));
    }
    uint8_t inverse[256] = {};
    for (int i = 0; i < 255; ++i)
        inverse[power[i]] = power[(255 - i) % 255];
    for (int a = 0; a < 256; ++a) {
        const uint8_t b = inverse[a];  // inverse[0] stays 0
        const uint8_t s = uint8_t(b ^ rotl8(b, 1) ^ rotl8(b, 2) ^ rotl8(b, 3) ^ rotl8(b, 4) ^ 0x63);
        t.sbox[a] = s;
        t.invSbox[s] = uint8_t(a);
    }
    for (int a = 0; a < 256; ++a) {
        const uint8_t s = t.sbox[a];
        const uint32_t e = (uint32_t(gfMul(s, 2)) << 24) | (uint32_t(s) << 16) | (uint32_t(s) << 8)
                           | uint32_t(gfMul(s, 3));
        const uint8_t v = t.invSbox[a];
        const uint32_t d = (uint32_t(gfMul(v, 14)) << 24) | (uint32_t(gfMul(v, 9)) << 16)
                           | (uint32_t(gfMul(v, 13)) << 8) | uint32_t(gfMul(v, 11));
        for (int k = 0; k < 4; ++k) {
            t.te[k][a] = ror32(e, 8 * k);
            t.td[k][a] = ror32(d, 8 * k);
        }
    }
    uint8_t r = 1;
    for (int i = 0; i < 10; ++i) {
        t.rcon[i] = r;
        r = xtime(r);
    }
    return t;
}

constexpr Tables tables = makeTables();
static_assert(tables.sbox[0x00] == 0x63 && tables.sbox[0x53] == 0xed && tables.sbox[0xff] == 0x16,
              "FIPS-197 S-box");
static_assert(tables.invSbox[0x63] == 0x00 && tables.rcon[9] == 0x36, "inverse S-box, Rcon");

const auto &Te0 = tables.te[0];
const auto &Te1 = tables.te[1];
const auto &Te2 = tables.te[2];
const auto &Te3 = tables.te[3];
const auto &Td0 = tables.td[0];
const auto &Td1 = tables.td[1];
const auto &Td2 = tables.td[2];
const auto &Td3 = tables.td[3];
const auto &Sbox = tables.sbox;
const auto &InvSbox = tables.invSbox;

inline uint32_t subWord(uint32_t w)
{
    return (uint32_t(Sbox[w >> 24]) << 24) | (uint32_t(Sbox[(w >> 16) & 0xff]) << 16)
           | (uint32_t(Sbox[(w >> 8) & 0xff]) << 8) | uint32_t(Sbox[w & 0xff]);
}

inline uint32_t invMixColumn(uint32_t w)
{
    return Td0[Sbox[w >> 24]] ^ Td1[Sbox[(w >> 16) & 0xff]] ^ Td2[Sbox[(w >> 8) & 0xff]]
           ^ Td3[Sbox[w & 0xff]];
}

// One block through the cipher, words in and out (big-endian loaded).
inline void encryptBlock(const AesContext *c, const uint8_t in[16], uint8_t out[16])
{
    const uint32_t *rk = &c->roundKeys[0][0];
    uint32_t s0 = load32be(in) ^ rk[0];
    uint32_t s1 = load32be(in + 4) ^ rk[1];
    uint32_t s2 = load32be(in + 8) ^ rk[2];
    uint32_t s3 = load32be(in + 12) ^ rk[3];
    const int rounds = c->rounds;
    for (int r = 1; r < rounds; ++r) {
        rk += 4;
        const uint32_t t0 = Te0[s0 >> 24] ^ Te1[(s1 >> 16) & 0xff] ^ Te2[(s2 >> 8) & 0xff] ^ Te3[s3 & 0xff] ^ rk[0];
        const uint32_t t1 = Te0[s1 >> 24] ^ Te1[(s2 >> 16) & 0xff] ^ Te2[(s3 >> 8) & 0xff] ^ Te3[s0 & 0xff] ^ rk[1];
        const uint32_t t2 = Te0[s2 >> 24] ^ Te1[(s3 >> 16) & 0xff] ^ Te2[(s0 >> 8) & 0xff] ^ Te3[s1 & 0xff] ^ rk[2];
        const uint32_t t3 = Te0[s3 >> 24] ^ Te1[(s0 >> 16) & 0xff] ^ Te2[(s1 >> 8) & 0xff] ^ Te3[s2 & 0xff] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    store32be(out, ((uint32_t(Sbox[s0 >> 24]) << 24) | (uint32_t(Sbox[(s1 >> 16) & 0xff]) << 16)
                    | (uint32_t(Sbox[(s2 >> 8) & 0xff]) << 8) | uint32_t(Sbox[s3 & 0xff])) ^ rk[0]);
    store32be(out + 4, ((uint32_t(Sbox[s1 >> 24]) << 24) | (uint32_t(Sbox[(s2 >> 16) & 0xff]) << 16)
                        | (uint32_t(Sbox[(s3 >> 8) & 0xff]) << 8) | uint32_t(Sbox[s0 & 0xff])) ^ rk[1]);
    store32be(out + 8, ((uint32_t(Sbox[s2 >> 24]) << 24) | (uint32_t(Sbox[(s3 >> 16) & 0xff]) << 16)
                        | (uint32_t(Sbox[(s0 >> 8) & 0xff]) << 8) | uint32_t(Sbox[s1 & 0xff])) ^ rk[2]);
    store32be(out + 12, ((uint32_t(Sbox[s3 >> 24]) << 24) | (uint32_t(Sbox[(s0 >> 16) & 0xff]) << 16)
                         | (uint32_t(Sbox[(s1 >> 8) & 0xff]) << 8) | uint32_t(Sbox[s2 & 0xff])) ^ rk[3]);
}

// The equivalent inverse cipher: round keys used from the last to the first.
inline void decryptBlock(const AesContext *c, const uint8_t in[16], uint8_t out[16])
{
    const int rounds = c->rounds;
    const uint32_t *rk = &c->roundKeys[rounds][0];
    uint32_t s0 = load32be(in) ^ rk[0];
    uint32_t s1 = load32be(in + 4) ^ rk[1];
    uint32_t s2 = load32be(in + 8) ^ rk[2];
    uint32_t s3 = load32be(in + 12) ^ rk[3];
    for (int r = rounds - 1; r > 0; --r) {
        rk -= 4;
        const uint32_t t0 = Td0[s0 >> 24] ^ Td1[(s3 >> 16) & 0xff] ^ Td2[(s2 >> 8) & 0xff] ^ Td3[s1 & 0xff] ^ rk[0];
        const uint32_t t1 = Td0[s1 >> 24] ^ Td1[(s0 >> 16) & 0xff] ^ Td2[(s3 >> 8) & 0xff] ^ Td3[s2 & 0xff] ^ rk[1];
        const uint32_t t2 = Td0[s2 >> 24] ^ Td1[(s1 >> 16) & 0xff] ^ Td2[(s0 >> 8) & 0xff] ^ Td3[s3 & 0xff] ^ rk[2];
        const uint32_t t3 = Td0[s3 >> 24] ^ Td1[(s2 >> 16) & 0xff] ^ Td2[(s1 >> 8) & 0xff] ^ Td3[s0 & 0xff] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk -= 4;
    store32be(out, ((uint32_t(InvSbox[s0 >> 24]) << 24) | (uint32_t(InvSbox[(s3 >> 16) & 0xff]) << 16)
                    | (uint32_t(InvSbox[(s2 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s1 & 0xff])) ^ rk[0]);
    store32be(out + 4, ((uint32_t(InvSbox[s1 >> 24]) << 24) | (uint32_t(InvSbox[(s0 >> 16) & 0xff]) << 16)
                        | (uint32_t(InvSbox[(s3 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s2 & 0xff])) ^ rk[1]);
    store32be(out + 8, ((uint32_t(InvSbox[s2 >> 24]) << 24) | (uint32_t(InvSbox[(s1 >> 16) & 0xff]) << 16)
                        | (uint32_t(InvSbox[(s0 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s3 & 0xff])) ^ rk[2]);
    store32be(out + 12, ((uint32_t(InvSbox[s3 >> 24]) << 24) | (uint32_t(InvSbox[(s2 >> 16) & 0xff]) << 16)
                         | (uint32_t(InvSbox[(s1 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s0 & 0xff])) ^ rk[3]);
}

// Two independent blocks through the inverse cipher at once: the table
// look-ups of one block overlap with those of the other (CBC decryption,
// unlike encryption, has no chain between the block computations). Written
// out so that both states stay in registers.
#define AES_DEC_ROUND(t, s, rk)                                                                                  \
    t##0 = Td0[s##0 >> 24] ^ Td1[(s##3 >> 16) & 0xff] ^ Td2[(s##2 >> 8) & 0xff] ^ Td3[s##1 & 0xff] ^ (rk)[0];    \
    t##1 = Td0[s##1 >> 24] ^ Td1[(s##0 >> 16) & 0xff] ^ Td2[(s##3 >> 8) & 0xff] ^ Td3[s##2 & 0xff] ^ (rk)[1];    \
    t##2 = Td0[s##2 >> 24] ^ Td1[(s##1 >> 16) & 0xff] ^ Td2[(s##0 >> 8) & 0xff] ^ Td3[s##3 & 0xff] ^ (rk)[2];    \
    t##3 = Td0[s##3 >> 24] ^ Td1[(s##2 >> 16) & 0xff] ^ Td2[(s##1 >> 8) & 0xff] ^ Td3[s##0 & 0xff] ^ (rk)[3]

#define AES_DEC_LAST(o, s, rk)                                                                                       \
    store32be((o), ((uint32_t(InvSbox[s##0 >> 24]) << 24) | (uint32_t(InvSbox[(s##3 >> 16) & 0xff]) << 16)           \
                    | (uint32_t(InvSbox[(s##2 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s##1 & 0xff])) ^ (rk)[0]);     \
    store32be((o) + 4, ((uint32_t(InvSbox[s##1 >> 24]) << 24) | (uint32_t(InvSbox[(s##0 >> 16) & 0xff]) << 16)       \
                        | (uint32_t(InvSbox[(s##3 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s##2 & 0xff])) ^ (rk)[1]); \
    store32be((o) + 8, ((uint32_t(InvSbox[s##2 >> 24]) << 24) | (uint32_t(InvSbox[(s##1 >> 16) & 0xff]) << 16)       \
                        | (uint32_t(InvSbox[(s##0 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s##3 & 0xff])) ^ (rk)[2]); \
    store32be((o) + 12, ((uint32_t(InvSbox[s##3 >> 24]) << 24) | (uint32_t(InvSbox[(s##2 >> 16) & 0xff]) << 16)      \
                         | (uint32_t(InvSbox[(s##1 >> 8) & 0xff]) << 8) | uint32_t(InvSbox[s##0 & 0xff])) ^ (rk)[3])

inline void decrypt2Blocks(const AesContext *c, const uint8_t *in, uint8_t *out)
{
    const int rounds = c->rounds;
    const uint32_t *rk = &c->roundKeys[rounds][0];
    uint32_t a0 = load32be(in) ^ rk[0], a1 = load32be(in + 4) ^ rk[1];
    uint32_t a2 = load32be(in + 8) ^ rk[2], a3 = load32be(in + 12) ^ rk[3];
    uint32_t b0 = load32be(in + 16) ^ rk[0], b1 = load32be(in + 20) ^ rk[1];
    uint32_t b2 = load32be(in + 24) ^ rk[2], b3 = load32be(in + 28) ^ rk[3];
    uint32_t x0, x1, x2, x3, y0, y1, y2, y3;
    for (int r = rounds - 1; r > 0; --r) {
        rk -= 4;
        AES_DEC_ROUND(x, a, rk);
        AES_DEC_ROUND(y, b, rk);
        a0 = x0, a1 = x1, a2 = x2, a3 = x3;
        b0 = y0, b1 = y1, b2 = y2, b3 = y3;
    }
    rk -= 4;
    AES_DEC_LAST(out, a, rk);
    AES_DEC_LAST(out + 16, b, rk);
}

#undef AES_DEC_ROUND
#undef AES_DEC_LAST

inline void xor16(uint8_t *dst, const uint8_t *a, const uint8_t *b)
{
    uint64_t x[2], y[2];
    std::memcpy(x, a, 16);
    std::memcpy(y, b, 16);
    x[0] ^= y[0];
    x[1] ^= y[1];
    std::memcpy(dst, x, 16);
}

// CFB with 1-bit feedback over whole 16-byte blocks, bits taken most
// significant first; the shift register starts at the context's IV.
void cfb1(const AesContext *c, const uint8_t *input, int blocks, uint8_t *output, bool decrypt)
{
    uint8_t shift[16];
    std::memcpy(shift, c->iv, 16);
    uint8_t keystream[16];
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < 128; ++i) {
            encryptBlock(c, shift, keystream);
            const int byte = b * 16 + (i >> 3);
            const int bitPos = 7 - (i & 7);
            const int inBit = (input[byte] >> bitPos) & 1;
            const int outBit = inBit ^ (keystream[0] >> 7);
            output[byte] = uint8_t((output[byte] & ~(1 << bitPos)) | (outBit << bitPos));
            const int cipherBit = decrypt ? inBit : outBit;
            for (int k = 0; k < 15; ++k)
                shift[k] = uint8_t((shift[k] << 1) | (shift[k + 1] >> 7));
            shift[15] = uint8_t((shift[15] << 1) | cipherBit);
        }
    }
}

bool processorHasAes()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

// The processor is asked once; the answer holds for the process.
const AesHardwareCode *hardwareCode()
{
    static const AesHardwareCode *const code = processorHasAes() ? aesHardwareCode() : nullptr;
    return code;
}

std::atomic<bool> tablesForced{false};

// The one place that chooses the code path of a call: null means the tables.
const AesHardwareCode *activeAesHardware()
{
    return tablesForced.load(std::memory_order_relaxed) ? nullptr : hardwareCode();
}

// FIPS-197 5.2: the schedule of nk key words into context->roundKeys, taken
// nk words at a time (j = i mod nk) so that no word needs a division: the
// set-up runs once per page.
void expandKey(AesContext *context, const uint8_t *key, int nk)
{
    uint32_t *w = &context->roundKeys[0][0];
    const int total = 4 * (context->rounds + 1);
    for (int i = 0; i < nk; ++i)
        w[i] = load32be(key + 4 * i);
    for (int i = nk, group = 0; i < total; ++group) {
        for (int j = 0; j < nk && i < total; ++j, ++i) {
            uint32_t temp = w[i - 1];
            if (j == 0)
                temp = subWord((temp << 8) | (temp >> 24)) ^ (uint32_t(tables.rcon[group]) << 24);
            else if (nk > 6 && j == 4)
                temp = subWord(temp);
            w[i] = w[i - nk] ^ temp;
        }
    }
}

// Round keys 1 .. rounds-1 of a decrypting context take InvMixColumns, on
// the instructions when they run this call, else by the tables. Both key
// forms are equal afterwards.
void prepareKeys(AesContext *context, const AesHardwareCode *hardware)
{
    const int rounds = context->rounds;
    const bool invert = context->direction == aesDecrypt;
    if (invert && !hardware) {
        for (int r = 1; r < rounds; ++r)
            for (int k = 0; k < 4; ++k)
                context->roundKeys[r][k] = invMixColumn(context->roundKeys[r][k]);
    }
    for (int r = 0; r <= rounds; ++r)
        for (int k = 0; k < 4; ++k)
            store32be(context->roundKeyBytes[r] + 4 * k, context->roundKeys[r][k]);
    if (invert && hardware) {
        hardware->invertKeys(context->roundKeyBytes, rounds);
        for (int r = 1; r < rounds; ++r)
            for (int k = 0; k < 4; ++k)
                context->roundKeys[r][k] = load32be(context->roundKeyBytes[r] + 4 * k);
    }
}

} // namespace

bool aesHardwareAvailable()
{
    return hardwareCode() != nullptr;
}

void aesForceTables(bool force)
{
    tablesForced.store(force, std::memory_order_relaxed);
}

bool aesUsesHardware()
{
    return activeAesHardware() != nullptr;
}

int aesSetup(AesContext *context, int mode, int direction, const uint8_t *key, int keyLengthCode,
             const uint8_t *iv)
{
    context->state = 1;
    if (mode < aesModeEcb || mode > aesModeCfb1)
        return aesUnsupportedMode;
    if (direction < aesEncrypt || direction > aesDecrypt)
        return aesUnsupportedDirection;
    if (keyLengthCode < aesKey16Bytes || keyLengthCode > aesKey32Bytes)
        return aesUnsupportedKeyLength;
    if (!key)
        return aesBadKey;

    context->mode = mode;
    context->direction = direction;
    if (iv)
        std::memcpy(context->iv, iv, 16);
    else
        std::memset(context->iv, 0, 16);

    const int nk = 4 + 2 * keyLengthCode;  // key words: 4, 6, 8
    context->rounds = nk + 6;              // 10, 12, 14
    expandKey(context, key, nk);
    prepareKeys(context, activeAesHardware());
    context->state = 0;
    return aesOk;
}

int aesEncryptBlocks(AesContext *context, const uint8_t *input, int lengthInBits, uint8_t *output)
{
    if (!input || lengthInBits <= 0)
        return 0;
    if (context->state != 0)
        return aesNotInitialized;
    if (context->direction == aesDecrypt)
        return aesBadDirection;
    const int blocks = lengthInBits / 128;
    const AesHardwareCode *hardware = activeAesHardware();
    switch (context->mode) {
    case aesModeEcb:
        if (hardware) {
            hardware->ecb(context->roundKeyBytes, context->rounds, false, input, blocks, output);
            break;
        }
        for (int b = 0; b < blocks; ++b)
            encryptBlock(context, input + 16 * b, output + 16 * b);
        break;
    case aesModeCbc: {
        if (hardware) {
            hardware->cbcEncrypt(context->roundKeyBytes, context->rounds, context->iv, input, blocks, output);
            break;
        }
        uint8_t chain[16];
        std::memcpy(chain, context->iv, 16);
        for (int b = 0; b < blocks; ++b) {
            uint8_t block[16];
            xor16(block, input + 16 * b, chain);
            encryptBlock(context, block, output + 16 * b);
            std::memcpy(chain, output + 16 * b, 16);
        }
        break;
    }
    case aesModeCfb1:
        cfb1(context, input, blocks, output, false);
        break;
    default:
        return aesUnsupportedMode;
    }
    return 128 * blocks;
}

int aesDecryptBlocks(AesContext *context, const uint8_t *input, int lengthInBits, uint8_t *output)
{
    if (!input || lengthInBits <= 0)
        return 0;
    if (context->state != 0)
        return aesNotInitialized;
    if (context->mode != aesModeCfb1 && context->direction == aesEncrypt)
        return aesBadDirection;
    const int blocks = lengthInBits / 128;
    const AesHardwareCode *hardware = activeAesHardware();
    switch (context->mode) {
    case aesModeEcb:
        if (hardware) {
            hardware->ecb(context->roundKeyBytes, context->rounds, true, input, blocks, output);
            break;
        }
        for (int b = 0; b < blocks; ++b)
            decryptBlock(context, input + 16 * b, output + 16 * b);
        break;
    case aesModeCbc: {
        if (hardware) {
            hardware->cbcDecrypt(context->roundKeyBytes, context->rounds, context->iv, input, blocks, output);
            break;
        }
        uint8_t chain[16];
        std::memcpy(chain, context->iv, 16);
        int b = 0;
        for (; b + 2 <= blocks; b += 2) {
            uint8_t saved[32];
            uint8_t plain[32];
            std::memcpy(saved, input + 16 * b, 32);  // input and output may overlap
            decrypt2Blocks(context, saved, plain);
            xor16(output + 16 * b, plain, chain);
            xor16(output + 16 * b + 16, plain + 16, saved);
            std::memcpy(chain, saved + 16, 16);
        }
        for (; b < blocks; ++b) {
            uint8_t saved[16];
            uint8_t plain[16];
            std::memcpy(saved, input + 16 * b, 16);  // input and output may overlap
            decryptBlock(context, saved, plain);
            xor16(output + 16 * b, plain, chain);
            std::memcpy(chain, saved, 16);
        }
        break;
    }
    case aesModeCfb1:
        cfb1(context, input, blocks, output, true);
        break;
    default:
        return aesUnsupportedMode;
    }
    return 128 * blocks;
}
