#include "ExamSection.h"
#include "FixtureBank.h"
#include "MainQuestion.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QScopeGuard>
#include <QSet>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

// Rows on top of the standard fixture. Only chapters 500 and 600 are chosen
// for simulated exams:
//   500: group 501 of type 1 with questions 6001-6030 (answered wrong in the
//        bank, two options each) and the deleted 6031; group 502 of type 1
//        whose only question is deleted.
//   600: groups 601-603 of type 4 with questions 80g1 (ord 3), 80g2 (ord 1),
//        80g3 (ord 2) and the deleted 80g4; group 604 of type 4, all deleted.
//   700 (not chosen): groups 701-703 of type 7, so the bank has four.
// Paper 1 gets groups of types 6 and 1 besides its types 1 and 3.
const char *const drawRows[] = {
    "UPDATE tCate SET choose = '0'",
    "INSERT INTO tCate (cateId, cateName, faId, ord, choose) VALUES"
    " (500, 'A1 chapter', 0, 10, '1'), (600, 'A4 chapter', 0, 11, '1'),"
    " (700, 'B1 chapter', 0, 12, '0')",
    "INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) VALUES"
    " (501, 500, 1, '', 1), (502, 500, 1, '', 2),"
    " (601, 600, 4, 'stem 601', 1), (602, 600, 4, 'stem 602', 2), (603, 600, 4, 'stem 603', 3),"
    " (604, 600, 4, 'stem 604', 4),"
    " (701, 700, 7, 'options 701', 1), (702, 700, 7, 'options 702', 2),"
    " (703, 700, 7, 'options 703', 3)",
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30)"
    " INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, userStatus,"
    " userAnswer, userTime) SELECT 6000 + i, 501, 'question ' || i, 'A', 'why ' || i, '0', i,"
    " '2', 'B', '2015-10-01 08:00:00' FROM n",
    "INSERT INTO tQueOpt (optName, optText, queId)"
    " SELECT 'A', 'yes', queId FROM tQue WHERE cateListId = 501"
    " UNION ALL SELECT 'B', 'no', queId FROM tQue WHERE cateListId = 501",
    "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord) VALUES"
    " (6031, 501, 'deleted', 'A', '1', 31), (6040, 502, 'deleted', 'A', '1', 1)",
    "WITH RECURSIVE g(id) AS (SELECT 601 UNION ALL SELECT id + 1 FROM g WHERE id < 604)"
    " INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus, userAnswer)"
    " SELECT 8000 + (id - 600) * 10 + 1, id, 'third', 'A', CASE id WHEN 604 THEN '1' ELSE '0' END, 3, '1', 'A' FROM g"
    " UNION ALL SELECT 8000 + (id - 600) * 10 + 2, id, 'first', 'A', CASE id WHEN 604 THEN '1' ELSE '0' END, 1, '1', 'A' FROM g"
    " UNION ALL SELECT 8000 + (id - 600) * 10 + 3, id, 'second', 'A', CASE id WHEN 604 THEN '1' ELSE '0' END, 2, '1', 'A' FROM g"
    " UNION ALL SELECT 8000 + (id - 600) * 10 + 4, id, 'deleted', 'A', '1', 4, '1', 'A' FROM g",
    "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord) VALUES"
    " (7011, 701, 'b1 one', 'A', '0', 1), (7012, 701, 'b1 two', 'B', '0', 2),"
    " (7021, 702, 'b1 three', 'C', '0', 1), (7031, 703, 'b1 four', 'D', '0', 1)",
    "INSERT INTO ytCateList (cateListId, cateId, queTypeId, publicQueText) VALUES"
    " (206, 1, 6, ''), (207, 1, 1, '')",
};

// Every list that sendTalkQuesion hands over, in order; deletes the records.
class Emissions
{
public:
    explicit Emissions(SqliteClass *store)
        : connection(QObject::connect(store, &SqliteClass::sendTalkQuesion,
                                      [this](int type, const QList<MainQuestion *> &list) {
                                          types.append(type);
                                          lists.append(list);
                                      }))
    {
    }
    ~Emissions()
    {
        QObject::disconnect(connection);
        for (const QList<MainQuestion *> &list : qAsConst(lists))
            qDeleteAll(list);
    }
    Emissions(const Emissions &) = delete;
    Emissions &operator=(const Emissions &) = delete;

    QList<MainQuestion *> all() const
    {
        QList<MainQuestion *> records;
        for (const QList<MainQuestion *> &list : lists)
            records += list;
        return records;
    }

    QList<int> types;
    QList<QList<MainQuestion *>> lists;

private:
    QMetaObject::Connection connection;
};

} // namespace

class TestDraws : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chosenQuestions_data();
    void chosenQuestions();
    void chosenGroupsStayTogether_data();
    void chosenGroupsStayTogether();
    void failedDrawStatement_data();
    void failedDrawStatement();
    void wholeBankGroups();
    void wholeBankQuestions_data();
    void wholeBankQuestions();
    void deletedQuestionsAreNotDrawn_data();
    void deletedQuestionsAreNotDrawn();
    void typeWithoutGroupsEmitsNothing_data();
    void typeWithoutGroupsEmitsNothing();
    void paperPart();
    void paperQuestionTypes();
    void paperChapters_data();
    void paperChapters();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    static int count(const QString &sql);
    // Every record holds one unanswered question with its options.
    static void verifyDrawnRecord(const MainQuestion *record, int queTypeId);

    std::unique_ptr<FixtureBank> bank;
};

int TestDraws::count(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

void TestDraws::verifyDrawnRecord(const MainQuestion *record, int queTypeId)
{
    QCOMPARE(record->queTypeId, queTypeId);
    QVERIFY(record->queType);
    QCOMPARE(record->queType->queTypeId, queTypeId);
    MainQuestion kind;
    kind.setQueType(queTypeId);
    QCOMPARE(record->kind, kind.kind);
    QCOMPARE(record->questions.size(), 1);
    const QuestionData *question = record->questions.first();
    QVERIFY(question->queId != 0);
    QVERIFY(!question->queText.isEmpty());
    QCOMPARE(question->userStatus, 0);
    QVERIFY(question->userAnswer.isEmpty());
    QCOMPARE(question->options.size(),
             count(QStringLiteral("select count(*) from tQueOpt where queId = %1")
                       .arg(question->queId)));
}

void TestDraws::init()
{
    bank = std::make_unique<FixtureBank>();
    for (const char *sql : drawRows)
        bank->addSql(QString::fromUtf8(sql));
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
}

void TestDraws::cleanup()
{
    store()->closeDatabase();
    bank.reset();
}

void TestDraws::chosenQuestions_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<int>("drawn");
    QTest::newRow("more asked than there are") << 50 << true << 30;
    QTest::newRow("fewer asked") << 10 << true << 10;
    QTest::newRow("none asked") << 0 << true << 0;
    QTest::newRow("no chapter chosen") << 50 << false << 0;
}

void TestDraws::chosenQuestions()
{
    QFETCH(int, count);
    QFETCH(bool, chosen);
    QFETCH(int, drawn);
    if (!chosen)
        QCOMPARE(store()->execSql(QStringLiteral("update tCate set choose = '0'")), 0);

    Emissions emitted(store());
    QCOMPARE(store()->drawExamQuestions(count, 1), 0);
    QCOMPARE(emitted.types, QList<int>{1});
    const QList<MainQuestion *> records = emitted.lists.first();
    QCOMPARE(records.size(), drawn);
    QSet<int> ids;
    for (const MainQuestion *record : records) {
        verifyDrawnRecord(record, 1);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(record->cateId, 500);
        QCOMPARE(record->cateListId, 501);
        const QuestionData *question = record->questions.first();
        QVERIFY2(question->queId > 6000 && question->queId <= 6030,
                 qPrintable(QString::number(question->queId)));
        QCOMPARE(question->queText,
                 QStringLiteral("question %1").arg(question->queId - 6000));
        QCOMPARE(question->prompt, QStringLiteral("why %1").arg(question->queId - 6000));
        ids.insert(question->queId);
    }
    QCOMPARE(ids.size(), drawn);
}

void TestDraws::chosenGroupsStayTogether_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("maxGroups");
    QTest::newRow("two groups") << 2 << 2;
    // Group 604 has no undeleted question, so only three groups give any.
    QTest::newRow("all groups") << 10 << 3;
    QTest::newRow("none") << 0 << 0;
}

void TestDraws::chosenGroupsStayTogether()
{
    QFETCH(int, count);
    QFETCH(int, maxGroups);

    Emissions emitted(store());
    QCOMPARE(store()->drawExamQuestions(count, 4), 0);
    QCOMPARE(emitted.types, QList<int>{4});
    const QList<MainQuestion *> records = emitted.lists.first();

    QList<int> groups;
    QStringList texts;
    for (const MainQuestion *record : records) {
        verifyDrawnRecord(record, 4);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(record->cateId, 600);
        QCOMPARE(record->publicQueText, QStringLiteral("stem %1").arg(record->cateListId));
        QCOMPARE(record->questions.first()->cateListId, record->cateListId);
        if (groups.isEmpty() || groups.last() != record->cateListId)
            groups.append(record->cateListId);
        texts.append(record->questions.first()->queText);
    }
    QVERIFY(groups.size() <= maxGroups);
    if (count >= 3)
        QCOMPARE(groups.size(), maxGroups);
    QCOMPARE(QSet<int>(groups.cbegin(), groups.cend()).size(), groups.size()); // consecutive
    QVERIFY(!groups.contains(604));
    QStringList expected;
    for (int i = 0; i < groups.size(); ++i)
        expected << QStringLiteral("first") << QStringLiteral("second") << QStringLiteral("third");
    QCOMPARE(texts, expected);
}

void TestDraws::failedDrawStatement_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::newRow("questions") << 1;
    QTest::newRow("groups") << 4;
}

void TestDraws::failedDrawStatement()
{
    QFETCH(int, queTypeId);
    QCOMPARE(store()->execSql(QStringLiteral("drop table tCateList")), 0);
    Emissions emitted(store());

    // The simulated exam still gets its (empty) part; the whole-bank draws
    // emit nothing.
    QCOMPARE(store()->drawExamQuestions(5, queTypeId), -1);
    QCOMPARE(emitted.types, QList<int>{queTypeId});
    QVERIFY(emitted.lists.first().isEmpty());
    QVERIFY(store()->lastErrorText().contains(QStringLiteral("tCateList")));
    QCOMPARE(store()->drawRandomGroups(5, queTypeId), -1);
    QCOMPARE(store()->drawRandomQuestions(5, queTypeId), -1);
    QCOMPARE(emitted.types.size(), 1);
}

void TestDraws::wholeBankGroups()
{
    // Chapter choice does not matter here: 106 and 701-703.
    Emissions emitted(store());
    QCOMPARE(store()->drawRandomGroups(10, 7), 0);
    QCOMPARE(emitted.types, (QList<int>{7, 7, 7, 7}));
    QMap<int, int> sizes;
    for (const QList<MainQuestion *> &list : qAsConst(emitted.lists)) {
        QVERIFY(!list.isEmpty());
        for (const MainQuestion *record : list) {
            verifyDrawnRecord(record, 7);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(record->cateListId, list.first()->cateListId);
        }
        sizes.insert(list.first()->cateListId, list.size());
    }
    const QMap<int, int> expected{{106, 2}, {701, 2}, {702, 1}, {703, 1}};
    QCOMPARE(sizes, expected);
}

void TestDraws::wholeBankQuestions_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("drawn"); // -1: every undeleted type-1 question
    QTest::newRow("some") << 5 << 5;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("more than there are") << 1000 << -1;
}

void TestDraws::wholeBankQuestions()
{
    QFETCH(int, count);
    QFETCH(int, drawn);
    if (drawn < 0) {
        drawn = TestDraws::count(QStringLiteral(
            "select count(*) from tQue where IsDel != '1' and cateListId in "
            "(select cateListId from tCateList where queTypeId = 1)"));
        QVERIFY(drawn > 30);
    }

    Emissions emitted(store());
    QCOMPARE(store()->drawRandomQuestions(count, 1), 0);
    QCOMPARE(emitted.lists.size(), drawn);
    QSet<int> ids;
    for (const QList<MainQuestion *> &list : qAsConst(emitted.lists)) {
        QCOMPARE(list.size(), 1);
        verifyDrawnRecord(list.first(), 1);
        if (QTest::currentTestFailed())
            return;
        ids.insert(list.first()->questions.first()->queId);
    }
    QCOMPARE(ids.size(), drawn);
    QCOMPARE(emitted.types.count(1), drawn);
}

void TestDraws::deletedQuestionsAreNotDrawn_data()
{
    QTest::addColumn<bool>("chosenOnly");
    QTest::newRow("simulated exam") << true;
    QTest::newRow("whole bank") << false;
}

// One undeleted type-1 question among several dozen deleted ones: a draw of
// one question finds it every time, however the deleted ones fall.
void TestDraws::deletedQuestionsAreNotDrawn()
{
    QFETCH(bool, chosenOnly);
    QCOMPARE(store()->execSql(QStringLiteral(
                 "update tQue set IsDel = '1' where queId != 6001 and cateListId in "
                 "(select cateListId from tCateList where queTypeId = 1)")),
             0);
    QVERIFY(count(QStringLiteral("select count(*) from tQue where IsDel = '1' and cateListId in "
                                 "(select cateListId from tCateList where queTypeId = 1)"))
            > 30);

    for (int round = 0; round < 20; ++round) {
        Emissions emitted(store());
        QCOMPARE(chosenOnly ? store()->drawExamQuestions(1, 1) : store()->drawRandomQuestions(1, 1), 0);
        const QList<MainQuestion *> records = emitted.all();
        QCOMPARE(records.size(), 1);
        verifyDrawnRecord(records.first(), 1);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(records.first()->questions.first()->queId, 6001);
    }
}

void TestDraws::typeWithoutGroupsEmitsNothing_data()
{
    QTest::addColumn<bool>("groups");
    QTest::newRow("group draw") << true;
    QTest::newRow("question draw") << false;
}

void TestDraws::typeWithoutGroupsEmitsNothing()
{
    QFETCH(bool, groups);
    Emissions emitted(store());
    QCOMPARE(groups ? store()->drawRandomGroups(10, 5) : store()->drawRandomQuestions(10, 5), 0);
    QVERIFY(emitted.types.isEmpty());
}

void TestDraws::paperPart()
{
    Emissions emitted(store());
    QCOMPARE(store()->loadPaperQuestions(1, 3), 0);
    QCOMPARE(emitted.types, QList<int>{3});
    const QList<MainQuestion *> records = emitted.lists.first();
    QList<int> ids;
    for (const MainQuestion *record : records) {
        QCOMPARE(record->cateListId, 202);
        QCOMPARE(record->cateId, 1);
        QCOMPARE(record->queTypeId, 3);
        QCOMPARE(record->publicQueText, QStringLiteral("女，45岁，反复上腹痛5年。"));
        QCOMPARE(record->questions.size(), 1);
        QCOMPARE(record->questions.first()->userStatus, 0);
        QCOMPARE(record->questions.first()->options.size(), 5);
        ids.append(record->questions.first()->queId);
    }
    QCOMPARE(ids, (QList<int>{5003, 5002}));
}

void TestDraws::paperQuestionTypes()
{
    QList<ExamSection *> sections;
    QCOMPARE(store()->paperQuestionTypes(sections, 1), 0);
    const auto cleanupSections = qScopeGuard([&] { qDeleteAll(sections); });
    QList<int> types;
    for (const ExamSection *section : qAsConst(sections)) {
        types.append(section->queTypeId);
        QSqlQuery query(QSqlDatabase::database());
        query.prepare(QStringLiteral("select queTypeName, memo from tQueType where queTypeId = ?"));
        query.addBindValue(section->queTypeId);
        QVERIFY(query.exec() && query.next());
        QCOMPARE(section->name, query.value(0).toString());
        QCOMPARE(section->description, query.value(1).toString());
        QCOMPARE(section->count, 0);
        QVERIFY(section->questions.isEmpty());
    }
    QCOMPARE(types, (QList<int>{1, 3, 6}));
}

void TestDraws::paperChapters_data()
{
    QTest::addColumn<int>("hType");
    QTest::addColumn<QStringList>("papers"); // "id name", in order
    QTest::newRow("every variant")
        << 0
        << QStringList{QStringLiteral("2 预测试卷二"), QStringLiteral("1 预测试卷一"),
                       QStringLiteral("3 预测试卷三")};
    QTest::newRow("variant 1") << 1
                               << QStringList{QStringLiteral("1 预测试卷一"),
                                              QStringLiteral("3 预测试卷三")};
    QTest::newRow("variant 2") << 2 << QStringList{QStringLiteral("2 预测试卷二")};
    QTest::newRow("no such variant") << 9 << QStringList();
}

void TestDraws::paperChapters()
{
    QFETCH(int, hType);
    QFETCH(QStringList, papers);
    QList<SqliteData *> rows;
    QCOMPARE(store()->paperChapters(rows, 0, hType), 0);
    const auto cleanupRows = qScopeGuard([&] { qDeleteAll(rows); });
    QStringList listed;
    for (const SqliteData *row : qAsConst(rows))
        listed.append(row->text0 + QLatin1Char(' ') + row->text1);
    QCOMPARE(listed, papers);
}

QTEST_GUILESS_MAIN(TestDraws)
#include "tst_draws.moc"
