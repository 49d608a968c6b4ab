// The search page on the standard fixture: keywords as typed, the header,
// the hits' tooltips, a hit shown and answered without a record, and the
// reset on a page switch.
#include "FindQuestionWidget.h"

#include "DialogAnswerer.h"
#include "MyMessageBox.h"
#include "PageDriving.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionCellBase.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "StudyBank.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

using namespace pagedriving;

// Latin keywords in either case, a quote, "%", "_" and "(" in question texts.
const QString searchSql = QStringLiteral(
    "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus) VALUES "
    "(1050, 113, '阿司匹林（Aspirin）的主要不良反应是', 'A', '0', 3, '0'),"
    "(1051, 113, '对aspirin过敏者应避免使用的是', 'A', '0', 4, '0'),"
    "(1052, 113, '下列说法it''s true的是', 'A', '0', 5, '0'),"
    "(1053, 113, '约50%(半数)的患者出现的症状是', 'A', '0', 6, '0'),"
    "(1054, 113, '编号a_b的检查项目是[img100.png]', 'A', '0', 7, '0');");

const QString red = QStringLiteral("<font color=\"#FF0000\">%1</font>");

QString header(const QString &keyword, int rows)
{
    return QStringLiteral("关键字【") + keyword + QStringLiteral("】:搜索到[") + QString::number(rows)
           + QStringLiteral("]个相关项");
}

QLineEdit *lineEdit(QWidget &page)
{
    return child<QLineEdit>(&page, "lineEdit");
}

QPushButton *searchButton(QWidget &page)
{
    return child<QPushButton>(&page, "btnSearch");
}

QString headerText(QWidget &page, int section = 0)
{
    QTableWidgetItem *item = table(page)->horizontalHeaderItem(section);
    return item ? item->text() : QString();
}

bool search(FindQuestionWidget &page, const QString &keyword)
{
    lineEdit(page)->setText(keyword);
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    return finishLoad(page);
}

// Every row of tQueLog and the user's columns of tQue, as text.
QStringList userRecords()
{
    QStringList rows;
    const QMap<int, QStringList> questions = userColumns();
    for (auto it = questions.cbegin(); it != questions.cend(); ++it)
        rows << QString::number(it.key()) + QLatin1Char('|') + it.value().join(QLatin1Char('|'));
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select * from tQueLog order by rowid"));
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

struct PageOnBank
{
    explicit PageOnBank(const QString &sql = searchSql) : bank(sql)
    {
        // As at start-up.
        typesLoaded = SqliteClass::instance()->loadQuestionTypes() == 0;
        page.resize(855, 600);
        page.show();
        page.setSkinColor(QStringLiteral("80,153,2,255"));
    }

    StudyBank bank;
    bool typesLoaded = false;
    FindQuestionWidget page;
};

} // namespace

class TestFindQuestionWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void keywords_data();
    void keywords();
    void blankKeyword();
    void searchingHeader();
    void secondClickWhileSearching();
    void returnKeyClicksLater();
    void tooltipsInKeywordCase();
    void hitShownWithKeyword();
    void answeredHitLeavesRecords();
    void typeMissingFromLoadedMap();
    void resetPage();
    void deletedWithHitsQueued();
    void supersededHitsNeverJoin();
    void longChapterWholeWhereThereIsRoom();
    void countHeaderWhole_data();
    void countHeaderWhole();
};

void TestFindQuestionWidget::initTestCase()
{
    initResources();
}

void TestFindQuestionWidget::keywords_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("header");
    const QStringList drugs{"药物的首过效应发生在", "药物的半衰期与给药剂量无关（一级动力学）。"};
    const QStringList aspirin{"阿司匹林（Aspirin）的主要不良反应是", "对aspirin过敏者应避免使用的是"};
    QTest::newRow("药") << "药" << drugs << header("药", 2);
    QTest::newRow("blanks around") << "  药  " << drugs << header("药", 2);
    QTest::newRow("aspirin") << "aspirin" << aspirin << header("aspirin", 2);
    QTest::newRow("Aspirin") << "Aspirin" << aspirin << header("Aspirin", 2);
    QTest::newRow("quote") << "it's" << QStringList{"下列说法it's true的是"} << header("it's", 1);
    QTest::newRow("percent") << "50%" << QStringList{"约50%(半数)的患者出现的症状是"} << header("50%", 1);
    // The picture reference is not part of the row.
    QTest::newRow("underscore") << "a_b" << QStringList{"编号a_b的检查项目是"} << header("a_b", 1);
    QTest::newRow("%2") << "%2" << QStringList{"属于β2受体激动剂的是"} << header("%2", 1);
    QTest::newRow("bracket") << "(" << QStringList{"约50%(半数)的患者出现的症状是"} << header("(", 1);
    QTest::newRow("no hit") << "不存在的词" << QStringList() << header("不存在的词", 0);
}

void TestFindQuestionWidget::keywords()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, rows);
    QFETCH(QString, header);
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QCOMPARE(table(page)->columnCount(), 0);
    QVERIFY(search(page, typed));
    QCOMPARE(columnTexts(table(page)), rows);
    QCOMPARE(headerText(page), header);
    QCOMPARE(headerText(page, 1), QString());
    if (!rows.isEmpty())
        QCOMPARE(table(page)->item(0, 1)->text().left(1), QStringLiteral("【"));
    QCOMPARE(lineEdit(page)->text(), typed);
    QVERIFY(!questionView(page)->isVisible());
}

void TestFindQuestionWidget::blankKeyword()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(search(page, QStringLiteral("药")));
    QString shownMessage;
    DialogAnswerer answerer([&](QWidget *box) {
        shownMessage = child<QLabel>(box, "label_message")->text();
        DialogAnswerer::clickButton(box, QStringLiteral("pushButton_save"));
    });
    lineEdit(page)->setText(QStringLiteral(" \t  "));
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    QVERIFY(answerer.answered());
    QCOMPARE(answerer.dialogClass(), QStringLiteral("MyMessageBox"));
    QCOMPARE(shownMessage, QStringLiteral("查找的关健字不能为空."));
    QCOMPARE(table(page)->rowCount(), 2);
    QCOMPARE(headerText(page), header(QStringLiteral("药"), 2));
}

void TestFindQuestionWidget::searchingHeader()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(search(page, QStringLiteral("药")));
    lineEdit(page)->setText(QStringLiteral("肺"));
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    QCOMPARE(headerText(page), QStringLiteral("正在查找..."));
    QCOMPARE(table(page)->rowCount(), 0);
    // What is typed meanwhile does not change what the header reports.
    lineEdit(page)->setText(QStringLiteral("别的"));
    QVERIFY(finishLoad(page));
    QCOMPARE(headerText(page), header(QStringLiteral("肺"), 4));
}

// Many hits keep the worker busy long enough for the second click.
void TestFindQuestionWidget::secondClickWhileSearching()
{
    PageOnBank onBank(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus) "
        "SELECT 100000 + i, 113, '药题' || i, 'A', '0', 10 + i, '0' FROM n;"));
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    lineEdit(page)->setText(QStringLiteral("药"));
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    QVERIFY(worker(page)->isRunning());
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    QCOMPARE(headerText(page), QStringLiteral("正在查找..."));
    QVERIFY(finishLoad(page));
    const QStringList rows = columnTexts(table(page));
    QCOMPARE(rows.size(), 20002);
    QCOMPARE(QSet<QString>(rows.begin(), rows.end()).size(), 20002);
    QCOMPARE(headerText(page), header(QStringLiteral("药"), 20002));
}

void TestFindQuestionWidget::returnKeyClicksLater()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    lineEdit(page)->setFocus();
    lineEdit(page)->setText(QStringLiteral("药"));
    QTest::keyClick(lineEdit(page), Qt::Key_Return);
    QCOMPARE(table(page)->columnCount(), 0); // the button is pressed, not yet clicked
    QTRY_COMPARE(headerText(page), header(QStringLiteral("药"), 2));
    QCOMPARE(table(page)->rowCount(), 2);
}

void TestFindQuestionWidget::tooltipsInKeywordCase()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(search(page, QStringLiteral("aspirin")));
    QCOMPARE(table(page)->item(0, 0)->toolTip(), QStringLiteral("阿司匹林（Aspirin）的主要不良反应是"));
    QCOMPARE(table(page)->item(1, 0)->toolTip(), QStringLiteral("对") + red.arg("aspirin") + QStringLiteral("过敏者应避免使用的是"));
    QVERIFY(search(page, QStringLiteral("  药  ")));
    QCOMPARE(table(page)->item(0, 0)->toolTip(), red.arg("药") + QStringLiteral("物的首过效应发生在"));
}

void TestFindQuestionWidget::hitShownWithKeyword()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(search(page, QStringLiteral("  药  ")));
    clickRow(table(page), 0);
    QVERIFY(questionView(page)->isVisible());
    QWidget *cell = shownCell(page);
    QVERIFY(qobject_cast<QuestionCellBase *>(cell));
    QVERIFY(cellShows(cell, red.arg("药") + QStringLiteral("物的首过效应发生在")));
    QCOMPARE(child<QLabel>(cell, "label_typename")->text(), QStringLiteral("[A1型题]"));
    QCOMPARE(qobject_cast<QuestionCellBase *>(cell)->workMode(), int(QuestionCellBase::BrowseMode));
    // The chapter column shows the same hit.
    clickRow(table(page), 1, 1);
    QVERIFY(cellShows(shownCell(page), QStringLiteral("半衰期")));
}

void TestFindQuestionWidget::answeredHitLeavesRecords()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(search(page, QStringLiteral("药")));
    const QStringList before = userRecords();
    QVERIFY(!before.isEmpty());
    // A choice hit and a true/false hit, each answered as a user does.
    clickRow(table(page), 0);
    const QList<QuestionAnswerCellForm *> options = shownCell(page)->findChildren<QuestionAnswerCellForm *>();
    QCOMPARE(options.size(), 5);
    QTest::mouseClick(child<QLabel>(options.first(), "label_text"), Qt::LeftButton);
    // The click reaches the cell once the release is done with.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QCOMPARE(qobject_cast<QuestionCellBase *>(shownCell(page))->answerState(), 1);
    clickRow(table(page), 1);
    auto *yes = child<QAbstractButton>(shownCell(page), "radioButton");
    QVERIFY(yes);
    QTest::mouseClick(yes, Qt::LeftButton);
    QCOMPARE(qobject_cast<QuestionCellBase *>(shownCell(page))->answerState(), 1);
    QCOMPARE(userRecords(), before);
}

// A type row added behind the store's back: the type map, read at start-up,
// lacks it.
void TestFindQuestionWidget::typeMissingFromLoadedMap()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    QVERIFY(onBank.typesLoaded);
    FindQuestionWidget &page = onBank.page;
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral(
                 "INSERT INTO tQueType (queTypeId, queTypeName, memo, typeOrd, typeScore, exam_count) "
                 "VALUES (9, '新题型', '', 12, 1, 1)")),
             0);
    QVERIFY(search(page, QStringLiteral("未知题型")));
    QCOMPARE(columnTexts(table(page)), QStringList{"未知题型的题目"});
    clickRow(table(page), 0);
    QVERIFY(!shownCell(page));
    // The next click is handled as usual.
    QVERIFY(search(page, QStringLiteral("药")));
    clickRow(table(page), 0);
    QVERIFY(cellShows(shownCell(page), QStringLiteral("首过效应")));
}

void TestFindQuestionWidget::resetPage()
{
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(search(page, QStringLiteral("药")));
    clickRow(table(page), 0);
    QVERIFY(shownCell(page));
    page.resetPage();
    QCOMPARE(table(page)->rowCount(), 0);
    QVERIFY(!questionView(page)->isVisible());
    QVERIFY(!shownCell(page));
    QCOMPARE(lineEdit(page)->text(), QStringLiteral("药"));
    QCOMPARE(table(page)->columnCount(), 2);
    QCOMPARE(headerText(page), header(QStringLiteral("药"), 2));
    // Searching again works as before.
    QVERIFY(search(page, QStringLiteral("药")));
    QCOMPARE(table(page)->rowCount(), 2);
}

// Freed, not leaked: the sanitizer build's leak check fails otherwise.
void TestFindQuestionWidget::deletedWithHitsQueued()
{
    StudyBank bank(searchSql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = std::make_unique<FindQuestionWidget>();
    page->show();
    lineEdit(*page)->setText(QStringLiteral("肺"));
    QTest::mouseClick(searchButton(*page), Qt::LeftButton);
    QVERIFY(worker(*page)->wait(generousWait));
    QCOMPARE(table(*page)->rowCount(), 0); // every hit is still queued
    page.reset();
    QCoreApplication::processEvents();
}

// Thousands of hits of a first search still queued when a second starts:
// the table holds the second search's hits alone and the header counts them.
void TestFindQuestionWidget::supersededHitsNeverJoin()
{
    PageOnBank onBank(searchSql
                      + QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                       "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus) "
                                       "SELECT 100000 + i, 113, '药题' || i, 'A', '0', 10 + i, '0' FROM n;"));
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    lineEdit(page)->setText(QStringLiteral("药"));
    QTest::mouseClick(searchButton(page), Qt::LeftButton);
    QVERIFY(worker(page)->wait(generousWait));
    QCOMPARE(table(page)->rowCount(), 0); // every hit is still queued

    QVERIFY(search(page, QStringLiteral("肺")));
    const QStringList rows = columnTexts(table(page));
    QCOMPARE(rows.size(), 4);
    for (const QString &text : rows)
        QVERIFY2(text.contains(QStringLiteral("肺")), qPrintable(text));
    QCOMPARE(headerText(page), header(QStringLiteral("肺"), 4));
}

void TestFindQuestionWidget::longChapterWholeWhereThereIsRoom()
{
    const QString chapter = QStringLiteral("慢性阻塞性肺疾病与支气管哮喘");
    PageOnBank onBank(searchSql + QStringLiteral("UPDATE tCate SET cateName = '%1' WHERE cateId = 121;").arg(chapter));
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(search(page, QStringLiteral("阿司匹林")));
    QTableWidget *hits = table(page);
    QCOMPARE(hits->item(0, 1)->text(), QStringLiteral("【%1】").arg(chapter));
    const int whole = hits->fontMetrics().horizontalAdvance(hits->item(0, 1)->text());
    QTRY_VERIFY2(hits->columnWidth(1) > whole, qPrintable(QStringLiteral("%1 <= %2").arg(hits->columnWidth(1)).arg(whole)));
    QHeaderView *sections = hits->horizontalHeader();
    QVERIFY(sections->sectionSize(0) >= sections->sectionSizeHint(0));
}

void TestFindQuestionWidget::countHeaderWhole_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("the main window at its smallest") << 855;
    QTest::newRow("wider") << 1024;
}

// The header's count shows whole, also once a hit is shown beside the list,
// and the page still fits the main window at its smallest.
void TestFindQuestionWidget::countHeaderWhole()
{
    QFETCH(int, width);
    PageOnBank onBank;
    QVERIFY2(onBank.bank.isOpen(), qPrintable(onBank.bank.error()));
    FindQuestionWidget &page = onBank.page;
    page.resize(width, 600);
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(search(page, QStringLiteral("肺")));
    QHeaderView *sections = table(page)->horizontalHeader();
    QCOMPARE(headerText(page), header(QStringLiteral("肺"), 4));
    QTRY_VERIFY(sections->sectionSize(0) >= sections->sectionSizeHint(0));
    clickRow(table(page), 0);
    QVERIFY(questionView(page)->isVisible());
    // The list gives up its width to the view.
    QTRY_VERIFY(child<QWidget>(&page, "widget")->width() <= width / 2);
    QTRY_VERIFY2(sections->sectionSize(0) >= sections->sectionSizeHint(0),
                 qPrintable(QStringLiteral("%1 < %2").arg(sections->sectionSize(0)).arg(sections->sectionSizeHint(0))));
    QVERIFY(page.minimumSizeHint().width() <= 855);
}

QTEST_MAIN(TestFindQuestionWidget)
#include "tst_findquestionwidget.moc"
