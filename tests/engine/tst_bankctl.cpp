// bankctl round trips a bank: create, exec, decrypt, encrypt, rekey.
#include "CodecTestKit.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace codectest;

namespace {

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result bankctl(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(BANKCTL_PATH), args);
    Result r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class TestBankctl : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
        QVERIFY(writeAll(path("bank.sql"),
                         "PRAGMA page_size=512;\n"
                         "CREATE TABLE tQue(id INTEGER PRIMARY KEY, txt TEXT, pic BLOB);\n"
                         "BEGIN;\n"
                         "INSERT INTO tQue VALUES(1, 'BANKCTL-MARKER one', x'00ff10');\n"
                         "INSERT INTO tQue VALUES(2, NULL, NULL);\n"
                         "INSERT INTO tQue VALUES(3, 'tab\tinside', NULL);\n"
                         "COMMIT;\n"));
        QVERIFY(writeAll(path("broken.sql"), "CREATE TABLE a(x);\nINSERT INTO nowhere VALUES(1);\n"));
    }

    void createAndExec()
    {
        Result r = bankctl({"create", path("bank.db"), path("bank.sql")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QByteArray raw = readAll(path("bank.db"));
        QVERIFY(!raw.contains(sqliteMagic));
        QVERIFY(!raw.contains("BANKCTL-MARKER"));
        QVERIFY(decryptHead(raw, 512).startsWith(sqliteMagic));

        r = bankctl({"exec", path("bank.db"), "SELECT id, txt, pic FROM tQue ORDER BY id"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("1\tBANKCTL-MARKER one\t00ff10\n2\t\t\n3\ttab\tinside\t\n"));
        r = bankctl({"exec", path("bank.db"), "PRAGMA page_size"});
        QCOMPARE(r.out, QByteArray("512\n"));
        // The built-in phrase, as the program uses it.
        Db db(path("bank.db"));
        QCOMPARE(db.key(builtin), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM tQue"), QString("3"));
    }

    void failures()
    {
        Result r = bankctl({"create", path("bank.db"), path("bank.sql")});
        QVERIFY(r.status != 0);
        QVERIFY(r.err.startsWith("bankctl: "));
        QCOMPARE(r.err.count('\n'), 1);

        r = bankctl({"create", path("broken.db"), path("broken.sql")});
        QVERIFY(r.status != 0);
        QVERIFY(r.err.contains("nowhere"));
        QVERIFY(!QFile::exists(path("broken.db")));

        r = bankctl({"--phrase", "wrong", "exec", path("bank.db"), "SELECT 1"});
        QVERIFY(r.status != 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);

        r = bankctl({"exec", path("bank.db"), "SELECT * FROM nosuch"});
        QVERIFY(r.status != 0);
        QVERIFY(r.err.contains("nosuch"));

        r = bankctl({"exec", path("missing.db"), "SELECT 1"});
        QVERIFY(r.status != 0);
        QVERIFY(!QFile::exists(path("missing.db")));

        r = bankctl({"exec", path("bank.db")});
        QCOMPARE(r.status, 2);
        r = bankctl({"frobnicate", path("bank.db"), "x"});
        QCOMPARE(r.status, 2);
        r = bankctl({});
        QCOMPARE(r.status, 2);
    }

    void decryptEncryptRoundTrip()
    {
        Result r = bankctl({"decrypt", path("bank.db"), path("plain.db")});
        QCOMPARE(r.status, 0);
        QVERIFY(readAll(path("plain.db")).startsWith(sqliteMagic));
        {
            Db plain(path("plain.db"), "unix");
            QCOMPARE(plain.scalar("PRAGMA page_size"), QString("512"));
            QCOMPARE(plain.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(plain.scalar("SELECT txt FROM tQue WHERE id = 1"), QString("BANKCTL-MARKER one"));
        }
        r = bankctl({"--phrase", "other phrase", "encrypt", path("plain.db"), path("again.db")});
        QCOMPARE(r.status, 0);
        QVERIFY(!readAll(path("again.db")).contains(sqliteMagic));
        r = bankctl({"--phrase", "other phrase", "exec", path("again.db"), "SELECT id, txt FROM tQue ORDER BY id; PRAGMA page_size"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("1\tBANKCTL-MARKER one\n2\t\n3\ttab\tinside\n512\n"));
        // Converting onto an existing file, or from a file under another key, fails.
        QVERIFY(bankctl({"encrypt", path("plain.db"), path("again.db")}).status != 0);
        QVERIFY(bankctl({"decrypt", path("again.db"), path("plain2.db")}).status != 0);
        QVERIFY(!QFile::exists(path("plain2.db")));
        QVERIFY(bankctl({"encrypt", path("bank.db"), path("double.db")}).status != 0);
        QVERIFY(!QFile::exists(path("double.db")));
    }

    void rekey()
    {
        QVERIFY(QFile::copy(path("bank.db"), path("rekey.db")));
        Result r = bankctl({"rekey", path("rekey.db"), "new phrase"});
        QCOMPARE(r.status, 0);
        QVERIFY(bankctl({"exec", path("rekey.db"), "SELECT count(*) FROM tQue"}).status != 0);
        r = bankctl({"--phrase=new phrase", "exec", path("rekey.db"), "SELECT count(*) FROM tQue"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("3\n"));
        QVERIFY(bankctl({"rekey", path("rekey.db"), "x"}).status != 0);  // wrong current phrase
        // Back to the built-in phrase: the program can open it again.
        r = bankctl({"--phrase", "new phrase", "rekey", path("rekey.db"), QString::fromLatin1(builtin)});
        QCOMPARE(r.status, 0);
        QCOMPARE(bankctl({"exec", path("rekey.db"), "SELECT count(*) FROM tQue"}).out, QByteArray("3\n"));
    }
};

QTEST_GUILESS_MAIN(TestBankctl)
#include "tst_bankctl.moc"
