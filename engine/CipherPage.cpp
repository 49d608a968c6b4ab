#include "CipherPage.h"

#include "ByteOrder.h"
#include "Md5.h"
#include "Sha256.h"

#include <sqlite3.h>

#include <cstring>
#include <new>

namespace {

// The 32-byte password padding string of the PDF standard security handler.
constexpr uint8_t passwordPadding[32] = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A,
};

constexpr uint32_t sha256Initial[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

} // namespace

void cipherPadPassphrase(const void *phrase, int length, uint8_t out[32])
{
    int n = length < 0 ? 0 : (length > 32 ? 32 : length);
    if (n > 0)
        std::memcpy(out, phrase, size_t(n));
    std::memcpy(out + n, passwordPadding, size_t(32 - n));
}

void cipherDeriveKey(const void *phrase, int length, uint8_t key[32])
{
    uint8_t padded[32];
    cipherPadPassphrase(phrase, length, padded);
    sha256Digest(padded, 32, key);
    // 4,001 further rounds of SHA-256 over the 32-byte digest. A 32-byte
    // message is one block with a fixed padding, so each round is one
    // compression of that block (the same result as sha256Digest).
    uint8_t block[64] = {};
    block[32] = 0x80;
    block[62] = 0x01;  // message length 256 bits, big-endian
    std::memcpy(block, key, 32);
    uint32_t state[8];
    for (int round = 0; round < 4001; ++round) {
        std::memcpy(state, sha256Initial, sizeof state);
        sha256Transform(state, block);
        for (int i = 0; i < 8; ++i)
            store32be(block + 4 * i, state[i]);
    }
    std::memcpy(key, block, 32);
}

void cipherPageIvSeed(uint32_t pageNumber, uint8_t seed[16])
{
    // Schrage's method in signed 32-bit arithmetic, modulus 2147483399.
    int32_t z = int32_t(pageNumber + 1u);
    for (int i = 0; i < 4; ++i) {
        const int32_t q = z / 52774;
        const int32_t r = z % 52774;
        z = 40692 * r - 3791 * q;
        if (z < 0)
            z += 2147483399;
        store32le(seed + 4 * i, uint32_t(z));
    }
}

void cipherPageIv(uint32_t pageNumber, uint8_t iv[16])
{
    uint8_t seed[16];
    cipherPageIvSeed(pageNumber, seed);
    md5Digest(seed, 16, iv);
}

void cipherPageKey(const uint8_t key[32], uint32_t pageNumber, uint8_t pageKey[32])
{
    uint8_t material[40];
    std::memcpy(material, key, 32);
    store32le(material + 32, pageNumber);
    std::memcpy(material + 36, cipherSalt, 4);
    sha256Digest(material, 40, pageKey);
}

int cipherCryptPage(CipherRecord *record, uint32_t pageNumber, bool encrypt, const uint8_t key[32],
                    const uint8_t *in, int length, uint8_t *out)
{
    uint8_t pageKey[32];
    uint8_t iv[16];
    cipherPageKey(key, pageNumber, pageKey);
    cipherPageIv(pageNumber, iv);
    int rc = aesSetup(record->aes, aesModeCbc, encrypt ? aesEncrypt : aesDecrypt, pageKey, aesKey32Bytes, iv);
    if (rc != aesOk)
        return rc;
    return encrypt ? aesEncryptBlocks(record->aes, in, length * 8, out)
                   : aesDecryptBlocks(record->aes, in, length * 8, out);
}

void *cipherPagerHook(CipherRecord *record, void *data, uint32_t pageNumber, int mode)
{
    if (!record || !record->encrypted)
        return data;
    const int pageSize = record->pageSize;
    auto *bytes = static_cast<uint8_t *>(data);
    switch (mode) {
    case 0:
    case 2:
    case cipherModeRead:
        if (record->hasReadKey)
            cipherCryptPage(record, pageNumber, false, record->readKey, bytes, pageSize, bytes);
        return data;
    case cipherModeWrite:
        if (record->hasWriteKey) {
            cipherCryptPage(record, pageNumber, true, record->writeKey, bytes, pageSize, record->pageBuffer);
            return record->pageBuffer;
        }
        return data;
    case cipherModeJournal:
        if (record->hasReadKey) {
            cipherCryptPage(record, pageNumber, true, record->readKey, bytes, pageSize, record->pageBuffer);
            return record->pageBuffer;
        }
        return data;
    default:
        return data;
    }
}

CipherRecord *cipherNewRecord()
{
    auto *record = static_cast<CipherRecord *>(sqlite3_malloc(int(sizeof(CipherRecord))));
    if (!record)
        return nullptr;
    auto *aes = static_cast<AesContext *>(sqlite3_malloc(int(sizeof(AesContext))));
    if (!aes) {
        sqlite3_free(record);
        return nullptr;
    }
    new (aes) AesContext();  // marked not set up
    record->encrypted = 0;
    record->hasReadKey = 0;
    record->hasWriteKey = 0;
    std::memset(record->readKey, 0, sizeof record->readKey);
    std::memset(record->writeKey, 0, sizeof record->writeKey);
    record->aes = aes;
    record->pageSize = 0;
    return record;
}

void cipherRelease(CipherRecord *record)
{
    if (!record)
        return;
    // Keys and the last page out of memory before the blocks go back.
    if (record->aes) {
        std::memset(static_cast<void *>(record->aes), 0, sizeof(AesContext));
        sqlite3_free(record->aes);
    }
    std::memset(record->readKey, 0, sizeof record->readKey);
    std::memset(record->writeKey, 0, sizeof record->writeKey);
    sqlite3_free(record);
}
