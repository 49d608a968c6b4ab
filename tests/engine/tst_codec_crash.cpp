// A crash in the middle of a commit, and a failing write, under the codec.
// A fault-injecting VFS sits below the codec's VFS (it is the default when
// the codec registers, so the codec wraps it): at the N-th write to a main
// database file it copies the database and its journal aside, which is the
// state a crash at that moment leaves, and fails the write.
#include "CodecTestKit.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace codectest;

namespace {

struct FaultFile
{
    sqlite3_file base;
    sqlite3_file *real;
    char path[1024];
};

sqlite3_vfs faultVfs;
sqlite3_vfs *unixVfs = nullptr;
int writesLeft = -1;  // -1: not armed
QString snapshotDir;
bool snapshotTaken = false;

sqlite3_file *realOf(sqlite3_file *f)
{
    return reinterpret_cast<FaultFile *>(f)->real;
}

void copyOver(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (QFile::exists(from))
        QFile::copy(from, to);
}

int faultWrite(sqlite3_file *f, const void *data, int amount, sqlite3_int64 offset)
{
    auto *p = reinterpret_cast<FaultFile *>(f);
    if (writesLeft > 0 && --writesLeft == 0) {
        const QString db = QString::fromUtf8(p->path);
        const QString name = QFileInfo(db).fileName();
        copyOver(db, snapshotDir + "/" + name);
        copyOver(db + "-journal", snapshotDir + "/" + name + "-journal");
        snapshotTaken = true;
        writesLeft = -1;
        return SQLITE_IOERR_WRITE;
    }
    return p->real->pMethods->xWrite(p->real, data, amount, offset);
}

int faultClose(sqlite3_file *f)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int faultRead(sqlite3_file *f, void *d, int n, sqlite3_int64 o) { return realOf(f)->pMethods->xRead(realOf(f), d, n, o); }
int faultTruncate(sqlite3_file *f, sqlite3_int64 s) { return realOf(f)->pMethods->xTruncate(realOf(f), s); }
int faultSync(sqlite3_file *f, int fl) { return realOf(f)->pMethods->xSync(realOf(f), fl); }
int faultFileSize(sqlite3_file *f, sqlite3_int64 *s) { return realOf(f)->pMethods->xFileSize(realOf(f), s); }
int faultLock(sqlite3_file *f, int l) { return realOf(f)->pMethods->xLock(realOf(f), l); }
int faultUnlock(sqlite3_file *f, int l) { return realOf(f)->pMethods->xUnlock(realOf(f), l); }
int faultCheck(sqlite3_file *f, int *o) { return realOf(f)->pMethods->xCheckReservedLock(realOf(f), o); }
int faultControl(sqlite3_file *f, int op, void *a) { return realOf(f)->pMethods->xFileControl(realOf(f), op, a); }
int faultSector(sqlite3_file *f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); }
int faultDevice(sqlite3_file *f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); }

const sqlite3_io_methods faultMethods = {
    1, faultClose, faultRead, faultWrite, faultTruncate, faultSync, faultFileSize, faultLock, faultUnlock,
    faultCheck, faultControl, faultSector, faultDevice, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

int faultOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    if (!(flags & SQLITE_OPEN_MAIN_DB))
        return unixVfs->xOpen(unixVfs, name, file, flags, outFlags);
    auto *p = reinterpret_cast<FaultFile *>(file);
    std::memset(p, 0, sizeof *p);
    p->real = reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(p) + ((sizeof(FaultFile) + 7) & ~size_t(7)));
    std::strncpy(p->path, name ? name : "", sizeof p->path - 1);
    int rc = unixVfs->xOpen(unixVfs, name, p->real, flags, outFlags);
    file->pMethods = rc == SQLITE_OK ? &faultMethods : nullptr;
    return rc;
}

void registerFaultVfs()
{
    unixVfs = sqlite3_vfs_find("unix");
    faultVfs = *unixVfs;
    faultVfs.zName = "fault";
    faultVfs.szOsFile = int((sizeof(FaultFile) + 7) & ~size_t(7)) + unixVfs->szOsFile;
    faultVfs.xOpen = faultOpen;
    faultVfs.pNext = nullptr;
    sqlite3_vfs_register(&faultVfs, 1);
}

void fill(Db &db, int rows)
{
    QCOMPARE(db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, body TEXT, n INTEGER)"), SQLITE_OK);
    QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
    for (int i = 0; i < rows; ++i)
        QCOMPARE(db.exec(QStringLiteral("INSERT INTO t(body, n) VALUES('CRASH-MARKER %1 %2', %1)")
                             .arg(i)
                             .arg(QString(200 + i % 300, 'z'))),
                 SQLITE_OK);
    QCOMPARE(db.exec("COMMIT"), SQLITE_OK);
}

} // namespace

class TestCodecCrash : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // A fresh copy of the snapshot of a database, to open once.
    QString snapshotCopy(const QString &name, const QString &copyName)
    {
        copyOver(snapshotDir + "/" + name, path(copyName));
        copyOver(snapshotDir + "/" + name + "-journal", path(copyName) + "-journal");
        return path(copyName);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("snapshots"));
        snapshotDir = dir.filePath("snapshots");
        registerFaultVfs();
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
        QCOMPARE(QString(sqlite3_vfs_find(nullptr)->zName), QString(cipherVfsName()));
    }

    void crashInCommit_data()
    {
        QTest::addColumn<int>("failAt");
        QTest::addColumn<int>("cacheSize");
        QTest::newRow("first page write") << 1 << 2000;
        QTest::newRow("third page write") << 3 << 2000;
        QTest::newRow("late in the commit") << 40 << 2000;
        QTest::newRow("cache spill mid-transaction") << 5 << 10;
    }
    void crashInCommit()
    {
        QFETCH(int, failAt);
        QFETCH(int, cacheSize);
        const QString name = QStringLiteral("commit-%1-%2.db").arg(failAt).arg(cacheSize);
        const QString file = path(name);
        QString sum;
        QByteArray before;
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            fill(db, 400);
            sum = checksum(db);
        }
        before = readAll(file);
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA cache_size=%1").arg(cacheSize)), SQLITE_OK);
            snapshotTaken = false;
            writesLeft = failAt;
            int rc = db.exec("BEGIN");
            if (rc == SQLITE_OK)
                rc = db.exec("UPDATE t SET body = 'NEW ' || body, n = n + 1000");
            if (rc == SQLITE_OK)
                rc = db.exec("COMMIT");
            writesLeft = -1;
            QVERIFY(snapshotTaken);
            QCOMPARE(rc & 0xff, SQLITE_IOERR);
            db.exec("ROLLBACK");
            // The failing connection rolls back in process.
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(db), sum);
        }
        QVERIFY(!readAll(snapshotDir + "/" + name + "-journal").contains("CRASH-MARKER"));
        QVERIFY(!readAll(snapshotDir + "/" + name + "-journal").contains(sqliteMagic));
        if (failAt > 1)
            QVERIFY(readAll(snapshotDir + "/" + name) != before);  // pages were written

        // The crashed files, opened with the key: the hot journal rolls back.
        {
            Db db(snapshotCopy(name, "crashed-" + name));
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(db), sum);
        }
        QCOMPARE(readAll(path("crashed-" + name)), before);
        // Opened first with a wrong key or none: the rollback still restores
        // the stored bytes exactly, the statement fails with NOTADB, and the
        // right key then reads the old content.
        for (const QByteArray &phrase : {QByteArray("wrong"), QByteArray()}) {
            const QString copy = snapshotCopy(name, "wrong-" + name);
            {
                Db db(copy);
                if (!phrase.isNull())
                    QCOMPARE(db.key(phrase), 0);
                QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
            }
            QVERIFY(!QFile::exists(copy + "-journal"));
            QCOMPARE(readAll(copy), before);
            Db db(copy);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(db), sum);
        }
    }

    void crashInRekey_data()
    {
        QTest::addColumn<int>("failAt");
        QTest::addColumn<bool>("plainFile");
        QTest::addColumn<QByteArray>("newPhrase");
        QTest::newRow("new key, early") << 2 << false << QByteArray("new phrase");
        QTest::newRow("new key, late") << 25 << false << QByteArray("new phrase");
        QTest::newRow("key removed") << 20 << false << QByteArray();
        QTest::newRow("plain file given a key") << 20 << true << QByteArray("new phrase");
    }
    void crashInRekey()
    {
        QFETCH(int, failAt);
        QFETCH(bool, plainFile);
        QFETCH(QByteArray, newPhrase);
        const QByteArray oldPhrase = plainFile ? QByteArray() : builtin;
        const QString name = QStringLiteral("rekey-%1-%2-%3.db").arg(failAt).arg(plainFile).arg(newPhrase.size());
        const QString file = path(name);
        QString sum;
        {
            Db db(file);
            if (!plainFile)
                QCOMPARE(db.key(builtin), 0);
            fill(db, 400);
            sum = checksum(db);
        }
        const QByteArray before = readAll(file);
        {
            Db db(file);
            if (!plainFile)
                QCOMPARE(db.key(builtin), 0);
            QCOMPARE(checksum(db), sum);
            snapshotTaken = false;
            writesLeft = failAt;
            const int rc = db.rekey(newPhrase);
            writesLeft = -1;
            QVERIFY(snapshotTaken);
            QCOMPARE(rc & 0xff, SQLITE_IOERR);
            // The record has its old keys: the connection reads on.
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(db), sum);
        }
        QCOMPARE(readAll(file), before);
        {
            Db db(snapshotCopy(name, "old-" + name));
            if (!oldPhrase.isNull())
                QCOMPARE(db.key(oldPhrase), 0);
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(db), sum);
        }
        QCOMPARE(readAll(path("old-" + name)), before);
        {
            // Opened with the new key first: still restored byte for byte.
            const QString copy = snapshotCopy(name, "new-" + name);
            {
                Db db(copy);
                if (!newPhrase.isNull())
                    QCOMPARE(db.key(newPhrase), 0);
                QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
            }
            QCOMPARE(readAll(copy), before);
        }
    }
};

QTEST_GUILESS_MAIN(TestCodecCrash)
#include "tst_codec_crash.moc"
