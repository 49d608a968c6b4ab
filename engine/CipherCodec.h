#pragma once

// The page codec: every page of a keyed database file is stored encrypted.
// SQLite no longer calls codec hooks, so the codec sits in a VFS layer that
// wraps the default VFS; these are the keying functions a codec build of
// SQLite used to offer.

#include <sqlite3.h>

extern "C" {
int sqlite3_key(sqlite3 *db, const void *pKey, int nKey);
int sqlite3_key_v2(sqlite3 *db, const char *zDbName, const void *pKey, int nKey);
int sqlite3_rekey(sqlite3 *db, const void *pKey, int nKey);
int sqlite3_rekey_v2(sqlite3 *db, const char *zDbName, const void *pKey, int nKey);
void sqlite3_activate_see(const char *zPassPhrase);

// The two functions through which a codec build's engine keyed attached
// databases. sqlite3CodecAttach keys database iDb of the connection (key null
// and n > 0 on an attached database: take the main database's keys when it
// is encrypted). sqlite3CodecGetKey sets *pKey to null and *pnKey to 1 when
// the main database is encrypted, else to 0; iDb is not consulted.
int sqlite3CodecAttach(sqlite3 *db, int iDb, const void *pKey, int nKey);
void sqlite3CodecGetKey(sqlite3 *db, int iDb, void **pKey, int *pnKey);
}

// Registers the codec's VFS as the process default; idempotent and thread-safe.
// Must run before a connection that is to be keyed is opened.
int cipherRegisterVfs();

// Name of the codec's VFS ("velmora-cipher").
const char *cipherVfsName();

// Behaviour of the codec VFS, in brief (details in CipherCodec.cpp):
// - Keying (sqlite3_key*, PRAGMA key/hexkey, or a "key"/"hexkey" URI
//   parameter of the file name) installs a CipherRecord on the database's
//   file object; unkeyed files pass through unchanged.
// - Every page of a keyed main database file is stored AES-256-CBC encrypted
//   (the bank file format); rollback-journal page images are stored under
//   the read key with their checksums kept valid for the stored bytes, so a
//   hot journal rolls back byte-exactly whatever key the opener holds.
//   Statement journals are encrypted under a random per-file key.
// - ATTACH without a key parameter while the main database is encrypted gives
//   the attached file the main keys; "key=" (empty) in its URI keeps it plain.
// - WAL and memory-mapped I/O are refused (PRAGMA journal_mode=WAL is an
//   error); temporary databases stay plain.
// - PRAGMA rekey/hexrekey return an error: use sqlite3_rekey().
// - A key call on a connection whose file was not opened through this VFS
//   (cipherRegisterVfs not called first) returns SQLITE_MISUSE; on an
//   in-memory database it installs nothing and returns 0.
