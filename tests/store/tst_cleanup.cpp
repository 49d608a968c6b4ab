#include "FixtureBank.h"
#include "LogCapture.h"
#include "SqliteClass.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

// Rows of a query on the store's own connection, one text per row.
QStringList column(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    QStringList values;
    if (!query.exec(sql))
        qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        values << row.join(QLatin1Char('|'));
    }
    return values;
}

int count(const QString &sql)
{
    return column(sql).value(0).toInt();
}

QStringList idList(const QList<int> &ids)
{
    QStringList texts;
    for (int id : ids)
        texts << QString::number(id);
    return texts;
}

const QString orphanGroups = QStringLiteral("select count(*) from tCateList where cateId not in (select cateId from tCate)");
const QString questionsWithoutGroup = QStringLiteral(
    "select count(*) from tQue as a left join tCateList as b on a.cateListId = b.cateListId where b.cateId is null");
const QString optionsWithoutGroup = QStringLiteral(
    "select count(*) from tQueOpt where queId in (select a.queId from tQue as a left join tCateList as b"
    " on a.cateListId = b.cateListId where b.cateId is null)");

// The user's columns of the questions of set 111, which has six groups.
const QString setRecords = QStringLiteral(
    "select userStatus, userAnswer, userTime, userFav, userNote from tQue"
    " where cateListId in (101, 102, 103, 104, 105, 106) order by queId");

} // namespace

class TestCleanup : public QObject
{
    Q_OBJECT

private slots:
    void removeBrokenChapters_data();
    void removeBrokenChapters();
    void failedDeleteKeepsTree();
    void removeOrphanRows_data();
    void removeOrphanRows();
    void unknownStepDoesNothing_data();
    void unknownStepDoesNothing();
    void failedStepRollsBack();
    void clearChapterRecords_data();
    void clearChapterRecords();
    void clearingReportsEachGroup();
    void failedClearingRollsBack();
    void clearingNodeWithoutGroups();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    bool openBank(FixtureBank &bank)
    {
        return bank.open() && store()->openDatabase(bank.path(), phrase, 0) == 2;
    }
};

void TestCleanup::removeBrokenChapters_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QList<int>>("logged");

    // The fixture: 3 is a childless chapter, 13 a childless section, 80's
    // parent is missing and 1111 lies on level 4.
    const QList<int> fixture = {3, 13, 80, 1111};
    const QList<int> fixtureLogged = {3, 13};
    QTest::newRow("fixture tree") << QString() << fixture << fixtureLogged;
    QTest::newRow("childless section; its chapter stays")
        << QStringLiteral("INSERT INTO tCate (cateId, cateName, faId) VALUES (4, '章', 0), (41, '节', 4);")
        << (fixture + QList<int>{41}) << (fixtureLogged + QList<int>{41});
    QTest::newRow("question set without groups stays")
        << QStringLiteral("INSERT INTO tCate (cateId, cateName, faId) VALUES (5, '章', 0), (51, '节', 5),"
                          " (511, '练习', 51);")
        << fixture << fixtureLogged;
    QTest::newRow("grandparent missing")
        << QStringLiteral("INSERT INTO tCate (cateId, cateName, faId) VALUES (70, '断', 69), (701, '下', 70),"
                          " (7011, '再下', 701);")
        << (fixture + QList<int>{70, 701, 7011}) << fixtureLogged;
}

void TestCleanup::removeBrokenChapters()
{
    QFETCH(QString, sql);
    QFETCH(QList<int>, deleted);
    QFETCH(QList<int>, logged);

    FixtureBank bank;
    if (!sql.isEmpty())
        bank.addSql(sql);
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    QStringList expected = column(QStringLiteral("select cateId from tCate order by cateId"));
    for (const QString &id : idList(deleted))
        QVERIFY(expected.removeOne(id));

    LogCapture log;
    QCOMPARE(store()->removeBrokenChapters(), 0);

    QCOMPARE(column(QStringLiteral("select cateId from tCate order by cateId")), expected);
    QStringList lines = log.lines().filter(QStringLiteral("delete:cateId"));
    QStringList expectedLines;
    for (const QString &id : idList(logged))
        expectedLines << QStringLiteral("delete:cateId ") + id;
    for (QString &line : lines)
        line = line.trimmed();
    lines.sort();
    expectedLines.sort();
    QCOMPARE(lines, expectedLines);
}

void TestCleanup::failedDeleteKeepsTree()
{
    FixtureBank bank;
    bank.addSql(QStringLiteral("CREATE TRIGGER keepDeep BEFORE DELETE ON tCate WHEN old.cateId = 1111"
                               " BEGIN SELECT RAISE(ABORT, 'kept'); END;"));
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    const QStringList before = column(QStringLiteral("select * from tCate order by cateId"));

    LogCapture log;
    QCOMPARE(store()->removeBrokenChapters(), -1);

    // 3, 13 and 80 went before 1111 failed; they are back.
    QCOMPARE(column(QStringLiteral("select * from tCate order by cateId")), before);
    QVERIFY(store()->lastErrorText().contains(QStringLiteral("delete  from tCate where cateId='1111' :")));
    QVERIFY(log.contains(QStringLiteral("delete  from tCate where cateId='1111' :")));
}

void TestCleanup::removeOrphanRows_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("orphans");

    QTest::newRow("1: groups of missing nodes") << 1 << orphanGroups;
    QTest::newRow("2: options of questions without a group") << 2 << optionsWithoutGroup;
    QTest::newRow("3: questions without a group") << 3 << questionsWithoutGroup;
}

void TestCleanup::removeOrphanRows()
{
    QFETCH(int, steps);
    QFETCH(QString, orphans);

    FixtureBank bank;
    // A group without a node id leaves its question without a group too.
    bank.addSql(QStringLiteral("INSERT INTO tCateList (cateListId, cateId, queTypeId) VALUES (119, NULL, 1);"
                               "INSERT INTO tQue (queId, cateListId, queText) VALUES (1023, 119, '无章节组');"
                               "INSERT INTO tQueOpt (optName, optText, queId) VALUES ('A', '甲', 1023);"));
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    QVERIFY(count(orphans) > 0);
    const int groups = count(QStringLiteral("select count(*) from tCateList"));
    const int questions = count(QStringLiteral("select count(*) from tQue"));
    const int options = count(QStringLiteral("select count(*) from tQueOpt"));
    const int removedOptions = count(optionsWithoutGroup);

    for (int step = 1; step <= steps; ++step)
        QCOMPARE(store()->removeOrphanRows(step), 0);

    QCOMPARE(count(orphans), 0);
    // Group 118 (missing node) goes in step 1; questions 1022 (in it), 1023
    // and 9001 lose their options in step 2 and themselves in step 3.
    QCOMPARE(count(QStringLiteral("select count(*) from tCateList")), groups - 1);
    QCOMPARE(count(QStringLiteral("select count(*) from tQueOpt")), options - (steps >= 2 ? removedOptions + 2 : 0));
    QCOMPARE(count(QStringLiteral("select count(*) from tQue")), questions - (steps >= 3 ? 3 : 0));
}

void TestCleanup::unknownStepDoesNothing_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("0") << 0;
    QTest::newRow("4") << 4;
}

void TestCleanup::unknownStepDoesNothing()
{
    QFETCH(int, step);
    FixtureBank bank;
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    const QString everything = QStringLiteral(
        "select (select count(*) from tCateList), (select count(*) from tQue), (select count(*) from tQueOpt)");
    const QStringList before = column(everything);
    QCOMPARE(store()->removeOrphanRows(step), -1);
    QCOMPARE(column(everything), before);
}

void TestCleanup::failedStepRollsBack()
{
    FixtureBank bank;
    // The last option of question 9001 cannot go, so the step fails part-way.
    bank.addSql(QStringLiteral("CREATE TRIGGER keepOption BEFORE DELETE ON tQueOpt"
                               " WHEN old.queId = 9001 AND old.optName = 'B' BEGIN SELECT RAISE(ABORT, 'kept'); END;"));
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    const QStringList before = column(QStringLiteral("select * from tQueOpt order by optId"));

    LogCapture log;
    QCOMPARE(store()->removeOrphanRows(2), -1);
    QCOMPARE(column(QStringLiteral("select * from tQueOpt order by optId")), before);
    QVERIFY(store()->lastErrorText().startsWith(QStringLiteral("[Error:]delete from tQueOpt where queId in")));
    QVERIFY(log.contains(QStringLiteral("kept")));
}

void TestCleanup::clearChapterRecords_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("answers");
    QTest::addColumn<bool>("favourites");
    QTest::addColumn<bool>("notes");

    QTest::newRow("1,0,0") << "1,0,0" << true << false << false;
    QTest::newRow("0,1,0") << "0,1,0" << false << true << false;
    QTest::newRow("0,0,1") << "0,0,1" << false << false << true;
    QTest::newRow("1,1,1") << "1,1,1" << true << true << true;
    QTest::newRow("1,1,0") << "1,1,0" << true << true << false;
    QTest::newRow("1,0,1") << "1,0,1" << true << false << true;
    QTest::newRow("0,1,1") << "0,1,1" << false << true << true;
    QTest::newRow("2 is not set") << "2,1,0" << false << true << false;
    QTest::newRow("missing parts") << "1" << true << false << false;
}

void TestCleanup::clearChapterRecords()
{
    QFETCH(QString, flags);
    QFETCH(bool, answers);
    QFETCH(bool, favourites);
    QFETCH(bool, notes);

    FixtureBank bank;
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    const QStringList before = column(setRecords);
    const QString others = QStringLiteral(
        "select * from tQue where cateListId not in (101, 102, 103, 104, 105, 106) order by queId");
    const QStringList otherQuestions = column(others);
    const QStringList log = column(QStringLiteral("select * from tQueLog order by rowid"));

    QCOMPARE(store()->clearChapterRecords(flags, 111), 0);

    const QStringList after = column(setRecords);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        const QStringList was = before.at(i).split(QLatin1Char('|'));
        const QStringList is = after.at(i).split(QLatin1Char('|'));
        const QStringList expected = {
            answers ? QStringLiteral("0") : was.at(0),
            answers ? QStringLiteral("NULL") : was.at(1),
            answers ? QStringLiteral("NULL") : was.at(2),
            favourites ? QStringLiteral("0") : was.at(3),
            notes ? QStringLiteral("NULL") : was.at(4),
        };
        QCOMPARE(is, expected);
    }
    QCOMPARE(column(others), otherQuestions);
    QCOMPARE(column(QStringLiteral("select * from tQueLog order by rowid")), log);
}

void TestCleanup::clearingReportsEachGroup()
{
    FixtureBank bank;
    bank.addSql(QStringLiteral("INSERT INTO tCateList (cateListId, cateId, queTypeId) VALUES (120, 121, 1);"));
    QVERIFY2(openBank(bank), qPrintable(bank.error()));

    QSignalSpy progress(store(), &SqliteClass::sendClearQuestions);
    QCOMPARE(store()->clearChapterRecords(QStringLiteral("1,0,0"), 121), 0);
    const QList<QList<QVariant>> emitted = progress;
    QCOMPARE(emitted, (QList<QList<QVariant>>{{3, 1}, {3, 2}, {3, 3}}));
    QCOMPARE(count(QStringLiteral("select count(*) from tQue where queId = 1018 and userStatus = '0'")), 1);

    progress.clear();
    QCOMPARE(store()->clearChapterRecords(QStringLiteral("0,0,0"), 121), -1);
    QVERIFY(progress.isEmpty());
    QVERIFY(store()->lastErrorText().contains(QStringLiteral("update tQue set  where cateListId='113':")));
}

void TestCleanup::failedClearingRollsBack()
{
    FixtureBank bank;
    bank.addSql(QStringLiteral("CREATE TRIGGER keepGroup BEFORE UPDATE ON tQue WHEN old.cateListId = 114"
                               " BEGIN SELECT RAISE(ABORT, 'kept'); END;"));
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    const QString records = QStringLiteral("select * from tQue order by queId");
    const QStringList before = column(records);

    // The first group was cleared before the second failed; the rollback
    // undoes it, so no progress was shown for it.
    QSignalSpy progress(store(), &SqliteClass::sendClearQuestions);
    QCOMPARE(store()->clearChapterRecords(QStringLiteral("1,1,1"), 121), -1);
    QVERIFY(progress.isEmpty());
    QCOMPARE(column(records), before);
}

void TestCleanup::clearingNodeWithoutGroups()
{
    FixtureBank bank;
    QVERIFY2(openBank(bank), qPrintable(bank.error()));
    QSignalSpy progress(store(), &SqliteClass::sendClearQuestions);
    QCOMPARE(store()->clearChapterRecords(QStringLiteral("0,0,0"), 3), 0);
    QVERIFY(progress.isEmpty());
}

QTEST_GUILESS_MAIN(TestCleanup)
#include "tst_cleanup.moc"
