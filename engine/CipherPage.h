#pragma once

// The page cipher of the encrypted database file: key
// derivation, per-page key and IV, the per-database CipherRecord and the
// page hook that the codec's VFS layer calls for every page it moves.

#include "Aes.h"

#include <cstdint>

// The codec's salt: four ASCII letters hashed into every page key. A file
// written with one salt opens only with the same salt.
inline constexpr uint8_t cipherSalt[4] = {'V', 'l', 'm', 'r'};

inline constexpr int cipherMaxPageSize = 65536;
inline constexpr int cipherPageBufferSize = 65540;

// Hook modes (the codec build's numbering): a page read from the database
// file or from a journal (decrypt in place with the read key), a page about
// to be written to the database file (encrypted copy under the write key), a
// page image about to be written to a rollback or statement journal
// (encrypted copy under the read key).
enum CipherHookMode { cipherModeRead = 3, cipherModeWrite = 6, cipherModeJournal = 7 };

// One per keyed database file (allocated with sqlite3_malloc, released with
// cipherRelease). In place of the B-tree handle the record carries the size
// of the page being processed, which the VFS sets before each call of the hook.
struct CipherRecord
{
    int encrypted;      // 1 while installed; 0 only while being taken off
    int hasReadKey;
    uint8_t readKey[32];   // key of the file's current pages; also encrypts journal images
    int hasWriteKey;
    uint8_t writeKey[32];  // key for pages written to the file; differs only inside a rekey
    AesContext *aes;       // set up afresh for every page
    int pageSize;          // size of the page in hand
    uint8_t pageBuffer[cipherPageBufferSize];  // receives every encrypted copy
};

// The 32-byte padded phrase: the first min(n, 32) bytes of the phrase, then
// the PDF password padding string (ISO 32000-1, 7.6.3.3).
void cipherPadPassphrase(const void *phrase, int length, uint8_t out[32]);

// The database key: SHA-256 of the padded phrase, then 4,001 more SHA-256
// rounds over the digest.
void cipherDeriveKey(const void *phrase, int length, uint8_t key[32]);

// The 16 bytes hashed for the IV of a page: z1..z4 of the MCG
// z <- 40692 z mod 2147483399 from z0 = page + 1 (Schrage), little-endian.
void cipherPageIvSeed(uint32_t pageNumber, uint8_t seed[16]);
// IV of a page: MD5 of its seed.
void cipherPageIv(uint32_t pageNumber, uint8_t iv[16]);
// Page key: SHA-256 of key (32) || page number (LE32) || salt (4).
void cipherPageKey(const uint8_t key[32], uint32_t pageNumber, uint8_t pageKey[32]);

// Encrypts or decrypts length bytes (whole 16-byte blocks; a trailing part
// block is left as it is) of one page from in to out, in place when they are
// the same buffer. Returns the bits processed or a negative AES error.
int cipherCryptPage(CipherRecord *record, uint32_t pageNumber, bool encrypt, const uint8_t key[32],
                    const uint8_t *in, int length, uint8_t *out);

// The page hook: returns the address of the bytes to use (data itself for
// mode 3 and for pages passed unchanged, the record's page buffer for an
// encrypted copy). Page size = record->pageSize.
void *cipherPagerHook(CipherRecord *record, void *data, uint32_t pageNumber, int mode);

// A new record: flags 0, an AES context marked not set up. Null when an
// allocation fails.
CipherRecord *cipherNewRecord();
// Frees the record's AES context, then the record; ignores null.
void cipherRelease(CipherRecord *record);
