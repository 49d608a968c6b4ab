#include "FixtureBank.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// Chapters under the missing parent 700: 701 holds a deleted question that
// was answered right and one whose userStatus is NULL; 702 an answered
// question whose IsDel is NULL. Neither answer may count anywhere.
const QString nullAndDeletedRows = QStringLiteral(
    "INSERT INTO tCate (cateId, cateName, faId, ord, choose) VALUES"
    "  (701, '删除题章节', 700, 1, '1'), (702, '空标记章节', 700, 2, '0');"
    "INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) VALUES"
    "  (7011, 701, 1, '', 1), (7021, 702, 1, '', 1);"
    "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, userStatus, userTime) VALUES"
    "  (70011, 7011, '已删除且答对', 'A', '1', '1', '2016-01-01 00:00:00'),"
    "  (70012, 7011, '状态为空', 'A', '0', NULL, NULL),"
    "  (70021, 7021, '删除标记为空', 'A', NULL, '1', '2016-01-02 00:00:00');");

// Chapters 601 to 611, each with one question answered a second after the
// one before, all later than every answer of the fixture.
QString elevenAnsweredChapters()
{
    QString sql;
    for (int i = 1; i <= 11; ++i)
        sql += QStringLiteral("INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (%1, '章节%2', 600, %2);"
                              "INSERT INTO tCateList (cateListId, cateId, queTypeId) VALUES (%1, %1, 1);"
                              "INSERT INTO tQue (queId, cateListId, queText, IsDel, userStatus, userTime) "
                              "VALUES (%1, %1, '题', '0', '2', '2016-01-01 00:00:%3');")
                   .arg(600 + i)
                   .arg(i)
                   .arg(i, 2, 10, QLatin1Char('0'));
    return sql;
}

bool openInStore(FixtureBank &bank)
{
    return bank.open() && SqliteClass::instance()->openDatabase(bank.path(), phrase, 0) == 2;
}

QDateTime timeOf(const QString &text)
{
    return text.isEmpty() ? QDateTime() : QDateTime::fromString(text, timeFormat);
}

// Deletes the records a test received, also when a failed check ends it early.
struct OwnedRecords : QList<SqliteData *>
{
    OwnedRecords() = default;
    OwnedRecords(const OwnedRecords &) = delete;
    OwnedRecords &operator=(const OwnedRecords &) = delete;
    ~OwnedRecords() { qDeleteAll(*this); }
};

using Operation = std::function<int(SqliteClass *)>;

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestChapters : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chapterCounts_data();
    void chapterCounts();
    void wholeBankCounts();
    void namesAndTexts_data();
    void namesAndTexts();
    void lastSiblingChapterId_data();
    void lastSiblingChapterId();
    void nextChapterSummary_data();
    void nextChapterSummary();
    void childChapters_data();
    void childChapters();
    void childChaptersWithStatsKeepsRowsBeforeFailure();
    void recentChapters_data();
    void recentChapters();
    void failedStatements_data();
    void failedStatements();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    // The standard fixture with nullAndDeletedRows, open in the store.
    std::unique_ptr<FixtureBank> bank;
};

void TestChapters::init()
{
    bank = std::make_unique<FixtureBank>();
    bank->addSql(nullAndDeletedRows);
    QVERIFY2(openInStore(*bank), qPrintable(bank->error() + store()->lastErrorText()));
}

void TestChapters::cleanup()
{
    store()->closeDatabase();
    bank.reset();
}

void TestChapters::chapterCounts_data()
{
    QTest::addColumn<int>("cateId");
    QTest::addColumn<QString>("name"); // empty: the chapter is absent
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("lastAnswer");

    QTest::newRow("set, wrong answers and a deleted right one")
        << 111 << QStringLiteral("呼吸练习一") << 8 << 6 << 4 << QStringLiteral("2015-10-05 12:00:00");
    QTest::newRow("set answered only wrong")
        << 112 << QStringLiteral("呼吸练习二") << 6 << 2 << 0 << QStringLiteral("2015-10-07 14:00:00");
    QTest::newRow("set with a deleted question")
        << 121 << QStringLiteral("循环练习一") << 2 << 1 << 1 << QStringLiteral("2015-10-08 15:00:00");
    QTest::newRow("section with only sub-chapters") << 11 << QStringLiteral("呼吸系统") << 0 << 0 << 0 << QString();
    QTest::newRow("section without sets") << 13 << QStringLiteral("空小节") << 0 << 0 << 0 << QString();
    QTest::newRow("top-level chapter") << 1 << QStringLiteral("内科学") << 0 << 0 << 0 << QString();
    QTest::newRow("chapter under a set") << 1111 << QStringLiteral("第四层") << 1 << 0 << 0 << QString();
    QTest::newRow("deleted answer and NULL status") << 701 << QStringLiteral("删除题章节") << 1 << 0 << 0 << QString();
    QTest::newRow("NULL deleted flag") << 702 << QStringLiteral("空标记章节") << 0 << 0 << 0 << QString();
    QTest::newRow("absent chapter") << 4242 << QString() << 0 << 0 << 0 << QString();
}

void TestChapters::chapterCounts()
{
    QFETCH(int, cateId);
    QFETCH(QString, name);
    QFETCH(int, questions);
    QFETCH(int, done);
    QFETCH(int, right);
    QFETCH(QString, lastAnswer);

    QCOMPARE(store()->chapterQuestionCount(cateId), questions);
    QCOMPARE(store()->chapterDoneCount(cateId), done);
    QCOMPARE(store()->chapterRightCount(cateId), right);
    // A time held before is replaced, by a null one when nothing was answered.
    QDateTime time = QDateTime::currentDateTime();
    QCOMPARE(store()->chapterLastAnswerTime(time, cateId), 0);
    QCOMPARE(time, timeOf(lastAnswer));
    QCOMPARE(time.isNull(), lastAnswer.isEmpty());

    SqliteData untouched;
    SqliteData *record = &untouched;
    QCOMPARE(store()->chapterSummary(record, cateId), 0);
    if (name.isEmpty()) {
        QCOMPARE(record, &untouched);
        return;
    }
    QVERIFY(record != &untouched);
    const std::unique_ptr<SqliteData> summary(record);
    QCOMPARE(summary->text0, QString::number(cateId));
    QCOMPARE(summary->text1, name);
    QCOMPARE(summary->text2, QString::number(questions));
    QCOMPARE(summary->text3, QString::number(right));
    QCOMPARE(summary->text4, QString::number(done));
    QCOMPARE(summary->dateTime, timeOf(lastAnswer));
    QVERIFY(summary->text5.isEmpty() && summary->text6.isEmpty() && summary->text7.isEmpty());
}

void TestChapters::wholeBankCounts()
{
    // tQue alone: the question of the missing group 998 and the one of the
    // missing chapter 999 count; deleted, NULL-flagged and NULL-status
    // answers do not.
    QCOMPARE(store()->questionCount(), 22);
    QCOMPARE(store()->doneCount(), 10);
    QCOMPARE(store()->rightCount(), 6);
}

void TestChapters::namesAndTexts_data()
{
    QTest::addColumn<bool>("question");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("expected");

    const QString kept = QStringLiteral("原值");
    QTest::newRow("chapter") << false << 112 << QStringLiteral("呼吸练习二");
    QTest::newRow("absent chapter") << false << 4242 << kept;
    QTest::newRow("question") << true << 1003 << QStringLiteral("最可能的诊断是");
    QTest::newRow("deleted question") << true << 1006 << QStringLiteral("已删除的题目");
    QTest::newRow("absent question") << true << 4242 << kept;
}

void TestChapters::namesAndTexts()
{
    QFETCH(bool, question);
    QFETCH(int, id);
    QFETCH(QString, expected);

    QString text = QStringLiteral("原值");
    QCOMPARE(question ? store()->questionText(text, id) : store()->chapterName(text, id), 0);
    QCOMPARE(text, expected);
}

void TestChapters::lastSiblingChapterId_data()
{
    QTest::addColumn<int>("cateId");
    QTest::addColumn<int>("lastSibling");

    QTest::newRow("first by ord of two") << 112 << 111;
    QTest::newRow("last by ord of two") << 111 << 111;
    QTest::newRow("first of three top-level") << 2 << 3;
    QTest::newRow("section before an empty one") << 11 << 13;
    QTest::newRow("middle of three top-level") << 1 << 3;
    QTest::newRow("only child") << 1111 << 1111;
    QTest::newRow("parent missing") << 80 << 80;
    QTest::newRow("absent chapter: top level") << 4242 << 3;
}

void TestChapters::lastSiblingChapterId()
{
    QFETCH(int, cateId);
    QFETCH(int, lastSibling);
    QCOMPARE(store()->lastSiblingChapterId(cateId), lastSibling);
}

void TestChapters::nextChapterSummary_data()
{
    QTest::addColumn<int>("cateId");
    QTest::addColumn<int>("nextId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("lastAnswer");

    QTest::newRow("first of three") << 2 << 1 << QStringLiteral("内科学") << 0 << 0 << 0 << QString();
    QTest::newRow("middle of three") << 1 << 3 << QStringLiteral("空章节") << 0 << 0 << 0 << QString();
    QTest::newRow("last of three stays") << 3 << 3 << QStringLiteral("空章节") << 0 << 0 << 0 << QString();
    QTest::newRow("set to the set after it")
        << 112 << 111 << QStringLiteral("呼吸练习一") << 8 << 6 << 4 << QStringLiteral("2015-10-05 12:00:00");
    QTest::newRow("absent chapter: last top-level") << 4242 << 3 << QStringLiteral("空章节") << 0 << 0 << 0 << QString();
}

void TestChapters::nextChapterSummary()
{
    QFETCH(int, cateId);
    QFETCH(int, nextId);
    QFETCH(QString, name);
    QFETCH(int, questions);
    QFETCH(int, done);
    QFETCH(int, right);
    QFETCH(QString, lastAnswer);

    SqliteData given;
    given.text2 = QStringLiteral("two");
    given.text3 = QStringLiteral("three");
    given.text4 = QStringLiteral("four");
    given.dateTime = QDateTime::currentDateTime();
    SqliteData *record = &given;
    QCOMPARE(store()->nextChapterSummary(cateId, record), 0);

    QCOMPARE(record, &given);
    QCOMPARE(given.text0, QString::number(nextId));
    QCOMPARE(given.text1, name);
    QCOMPARE(given.text5, QString::number(questions));
    QCOMPARE(given.text6, QString::number(done));
    QCOMPARE(given.text7, QString::number(right));
    QCOMPARE(given.dateTime, timeOf(lastAnswer));
    QCOMPARE(given.text2, QStringLiteral("two"));
    QCOMPARE(given.text3, QStringLiteral("three"));
    QCOMPARE(given.text4, QStringLiteral("four"));
}

void TestChapters::childChapters_data()
{
    QTest::addColumn<int>("faId");
    QTest::addColumn<QStringList>("children"); // "cateId name choose", by ord

    QTest::newRow("top level")
        << 0 << QStringList{QStringLiteral("2 药理学 0"), QStringLiteral("1 内科学 1"), QStringLiteral("3 空章节 1")};
    QTest::newRow("sections") << 1
                              << QStringList{QStringLiteral("12 循环系统 1"), QStringLiteral("11 呼吸系统 1"),
                                             QStringLiteral("13 空小节 1")};
    QTest::newRow("sets") << 11 << QStringList{QStringLiteral("112 呼吸练习二 1"), QStringLiteral("111 呼吸练习一 1")};
    QTest::newRow("under a missing parent")
        << 700 << QStringList{QStringLiteral("701 删除题章节 1"), QStringLiteral("702 空标记章节 0")};
    QTest::newRow("no children") << 3 << QStringList();
    QTest::newRow("absent parent") << 4242 << QStringList();
}

void TestChapters::childChapters()
{
    QFETCH(int, faId);
    QFETCH(QStringList, children);

    OwnedRecords plain;
    OwnedRecords withChoice;
    OwnedRecords withStats;
    OwnedRecords quick;
    QCOMPARE(store()->childChapters(plain, faId), 0);
    QCOMPARE(store()->childChaptersWithChoice(withChoice, faId), 0);
    QCOMPARE(store()->childChaptersWithStats(withStats, faId), 0);
    const QMetaObject::Connection receiving =
        connect(store(), &SqliteClass::sendQuickQuestionBycateId, this, [&](SqliteData *record) { quick.append(record); });
    const int quickResult = store()->loadQuickBackChapters(faId);
    disconnect(receiving);
    QCOMPARE(quickResult, 0);

    QCOMPARE(plain.size(), children.size());
    QCOMPARE(withChoice.size(), children.size());
    QCOMPARE(withStats.size(), children.size());
    QCOMPARE(quick.size(), children.size());
    for (int i = 0; i < children.size(); ++i) {
        const QStringList expected = children.at(i).split(QLatin1Char(' '));
        for (const SqliteData *record : {plain.at(i), withChoice.at(i), withStats.at(i), quick.at(i)}) {
            QCOMPARE(record->text0, expected.at(0));
            QCOMPARE(record->text1, expected.at(1));
        }
        QVERIFY(plain.at(i)->text7.isEmpty() && quick.at(i)->text7.isEmpty());
        QCOMPARE(withChoice.at(i)->text7, expected.at(2));
        QCOMPARE(withStats.at(i)->text7, expected.at(2));
        QVERIFY(withChoice.at(i)->text2.isEmpty());

        // The per-chapter statements must agree with the one-statement summary.
        SqliteData *summary = nullptr;
        QCOMPARE(store()->chapterSummary(summary, expected.at(0).toInt()), 0);
        QVERIFY(summary);
        const std::unique_ptr<SqliteData> ownedSummary(summary);
        QCOMPARE(withStats.at(i)->text2, summary->text2);
        QCOMPARE(withStats.at(i)->text3, summary->text3);
        QCOMPARE(withStats.at(i)->text4, summary->text4);
        QCOMPARE(withStats.at(i)->dateTime, summary->dateTime);
    }
}

void TestChapters::childChaptersWithStatsKeepsRowsBeforeFailure()
{
    // Three sets under 500; reading the deleted flag of the third set's
    // question raises an engine error, so its first count fails.
    QVERIFY2(bank->exec(QStringLiteral(
                 "INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (501, '甲', 500, 1), (502, '乙', 500, 2),"
                 "  (503, '丙', 500, 3);"
                 "INSERT INTO tCateList (cateListId, cateId, queTypeId) VALUES (5011, 501, 1), (5021, 502, 1),"
                 "  (5031, 503, 1);"
                 "INSERT INTO tQue (queId, cateListId, queText, IsDel, userStatus, userTime) VALUES"
                 "  (50111, 5011, '甲题', '0', '1', '2016-02-01 00:00:00'), (50211, 5021, '乙题', '0', '0', NULL),"
                 "  (50311, 5031, '丙题', '0', '0', NULL);"
                 "ALTER TABLE tQue RENAME TO tQueRows;"
                 "CREATE VIEW tQue AS SELECT queId, cateListId, queText, answer, prompt,"
                 "  CASE WHEN cateListId = 5031 THEN abs(cateListId - cateListId - 9223372036854775807 - 1)"
                 "  ELSE IsDel END AS IsDel, ord, userStatus, userAnswer, userTime, userFav, userNote FROM tQueRows;")),
             qPrintable(bank->error()));

    OwnedRecords list;
    QCOMPARE(store()->childChaptersWithStats(list, 500), -1);
    QVERIFY2(store()->lastErrorText().contains(QStringLiteral("integer overflow")), qPrintable(store()->lastErrorText()));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0)->text0, QStringLiteral("501"));
    QCOMPARE(list.at(0)->text2, QStringLiteral("1"));
    QCOMPARE(list.at(0)->text3, QStringLiteral("1"));
    QCOMPARE(list.at(0)->text4, QStringLiteral("1"));
    QCOMPARE(list.at(0)->dateTime, timeOf(QStringLiteral("2016-02-01 00:00:00")));
    QCOMPARE(list.at(1)->text0, QStringLiteral("502"));
    QCOMPARE(list.at(1)->text4, QStringLiteral("0"));
}

void TestChapters::recentChapters_data()
{
    QTest::addColumn<QString>("extraSql");
    QTest::addColumn<QStringList>("expected"); // "cateId|cateName|queId|faId|time"

    const QStringList fixture{
        QStringLiteral("211|药代练习一|1020|21|2015-10-09 16:00:00"),
        QStringLiteral("121|循环练习一|1018|12|2015-10-08 15:00:00"),
        QStringLiteral("112|呼吸练习二|1011|11|2015-10-07 14:00:00"),
        QStringLiteral("111|呼吸练习一|1008|11|2015-10-05 12:00:00"),
    };
    QTest::newRow("fixture") << QString() << fixture;

    QStringList fifteen;
    for (int i = 11; i >= 1; --i)
        fifteen << QStringLiteral("%1|章节%2|%1|600|2016-01-01 00:00:%3").arg(600 + i).arg(i).arg(i, 2, 10, QLatin1Char('0'));
    fifteen << fixture.first();
    QTest::newRow("fifteen answered chapters") << elevenAnsweredChapters() << fifteen;

    QTest::newRow("nothing answered") << QStringLiteral("UPDATE tQue SET userStatus = '0';") << QStringList();
}

void TestChapters::recentChapters()
{
    QFETCH(QString, extraSql);
    QFETCH(QStringList, expected);

    QVERIFY2(extraSql.isEmpty() || bank->exec(extraSql), qPrintable(bank->error()));

    OwnedRecords list;
    QCOMPARE(store()->recentChapters(list), 0);
    QStringList rows;
    for (const SqliteData *record : qAsConst(list)) {
        QVERIFY(record->dateTime.isValid());
        rows << QStringList{record->text0, record->text1, record->text2, record->text3,
                            record->dateTime.toString(timeFormat)}
                    .join(QLatin1Char('|'));
    }
    QCOMPARE(rows, expected);
}

void TestChapters::failedStatements_data()
{
    QTest::addColumn<Operation>("operation");

    QTest::newRow("chapterName") << Operation([](SqliteClass *s) { QString t; return s->chapterName(t, 111); });
    QTest::newRow("questionText") << Operation([](SqliteClass *s) { QString t; return s->questionText(t, 1001); });
    QTest::newRow("lastSiblingChapterId") << Operation([](SqliteClass *s) { return s->lastSiblingChapterId(111); });
    QTest::newRow("chapterQuestionCount") << Operation([](SqliteClass *s) { return s->chapterQuestionCount(111); });
    QTest::newRow("chapterDoneCount") << Operation([](SqliteClass *s) { return s->chapterDoneCount(111); });
    QTest::newRow("chapterRightCount") << Operation([](SqliteClass *s) { return s->chapterRightCount(111); });
    QTest::newRow("questionCount") << Operation([](SqliteClass *s) { return s->questionCount(); });
    QTest::newRow("doneCount") << Operation([](SqliteClass *s) { return s->doneCount(); });
    QTest::newRow("rightCount") << Operation([](SqliteClass *s) { return s->rightCount(); });
    QTest::newRow("chapterLastAnswerTime")
        << Operation([](SqliteClass *s) { QDateTime t; return s->chapterLastAnswerTime(t, 111); });
    QTest::newRow("chapterSummary")
        << Operation([](SqliteClass *s) { SqliteData *record = nullptr; return s->chapterSummary(record, 111); });
    QTest::newRow("nextChapterSummary") << Operation([](SqliteClass *s) {
        SqliteData given;
        SqliteData *record = &given;
        return s->nextChapterSummary(112, record);
    });
    QTest::newRow("childChapters")
        << Operation([](SqliteClass *s) { OwnedRecords list; return s->childChapters(list, 11); });
    QTest::newRow("childChaptersWithChoice")
        << Operation([](SqliteClass *s) { OwnedRecords list; return s->childChaptersWithChoice(list, 11); });
    QTest::newRow("childChaptersWithStats")
        << Operation([](SqliteClass *s) { OwnedRecords list; return s->childChaptersWithStats(list, 11); });
    QTest::newRow("loadQuickBackChapters") << Operation([](SqliteClass *s) { return s->loadQuickBackChapters(11); });
    QTest::newRow("recentChapters")
        << Operation([](SqliteClass *s) { OwnedRecords list; return s->recentChapters(list); });
}

void TestChapters::failedStatements()
{
    QFETCH(Operation, operation);
    // A bank file without tables: every statement fails.
    QTemporaryDir empty;
    QCOMPARE(store()->openDatabase(empty.path(), phrase, 0), 1);
    QCOMPARE(store()->execSql(QStringLiteral("marker")), -1);
    QCOMPARE(operation(store()), -1);
    QVERIFY2(!store()->lastErrorText().contains(QStringLiteral("marker")), qPrintable(store()->lastErrorText()));
}

QTEST_GUILESS_MAIN(TestChapters)
#include "tst_chapters.moc"
