#include "BankFile.h"
#include "BankSql.h"
#include "FixtureBank.h"
#include "SQLiteCipherDriver.h"
#include "SqliteClass.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QStringList userColumns = {QStringLiteral("userStatus"), QStringLiteral("userAnswer"),
                                 QStringLiteral("userTime"), QStringLiteral("userFav"),
                                 QStringLiteral("userNote")};

// ytQue with a text id, so that "17" and "017" can both exist.
const QString textIdPapers = QStringLiteral(
    "DROP TABLE ytQue;"
    "CREATE TABLE ytQue (queId VARCHAR(10), cateListId INTEGER, queText TEXT, answer TEXT, prompt TEXT,"
    " IsDel VARCHAR(1) DEFAULT 0, ord INTEGER DEFAULT 0, queCode VARCHAR(20), modTime VARCHAR(19),"
    " userStatus VARCHAR(1) DEFAULT 0, userAnswer TEXT, userTime VARCHAR(19), userFav VARCHAR(1) DEFAULT 0,"
    " userNote TEXT);");

// The user's work on top of the fixture's answers, notes, favourites, log,
// queued reports, exam date and exam records.
const QString userWork = textIdPapers + QStringLiteral(
    "INSERT INTO ytQue VALUES ('17', 201, '旧题十七', 'A', '', '0', 1, 'Y17', '2015-06-01 08:00:00',"
    " '1', 'A', '2015-10-01 08:00:00', '1', '十七的笔记');"
    "UPDATE tQue SET userNote = 'He said \"no\", it''s fine', userFav = '1' WHERE queId = 1002;");

// A newer bank: changed texts with quotes, one question gone, one new, a
// new column with a default, a new table, other settings, none of the
// user's work, and a log and exam date of its own that must not arrive.
const QString newBankChanges = textIdPapers + QStringLiteral(
    "INSERT INTO ytQue VALUES ('017', 201, '新题零一七', 'B', '', '0', 1, 'Y017', '2024-01-01 00:00:00',"
    " '0', NULL, NULL, '0', NULL);"
    "UPDATE tQue SET queText = queText || '（新版 it''s）', userStatus = '0', userAnswer = NULL,"
    " userTime = NULL, userFav = '0', userNote = NULL;"
    "UPDATE tQue SET prompt = NULL WHERE queId = 1002;"
    "DELETE FROM tQue WHERE queId = 1009;"
    "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime, userStatus)"
    " VALUES (1030, 101, '新增的题目', 'C', NULL, '0', 2, 'T1030', '2024-01-01 00:00:00', '0');"
    "ALTER TABLE tQue ADD COLUMN difficulty INTEGER DEFAULT 3;"
    "UPDATE tQue SET difficulty = 5;"
    "CREATE TABLE tNewTable (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, note TEXT);"
    "INSERT INTO tNewTable (name, note) VALUES ('甲', NULL), ('乙''s', '');"
    "UPDATE sysConfig SET value = '20240101' WHERE key = 'bankVersion';"
    "INSERT INTO sysConfig VALUES ('newKey', 'x', NULL);"
    "UPDATE examOutline SET isLeaf = NULL WHERE id = '001';"
    "UPDATE tQueOpt SET optText = '新选项' WHERE optId = 1;"
    "DELETE FROM tQueLog;"
    "DELETE FROM ConfigTable;"
    "INSERT INTO ConfigTable VALUES ('ExamTime', '2030-01-01', '', '', '', '');");

// A connection of the test's own on a bank file.
class BankReader
{
public:
    explicit BankReader(const QString &file)
        : name(QStringLiteral("reader-%1").arg(++count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, name);
        db.setDatabaseName(file);
        db.setPassword(phrase);
        db.open();
    }
    ~BankReader()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    BankReader(const BankReader &) = delete;
    BankReader &operator=(const BankReader &) = delete;

    QList<QSqlRecord> records(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        QList<QSqlRecord> rows;
        if (!query.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        while (query.next())
            rows << query.record();
        return rows;
    }
    QVariant value(const QString &sql) const
    {
        const QList<QSqlRecord> rows = records(sql);
        return rows.isEmpty() ? QVariant() : rows.first().value(0);
    }
    // Every row of a table with each value's type, NULLs told apart from ''.
    QStringList dump(const QString &table) const
    {
        QStringList lines;
        for (const QSqlRecord &row : records(QStringLiteral("select * from %1 order by rowid").arg(table))) {
            QStringList values;
            for (int i = 0; i < row.count(); ++i) {
                const QVariant value = row.value(i);
                values << (value.isNull() ? QStringLiteral("NULL")
                                          : QStringLiteral("%1:%2").arg(value.typeName(), value.toString()));
            }
            lines << values.join(QLatin1Char('|'));
        }
        return lines;
    }
    QMap<QString, QSqlRecord> byId(const QString &table) const
    {
        QMap<QString, QSqlRecord> rows;
        for (const QSqlRecord &row : records(QStringLiteral("select * from %1").arg(table)))
            rows.insert(row.value(0).toString(), row);
        return rows;
    }

private:
    static int count;
    const QString name;
};

int BankReader::count = 0;

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && a.toString() == b.toString();
}

QStringList statusTexts(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &emission : spy)
        texts << emission.at(2).toString();
    return texts;
}

// A merge pair: the user's live bank, its copy as the target, and a new bank.
class MergePair
{
public:
    explicit MergePair(const QString &newBankSql)
    {
        user.addSql(userWork);
        bank.addSql(newBankSql);
    }
    bool open()
    {
        if (!user.open() || !bank.open())
            return false;
        QFile::remove(target());
        return QFile::copy(user.filePath(), target());
    }
    QString target() const { return user.path() + QStringLiteral("/BKMedicalDB.db"); }

    FixtureBank user;
    FixtureBank bank;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT

private slots:
    void mergeCarriesUserWorkIntoNewBank();
    void sameBanksChangeNothing();
    void newBankVariants_data();
    void newBankVariants();
    void failedMergeLeavesLiveBank_data();
    void failedMergeLeavesLiveBank();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
};

void TestMerge::mergeCarriesUserWorkIntoNewBank()
{
    MergePair pair(newBankChanges);
    QVERIFY2(pair.open(), qPrintable(pair.user.error() + pair.bank.error()));
    QCOMPARE(store()->openDatabase(pair.user.path(), phrase, 0), 2);

    // As a data repair runs it: on a worker thread of its own.
    QSignalSpy progress(store(), &SqliteClass::sendCopyTable);
    int result = 1;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = store()->mergeDatabase(pair.target(), pair.bank.filePath());
    }));
    worker->start();
    QVERIFY(worker->wait(120000));
    QVERIFY2(result == 0, qPrintable(store()->lastErrorText()));

    BankReader merged(pair.target());
    BankReader user(pair.user.filePath());
    BankReader bank(pair.bank.filePath());

    // Shared questions: the new bank's columns, the user's own columns.
    const QMap<QString, QSqlRecord> mergedQue = merged.byId(QStringLiteral("tQue"));
    const QMap<QString, QSqlRecord> userQue = user.byId(QStringLiteral("tQue"));
    const QMap<QString, QSqlRecord> bankQue = bank.byId(QStringLiteral("tQue"));
    int shared = 0;
    for (auto row = bankQue.cbegin(); row != bankQue.cend(); ++row) {
        const QSqlRecord &got = mergedQue.value(row.key());
        QVERIFY2(!got.isEmpty(), qPrintable(row.key()));
        const bool isShared = userQue.contains(row.key());
        shared += isShared;
        for (int i = 0; i < row->count(); ++i) {
            const QString column = row->fieldName(i);
            const QVariant expected = isShared && userColumns.contains(column)
                ? userQue.value(row.key()).value(column) : row->value(i);
            QVERIFY2(sameValue(got.value(column), expected),
                     qPrintable(QStringLiteral("%1.%2: %3").arg(row.key(), column, got.value(column).toString())));
        }
    }
    QCOMPARE(shared, bankQue.size() - 1);
    QCOMPARE(mergedQue.value("1001").value("userNote").toString(), QStringLiteral("It's 100% sure_1"));
    QVERIFY(mergedQue.value("1001").value("queText").toString().endsWith(QStringLiteral("（新版 it's）")));
    QVERIFY(mergedQue.value("1002").value("prompt").isNull());
    QVERIFY(mergedQue.value("1030").value("userAnswer").isNull());

    // The removed question stays with the user's work, hidden, and takes the
    // new column's default.
    const QSqlRecord removed = mergedQue.value("1009");
    QCOMPARE(removed.value("IsDel").toString(), QStringLiteral("1"));
    QCOMPARE(removed.value("queText"), userQue.value("1009").value("queText"));
    QCOMPARE(removed.value("difficulty").toInt(), 3);
    QCOMPARE(mergedQue.size(), userQue.size() + 1);

    // Ids are texts: the user's "17" is not the new bank's "017".
    const QMap<QString, QSqlRecord> papers = merged.byId(QStringLiteral("ytQue"));
    QCOMPARE(papers.keys(), (QStringList{"017", "17"}));
    QCOMPARE(papers.value("17").value("IsDel").toString(), QStringLiteral("1"));
    QCOMPARE(papers.value("17").value("userNote").toString(), QStringLiteral("十七的笔记"));
    QCOMPARE(papers.value("017").value("queText").toString(), QStringLiteral("新题零一七"));

    for (const char *table : {"ConfigTable", "tQueLog"})
        QCOMPARE(merged.dump(table), user.dump(table));
    for (const char *table : {"sysConfig", "tNewTable", "examOutline", "tQueOpt", "tCate", "sqlite_sequence"})
        QCOMPARE(merged.dump(table), bank.dump(table));

    const QStringList texts = statusTexts(progress);
    QVERIFY(texts.contains(QStringLiteral("插入新的[tQue]表及字段")));
    QVERIFY(texts.contains(QStringLiteral("插入新的[tNewTable]表及字段")));
    QVERIFY(!texts.contains(QStringLiteral("插入新的[ytQue]表及字段")));
    QCOMPARE(texts.count(QStringLiteral("删除数据表[0]数据")), 2);
    QCOMPARE(progress.last(), (QList<QVariant>{100, 100, QStringLiteral("正在存储数据表的所有数据...")}));

    // The store itself never left the live bank.
    QCOMPARE(QSqlDatabase::database().databaseName(), pair.user.filePath());
}

void TestMerge::sameBanksChangeNothing()
{
    FixtureBank user;
    QVERIFY2(user.open(), qPrintable(user.error()));
    const QString target = user.path() + QStringLiteral("/BKMedicalDB.db");
    QVERIFY(QFile::copy(user.filePath(), target));

    QSignalSpy progress(store(), &SqliteClass::sendCopyTable);
    QCOMPARE(store()->mergeDatabase(target, user.filePath()), 0);

    for (const QString &status : statusTexts(progress))
        QVERIFY2(!status.startsWith(QStringLiteral("插入新的")), qPrintable(status));
    BankReader merged(target);
    BankReader original(user.filePath());
    const QList<QSqlRecord> tables = original.records(QStringLiteral("select name from sqlite_master where type = 'table'"));
    QVERIFY(tables.size() > 10);
    for (const QSqlRecord &table : tables)
        QCOMPARE(merged.dump(table.value(0).toString()), original.dump(table.value(0).toString()));
}

void TestMerge::newBankVariants_data()
{
    QTest::addColumn<bool>("withSequence");
    QTest::addColumn<QString>("newBankSql");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("no sequence table")
        << false << QStringLiteral("UPDATE tQueOpt SET optText = '新选项' WHERE optId = 1;")
        << QStringLiteral("select optText from tQueOpt where optId = 1") << QVariant(QStringLiteral("新选项"));
    QTest::newRow("quoted default")
        << true << QStringLiteral("ALTER TABLE tQue ADD COLUMN grade VARCHAR(2) DEFAULT 'A';"
                                  "DELETE FROM tQue WHERE queId = 1009;")
        << QStringLiteral("select grade from tQue where queId = 1009") << QVariant(QStringLiteral("A"));
    QTest::newRow("question table without rows")
        << true << QStringLiteral("DELETE FROM ytQue;")
        << QStringLiteral("select count(*) from ytQue where IsDel <> '1'") << QVariant(0);
    QTest::newRow("expression default")
        << true << QStringLiteral("ALTER TABLE tCate ADD COLUMN weight REAL DEFAULT (1.5);")
        << QStringLiteral("select count(*) from tCate where weight is not 1.5") << QVariant(0);
}

void TestMerge::newBankVariants()
{
    QFETCH(bool, withSequence);
    QFETCH(QString, newBankSql);
    QFETCH(QString, check);
    QFETCH(QVariant, expected);

    FixtureBank user;
    QVERIFY2(user.open(), qPrintable(user.error()));
    const QString target = user.path() + QStringLiteral("/BKMedicalDB.db");
    QVERIFY(QFile::copy(user.filePath(), target));

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("MedicalDB.db"));
    {
        BankFile bank;
        QString schema = bankSchemaSql();
        if (!withSequence)
            schema.remove(QStringLiteral("AUTOINCREMENT"));
        QVERIFY2(bank.open(source, FixtureBank::builtinPhrase()) && bank.exec(schema)
                     && bank.exec(standardFixtureSql()) && bank.exec(newBankSql),
                 qPrintable(bank.error()));
    }
    BankReader bank(source);
    QCOMPARE(bank.value(QStringLiteral("select count(*) from sqlite_master where name = 'sqlite_sequence'")).toInt(),
             int(withSequence));

    QVERIFY2(store()->mergeDatabase(target, source) == 0, qPrintable(store()->lastErrorText()));
    BankReader merged(target);
    QCOMPARE(merged.value(check).toString(), expected.toString());
}

void TestMerge::failedMergeLeavesLiveBank_data()
{
    QTest::addColumn<QString>("newBank"); // "empty", "missing", "plain", or SQL on the fixture
    QTest::addColumn<QString>("userSql");

    QTest::newRow("empty new bank") << QStringLiteral("empty") << QString();
    QTest::newRow("missing new bank") << QStringLiteral("missing") << QString();
    QTest::newRow("unkeyed new bank") << QStringLiteral("plain") << QString();
    QTest::newRow("new bank without settings") << QStringLiteral("DROP TABLE sysConfig;") << QString();
    QTest::newRow("row the user's table refuses")
        << QStringLiteral("INSERT INTO examOutline VALUES ('001', '重复', '');")
        << QStringLiteral("CREATE UNIQUE INDEX outlineId ON examOutline(id);");
}

void TestMerge::failedMergeLeavesLiveBank()
{
    QFETCH(QString, newBank);
    QFETCH(QString, userSql);

    FixtureBank user;
    if (!userSql.isEmpty())
        user.addSql(userSql);
    QVERIFY2(user.open(), qPrintable(user.error()));
    QCOMPARE(store()->openDatabase(user.path(), phrase, 0), 2);
    const QString target = user.path() + QStringLiteral("/BKMedicalDB.db");
    QVERIFY(QFile::copy(user.filePath(), target));
    const QByteArray liveBytes = fileBytes(user.filePath());

    FixtureBank bank(newBank == QLatin1String("empty") ? FixtureBank::Form::ZeroBytes
                     : newBank == QLatin1String("plain") ? FixtureBank::Form::Plain
                                                         : FixtureBank::Form::Keyed);
    if (newBank.contains(QLatin1Char(' ')))
        bank.addSql(newBank);
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    if (newBank == QLatin1String("missing"))
        QVERIFY(QFile::remove(bank.filePath()));

    QCOMPARE(store()->mergeDatabase(target, bank.filePath()), -1);
    QVERIFY(store()->lastErrorText().size() > QStringLiteral("[Error:]").size());

    QCOMPARE(fileBytes(user.filePath()), liveBytes);
    QCOMPARE(QSqlDatabase::database().databaseName(), user.filePath());
    QCOMPARE(store()->execSql(QStringLiteral("update tQue set userFav = '1' where queId = 1003")), 0);
    BankReader live(user.filePath());
    QCOMPARE(live.value(QStringLiteral("select userFav from tQue where queId = 1003")).toString(), QStringLiteral("1"));
    // The new bank is only read: a missing one is not created.
    QCOMPARE(QFile::exists(bank.filePath()), newBank != QLatin1String("missing"));
}

QTEST_GUILESS_MAIN(TestMerge)
#include "tst_merge.moc"
