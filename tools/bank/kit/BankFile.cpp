#include "BankFile.h"

#include "CipherCodec.h"

#include <QFile>

BankFile::~BankFile()
{
    close();
}

bool BankFile::open(const QString &path, const QByteArray &phrase, int pageSize)
{
    close();
    cipherRegisterVfs();
    const QByteArray name = path.toUtf8();
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return fail(QStringLiteral("open %1").arg(path));
    if (!phrase.isEmpty() && sqlite3_key(db, phrase.constData(), phrase.size()) != SQLITE_OK)
        return fail(QStringLiteral("key %1").arg(path));
    if (pageSize > 0)
        return exec(QStringLiteral("PRAGMA page_size = %1;").arg(pageSize));
    return true;
}

bool BankFile::exec(const QString &sql)
{
    char *message = nullptr;
    const QByteArray script = sql.toUtf8();
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    lastError = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

void BankFile::close()
{
    if (db)
        sqlite3_close(db);
    db = nullptr;
}

bool BankFile::fail(const QString &what)
{
    lastError = QStringLiteral("%1: %2").arg(what, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
    close();
    return false;
}

bool readUtf8File(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *text = QString::fromUtf8(file.readAll());
    return true;
}
