// The timed exam window: its form, the three kinds of paper, loading and
// numbering on the answer card, the end of loading, the clock, showing a
// question, and windows closed while their paper still loads.
#include "NewTalkExamForm.h"

#include "DataToUiThreadClass.h"
#include "DialogAnswerer.h"
#include "ExamBankSql.h"
#include "ExamSection.h"
#include "FixtureBank.h"
#include "LabelForm.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "MyMessageBox.h"
#include "NewTalkExamCell.h"
#include "QuestionTypeTipDialog.h"
#include "Resources.h"
#include "ScrollAreaCellForm.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int loadWait = 60000;

using TypeCounts = QList<QPair<int, int>>; // simulated-exam parts: type, count

// A working directory and a bank of exactly the given content, open in the
// store; the store goes before the directory.
struct Session
{
    TempWorkDir dir;
    FixtureBank bank;

    bool open(const QString &sql)
    {
        bank.setSchemaOnly();
        bank.addSql(sql);
        if (!bank.open()) {
            qWarning() << bank.error();
            return false;
        }
        SqliteClass *store = SqliteClass::instance();
        return store->openDatabase(bank.path(), phrase, 0) == 2 && store->loadQuestionTypes() == 0;
    }
    ~Session() { delete SqliteClass::instance(); }
};

// The caller's parts of a simulated exam, named after their types.
QList<ExamSection *> simulatedParts(const TypeCounts &counts)
{
    QList<ExamSection *> parts;
    for (const auto &entry : counts) {
        auto *part = new ExamSection;
        part->queTypeId = entry.first;
        part->count = entry.second;
        part->name = QStringLiteral("第%1类").arg(entry.first);
        part->description = QStringLiteral("说明%1").arg(entry.first);
        parts << part;
    }
    return parts;
}

void start(NewTalkExamForm *window, int mode, int paperType, const TypeCounts &counts)
{
    if (mode == 0) {
        window->startManMachineExam(paperType);
    } else if (mode == 1) {
        const QList<ExamSection *> parts = simulatedParts(counts);
        window->startSimulatedExam(parts);
        qDeleteAll(parts); // the caller keeps its records
    } else {
        window->startPredictionPaper(1, 2);
    }
}

WaitingForm *overlay(QWidget *window)
{
    return window->findChild<WaitingForm *>();
}

QList<NewTalkExamCell *> sections(QWidget *window)
{
    QList<NewTalkExamCell *> found;
    // The card column is the nested layout under the legend picture.
    auto *card = window->findChild<QWidget *>(QStringLiteral("cardWidget"));
    auto *contents = card ? card->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents")) : nullptr;
    QLayout *column = contents && contents->layout() ? contents->layout()->itemAt(1)->layout() : nullptr;
    if (!column || column->objectName() != QLatin1String("verticalLayout"))
        qFatal("no card column");
    for (int i = 0; column && i < column->count(); ++i) {
        if (auto *section = qobject_cast<NewTalkExamCell *>(column->itemAt(i)->widget()))
            found << section;
    }
    return found;
}

QStringList titles(QWidget *window)
{
    QStringList found;
    for (NewTalkExamCell *section : sections(window))
        found << section->findChild<QLabel *>(QStringLiteral("label_title"))->text();
    return found;
}

QList<LabelForm *> buttons(NewTalkExamCell *section)
{
    return section->findChildren<LabelForm *>();
}

QStringList numberTexts(NewTalkExamCell *section)
{
    QStringList texts;
    for (LabelForm *button : buttons(section))
        texts << button->text();
    return texts;
}

QList<int> questionCounts(QWidget *window)
{
    QList<int> counts;
    for (NewTalkExamCell *section : sections(window))
        counts << section->questionCount();
    return counts;
}

template<typename T>
T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QList<QuestionTypeTipDialog *> paperDialogs()
{
    QList<QuestionTypeTipDialog *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QuestionTypeTipDialog *>(widget)) {
            if (dialog->isVisible())
                found << dialog;
        }
    }
    return found;
}

bool loaded(QWidget *window)
{
    return overlay(window) && overlay(window)->isHidden();
}

QString clockText(const QString &limit, const QString &elapsed)
{
    return QStringLiteral("考试时间：%1      已用时间：%2").arg(limit, elapsed);
}

QList<int> repeat(int n, int value)
{
    return QVector<int>(n, value).toList();
}

} // namespace

Q_DECLARE_METATYPE(TypeCounts)

class TestNewTalkExamForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void cleanup();

    void form();
    void skinColour();
    void manMachineParts_data();
    void manMachineParts();
    void predictionOrder_data();
    void predictionOrder();
    void predictionNumbering();
    void twoWindowsTakeOnlyTheirOwnLists();
    void simulatedParts_data();
    void simulatedParts();
    void startReturnsBeforeLoading();
    void shortcutsWaitForLoading_data();
    void shortcutsWaitForLoading();
    void cardWaitsForLoading();
    void failedJobKeepsWhatCame();
    void clock_data();
    void clock();
    void clockStopsAtLimit();
    void noQuestion_data();
    void noQuestion();
    void closedWhileLoading();
    void deletedWithListsQueued();
    void leavingQuestionMarksIt_data();
    void leavingQuestionMarksIt();
    void overlayFollowsResize();
};

void TestNewTalkExamForm::cleanup()
{
    // Paper dialogs have no parent and outlive their windows.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog *>(widget))
            delete widget;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestNewTalkExamForm::form()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().text()));
    SqliteClass *store = SqliteClass::instance();
    QVERIFY(!store->isExamWindowOpen());
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    QVERIFY(store->isExamWindowOpen());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->windowTitle(), QStringLiteral("人机对话"));
    QCOMPARE(window->size(), QSize(1024, 700));
    QCOMPARE(child<QLabel>(window, "label_3")->text(), QStringLiteral("座位号：1"));
    QCOMPARE(child<QLabel>(window, "label_2")->text(),
             QStringLiteral("当前试室：第一试室\t当前场次：第00场\n姓名：测试考生\t性别：男\t准考证号：1001\t报考专业：测试专业"));
    QCOMPARE(child<QLabel>(window, "label_time")->text(), QStringLiteral("考试时间：2：00:00      已用时间：2:03:04"));
    QCOMPARE(child<QLabel>(window, "label_question_count")->text(), QStringLiteral("试题总数：%1题      已答：%2题"));
    QCOMPARE(child<QProgressBar>(window, "progress_time")->value(), 0);
    QVERIFY(child<ScrollAreaCellForm>(window, "widget_cellform"));

    const QList<QPair<QString, QString>> shortcuts{{"btn_last", "Left"}, {"btn_next", "Right"},
                                                   {"pushButton", "2"}, {"pushButton_2", "3"}, {"btn_submit", "4"}};
    for (const auto &entry : shortcuts) {
        auto *button = child<QPushButton>(window, entry.first.toLatin1().constData());
        QCOMPARE(button->shortcut(), QKeySequence(entry.second));
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(button->text().isEmpty());
        QCOMPARE(button->minimumSize(), button->maximumSize());
    }
    QCOMPARE(child<QPushButton>(window, "btn_last")->minimumSize(), QSize(114, 45));
    QCOMPARE(child<QPushButton>(window, "btn_next")->minimumSize(), QSize(110, 45));

    for (const QSize size : {QSize(1024, 700), QSize(1280, 800)}) {
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_COMPARE(child<QWidget>(window, "cardWidget")->width(), 280);
        QCOMPARE(child<QWidget>(window, "widget_3")->height(), 70);
        QCOMPARE(child<QWidget>(window, "progressWidget")->height(), 70);
        QVERIFY(child<QWidget>(window, "widget_2")->height() <= 100);
        auto *seat = child<QLabel>(window, "label_3");
        QVERIFY(seat->fontMetrics().horizontalAdvance(seat->text()) <= seat->width());
    }
    window->close();
    QVERIFY(!store->isExamWindowOpen());
    QTRY_VERIFY(window.isNull());
}

void TestNewTalkExamForm::skinColour()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().text()));
    NewTalkExamForm window;
    window.setSkinColor(QStringLiteral("98,166,34,255"));
    QCOMPARE(child<ScrollAreaCellForm>(&window, "widget_cellform")->styleSheet(),
             QStringLiteral("background-color:rgb(255,255,255,255)"));
}

void TestNewTalkExamForm::manMachineParts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("paperType");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<int>("seconds");

    const QList<int> tenGroupsOfThree = repeat(10, 3);
    const QString plenty = ExamBankSql()
                               .singles(1, 70)
                               .singles(6, 30)
                               .groups(3, repeat(10, 2))
                               .groups(4, tenGroupsOfThree)
                               .groups(7, repeat(12, 2))
                               .text();
    QTest::newRow("paper 0") << plenty << 0 << QStringList{"多选题(X型题)", "案例分析题(A4型题)"}
                             << QList<int>{25, 24} << "02:00:00" << 7200;
    QTest::newRow("paper 1") << plenty << 1
                             << QStringList{"单项选择题(A1型题)", "多选题(X型题)", "案例分析题(A4型题)"}
                             << QList<int>{25, 15, 21} << "02:00:00" << 7200;
    QTest::newRow("paper 2") << plenty << 2
                             << QStringList{"单项选择题(A1型题)", "配伍题(B1型题)", "案例分析题(A4型题)"}
                             << QList<int>{60, 20, 24} << "01:30:00" << 5400;
    QTest::newRow("fewer, no A4 group") << ExamBankSql().singles(1, 5).singles(6, 3).groups(3, {3, 1}).text() << 1
                                        << QStringList{"单项选择题(A1型题)", "多选题(X型题)", "案例分析题(A3型题)"}
                                        << QList<int>{5, 3, 4} << "02:00:00" << 7200;
    QTest::newRow("empty part dropped") << ExamBankSql().singles(1, 30).groups(4, {2, 2}).text() << 1
                                        << QStringList{"单项选择题(A1型题)", "案例分析题(A4型题)"}
                                        << QList<int>{25, 4} << "02:00:00" << 7200;
    QTest::newRow("type without record")
        << ExamBankSql().singles(6, 2).groups(4, {2}).raw("DELETE FROM tQueType WHERE queTypeId = 6;").text() << 0
        << QStringList{"多选题()", "案例分析题(A4型题)"} << QList<int>{2, 2} << "02:00:00" << 7200;
}

void TestNewTalkExamForm::manMachineParts()
{
    QFETCH(QString, sql);
    QFETCH(int, paperType);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, counts);
    QFETCH(QString, limit);
    QFETCH(int, seconds);

    Session session;
    QVERIFY(session.open(sql));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startManMachineExam(paperType);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);

    QCOMPARE(window->windowTitle(), QStringLiteral("人机对话"));
    QCOMPARE(::titles(window), titles);
    QCOMPARE(questionCounts(window), counts);
    int total = 0;
    for (int count : counts)
        total += count;
    QCOMPARE(child<QLabel>(window, "label_question_count")->text(),
             QStringLiteral("试题总数：%1题      已答：0题").arg(total));
    QCOMPARE(child<QProgressBar>(window, "progress_question_count")->maximum(), total);
    QCOMPARE(child<QLabel>(window, "label_time")->text(), clockText(limit, "00:00:00"));
    QCOMPARE(child<QProgressBar>(window, "progress_time")->maximum(), seconds);

    // The paper dialog names the kept parts; the first question is shown.
    const QList<QuestionTypeTipDialog *> dialogs = paperDialogs();
    QCOMPARE(dialogs.size(), 1);
    QStringList lines;
    for (int i = 0; i < titles.size(); ++i)
        lines << QStringLiteral("第%1部分：%2").arg(i + 1).arg(titles.at(i));
    QCOMPARE(dialogs.first()->findChild<QLabel *>(QStringLiteral("content"))->text(), lines.join("\r\n"));
    QCOMPARE(buttons(sections(window).first()).first()->state(), 1);
    delete window;
}

void TestNewTalkExamForm::predictionOrder_data()
{
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("1,3,4,7") << QList<int>{1, 3, 4, 7} << QStringList{"A1型题", "B1型题", "A3型题", "A4型题"};
    QTest::newRow("3,6,7") << QList<int>{3, 6, 7} << QStringList{"B1型题", "X型题", "A3型题"};
    QTest::newRow("3,4") << QList<int>{3, 4} << QStringList{"A4型题", "A3型题"};
    QTest::newRow("1,3,4") << QList<int>{1, 3, 4} << QStringList{"A1型题", "A4型题", "A3型题"};
    QTest::newRow("1,2,6") << QList<int>{1, 2, 6} << QStringList{"A1型题", "A2型题", "X型题"};
}

void TestNewTalkExamForm::predictionOrder()
{
    QFETCH(QList<int>, types);
    QFETCH(QStringList, titles);

    ExamBankSql sql;
    sql.paper(1);
    for (int type : types)
        sql.paperGroups(1, type, {1});
    Session session;
    QVERIFY(session.open(sql.text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startPredictionPaper(1, 2);
    QCOMPARE(window->windowTitle(), QStringLiteral("押题版"));
    QCOMPARE(::titles(window), titles);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    QCOMPARE(::titles(window), titles);
    delete window;
}

void TestNewTalkExamForm::predictionNumbering()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().paper(1).paperGroups(1, 1, {1, 1, 1}).paperGroups(1, 7, {2, 1, 10}).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startPredictionPaper(1, 2);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);

    const QList<NewTalkExamCell *> parts = sections(window);
    QCOMPARE(parts.size(), 2);
    QCOMPARE(numberTexts(parts.at(0)), (QStringList{"1", "2", "3"}));
    QStringList expected{"4.1", "4.2", "5.1"};
    for (int k = 1; k <= 10; ++k)
        expected << QStringLiteral("6.%1").arg(k);
    QCOMPARE(numberTexts(parts.at(1)), expected);

    // The ids start at 0 again in the second part; a click sends the part index.
    QSignalSpy clicks(parts.at(1), &NewTalkExamCell::sendNewTalkExam);
    const QList<LabelForm *> second = buttons(parts.at(1));
    for (LabelForm *button : second)
        button->click();
    QCOMPARE(clicks.size(), expected.size());
    for (int k = 0; k < clicks.size(); ++k) {
        QCOMPARE(clicks.at(k).at(0).toInt(), 1);
        QCOMPARE(clicks.at(k).at(1).toInt(), k);
    }
    delete window;
}

void TestNewTalkExamForm::twoWindowsTakeOnlyTheirOwnLists()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().paper(1).paperGroups(1, 1, {1, 1, 1}).paper(2).paperGroups(2, 1, {1, 1}).text()));
    // As after a close: the old window still lives while the next one loads.
    QPointer<NewTalkExamForm> first = new NewTalkExamForm;
    QPointer<NewTalkExamForm> second = new NewTalkExamForm;
    first->startPredictionPaper(1, 2);
    second->startPredictionPaper(2, 2);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(first) && loaded(second), loadWait);
    QCOMPARE(numberTexts(sections(first).value(0)), (QStringList{"1", "2", "3"}));
    QCOMPARE(numberTexts(sections(second).value(0)), (QStringList{"1", "2"}));
    delete first;
    delete second;
}

void TestNewTalkExamForm::simulatedParts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<TypeCounts>("chosen");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QStringList>("numbers");

    const QString bank = ExamBankSql().singles(1, 10).groups(3, {2, 3}).singles(6, 4, 2).singles(11, 3).text();
    QTest::newRow("types in order") << bank << TypeCounts{{1, 3}, {3, 2}} << QStringList{"第1类", "第3类"}
                                    << QList<int>{3, 5} << QStringList{"1", "2", "3"};
    QTest::newRow("absent type and zero count left out")
        << bank << TypeCounts{{7, 2}, {1, 0}, {11, 2}} << QStringList{"第11类"} << QList<int>{2}
        << QStringList{"1", "2"};
    QTest::newRow("unticked chapter part dropped at the end")
        << bank << TypeCounts{{6, 2}, {1, 2}} << QStringList{"第1类"} << QList<int>{2} << QStringList{"1", "2"};
}

void TestNewTalkExamForm::simulatedParts()
{
    QFETCH(QString, sql);
    QFETCH(TypeCounts, chosen);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, numbers);

    Session session;
    QVERIFY(session.open(sql));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    start(window, 1, 0, chosen);
    QCOMPARE(window->windowTitle(), QStringLiteral("模拟考场"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    QCOMPARE(::titles(window), titles);
    QCOMPARE(questionCounts(window), counts);
    QCOMPARE(numberTexts(sections(window).first()), numbers);
    QCOMPARE(child<QLabel>(window, "label_time")->text(), clockText("02:00:00", "00:00:00"));
    delete window;
}

void TestNewTalkExamForm::startReturnsBeforeLoading()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 70).singles(6, 20).groups(4, repeat(9, 2)).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->startManMachineExam(1);
    QVERIFY(overlay(window)->isVisible());
    QCOMPARE(overlay(window)->geometry(), window->rect());
    QCOMPARE(questionCounts(window), (QList<int>{0, 0, 0}));
    QVERIFY(paperDialogs().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    QCOMPARE(questionCounts(window), (QList<int>{25, 15, 14}));
    delete window;
}

void TestNewTalkExamForm::shortcutsWaitForLoading_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Left") << int(Qt::Key_Left);
    QTest::newRow("Right") << int(Qt::Key_Right);
    QTest::newRow("2") << int(Qt::Key_2);
    QTest::newRow("3") << int(Qt::Key_3);
    QTest::newRow("4") << int(Qt::Key_4);
}

void TestNewTalkExamForm::shortcutsWaitForLoading()
{
    QFETCH(int, key);
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 70).singles(6, 20).groups(4, repeat(9, 2)).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QSet<QWidget *> before = DialogAnswerer::visibleWindows();
    window->startManMachineExam(1);
    // Before loading ends there is no part to move in, submit or describe.
    QTest::keyClick(window, Qt::Key(key));
    QVERIFY(DialogAnswerer::newWindow(before) == nullptr);
    QVERIFY(window->findChild<QProcess *>() == nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    delete window;
}

void TestNewTalkExamForm::cardWaitsForLoading()
{
    // Paper 2: the matching part arrives one group at a time. The draw is
    // held after each list, so that the card can be used in the middle.
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 60).groups(7, repeat(10, 2)).groups(4, repeat(8, 3)).text()));
    QSemaphore sent;
    QSemaphore go;
    QObject context;
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    connect(SqliteClass::instance(), &SqliteClass::sendTalkQuesion, &context,
            [&](int, QList<MainQuestion *>) {
                sent.release();
                go.tryAcquire(1, loadWait);
            },
            Qt::DirectConnection);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->startManMachineExam(2);
    // List by list up to the first matching group; each list reaches the
    // window's queue before the worker halts.
    for (;;) {
        QVERIFY(sent.tryAcquire(1, loadWait));
        QCoreApplication::processEvents();
        if (questionCounts(window).value(1) > 0)
            break;
        go.release();
    }
    QCOMPARE(questionCounts(window), (QList<int>{60, 2, 0}));

    // The overlay keeps the mouse away; the keyboard reaches a card button.
    auto *press = buttons(sections(window).first()).at(4)->findChild<QPushButton *>();
    press->setFocus();
    QTest::keyClick(press, Qt::Key_Space);
    QApplication::processEvents();
    for (NewTalkExamCell *section : sections(window)) {
        for (LabelForm *button : buttons(section))
            QCOMPARE(button->state(), 0);
    }

    go.release(1000);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    QCOMPARE(questionCounts(window), (QList<int>{60, 20, 24}));
    // Every button asks for its own question of its own part.
    const QList<NewTalkExamCell *> parts = sections(window);
    for (int i = 0; i < parts.size(); ++i) {
        QSignalSpy clicks(parts.at(i), &NewTalkExamCell::sendNewTalkExam);
        const QList<LabelForm *> card = buttons(parts.at(i));
        for (LabelForm *button : card)
            button->click();
        QCOMPARE(clicks.size(), card.size());
        for (int k = 0; k < clicks.size(); ++k) {
            QCOMPARE(clicks.at(k).at(0).toInt(), i);
            QCOMPARE(clicks.at(k).at(1).toInt(), k);
        }
    }
    delete window;
}

void TestNewTalkExamForm::failedJobKeepsWhatCame()
{
    // Options of the type-1 questions cannot be read: that draw fails and
    // ends the job after the X part arrived.
    const QString poison = QStringLiteral(
        "ALTER TABLE tQueOpt RENAME TO tQueOptRows;\n"
        "CREATE VIEW tQueOpt AS SELECT optId, optName, optText, queId FROM tQueOptRows WHERE "
        "abs(CASE WHEN queId IN (SELECT q.queId FROM tQue q JOIN tCateList l ON q.cateListId = l.cateListId "
        "WHERE l.queTypeId = 1) THEN -9223372036854775808 ELSE 0 END) >= 0;");
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(6, 2).singles(1, 3).raw(poison).text()));
    LogCapture log;
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    // The worker sets its error text after it has sent the result: hold it
    // there a moment, so that a window reading the text too early misses it.
    QObject context;
    std::atomic_bool held{false};
    connect(SqliteClass::instance(), &SqliteClass::sendTalkQuesion, &context,
            [&held](int, QList<MainQuestion *>) {
                auto *worker = qobject_cast<DataToUiThreadClass *>(QThread::currentThread());
                if (worker && !held.exchange(true))
                    connect(worker, &DataToUiThreadClass::sendTalkError, worker, [](int) { QThread::msleep(300); },
                            Qt::DirectConnection);
            },
            Qt::DirectConnection);
    window->show();
    start(window, 1, 0, {{6, 5}, {1, 2}});
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    QCOMPARE(titles(window), QStringList{"第6类"});
    QCOMPARE(questionCounts(window), QList<int>{2});
    QCOMPARE(child<QLabel>(window, "label_question_count")->text(), QStringLiteral("试题总数：2题      已答：0题"));
    QVERIFY2(log.contains(QStringLiteral("integer overflow")), qPrintable(log.lines().join('\n')));
    QCOMPARE(paperDialogs().size(), 1);
    delete window;
}

void TestNewTalkExamForm::clock_data()
{
    QTest::addColumn<int>("paperType");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("text");

    QTest::newRow("1") << 1 << 1 << clockText("02:00:00", "00:00:01");
    QTest::newRow("59") << 1 << 59 << clockText("02:00:00", "00:00:59");
    QTest::newRow("60") << 1 << 60 << clockText("02:00:00", "00:01:00");
    QTest::newRow("3599") << 1 << 3599 << clockText("02:00:00", "00:59:59");
    QTest::newRow("3600") << 1 << 3600 << clockText("02:00:00", "01:00:00");
    QTest::newRow("paper 2, 61") << 2 << 61 << clockText("01:30:00", "00:01:01");
    QTest::newRow("paper 2, 3661") << 2 << 3661 << clockText("01:30:00", "01:01:01");
}

void TestNewTalkExamForm::clock()
{
    QFETCH(int, paperType);
    QFETCH(int, ticks);
    QFETCH(QString, text);

    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 3).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startManMachineExam(paperType);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    auto *bar = child<QProgressBar>(window, "progress_time");
    QCOMPARE(bar->maximum(), paperType == 2 ? 5400 : 7200);
    // Ticks are sent here; the real timer does not tick while this runs.
    for (int i = 0; i < ticks; ++i)
        window->receiveTimeOut();
    auto *label = child<QLabel>(window, "label_time");
    QCOMPARE(label->text(), text);
    QCOMPARE(bar->value(), ticks);
    // The label keeps its fixed geometry: the clock must fit it whole.
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
    delete window;
}

void TestNewTalkExamForm::clockStopsAtLimit()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 3).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startManMachineExam(2);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    for (int i = 0; i < 5400; ++i)
        window->receiveTimeOut();
    auto *label = child<QLabel>(window, "label_time");
    auto *bar = child<QProgressBar>(window, "progress_time");
    QCOMPARE(label->text(), clockText("01:30:00", "01:30:00"));
    QCOMPARE(bar->value(), 5400);
    // The limit ends the clock for good.
    window->receiveTimeOut();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->receiveTimeOut();
    QCOMPARE(label->text(), clockText("01:30:00", "01:30:00"));
    QCOMPARE(bar->value(), 5400);
    delete window;
}

void TestNewTalkExamForm::noQuestion_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("mode");
    QTest::addColumn<TypeCounts>("chosen");

    QTest::newRow("man-machine, empty bank") << ExamBankSql().text() << 0 << TypeCounts{};
    QTest::newRow("simulated, unticked chapters") << ExamBankSql().singles(1, 5, 2).text() << 1
                                                  << TypeCounts{{1, 3}};
    QTest::newRow("simulated, nothing chosen") << ExamBankSql().singles(1, 5).text() << 1 << TypeCounts{{1, 0}};
    QTest::newRow("prediction paper without questions") << ExamBankSql().paper(1).text() << 2 << TypeCounts{};
}

void TestNewTalkExamForm::noQuestion()
{
    QFETCH(QString, sql);
    QFETCH(int, mode);
    QFETCH(TypeCounts, chosen);

    Session session;
    QVERIFY(session.open(sql));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Made once the window is up, so that the box is the one new window.
    QString message;
    DialogAnswerer answerer([&](QWidget *dialog) {
        if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("label_message")))
            message = label->text();
        QVERIFY(qobject_cast<MyMessageBox *>(dialog));
        DialogAnswerer::clickButton(dialog, QStringLiteral("pushButton_save"));
    }, loadWait);
    start(window, mode, 1, chosen);
    QVERIFY(answerer.wait(loadWait));
    QCOMPARE(message, QStringLiteral("没有您想要的题,请到模拟考场重新勾选."));
    QTRY_VERIFY(window.isNull());
    QVERIFY(!SqliteClass::instance()->isExamWindowOpen());
    // The paper dialog belongs to papers with questions only.
    QVERIFY(paperDialogs().isEmpty());
}

void TestNewTalkExamForm::closedWhileLoading()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 70).singles(6, 20).groups(4, repeat(9, 2)).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startManMachineExam(1);
    window->close();
    QVERIFY(!SqliteClass::instance()->isExamWindowOpen());
    QTRY_VERIFY(window.isNull());

    // A new exam opens at once and loads its whole paper.
    QPointer<NewTalkExamForm> next = new NewTalkExamForm;
    QVERIFY(SqliteClass::instance()->isExamWindowOpen());
    next->show();
    next->startManMachineExam(1);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(next), loadWait);
    QCOMPARE(questionCounts(next), (QList<int>{25, 15, 14}));
    delete next;
    QVERIFY(!SqliteClass::instance()->isExamWindowOpen());
}

void TestNewTalkExamForm::deletedWithListsQueued()
{
    // Lists already queued to a window when it goes are freed with it (the
    // sanitizer build reports them otherwise).
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 70).singles(6, 20).groups(4, repeat(9, 2)).text()));
    QSemaphore emitted;
    QObject context;
    connect(SqliteClass::instance(), &SqliteClass::sendTalkQuesion, &context,
            [&emitted](int, QList<MainQuestion *>) { emitted.release(); }, Qt::DirectConnection);
    auto *window = new NewTalkExamForm;
    window->startManMachineExam(1);
    QVERIFY(emitted.tryAcquire(10, loadWait));
    delete window;
    QVERIFY(!SqliteClass::instance()->isExamWindowOpen());
}

void TestNewTalkExamForm::leavingQuestionMarksIt_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("leftState");
    QTest::newRow("answered") << true << 2;
    QTest::newRow("not answered") << false << 0;
}

void TestNewTalkExamForm::leavingQuestionMarksIt()
{
    QFETCH(bool, answer);
    QFETCH(int, leftState);

    Session session;
    QVERIFY(session.open(ExamBankSql().singles(11, 3).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    start(window, 1, 0, {{11, 3}});
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    for (QuestionTypeTipDialog *dialog : paperDialogs())
        dialog->close();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    auto *view = child<ScrollAreaCellForm>(window, "widget_cellform");
    if (answer) {
        QRadioButton *option = nullptr;
        const auto findOption = [&] {
            for (QRadioButton *candidate : view->findChildren<QRadioButton *>(QStringLiteral("radioButton"))) {
                if (candidate->isVisible())
                    option = candidate;
            }
            return option != nullptr;
        };
        QTRY_VERIFY_WITH_TIMEOUT(findOption(), loadWait);
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
        QVERIFY(view->answerState() != 0);
    }
    const QList<LabelForm *> card = buttons(sections(window).first());
    QCOMPARE(card.at(0)->state(), 1);
    card.at(2)->click();
    QCOMPARE(card.at(0)->state(), leftState);
    QCOMPARE(card.at(2)->state(), 1);
    card.at(1)->click();
    QCOMPARE(card.at(2)->state(), 0);
    QCOMPARE(card.at(1)->state(), 1);
    delete window;
}

void TestNewTalkExamForm::overlayFollowsResize()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 70).singles(6, 20).groups(4, repeat(9, 2)).text()));
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->show();
    window->startManMachineExam(1);
    window->resize(1280, 800);
    QCOMPARE(overlay(window)->geometry(), QRect(0, 0, 1280, 800));
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), loadWait);
    window->resize(1100, 720);
    QCOMPARE(overlay(window)->geometry(), QRect(0, 0, 1100, 720));
    delete window;
}

QTEST_MAIN(TestNewTalkExamForm)
#include "tst_newtalkexamform.moc"
