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
}

// Registers the codec's VFS as the process default; idempotent and thread-safe.
// Must run before a connection that is to be keyed is opened.
int cipherRegisterVfs();
