#include "CipherCodec.h"

#include "ByteOrder.h"
#include "CipherPage.h"

#include <cstring>
#include <mutex>

// The codec as a VFS layer (SQLite 3.40 has no codec
// hooks). The layer wraps the default VFS and sees every file SQLite opens:
//
// Main database files (SQLITE_OPEN_MAIN_DB) carry an optional CipherRecord.
// Without one, or before a key is installed, they pass through unchanged.
// With one, every whole-page read (a power-of-two size from 512 to 65536 at a
// multiple of that size) is decrypted in place as page offset/size + 1 (mode
// 3), every whole-page write goes out as an encrypted copy (mode 6). Reads
// that are not whole pages (100 bytes at offset 0 when a B-tree opens, 16 at
// offset 24 at each transaction) are served by decrypting the enclosing
// blocks of the page; the page size for them comes from the last decrypted
// header (any read inside the first 512 bytes is in page 1 whatever the page
// size). Partial writes to an encrypted file never happen in SQLite's pager
// and are refused.
//
// Main journals (SQLITE_OPEN_MAIN_JOURNAL) find their database file with
// sqlite3_database_file_object. A journal record is a 4-byte page number, the
// page image and a 4-byte checksum that SQLite computes over the plain image
// (nonce + every 200th byte). Page images (whole-page sized transfers at
// offset = 4 mod 8) are stored encrypted under the read key with the page's
// own key and IV (mode 7), exactly as the page is stored in the database
// file; the checksum written after an image is corrected by the difference
// of the sampled bytes, so that on disk it is the checksum of the stored
// bytes. On reading, the image is decrypted and the checksum corrected back.
// So a rollback writes back, through the database file's encryption, exactly
// the bytes that were there before, whatever key (or none) the rolling-back
// connection holds: decryption and encryption under the same key cancel out.
// A wrong key therefore never damages a file with a hot journal.
//
// Statement journals (SQLITE_OPEN_SUBJOURNAL) have no name to find their
// database by; they are private to a connection and deleted on close, so
// their bytes are encrypted (AES-256-CTR by file offset) under a random key
// of their own, whatever the database's key.
//
// Everything else (temporary databases, temporary and super-journals) is
// opened directly by the underlying VFS. WAL files are refused; the io
// methods are version 1 (no shared memory, no xFetch), so WAL needs exclusive
// locking mode and memory mapping is never used, and PRAGMA journal_mode=WAL
// is answered with an error.

namespace {

constexpr int kindMainDb = 1;
constexpr int kindMainJournal = 2;
constexpr int kindSubJournal = 3;

constexpr sqlite3_int64 pendingByte = 0x40000000;

struct CipherFile
{
    sqlite3_file base;
    sqlite3_file *real;
    int kind;
    CipherRecord *record;  // main db: the installed record; statement journal: its own
    CipherFile *db;        // main journal: the database file it belongs to
    int plainByRequest;    // main db: "key=" in the URI: never take the main keys
    int keysMissing;       // main db: no memory to take the main keys; I/O fails until keyed
    int headerPageSize;    // main db: page size in the last decrypted header, 0 unknown
    // Journal bookkeeping: the last 4-byte word moved (a page number or a
    // checksum) and the checksum correction of the last page image moved.
    sqlite3_int64 wordOffset;
    uint32_t wordValue;
    int wordValid;
    sqlite3_int64 sumEnd;
    uint32_t sumDelta;
    int sumValid;
};

sqlite3_vfs cipherVfs;
sqlite3_vfs *baseVfs = nullptr;
std::mutex registerMutex;

extern const sqlite3_io_methods dbMethods;
extern const sqlite3_io_methods journalMethods;

constexpr int roundUp8(int n)
{
    return (n + 7) & ~7;
}

inline sqlite3_file *realFile(sqlite3_file *p)
{
    return reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(p) + roundUp8(int(sizeof(CipherFile))));
}

inline bool isPageSize(int n)
{
    return n >= 512 && n <= cipherMaxPageSize && (n & (n - 1)) == 0;
}

inline bool isWholePage(int amount, sqlite3_int64 offset)
{
    return isPageSize(amount) && offset % amount == 0;
}

// The bytes of a page that SQLite's journal checksum samples.
inline uint32_t checksumSample(const uint8_t *page, int pageSize)
{
    uint32_t sum = 0;
    for (int i = pageSize - 200; i > 0; i -= 200)
        sum += page[i];
    return sum;
}

inline bool readsEncrypted(const CipherRecord *r)
{
    return r && r->encrypted && r->hasReadKey;
}

inline bool writesEncrypted(const CipherRecord *r)
{
    return r && r->encrypted && r->hasWriteKey;
}

// Page size from a plain page-1 header (bytes 16-17, 1 meaning 65536).
void noteHeader(CipherFile *p, const uint8_t *page1, int length)
{
    if (length < 18)
        return;
    int size = (page1[16] << 8) | (page1[17] << 16);
    if (isPageSize(size))
        p->headerPageSize = size;
}

int fileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return f->pMethods->xFileSize(f, size);
}

// ---- main database file -------------------------------------------------

// A read that is not a whole page: decrypt the enclosing blocks of its page.
int readPartial(CipherFile *p, uint8_t *out, int amount, sqlite3_int64 offset)
{
    CipherRecord *r = p->record;
    sqlite3_file *real = p->real;
    const sqlite3_int64 pageSize = p->headerPageSize ? p->headerPageSize : 512;
    const sqlite3_int64 pageIndex = offset / pageSize;
    if ((offset + amount - 1) / pageSize != pageIndex)
        return SQLITE_IOERR_READ;  // spans pages: SQLite's pager never does this
    const uint32_t pageNumber = uint32_t(pageIndex + 1);
    const sqlite3_int64 pageStart = pageIndex * pageSize;
    const int rel = int(offset - pageStart);
    const int first = rel & ~15;
    const int end = (rel + amount + 15) & ~15;
    const int from = first > 0 ? first - 16 : 0;
    const int count = end - from;
    uint8_t *buf = r->pageBuffer;
    int rc = real->pMethods->xRead(real, buf, count, pageStart + from);
    int available = count;
    if (rc == SQLITE_IOERR_SHORT_READ) {
        sqlite3_int64 size = 0;
        if (fileSize(real, &size) != SQLITE_OK)
            return SQLITE_IOERR_READ;
        sqlite3_int64 have = size - (pageStart + from);
        available = have < 0 ? 0 : (have > count ? count : int(have));
    } else if (rc != SQLITE_OK) {
        return rc;
    }

    uint8_t pageKey[32];
    uint8_t iv[16];
    cipherPageKey(r->readKey, pageNumber, pageKey);
    if (first == 0)
        cipherPageIv(pageNumber, iv);
    else
        std::memcpy(iv, buf, 16);
    uint8_t *blocks = buf + (first - from);
    int blockBytes = available - (first - from);
    blockBytes = blockBytes > 0 ? (blockBytes / 16) * 16 : 0;
    if (blockBytes > 0) {
        aesSetup(r->aes, aesModeCbc, aesDecrypt, pageKey, aesKey32Bytes, iv);
        aesDecryptBlocks(r->aes, blocks, blockBytes * 8, blocks);
    }
    // Bytes beyond the end of the file read as zeros, as SQLite expects.
    const int decryptedEnd = (first - from) + blockBytes;
    if (decryptedEnd < count)
        std::memset(buf + decryptedEnd, 0, size_t(count - decryptedEnd));
    std::memcpy(out, buf + (rel - from), size_t(amount));
    if (pageNumber == 1 && first == 0)
        noteHeader(p, blocks, blockBytes);
    else if (pageNumber == 1 && first <= 16 && end >= 32)
        noteHeader(p, blocks - 16, blockBytes + 16);  // bytes 16-17 lie in the decrypted range
    return rc;
}

int dbRead(sqlite3_file *file, void *out, int amount, sqlite3_int64 offset)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    CipherRecord *r = p->record;
    sqlite3_file *real = p->real;
    if (!r && p->keysMissing)
        return SQLITE_IOERR_NOMEM;
    if (!readsEncrypted(r))
        return real->pMethods->xRead(real, out, amount, offset);
    if (!isWholePage(amount, offset))
        return readPartial(p, static_cast<uint8_t *>(out), amount, offset);

    int rc = real->pMethods->xRead(real, out, amount, offset);
    const uint32_t pageNumber = uint32_t(offset / amount + 1);
    auto *bytes = static_cast<uint8_t *>(out);
    if (rc == SQLITE_OK) {
        r->pageSize = amount;
        cipherPagerHook(r, out, pageNumber, cipherModeRead);
    } else if (rc == SQLITE_IOERR_SHORT_READ) {
        // Past the end of the file: decrypt what is there, zeros after it.
        sqlite3_int64 size = 0;
        if (fileSize(real, &size) != SQLITE_OK)
            return SQLITE_IOERR_READ;
        sqlite3_int64 have = size - offset;
        int available = have < 0 ? 0 : (have > amount ? amount : int(have));
        int blockBytes = available & ~15;
        if (blockBytes > 0)
            cipherCryptPage(r, pageNumber, false, r->readKey, bytes, blockBytes, bytes);
        std::memset(bytes + blockBytes, 0, size_t(amount - blockBytes));
    } else {
        return rc;
    }
    if (pageNumber == 1)
        noteHeader(p, bytes, amount);
    return rc;
}

int dbWrite(sqlite3_file *file, const void *data, int amount, sqlite3_int64 offset)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    CipherRecord *r = p->record;
    sqlite3_file *real = p->real;
    if (!r && p->keysMissing)
        return SQLITE_IOERR_NOMEM;  // never write plain what should be encrypted
    if (!writesEncrypted(r))
        return real->pMethods->xWrite(real, data, amount, offset);
    if (!isWholePage(amount, offset))
        return SQLITE_IOERR_WRITE;
    const uint32_t pageNumber = uint32_t(offset / amount + 1);
    if (pageNumber == 1) {
        // Page 1 carries the page size of the content being written: a
        // write in other units (a backup or VACUUM between page sizes copies
        // the byte stream into the pages of the old size) would store pages
        // under the wrong page keys, so it is refused and rolled back.
        const auto *page1 = static_cast<const uint8_t *>(data);
        const int size = (page1[16] << 8) | (page1[17] << 16);
        if (std::memcmp(page1, "SQLite format 3", 16) == 0 && size != amount)
            return SQLITE_IOERR_WRITE;
        noteHeader(p, page1, amount);
    }
    r->pageSize = amount;
    const void *out = cipherPagerHook(r, const_cast<void *>(data), pageNumber, cipherModeWrite);
    return real->pMethods->xWrite(real, out, amount, offset);
}

int installRecord(CipherFile *p, CipherRecord *record)
{
    CipherRecord *old = p->record;
    p->record = record;
    p->keysMissing = 0;
    cipherRelease(old);
    return SQLITE_OK;
}

// A new record keyed from a pass phrase; null when out of memory.
CipherRecord *keyedRecord(const void *key, int n)
{
    CipherRecord *r = cipherNewRecord();
    if (!r)
        return nullptr;
    r->encrypted = 1;
    r->hasReadKey = 1;
    r->hasWriteKey = 1;
    cipherDeriveKey(key, n, r->readKey);
    std::memcpy(r->writeKey, r->readKey, 32);
    return r;
}

// A copy of another record's flags and keys; null when out of memory.
CipherRecord *copiedRecord(const CipherRecord *from)
{
    CipherRecord *r = cipherNewRecord();
    if (!r)
        return nullptr;
    r->encrypted = from->encrypted;
    r->hasReadKey = from->hasReadKey;
    std::memcpy(r->readKey, from->readKey, 32);
    r->hasWriteKey = from->hasWriteKey;
    std::memcpy(r->writeKey, from->writeKey, 32);
    return r;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes hexadecimal digits into a new sqlite3_malloc buffer; null on a bad
// digit, an odd count or no memory.
uint8_t *decodeHex(const char *text, int *length)
{
    const size_t n = std::strlen(text);
    if (n % 2 != 0)
        return nullptr;
    auto *out = static_cast<uint8_t *>(sqlite3_malloc(int(n / 2) + 1));
    if (!out)
        return nullptr;
    for (size_t i = 0; i < n; i += 2) {
        int hi = hexValue(text[i]);
        int lo = hexValue(text[i + 1]);
        if (hi < 0 || lo < 0) {
            sqlite3_free(out);
            return nullptr;
        }
        out[i / 2] = uint8_t(hi * 16 + lo);
    }
    *length = int(n / 2);
    return out;
}

// A key given as text or hexadecimal text (pragma value or URI parameter):
// installs a record; an empty key installs nothing.
int keyFromText(CipherFile *p, const char *value, bool hex, char **error)
{
    const void *key = value;
    int n = int(std::strlen(value));
    uint8_t *decoded = nullptr;
    if (hex) {
        decoded = decodeHex(value, &n);
        if (!decoded) {
            if (error)
                *error = sqlite3_mprintf("hexkey: not a hexadecimal key");
            return SQLITE_ERROR;
        }
        key = decoded;
    }
    int rc = SQLITE_OK;
    if (n > 0) {
        CipherRecord *r = keyedRecord(key, n);
        rc = r ? installRecord(p, r) : SQLITE_NOMEM;
    }
    sqlite3_free(decoded);
    return rc;
}

// The main database of the connection acts as the key source for an ATTACH
// without KEY: an attached file that has no key of its own takes the main
// database's keys while the main database is encrypted.
void inheritMainKeys(CipherFile *p, sqlite3 *db)
{
    if (!db || p->record || p->plainByRequest)
        return;
    sqlite3_file *mainFile = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &mainFile) != SQLITE_OK)
        return;
    if (!mainFile || mainFile == &p->base || mainFile->pMethods != &dbMethods)
        return;
    const CipherRecord *mainRecord = reinterpret_cast<CipherFile *>(mainFile)->record;
    if (!mainRecord || !mainRecord->encrypted)
        return;
    // The engine ignores the result of this file control, so a failed
    // allocation is remembered and fails the file's I/O instead.
    if (CipherRecord *r = copiedRecord(mainRecord))
        installRecord(p, r);
    else
        p->keysMissing = 1;
}

int dbFileControl(sqlite3_file *file, int op, void *arg)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    sqlite3_file *real = p->real;
    switch (op) {
    case SQLITE_FCNTL_PRAGMA: {
        auto **a = static_cast<char **>(arg);
        const char *name = a[1];
        const char *value = a[2];
        if (!name)
            break;
        const bool key = sqlite3_stricmp(name, "key") == 0;
        const bool hexKey = sqlite3_stricmp(name, "hexkey") == 0;
        if ((key || hexKey) && value)
            return keyFromText(p, value, hexKey, &a[0]);
        if (sqlite3_stricmp(name, "rekey") == 0 || sqlite3_stricmp(name, "hexrekey") == 0) {
            a[0] = sqlite3_mprintf("PRAGMA %s is not supported by this engine: call sqlite3_rekey()", name);
            return SQLITE_ERROR;
        }
        if (sqlite3_stricmp(name, "page_size") == 0 && value && p->record && p->record->encrypted) {
            // As in the codec build, VACUUM keeps the page size of an
            // encrypted database: the setting is ignored once it has pages.
            sqlite3_int64 size = 0;
            if (real->pMethods->xFileSize(real, &size) == SQLITE_OK && size > 0)
                return SQLITE_OK;
        }
        if (sqlite3_stricmp(name, "journal_mode") == 0 && value && sqlite3_stricmp(value, "wal") == 0) {
            a[0] = sqlite3_mprintf("WAL journal mode is not supported by the encrypted database engine");
            return SQLITE_ERROR;
        }
        break;
    }
    case SQLITE_FCNTL_MMAP_SIZE:
        // Memory-mapped I/O is refused: the limit is always 0.
        *static_cast<sqlite3_int64 *>(arg) = 0;
        return SQLITE_OK;
    case SQLITE_FCNTL_PDB:
        inheritMainKeys(p, *static_cast<sqlite3 **>(arg));
        break;
    default:
        break;
    }
    return real->pMethods->xFileControl(real, op, arg);
}

// ---- journals -----------------------------------------------------------

CipherRecord *journalRecord(CipherFile *p)
{
    return p->db ? p->db->record : nullptr;
}

// Page number of the page image at offset in a main journal (the word before
// it), 0 when it is not a page image: page images lie at offset = 4 mod 8
// (journal headers are sector-aligned), and the super-journal name is
// preceded by the lock-byte page number.
int journalPageNumber(CipherFile *p, int amount, sqlite3_int64 offset, uint32_t *pageNumber)
{
    *pageNumber = 0;
    if (offset % 8 != 4)
        return SQLITE_OK;
    uint32_t number;
    if (p->wordValid && p->wordOffset == offset - 4) {
        number = p->wordValue;
    } else {
        uint8_t word[4];
        int rc = p->real->pMethods->xRead(p->real, word, 4, offset - 4);
        if (rc != SQLITE_OK)
            return rc == SQLITE_IOERR_SHORT_READ ? SQLITE_IOERR_READ : rc;
        number = load32be(word);
    }
    p->wordValid = 0;
    if (number == uint32_t(pendingByte / amount + 1))
        number = 0;
    *pageNumber = number;
    return SQLITE_OK;
}

// Statement journals: every byte XORed with an AES-256-CTR key stream of the
// file's own random key, counter = offset / 16, so that any transfer at any
// offset encrypts and decrypts consistently (SQLite first buffers a statement
// journal in memory and copies it out in large chunks when it spills).
void statementXor(CipherRecord *r, sqlite3_int64 offset, const uint8_t *in, int amount, uint8_t *out)
{
    uint8_t counter[16];
    uint8_t stream[16];
    std::memcpy(counter, r->readKey, 8);  // nonce
    int done = 0;
    while (done < amount) {
        const sqlite3_int64 position = offset + done;
        const uint64_t block = uint64_t(position / 16);
        const int skip = int(position % 16);
        for (int i = 0; i < 8; ++i)
            counter[8 + i] = uint8_t(block >> (56 - 8 * i));
        aesEncryptBlocks(r->aes, counter, 128, stream);
        int n = 16 - skip;
        if (n > amount - done)
            n = amount - done;
        for (int i = 0; i < n; ++i)
            out[done + i] = uint8_t(in[done + i] ^ stream[skip + i]);
        done += n;
    }
}

int journalRead(sqlite3_file *file, void *out, int amount, sqlite3_int64 offset)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    sqlite3_file *real = p->real;
    int rc = real->pMethods->xRead(real, out, amount, offset);
    auto *bytes = static_cast<uint8_t *>(out);
    if (p->kind == kindSubJournal) {
        if (rc == SQLITE_OK)
            statementXor(p->record, offset, bytes, amount, bytes);
        return rc;
    }
    if (rc != SQLITE_OK)
        return rc;
    if (amount == 4) {
        const uint32_t stored = load32be(bytes);
        if (p->sumValid && offset == p->sumEnd) {
            store32be(bytes, stored - p->sumDelta);
            p->sumValid = 0;
        }
        p->wordOffset = offset;
        p->wordValue = stored;
        p->wordValid = 1;
        return rc;
    }
    p->sumValid = 0;
    if (!isPageSize(amount))
        return rc;
    CipherRecord *r = journalRecord(p);
    if (!readsEncrypted(r))
        return rc;
    uint32_t pageNumber = 0;
    int prc = journalPageNumber(p, amount, offset, &pageNumber);
    if (prc != SQLITE_OK)
        return prc;
    if (pageNumber == 0)
        return rc;
    const uint32_t storedSample = checksumSample(bytes, amount);
    r->pageSize = amount;
    cipherPagerHook(r, bytes, pageNumber, cipherModeRead);
    p->sumEnd = offset + amount;
    p->sumDelta = storedSample - checksumSample(bytes, amount);
    p->sumValid = 1;
    return rc;
}

int journalWrite(sqlite3_file *file, const void *data, int amount, sqlite3_int64 offset)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    sqlite3_file *real = p->real;
    if (p->kind == kindSubJournal) {
        CipherRecord *r = p->record;
        const auto *in = static_cast<const uint8_t *>(data);
        int done = 0;
        while (done < amount) {
            int n = amount - done;
            if (n > cipherPageBufferSize)
                n = cipherPageBufferSize;
            statementXor(r, offset + done, in + done, n, r->pageBuffer);
            int rc = real->pMethods->xWrite(real, r->pageBuffer, n, offset + done);
            if (rc != SQLITE_OK)
                return rc;
            done += n;
        }
        return SQLITE_OK;
    }
    if (amount == 4) {
        uint32_t value = load32be(data);
        if (p->sumValid && offset == p->sumEnd) {
            value += p->sumDelta;
            p->sumValid = 0;
        }
        uint8_t word[4];
        store32be(word, value);
        p->wordOffset = offset;
        p->wordValue = value;
        p->wordValid = 1;
        return real->pMethods->xWrite(real, word, 4, offset);
    }
    p->sumValid = 0;
    CipherRecord *r = journalRecord(p);
    uint32_t pageNumber = 0;
    if (isPageSize(amount) && readsEncrypted(r)) {
        int rc = journalPageNumber(p, amount, offset, &pageNumber);
        if (rc != SQLITE_OK)
            return rc;
    }
    if (pageNumber == 0)
        return real->pMethods->xWrite(real, data, amount, offset);
    r->pageSize = amount;
    const auto *plain = static_cast<const uint8_t *>(data);
    const auto *stored = static_cast<const uint8_t *>(
        cipherPagerHook(r, const_cast<void *>(data), pageNumber, cipherModeJournal));
    p->sumEnd = offset + amount;
    p->sumDelta = checksumSample(stored, amount) - checksumSample(plain, amount);
    p->sumValid = 1;
    return real->pMethods->xWrite(real, stored, amount, offset);
}

int journalTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    p->sumValid = 0;
    p->wordValid = 0;
    return p->real->pMethods->xTruncate(p->real, size);
}

int journalFileControl(sqlite3_file *file, int op, void *arg)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xFileControl(p->real, op, arg);
}

// ---- methods shared by both kinds ---------------------------------------

int fileClose(sqlite3_file *file)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    int rc = SQLITE_OK;
    if (p->real->pMethods)
        rc = p->real->pMethods->xClose(p->real);
    if (p->kind != kindMainJournal)
        cipherRelease(p->record);
    p->record = nullptr;
    p->db = nullptr;
    return rc;
}

int fileTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xTruncate(p->real, size);
}

int fileSync(sqlite3_file *file, int flags)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xSync(p->real, flags);
}

int fileFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xFileSize(p->real, size);
}

int fileLock(sqlite3_file *file, int lock)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xLock(p->real, lock);
}

int fileUnlock(sqlite3_file *file, int lock)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xUnlock(p->real, lock);
}

int fileCheckReservedLock(sqlite3_file *file, int *out)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xCheckReservedLock(p->real, out);
}

int fileSectorSize(sqlite3_file *file)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xSectorSize(p->real);
}

int fileDeviceCharacteristics(sqlite3_file *file)
{
    auto *p = reinterpret_cast<CipherFile *>(file);
    return p->real->pMethods->xDeviceCharacteristics(p->real);
}

const sqlite3_io_methods dbMethods = {
    1,  // no xShm* (no WAL), no xFetch (no memory mapping)
    fileClose, dbRead, dbWrite, fileTruncate, fileSync, fileFileSize, fileLock, fileUnlock,
    fileCheckReservedLock, dbFileControl, fileSectorSize, fileDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

const sqlite3_io_methods journalMethods = {
    1,
    fileClose, journalRead, journalWrite, journalTruncate, fileSync, fileFileSize, fileLock, fileUnlock,
    fileCheckReservedLock, journalFileControl, fileSectorSize, fileDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// ---- the VFS ------------------------------------------------------------

int vfsOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    if (flags & SQLITE_OPEN_WAL)
        return SQLITE_CANTOPEN;
    int kind = 0;
    if (flags & SQLITE_OPEN_MAIN_DB)
        kind = kindMainDb;
    else if (flags & SQLITE_OPEN_MAIN_JOURNAL)
        kind = kindMainJournal;
    else if (flags & SQLITE_OPEN_SUBJOURNAL)
        kind = kindSubJournal;
    if (kind == 0)
        return baseVfs->xOpen(baseVfs, name, file, flags, outFlags);

    auto *p = reinterpret_cast<CipherFile *>(file);
    std::memset(p, 0, sizeof *p);
    p->real = realFile(file);
    p->kind = kind;
    int rc = baseVfs->xOpen(baseVfs, name, p->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        if (p->real->pMethods)
            p->real->pMethods->xClose(p->real);
        file->pMethods = nullptr;
        return rc;
    }

    if (kind == kindMainDb) {
        if (name) {
            const char *key = sqlite3_uri_parameter(name, "key");
            const char *hexKey = sqlite3_uri_parameter(name, "hexkey");
            if (key || hexKey) {
                const char *value = key ? key : hexKey;
                if (*value == 0)
                    p->plainByRequest = 1;
                else
                    rc = keyFromText(p, value, !key, nullptr);
            }
        }
        if (rc == SQLITE_ERROR)
            rc = SQLITE_CANTOPEN;  // a malformed hexkey
    } else if (kind == kindMainJournal) {
        sqlite3_file *dbFile = name ? sqlite3_database_file_object(name) : nullptr;
        if (dbFile && dbFile->pMethods == &dbMethods)
            p->db = reinterpret_cast<CipherFile *>(dbFile);
    } else {
        // A random key and nonce of the statement journal's own.
        uint8_t key[32];
        sqlite3_randomness(32, key);
        CipherRecord *r = cipherNewRecord();
        if (r) {
            r->encrypted = 1;
            sqlite3_randomness(8, r->readKey);
            aesSetup(r->aes, aesModeEcb, aesEncrypt, key, aesKey32Bytes, nullptr);
            p->record = r;
        } else {
            rc = SQLITE_NOMEM;
        }
        std::memset(key, 0, sizeof key);
    }
    if (rc != SQLITE_OK) {
        p->real->pMethods->xClose(p->real);
        cipherRelease(p->record);
        file->pMethods = nullptr;
        return rc;
    }
    file->pMethods = kind == kindMainDb ? &dbMethods : &journalMethods;
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    return baseVfs->xDelete(baseVfs, name, syncDir);
}

int vfsAccess(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return baseVfs->xAccess(baseVfs, name, flags, out);
}

int vfsFullPathname(sqlite3_vfs *, const char *name, int n, char *out)
{
    return baseVfs->xFullPathname(baseVfs, name, n, out);
}

void *vfsDlOpen(sqlite3_vfs *, const char *name)
{
    return baseVfs->xDlOpen(baseVfs, name);
}

void vfsDlError(sqlite3_vfs *, int n, char *out)
{
    baseVfs->xDlError(baseVfs, n, out);
}

void (*vfsDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void)
{
    return baseVfs->xDlSym(baseVfs, handle, symbol);
}

void vfsDlClose(sqlite3_vfs *, void *handle)
{
    baseVfs->xDlClose(baseVfs, handle);
}

int vfsRandomness(sqlite3_vfs *, int n, char *out)
{
    return baseVfs->xRandomness(baseVfs, n, out);
}

int vfsSleep(sqlite3_vfs *, int microseconds)
{
    return baseVfs->xSleep(baseVfs, microseconds);
}

int vfsCurrentTime(sqlite3_vfs *, double *out)
{
    return baseVfs->xCurrentTime(baseVfs, out);
}

int vfsGetLastError(sqlite3_vfs *, int n, char *out)
{
    return baseVfs->xGetLastError ? baseVfs->xGetLastError(baseVfs, n, out) : 0;
}

int vfsCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *out)
{
    if (baseVfs->iVersion >= 2 && baseVfs->xCurrentTimeInt64)
        return baseVfs->xCurrentTimeInt64(baseVfs, out);
    double now = 0;
    int rc = baseVfs->xCurrentTime(baseVfs, &now);
    *out = sqlite3_int64(now * 86400000.0);
    return rc;
}

// ---- keying -------------------------------------------------------------

// Index of the first database of the connection named zDbName; 0 for a null
// name or a name the connection does not have.
int cipherFindDbIndex(sqlite3 *db, const char *zDbName)
{
    if (!zDbName)
        return 0;
    for (int i = 0;; ++i) {
        const char *name = sqlite3_db_name(db, i);
        if (!name)
            return 0;
        if (std::strcmp(name, zDbName) == 0)
            return i;
    }
}

// The codec file of database iDb, or null with *rc: 0 when the database has
// no file of ours to key (in memory, temporary, no such database), MISUSE
// when it is a file that was opened without the codec's VFS.
CipherFile *codecFile(sqlite3 *db, int iDb, int *rc)
{
    *rc = SQLITE_OK;
    const char *name = sqlite3_db_name(db, iDb);
    if (!name)
        return nullptr;
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db, name, SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return nullptr;
    if (file->pMethods == &dbMethods)
        return reinterpret_cast<CipherFile *>(file);
    const char *path = sqlite3_db_filename(db, name);
    if (path && *path)
        *rc = SQLITE_MISUSE;
    return nullptr;
}

struct DbLock
{
    explicit DbLock(sqlite3 *db) : mutex(sqlite3_db_mutex(db)) { sqlite3_mutex_enter(mutex); }
    ~DbLock() { sqlite3_mutex_leave(mutex); }
    sqlite3_mutex *mutex;
};

// The raw first 32 bytes and the size of a database file: a commit by any
// connection changes page 1 (its change counter), so equal guards taken
// before and after mean nobody wrote in between.
struct FileGuard
{
    uint8_t head[32] = {};
    sqlite3_int64 size = -1;
    bool operator==(const FileGuard &o) const { return size == o.size && std::memcmp(head, o.head, 32) == 0; }
};

int takeGuard(CipherFile *p, FileGuard *guard)
{
    sqlite3_file *real = p->real;
    int rc = real->pMethods->xFileSize(real, &guard->size);
    if (rc != SQLITE_OK)
        return rc;
    std::memset(guard->head, 0, sizeof guard->head);
    rc = real->pMethods->xRead(real, guard->head, 32, 0);
    return rc == SQLITE_IOERR_SHORT_READ ? SQLITE_OK : rc;
}

int execText(sqlite3 *db, char *sql)
{
    if (!sql)
        return SQLITE_NOMEM;
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_free(sql);
    return rc;
}

// Step 1 of the rekey: a copy of the database in memory under its current
// keys, and the guard of the file taken inside the same read transaction.
int copyToMemory(sqlite3 *db, const char *schema, CipherFile *file, sqlite3 *mem, FileGuard *guard)
{
    int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_stmt *stmt = nullptr;
    char *sql = sqlite3_mprintf("SELECT 1 FROM \"%w\".sqlite_master LIMIT 1", schema);
    rc = sql ? sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) : SQLITE_NOMEM;
    sqlite3_free(sql);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);  // holds the read transaction open
        if (rc == SQLITE_ROW || rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    if (rc == SQLITE_OK)
        rc = takeGuard(file, guard);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(mem, "main", db, schema);
        if (!backup) {
            rc = sqlite3_errcode(mem);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            int frc = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? frc : rc;
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return rc;
}

} // namespace

// ---- public functions ---------------------------------------------------

int cipherRegisterVfs()
{
    std::lock_guard<std::mutex> lock(registerMutex);
    if (!baseVfs) {
        int rc = sqlite3_initialize();
        if (rc != SQLITE_OK)
            return rc;
        sqlite3_vfs *base = sqlite3_vfs_find(nullptr);
        if (!base)
            return SQLITE_ERROR;
        baseVfs = base;
        std::memset(&cipherVfs, 0, sizeof cipherVfs);
        cipherVfs.iVersion = 2;
        cipherVfs.szOsFile = roundUp8(int(sizeof(CipherFile))) + base->szOsFile;
        cipherVfs.mxPathname = base->mxPathname;
        cipherVfs.zName = "velmora-cipher";
        cipherVfs.xOpen = vfsOpen;
        cipherVfs.xDelete = vfsDelete;
        cipherVfs.xAccess = vfsAccess;
        cipherVfs.xFullPathname = vfsFullPathname;
        cipherVfs.xDlOpen = vfsDlOpen;
        cipherVfs.xDlError = vfsDlError;
        cipherVfs.xDlSym = vfsDlSym;
        cipherVfs.xDlClose = vfsDlClose;
        cipherVfs.xRandomness = vfsRandomness;
        cipherVfs.xSleep = vfsSleep;
        cipherVfs.xCurrentTime = vfsCurrentTime;
        cipherVfs.xGetLastError = vfsGetLastError;
        cipherVfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    }
    if (sqlite3_vfs_find(nullptr) == &cipherVfs)
        return SQLITE_OK;
    return sqlite3_vfs_register(&cipherVfs, 1);
}

const char *cipherVfsName()
{
    return "velmora-cipher";
}

int sqlite3CodecAttach(sqlite3 *db, int iDb, const void *pKey, int nKey)
{
    if (!db)
        return SQLITE_MISUSE;
    DbLock lock(db);
    int rc = SQLITE_OK;
    if (pKey && nKey > 0) {
        CipherFile *file = codecFile(db, iDb, &rc);
        if (!file)
            return rc;
        CipherRecord *r = keyedRecord(pKey, nKey);
        if (!r)
            return SQLITE_NOMEM;
        installRecord(file, r);
        // Pages cached before the key (read as noise) must not outlive it.
        sqlite3_db_release_memory(db);
        return SQLITE_OK;
    }
    if (nKey <= 0 || iDb == 0)
        return SQLITE_OK;
    // An attached database taking the main database's keys.
    CipherFile *mainFile = codecFile(db, 0, &rc);
    if (!mainFile || !mainFile->record || !mainFile->record->encrypted)
        return SQLITE_OK;
    CipherFile *file = codecFile(db, iDb, &rc);
    if (!file)
        return rc;
    CipherRecord *r = copiedRecord(mainFile->record);
    if (!r)
        return SQLITE_NOMEM;
    installRecord(file, r);
    return SQLITE_OK;
}

void sqlite3CodecGetKey(sqlite3 *db, int, void **pKey, int *pnKey)
{
    if (pKey)
        *pKey = nullptr;
    if (!pnKey)
        return;
    *pnKey = 0;
    if (!db)
        return;
    DbLock lock(db);
    int rc;
    CipherFile *mainFile = codecFile(db, 0, &rc);
    if (mainFile && mainFile->record && mainFile->record->encrypted)
        *pnKey = 1;
}

int sqlite3_key(sqlite3 *db, const void *pKey, int nKey)
{
    return sqlite3_key_v2(db, "main", pKey, nKey);
}

int sqlite3_key_v2(sqlite3 *db, const char *zDbName, const void *pKey, int nKey)
{
    if (!db)
        return SQLITE_MISUSE;
    DbLock lock(db);
    return sqlite3CodecAttach(db, cipherFindDbIndex(db, zDbName), pKey, nKey);
}

int sqlite3_rekey(sqlite3 *db, const void *pKey, int nKey)
{
    return sqlite3_rekey_v2(db, "main", pKey, nKey);
}

// Gives a database a key, changes it or removes it, rewriting every page in
// one journaled write transaction: the database is copied into memory under
// its current keys; a backup from that copy into the database takes the
// write lock, the write key is set, and the backup rewrites every page (the
// journal keeps old-key images, the file gets new-key pages) and commits.
// On any error the record gets its old keys back before the rollback.
int sqlite3_rekey_v2(sqlite3 *db, const char *zDbName, const void *pKey, int nKey)
{
    if (!db)
        return SQLITE_MISUSE;
    DbLock lock(db);
    const int iDb = cipherFindDbIndex(db, zDbName);
    const char *schema = sqlite3_db_name(db, iDb);
    int rc = SQLITE_OK;
    CipherFile *file = codecFile(db, iDb, &rc);
    if (!file)
        return rc;
    const bool hasKey = pKey && nKey > 0;
    if (!hasKey && !file->record)
        return SQLITE_OK;  // no key for a plain file: nothing to do
    if (!sqlite3_get_autocommit(db))
        return SQLITE_ERROR;  // a transaction is open: rekey needs its own

    uint8_t newKey[32] = {};
    if (hasKey)
        cipherDeriveKey(pKey, nKey, newKey);
    CipherRecord *created = nullptr;
    if (hasKey && !file->record) {
        created = cipherNewRecord();
        if (!created)
            return SQLITE_NOMEM;
    }

    sqlite3 *mem = nullptr;
    rc = sqlite3_open_v2(":memory:", &mem, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    FileGuard before;
    if (rc == SQLITE_OK)
        rc = copyToMemory(db, schema, file, mem, &before);

    // Keep every page in the cache until the commit: a page spilled to the
    // file under the new key must not be read back under the old one.
    sqlite3_int64 spill = -1;
    if (rc == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        char *sql = sqlite3_mprintf("PRAGMA \"%w\".cache_spill", schema);
        if (sql && sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            spill = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_free(sql);
        execText(db, sqlite3_mprintf("PRAGMA \"%w\".cache_spill=0", schema));
    }

    sqlite3_backup *backup = nullptr;
    if (rc == SQLITE_OK) {
        backup = sqlite3_backup_init(db, schema, mem, "main");
        if (!backup)
            rc = sqlite3_errcode(db);
    }
    if (rc == SQLITE_OK) {
        // Takes the write lock (SQLITE_BUSY when another connection holds one).
        rc = sqlite3_backup_step(backup, 0);
        FileGuard now;
        if (rc == SQLITE_OK)
            rc = takeGuard(file, &now);
        if (rc == SQLITE_OK && !(now == before))
            rc = SQLITE_BUSY;  // another connection wrote since the copy
    }

    bool keysChanged = false;
    if (rc == SQLITE_OK) {
        CipherRecord *r = file->record;
        if (created) {
            created->encrypted = 1;
            created->hasReadKey = 0;
            created->hasWriteKey = 1;
            std::memcpy(created->writeKey, newKey, 32);
            file->record = created;
            created = nullptr;
        } else if (hasKey) {
            std::memcpy(r->writeKey, newKey, 32);
            r->hasWriteKey = 1;
        } else {
            r->hasWriteKey = 0;
        }
        keysChanged = true;
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }

    CipherRecord *r = file->record;
    if (keysChanged && rc == SQLITE_OK) {
        if (r->hasWriteKey) {
            std::memcpy(r->readKey, r->writeKey, 32);
            r->hasReadKey = 1;
        } else {
            r->encrypted = 0;
            file->record = nullptr;
            cipherRelease(r);
        }
    } else if (keysChanged) {
        // The keys the record had before the call, then the rollback.
        if (r->hasReadKey) {
            std::memcpy(r->writeKey, r->readKey, 32);
            r->hasWriteKey = 1;
        } else {
            r->encrypted = 0;
            file->record = nullptr;
            cipherRelease(r);
        }
    }
    if (backup) {
        int frc = sqlite3_backup_finish(backup);
        if (rc == SQLITE_OK && frc != SQLITE_OK)
            rc = frc;
    }
    if (spill >= 0)
        execText(db, sqlite3_mprintf("PRAGMA \"%w\".cache_spill=%lld", schema, spill));
    sqlite3_close(mem);
    cipherRelease(created);
    std::memset(newKey, 0, sizeof newKey);
    return rc;
}

void sqlite3_activate_see(const char *)
{
}
