#include "SqliteClass.h"

#include "BankFileSteps.h"
#include "BuiltinPassphrase.h"
#include "SQLiteCipherDriver.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

#include <algorithm>
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

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString folderOf(const QString &file)
{
    return QFileInfo(file).absolutePath();
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
        error = QStringLiteral("创建[%1]失败:%2").arg(to, reasonOf(errno));
        return false;
    }
    int failure = 0;
    for (;;) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError) {
                error = QStringLiteral("读取[%1]失败:%2").arg(from, source.errorString());
                failure = EIO;
            }
            break;
        }
        if ((failure = BankFileSteps::write(out, to, chunk.constData(), chunk.size())) != 0)
            break;
    }
    if (failure == 0)
        failure = BankFileSteps::syncFile(out, to);
    if (::close(out) != 0 && failure == 0)
        failure = errno;
    if (failure == 0)
        return true;
    if (error.isEmpty())
        error = QStringLiteral("写入[%1]失败:%2").arg(to, reasonOf(failure));
    BankFileSteps::remove(to);
    return false;
}

// A second name for the content of from: a hard link, or where the file
// system has none (or to is on another one) a synced copy. An existing to
// is never replaced.
bool keepCopy(const QString &from, const QString &to, QString &error)
{
    const int linked = BankFileSteps::link(from, to);
    if (linked == 0)
        return true;
    if (linked != EXDEV && linked != EPERM && linked != EOPNOTSUPP && linked != EMLINK && linked != ENOSYS) {
        error = QStringLiteral("保留[%1]为[%2]失败:%3").arg(from, to, reasonOf(linked));
        return false;
    }
    return copyChecked(from, to, error);
}

bool syncFolder(const QString &folder, QString &error)
{
    const int failure = BankFileSteps::syncFolder(folder);
    if (failure != 0)
        error = QStringLiteral("同步目录[%1]失败:%2").arg(folder, reasonOf(failure));
    return failure == 0;
}

bool renameOver(const QString &from, const QString &to, QString &error)
{
    // rename(2) only: a copy fallback could leave a short file in to.
    const int failure = BankFileSteps::rename(from, to);
    if (failure != 0)
        error = QStringLiteral("移动[%1]到[%2]失败:%3").arg(from, to, reasonOf(failure));
    return failure == 0;
}

// Puts a second name of source in the place of bankFile by way of staged,
// in one rename, and syncs the folder. source stays.
bool putInPlace(const QString &source, const QString &staged, const QString &bankFile, QString &error)
{
    if (!keepCopy(source, staged, error))
        return false;
    if (!renameOver(staged, bankFile, error)) {
        BankFileSteps::remove(staged);
        return false;
    }
    return syncFolder(folderOf(bankFile), error);
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

int SqliteClass::removeLeftover(const QString &copy, const QString &bankFile)
{
    if (!QFileInfo::exists(copy) && !QFileInfo::exists(journalOf(copy)))
        return 0;
    // Left by a run that was cut off. It goes only when it is not the last
    // good copy: the bank in place is sound, or the copy is not; else it
    // stays under a name of its own.
    if (QFileInfo::exists(copy) && checkBankFile(bankFile) != 0 && checkBankFile(copy) == 0) {
        const QString stem = bankFile + QLatin1Char('.')
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString kept = stem + QStringLiteral(".bak");
        for (int n = 1; QFileInfo::exists(kept) || QFileInfo::exists(journalOf(kept)); ++n)
            kept = stem + QStringLiteral("-%1.bak").arg(n);
        QString error;
        if (!renameOver(copy, kept, error) || !syncFolder(folderOf(kept), error)) {
            setLastError(error);
            return -1;
        }
        qInfo().noquote() << QStringLiteral("[%1]未通过校验,完好的[%2]保留为[%3].").arg(bankFile, copy, kept);
    }
    for (const QString &file : {copy, journalOf(copy)}) {
        const int failure = QFileInfo::exists(file) ? BankFileSteps::remove(file) : 0;
        if (failure != 0) {
            setLastError(QStringLiteral("删除[%1]失败:%2").arg(file, reasonOf(failure)));
            return -1;
        }
    }
    return 0;
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
    if (removeLeftover(staged, bankFile) != 0 || (keepOldAs.isEmpty() && removeLeftover(aside, bankFile) != 0))
        return -1;
    QString error;
    if (!copyChecked(newFile, staged, error)) {
        setLastError(error);
        return -1;
    }
    if (checkBankFile(staged) != 0) {
        BankFileSteps::remove(staged);
        return -1;
    }

    const bool wasOpen = connection.isOpen() && sameFile(connection.databaseName(), bankFile);
    const QString password = connection.password();
    if (wasOpen)
        connection.close();

    // The old bank is never moved: it keeps its place until one rename puts
    // the new one over it, and a second name holds it from before that.
    const QString journal = journalOf(bankFile);
    const bool hadOld = QFileInfo::exists(bankFile);
    const bool hadJournal = QFileInfo::exists(journal);
    bool keptOld = false;
    bool keptJournal = false;
    bool journalGone = false;
    bool placed = false;
    const auto swap = [&] {
        if (hadOld && !(keptOld = keepCopy(bankFile, aside, error)))
            return false;
        // The journal belongs to the old file: left here, the engine would
        // roll it into the new one.
        if (hadJournal) {
            if (!(keptJournal = keepCopy(journal, journalOf(aside), error)))
                return false;
            const int failure = BankFileSteps::remove(journal);
            if (failure != 0) {
                error = QStringLiteral("删除[%1]失败:%2").arg(journal, reasonOf(failure));
                return false;
            }
            journalGone = true;
        }
        // The kept names are on disk before the bank changes.
        if (!syncFolder(folderOf(aside), error) || !renameOver(staged, bankFile, error))
            return false;
        placed = true;
        if (!syncFolder(folderOf(bankFile), error))
            return false;
        if (wasOpen && openFile(bankFile, password) != 2) {
            error = QStringLiteral("打开[%1]数据库失败:%2").arg(bankFile, connection.lastError().text());
            return false;
        }
        return true;
    };

    if (swap()) {
        if (keepOldAs.isEmpty()) {
            // The new bank is in place and checked: the old one may go.
            QString cleanup;
            if (BankFileSteps::remove(aside) != 0 || (keptJournal && BankFileSteps::remove(journalOf(aside)) != 0)
                || !syncFolder(folderOf(aside), cleanup))
                qWarning().noquote() << QStringLiteral("清理[%1]失败.%2").arg(aside, cleanup);
        }
        return 0;
    }

    // Back to the old file, open again when it was.
    if (connection.isOpen())
        connection.close();
    QString undo;
    bool oldInPlace = !placed;
    if (!placed)
        BankFileSteps::remove(staged);
    else if (hadOld)
        oldInPlace = putInPlace(aside, staged, bankFile, undo);
    else
        oldInPlace = BankFileSteps::remove(bankFile) == 0 && syncFolder(folderOf(bankFile), undo);
    if (journalGone && oldInPlace)
        oldInPlace = keepCopy(journalOf(aside), journal, undo);
    if (oldInPlace) {
        if (keptOld)
            BankFileSteps::remove(aside);
        if (keptJournal)
            BankFileSteps::remove(journalOf(aside));
        syncFolder(folderOf(aside), undo);
    } else {
        // Never lost: the old bank stays under its second name.
        error += QStringLiteral(" 旧数据库保留在[%1]. %2").arg(aside, undo);
    }
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
    // Left by a run that was cut off; the copy in place stays.
    BankFileSteps::remove(staged);
    QString error;
    if (!copyChecked(bankFile, staged, error)) {
        setLastError(error);
        return -1;
    }
    if (checkBankFile(staged) != 0) {
        BankFileSteps::remove(staged);
        return -1;
    }
    // rename(2) replaces target in one step: readers see the old copy or the
    // new one, never a part; the folder sync puts the new name on disk too.
    if (!renameOver(staged, target, error)) {
        setLastError(error);
        BankFileSteps::remove(staged);
        return -1;
    }
    if (!syncFolder(targetInfo.absolutePath(), error)) {
        setLastError(error);
        return -1;
    }
    return 0;
}

void SqliteClass::recoverBankFile(const QString &bankFile)
{
    const QFileInfo bank(bankFile);
    if (bank.exists() && !(bank.isFile() && bank.size() == 0))
        return;
    // Where the swaps keep a bank: the new one beside it before it is put in
    // place, the old one after (restore, install), and the repair's copy of
    // the bank it replaced.
    const QDir folder = bank.absoluteDir();
    QStringList names{bank.fileName() + QStringLiteral(".new"), bank.fileName() + QStringLiteral(".old")};
    names << folder.entryList({bank.fileName() + QStringLiteral(".*.bak")}, QDir::Files);
    QFileInfoList copies;
    for (const QString &name : qAsConst(names))
        copies << QFileInfo(folder.filePath(name));
    copies << QFileInfo(QDir::current().filePath(QStringLiteral("DataRecovery/OldMedicalDB.db")));
    std::stable_sort(copies.begin(), copies.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() > b.lastModified();
    });

    const QString errorBefore = lastError;
    for (const QFileInfo &copy : qAsConst(copies)) {
        if (!copy.isFile() || checkBankFile(copy.filePath()) != 0)
            continue;
        // A journal beside no bank belongs to none of the copies.
        const QString journal = journalOf(bankFile);
        QString error;
        if (QFileInfo::exists(journal) && !renameOver(journal, journal + QStringLiteral(".stale"), error)) {
            qWarning().noquote() << error;
            break;
        }
        const QString staged = bankFile + QStringLiteral(".part");
        BankFileSteps::remove(staged);
        if (putInPlace(copy.filePath(), staged, bankFile, error)) {
            qInfo().noquote() << QStringLiteral("数据库[%1]缺失,已由[%2]恢复.").arg(bankFile, copy.filePath());
            break;
        }
        qWarning().noquote() << QStringLiteral("数据库[%1]无法由[%2]恢复:%3").arg(bankFile, copy.filePath(), error);
    }
    lastError = errorBefore;
}
