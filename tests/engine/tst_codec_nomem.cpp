// A failed allocation in a key or rekey call returns SQLITE_NOMEM and leaves
// the database as it was. SQLite's allocator is replaced by one that fails
// the n-th allocation after it is armed, for every n until the call passes.
#include "CodecTestKit.h"

#include "BuiltinPassphrase.h"
#include "SQLiteCipherDriver.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace codectest;

namespace {

sqlite3_mem_methods original;
int allocationsLeft = -1;  // -1: not armed

bool failNow()
{
    if (allocationsLeft > 0 && --allocationsLeft == 0) {
        allocationsLeft = -1;
        return true;
    }
    return false;
}

void *failingMalloc(int n)
{
    return failNow() ? nullptr : original.xMalloc(n);
}

void *failingRealloc(void *p, int n)
{
    return failNow() ? nullptr : original.xRealloc(p, n);
}

void fill(Db &db)
{
    QCOMPARE(db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, body TEXT)"), SQLITE_OK);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(db.exec(QStringLiteral("INSERT INTO t(body) VALUES('%1')").arg(QString(500, 'a' + i))), SQLITE_OK);
}

} // namespace

class TestCodecNomem : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCOMPARE(sqlite3_config(SQLITE_CONFIG_GETMALLOC, &original), SQLITE_OK);
        sqlite3_mem_methods failing = original;
        failing.xMalloc = failingMalloc;
        failing.xRealloc = failingRealloc;
        QCOMPARE(sqlite3_config(SQLITE_CONFIG_MALLOC, &failing), SQLITE_OK);
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
    }

    void keyOutOfMemory()
    {
        const QString file = dir.filePath("key.db");
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            fill(db);
        }
        int failures = 0;
        for (int n = 1; n < 50; ++n) {
            // A connection already keyed keeps its record when a new key
            // call runs out of memory.
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
            allocationsLeft = n;
            const int rc = db.key("another phrase");
            const bool failed = allocationsLeft == -1;
            allocationsLeft = -1;
            if (!failed) {
                QCOMPARE(rc, SQLITE_OK);
                break;
            }
            ++failures;
            QCOMPARE(rc, SQLITE_NOMEM);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
        }
        QVERIFY(failures >= 2);  // the record and its AES context
        // A fresh connection whose key call fails stays unkeyed.
        Db db(file);
        allocationsLeft = 1;
        QCOMPARE(db.key(builtin), SQLITE_NOMEM);
        allocationsLeft = -1;
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
    }

    void attachOutOfMemory()
    {
        // An attached file that cannot take the main keys for lack of memory
        // must not be written plain: its writes fail instead.
        const QString mainFile = dir.filePath("attach-main.db");
        {
            Db db(mainFile);
            QCOMPARE(db.key(builtin), 0);
            fill(db);
        }
        bool passed = false;
        for (int n = 1; n < 500 && !passed; ++n) {
            const QString auxFile = dir.filePath(QStringLiteral("attach-aux-%1.db").arg(n));
            {
                Db db(mainFile);
                QCOMPARE(db.key(builtin), 0);
                QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
                allocationsLeft = n;
                const int rc = db.exec(QStringLiteral("ATTACH '%1' AS aux").arg(auxFile));
                passed = allocationsLeft != -1;
                allocationsLeft = -1;
                if (rc == SQLITE_OK)
                    db.exec("CREATE TABLE aux.x(v TEXT); INSERT INTO aux.x VALUES('ATTACHED-MARKER')");
            }
            const QByteArray raw = readAll(auxFile);
            QVERIFY2(!raw.contains("ATTACHED-MARKER") && !raw.contains(sqliteMagic),
                     qPrintable(QStringLiteral("allocation %1 left the attached file plain").arg(n)));
        }
        QVERIFY(passed);
    }

    void rekeyOutOfMemory_data()
    {
        QTest::addColumn<bool>("plainFile");
        QTest::addColumn<QByteArray>("newPhrase");
        QTest::newRow("new key") << false << QByteArray("new phrase");
        QTest::newRow("key removed") << false << QByteArray();
        QTest::newRow("plain file given a key") << true << QByteArray("new phrase");
    }
    void rekeyOutOfMemory()
    {
        QFETCH(bool, plainFile);
        QFETCH(QByteArray, newPhrase);
        const QByteArray oldPhrase = plainFile ? QByteArray() : builtin;
        const QString file = dir.filePath(QStringLiteral("rekey-%1-%2.db").arg(plainFile).arg(newPhrase.size()));
        {
            Db db(file);
            if (!plainFile)
                QCOMPARE(db.key(builtin), 0);
            fill(db);
        }
        const QByteArray before = readAll(file);
        bool passed = false;
        int failures = 0;
        for (int n = 1; n < 5000 && !passed; ++n) {
            Db db(file);
            if (!oldPhrase.isNull())
                QCOMPARE(db.key(oldPhrase), 0);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
            allocationsLeft = n;
            const int rc = db.rekey(newPhrase);
            const bool failed = allocationsLeft == -1;
            allocationsLeft = -1;
            if (!failed) {
                QCOMPARE(rc, SQLITE_OK);
                passed = true;
                break;
            }
            if (rc == SQLITE_OK) {
                // The failure was absorbed (a cache allocation SQLite can do
                // without); the rekey went through.
                passed = true;
                break;
            }
            ++failures;
            QVERIFY2(rc == SQLITE_NOMEM || (rc & 0xff) == SQLITE_IOERR,
                     qPrintable(QStringLiteral("allocation %1: rc %2").arg(n).arg(rc)));
            // The connection and the file still have the old key.
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            db.close();
            QCOMPARE(readAll(file), before);
        }
        QVERIFY(passed);
        QVERIFY(failures > 10);
        Db db(file);
        if (!newPhrase.isNull())
            QCOMPARE(db.key(newPhrase), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
    }

    // The driver keys every connection it opens with a password; when keying
    // runs out of memory the open fails instead of writing a plain bank.
    void driverNeverOpensUnkeyed()
    {
        const QString file = dir.filePath("driver.db");
        int refused = 0;
        bool openedUnharmed = false;
        for (int n = 1; !openedUnharmed; ++n) {
            QFile::remove(file);
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QStringLiteral("nomem"));
                db.setDatabaseName(file);
                db.setPassword(QString::fromLatin1(builtinPassphrase));
                allocationsLeft = n;
                const bool opened = db.open();
                openedUnharmed = allocationsLeft != -1;   // every allocation of the open passed
                allocationsLeft = -1;
                if (opened) {
                    QSqlQuery query(db);
                    QVERIFY(query.exec(QStringLiteral("CREATE TABLE t(x)")));
                    QVERIFY(query.exec(QStringLiteral("INSERT INTO t VALUES('marker')")));
                } else {
                    ++refused;
                }
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("nomem"));
            QVERIFY2(!readAll(file).startsWith(sqliteMagic), qPrintable(QStringLiteral("allocation %1").arg(n)));
        }
        QVERIFY(refused > 0);
    }
};

QTEST_GUILESS_MAIN(TestCodecNomem)
#include "tst_codec_nomem.moc"
