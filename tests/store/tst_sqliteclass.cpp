#include "FixtureBank.h"
#include "LogCapture.h"
#include "OfflineReportClient.h"
#include "SqlRow.h"
#include "SqliteClass.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaType>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

// Stands in for the web-service client; tells when the store deletes it.
class FakeLoginClient : public OfflineReportClient
{
public:
    explicit FakeLoginClient(bool *deleted) : deleted(deleted) {}
    ~FakeLoginClient() override { *deleted = true; }
    int submitFeedback(const QString &, const QString &) override { return 0; }
    int submitErrorReport(const QString &, int, int, const QString &) override { return 0; }

private:
    bool *deleted;
};

} // namespace

Q_DECLARE_METATYPE(FixtureBank::Form)

class TestSqliteClass : public QObject
{
    Q_OBJECT

private slots:
    void instanceIsOneStoreWithItsTypes();
    void examWindowFlag();
    void openDatabase_data();
    void openDatabase();
    void openDatabaseFailsWhereNothingCanBeCreated();
    void damagedBankToldFromWrongKey_data();
    void damagedBankToldFromWrongKey();
    void openDatabaseKeepsErrorOnSuccess();
    void fileModeLeavesDatabaseDir();
    void openAddsMissingIndexes_data();
    void openAddsMissingIndexes();
    void reopenWritesNothing();
    void verifyKeyNeedsOpenConnection();
    void execSqlFailureText();
    void threadKeepsItsOwnError();
    void switchDatabaseAndBack();
    void isGroupType_data();
    void isGroupType();
    void loginClientIsOwned();
    // Last: it deletes the store.
    void destructionReleasesConnection();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
};

void TestSqliteClass::instanceIsOneStoreWithItsTypes()
{
    SqliteClass *first = SqliteClass::instance();
    QVERIFY(first);
    QCOMPARE(SqliteClass::instance(), first);
    for (const char *name : {"QList<MainQuestion*>", "MainQuestion*", "SqliteData*",
                             "QList<SqliteData*>", "ExamOutlineData*"})
        QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);
}

void TestSqliteClass::examWindowFlag()
{
    QVERIFY(!store()->isExamWindowOpen());
    store()->setExamWindowOpen(true);
    QVERIFY(store()->isExamWindowOpen());
    store()->setExamWindowOpen(false);
    QVERIFY(!store()->isExamWindowOpen());
}

void TestSqliteClass::openDatabase_data()
{
    QTest::addColumn<FixtureBank::Form>("form");
    QTest::addColumn<QByteArray>("bankPhrase");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("errorPattern"); // %1: the path argument

    const QString wrongKey = QStringLiteral("错误的数据库密码:");
    QTest::newRow("good bank") << FixtureBank::Form::Keyed << QByteArray() << true << 2 << QString();
    QTest::newRow("no file") << FixtureBank::Form::Keyed << QByteArray() << false << 1
                             << QStringLiteral("缺少[%1]数据库文件.");
    QTest::newRow("0-byte file") << FixtureBank::Form::ZeroBytes << QByteArray() << true << 1
                                 << QStringLiteral("缺少[%1]数据库文件.");
    QTest::newRow("other phrase") << FixtureBank::Form::Keyed << QByteArray("another phrase") << true
                                  << 0 << wrongKey;
    QTest::newRow("plain file") << FixtureBank::Form::Plain << QByteArray() << true << 0 << wrongKey;
    QTest::newRow("directory named MedicalDB.db")
        << FixtureBank::Form::Directory << QByteArray() << true << -2
        << QStringLiteral("打开[%1]数据库失败.");
}

void TestSqliteClass::openDatabase()
{
    QFETCH(FixtureBank::Form, form);
    QFETCH(QByteArray, bankPhrase);
    QFETCH(bool, withFile);
    QFETCH(int, result);
    QFETCH(QString, errorPattern);

    FixtureBank bank(form);
    if (!bankPhrase.isEmpty())
        bank.setPhrase(bankPhrase);
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    if (!withFile)
        QVERIFY(QFile::remove(bank.filePath()));
    // A known text, to see whether the open replaced it.
    QCOMPARE(store()->execSql(QStringLiteral("no statement")), -1);
    const QString before = store()->lastErrorText();

    LogCapture log;
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), result);

    QCOMPARE(store()->databaseDir(), bank.databaseDir());
    const QString error = store()->lastErrorText();
    if (errorPattern.isEmpty())
        QCOMPARE(error, before);
    else
        QVERIFY2(error.startsWith(QStringLiteral("[Error:]") + errorPattern.arg(bank.path())),
                 qPrintable(error));
    QVERIFY2(!error.contains(phrase), "the pass phrase is shown in clear text");
    QCOMPARE(log.contains(QStringLiteral("create sql sucess")), result == 1);
    // Only an opened bank (or a freshly created one) leaves the connection usable.
    QCOMPARE(store()->verifyKey(), result >= 1);
    if (result == 1)
        QCOMPARE(QFileInfo(bank.filePath()).size(), 0);
}

void TestSqliteClass::openDatabaseFailsWhereNothingCanBeCreated()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/dir"));
    QCOMPARE(store()->openDatabase(missing, phrase, 0), -1);
    QCOMPARE(store()->lastErrorText(),
             QStringLiteral("[Error:]打开[%1]数据库失败.").arg(missing));
    QCOMPARE(store()->databaseDir(), missing + QLatin1Char('/'));
}

void TestSqliteClass::damagedBankToldFromWrongKey_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("errorPattern"); // %1: the bank file
    const QString damaged = QStringLiteral("[%1]数据库已损坏:");
    QTest::newRow("cut in half") << "half" << damaged;
    QTest::newRow("first page only") << "page" << damaged;
    QTest::newRow("flipped byte in the first page") << "flip" << damaged;
    // The engine reads these as no database at all, as it reads a wrong key.
    QTest::newRow("garbage") << "garbage" << QStringLiteral("错误的数据库密码:");
}

void TestSqliteClass::damagedBankToldFromWrongKey()
{
    QFETCH(QString, damage);
    QFETCH(QString, errorPattern);
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QFile file(bank.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    if (damage == QLatin1String("half"))
        bytes.truncate(bytes.size() / 2);
    else if (damage == QLatin1String("page"))
        bytes.truncate(4096);
    else if (damage == QLatin1String("flip"))
        bytes[100] = char(bytes[100] ^ 1);
    else
        bytes.fill('x', 8192);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();

    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 0);
    const QString error = store()->lastErrorText();
    QVERIFY2(error.startsWith(QStringLiteral("[Error:]") + errorPattern.arg(bank.filePath())), qPrintable(error));
    QVERIFY2(!error.contains(phrase), "the pass phrase is shown in clear text");
    QVERIFY(!store()->verifyKey());
}

void TestSqliteClass::openDatabaseKeepsErrorOnSuccess()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->execSql(QStringLiteral("select * from noSuchTable")), -1);
    const QString before = store()->lastErrorText();
    QCOMPARE(store()->openDatabase(bank.filePath(), phrase, 1), 2);
    QCOMPARE(store()->lastErrorText(), before);
}

void TestSqliteClass::fileModeLeavesDatabaseDir()
{
    FixtureBank first;
    FixtureBank second;
    QVERIFY2(first.open(), qPrintable(first.error()));
    QVERIFY2(second.open(), qPrintable(second.error()));
    QCOMPARE(store()->openDatabase(first.path(), phrase, 0), 2);
    QCOMPARE(store()->openDatabase(second.filePath(), phrase, 1), 2);
    QCOMPARE(store()->databaseDir(), first.databaseDir());
}

namespace {

const QStringList allIndexes{QStringLiteral("tCateListCate"), QStringLiteral("tQueGroup"),
                             QStringLiteral("tQueOptQue"), QStringLiteral("ytCateListCate"),
                             QStringLiteral("ytQueGroup"), QStringLiteral("ytQueOptQue"),
                             QStringLiteral("tQueStudy"), QStringLiteral("tQueGroupStudy")};

QString dropIndexes(const QStringList &names)
{
    QString sql;
    for (const QString &name : names)
        sql += QStringLiteral("DROP INDEX IF EXISTS %1;").arg(name);
    return sql;
}

QStringList presentIndexes()
{
    QStringList present;
    for (const QString &name : allIndexes) {
        if (sqlCount(QStringLiteral("select count(*) from sqlite_master where type = 'index' and name = ?"), {name}) == 1)
            present << name;
    }
    return present;
}

} // namespace

void TestSqliteClass::openAddsMissingIndexes_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("present");

    // A bank delivered without any of them gets them all on its first open.
    QTest::newRow("subject without indexes") << dropIndexes(allIndexes) << 0 << allIndexes;
    // A merge opens banks by file: they stay as they are.
    QTest::newRow("file mode") << dropIndexes(allIndexes) << 1 << QStringList();
    // One that cannot be made (its table is missing) leaves the bank as it
    // was, all or nothing, and the bank still opens.
    QTest::newRow("a table missing") << dropIndexes(allIndexes) + QStringLiteral("DROP TABLE ytQueOpt;") << 0
                                     << QStringList();
}

void TestSqliteClass::openAddsMissingIndexes()
{
    QFETCH(QString, sql);
    QFETCH(int, mode);
    QFETCH(QStringList, present);
    FixtureBank bank;
    bank.addSql(sql);
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(mode == 1 ? bank.filePath() : bank.path(), phrase, mode), 2);
    QCOMPARE(presentIndexes(), present);
    // The statistics read the same through the index as without it.
    QCOMPARE(store()->questionCount(), sqlCount(QStringLiteral("select count(*) from tQue where IsDel != '1'")));
    QCOMPARE(store()->rightCount(),
             sqlCount(QStringLiteral("select count(*) from tQue where userStatus = '1' and IsDel != '1'")));
}

void TestSqliteClass::reopenWritesNothing()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);
    QCOMPARE(presentIndexes(), allIndexes);
    store()->closeDatabase();
    QFile file(bank.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);
    store()->closeDatabase();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == before);
}

void TestSqliteClass::verifyKeyNeedsOpenConnection()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);
    QVERIFY(store()->verifyKey());
    store()->closeDatabase();
    QVERIFY(!store()->verifyKey());
    // Closing twice is harmless.
    store()->closeDatabase();
    QVERIFY(!store()->verifyKey());
}

void TestSqliteClass::execSqlFailureText()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);

    QCOMPARE(store()->execSql(QStringLiteral("update tQue set userFav = '1' where queId = '1'")), 0);
    const QString sql = QStringLiteral("select * from noSuchTable");
    QCOMPARE(store()->execSql(sql), -1);
    const QString error = store()->lastErrorText();
    QVERIFY2(error.startsWith(QStringLiteral("[Error:]") + sql + QLatin1Char(':')), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("no such table")), qPrintable(error));
    QCOMPARE(SqliteClass::threadLastErrorText(), error);
}

void TestSqliteClass::threadKeepsItsOwnError()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);

    QSemaphore workerFailed;
    QSemaphore guiFailed;
    QString workerSeen;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        store()->execSql(QStringLiteral("select * from workerTable"));
        workerFailed.release();
        guiFailed.acquire();
        workerSeen = SqliteClass::threadLastErrorText();
    }));
    worker->start();
    workerFailed.acquire();
    QCOMPARE(store()->execSql(QStringLiteral("select * from guiTable")), -1);
    guiFailed.release();
    QVERIFY(worker->wait());

    QVERIFY2(workerSeen.contains(QStringLiteral("workerTable")), qPrintable(workerSeen));
    QVERIFY(SqliteClass::threadLastErrorText().contains(QStringLiteral("guiTable")));
    QVERIFY(store()->lastErrorText().contains(QStringLiteral("guiTable")));
}

void TestSqliteClass::switchDatabaseAndBack()
{
    FixtureBank first;
    FixtureBank second;
    QVERIFY2(first.open(), qPrintable(first.error()));
    QVERIFY2(second.open(), qPrintable(second.error()));
    QCOMPARE(store()->openDatabase(first.path(), phrase, 0), 2);
    QCOMPARE(store()->execSql(QStringLiteral("create table firstMarker (x)")), 0);

    SqliteClass::switchDatabase(second.filePath());
    QCOMPARE(store()->execSql(QStringLiteral("select * from firstMarker")), -1);
    QCOMPARE(store()->execSql(QStringLiteral("create table secondMarker (x)")), 0);

    SqliteClass::switchDatabase(first.filePath());
    QCOMPARE(store()->execSql(QStringLiteral("select * from firstMarker")), 0);
    QCOMPARE(store()->execSql(QStringLiteral("select * from secondMarker")), -1);
    // Switching on the current file reopens it.
    SqliteClass::switchDatabase(first.filePath());
    QCOMPARE(store()->execSql(QStringLiteral("select * from firstMarker")), 0);
    QCOMPARE(store()->databaseDir(), first.databaseDir());
}

void TestSqliteClass::isGroupType_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<bool>("group");
    for (int type = -2; type <= 17; ++type)
        QTest::addRow("type %d", type) << type << (type == 3 || type == 4 || type == 7);
    QTest::newRow("large") << 1000 << false;
}

void TestSqliteClass::isGroupType()
{
    QFETCH(int, queTypeId);
    QFETCH(bool, group);
    QCOMPARE(SqliteClass::isGroupType(queTypeId), group);
}

void TestSqliteClass::loginClientIsOwned()
{
    bool firstDeleted = false;
    auto *first = new FakeLoginClient(&firstDeleted);
    store()->setLoginClient(first);
    store()->setLoginClient(first);
    QVERIFY(!firstDeleted);
    bool secondDeleted = false;
    store()->setLoginClient(new FakeLoginClient(&secondDeleted));
    QVERIFY(firstDeleted);
    store()->setLoginClient(nullptr);
    QVERIFY(secondDeleted);
}

void TestSqliteClass::destructionReleasesConnection()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);
    bool clientDeleted = false;
    store()->setLoginClient(new FakeLoginClient(&clientDeleted));

    LogCapture log;
    delete SqliteClass::instance();
    QVERIFY(clientDeleted);
    QVERIFY(log.contains(QStringLiteral("delete pDriver")));
    QVERIFY(!QSqlDatabase::contains());

    // A store made afterwards opens banks again.
    QCOMPARE(store()->openDatabase(bank.path(), phrase, 0), 2);
    QVERIFY(store()->verifyKey());
}

QTEST_GUILESS_MAIN(TestSqliteClass)
#include "tst_sqliteclass.moc"
