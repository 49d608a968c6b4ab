#pragma once

// Small helpers for the codec tests: connections through the C API, scalar
// queries, raw file bytes and page-wise encryption with the primitives.

#include "BuiltinPassphrase.h"
#include "CipherCodec.h"
#include "CipherPage.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sqlite3.h>

namespace codectest {

inline const QByteArray builtin(builtinPassphrase);
inline const QByteArray sqliteMagic("SQLite format 3");

// An open connection, closed when it goes out of scope.
class Db
{
public:
    Db() = default;
    explicit Db(const QString &path, const char *vfs = nullptr) { open(path, vfs); }
    ~Db() { close(); }
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    int open(const QString &path, const char *vfs = nullptr)
    {
        close();
        return sqlite3_open_v2(path.toUtf8().constData(), &handle,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, vfs);
    }
    void close()
    {
        if (handle)
            sqlite3_close(handle);
        handle = nullptr;
    }
    int key(const QByteArray &phrase) { return sqlite3_key(handle, phrase.constData(), phrase.size()); }
    int rekey(const QByteArray &phrase)
    {
        return sqlite3_rekey(handle, phrase.isNull() ? nullptr : phrase.constData(), phrase.size());
    }
    int exec(const QString &sql) { return sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr); }
    // First column of the first row as text; "ERR <code>" on failure.
    QString scalar(const QString &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        int rc = sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &stmt, nullptr);
        QString result;
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(stmt);
            if (rc == SQLITE_ROW)
                result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
            else if (rc == SQLITE_DONE)
                result = QString();
            else
                result = QStringLiteral("ERR %1").arg(rc);
        } else {
            result = QStringLiteral("ERR %1").arg(rc);
        }
        sqlite3_finalize(stmt);
        return result;
    }
    int errcode() const { return sqlite3_errcode(handle); }
    QString errmsg() const { return QString::fromUtf8(sqlite3_errmsg(handle)); }
    sqlite3 *get() const { return handle; }

private:
    sqlite3 *handle = nullptr;
};

// What the test table t(body, n) holds, as one text: equal before and after a
// key change, a crash or a recovery when no row was lost or altered.
inline QString checksum(Db &db)
{
    return db.scalar("SELECT count(*) || ':' || sum(n) || ':' || sum(length(body)) FROM t");
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(data) == data.size();
}

// Every page of a file encrypted (or decrypted) with the primitives.
inline QByteArray cryptFile(const QByteArray &file, int pageSize, const QByteArray &phrase, bool encrypt)
{
    uint8_t key[32];
    cipherDeriveKey(phrase.constData(), phrase.size(), key);
    CipherRecord *r = cipherNewRecord();
    QByteArray out = file;
    auto *data = reinterpret_cast<uint8_t *>(out.data());
    for (int offset = 0; offset + pageSize <= out.size(); offset += pageSize)
        cipherCryptPage(r, uint32_t(offset / pageSize + 1), encrypt, key, data + offset, pageSize, data + offset);
    cipherRelease(r);
    return out;
}

// The first n bytes of page 1 decrypted with the primitives.
inline QByteArray decryptHead(const QByteArray &file, int n, const QByteArray &phrase = builtin)
{
    return cryptFile(file.left(n), n, phrase, false);
}

} // namespace codectest
