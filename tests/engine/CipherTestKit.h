#pragma once

// Byte helpers and a page-cipher record shared by the tests of the cipher
// primitives.

#include "Aes.h"
#include "CipherPage.h"
#include "Sha256.h"

#include <QByteArray>

#include <cstdint>

namespace ciphertest {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

inline const uint8_t *bytes(const QByteArray &a)
{
    return reinterpret_cast<const uint8_t *>(a.constData());
}

inline uint8_t *bytes(QByteArray &a)
{
    return reinterpret_cast<uint8_t *>(a.data());
}

inline QByteArray toArray(const void *p, int n)
{
    return QByteArray(static_cast<const char *>(p), n);
}

// True runs AES and SHA-256 on their portable code, false on the processor's
// instructions where it has them.
inline void forcePortableCode(bool force)
{
    aesForceTables(force);
    sha256ForcePortable(force);
}

// A record of the page cipher, released when it goes out of scope.
struct Record
{
    Record() : r(cipherNewRecord()) {}
    ~Record() { cipherRelease(r); }
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;
    CipherRecord *r;
};

} // namespace ciphertest
