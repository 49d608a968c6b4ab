// The question view on the fixture bank: the cell it builds for each type,
// the one cell it holds, its styles, its error reports and its answer panel.
#include "ScrollAreaCellForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "TempWorkDir.h"
#include "ViewKit.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString skin = QStringLiteral("80,153,2,255");

enum class Show { Practice, Browse, Exam };

// The cell class each type is shown in; "none" for a type without a cell.
QString classOfType(int type)
{
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
        return QStringLiteral("QuestionCellForm");
    case 7:
        return QStringLiteral("B1CellForm");
    case 10:
        return QStringLiteral("BLANKCellForm");
    case 11:
        return QStringLiteral("YNCellForm");
    case 12:
    case 14:
    case 16:
        return QStringLiteral("SIMPLE_CASE_EXPLAINECellForm");
    default:
        return QStringLiteral("none");
    }
}

// A fixture group fit for the type's cell, carrying the type given.
std::unique_ptr<MainQuestion> recordOfType(int type)
{
    const QString cls = classOfType(type);
    const int cateListId = cls == QLatin1String("B1CellForm")                     ? 106
                           : cls == QLatin1String("BLANKCellForm")                ? 107
                           : cls == QLatin1String("YNCellForm")                   ? 108
                           : cls == QLatin1String("SIMPLE_CASE_EXPLAINECellForm") ? 109
                                                                                  : 101;
    auto group = CellFixture::group(cateListId);
    if (group)
        group->queTypeId = type;
    return group;
}

void show(ScrollAreaCellForm &view, MainQuestion *group, Show how, bool answerNow = false)
{
    if (how == Show::Exam)
        view.showExamQuestion(group, 0, QStringLiteral("1"), answerNow);
    else
        view.showQuestion(group, 0, how == Show::Browse ? 1 : 0);
}

QList<int> allTypes()
{
    QList<int> types;
    for (int type = 0; type <= 17; ++type)
        types << type;
    return types << 99;
}

QString storedText(int queId)
{
    return sqlRow(QStringLiteral("select queText from tQue where queId = ?"), {queId}).value(0);
}

} // namespace

Q_DECLARE_METATYPE(Show)

class TestScrollAreaCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void form();
    void embeddingFormRestyles();
    void typeTable_data();
    void typeTable();
    void anySequenceKeepsOneCell();
    void nothingToShow_data();
    void nothingToShow();
    void setStyle_data();
    void setStyle();
    void readingColourShows_data();
    void readingColourShows();
    void errorReport_data();
    void errorReport();
    void errorReportWithoutOpener();
    void answerShownFlag();
    void answerNowShowsEveryType_data();
    void answerNowShowsEveryType();
    void cellSpansTheWidth();

private:
    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<CellFixture> bank;
};

// One bank for all: no test depends on another's answers.
void TestScrollAreaCellForm::initTestCase()
{
    initResources();
    bank = std::make_unique<CellFixture>();
    QVERIFY2(bank->isOpen(), qPrintable(bank->error()));
}

void TestScrollAreaCellForm::cleanupTestCase()
{
    bank.reset();
}

// A Config.ini of its own for each test.
void TestScrollAreaCellForm::init()
{
    work = std::make_unique<TempWorkDir>();
}

void TestScrollAreaCellForm::cleanup()
{
    work.reset();
}

void TestScrollAreaCellForm::form()
{
    QWidget page;
    auto *view = new ScrollAreaCellForm(&page);
    QCOMPARE(view->parentWidget(), &page);
    QCOMPARE(view->objectName(), QStringLiteral("ScrollAreaCellForm"));
    QCOMPARE(view->size(), QSize(678, 458));
    auto *area = view->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QVERIFY(area);
    // Room for the search page's hit list beside it at the window's opening size.
    QCOMPARE(area->minimumWidth(), 400);
    QCOMPARE(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(area->widgetResizable());
    QCOMPARE(area->widget()->objectName(), QStringLiteral("scrollAreaWidgetContents"));
    QCOMPARE(cellLayout(*view)->parentWidget(), area->widget());
    QCOMPARE(view->layout()->spacing(), 0);
    QCOMPARE(view->layout()->contentsMargins(), QMargins());
    QVERIFY(view->styleSheet().contains(QLatin1String("rgb(195, 195, 195)")));
}

// A form that promotes the view names and styles it after construction.
void TestScrollAreaCellForm::embeddingFormRestyles()
{
    QWidget page;
    auto *view = new ScrollAreaCellForm(&page);
    view->setObjectName(QStringLiteral("widget_cell"));
    view->setStyleSheet(QStringLiteral("#widget_cell{border-right:1px solid rgb(131, 131, 131, 100);}"));
    QCOMPARE(view->objectName(), QStringLiteral("widget_cell"));
    QVERIFY(!view->styleSheet().contains(QLatin1String("rgb(195, 195, 195)")));
    auto group = CellFixture::group(101);
    view->showQuestion(group.get(), 0, 0);
    QCOMPARE(cellClass(viewCell(*view)), QStringLiteral("QuestionCellForm"));
}

void TestScrollAreaCellForm::typeTable_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Show>("how");
    for (int type : allTypes()) {
        QTest::addRow("%d practice", type) << type << Show::Practice;
        QTest::addRow("%d browse", type) << type << Show::Browse;
        QTest::addRow("%d exam", type) << type << Show::Exam;
    }
}

void TestScrollAreaCellForm::typeTable()
{
    QFETCH(int, type);
    QFETCH(Show, how);
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    // Something shown before, which the new show replaces.
    auto before = CellFixture::group(108);
    view.showQuestion(before.get(), 3, 0);
    auto group = recordOfType(type);
    QVERIFY(group);
    show(view, group.get(), how);
    const QString expected = classOfType(type);
    QCOMPARE(cellClass(viewCell(view)), expected);
    const int cells = expected == QLatin1String("none") ? 0 : 1;
    QCOMPARE(cellLayout(view)->count(), cells);
    if (!cells)
        QCOMPARE(view.answerState(), 0);
    // The records are the caller's: the cell copied what it needs.
    group.reset();
    before.reset();
    for (int round = 0; round < 2; ++round) {
        view.showAnswer();
        view.answerState();
        QCOMPARE(cellLayout(view)->count(), cells);
    }
    if (cells)
        QVERIFY(answersShown(viewCell(view)));
}

void TestScrollAreaCellForm::anySequenceKeepsOneCell()
{
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    const QList<int> types = allTypes();
    for (int step = 0; step < 3 * types.size(); ++step) {
        const int type = types[(step * 7) % types.size()];
        auto group = recordOfType(type);
        QVERIFY(group);
        show(view, group.get(), Show(step % 3), step % 5 == 0);
        if (step % 2)
            view.showAnswer();
        view.answerState();
        if (step % 4 == 3)
            view.showAnswer();
        const int cells = classOfType(type) == QLatin1String("none") ? 0 : 1;
        QVERIFY2(cellLayout(view)->count() == cells, qPrintable(QStringLiteral("step %1 type %2").arg(step).arg(type)));
    }
    view.clearCells();
    QCOMPARE(cellLayout(view)->count(), 0);
    QCOMPARE(view.answerState(), 0);
}

void TestScrollAreaCellForm::nothingToShow_data()
{
    QTest::addColumn<int>("cateListId");
    QTest::addColumn<Show>("how");
    for (int id : {101, 103, 106}) {
        QTest::addRow("%d practice", id) << id << Show::Practice;
        QTest::addRow("%d exam", id) << id << Show::Exam;
    }
}

// Choice and shared-option groups without questions, and no group at all.
void TestScrollAreaCellForm::nothingToShow()
{
    QFETCH(int, cateListId);
    QFETCH(Show, how);
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    QCOMPARE(view.answerState(), 0);
    view.showAnswer();
    QCOMPARE(cellLayout(view)->count(), 0);

    auto group = CellFixture::group(cateListId);
    QVERIFY(group);
    qDeleteAll(group->questions);
    group->questions.clear();
    show(view, group.get(), how);
    QCOMPARE(cellLayout(view)->count(), 0);
    QCOMPARE(view.answerState(), 0);
    show(view, nullptr, how);
    QCOMPARE(cellLayout(view)->count(), 0);

    // The early showAnswer opened no later panel.
    auto choice = CellFixture::group(102);
    view.showExamQuestion(choice.get(), 0, QStringLiteral("1"), false);
    QVERIFY(!answersShown(viewCell(view)));
}

void TestScrollAreaCellForm::setStyle_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    const QByteArray set = "[QuestionCell]\r\nquestionfont=14\r\nquestioncolor=227,225,218,255\r\n";
    const QString transparent14 = QStringLiteral("border:0px;background-color: transparent;font: 75 14pt \"微软雅黑\";");
    QTest::newRow("mode 0, no Config.ini") << QByteArray() << 0
                                           << QStringLiteral(
                                                  "background-color: rgb(255,255,255,255);font: 75 12pt \"微软雅黑\";");
    QTest::newRow("mode 0, set") << set << 0
                                 << QStringLiteral("background-color: rgb(227,225,218,255);font: 75 14pt \"微软雅黑\";");
    QTest::newRow("mode 1, set") << set << 1 << transparent14;
    QTest::newRow("mode 1, colour only")
        << QByteArray("[QuestionCell]\r\nquestioncolor=\"0,0,0,255\"\r\n") << 1
        << QStringLiteral("border:0px;background-color: transparent;font: 75 12pt \"微软雅黑\";");
    QTest::newRow("mode 2 changes nothing") << set << 2 << QStringLiteral("unchanged");
    QTest::newRow("mode -1 changes nothing") << set << -1 << QStringLiteral("unchanged");
}

void TestScrollAreaCellForm::setStyle()
{
    QFETCH(QByteArray, config);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    ScrollAreaCellForm view;
    auto *area = view.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    const QString earlier = QStringLiteral("background-color: rgb(1,2,3,255);");
    area->setStyleSheet(earlier);
    if (!config.isEmpty())
        work->writeConfig(config);
    view.setStyle(skin, mode);
    QCOMPARE(area->styleSheet(), expected == QLatin1String("unchanged") ? earlier : expected);
}

void TestScrollAreaCellForm::readingColourShows_data()
{
    QTest::addColumn<int>("cateListId");
    QTest::newRow("empty") << 0;
    QTest::newRow("choice") << 101;
    QTest::newRow("shared option") << 106;
}

// The configured colour is what the user sees around the cell and between
// its options, not the window's grey.
void TestScrollAreaCellForm::readingColourShows()
{
    QFETCH(int, cateListId);
    work->writeConfig("[QuestionCell]\r\nquestioncolor=227,225,218,255\r\n");
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    auto group = cateListId ? CellFixture::group(cateListId) : nullptr;
    view.showQuestion(group.get(), 0, 0);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = view.grab().toImage();
    // The content's left margin, half-way down.
    QCOMPARE(QColor(image.pixel(3, view.height() / 2)), QColor(227, 225, 218));
    if (auto *choice = viewCell(view)) {
        auto *table = choice->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
        const QPoint corner = table->mapTo(&view, QPoint(table->width() - 4, 2));
        QCOMPARE(QColor(image.pixel(corner)), QColor(227, 225, 218));
    }
}

void TestScrollAreaCellForm::errorReport_data()
{
    QTest::addColumn<int>("sourceKind");
    QTest::addColumn<int>("cateListId");
    QTest::addColumn<bool>("exam");
    QTest::addColumn<int>("expectedKind");
    for (bool exam : {false, true}) {
        const char *where = exam ? "exam" : "study";
        QTest::addRow("choice, source 0, %s", where) << 0 << 102 << exam << 0;
        QTest::addRow("choice, source 2, %s", where) << 2 << 102 << exam << 1;
        QTest::addRow("shared option, source 0, %s", where) << 0 << 106 << exam << 0;
        QTest::addRow("shared option, source 2, %s", where) << 2 << 106 << exam << 1;
    }
}

void TestScrollAreaCellForm::errorReport()
{
    QFETCH(int, sourceKind);
    QFETCH(int, cateListId);
    QFETCH(bool, exam);
    QFETCH(int, expectedKind);
    RecordingOpener opener;
    QWidget window;
    auto *view = new ScrollAreaCellForm(&window);
    view->setStyle(skin, exam ? 0 : 1);
    view->setSourceKind(sourceKind);
    auto group = CellFixture::group(cateListId);
    QVERIFY(group);
    if (exam)
        view->showExamQuestion(group.get(), 0, QStringLiteral("3"), false);
    else
        view->showQuestion(group.get(), 0, 0);
    window.show();
    QWidget *cell = viewCell(*view);
    QuestionCellBase *reporter = answeringCells(cell).value(0);
    QVERIFY(reporter);
    auto *button = reporter->findChild<QPushButton *>(QStringLiteral("pushButton_error"));
    if (button->isVisibleTo(&window)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        // The cell offers no button here; what it would report, whatever
        // its own kind, is still re-kinded by the view.
        QVERIFY(sourceKind != 2 || !exam);
        QMetaObject::invokeMethod(reporter, "sendChangeError", Q_ARG(int, 1 - expectedKind),
                                  Q_ARG(int, group->questions.first()->queId),
                                  Q_ARG(QString, group->questions.first()->queText));
    }
    QCOMPARE(opener.reports.size(), 1);
    const RecordingOpener::Report &report = opener.reports.first();
    QCOMPARE(report.kind, expectedKind);
    QCOMPARE(report.skin, skin);
    QCOMPARE(report.queId, group->questions.first()->queId);
    QCOMPARE(report.text, storedText(report.queId));
    QVERIFY(!report.text.isEmpty());
}

void TestScrollAreaCellForm::errorReportWithoutOpener()
{
    QVERIFY(!ErrorReport::hasOpener());
    QWidget window;
    auto *view = new ScrollAreaCellForm(&window);
    view->setStyle(skin, 0);
    auto group = CellFixture::group(102);
    view->showQuestion(group.get(), 0, 0);
    window.show();
    LogCapture log;
    QTest::mouseClick(viewCell(*view)->findChild<QPushButton *>(QStringLiteral("pushButton_error")), Qt::LeftButton);
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines().first().contains(QLatin1String("1002")));
}

// After the first showAnswer every choice question of the exam opens its
// panel at once; before it none does.
void TestScrollAreaCellForm::answerShownFlag()
{
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    auto first = CellFixture::group(101);
    auto second = CellFixture::group(102);
    view.showExamQuestion(first.get(), 0, QStringLiteral("1"), false);
    QVERIFY(!answersShown(viewCell(view)));
    view.showExamQuestion(second.get(), 1, QStringLiteral("2"), false);
    QVERIFY(!answersShown(viewCell(view)));
    view.showAnswer();
    QVERIFY(answersShown(viewCell(view)));
    view.showExamQuestion(first.get(), 0, QStringLiteral("1"), false);
    QVERIFY(answersShown(viewCell(view)));
    QVERIFY(!viewCell(view)->findChild<QWidget *>(QStringLiteral("widget_answer"))->isHidden());
}

void TestScrollAreaCellForm::answerNowShowsEveryType_data()
{
    QTest::addColumn<int>("cateListId");
    for (int id : {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111})
        QTest::addRow("%d", id) << id;
}

void TestScrollAreaCellForm::answerNowShowsEveryType()
{
    QFETCH(int, cateListId);
    const QString before = CellFixture::userData();
    ScrollAreaCellForm view;
    view.setStyle(skin, 0);
    auto group = CellFixture::group(cateListId);
    QVERIFY(group);
    view.showExamQuestion(group.get(), 0, QStringLiteral("1"), true);
    QVERIFY(viewCell(view));
    QVERIFY(answersShown(viewCell(view)));
    for (QuestionCellBase *cell : answeringCells(viewCell(view)))
        QCOMPARE(cell->workMode(), int(QuestionCellBase::ExamMode));
    QCOMPARE(CellFixture::userData(), before);
}

// The cell takes the scroll area's width; no horizontal scrolling.
void TestScrollAreaCellForm::cellSpansTheWidth()
{
    for (int id : {101, 103, 106, 107, 108, 109, 110}) {
        ScrollAreaCellForm view;
        view.setStyle(skin, 0);
        auto group = CellFixture::group(id);
        view.showQuestion(group.get(), 0, 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *area = view.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
        QWidget *cell = viewCell(view);
        const int free = area->viewport()->width() - cell->width();
        QVERIFY2(free >= 0 && free <= 30, qPrintable(QStringLiteral("group %1: %2").arg(id).arg(free)));
        QVERIFY2(!area->horizontalScrollBar()->isVisible(), qPrintable(QString::number(id)));
    }
}

QTEST_MAIN(TestScrollAreaCellForm)
#include "tst_scrollareacellform.moc"
