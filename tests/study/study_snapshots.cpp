// Draws the question-bank page, a set row and the clear-records dialog, the
// quick-memorisation page with its listing window and the exam syllabus
// page on a copy of the demo subject into PNG files, to look at them
// without a screen, in a page area WIDTH pixels wide (855 by default):
//   study_snapshots OUTDIR DEMO_DATA_DIR [WIDTH]
#include "BuiltinPassphrase.h"
#include "ClearQuestionsRecord.h"
#include "CollectionWidget.h"
#include "DataToUiThreadClass.h"
#include "ExamCellForm.h"
#include "ExamOutlineWidget.h"
#include "ExamQuestionsWidget.h"
#include "ErrorQuestionWidget.h"
#include "FindQuestionWidget.h"
#include "QuickBackQuestions.h"
#include "QuickBackQuestionsCell.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "UserTextWidget.h"
#include "ViewReport.h"
#include "DrawCurveForm.h"
#include "MainQuestion.h"
#include "NewKnowWidget.h"
#include "QuestionData.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

namespace {

const QString green = QStringLiteral("80,153,2,255");
// The page area's size: the main window's at its smallest, or as given.
QSize stageSize(855, 600);

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    return done();
}

// The main window's page area: the page on the default skin's ground.
struct Stage
{
    QWidget area;
    ExamQuestionsWidget *page;

    Stage()
    {
        area.setObjectName(QStringLiteral("stage"));
        area.setAttribute(Qt::WA_StyledBackground);
        area.setStyleSheet(QStringLiteral("#stage{border-image: url(:/Skin/images/Skin/blue_d.jpg);}"));
        auto *layout = new QVBoxLayout(&area);
        layout->setContentsMargins(0, 0, 0, 0);
        page = new ExamQuestionsWidget;
        layout->addWidget(page);
        area.resize(stageSize);
        area.show();
        page->setSkinColor(green);
    }

    bool visit()
    {
        page->enterPage();
        auto *worker = page->findChild<DataToUiThreadClass *>();
        return waitFor([worker] { return worker->isFinished(); });
    }
};

// Some answers in the first set (right and wrong) and one in the second, an
// hour apart, so the rings and times show.
void study(SqliteClass *store)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select q.queId from tQue q join tCateList l on l.cateListId = q.cateListId "
                              "join tCate c on c.cateId = l.cateId where q.IsDel != '1' and c.faId = "
                              "(select cateId from tCate where faId = (select cateId from tCate where faId = 0 "
                              "order by ord limit 1) order by ord limit 1) order by c.ord, l.ord, q.ord"));
    QList<int> ids;
    while (query.next())
        ids << query.value(0).toInt();
    const int answered[] = {0, 1, 2, 3, 4, 6, 7};
    for (int i : answered) {
        if (i < ids.size())
            store->recordAnswer(ids.at(i), QStringLiteral("A"), i % 3 ? QStringLiteral("1") : QStringLiteral("2"),
                                QStringLiteral("001"));
    }
    if (!ids.isEmpty())
        store->recordAnswer(ids.last(), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001"));
    // A name longer than its row: the counts and rings must stay in place.
    store->execSql(QStringLiteral("update tCate set cateName = '肺炎与肺结核：社区获得性肺炎、医院获得性肺炎与"
                                  "肺结核的病原学、临床表现、诊断、鉴别诊断及治疗原则' where cateName = '肺炎与肺结核'"));
}

ExamCellForm *firstRow(ExamQuestionsWidget *page)
{
    return qobject_cast<ExamCellForm *>(page->findChild<QTableWidget *>()->cellWidget(0, 0));
}

ClearQuestionsRecord *openClearDialog(ExamQuestionsWidget *page)
{
    firstRow(page)->findChild<QPushButton *>(QStringLiteral("pushButton_clear"))->click();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<ClearQuestionsRecord *>(window))
            return dialog;
    }
    return nullptr;
}

// The dialog in each of its looks; the last one fails for real.
void drawDialog(ExamQuestionsWidget *page, const QDir &out)
{
    ClearQuestionsRecord *dialog = openClearDialog(page);
    saveSnapshot(dialog, out, QStringLiteral("clear_asking"));

    auto *bar = dialog->findChild<QProgressBar *>(QStringLiteral("progressBar"));
    bar->setRange(0, 4);
    bar->setValue(2);
    bar->show();
    saveSnapshot(dialog, out, QStringLiteral("clear_clearing"));
    bar->hide();

    auto *question = dialog->findChild<QAbstractButton *>(QStringLiteral("checkBox_question"));
    auto *confirm = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_save"));
    question->click();
    confirm->click();
    saveSnapshot(dialog, out, QStringLiteral("clear_nothing_chosen"));
    question->click();

    SqliteClass::instance()->execSql(QStringLiteral(
        "CREATE TEMP TRIGGER refuse BEFORE UPDATE ON tQue BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("label_tishi"));
    confirm->click();
    waitFor([status] { return status->text().startsWith(QLatin1String("[Error:]")); });
    saveSnapshot(dialog, out, QStringLiteral("clear_failed"));
    SqliteClass::instance()->execSql(QStringLiteral("DROP TRIGGER refuse"));
    dialog->show();
    confirm->click();
    waitFor([dialog] { return !dialog->isVisible(); });
}

// The page in the main window's page area, on the default skin's ground.
QWidget *pageArea(QWidget *page)
{
    auto *area = new QWidget;
    area->setObjectName(QStringLiteral("stage"));
    area->setAttribute(Qt::WA_StyledBackground);
    area->setStyleSheet(QStringLiteral("#stage{border-image: url(:/Skin/images/Skin/blue_d.jpg);}"));
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    area->resize(stageSize);
    area->show();
    return area;
}

void clickItem(QTreeWidget *view, QTreeWidgetItem *item)
{
    view->scrollToItem(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

// Page 9: the first section's sets, then the listing window on its first set.
bool drawQuickBack(const QDir &out)
{
    auto *page = new QuickBackQuestions;
    const std::unique_ptr<QWidget> area(pageArea(page));
    page->setSkinColor(green);
    auto *tree = page->findChild<QTreeWidget *>();
    QTreeWidgetItem *chapter = tree->topLevelItem(0);
    if (!chapter || !chapter->child(0))
        return false;
    clickItem(tree, chapter->child(0));
    auto *worker = page->findChild<DataToUiThreadClass *>();
    if (!waitFor([worker] { return worker->isFinished(); }))
        return false;
    saveSnapshot(area.get(), out, QStringLiteral("page9_section_listed"));

    auto *table = page->findChild<QTableWidget *>();
    auto *row = qobject_cast<QuickBackQuestionsCell *>(table->cellWidget(0, 0));
    if (!row)
        return false;
    auto *open = row->findChild<QPushButton *>();
    QTest::mouseMove(open);
    saveSnapshot(area.get(), out, QStringLiteral("page9_button_under_mouse"));
    saveSnapshot(row, out, QStringLiteral("page9_row_zoomed"), 2);
    row->show();
    QTest::mouseClick(open, Qt::LeftButton);
    ViewReport *listing = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        listing = listing ? listing : qobject_cast<ViewReport *>(window);
    if (!listing)
        return false;
    auto *busy = listing->findChild<WaitingForm *>();
    if (!waitFor([busy] { return busy && busy->isHidden(); }))
        return false;
    saveSnapshot(listing, out, QStringLiteral("page9_listing"));
    return true;
}

// Page 12: the first unit unfolded down to its third level, a node's text shown.
bool drawOutline(const QDir &out)
{
    auto *page = new ExamOutlineWidget;
    const std::unique_ptr<QWidget> area(pageArea(page));
    page->setSkinColor(green);
    page->loadTree();
    saveSnapshot(area.get(), out, QStringLiteral("page12_first_visit"));
    auto *tree = page->findChild<QTreeWidget *>();
    QTreeWidgetItem *unit = tree->topLevelItem(0);
    if (!unit || !unit->child(0) || !unit->child(0)->child(0))
        return false;
    clickItem(tree, unit);
    clickItem(tree, unit->child(0));
    unit->child(0)->setExpanded(true);
    clickItem(tree, unit->child(0)->child(0));
    saveSnapshot(area.get(), out, QStringLiteral("page12_node_text"));
    return true;
}

} // namespace

// ---- Page 8: the review page and its chart ---------------------------------

namespace review {

// Answers spread over today's hours, the week, the month and last year, on
// questions the other pages leave alone (the bank's last ones).
void spreadAnswers(SqliteClass *store, const QDateTime &now)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select queId from tQue where IsDel != '1' order by queId desc limit 90"));
    QList<int> ids;
    while (query.next())
        ids << query.value(0).toInt();
    QList<QDateTime> times;
    for (int hour = 6; hour <= now.time().hour(); ++hour)
        for (int n = 0; n <= hour % 4; ++n)
            times << QDateTime(now.date(), QTime(hour, 5 + n * 10));
    for (int day = 1; day <= 7; ++day)
        for (int n = 0; n < 1 + day % 3; ++n)
            times << now.addDays(-day).addSecs(-n * 3600);
    for (int day = 9; day <= 30; day += 3)
        times << now.addDays(-day);
    for (int month = 2; month <= 12; month += 2)
        times << QDateTime(QDate(now.date().year() - 1, month, 12), QTime(9, 0));
    for (int i = 0; i < times.size() && i < ids.size(); ++i)
        store->execSql(QStringLiteral("update tQue set userStatus = '%1', userAnswer = 'A', userTime = '%2' "
                                      "where queId = %3")
                           .arg(i % 3 ? 1 : 2)
                           .arg(times.at(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                           .arg(ids.at(i)));
}

// Records for the chart alone: a busy month.
QList<MainQuestion *> monthRecords(const QDateTime &now)
{
    QList<MainQuestion *> records;
    for (int day = 0; day < 31; ++day) {
        for (int n = 0; n < (day * 37) % 90 + 5; ++n) {
            auto *record = new MainQuestion;
            auto *question = new QuestionData;
            question->userTime = now.addDays(-day);
            question->userStatus = n % 3 ? 1 : 2;
            record->questions << question;
            records << record;
        }
    }
    return records;
}

bool draw(SqliteClass *store, const QDir &out)
{
    // Late in the day, so that today has answers at many hours.
    const QDateTime now(QDate::currentDate(), QTime(20, 30));
    spreadAnswers(store, now);
    auto *page = new NewKnowWidget;
    page->setNow(now);
    const std::unique_ptr<QWidget> area(pageArea(page));
    page->setSkinColor(green);
    page->loadList();
    auto *worker = page->findChild<DataToUiThreadClass *>();
    if (!waitFor([worker] { return worker->isFinished(); }))
        return false;
    auto *tabs = page->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    const struct {
        const char *button;
        const char *name;
    } periods[] = {{"pushButton_day", "today"}, {"pushButton_week", "week"},
                   {"pushButton_month", "month"}, {"pushButton_all", "all"}};
    for (const auto &period : periods) {
        QTest::mouseClick(page->findChild<QPushButton *>(QLatin1String(period.button)), Qt::LeftButton);
        tabs->setCurrentIndex(0);
        saveSnapshot(area.get(), out, QStringLiteral("page8_%1_list").arg(QLatin1String(period.name)));
        tabs->setCurrentIndex(1);
        saveSnapshot(area.get(), out, QStringLiteral("page8_%1_chart").arg(QLatin1String(period.name)));
    }
    tabs->setCurrentIndex(0);

    const QList<MainQuestion *> records = monthRecords(now);
    DrawCurveForm chart;
    chart.setCurveColors(QColor(107, 107, 107), QColor(119, 183, 51), QColor(255, 0, 0));
    chart.setSkinColor(green);
    chart.setQuestions(ReviewMonth, records);
    chart.resize(618, 236);
    saveSnapshot(&chart, out, QStringLiteral("chart_month_618x236"));
    chart.resize(1100, 480);
    saveSnapshot(&chart, out, QStringLiteral("chart_month_large"));
    chart.setQuestions(ReviewToday, records);
    chart.resize(618, 236);
    saveSnapshot(&chart, out, QStringLiteral("chart_today_618x236"));
    qDeleteAll(records);
    return true;
}

} // namespace review

// ---- Pages 2, 3, 4 (wrong questions, favourites, notes) and 7 (search) -----

namespace {

// A review page in the page area after its load, as the main window shows it.
template <class Page>
bool drawReviewPage(const QDir &out, const QString &name)
{
    auto *page = new Page;
    const std::unique_ptr<QWidget> area(pageArea(page));
    page->setSkinColor(green);
    page->loadList();
    auto *worker = page->template findChild<DataToUiThreadClass *>();
    if (!waitFor([worker] { return worker->isFinished(); }))
        return false;
    saveSnapshot(area.get(), out, name);
    return true;
}

// Wrong answers, favourites and notes on the demo subject's first questions,
// written as the question view writes them.
void reviewRecords(SqliteClass *store)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select q.queId, q.answer from tQue q join tCateList l on l.cateListId = q.cateListId "
                              "where q.IsDel != '1' and l.queTypeId in (1, 2) order by q.queId limit 12"));
    int i = 0;
    while (query.next()) {
        const int queId = query.value(0).toInt();
        const QString answer = query.value(1).toString();
        store->recordAnswer(queId, answer == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A"),
                            QStringLiteral("2"), QStringLiteral("001"));
        if (i % 3 == 0)
            store->setFavourite(queId, 1);
        if (i % 4 == 1)
            store->saveNote(queId, QStringLiteral("注意区分典型表现与鉴别要点。"));
        ++i;
    }
}

bool drawSearch(const QDir &out)
{
    auto *page = new FindQuestionWidget;
    const std::unique_ptr<QWidget> area(pageArea(page));
    page->setSkinColor(green);
    saveSnapshot(area.get(), out, QStringLiteral("page7_first_visit"));
    page->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("肺"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("btnSearch")), Qt::LeftButton);
    auto *worker = page->findChild<DataToUiThreadClass *>();
    if (!waitFor([worker] { return worker->isFinished(); }))
        return false;
    auto *table = page->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    if (table->rowCount() == 0)
        return false;
    saveSnapshot(area.get(), out, QStringLiteral("page7_hits"));
    page->receiveClicked(0);
    QApplication::processEvents();
    saveSnapshot(area.get(), out, QStringLiteral("page7_hit_shown"));
    return true;
}

} // namespace

// The review pages empty, then with records, and the search page; the
// bank's user records are cleared first.
static bool drawReviewAndSearchPages(SqliteClass *store, const QDir &out)
{
    // As at start-up: the cells name the question types.
    store->loadQuestionTypes();
    store->execSql(QStringLiteral("UPDATE tQue SET userStatus = '0', userAnswer = NULL, userTime = NULL, "
                                  "userFav = '0', userNote = NULL"));
    // A new user's first visit of page 8, nothing answered yet.
    {
        auto *page = new NewKnowWidget;
        const std::unique_ptr<QWidget> area(pageArea(page));
        page->setSkinColor(green);
        page->loadList();
        auto *worker = page->findChild<DataToUiThreadClass *>();
        if (!waitFor([worker] { return worker->isFinished(); }))
            return false;
        saveSnapshot(area.get(), out, QStringLiteral("page8_nothing_answered"));
    }
    if (!drawReviewPage<ErrorQuestionWidget>(out, QStringLiteral("page2_empty"))
        || !drawReviewPage<CollectionWidget>(out, QStringLiteral("page3_empty"))
        || !drawReviewPage<UserTextWidget>(out, QStringLiteral("page4_empty")))
        return false;
    reviewRecords(store);
    return drawReviewPage<ErrorQuestionWidget>(out, QStringLiteral("page2_listed"))
           && drawReviewPage<CollectionWidget>(out, QStringLiteral("page3_listed"))
           && drawReviewPage<UserTextWidget>(out, QStringLiteral("page4_listed")) && drawSearch(out);
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: study_snapshots OUTDIR DEMO_DATA_DIR [WIDTH]\n");
        return 2;
    }
    if (argc == 4)
        stageSize.setWidth(QString::fromLocal8Bit(argv[3]).toInt());
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QDir demo(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QDir().mkdir(QStringLiteral("data"));
    if (!QFile::copy(demo.filePath(QStringLiteral("MedicalDB.db")), QStringLiteral("data/MedicalDB.db"))) {
        std::fprintf(stderr, "no MedicalDB.db in %s\n", argv[2]);
        return 1;
    }
    SqliteClass *store = SqliteClass::instance();
    if (store->openDatabase(QStringLiteral("data"), QString::fromLatin1(builtinPassphrase), 0) != 2) {
        std::fprintf(stderr, "cannot open the demo bank\n");
        return 1;
    }
    study(store);

    Stage stage;
    if (!stage.visit()) {
        std::fprintf(stderr, "the sets did not load\n");
        return 1;
    }
    saveSnapshot(&stage.area, out, QStringLiteral("page1_first_visit"));

    QTest::mouseMove(firstRow(stage.page)->findChild<QPushButton *>(QStringLiteral("pushButton_learn")));
    saveSnapshot(&stage.area, out, QStringLiteral("page1_row_under_mouse"));
    // The row alone, enlarged: the rings must fit its 54 pixels.
    saveSnapshot(firstRow(stage.page), out, QStringLiteral("row_zoomed"), 3);
    firstRow(stage.page)->show();
    QTest::mouseMove(&stage.area, QPoint(600, 500));

    drawDialog(stage.page, out);
    saveSnapshot(&stage.area, out, QStringLiteral("page1_after_clearing"));

    if (!drawQuickBack(out)) {
        std::fprintf(stderr, "the quick-memorisation page did not list the demo sets\n");
        return 1;
    }
    if (!drawOutline(out)) {
        std::fprintf(stderr, "the demo syllabus has no third level\n");
        return 1;
    }
    if (!review::draw(store, out)) {
        std::fprintf(stderr, "the review page did not load\n");
        return 1;
    }
    if (!drawReviewAndSearchPages(store, out)) {
        std::fprintf(stderr, "the review or search pages did not list the demo questions\n");
        return 1;
    }
    return 0;
}
