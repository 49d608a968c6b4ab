#include "BuiltinPassphrase.h"
#include "CipherCodec.h"
#include "tst_driver_connection.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Keying: a connection opened with a password reads and writes its file
// encrypted under the built-in phrase, whatever the password's text.
class TestDriverCipher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void keyedFileIsEncryptedAndReopens();
    void builtinPhraseOpensFileKeyedElsewhere();
    void wrongKeyFailsAtFirstStatement_data();
    void wrongKeyFailsAtFirstStatement();

private:
    QString dbPath() const { return dir->filePath(QStringLiteral("bank.db")); }
    std::unique_ptr<QTemporaryDir> dir;
};

namespace {

const QString marker = QStringLiteral("marker-text-of-the-bank");

// Writes one row holding the marker through the engine directly, keyed with
// `phrase` (not keyed at all when it is empty).
void writeWithEngine(const QString &path, const QByteArray &phrase)
{
    QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    if (!phrase.isEmpty())
        sqlite3_key(db, phrase.constData(), phrase.size());
    const QByteArray sql = "CREATE TABLE t(v TEXT); INSERT INTO t VALUES('" + marker.toUtf8() + "');";
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}

void writeWithDriver(const QString &path, const QString &password)
{
    DriverTestConnection c(path, password);
    QVERIFY(c.opened);
    QSqlQuery q(c.db);
    QVERIFY2(q.exec(QStringLiteral("CREATE TABLE t(v TEXT)")), qPrintable(q.lastError().text()));
    q.prepare(QStringLiteral("INSERT INTO t VALUES(?)"));
    q.addBindValue(marker);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

QString readMarker(const QString &path, const QString &password)
{
    DriverTestConnection c(path, password);
    QSqlQuery q(c.db);
    if (!q.exec(QStringLiteral("SELECT v FROM t")) || !q.next())
        return q.lastError().text();
    return q.value(0).toString();
}

} // namespace

void TestDriverCipher::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestDriverCipher::keyedFileIsEncryptedAndReopens()
{
    writeWithDriver(dbPath(), QStringLiteral("any password"));
    QFile file(dbPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QVERIFY(raw.size() >= 1024);
    QVERIFY(!raw.startsWith("SQLite format 3"));
    QVERIFY(!raw.contains(marker.toUtf8()));
    file.close();

    QCOMPARE(readMarker(dbPath(), QStringLiteral("another password")), marker);
}

void TestDriverCipher::builtinPhraseOpensFileKeyedElsewhere()
{
    writeWithEngine(dbPath(), QByteArray(builtinPassphrase, builtinPassphraseLength));
    QCOMPARE(readMarker(dbPath(), QStringLiteral("x")), marker);
}

void TestDriverCipher::wrongKeyFailsAtFirstStatement_data()
{
    QTest::addColumn<QByteArray>("writtenWith");
    QTest::addColumn<QString>("password");
    QTest::newRow("another phrase") << QByteArray("not the built-in phrase") << "x";
    QTest::newRow("built-in phrase opened without password")
        << QByteArray(builtinPassphrase, builtinPassphraseLength) << QString();
    QTest::newRow("plain file opened with password") << QByteArray() << "x";
}

void TestDriverCipher::wrongKeyFailsAtFirstStatement()
{
    QFETCH(QByteArray, writtenWith);
    QFETCH(QString, password);
    writeWithEngine(dbPath(), writtenWith);

    DriverTestConnection c(dbPath(), password);
    QVERIFY(c.opened); // the key is not checked at open
    QSqlQuery q(c.db);
    QVERIFY(!q.exec(QStringLiteral("SELECT v FROM t")));
    const QSqlError error = q.lastError();
    QCOMPARE(error.nativeErrorCode(), QString::number(SQLITE_NOTADB));
    // The engine's own wording ("file is not a database" in current SQLite).
    QCOMPARE(error.databaseText(), QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB)));
    QVERIFY2(error.driverText() == QLatin1String("Unable to execute statement")
                 || error.driverText() == QLatin1String("Unable to fetch row"),
             qPrintable(error.driverText()));
}

QTEST_GUILESS_MAIN(TestDriverCipher)
#include "tst_driver_cipher.moc"
