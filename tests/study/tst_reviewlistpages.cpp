// The wrong-question, favourite and note pages on the standard fixture: their
// lists, the question shown, reloads that supersede a load under way, and
// failures.
#include "CollectionWidget.h"
#include "ErrorQuestionWidget.h"
#include "UserTextWidget.h"

#include "LogCapture.h"
#include "PageDriving.h"
#include "QuestionCellBase.h"
#include "QuestionAnswerCellForm.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "StudyBank.h"
#include "TempWorkDir.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using namespace pagedriving;

enum Kind { Wrong, Favourite, Note };

// 1017 (a picture in its text) answered last, wrongly, with a note and marked.
const QString pictureSql = QStringLiteral(
    "UPDATE tQue SET userStatus = '2', userAnswer = 'A', userTime = '2015-10-10 08:00:00', userFav = '1', "
    "userNote = '看图' WHERE queId = 1017;");

std::unique_ptr<ReviewListPage> makePage(int kind)
{
    switch (kind) {
    case Wrong: return std::make_unique<ErrorQuestionWidget>();
    case Favourite: return std::make_unique<CollectionWidget>();
    default: return std::make_unique<UserTextWidget>();
    }
}

QLabel *message(QWidget &page)
{
    return child<QLabel>(&page, "label_message");
}

QWidget *listPane(QWidget &page)
{
    return child<QWidget>(&page, "widget");
}

bool load(ReviewListPage &page)
{
    page.loadList();
    return finishLoad(page);
}

QStringList numbered(const QStringList &texts)
{
    QStringList rows;
    for (int i = 0; i < texts.size(); ++i)
        rows << QStringLiteral("[%1]%2").arg(QString::number(i + 1), texts.at(i));
    return rows;
}

// Whether the cell shows the answer line, as it does for a stored answer.
bool answerShown(QWidget *cell)
{
    auto *line = cell ? cell->findChild<QLabel *>(QStringLiteral("label_rigthanswer")) : nullptr;
    return line && line->isVisibleTo(cell);
}

// The option rows of a choice cell, in order.
QList<QuestionAnswerCellForm *> optionRows(QWidget *cell)
{
    QList<QuestionAnswerCellForm *> rows = cell->findChildren<QuestionAnswerCellForm *>();
    std::sort(rows.begin(), rows.end(),
              [](QWidget *a, QWidget *b) { return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y(); });
    return rows;
}

const char *const wrongCount = "select count(*) from tQue a, tCateList b where a.userStatus = '2' and "
                               "a.cateListId = b.cateListId and a.IsDel != '1'";

} // namespace

class TestReviewListPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void listed_data();
    void listed();
    void emptyBank_data();
    void emptyBank();
    void failedLoad_data();
    void failedLoad();
    void reloadDropsQueuedRows_data();
    void reloadDropsQueuedRows();
    void stopMidJobOnLargeBank();
    void deletedWithRowsQueued_data();
    void deletedWithRowsQueued();
    void sameRowTwiceReloadsOptions();
    void storedAnswer_data();
    void storedAnswer();
    void answerIsRecorded();
    void clearListEmptiesPage();
    void secondPageKeepsItsOwnRows_data();
    void secondPageKeepsItsOwnRows();
};

void TestReviewListPages::initTestCase()
{
    initResources();
}

void TestReviewListPages::listed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("firstText");
    const QString picture = QStringLiteral("心电图如下，最可能的诊断是");
    QTest::newRow("wrong") << int(Wrong)
                           << numbered({"患者咳铁锈色痰，最可能的病原体是", "确诊首选的检查是", "气体交换的场所是____。",
                                        "支气管哮喘的典型体征是呼气相哮鸣音。", picture})
                           << QStringLiteral("患者咳铁锈色痰");
    // Never answered comes first.
    QTest::newRow("favourite") << int(Favourite)
                               << numbered({"请写出初步诊断及诊断依据。", "慢性阻塞性肺疾病最主要的危险因素是", picture})
                               << QStringLiteral("请写出初步诊断及诊断依据");
    QTest::newRow("note") << int(Note)
                          << numbered({"慢性阻塞性肺疾病最主要的危险因素是", "患者咳铁锈色痰，最可能的病原体是", picture})
                          << QStringLiteral("慢性阻塞性肺疾病最主要的危险因素是");
}

void TestReviewListPages::listed()
{
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    QFETCH(QString, firstText);
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->resize(855, 600);
    page->show();
    page->setSkinColor(QStringLiteral("80,153,2,255"));
    QCOMPARE(SqliteClass::instance()->loadQuestionTypes(), 0); // as at start-up
    QVERIFY(load(*page));
    QCOMPARE(columnTexts(table(*page)), rows);
    QCOMPARE(table(*page)->currentRow(), 0);
    QVERIFY(table(*page)->item(0, 0)->isSelected());
    QVERIFY(cellShows(shownCell(*page), firstText));
    QVERIFY(questionView(*page)->isVisible());
    QVERIFY(listPane(*page)->isVisible());
    QVERIFY(!message(*page)->isVisible());
    // Another row by a click.
    clickRow(table(*page), rows.size() - 1);
    QVERIFY(cellShows(shownCell(*page), QStringLiteral("心电图如下")));
}

void TestReviewListPages::emptyBank_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const QString blanks(10, QLatin1Char(' '));
    QTest::newRow("wrong") << int(Wrong) << blanks + QStringLiteral("您还没做题目，无做题记录！");
    QTest::newRow("favourite") << int(Favourite) << blanks + QStringLiteral("您还没收藏，无收藏记录！");
    QTest::newRow("note") << int(Note) << blanks + QStringLiteral("您还没添加学习笔记，无记录！");
}

void TestReviewListPages::emptyBank()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    StudyBank bank(QStringLiteral("UPDATE tQue SET userStatus = '0', userFav = '0', userNote = NULL;"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->show();
    QVERIFY(!message(*page)->isVisible()); // until a load finds nothing
    QVERIFY(load(*page));
    QCOMPARE(table(*page)->rowCount(), 0);
    QVERIFY(message(*page)->isVisible());
    QCOMPARE(message(*page)->text(), text);
    QVERIFY(!listPane(*page)->isVisible());
    QVERIFY(!questionView(*page)->isVisible());
}

void TestReviewListPages::failedLoad_data()
{
    emptyBank_data();
}

void TestReviewListPages::failedLoad()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    StudyBank bank(QStringLiteral("DROP TABLE tCateList;"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->show();
    LogCapture log;
    QVERIFY(load(*page));
    QCOMPARE(table(*page)->rowCount(), 0);
    QVERIFY(message(*page)->isVisible());
    QCOMPARE(message(*page)->text(), text);
    bool logged = false;
    for (const QString &line : log.lines())
        logged = logged || (line.startsWith(QLatin1String("[Error:]")) && line.contains(QLatin1String("tCateList")));
    QVERIFY2(logged, qPrintable(log.lines().join(QLatin1Char('\n'))));
}

void TestReviewListPages::reloadDropsQueuedRows_data()
{
    listed_data();
}

// The main window's switch away and back while the first load's rows still
// wait in the event queue: only the second load's rows are listed.
void TestReviewListPages::reloadDropsQueuedRows()
{
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->show();
    page->loadList();
    QVERIFY(worker(*page)->wait(generousWait));
    QCOMPARE(table(*page)->rowCount(), 0); // every row is still queued
    page->clearList();
    page->loadList();
    QVERIFY(finishLoad(*page));
    QCOMPARE(columnTexts(table(*page)), rows);
    QVERIFY(shownCell(*page));
}

// A load stopped while its rows are on their way, on a bank large enough for
// the stop to land mid-job.
void TestReviewListPages::stopMidJobOnLargeBank()
{
    TempWorkDir work;
    QTemporaryDir bankDir;
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(BANKTOOL_PROGRAM), {QStringLiteral("large"), bankDir.path(), QStringLiteral("6000"),
                                                  QStringLiteral("3000")});
    QVERIFY(tool.waitForFinished(generousWait));
    QCOMPARE(tool.exitCode(), 0);
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->openDatabase(bankDir.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
    const int expected = sqlCount(QString::fromLatin1(wrongCount));
    QVERIFY2(expected > 500, qPrintable(QString::number(expected)));
    {
        ErrorQuestionWidget page;
        page.show();
        page.loadList();
        // Some rows in, the job still running.
        QVERIFY(QTest::qWaitFor([&] { return table(page)->rowCount() > 0; }, generousWait));
        const bool stoppedMidJob = worker(page)->isRunning();
        page.clearList();
        QCOMPARE(table(page)->rowCount(), 0);
        page.loadList();
        QVERIFY(finishLoad(page));
        const QStringList texts = columnTexts(table(page));
        QCOMPARE(texts.size(), expected);
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY2(texts.at(i).startsWith(QStringLiteral("[%1]").arg(i + 1)), qPrintable(texts.at(i)));
        if (!stoppedMidJob)
            qWarning("the first load ended before the stop");
        // Once more, deleted with rows still on their way.
        page.loadList();
        QVERIFY(QTest::qWaitFor([&] { return table(page)->rowCount() > 0; }, generousWait));
    }
    store->closeDatabase();
}

void TestReviewListPages::deletedWithRowsQueued_data()
{
    listed_data();
}

// Freed, not leaked: the sanitizer build's leak check fails otherwise.
void TestReviewListPages::deletedWithRowsQueued()
{
    QFETCH(int, kind);
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->show();
    page->loadList();
    QVERIFY(worker(*page)->wait(generousWait));
    page.reset();
    QCoreApplication::processEvents();
}

void TestReviewListPages::sameRowTwiceReloadsOptions()
{
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    ErrorQuestionWidget page;
    page.resize(855, 600);
    page.show();
    QVERIFY(load(page));
    QVERIFY(cellShows(shownCell(page), QStringLiteral("肺炎链球菌")));
    QVERIFY(SqliteClass::instance()->execSql(
                QStringLiteral("UPDATE tQueOpt SET optText = '肺炎链球菌（改）' WHERE queId = 1002 AND optName = 'C'"))
            == 0);
    clickRow(table(page), 0);
    QVERIFY(cellShows(shownCell(page), QStringLiteral("肺炎链球菌（改）")));
    QCOMPARE(optionRows(shownCell(page)).size(), 5);
    clickRow(table(page), 0);
    QCOMPARE(optionRows(shownCell(page)).size(), 5);
}

void TestReviewListPages::storedAnswer_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("row"); // of 1002 on the wrong page, 1001 on the others
    QTest::addColumn<bool>("answered");
    QTest::newRow("wrong") << int(Wrong) << 0 << false;
    QTest::newRow("favourite") << int(Favourite) << 1 << true;
    QTest::newRow("note") << int(Note) << 0 << true;
}

void TestReviewListPages::storedAnswer()
{
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(bool, answered);
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = makePage(kind);
    page->resize(855, 600);
    page->show();
    QVERIFY(load(*page));
    clickRow(table(*page), row);
    QWidget *cell = shownCell(*page);
    QVERIFY(qobject_cast<QuestionCellBase *>(cell));
    QCOMPARE(answerShown(cell), answered);
}

// The pages show for practice: an answer goes to the user's records.
void TestReviewListPages::answerIsRecorded()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    ErrorQuestionWidget page;
    page.resize(855, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(load(page));
    const int logRows = sqlCount(QStringLiteral("select count(*) from tQueLog where queId = 1002"));
    const QList<QuestionAnswerCellForm *> options = optionRows(shownCell(page));
    QCOMPARE(options.size(), 5);
    QTest::mouseClick(child<QLabel>(options.at(2), "label_text"), Qt::LeftButton);
    QTRY_COMPARE(sqlRow(QStringLiteral("select userStatus, userAnswer from tQue where queId = 1002")),
                 (QStringList{"1", "C"}));
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog where queId = 1002")), logRows + 1);
}

void TestReviewListPages::clearListEmptiesPage()
{
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    UserTextWidget page;
    page.show();
    QVERIFY(load(page));
    QVERIFY(shownCell(page));
    page.clearList();
    QCOMPARE(table(page)->rowCount(), 0);
    QVERIFY(!shownCell(page));
    // A load under way is dropped too.
    page.loadList();
    page.clearList();
    QVERIFY(finishLoad(page));
    QCOMPARE(table(page)->rowCount(), 0);
    QVERIFY(!shownCell(page));
}

void TestReviewListPages::secondPageKeepsItsOwnRows_data()
{
    listed_data();
}

// Two pages of one kind hear the store's one row signal: each lists only
// what its own worker loads, and frees it once (the sanitizer build fails
// on a record freed twice).
void TestReviewListPages::secondPageKeepsItsOwnRows()
{
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    StudyBank bank(pictureSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto idle = makePage(kind);
    idle->show();
    QVERIFY(load(*idle));
    QCOMPARE(columnTexts(table(*idle)), rows);

    auto loading = makePage(kind);
    loading->show();
    QVERIFY(load(*loading));
    QCoreApplication::processEvents();
    QCOMPARE(columnTexts(table(*loading)), rows);
    QCOMPARE(columnTexts(table(*idle)), rows);
    loading.reset();
    idle.reset();
}

QTEST_MAIN(TestReviewListPages)
#include "tst_reviewlistpages.moc"
