#include "SQLiteCipherDriver.h"
#include "SQLiteCipherResult.h"
#include "tst_driver_connection.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QSqlError::ErrorType)
Q_DECLARE_METATYPE(QSql::TableType)
Q_DECLARE_METATYPE(QSql::NumericalPrecisionPolicy)

// The driver on plain (unkeyed) files: everything but the keying.
class TestDriver : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void openCreatesMissingFile();
    void openFailureIsReported();
    void openOptions_data();
    void openOptions();
    void busyTimeoutOption();
    void defaultBusyTimeoutWaitsForLock();

    void statementOutcome_data();
    void statementOutcome();
    void emptySelectIsActiveSelect();
    void insertReportsChanges();
    void failedRunCanBeRepeated();

    void columnTypes();
    void expressionColumnTakesFirstRowType();
    void precisionPolicy_data();
    void precisionPolicy();
    void scrollingBackAndForth();

    void binding_data();
    void binding();
    void namedPlaceholderUsedTwice();
    void parameterCountMismatch();

    void finishReleasesTheReadLock();
    void closeLeavesLiveQueryWithoutStatement();
    void queryWorksAfterReopen();

    void transactions();
    void commitWithoutTransactionFails();
    void tablesByType_data();
    void tablesByType();
    void tableRecordAndPrimaryIndex_data();
    void tableRecordAndPrimaryIndex();
    void escapeIdentifier_data();
    void escapeIdentifier();
    void handles();

private:
    QString dbPath() const { return dir->filePath(QStringLiteral("test.db")); }
    std::unique_ptr<QTemporaryDir> dir;
};

namespace {

void execOrFail(QSqlQuery &query, const QString &sql)
{
    if (!query.exec(sql))
        QFAIL(qPrintable(sql + QLatin1String(": ") + query.lastError().text()));
}

} // namespace

void TestDriver::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestDriver::openCreatesMissingFile()
{
    QVERIFY(!QFile::exists(dbPath()));
    DriverTestConnection c(dbPath());
    QVERIFY(c.opened);
    QVERIFY(QFile::exists(dbPath()));
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
}

void TestDriver::openFailureIsReported()
{
    DriverTestConnection c(dir->filePath(QStringLiteral("missing/dir/test.db")));
    QVERIFY(!c.opened);
    QVERIFY(c.db.isOpenError());
    QVERIFY(!c.db.isOpen());
    const QSqlError error = c.db.lastError();
    QCOMPARE(error.driverText(), QStringLiteral("Error opening database"));
    QCOMPARE(error.databaseText(), QStringLiteral("unable to open database file"));
    QCOMPARE(error.type(), QSqlError::ConnectionError);
    QCOMPARE(error.nativeErrorCode(), QStringLiteral("-1"));

    // A later open of a good file works on the same driver.
    c.db.setDatabaseName(dbPath());
    QVERIFY(c.db.open());
    QVERIFY(!c.db.isOpenError());
}

void TestDriver::openOptions_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("writable");
    QTest::newRow("none") << QString() << true;
    QTest::newRow("read-only") << "QSQLITE_OPEN_READONLY" << false;
    QTest::newRow("read-only with blanks and others")
        << " QSQLITE_BUSY_TIMEOUT = 100 ; QSQLITE_OPEN_READONLY ;" << false;
    QTest::newRow("longer name is not the option") << "QSQLITE_OPEN_READONLY_NOT" << true;
    QTest::newRow("shared cache") << "QSQLITE_ENABLE_SHARED_CACHE" << true;
}

void TestDriver::openOptions()
{
    QFETCH(QString, options);
    QFETCH(bool, writable);
    {
        DriverTestConnection setup(dbPath());
        QSqlQuery q(setup.db);
        execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
    }
    DriverTestConnection c(dbPath(), QString(), options);
    QVERIFY(c.opened);
    QSqlQuery q(c.db);
    QCOMPARE(q.exec(QStringLiteral("INSERT INTO t VALUES(1)")), writable);
    if (!writable)
        QCOMPARE(q.lastError().databaseText(), QStringLiteral("attempt to write a readonly database"));
    execOrFail(q, QStringLiteral("SELECT count(*) FROM t"));
}

void TestDriver::busyTimeoutOption()
{
    DriverTestConnection holder(dbPath());
    QSqlQuery hold(holder.db);
    execOrFail(hold, QStringLiteral("CREATE TABLE t(a)"));
    execOrFail(hold, QStringLiteral("BEGIN EXCLUSIVE"));

    // Without waiting, the second connection sees the lock at once.
    DriverTestConnection c(dbPath(), QString(), QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QSqlQuery q(c.db);
    QVERIFY(!q.exec(QStringLiteral("SELECT * FROM t")));
    QCOMPARE(q.lastError().nativeErrorCode(), QString::number(SQLITE_BUSY));
    execOrFail(hold, QStringLiteral("COMMIT"));
}

void TestDriver::defaultBusyTimeoutWaitsForLock()
{
    DriverTestConnection holder(dbPath());
    {
        QSqlQuery hold(holder.db);
        execOrFail(hold, QStringLiteral("CREATE TABLE t(a)"));
        execOrFail(hold, QStringLiteral("INSERT INTO t VALUES(7)"));
        execOrFail(hold, QStringLiteral("BEGIN EXCLUSIVE"));
    }
    // The holder lets go after 300 ms, far inside the default wait.
    std::unique_ptr<QThread> release(QThread::create([&holder] {
        QThread::msleep(300);
        QSqlQuery(holder.db).exec(QStringLiteral("COMMIT"));
    }));
    release->start();

    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    const bool ran = q.exec(QStringLiteral("SELECT a FROM t"));
    QVERIFY(release->wait());
    QVERIFY2(ran, qPrintable(q.lastError().text()));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 7);
}

void TestDriver::statementOutcome_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("driverText");
    QTest::addColumn<QSqlError::ErrorType>("type");
    QTest::addColumn<int>("code");
    const QString execute = QStringLiteral("Unable to execute statement");
    QTest::newRow("one statement") << "SELECT 1" << true << QString() << QSqlError::NoError << 0;
    QTest::newRow("semicolon and blanks") << "SELECT 1;  " << true << QString() << QSqlError::NoError << 0;
    QTest::newRow("semicolon and line break") << "SELECT 1;\n\t" << true << QString() << QSqlError::NoError << 0;
    QTest::newRow("two statements") << "SELECT 1; SELECT 2" << false
                                    << "Unable to execute multiple statements at a time"
                                    << QSqlError::StatementError << SQLITE_MISUSE;
    QTest::newRow("syntax error") << "SELEC 1" << false << execute << QSqlError::StatementError << SQLITE_ERROR;
    QTest::newRow("missing table") << "SELECT * FROM nothing" << false << execute
                                   << QSqlError::StatementError << SQLITE_ERROR;
    // Fails only when stepped: the fetch ahead in exec shows it.
    QTest::newRow("error in first row") << "SELECT abs(-9223372036854775807 - 1)" << false
                                        << "Unable to fetch row" << QSqlError::ConnectionError << SQLITE_ERROR;
}

void TestDriver::statementOutcome()
{
    QFETCH(QString, sql);
    QFETCH(bool, ok);
    QFETCH(QString, driverText);
    QFETCH(QSqlError::ErrorType, type);
    QFETCH(int, code);
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    QCOMPARE(q.exec(sql), ok);
    QCOMPARE(q.isActive(), ok);
    const QSqlError error = q.lastError();
    QCOMPARE(error.type(), type);
    if (!ok) {
        QCOMPARE(error.driverText(), driverText);
        QCOMPARE(error.nativeErrorCode(), QString::number(code));
    } else {
        QVERIFY(q.next());
        QCOMPARE(q.value(0), QVariant(1));
    }
}

void TestDriver::emptySelectIsActiveSelect()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a INTEGER, b TEXT)"));
    execOrFail(q, QStringLiteral("SELECT a, b FROM t"));
    QVERIFY(q.isActive());
    QVERIFY(q.isSelect());
    QCOMPARE(q.record().count(), 2);
    QCOMPARE(q.record().fieldName(1), QStringLiteral("b"));
    QVERIFY(!q.next());
    QVERIFY(!q.first());
    QVERIFY(!q.last());
    QVERIFY(!q.lastError().isValid());
}

void TestDriver::insertReportsChanges()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
    execOrFail(q, QStringLiteral("INSERT INTO t VALUES(1),(2),(3)"));
    QVERIFY(q.isActive());
    QVERIFY(!q.isSelect());
    QCOMPARE(q.numRowsAffected(), 3);
    QCOMPARE(q.lastInsertId(), QVariant(qint64(3)));
    QVERIFY(q.record().isEmpty());
    execOrFail(q, QStringLiteral("DELETE FROM t WHERE a > 1"));
    QCOMPARE(q.numRowsAffected(), 2);
}

void TestDriver::failedRunCanBeRepeated()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a UNIQUE)"));
    QVERIFY(q.prepare(QStringLiteral("INSERT INTO t VALUES(?)")));
    q.addBindValue(1);
    QVERIFY(q.exec());
    q.addBindValue(1);
    QVERIFY(!q.exec());
    QCOMPARE(q.lastError().driverText(), QStringLiteral("Unable to fetch row"));
    QCOMPARE(q.lastError().nativeErrorCode(), QString::number(SQLITE_CONSTRAINT));
    QCOMPARE(q.lastError().databaseText(), QStringLiteral("UNIQUE constraint failed: t.a"));
    q.addBindValue(2);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    execOrFail(q, QStringLiteral("SELECT count(*) FROM t"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 2);
}

void TestDriver::columnTypes()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    // u has no declared type: its first value decides.
    execOrFail(q, QStringLiteral("CREATE TABLE t(i INTEGER, j INT, r REAL, n NUMERIC(10,2), "
                                 "b BLOB, s VARCHAR(20), u)"));
    execOrFail(q, QStringLiteral("INSERT INTO t VALUES(1, 2, 1.5, 3, x'00ff', 'x', 7)"));
    execOrFail(q, QStringLiteral("SELECT t.i, j, r, n, b, s, u, \"s\" FROM t"));
    const QSqlRecord record = q.record();
    const QList<QVariant::Type> types = {QVariant::Int, QVariant::Int, QVariant::Double,
                                         QVariant::Double, QVariant::ByteArray, QVariant::String,
                                         QVariant::Int, QVariant::String};
    QCOMPARE(record.count(), types.size());
    for (int i = 0; i < types.size(); ++i)
        QVERIFY2(record.field(i).type() == types.at(i), qPrintable(record.fieldName(i)));
    QCOMPARE(record.fieldName(0), QStringLiteral("i"));
    QCOMPARE(record.fieldName(7), QStringLiteral("s"));

    QVERIFY(q.next());
    QCOMPARE(q.value(0).type(), QVariant::LongLong);
    QCOMPARE(q.value(2).type(), QVariant::Double);
    QCOMPARE(q.value(4), QVariant(QByteArray("\x00\xff", 2)));
    QCOMPARE(q.value(5), QVariant(QStringLiteral("x")));
}

void TestDriver::expressionColumnTakesFirstRowType()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("SELECT 1 + 1, 2.5 * 2, 'a' || 'b', x'01', NULL"));
    const QSqlRecord record = q.record();
    QCOMPARE(record.field(0).type(), QVariant::Int);
    QCOMPARE(record.field(1).type(), QVariant::Double);
    QCOMPARE(record.field(2).type(), QVariant::String);
    QCOMPARE(record.field(3).type(), QVariant::ByteArray);
    QCOMPARE(record.field(4).type(), QVariant::Invalid);
    QVERIFY(q.next());
    QVERIFY(q.isNull(4));

    // The later text row does not change the column's type.
    execOrFail(q, QStringLiteral("SELECT v FROM (SELECT 1 AS v UNION ALL SELECT 'x')"));
    QCOMPARE(q.record().field(0).type(), QVariant::Int);
    // Without a row the type stays unknown.
    execOrFail(q, QStringLiteral("SELECT 1 + 1 WHERE 0"));
    QCOMPARE(q.record().field(0).type(), QVariant::Invalid);
}

void TestDriver::precisionPolicy_data()
{
    QTest::addColumn<QSql::NumericalPrecisionPolicy>("policy");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("high") << QSql::HighPrecision << QVariant(2.75);
    QTest::newRow("double") << QSql::LowPrecisionDouble << QVariant(2.75);
    QTest::newRow("int32") << QSql::LowPrecisionInt32 << QVariant(2);
    QTest::newRow("int64") << QSql::LowPrecisionInt64 << QVariant(qint64(2));
}

void TestDriver::precisionPolicy()
{
    QFETCH(QSql::NumericalPrecisionPolicy, policy);
    QFETCH(QVariant, expected);
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    q.setNumericalPrecisionPolicy(policy);
    execOrFail(q, QStringLiteral("SELECT 2.75"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).type(), expected.type());
    QCOMPARE(q.value(0), expected);
}

void TestDriver::scrollingBackAndForth()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n "
                                 "WHERE x < 499) SELECT x, 'row ' || x FROM n"));
    QVERIFY(q.last());
    QCOMPARE(q.at(), 499);
    QVERIFY(q.seek(123));
    QCOMPARE(q.value(1), QVariant(QStringLiteral("row 123")));
    QVERIFY(q.previous());
    QCOMPARE(q.value(0), QVariant(122));
    QVERIFY(q.first());
    QCOMPARE(q.value(0), QVariant(0));
    QVERIFY(!q.seek(500));

    q.setForwardOnly(true);
    execOrFail(q, q.lastQuery());
    int rows = 0;
    while (q.next())
        QCOMPARE(q.value(0).toInt(), rows++);
    QCOMPARE(rows, 500);
}

void TestDriver::binding_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("storage");
    QTest::addColumn<QVariant>("expected");

    struct Case
    {
        const char *name;
        QVariant value;
        const char *storage;
        QVariant expected;
    };
    const QString quoted = QStringLiteral("it's \"quoted\"'); DROP TABLE t; --");
    const QByteArray blob("\x00\x01\xff'\"", 5);
    const QList<Case> cases = {
        {"text with quotes", quoted, "text", quoted},
        {"chinese text", QStringLiteral("题库 ‘答案’"), "text", QStringLiteral("题库 ‘答案’")},
        {"empty text", QString(QLatin1String("")), "text", QString(QLatin1String(""))},
        {"null", QVariant(QVariant::String), "null", QVariant()},
        {"int", 42, "integer", qint64(42)},
        {"long long", Q_INT64_C(-1099511627776), "integer", Q_INT64_C(-1099511627776)},
        {"unsigned", 4000000000u, "integer", Q_INT64_C(4000000000)},
        {"double", 3.25, "real", 3.25},
        {"blob", blob, "blob", blob},
        {"bool as its text", true, "text", QStringLiteral("true")},
    };
    for (const Case &c : cases) {
        for (bool named : {false, true}) {
            const QByteArray row = QByteArray(c.name) + (named ? " named" : " positional");
            QTest::newRow(row.constData()) << named << c.value << QString::fromLatin1(c.storage) << c.expected;
        }
    }
}

void TestDriver::binding()
{
    QFETCH(bool, named);
    QFETCH(QVariant, value);
    QFETCH(QString, storage);
    QFETCH(QVariant, expected);
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(v)"));
    if (named) {
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO t(v) VALUES(:value)")));
        q.bindValue(QStringLiteral(":value"), value);
    } else {
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO t(v) VALUES(?)")));
        q.addBindValue(value);
    }
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));

    execOrFail(q, QStringLiteral("SELECT v, typeof(v) FROM t"));
    QVERIFY(q.next());
    QCOMPARE(q.value(1).toString(), storage);
    QCOMPARE(q.isNull(0), expected.isNull());
    if (!expected.isNull())
        QCOMPARE(q.value(0), expected);
    QVERIFY(!q.next());
}

void TestDriver::namedPlaceholderUsedTwice()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    QVERIFY(q.prepare(QStringLiteral("SELECT :a || '-' || :a, ':a'")));
    q.bindValue(QStringLiteral(":a"), QStringLiteral("x"));
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    QVERIFY(q.next());
    QCOMPARE(q.value(0), QVariant(QStringLiteral("x-x")));
    QCOMPARE(q.value(1), QVariant(QStringLiteral(":a")));
}

void TestDriver::parameterCountMismatch()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    QVERIFY(q.prepare(QStringLiteral("SELECT ?, ?")));
    q.addBindValue(1);
    QVERIFY(!q.exec());
    QCOMPARE(q.lastError().driverText(), QStringLiteral("Parameter count mismatch"));
    QCOMPARE(q.lastError().type(), QSqlError::StatementError);
}

void TestDriver::finishReleasesTheReadLock()
{
    DriverTestConnection reader(dbPath());
    QSqlQuery read(reader.db);
    execOrFail(read, QStringLiteral("CREATE TABLE t(a)"));
    execOrFail(read, QStringLiteral("INSERT INTO t VALUES(1),(2),(3)"));
    execOrFail(read, QStringLiteral("SELECT a FROM t"));
    QVERIFY(read.next());

    DriverTestConnection writer(dbPath(), QString(), QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QSqlQuery write(writer.db);
    QVERIFY(!write.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    read.finish();
    execOrFail(write, QStringLiteral("BEGIN EXCLUSIVE"));
    execOrFail(write, QStringLiteral("COMMIT"));
}

void TestDriver::closeLeavesLiveQueryWithoutStatement()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3"));
    QVERIFY(q.next());
    c.db.close();
    QVERIFY(!q.next());
    const QSqlError error = q.lastError();
    QCOMPARE(error.driverText(), QStringLiteral("Unable to fetch row"));
    QCOMPARE(error.databaseText(), QStringLiteral("No query"));
    QCOMPARE(error.type(), QSqlError::ConnectionError);
    // The closed connection is not touched any more.
    QCOMPARE(q.numRowsAffected(), -1);
    QVERIFY(!q.lastInsertId().isValid());
}

void TestDriver::queryWorksAfterReopen()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
    QVERIFY(q.prepare(QStringLiteral("INSERT INTO t VALUES(1)")));
    c.db.close();
    QVERIFY(c.db.open());

    // The statement died with the old connection; a new one runs on the new.
    QVERIFY(!q.exec());
    QCOMPARE(q.lastError().databaseText(), QStringLiteral("No query"));
    execOrFail(q, QStringLiteral("INSERT INTO t VALUES(2)"));
    QCOMPARE(q.numRowsAffected(), 1);
    execOrFail(q, QStringLiteral("SELECT a FROM t"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0), QVariant(2));
}

void TestDriver::transactions()
{
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
    QVERIFY(c.db.transaction());
    execOrFail(q, QStringLiteral("INSERT INTO t VALUES(1)"));
    QVERIFY(c.db.rollback());
    QVERIFY(c.db.transaction());
    execOrFail(q, QStringLiteral("INSERT INTO t VALUES(2)"));
    QVERIFY(c.db.commit());
    execOrFail(q, QStringLiteral("SELECT group_concat(a) FROM t"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("2"));
}

void TestDriver::commitWithoutTransactionFails()
{
    DriverTestConnection c(dbPath());
    QVERIFY(!c.db.commit());
    const QSqlError error = c.db.lastError();
    QCOMPARE(error.driverText(), QStringLiteral("Unable to commit transaction"));
    QCOMPARE(error.databaseText(), QStringLiteral("cannot commit - no transaction is active"));
    QCOMPARE(error.type(), QSqlError::TransactionError);
    QVERIFY(!c.db.rollback());
    QCOMPARE(c.db.lastError().driverText(), QStringLiteral("Unable to rollback transaction"));
}

void TestDriver::tablesByType_data()
{
    QTest::addColumn<QSql::TableType>("type");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("tables") << QSql::Tables << QStringList({"t", "tmp"});
    QTest::newRow("views") << QSql::Views << QStringList({"v"});
    QTest::newRow("system") << QSql::SystemTables << QStringList({"sqlite_master"});
    QTest::newRow("all") << QSql::AllTables << QStringList({"t", "v", "tmp", "sqlite_master"});
}

void TestDriver::tablesByType()
{
    QFETCH(QSql::TableType, type);
    QFETCH(QStringList, expected);
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(a)"));
    execOrFail(q, QStringLiteral("CREATE VIEW v AS SELECT a FROM t"));
    execOrFail(q, QStringLiteral("CREATE TEMP TABLE tmp(b)"));
    QCOMPARE(c.db.tables(type), expected);
}

void TestDriver::tableRecordAndPrimaryIndex_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("plain") << "t";
    QTest::newRow("quoted") << "\"t\"";
    QTest::newRow("with schema") << "main.t";
}

void TestDriver::tableRecordAndPrimaryIndex()
{
    QFETCH(QString, table);
    DriverTestConnection c(dbPath());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("CREATE TABLE t(id INTEGER PRIMARY KEY, "
                                 "name TEXT NOT NULL DEFAULT 'x', score REAL, pic BLOB)"));
    const QSqlRecord record = c.db.record(table);
    QCOMPARE(record.count(), 4);
    QCOMPARE(record.field(0).name(), QStringLiteral("id"));
    QCOMPARE(record.field(0).type(), QVariant::Int);
    QVERIFY(record.field(0).isAutoValue());
    QCOMPARE(record.field(1).type(), QVariant::String);
    QCOMPARE(record.field(1).requiredStatus(), QSqlField::Required);
    QCOMPARE(record.field(1).defaultValue(), QVariant(QStringLiteral("'x'")));
    QVERIFY(!record.field(1).isAutoValue());
    QCOMPARE(record.field(2).type(), QVariant::Double);
    QCOMPARE(record.field(2).requiredStatus(), QSqlField::Optional);
    QCOMPARE(record.field(3).type(), QVariant::ByteArray);

    const QSqlIndex key = c.db.primaryIndex(table);
    QCOMPARE(key.count(), 1);
    QCOMPARE(key.fieldName(0), QStringLiteral("id"));
}

void TestDriver::escapeIdentifier_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "name" << "\"name\"";
    QTest::newRow("schema and table") << "main.t" << "\"main\".\"t\"";
    QTest::newRow("quote inside") << "a\"b" << "\"a\"\"b\"";
    QTest::newRow("already quoted") << "\"a\"" << "\"a\"";
    QTest::newRow("leading quote") << "\"a" << "\"a";
    QTest::newRow("empty") << "" << "";
}

void TestDriver::escapeIdentifier()
{
    QFETCH(QString, identifier);
    QFETCH(QString, expected);
    SQLiteCipherDriver driver;
    QCOMPARE(driver.escapeIdentifier(identifier, QSqlDriver::TableName), expected);
    QCOMPARE(driver.escapeIdentifier(identifier, QSqlDriver::FieldName), expected);
}

void TestDriver::handles()
{
    DriverTestConnection c(dbPath());
    const QVariant connection = c.db.driver()->handle();
    QCOMPARE(connection.typeName(), "sqlite3*");
    QVERIFY(connection.value<sqlite3 *>());
    QSqlQuery q(c.db);
    execOrFail(q, QStringLiteral("SELECT 1"));
    QCOMPARE(q.result()->handle().typeName(), "sqlite3_stmt*");
    QCOMPARE(sqlite3_db_handle(q.result()->handle().value<sqlite3_stmt *>()),
             connection.value<sqlite3 *>());
}

QTEST_GUILESS_MAIN(TestDriver)
#include "tst_driver.moc"
