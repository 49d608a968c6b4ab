#include "SqliteClass.h"

#include "BuiltinPassphrase.h"
#include "SQLiteCipherDriver.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QAtomicInt checkCount;

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo left(a);
    const QFileInfo right(b);
    if (left.exists() && right.exists())
        return left.canonicalFilePath() == right.canonicalFilePath();
    return left.absoluteFilePath() == right.absoluteFilePath();
}

// Copies with every write checked and the data on disk before it returns,
// so a full disk or a size limit fails the copy instead of leaving a short
// file behind a success.
bool copyChecked(const QString &from, const QString &to, QString &error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("读取[%1]失败:%2").arg(from, source.errorString());
        return false;
    }
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        error = QStringLiteral("创建[%1]失败:%2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    bool ok = true;
    QByteArray chunk;
    while (ok) {
        chunk = source.read(1 << 16);
        if (chunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError) {
                error = QStringLiteral("读取[%1]失败:%2").arg(from, source.errorString());
                ok = false;
            }
            break;
        }
        const char *data = chunk.constData();
        qint64 left = chunk.size();
        while (left > 0) {
            const ssize_t written = ::write(out, data, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                error = QStringLiteral("写入[%1]失败:%2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
                ok = false;
                break;
            }
            data += written;
            left -= written;
        }
    }
    if (ok && ::fsync(out) != 0) {
        error = QStringLiteral("写入[%1]失败:%2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        ok = false;
    }
    if (::close(out) != 0 && ok) {
        error = QStringLiteral("写入[%1]失败:%2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        ok = false;
    }
    if (!ok)
        QFile::remove(to);
    return ok;
}

QString journalOf(const QString &file)
{
    return file + QStringLiteral("-journal");
}

} // namespace

int SqliteClass::checkBankFile(const QString &file)
{
    const QFileInfo info(file);
    QString failure;
    if (!info.exists())
        failure = QStringLiteral("缺少[%1]数据库文件.").arg(file);
    else if (!info.isFile() || info.size() == 0)
        // The engine would take an empty file for an empty bank.
        failure = QStringLiteral("[%1]不是数据库文件.").arg(file);
    if (!failure.isEmpty()) {
        setLastError(failure);
        return -1;
    }

    const QString name = QStringLiteral("bankcheck-%1").arg(checkCount.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, name);
        db.setDatabaseName(file);
        db.setPassword(QString::fromLatin1(builtinPassphrase));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            failure = QStringLiteral("打开[%1]数据库失败:%2").arg(file, db.lastError().text());
        } else {
            QSqlQuery query(db);
            QStringList findings;
            if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
                failure = QStringLiteral("PRAGMA quick_check:%1").arg(query.lastError().text());
            } else {
                while (query.next())
                    findings << query.value(0).toString();
                if (query.lastError().isValid())
                    failure = QStringLiteral("PRAGMA quick_check:%1").arg(query.lastError().text());
                else if (findings != QStringList{QStringLiteral("ok")})
                    failure = QStringLiteral("[%1]数据库已损坏:%2").arg(file, findings.join(QLatin1Char(';')));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (failure.isEmpty())
        return 0;
    setLastError(failure);
    return -1;
}

int SqliteClass::replaceBankFile(const QString &bankFile, const QString &newFile, const QString &keepOldAs)
{
    const StoreLocker locker(storeMutex);
    if (checkBankFile(newFile) != 0)
        return -1;
    if (!keepOldAs.isEmpty() && (QFileInfo::exists(keepOldAs) || QFileInfo::exists(journalOf(keepOldAs)))) {
        setLastError(QStringLiteral("[%1]已存在.").arg(keepOldAs));
        return -1;
    }

    // The copy goes beside the bank so that it is put in place by a rename.
    const QString staged = bankFile + QStringLiteral(".new");
    const QString aside = keepOldAs.isEmpty() ? bankFile + QStringLiteral(".old") : keepOldAs;
    // Left by a run that was cut off.
    QFile::remove(staged);
    if (keepOldAs.isEmpty()) {
        QFile::remove(aside);
        QFile::remove(journalOf(aside));
    }
    QString error;
    if (!copyChecked(newFile, staged, error)) {
        setLastError(error);
        return -1;
    }
    if (checkBankFile(staged) != 0) {
        QFile::remove(staged);
        return -1;
    }

    const bool wasOpen = connection.isOpen() && sameFile(connection.databaseName(), bankFile);
    const QString password = connection.password();
    if (wasOpen)
        connection.close();

    const bool hadOld = QFileInfo::exists(bankFile);
    const bool hadJournal = QFileInfo::exists(journalOf(bankFile));
    bool movedOld = false;
    bool movedJournal = false;
    bool placed = false;
    if (hadOld && !(movedOld = QFile::rename(bankFile, aside)))
        error = QStringLiteral("移动[%1]失败.").arg(bankFile);
    // The journal belongs to the old file: left here, the engine would roll
    // it into the new one.
    else if (hadJournal && !(movedJournal = QFile::rename(journalOf(bankFile), journalOf(aside))))
        error = QStringLiteral("移动[%1]失败.").arg(journalOf(bankFile));
    else if (!(placed = QFile::rename(staged, bankFile)))
        error = QStringLiteral("移动[%1]失败.").arg(staged);
    else if (wasOpen && openFile(bankFile, password) != 2)
        error = QStringLiteral("打开[%1]数据库失败:%2").arg(bankFile, connection.lastError().text());

    if (error.isEmpty()) {
        if (keepOldAs.isEmpty()) {
            QFile::remove(aside);
            QFile::remove(journalOf(aside));
        }
        return 0;
    }

    // Back to the old file, open again when it was.
    if (connection.isOpen())
        connection.close();
    if (placed)
        QFile::remove(bankFile);
    QFile::remove(staged);
    if (movedJournal)
        QFile::rename(journalOf(aside), journalOf(bankFile));
    if (movedOld)
        QFile::rename(aside, bankFile);
    if (wasOpen)
        openFile(bankFile, password);
    setLastError(error);
    return -1;
}

int SqliteClass::copyBankFile(const QString &target)
{
    const StoreLocker locker(storeMutex);
    if (!connection.isOpen()) {
        setLastError(QStringLiteral("数据库未打开."));
        return -1;
    }
    const QString bankFile = connection.databaseName();
    if (sameFile(bankFile, target)) {
        setLastError(QStringLiteral("[%1]是打开的数据库.").arg(target));
        return -1;
    }
    // Other threads are held off by the lock; a transaction of this thread's
    // own would still be half in the file.
    sqlite3 *handle = connection.driver()->handle().value<sqlite3 *>();
    if (handle && !sqlite3_get_autocommit(handle)) {
        setLastError(QStringLiteral("数据库正在写入,不能复制."));
        return -1;
    }

    const QFileInfo targetInfo(target);
    const QString staged = targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName()
        + QStringLiteral(".part");
    // Left by a run that was cut off.
    QFile::remove(staged);
    QString error;
    if (!copyChecked(bankFile, staged, error)) {
        setLastError(error);
        return -1;
    }
    if (checkBankFile(staged) != 0) {
        QFile::remove(staged);
        return -1;
    }
    // rename(2) replaces target in one step: readers see the old copy or the
    // new one, never a part.
    if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0) {
        setLastError(QStringLiteral("移动[%1]失败:%2").arg(staged, QString::fromLocal8Bit(std::strerror(errno))));
        QFile::remove(staged);
        return -1;
    }
    // The new name on disk too, not only the data.
    const int dir = ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}
