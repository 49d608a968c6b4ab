// The quick-memorisation page on the standard fixture: the chapter tree,
// a section's sets, a section replacing a load under way, and opening a set
// in the page's one listing window.
#include "QuickBackQuestions.h"

#include "DataToUiThreadClass.h"
#include "LogCapture.h"
#include "QuickBackQuestionsCell.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "PageDriving.h"
#include "StudyBank.h"
#include "ViewReport.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace pagedriving;

const QString green = QStringLiteral("80,153,2,255");
const QString pink = QStringLiteral("255,127,167,255");

QuickBackQuestionsCell *row(QuickBackQuestions &page, int index)
{
    return qobject_cast<QuickBackQuestionsCell *>(table(page)->cellWidget(index, 0));
}

QPushButton *button(QuickBackQuestionsCell *cell)
{
    return child<QPushButton>(cell, "pushButton");
}

QStringList titles(QuickBackQuestions &page)
{
    QStringList shown;
    for (int i = 0; i < table(page)->rowCount(); ++i)
        shown << (row(page, i) ? row(page, i)->title() : QStringLiteral("(no row widget)"));
    return shown;
}

QString buttonStyle(const QString &skin)
{
    return QStringLiteral("QPushButton{max-width:80px;font: 75 12pt \"微软雅黑\";max-height:23px;border-radius:5px;"
                          "border:1px solid rgb(%1);color:rgb(%1);}"
                          "QPushButton:hover{color:rgb(255,255,255);background-color:rgb(%1);}")
        .arg(skin);
}

// Clicks the section's name; the load is left running.
void clickSection(QuickBackQuestions &page, const QString &name)
{
    QTreeWidgetItem *section = findItem(page, name);
    QVERIFY(section && section->parent());
    clickItem(tree(page), section);
}

bool loadSection(QuickBackQuestions &page, const QString &name)
{
    clickSection(page, name);
    return !QTest::currentTestFailed() && finishLoad(page);
}

// The page's listing windows among the top-level widgets.
QList<ViewReport *> listingWindows()
{
    QList<ViewReport *> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *viewer = qobject_cast<ViewReport *>(window))
            windows << viewer;
    }
    return windows;
}

// As the window system delivers it: a click, then the double-click.
void doubleClick(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    QTest::mouseDClick(widget, Qt::LeftButton);
}

void waitForListing(ViewReport *viewer)
{
    auto *busy = viewer->findChild<WaitingForm *>();
    QVERIFY(busy);
    QTRY_VERIFY_WITH_TIMEOUT(busy->isHidden(), generousWait);
}

// The page on a fixture bank, 800 × 450 on screen, in the green skin.
struct PageOnBank
{
    explicit PageOnBank(const QString &sql = QString()) : bank(sql)
    {
        page.resize(800, 450);
        page.setSkinColor(green);
        page.show();
    }

    StudyBank bank;
    QuickBackQuestions page; // reads the tree of the bank opened before it
};

} // namespace

class TestQuickBackQuestions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void cell();
    void tree_();
    void failedTreeReadIsLogged();
    void chapterClickOnlyFolds();
    void sectionRows_data();
    void sectionRows();
    void numberingRestartsPerSection();
    void longTitleEndsInEllipsis();
    void rowsKeepTheirSkin();
    void sectionSupersedesLoad();
    void closedWithRowsOnTheWay();
    void openingReusesOneWindow();
    void buttonWaitsForRunningLoad();
    void secondPageKeepsItsOwnRows();
};

void TestQuickBackQuestions::initTestCase()
{
    initResources();
}

void TestQuickBackQuestions::cell()
{
    QuickBackQuestionsCell cell;
    cell.setTitle(3, QStringLiteral("呼吸练习一"));
    cell.setCateId(QStringLiteral("111"));
    QCOMPARE(cell.title(), QStringLiteral("【3】 呼吸练习一"));
    QCOMPARE(cell.cateIdText(), QStringLiteral("111"));
    QCOMPARE(button(&cell)->text(), QStringLiteral("背题入口"));
    QSignalSpy sent(&cell, &QuickBackQuestionsCell::sendQuickBackQuestionCateId);
    cell.show();
    QTest::mouseClick(button(&cell), Qt::LeftButton);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(0).toInt(), 111);
    QCOMPARE(sent.first().at(1).toString(), QStringLiteral("【3】 呼吸练习一"));
}

void TestQuickBackQuestions::tree_()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    QuickBackQuestions page;
    QTreeWidget *view = tree(page);
    QVERIFY(view->isHeaderHidden());
    QCOMPARE(view->columnCount(), 3);
    // The id columns are a pixel wide; the names take the rest of the row.
    QCOMPARE((QList<int>{view->columnWidth(0), view->columnWidth(1), view->columnWidth(2)}),
             (QList<int>{view->viewport()->width() - 2, 1, 1}));
    QCOMPARE(view->focusPolicy(), Qt::NoFocus);
    QCOMPARE(table(page)->focusPolicy(), Qt::NoFocus);
    // Chapters by ord, every one unfolded; node 80 hangs under a missing
    // parent and is no chapter; the form's placeholders are gone.
    QStringList chapters;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QTreeWidgetItem *chapter = view->topLevelItem(i);
        chapters << chapter->text(0) + QLatin1Char('/') + chapter->text(1) + QLatin1Char('/') + chapter->text(2);
        QVERIFY(chapter->isExpanded());
    }
    QCOMPARE(chapters, (QStringList{"药理学/2/", "内科学/1/", "空章节/3/"}));
    QTreeWidgetItem *internal = view->topLevelItem(1);
    QStringList sections;
    for (int i = 0; i < internal->childCount(); ++i) {
        QTreeWidgetItem *section = internal->child(i);
        sections << section->text(0) + QLatin1Char('/') + section->text(1);
        QCOMPARE(section->toolTip(0), section->text(0));
        QCOMPARE(section->childCount(), 0);
    }
    QCOMPARE(sections, (QStringList{"循环系统/12", "呼吸系统/11", "空小节/13"}));
    QCOMPARE(view->topLevelItem(2)->childCount(), 0);
    // Nothing is listed until a section is clicked.
    QCOMPARE(table(page)->rowCount(), 0);
    QVERIFY(!worker(page)->isRunning());
}

void TestQuickBackQuestions::failedTreeReadIsLogged()
{
    StudyBank bank(QStringLiteral("DROP TABLE tCate;"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    LogCapture log;
    QuickBackQuestions page;
    QCOMPARE(tree(page)->topLevelItemCount(), 0);
    const QStringList lines = log.lines();
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [](const QString &line) { return line.startsWith(QLatin1String("error:[Error:]")); }),
             qPrintable(lines.join(QLatin1Char('\n'))));
}

void TestQuickBackQuestions::chapterClickOnlyFolds()
{
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QuickBackQuestionsCell *first = row(page, 0);
    QVERIFY(first);

    QTreeWidgetItem *chapter = findItem(page, QStringLiteral("内科学"));
    clickItem(tree(page), chapter);
    QVERIFY(!chapter->isExpanded());
    clickItem(tree(page), chapter);
    QVERIFY(chapter->isExpanded());
    QVERIFY(!worker(page)->isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(titles(page), (QStringList{"【1】 呼吸练习二", "【2】 呼吸练习一"}));
    QCOMPARE(row(page, 0), first);
}

void TestQuickBackQuestions::sectionRows_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("ids");
    // Sets in ord order, not in the order they were written.
    QTest::newRow("two sets") << QStringLiteral("呼吸系统") << QStringList{"【1】 呼吸练习二", "【2】 呼吸练习一"}
                              << QStringList{"112", "111"};
    QTest::newRow("one set") << QStringLiteral("药物代谢") << QStringList{"【1】 药代练习一"} << QStringList{"211"};
    QTest::newRow("no sets") << QStringLiteral("空小节") << QStringList() << QStringList();
}

void TestQuickBackQuestions::sectionRows()
{
    QFETCH(QString, section);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, ids);
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    QVERIFY(loadSection(page, section));
    QCOMPARE(titles(page), rows);
    QTableWidget *view = table(page);
    QCOMPARE(view->columnCount(), 1);
    QVERIFY(view->horizontalHeader()->isHidden());
    // The row numbers stand at the left, as in the page's form.
    QVERIFY(view->verticalHeader()->isVisibleTo(&page));
    for (int i = 0; i < view->rowCount(); ++i) {
        QCOMPARE(row(page, i)->cateIdText(), ids.at(i));
        QCOMPARE(view->rowHeight(i), 42);
        QCOMPARE(button(row(page, i))->styleSheet(), buttonStyle(green));
        // The whole title and the whole button text are on screen.
        QLabel *label = child<QLabel>(row(page, i), "label");
        QVERIFY(label->width() >= label->sizeHint().width());
        QPushButton *open = button(row(page, i));
        QVERIFY2(open->width() >= open->fontMetrics().horizontalAdvance(open->text()),
                 qPrintable(QString::number(open->width())));
    }
}

void TestQuickBackQuestions::numberingRestartsPerSection()
{
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QPointer<QuickBackQuestionsCell> earlier = row(page, 0);
    QVERIFY(loadSection(page, QStringLiteral("循环系统")));
    QCOMPARE(titles(page), (QStringList{"【1】 循环练习一"}));
    // Emptying the table deletes the earlier rows.
    QTRY_VERIFY(earlier.isNull());
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QCOMPARE(titles(page), (QStringList{"【1】 呼吸练习二", "【2】 呼吸练习一"}));
}

// A name longer than its row: the button stays whole, the title ends in an
// ellipsis with the whole title as tooltip, and the listing gets it whole.
void TestQuickBackQuestions::longTitleEndsInEllipsis()
{
    const QString name = QStringLiteral("肺炎与肺结核：社区获得性肺炎、医院获得性肺炎与肺结核的病原学、临床表现、"
                                        "诊断、鉴别诊断及治疗原则");
    PageOnBank fixture(QStringLiteral("UPDATE tCate SET cateName = '%1' WHERE cateId = 112;").arg(name));
    QuickBackQuestions &page = fixture.page;
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QuickBackQuestionsCell *cell = row(page, 0);
    QTRY_VERIFY(cell->isVisible());
    const QString whole = QStringLiteral("【1】 ") + name;
    QCOMPARE(cell->title(), whole);
    QLabel *label = child<QLabel>(cell, "label");
    QVERIFY2(label->text().endsWith(QChar(0x2026)), qPrintable(label->text()));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(label->toolTip(), whole);
    QPushButton *open = button(cell);
    QVERIFY(open->geometry().right() <= cell->width());
    QVERIFY(open->width() >= open->fontMetrics().horizontalAdvance(open->text()));
    // A shorter name in the next row shows whole, without a tooltip.
    QCOMPARE(child<QLabel>(row(page, 1), "label")->text(), QStringLiteral("【2】 呼吸练习一"));
    QVERIFY(child<QLabel>(row(page, 1), "label")->toolTip().isEmpty());

    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(listingWindows().size(), 1);
    QCOMPARE(child<QLabel>(listingWindows().first(), "label_title")->text(), whole);
    waitForListing(listingWindows().first());
}

void TestQuickBackQuestions::rowsKeepTheirSkin()
{
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    // Filled with the skin colour under the mouse.
    QPushButton *open = button(row(page, 0));
    const QPoint inside(6, open->height() / 2);
    QCOMPARE(paintedColor(open, inside, true), skinColour(green));

    page.setSkinColor(pink);
    QCOMPARE(tree(page)->styleSheet(), SqliteClass::treeWidgetStyle(pink));
    QCOMPARE(table(page)->styleSheet(), SqliteClass::tableWidgetStyle(pink));
    QCOMPARE(button(row(page, 0))->styleSheet(), buttonStyle(green));
    QCOMPARE(button(row(page, 1))->styleSheet(), buttonStyle(green));

    // A section loaded again takes the new colour.
    QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
    QCOMPARE(button(row(page, 0))->styleSheet(), buttonStyle(pink));
    open = button(row(page, 0));
    QTRY_VERIFY(open->isVisible());
    QVERIFY(paintedColor(open, inside) != skinColour(pink));
    QCOMPARE(paintedColor(open, inside, true), skinColour(pink));
}

// Rows of the earlier section still queued when a later one is clicked:
// only the later section's sets show, each once, numbered from 1.
void TestQuickBackQuestions::sectionSupersedesLoad()
{
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    clickSection(page, QStringLiteral("呼吸系统"));
    worker(page)->wait();
    clickSection(page, QStringLiteral("循环系统"));
    QVERIFY(finishLoad(page));
    QCOMPARE(titles(page), (QStringList{"【1】 循环练习一"}));
    QCOMPARE(tree(page)->currentItem()->text(0), QStringLiteral("循环系统"));

    // Also while the earlier job is still running.
    clickSection(page, QStringLiteral("呼吸系统"));
    clickSection(page, QStringLiteral("药物代谢"));
    QVERIFY(finishLoad(page));
    QCOMPARE(titles(page), (QStringList{"【1】 药代练习一"}));
}

// The sanitizer build's leak check fails this if a queued row is lost.
void TestQuickBackQuestions::closedWithRowsOnTheWay()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto page = std::make_unique<QuickBackQuestions>();
    page->show();
    clickSection(*page, QStringLiteral("呼吸系统"));
    worker(*page)->wait();
    page.reset();
    QCoreApplication::processEvents();
}

void TestQuickBackQuestions::openingReusesOneWindow()
{
    QPointer<ViewReport> viewer;
    {
        PageOnBank fixture;
        QuickBackQuestions &page = fixture.page;
        QVERIFY(loadSection(page, QStringLiteral("呼吸系统")));
        QCOMPARE(listingWindows().size(), 0);

        QTest::mouseClick(button(row(page, 1)), Qt::LeftButton);
        QCOMPARE(listingWindows().size(), 1);
        viewer = listingWindows().first();
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->isWindow());
        QCOMPARE(viewer->parent(), nullptr);
        QCOMPARE(child<QLabel>(viewer, "label_title")->text(), QStringLiteral("【2】 呼吸练习一"));
        QCOMPARE(child<QWidget>(viewer, "widget")->styleSheet(), QStringLiteral("background-color: rgb(%1)").arg(green));
        waitForListing(viewer);
        auto *text = child<QTextEdit>(viewer, "textEdit");
        QVERIFY2(text->toPlainText().contains(QStringLiteral("●沙丁胺醇")), qPrintable(text->toPlainText()));

        // A double-click on the other row, in another skin: the same window.
        page.setSkinColor(pink);
        viewer->hide();
        doubleClick(child<QLabel>(row(page, 0), "label"));
        QCOMPARE(listingWindows(), (QList<ViewReport *>{viewer}));
        QVERIFY(viewer->isVisible());
        QCOMPARE(child<QLabel>(viewer, "label_title")->text(), QStringLiteral("【1】 呼吸练习二"));
        QCOMPARE(child<QWidget>(viewer, "widget")->styleSheet(), QStringLiteral("background-color: rgb(%1)").arg(pink));
        waitForListing(viewer);
        QVERIFY(text->toPlainText().contains(QStringLiteral("男，58岁，活动后胸痛3个月。")));
        QVERIFY(!text->toPlainText().contains(QStringLiteral("●沙丁胺醇")));
    }
    // The page takes its window with it.
    QVERIFY(viewer.isNull());
}

// A button clicked while the section's load still runs: the listing opens
// once the load has ended.
void TestQuickBackQuestions::buttonWaitsForRunningLoad()
{
    PageOnBank fixture;
    QuickBackQuestions &page = fixture.page;
    // Holds the job on the worker thread after it has sent its second set.
    QSemaphore gate;
    std::atomic<int> sent{0};
    QObject holder;
    connect(SqliteClass::instance(), &SqliteClass::sendQuickQuestionBycateId, &holder,
            [&](SqliteData *) {
                if (++sent == 2)
                    gate.acquire();
            },
            Qt::DirectConnection);
    clickSection(page, QStringLiteral("呼吸系统"));
    QVERIFY(QTest::qWaitFor([&] { return table(page)->rowCount() == 2; }, generousWait));
    QVERIFY(worker(page)->isRunning());

    std::thread opener([&gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        gate.release();
    });
    QTest::mouseClick(button(row(page, 1)), Qt::LeftButton);
    const bool finished = worker(page)->isFinished();
    opener.join();
    QVERIFY(finished);
    QCOMPARE(listingWindows().size(), 1);
    QCOMPARE(child<QLabel>(listingWindows().first(), "label_title")->text(), QStringLiteral("【2】 呼吸练习一"));
    waitForListing(listingWindows().first());
}

// Two pages hear the store's one row signal: each lists only the sets its
// own worker loads (the sanitizer build fails on a row freed twice).
void TestQuickBackQuestions::secondPageKeepsItsOwnRows()
{
    PageOnBank fixture;
    QuickBackQuestions &idle = fixture.page;
    QVERIFY(loadSection(idle, QStringLiteral("呼吸系统")));
    QuickBackQuestions loading;
    loading.show();
    QVERIFY(loadSection(loading, QStringLiteral("循环系统")));
    QCoreApplication::processEvents();
    QCOMPARE(titles(loading), (QStringList{"【1】 循环练习一"}));
    QCOMPARE(titles(idle), (QStringList{"【1】 呼吸练习二", "【2】 呼吸练习一"}));
}

QTEST_MAIN(TestQuickBackQuestions)
#include "tst_quickbackquestions.moc"
