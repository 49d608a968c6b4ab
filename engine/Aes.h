#pragma once

// AES (FIPS-197) block cipher with ECB, CBC and CFB-1 modes: the block
// primitive of the page codec. Our own code with the standard
// tables; the codec uses CBC with 256-bit keys only. Where the processor has
// AES instructions, ECB and CBC run on them (the same results, several times
// faster); CFB-1, and processors without them, use the table code.

#include <cstdint>

enum AesMode { aesModeEcb = 0, aesModeCbc = 1, aesModeCfb1 = 2 };
enum AesDirection { aesEncrypt = 0, aesDecrypt = 1 };
enum AesKeyLength { aesKey16Bytes = 0, aesKey24Bytes = 1, aesKey32Bytes = 2 };

// Results of the AES functions.
enum AesResult {
    aesOk = 0,
    aesUnsupportedMode = -1,
    aesUnsupportedDirection = -2,
    aesUnsupportedKeyLength = -3,
    aesBadKey = -4,
    aesNotInitialized = -5,
    aesBadDirection = -6,
};

struct AesContext
{
    int state = 1;      // 0 set up and ready, 1 not set up
    int mode = 0;       // AesMode
    int direction = 0;  // AesDirection
    uint8_t iv[16] = {};
    int rounds = 0;     // 10, 12 or 14
    // 15 round keys of 16 bytes, as big-endian words. For a context set up to
    // decrypt, round keys 1 .. rounds-1 have InvMixColumns applied (the
    // equivalent inverse cipher), so a context serves one direction only.
    uint32_t roundKeys[15][4] = {};
    // The same round keys as 16-byte strings in the cipher's byte order, the
    // form the processor's AES instructions take. aesSetup keeps both forms
    // equal on either code path, so a context serves both.
    uint8_t roundKeyBytes[15][16] = {};
};

// Sets the context up. keyLengthCode 0, 1, 2 selects a 16-, 24- or 32-byte
// key; iv null means 16 zero bytes. Returns 0, or -1 mode above 2, -2
// direction above 1, -3 other key length code, -4 null key.
int aesSetup(AesContext *context, int mode, int direction, const uint8_t *key, int keyLengthCode,
             const uint8_t *iv);

// Encrypts lengthInBits / 128 whole blocks from input to output and returns
// the number of bits processed. 0 for a null input or a length <= 0, -5 when
// the context is not set up, -6 when it was set up to decrypt. In CBC mode the
// context's IV is not updated. Input and output may be the same buffer.
int aesEncryptBlocks(AesContext *context, const uint8_t *input, int lengthInBits, uint8_t *output);

// The same for decryption; -6 when the context was set up to encrypt (except
// in CFB-1 mode, which runs the cipher forwards and wants an encrypting
// context). Input and output may be the same buffer.
int aesDecryptBlocks(AesContext *context, const uint8_t *input, int lengthInBits, uint8_t *output);

// The processor has the AES instructions (checked once).
bool aesHardwareAvailable();
// True runs every later AES call on the table code, false returns to the
// instructions where available: tests and benchmarks compare the two paths.
void aesForceTables(bool force);
// The AES calls run on the instructions: available and not forced off.
bool aesUsesHardware();
