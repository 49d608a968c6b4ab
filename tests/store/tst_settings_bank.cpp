#include "ExamOutlineData.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "QueTypeData.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

bool openInStore(FixtureBank &bank)
{
    return bank.open() && SqliteClass::instance()->openDatabase(bank.path(), phrase, 0) == 2;
}

// Column 0 of every row, read on the store's connection as the bank holds it.
QStringList columnOf(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    QStringList values;
    if (!query.exec(sql))
        return {QStringLiteral("failed: ") + sql};
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QList<int> intsOf(const QString &commaSeparated)
{
    QList<int> values;
    for (const QString &part : commaSeparated.split(QLatin1Char(','), Qt::SkipEmptyParts))
        values << part.toInt();
    return values;
}

template<typename Record>
struct Owned : QList<Record *>
{
    Owned() = default;
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { qDeleteAll(*this); }
};

using Operation = std::function<int(SqliteClass *)>;

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void questionTypes_data();
    void questionTypes();
    void reloadReplacesEveryType();
    void laterRowOfOneCodeWins();
    void reloadKeepsHeldTypeRecords();
    void failedLoadKeepsTypes();
    void questionTypesInBank_data();
    void questionTypesInBank();
    void questionTypeMemo_data();
    void questionTypeMemo();
    void groupsOfType_data();
    void groupsOfType();
    void examSetUpIsStored();
    void readSysConfig_data();
    void readSysConfig();
    void updateSysConfig();
    void examTimeWrittenTwice();
    void examRecordNumbers_data();
    void examRecordNumbers();
    void reportRoundTrips();
    void examRecordList_data();
    void examRecordList();
    void deleteExamRecord_data();
    void deleteExamRecord();
    void syllabus_data();
    void syllabus();
    void emptySyllabusCountsZero();
    void refusedWrites_data();
    void refusedWrites();
    void failedStatements_data();
    void failedStatements();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    std::unique_ptr<FixtureBank> bank;
};

void TestSettings::init()
{
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(openInStore(*bank), qPrintable(bank->error() + store()->lastErrorText()));
}

void TestSettings::cleanup()
{
    store()->closeDatabase();
    bank.reset();
}

void TestSettings::questionTypes_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<QString>("name"); // empty: no such type
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("examCount");
    QTest::addColumn<int>("column4");
    QTest::addColumn<int>("column5");

    QTest::newRow("A1") << 1 << QStringLiteral("A1型题")
                        << QStringLiteral("每一道考题下面有A、B、C、D、E五个备选答案，请从中选择一个最佳答案。") << 20 << 1 << 1;
    QTest::newRow("essay") << 16 << QStringLiteral("论述题") << QStringLiteral("请详细论述下列问题。") << 1 << 11 << 10;
    QTest::newRow("type used by a group, not in tQueType") << 9 << QString() << QString() << 0 << 0 << 0;
    QTest::newRow("unknown code") << 4242 << QString() << QString() << 0 << 0 << 0;
}

void TestSettings::questionTypes()
{
    QFETCH(int, queTypeId);
    QFETCH(QString, name);
    QFETCH(QString, memo);
    QFETCH(int, examCount);
    QFETCH(int, column4);
    QFETCH(int, column5);

    QCOMPARE(store()->loadQuestionTypes(), 0);
    QueTypeData held;
    QueTypeData *type = &held;
    QCOMPARE(store()->questionType(type, queTypeId), 0);
    if (name.isEmpty()) {
        QCOMPARE(type, nullptr);
        return;
    }
    QVERIFY(type);
    QCOMPARE(type->queTypeId, queTypeId);
    QCOMPARE(type->queTypeName, name);
    QCOMPARE(type->memo, memo);
    QCOMPARE(type->examCount, examCount);
    QCOMPARE(type->column4, column4);
    QCOMPARE(type->column5, column5);
}

void TestSettings::reloadReplacesEveryType()
{
    QCOMPARE(store()->loadQuestionTypes(), 0);
    QVERIFY(bank->exec(QStringLiteral("UPDATE tQueType SET queTypeName = '改名' WHERE queTypeId = 2;"
                                      "DELETE FROM tQueType WHERE queTypeId = 16;"
                                      "INSERT INTO tQueType VALUES (5, '新题型', '', 12, 1, 3);")));
    QCOMPARE(store()->loadQuestionTypes(), 0);

    QueTypeData *type = nullptr;
    store()->questionType(type, 2);
    QVERIFY(type);
    QCOMPARE(type->queTypeName, QStringLiteral("改名"));
    store()->questionType(type, 16);
    QCOMPARE(type, nullptr);
    store()->questionType(type, 5);
    QVERIFY(type);
    QCOMPARE(type->examCount, 3);
}

void TestSettings::laterRowOfOneCodeWins()
{
    QVERIFY(bank->exec(QStringLiteral(
        "DROP TABLE tQueType;"
        "CREATE TABLE tQueType (queTypeId INTEGER, queTypeName TEXT, memo TEXT, typeOrd INTEGER,"
        "  typeScore INTEGER, exam_count INTEGER);"
        "INSERT INTO tQueType VALUES (1, '旧名', '', 1, 1, 3), (1, '新名', '', 1, 1, 4);")));
    QCOMPARE(store()->loadQuestionTypes(), 0);
    QueTypeData *type = nullptr;
    store()->questionType(type, 1);
    QVERIFY(type);
    QCOMPARE(type->queTypeName, QStringLiteral("新名"));
    QCOMPARE(type->examCount, 4);
    store()->questionType(type, 2);
    QCOMPARE(type, nullptr);
}

void TestSettings::reloadKeepsHeldTypeRecords()
{
    // Groups of chapter 111 by ord are of the types 2, 3, 1, 4, 6 and 7.
    QCOMPARE(store()->loadQuestionTypes(), 0);
    Owned<MainQuestion> groups;
    QCOMPARE(store()->loadGroups(groups, 111), 0);
    QCOMPARE(groups.size(), 6);
    const MainQuestion *renamed = groups.at(0);
    const MainQuestion *dropped = groups.at(5);
    QCOMPARE(dropped->queTypeId, 7);

    // A main-window rebuild loads the types again while the groups are held.
    QVERIFY(bank->exec(QStringLiteral("UPDATE tQueType SET queTypeName = '改名' WHERE queTypeId = 2;"
                                      "DELETE FROM tQueType WHERE queTypeId = 7;")));
    QCOMPARE(store()->loadQuestionTypes(), 0);

    QueTypeData *type = nullptr;
    store()->questionType(type, 2);
    QCOMPARE(renamed->queType, type);
    QCOMPARE(renamed->queType->queTypeName, QStringLiteral("改名"));
    store()->questionType(type, 7);
    QCOMPARE(type, nullptr);
    // Still the record it was, readable until the store goes.
    QVERIFY(dropped->queType);
    QCOMPARE(dropped->queType->queTypeName, QStringLiteral("B1型题"));
}

void TestSettings::failedLoadKeepsTypes()
{
    QCOMPARE(store()->loadQuestionTypes(), 0);
    QCOMPARE(store()->execSql(QStringLiteral("DROP TABLE tQueType")), 0);
    QCOMPARE(store()->loadQuestionTypes(), -1);
    QVERIFY(store()->lastErrorText().startsWith(QStringLiteral("[Error:]select * from tQueType:")));
    QueTypeData *type = nullptr;
    store()->questionType(type, 1);
    QVERIFY(type);
    QCOMPARE(type->queTypeName, QStringLiteral("A1型题"));
}

void TestSettings::questionTypesInBank_data()
{
    QTest::addColumn<QString>("groupTypes"); // empty: the fixture's groups
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fixture") << QString() << QString() << QStringLiteral("1,2,4,6,7,10,11,12,14,16,3");
    QTest::newRow("3 goes last") << QStringLiteral("7,4,3,2,1,7,3") << QString() << QStringLiteral("1,2,4,7,3");
    QTest::newRow("4 goes last") << QStringLiteral("2,4,6,6") << QString() << QStringLiteral("2,6,4");
    QTest::newRow("only the first case type moves") << QStringLiteral("3,4") << QString() << QStringLiteral("4,3");
    QTest::newRow("no case type") << QStringLiteral("2,1,11") << QString() << QStringLiteral("1,2,11");
    QTest::newRow("type missing from tQueType") << QStringLiteral("9") << QString() << QString();
    QTest::newRow("appends to the given list") << QStringLiteral("1,2") << QStringLiteral("99") << QStringLiteral("99,1,2");
}

void TestSettings::questionTypesInBank()
{
    QFETCH(QString, groupTypes);
    QFETCH(QString, given);
    QFETCH(QString, expected);

    if (!groupTypes.isEmpty()) {
        QString sql = QStringLiteral("DELETE FROM tCateList;");
        for (int type : intsOf(groupTypes))
            sql += QStringLiteral("INSERT INTO tCateList (cateId, queTypeId) VALUES (111, %1);").arg(type);
        QVERIFY2(bank->exec(sql), qPrintable(bank->error()));
    }
    QList<int> types = intsOf(given);
    QCOMPARE(store()->questionTypesInBank(types), 0);
    QCOMPARE(types, intsOf(expected));
}

void TestSettings::questionTypeMemo_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<QString>("memo");

    QTest::newRow("known type") << 11 << QStringLiteral("判断下列说法是否正确。");
    QTest::newRow("unknown type keeps the text") << 9 << QStringLiteral("原值");
}

void TestSettings::questionTypeMemo()
{
    QFETCH(int, queTypeId);
    QFETCH(QString, memo);
    QString text = QStringLiteral("原值");
    QCOMPARE(store()->questionTypeMemo(text, queTypeId), 0);
    QCOMPARE(text, memo);
}

void TestSettings::groupsOfType_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<int>("groups");

    QTest::newRow("A1, also on missing chapters") << 1 << 5;
    QTest::newRow("true/false") << 11 << 2;
    QTest::newRow("used, not in tQueType") << 9 << 1;
    QTest::newRow("in tQueType, unused") << 5 << 0;
    QTest::newRow("unknown") << 4242 << 0;
}

void TestSettings::groupsOfType()
{
    QFETCH(int, queTypeId);
    QFETCH(int, groups);
    QCOMPARE(store()->groupCountOfType(queTypeId), groups);
    QCOMPARE(store()->hasQuestionType(queTypeId), groups > 0);
}

void TestSettings::examSetUpIsStored()
{
    QCOMPARE(store()->loadQuestionTypes(), 0);
    QCOMPARE(store()->setExamCount(1, 33), 0);
    QCOMPARE(store()->setChapterChosen(2, 1), 0);
    QCOMPARE(store()->setChapterChosen(111, 0), 0);
    QCOMPARE(store()->setChapterChosen(4242, 1), 0);

    // The loaded types keep the count of the last load.
    QueTypeData *type = nullptr;
    store()->questionType(type, 1);
    QCOMPARE(type->examCount, 20);
    QCOMPARE(columnOf(QStringLiteral("select exam_count from tQueType where queTypeId = 1")), QStringList{"33"});
    QCOMPARE(store()->loadQuestionTypes(), 0);
    store()->questionType(type, 1);
    QCOMPARE(type->examCount, 33);

    QCOMPARE(columnOf(QStringLiteral("select choose from tCate where cateId in (2, 111, 112) order by cateId")),
             (QStringList{"1", "0", "1"}));
    QCOMPARE(columnOf(QStringLiteral("select count(*) from tCate where cateId = 4242")), QStringList{"0"});
}

void TestSettings::readSysConfig_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("memo");

    const QString kept = QStringLiteral("原值");
    QTest::newRow("subject code and title") << QStringLiteral("sysTypeISN") << QStringLiteral("1101")
                                            << QStringLiteral("临床执业医师（测试）");
    QTest::newRow("product line, empty memo") << QStringLiteral("sysTypeGoods") << QStringLiteral("A") << QString("");
    QTest::newRow("missing key") << QStringLiteral("noSuchKey") << kept << kept;
    QTest::newRow("key with a quote") << QStringLiteral("sys'TypeISN") << kept << kept;
}

void TestSettings::readSysConfig()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, memo);

    QString readValue = QStringLiteral("原值");
    QString readMemo = QStringLiteral("原值");
    QCOMPARE(store()->readSysConfig(key, readValue, readMemo), 0);
    QCOMPARE(readValue, value);
    QCOMPARE(readMemo, memo);
}

void TestSettings::updateSysConfig()
{
    QCOMPARE(store()->updateSysConfig(QStringLiteral("sysTypeGoods"), QStringLiteral("B'2")), 0);
    QCOMPARE(store()->updateSysConfig(QStringLiteral("noSuchKey"), QStringLiteral("x")), 0);
    QCOMPARE(columnOf(QStringLiteral("select key || '=' || value from sysConfig order by rowid")),
             (QStringList{"sysTypeISN=1101", "sysTypeGoods=B'2", "bankVersion=20150930"}));
}

void TestSettings::examTimeWrittenTwice()
{
    QVERIFY(bank->exec(QStringLiteral("DELETE FROM ConfigTable WHERE Key = 'ExamTime'")));
    const QString rowOf = QStringLiteral("select quote(V1) || ',' || quote(V2) || ',' || quote(V3) || ',' || quote(V4) "
                                         "|| ',' || quote(V5) from ConfigTable where Key = 'ExamTime'");

    SqliteData date;
    date.text0 = QStringLiteral("2016-09-10");
    QCOMPARE(store()->InsertOrUpdateConfigTable(QStringLiteral("ExamTime"), &date), 0);
    QCOMPARE(columnOf(rowOf), QStringList{"'2016-09-10','','','',''"});

    date.text0 = QStringLiteral("2017-09-09");
    date.text4 = QStringLiteral("7");
    QCOMPARE(store()->InsertOrUpdateConfigTable(QStringLiteral("ExamTime"), &date), 0);
    QCOMPARE(columnOf(rowOf), QStringList{"'2017-09-09','','','','0'"});

    SqliteData *read = nullptr;
    QCOMPARE(store()->readConfigTable(QStringLiteral("ExamTime"), read), 0);
    QVERIFY(read);
    const std::unique_ptr<SqliteData> owned(read);
    QCOMPARE(read->text0, QStringLiteral("2017-09-09"));
    QCOMPARE(read->text4, QStringLiteral("0"));

    SqliteData *missing = nullptr;
    QCOMPARE(store()->readConfigTable(QStringLiteral("noSuchKey"), missing), 0);
    QCOMPARE(missing, nullptr);
}

void TestSettings::examRecordNumbers_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<int>("saves");
    QTest::addColumn<QStringList>("numbers");

    QStringList eleven;
    for (int i = 1; i <= 11; ++i)
        eleven << QString::number(i);
    QTest::newRow("empty table") << QStringLiteral("DELETE FROM ConfigTable") << 11 << eleven;
    QTest::newRow("exam date only") << QStringLiteral("DELETE FROM ConfigTable WHERE Key <> 'ExamTime'") << 11 << eleven;
    QTest::newRow("records up to 10") << QString() << 2 << QStringList{"1", "2", "9", "10", "11", "12"};
}

void TestSettings::examRecordNumbers()
{
    QFETCH(QString, setUp);
    QFETCH(int, saves);
    QFETCH(QStringList, numbers);

    QVERIFY(setUp.isEmpty() || bank->exec(setUp));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    SqliteData record;
    record.text2 = QStringLiteral("1");
    record.text3 = QStringLiteral("<p>报告</p>");
    record.text4 = QStringLiteral("20,18,2");
    for (int i = 0; i < saves; ++i)
        QCOMPARE(store()->InsertExamTable(&record), 0);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    QCOMPARE(columnOf(QStringLiteral("select V5 from ConfigTable where V5 > '0' order by rowid")), numbers);
    QCOMPARE(columnOf(QStringLiteral("select count(*) from ConfigTable where V5 > '0' and Key <> V5")), QStringList{"0"});
    for (const QString &saved : columnOf(QStringLiteral("select V1 from ConfigTable order by rowid desc limit %1").arg(saves))) {
        const QDateTime time = QDateTime::fromString(saved, timeFormat);
        QVERIFY2(time >= before && time <= after, qPrintable(saved));
    }
}

void TestSettings::reportRoundTrips()
{
    SqliteData record;
    record.text2 = QStringLiteral("0");
    record.text3 = QStringLiteral("<p class='score' title=\"得分\">It's \"ok\"; --</p>");
    record.text4 = QStringLiteral("20,'19',1");
    const SqliteData given = record;
    QCOMPARE(store()->InsertExamTable(&record), 0);
    QCOMPARE(record.text3, given.text3);

    QString report;
    QString counts;
    QCOMPARE(store()->readExamRecord(11, report, counts), 0);
    QCOMPARE(report, given.text3);
    QCOMPARE(counts, given.text4);
}

void TestSettings::examRecordList_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("records"); // "number|kind|time", newest first

    QTest::newRow("simulated exams")
        << QString() << 1
        << QStringList{"10|1|2015-10-10 09:00:00", "9|1|2015-10-09 09:00:00", "1|1|2015-10-01 09:00:00"};
    QTest::newRow("saved within one second: by number")
        << QStringLiteral("UPDATE ConfigTable SET V1 = '2015-10-10 09:00:00' WHERE V5 = '9'") << 1
        << QStringList{"10|1|2015-10-10 09:00:00", "9|1|2015-10-10 09:00:00", "1|1|2015-10-01 09:00:00"};
    QTest::newRow("kind 2") << QString() << 2 << QStringList{"2|2|2015-10-02 09:00:00"};
    QTest::newRow("no record of kind 0") << QString() << 0 << QStringList();
    QTest::newRow("exam date marked as kind 0")
        << QStringLiteral("UPDATE ConfigTable SET V2 = '0', V5 = '0' WHERE Key = 'ExamTime'") << 0 << QStringList();
}

void TestSettings::examRecordList()
{
    QFETCH(QString, setUp);
    QFETCH(int, kind);
    QFETCH(QStringList, records);

    QVERIFY(setUp.isEmpty() || bank->exec(setUp));
    Owned<SqliteData> list;
    QCOMPARE(store()->examRecordList(list, kind), 0);
    QStringList listed;
    for (const SqliteData *record : qAsConst(list)) {
        QVERIFY(record->text1.isEmpty() && record->text3.isEmpty());
        listed << QStringList{record->text0, record->text2, record->dateTime.toString(timeFormat)}.join(QLatin1Char('|'));
    }
    QCOMPARE(listed, records);
}

void TestSettings::deleteExamRecord_data()
{
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("one record") << QStringLiteral("9") << QStringList{"1", "2", "10"};
    QTest::newRow("number that does not exist") << QStringLiteral("42") << QStringList{"1", "2", "9", "10"};
    QTest::newRow("every record") << QStringLiteral("1,2,9,10") << QStringList();
}

void TestSettings::deleteExamRecord()
{
    QFETCH(QString, deleted);
    QFETCH(QStringList, remaining);

    for (int id : intsOf(deleted))
        QCOMPARE(store()->deleteExamRecord(id), 0);
    QCOMPARE(columnOf(QStringLiteral("select V5 from ConfigTable where V5 > '0' order by rowid")), remaining);
    QCOMPARE(columnOf(QStringLiteral("select V1 from ConfigTable where Key = 'ExamTime'")), QStringList{"2016-09-10"});

    QString report = QStringLiteral("原值");
    QString counts = QStringLiteral("原值");
    QCOMPARE(store()->readExamRecord(intsOf(deleted).first(), report, counts), 0);
    QCOMPARE(report, QStringLiteral("原值"));
    QCOMPARE(counts, QStringLiteral("原值"));
}

void TestSettings::syllabus_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("rows"); // "id|content|third column", in table order

    QTest::newRow("top level")
        << QStringLiteral("00_") << QStringList{"001|第一单元 呼吸系统疾病|", "002|第二单元 药理学总论|"};
    QTest::newRow("below a node")
        << QStringLiteral("001%_")
        << QStringList{"001001|慢性阻塞性肺疾病|", "001001001|病因和发病机制：吸烟、感染、空气污染。|1",
                       "001001002|临床表现[img50.png]|1", "001002|支气管哮喘|1"};
    QTest::newRow("one id") << QStringLiteral("002001") << QStringList{"002001|药物代谢动力学|1"};
    QTest::newRow("no match") << QStringLiteral("9%") << QStringList();
    QTest::newRow("pattern with a quote") << QStringLiteral("0'%") << QStringList();
}

void TestSettings::syllabus()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, rows);

    QCOMPARE(store()->examOutlineCount(), 7);
    Owned<ExamOutlineData> list;
    QCOMPARE(store()->examOutlineRows(list, pattern), 0);
    QStringList read;
    for (const ExamOutlineData *row : qAsConst(list))
        read << QStringList{row->id, row->content, row->thirdColumn}.join(QLatin1Char('|'));
    QCOMPARE(read, rows);

    QString content = QStringLiteral("原值");
    QCOMPARE(store()->examOutlineContent(content, pattern), 0);
    QCOMPARE(content, rows.isEmpty() ? QStringLiteral("原值") : rows.first().section(QLatin1Char('|'), 1, 1));
}

void TestSettings::emptySyllabusCountsZero()
{
    QVERIFY(bank->exec(QStringLiteral("DELETE FROM examOutline")));
    QCOMPARE(store()->examOutlineCount(), 0);
}

void TestSettings::refusedWrites_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("error");   // how the error text starts
    QTest::addColumn<QString>("logPrefix"); // the debug line is it and the message; null: no line

    const QString refuseUpdate =
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ConfigTable BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    const QString refuseInsert =
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ConfigTable BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    const QString dropTable = QStringLiteral("DROP TABLE ConfigTable;");
    const Operation writeExamDate = [](SqliteClass *s) {
        SqliteData date;
        date.text0 = QStringLiteral("2016-09-10");
        return s->InsertOrUpdateConfigTable(QStringLiteral("ExamTime"), &date);
    };
    const Operation writeNewKey = [](SqliteClass *s) {
        SqliteData row;
        return s->InsertOrUpdateConfigTable(QStringLiteral("NewKey"), &row);
    };
    const Operation saveExam = [](SqliteClass *s) {
        SqliteData record;
        record.text3 = QStringLiteral("<p>报告</p>");
        return s->InsertExamTable(&record);
    };

    QTest::newRow("update refused") << refuseUpdate << writeExamDate
                                    << QStringLiteral("InsertOrUpdateConfigTable error") << QString();
    QTest::newRow("insert refused") << refuseInsert << writeNewKey
                                    << QStringLiteral("InsertOrUpdateConfigTable error") << QString();
    QTest::newRow("key lookup fails") << dropTable << writeExamDate
                                      << QStringLiteral("select Key from ConfigTable where Key=?:") << QString();
    QTest::newRow("exam record refused") << refuseInsert << saveExam << QStringLiteral("InsertExamTable::")
                                         << QStringLiteral("[ERROR:]");
    QTest::newRow("exam numbering fails") << dropTable << saveExam << QStringLiteral("InsertExamTable::")
                                          << QStringLiteral("");
}

void TestSettings::refusedWrites()
{
    QFETCH(QString, setUp);
    QFETCH(Operation, operation);
    QFETCH(QString, error);
    QFETCH(QString, logPrefix);

    QVERIFY(bank->exec(setUp));
    const QStringList rowsBefore = columnOf(QStringLiteral("select * from ConfigTable"));
    LogCapture log;
    QCOMPARE(operation(store()), -1);

    const QString text = store()->lastErrorText();
    QVERIFY2(text.startsWith(QStringLiteral("[Error:]") + error), qPrintable(text));
    if (error.endsWith(QLatin1Char(':')))
        QVERIFY2(text.contains(setUp.startsWith(QLatin1String("DROP")) ? QStringLiteral("no such table")
                                                                       : QStringLiteral("refused")),
                 qPrintable(text));
    QCOMPARE(columnOf(QStringLiteral("select * from ConfigTable")), rowsBefore);
    const QString message = text.mid(QStringLiteral("[Error:]").size());
    if (logPrefix.isNull())
        QVERIFY(!log.contains(message));
    else
        QVERIFY2(log.lines().contains(logPrefix + message), qPrintable(log.lines().join(QLatin1Char('\n'))));
}

void TestSettings::failedStatements_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("result");

    QTest::newRow("loadQuestionTypes") << Operation([](SqliteClass *s) { return s->loadQuestionTypes(); }) << -1;
    QTest::newRow("questionType runs no statement")
        << Operation([](SqliteClass *s) { QueTypeData *t = nullptr; return s->questionType(t, 1); }) << 0;
    QTest::newRow("questionTypesInBank")
        << Operation([](SqliteClass *s) { QList<int> t; return s->questionTypesInBank(t); }) << -1;
    QTest::newRow("questionTypeMemo")
        << Operation([](SqliteClass *s) { QString m; return s->questionTypeMemo(m, 1); }) << -1;
    QTest::newRow("hasQuestionType counts the type as present")
        << Operation([](SqliteClass *s) { return int(s->hasQuestionType(5)); }) << 1;
    QTest::newRow("groupCountOfType") << Operation([](SqliteClass *s) { return s->groupCountOfType(1); }) << -1;
    QTest::newRow("setExamCount") << Operation([](SqliteClass *s) { return s->setExamCount(1, 3); }) << -1;
    QTest::newRow("setChapterChosen") << Operation([](SqliteClass *s) { return s->setChapterChosen(1, 1); }) << -1;
    QTest::newRow("readSysConfig") << Operation([](SqliteClass *s) {
        QString value;
        QString memo;
        return s->readSysConfig(QStringLiteral("sysTypeISN"), value, memo);
    }) << -1;
    QTest::newRow("updateSysConfig")
        << Operation([](SqliteClass *s) { return s->updateSysConfig(QStringLiteral("k"), QStringLiteral("v")); }) << -1;
    QTest::newRow("readConfigTable")
        << Operation([](SqliteClass *s) { SqliteData *r = nullptr; return s->readConfigTable(QStringLiteral("ExamTime"), r); })
        << -1;
    QTest::newRow("examRecordList reports the failure")
        << Operation([](SqliteClass *s) { Owned<SqliteData> list; return s->examRecordList(list, 1); }) << -1;
    QTest::newRow("readExamRecord") << Operation([](SqliteClass *s) {
        QString report;
        QString counts;
        return s->readExamRecord(1, report, counts);
    }) << -1;
    QTest::newRow("deleteExamRecord") << Operation([](SqliteClass *s) { return s->deleteExamRecord(1); }) << -1;
    QTest::newRow("examOutlineCount") << Operation([](SqliteClass *s) { return s->examOutlineCount(); }) << -1;
    QTest::newRow("examOutlineContent")
        << Operation([](SqliteClass *s) { QString c; return s->examOutlineContent(c, QStringLiteral("00_")); }) << -1;
    QTest::newRow("examOutlineRows")
        << Operation([](SqliteClass *s) { Owned<ExamOutlineData> l; return s->examOutlineRows(l, QStringLiteral("00_")); })
        << -1;
}

void TestSettings::failedStatements()
{
    QFETCH(Operation, operation);
    QFETCH(int, result);

    // A bank file without tables: every statement fails.
    QTemporaryDir empty;
    QCOMPARE(store()->openDatabase(empty.path(), phrase, 0), 1);
    QCOMPARE(store()->execSql(QStringLiteral("marker")), -1);
    QCOMPARE(operation(store()), result);
    // Only operations that ran a statement replace the error text.
    QCOMPARE(store()->lastErrorText().contains(QStringLiteral("marker")), result == 0);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings_bank.moc"
