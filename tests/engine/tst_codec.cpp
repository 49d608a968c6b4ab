// The page-encrypted database file and the codec through the
// SQLite C API: file format, journals, keys, attach, rekey.
#include "CodecTestKit.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace codectest;

namespace {

// A table of n rows whose text holds a marker, large enough to span many
// pages and overflow pages for small page sizes.
void fill(Db &db, int rows, const char *marker = "MARKER-TEXT-4711")
{
    QCOMPARE(db.exec("CREATE TABLE IF NOT EXISTS t(id INTEGER PRIMARY KEY, body TEXT, n INTEGER)"), SQLITE_OK);
    QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
    for (int i = 0; i < rows; ++i) {
        const QString body = QStringLiteral("%1 row %2 %3").arg(marker).arg(i).arg(QString(300 + i % 700, QChar('a' + i % 26)));
        QCOMPARE(db.exec(QStringLiteral("INSERT INTO t(body, n) VALUES('%1', %2)").arg(body).arg(i)), SQLITE_OK);
    }
    QCOMPARE(db.exec("CREATE INDEX IF NOT EXISTS t_body ON t(body)"), SQLITE_OK);
    QCOMPARE(db.exec("COMMIT"), SQLITE_OK);
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);  // idempotent
        QCOMPARE(QString(sqlite3_vfs_find(nullptr)->zName), QString(cipherVfsName()));
    }

    void pageSizes_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("512") << 512;
        QTest::newRow("1024") << 1024;
        QTest::newRow("4096") << 4096;
        QTest::newRow("65536") << 65536;
    }
    void pageSizes()
    {
        QFETCH(int, pageSize);
        const QString file = path(QStringLiteral("sizes-%1.db").arg(pageSize));
        QString sum;
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA page_size=%1").arg(pageSize)), SQLITE_OK);
            fill(db, 300);
            sum = checksum(db);
        }
        const QByteArray raw = readAll(file);
        QVERIFY(raw.size() > 2 * pageSize);
        QCOMPARE(raw.size() % pageSize, 0);
        QVERIFY(!raw.contains(sqliteMagic));
        QVERIFY(!raw.contains("MARKER-TEXT"));
        // The first 1,024 bytes (or the whole page 1) decrypt to the header.
        const int head = qMin(1024, pageSize);
        const QByteArray header = decryptHead(raw, head);
        QVERIFY(header.startsWith(QByteArray("SQLite format 3\0", 16)));
        QCOMPARE((uchar(header[16]) << 8) | (uchar(header[17]) << 16), pageSize);
        // Page by page, the file is the encryption of a plain SQLite file.
        const QString plainFile = path(QStringLiteral("sizes-%1-plain.db").arg(pageSize));
        QVERIFY(writeAll(plainFile, cryptFile(raw, pageSize, builtin, false)));
        {
            Db plain(plainFile, "unix");
            QCOMPARE(plain.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(checksum(plain), sum);
        }
        // Reopened with the key.
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(db.scalar("PRAGMA page_size"), QString::number(pageSize));
        QCOMPARE(checksum(db), sum);
        // The rollback journal holds page images, encrypted.
        QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
        QCOMPARE(db.exec("UPDATE t SET body = body || 'x', n = n + 1"), SQLITE_OK);
        const QByteArray journal = readAll(file + "-journal");
        QVERIFY(journal.size() > 4 * pageSize);
        QVERIFY(!journal.contains(sqliteMagic));
        QVERIFY(!journal.contains("MARKER-TEXT"));
        QCOMPARE(db.exec("ROLLBACK"), SQLITE_OK);
        QCOMPARE(checksum(db), sum);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(db.exec("UPDATE t SET n = n + 1 WHERE id % 2 = 0"), SQLITE_OK);
        QVERIFY(checksum(db) != sum);
    }

    void fileEncryptedByHandOpens()
    {
        // A plain SQLite file, encrypted page by page with the primitives,
        // opens through the codec: the format is exactly the page cipher.
        const QString plainFile = path("hand-plain.db");
        QString sum;
        {
            Db plain(plainFile, "unix");
            QCOMPARE(plain.exec("PRAGMA page_size=2048"), SQLITE_OK);
            fill(plain, 120);
            sum = checksum(plain);
        }
        const QString file = path("hand.db");
        QVERIFY(writeAll(file, cryptFile(readAll(plainFile), 2048, "hand phrase", true)));
        Db db(file);
        QCOMPARE(db.key("hand phrase"), 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(db), sum);
    }

    void keyResultsTable_data()
    {
        QTest::addColumn<bool>("encryptedFile");
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<int>("firstStatement");
        QTest::newRow("right key") << true << builtin << SQLITE_OK;
        QTest::newRow("wrong key") << true << QByteArray("not the phrase") << SQLITE_NOTADB;
        QTest::newRow("no key on encrypted file") << true << QByteArray() << SQLITE_NOTADB;
        QTest::newRow("key length 0 on encrypted file") << true << QByteArray("") << SQLITE_NOTADB;
        QTest::newRow("key on plain file") << false << builtin << SQLITE_NOTADB;
        QTest::newRow("no key on plain file") << false << QByteArray() << SQLITE_OK;
        QTest::newRow("key length 0 on plain file") << false << QByteArray("") << SQLITE_OK;
    }
    void keyResultsTable()
    {
        QFETCH(bool, encryptedFile);
        QFETCH(QByteArray, phrase);
        QFETCH(int, firstStatement);
        const QString file = path(encryptedFile ? "keys-encrypted.db" : "keys-plain.db");
        if (!QFile::exists(file)) {
            Db db(file);
            if (encryptedFile)
                QCOMPARE(db.key(builtin), 0);
            fill(db, 20);
        }
        const QByteArray before = readAll(file);
        {
            Db db(file);
            if (!phrase.isNull())
                QCOMPARE(sqlite3_key(db.get(), phrase.constData(), phrase.size()), 0);
            sqlite3_stmt *stmt = nullptr;
            int rc = sqlite3_prepare_v2(db.get(), "SELECT count(*) FROM t", -1, &stmt, nullptr);
            if (rc == SQLITE_OK)
                rc = sqlite3_step(stmt) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(db.get());
            sqlite3_finalize(stmt);
            QCOMPARE(rc, firstStatement);
            if (rc != SQLITE_OK)
                QCOMPARE(db.errcode(), SQLITE_NOTADB);
        }
        QCOMPARE(readAll(file), before);
    }

    void keyV2UnknownSchemaActsOnMain()
    {
        const QString file = path("keys-encrypted.db");
        Db db(file);
        QCOMPARE(sqlite3_key_v2(db.get(), "no such schema", builtin.constData(), builtin.size()), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
        Db db2(file);
        QCOMPARE(sqlite3_key_v2(db2.get(), nullptr, builtin.constData(), builtin.size()), 0);
        QCOMPARE(db2.scalar("SELECT count(*) FROM t"), QString("20"));
        sqlite3_activate_see("ignored");
    }

    void rekeyV2UnknownSchemaActsOnMain()
    {
        const QString file = path("rekey-v2-unknown.db");
        QString sum;
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            fill(db, 30);
            sum = checksum(db);
            QCOMPARE(sqlite3_rekey_v2(db.get(), "no such schema", "other phrase", 12), SQLITE_OK);
            QCOMPARE(checksum(db), sum);
        }
        Db old(file);
        QCOMPARE(old.key(builtin), 0);
        QCOMPARE(old.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
        Db db(file);
        QCOMPARE(db.key("other phrase"), 0);
        QCOMPARE(checksum(db), sum);
    }

    // Each read transaction checks the change counter (16 bytes inside page
    // 1); read wrongly, it would look changed and empty the page cache.
    void repeatedReadKeepsPageCache_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("512") << 512;
        QTest::newRow("1024") << 1024;
        QTest::newRow("4096") << 4096;
    }
    void repeatedReadKeepsPageCache()
    {
        QFETCH(int, pageSize);
        const QString file = path(QStringLiteral("cache-%1.db").arg(pageSize));
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA page_size=%1").arg(pageSize)), SQLITE_OK);
            fill(db, 100);
        }
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        const QString total = db.scalar("SELECT sum(length(body)) FROM t");
        QVERIFY(!total.startsWith(QLatin1String("ERR")));
        int misses = 0;
        int highest = 0;
        QCOMPARE(sqlite3_db_status(db.get(), SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 1), SQLITE_OK);
        QVERIFY(misses > 0);
        QCOMPARE(db.scalar("SELECT sum(length(body)) FROM t"), total);
        QCOMPARE(sqlite3_db_status(db.get(), SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 0), SQLITE_OK);
        QCOMPARE(misses, 0);
    }

    void keyAfterFailedReadAndTwice()
    {
        const QString file = path("keys-encrypted.db");
        Db db(file);
        QCOMPARE(db.key("wrong"), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
        QCOMPARE(db.key(builtin), 0);  // replaces the record
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
    }

    void pragmas()
    {
        const QString file = path("keys-encrypted.db");
        {
            Db db(file);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA key='%1'").arg(QString::fromLatin1(builtin))), SQLITE_OK);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
            QCOMPARE(db.exec("PRAGMA rekey='other'"), SQLITE_ERROR);
            QVERIFY(db.errmsg().contains("sqlite3_rekey"));
            QCOMPARE(db.exec("PRAGMA hexrekey='00'"), SQLITE_ERROR);
            QCOMPARE(db.exec("PRAGMA journal_mode=WAL"), SQLITE_ERROR);
            QVERIFY(db.errmsg().contains("WAL"));
            QCOMPARE(db.scalar("PRAGMA journal_mode"), QString("delete"));
            QCOMPARE(db.scalar("PRAGMA mmap_size=1048576"), QString("0"));
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
        }
        {
            Db db(file);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA hexkey='%1'").arg(QString::fromLatin1(builtin.toHex()))), SQLITE_OK);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
        }
        {
            Db db(file);
            QCOMPARE(db.exec("PRAGMA hexkey='zz'"), SQLITE_ERROR);
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
        }
        {
            // The key as a URI parameter of the file name.
            Db db(QStringLiteral("file:%1?hexkey=%2").arg(file, QString::fromLatin1(builtin.toHex())));
            QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("20"));
        }
    }

    void attach()
    {
        const QString mainEnc = path("attach-main-enc.db");
        const QString mainPlain = path("attach-main-plain.db");
        const QString auxEnc = path("attach-aux-enc.db");
        const QString auxPlain = path("attach-aux-plain.db");
        const QString auxOwn = path("attach-aux-own.db");
        const QString auxNoKey = path("attach-aux-nokey.db");
        {
            Db db(mainEnc);
            QCOMPARE(db.key(builtin), 0);
            fill(db, 5);
            int n = -1;
            void *k = &n;
            sqlite3CodecGetKey(db.get(), 0, &k, &n);
            QCOMPARE(n, 1);
            QVERIFY(k == nullptr);
            QCOMPARE(db.exec(QStringLiteral("ATTACH '%1' AS aux").arg(auxEnc)), SQLITE_OK);
            QCOMPARE(db.exec("CREATE TABLE aux.x(v TEXT); INSERT INTO aux.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
            QCOMPARE(db.exec(QStringLiteral("ATTACH 'file:%1?key=own%20phrase' AS own").arg(auxOwn)), SQLITE_OK);
            QCOMPARE(db.exec("CREATE TABLE own.x(v TEXT); INSERT INTO own.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
            QCOMPARE(db.exec(QStringLiteral("ATTACH 'file:%1?key=' AS nokey").arg(auxNoKey)), SQLITE_OK);
            QCOMPARE(db.exec("CREATE TABLE nokey.x(v TEXT); INSERT INTO nokey.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
            QCOMPARE(db.scalar("SELECT count(*) FROM t JOIN aux.x JOIN own.x"), QString("5"));
        }
        {
            Db db(mainPlain);
            fill(db, 5);
            int n = -1;
            sqlite3CodecGetKey(db.get(), 0, nullptr, &n);
            QCOMPARE(n, 0);
            QCOMPARE(db.exec(QStringLiteral("ATTACH '%1' AS aux").arg(auxPlain)), SQLITE_OK);
            QCOMPARE(db.exec("CREATE TABLE aux.x(v TEXT); INSERT INTO aux.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
        }
        QVERIFY(!readAll(auxEnc).contains("ATTACHED-MARKER"));
        QVERIFY(!readAll(auxEnc).contains(sqliteMagic));
        QVERIFY(!readAll(auxOwn).contains(sqliteMagic));
        QVERIFY(readAll(auxPlain).contains("ATTACHED-MARKER"));
        QVERIFY(readAll(auxNoKey).contains("ATTACHED-MARKER"));
        {
            Db db(auxEnc);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("SELECT v FROM x"), QString("ATTACHED-MARKER"));
        }
        {
            Db db(auxOwn);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("SELECT v FROM x"), QString("ERR 26"));
            QCOMPARE(db.key("own phrase"), 0);
            QCOMPARE(db.scalar("SELECT v FROM x"), QString("ATTACHED-MARKER"));
        }
        {
            // "key=" keeps an attached file plain: an encrypted one then
            // fails to attach; a new one can be keyed by its schema name, or
            // take the main keys through sqlite3CodecAttach with a null key.
            Db db(mainEnc);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.exec(QStringLiteral("ATTACH 'file:%1?key=' AS o").arg(auxOwn)), SQLITE_NOTADB);
            QCOMPARE(db.exec(QStringLiteral("ATTACH 'file:%1?key=' AS o").arg(path("attach-named.db"))), SQLITE_OK);
            QCOMPARE(sqlite3_key_v2(db.get(), "o", "named", 5), 0);
            QCOMPARE(db.exec("CREATE TABLE o.x(v TEXT); INSERT INTO o.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
            QCOMPARE(db.exec(QStringLiteral("ATTACH 'file:%1?key=' AS e").arg(path("attach-inherit.db"))), SQLITE_OK);
            QCOMPARE(sqlite3CodecAttach(db.get(), 3, nullptr, 1), 0);
            QCOMPARE(db.exec("CREATE TABLE e.x(v TEXT); INSERT INTO e.x VALUES('ATTACHED-MARKER')"), SQLITE_OK);
        }
        for (const auto &[name, phrase] : {std::pair<QString, QByteArray>{"attach-named.db", "named"},
                                           std::pair<QString, QByteArray>{"attach-inherit.db", builtin}}) {
            QVERIFY(!readAll(path(name)).contains("ATTACHED-MARKER"));
            Db db(path(name));
            QCOMPARE(db.key(phrase), 0);
            QCOMPARE(db.scalar("SELECT v FROM x"), QString("ATTACHED-MARKER"));
        }
    }

    void rekeyToNewKey()
    {
        const QString file = path("rekey-new.db");
        QString sum;
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            fill(db, 200);
            sum = checksum(db);
            QCOMPARE(db.rekey("new phrase"), SQLITE_OK);
            QCOMPARE(checksum(db), sum);  // the connection goes on with the new key
            QCOMPARE(db.exec("INSERT INTO t(body, n) VALUES('after rekey', 0)"), SQLITE_OK);
            QCOMPARE(db.exec("DELETE FROM t WHERE body = 'after rekey'"), SQLITE_OK);
        }
        QVERIFY(!QFile::exists(file + "-journal"));
        const QByteArray raw = readAll(file);
        QVERIFY(!raw.contains(sqliteMagic));
        QVERIFY(!raw.contains("MARKER-TEXT"));
        QVERIFY(decryptHead(raw, 1024, "new phrase").startsWith(sqliteMagic));
        Db old(file);
        QCOMPARE(old.key(builtin), 0);
        QCOMPARE(old.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
        Db db(file);
        QCOMPARE(db.key("new phrase"), 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(db), sum);
    }

    void rekeyLargerThanCache()
    {
        const QString file = path("rekey-large.db");
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.exec("PRAGMA page_size=1024"), SQLITE_OK);
        fill(db, 2000);
        const QString sum = checksum(db);
        QCOMPARE(db.exec("PRAGMA cache_size=10"), SQLITE_OK);
        QCOMPARE(db.rekey("large"), SQLITE_OK);
        QCOMPARE(db.scalar("PRAGMA cache_spill"), QString::number(10));
        db.close();
        Db again(file);
        QCOMPARE(again.key("large"), 0);
        QCOMPARE(again.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(again), sum);
    }

    void rekeyBusyKeepsOldKey()
    {
        const QString file = path("rekey-busy.db");
        Db a(file);
        QCOMPARE(a.key(builtin), 0);
        fill(a, 50);
        const QString sum = checksum(a);
        Db b(file);
        QCOMPARE(b.key(builtin), 0);
        QCOMPARE(b.exec("BEGIN IMMEDIATE"), SQLITE_OK);
        QCOMPARE(b.exec("INSERT INTO t(body, n) VALUES('pending', 1)"), SQLITE_OK);
        QCOMPARE(a.rekey("never"), SQLITE_BUSY);
        QCOMPARE(checksum(a), sum);  // the old key still works on this connection
        QCOMPARE(b.exec("ROLLBACK"), SQLITE_OK);
        QCOMPARE(checksum(a), sum);
        Db c(file);
        QCOMPARE(c.key(builtin), 0);
        QCOMPARE(checksum(c), sum);
        Db d(file);
        QCOMPARE(d.key("never"), 0);
        QCOMPARE(d.scalar("SELECT count(*) FROM t"), QString("ERR 26"));
    }

    void rekeyInsideTransactionRefused()
    {
        const QString file = path("rekey-txn.db");
        Db a(file);
        QCOMPARE(a.key(builtin), 0);
        fill(a, 5);
        QCOMPARE(a.exec("BEGIN"), SQLITE_OK);
        QCOMPARE(a.rekey("x"), SQLITE_ERROR);
        QCOMPARE(a.exec("COMMIT"), SQLITE_OK);
        QCOMPARE(a.scalar("SELECT count(*) FROM t"), QString("5"));
    }

    void rekeyWithoutKeyOnPlainFile()
    {
        const QString file = path("rekey-plain-nokey.db");
        Db db(file);
        fill(db, 10);
        const QByteArray before = readAll(file);
        QCOMPARE(db.rekey(QByteArray()), SQLITE_OK);
        QCOMPARE(db.rekey(QByteArray("")), SQLITE_OK);
        QCOMPARE(readAll(file), before);
        QCOMPARE(db.scalar("SELECT count(*) FROM t"), QString("10"));
    }

    void rekeyRemovesKey()
    {
        const QString file = path("rekey-remove.db");
        QString sum;
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            fill(db, 100);
            sum = checksum(db);
            QCOMPARE(db.rekey(QByteArray()), SQLITE_OK);
            QCOMPARE(checksum(db), sum);
            int n = -1;
            sqlite3CodecGetKey(db.get(), 0, nullptr, &n);
            QCOMPARE(n, 0);
        }
        QVERIFY(readAll(file).startsWith(sqliteMagic));
        QVERIFY(readAll(file).contains("MARKER-TEXT"));
        Db plain(file, "unix");
        QCOMPARE(plain.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(plain), sum);
    }

    void rekeyGivesPlainFileAKey()
    {
        const QString file = path("rekey-plain-key.db");
        QString sum;
        {
            Db db(file);
            fill(db, 100);
            sum = checksum(db);
            QCOMPARE(db.rekey("fresh"), SQLITE_OK);
            QCOMPARE(checksum(db), sum);
            QCOMPARE(db.exec("INSERT INTO t(body, n) VALUES('x', 0)"), SQLITE_OK);
            QCOMPARE(db.exec("DELETE FROM t WHERE body = 'x'"), SQLITE_OK);
        }
        QVERIFY(!readAll(file).contains(sqliteMagic));
        QVERIFY(!readAll(file).contains("MARKER-TEXT"));
        Db db(file);
        QCOMPARE(db.key("fresh"), 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(db), sum);
    }

    void rekeyAttachedByName()
    {
        const QString mainFile = path("rekey-attach-main.db");
        const QString auxFile = path("rekey-attach-aux.db");
        Db db(mainFile);
        QCOMPARE(db.key(builtin), 0);
        fill(db, 3);
        QCOMPARE(db.exec(QStringLiteral("ATTACH '%1' AS aux").arg(auxFile)), SQLITE_OK);
        QCOMPARE(db.exec("CREATE TABLE aux.x(v); INSERT INTO aux.x VALUES(42)"), SQLITE_OK);
        QCOMPARE(sqlite3_rekey_v2(db.get(), "aux", "aux key", 7), SQLITE_OK);
        QCOMPARE(db.scalar("SELECT v FROM aux.x"), QString("42"));
        db.close();
        Db aux(auxFile);
        QCOMPARE(aux.key("aux key"), 0);
        QCOMPARE(aux.scalar("SELECT v FROM x"), QString("42"));
        Db main(mainFile);
        QCOMPARE(main.key(builtin), 0);
        QCOMPARE(main.scalar("SELECT count(*) FROM t"), QString("3"));
    }

    void rollbackWithSpillAndSavepoints()
    {
        const QString file = path("rollback.db");
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.exec("PRAGMA page_size=1024"), SQLITE_OK);
        fill(db, 1500);
        const QString sum = checksum(db);
        QCOMPARE(db.exec("PRAGMA cache_size=20"), SQLITE_OK);  // forces spills to the file
        QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
        QCOMPARE(db.exec("UPDATE t SET body = body || 'changed', n = n * 2"), SQLITE_OK);
        QCOMPARE(db.exec("ROLLBACK"), SQLITE_OK);
        QCOMPARE(checksum(db), sum);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));

        // Savepoint rollback goes through the statement journal.
        QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
        QCOMPARE(db.exec("UPDATE t SET n = n + 1"), SQLITE_OK);
        const QString afterFirst = checksum(db);
        QCOMPARE(db.exec("SAVEPOINT s"), SQLITE_OK);
        QCOMPARE(db.exec("UPDATE t SET n = n + 5, body = 'STATEMENT-MARKER' || body"), SQLITE_OK);
        QCOMPARE(db.exec("ROLLBACK TO s"), SQLITE_OK);
        QCOMPARE(checksum(db), afterFirst);
        QCOMPARE(db.exec("RELEASE s"), SQLITE_OK);
        QCOMPARE(db.exec("COMMIT"), SQLITE_OK);
        db.close();
        Db again(file);
        QCOMPARE(again.key(builtin), 0);
        QCOMPARE(again.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(again), afterFirst);
    }

    void journalModes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("delete") << "PRAGMA journal_mode=DELETE";
        QTest::newRow("truncate") << "PRAGMA journal_mode=TRUNCATE";
        QTest::newRow("persist") << "PRAGMA journal_mode=PERSIST";
        QTest::newRow("memory") << "PRAGMA journal_mode=MEMORY";
        QTest::newRow("exclusive persist") << "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=PERSIST";
        QTest::newRow("small cache") << "PRAGMA cache_size=8; PRAGMA journal_mode=TRUNCATE";
    }
    void journalModes()
    {
        QFETCH(QString, setup);
        const QString file = path(QStringLiteral("journal-%1.db").arg(QTest::currentDataTag()).replace(' ', '-'));
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        QVERIFY(!db.scalar(setup).startsWith("ERR"));
        QCOMPARE(db.exec("PRAGMA page_size=1024"), SQLITE_OK);
        fill(db, 200);
        for (int round = 0; round < 4; ++round) {
            const QString sum = checksum(db);
            QCOMPARE(db.exec("BEGIN"), SQLITE_OK);
            QCOMPARE(db.exec(QStringLiteral("UPDATE t SET n = n + %1 WHERE id % %2 = 0").arg(round + 1).arg(round + 2)), SQLITE_OK);
            QCOMPARE(db.exec("DELETE FROM t WHERE id % 17 = 3"), SQLITE_OK);
            QCOMPARE(db.exec("ROLLBACK"), SQLITE_OK);
            QCOMPARE(checksum(db), sum);
            QCOMPARE(db.exec(QStringLiteral("UPDATE t SET body = body || '%1' WHERE id % 5 = %1").arg(round)), SQLITE_OK);
        }
        const QString sum = checksum(db);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        db.close();
        QVERIFY(!readAll(file + "-journal").contains("MARKER-TEXT"));
        Db again(file);
        QCOMPARE(again.key(builtin), 0);
        QCOMPARE(again.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(again), sum);
    }

    void vacuumKeepsEncryption()
    {
        const QString file = path("vacuum.db");
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        fill(db, 300);
        QCOMPARE(db.exec("DELETE FROM t WHERE id % 3 = 0"), SQLITE_OK);
        const QString sum = checksum(db);
        QCOMPARE(db.exec("VACUUM"), SQLITE_OK);
        QCOMPARE(db.exec("PRAGMA page_size=1024"), SQLITE_OK);
        QCOMPARE(db.exec("VACUUM"), SQLITE_OK);
        db.close();
        QVERIFY(!readAll(file).contains(sqliteMagic));
        QVERIFY(!readAll(file).contains("MARKER-TEXT"));
        Db again(file);
        QCOMPARE(again.key(builtin), 0);
        QCOMPARE(again.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(again.scalar("PRAGMA page_size"), QString("4096"));  // VACUUM keeps it
        QCOMPARE(checksum(again), sum);
        // VACUUM INTO writes an encrypted copy under the same key.
        const QString copy = path("vacuum-into.db");
        QCOMPARE(again.exec(QStringLiteral("VACUUM INTO '%1'").arg(copy)), SQLITE_OK);
        QVERIFY(!readAll(copy).contains(sqliteMagic));
        Db c(copy);
        QCOMPARE(c.key(builtin), 0);
        QCOMPARE(checksum(c), sum);
    }

    void backupBetweenPageSizesRefused()
    {
        // A backup from a database of another page size into an existing
        // encrypted one would store the byte stream under the wrong page
        // keys: the write of page 1 is refused and the target is unchanged.
        const QString target = path("backup-target.db");
        const QString source = path("backup-source.db");
        Db dst(target);
        QCOMPARE(dst.key(builtin), 0);
        fill(dst, 50);
        const QString sum = checksum(dst);
        {
            Db src(source);
            QCOMPARE(src.exec("PRAGMA page_size=1024"), SQLITE_OK);
            fill(src, 10);
            sqlite3_backup *b = sqlite3_backup_init(dst.get(), "main", src.get(), "main");
            QVERIFY(b);
            QCOMPARE(sqlite3_backup_step(b, -1) & 0xff, SQLITE_IOERR);
            sqlite3_backup_finish(b);
        }
        dst.close();
        Db again(target);
        QCOMPARE(again.key(builtin), 0);
        QCOMPARE(again.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(checksum(again), sum);
    }

    void twoConnections()
    {
        const QString file = path("two.db");
        Db a(file);
        QCOMPARE(a.key(builtin), 0);
        fill(a, 10);
        Db b(file);
        QCOMPARE(b.key(builtin), 0);
        QCOMPARE(b.scalar("SELECT count(*) FROM t"), QString("10"));
        QCOMPARE(a.exec("INSERT INTO t(body, n) VALUES('more', 1)"), SQLITE_OK);
        QCOMPARE(b.scalar("SELECT count(*) FROM t"), QString("11"));
        QCOMPARE(b.exec("DELETE FROM t WHERE body = 'more'"), SQLITE_OK);
        QCOMPARE(a.scalar("SELECT count(*) FROM t"), QString("10"));
    }

    void emptyAndInMemory()
    {
        Db mem(":memory:");
        QCOMPARE(mem.key(builtin), 0);
        QCOMPARE(mem.rekey("x"), 0);
        QCOMPARE(mem.exec("CREATE TABLE m(x); INSERT INTO m VALUES(1)"), SQLITE_OK);
        // An empty new file keyed, then filled.
        const QString file = path("empty.db");
        {
            Db db(file);
            QCOMPARE(db.key(builtin), 0);
            QCOMPARE(db.scalar("SELECT count(*) FROM sqlite_master"), QString("0"));
            QCOMPARE(db.exec("CREATE TABLE e(x)"), SQLITE_OK);
        }
        Db db(file);
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM sqlite_master"), QString("1"));
        // A file opened without the codec's VFS cannot be keyed.
        Db unix(path("unix.db"), "unix");
        QCOMPARE(unix.key(builtin), SQLITE_MISUSE);
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
