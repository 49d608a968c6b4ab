// The choice question cell on the fixture bank, clicked and keyed as a user does.
#include "QuestionCellForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "NoteDialog.h"
#include "NoteEditors.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"

#include <QCursor>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QString skin = QStringLiteral("80,153,2,255");

// A question made fresh for a test: its stored answer, nothing answered yet, no log rows.
QStringList freshQuestion(int queId, const QString &answer)
{
    return {QStringLiteral("update tQue set answer = '%1', userAnswer = NULL, userStatus = '0', userTime = NULL "
                           "where queId = %2")
                .arg(answer)
                .arg(queId),
            QStringLiteral("delete from tQueLog where queId = %1").arg(queId)};
}

QStringList savedAnswer(int queId, const QString &answer, const QString &saved)
{
    return {QStringLiteral("update tQue set answer = '%1', userAnswer = '%2', userStatus = '2' where queId = %3")
                .arg(answer, saved)
                .arg(queId)};
}

const char refuseUpdates[] = "create trigger refuse before update on tQue begin select raise(abort, 'refused'); end";

QTableWidget *table(QuestionCellForm *cell)
{
    return cell->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
}

QuestionAnswerCellForm *optionRow(QuestionCellForm *cell, int row)
{
    return qobject_cast<QuestionAnswerCellForm *>(table(cell)->cellWidget(row, 0));
}

QLabel *rowLabel(QuestionCellForm *cell, int row, const char *name)
{
    return optionRow(cell, row)->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *button(QWidget *cell, const char *name)
{
    return cell->findChild<QPushButton *>(QLatin1String(name));
}

QWidget *child(QWidget *cell, const char *name)
{
    return cell->findChild<QWidget *>(QLatin1String(name));
}

QLabel *label(QWidget *cell, const char *name)
{
    return cell->findChild<QLabel *>(QLatin1String(name));
}

// The checked rows as letters.
QString checkedLetters(QuestionCellForm *cell)
{
    QString letters;
    for (int i = 0; i < table(cell)->rowCount(); ++i) {
        if (optionRow(cell, i)->isChecked() == 1)
            letters.append(QChar('A' + i));
    }
    return letters;
}

// One character a row: R right mark, W wrong mark, - none.
QString marks(QuestionCellForm *cell)
{
    QString shown;
    for (int i = 0; i < table(cell)->rowCount(); ++i) {
        const QString style = rowLabel(cell, i, "label_right")->styleSheet();
        shown.append(style.contains(QLatin1String("right.png"))   ? QLatin1Char('R')
                     : style.contains(QLatin1String("error.png")) ? QLatin1Char('W')
                                                                   : QLatin1Char('-'));
    }
    return shown;
}

bool panelOpen(QuestionCellForm *cell)
{
    return !child(cell, "widget_answer")->isHidden();
}

// The click reaches the cell once the release is done with.
void clickRow(QuestionCellForm *cell, int row)
{
    QTest::mouseClick(rowLabel(cell, row, "label_text"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

QString states(const QSignalSpy &spy)
{
    QStringList all;
    for (const QList<QVariant> &call : spy)
        all << call.at(1).toString();
    return all.join(QLatin1Char(' '));
}

QString logStates(int queId)
{
    return sqlRow(QStringLiteral("select ifnull(group_concat(userStatus, ' '), '') from (select userStatus "
                                           "from tQueLog where queId = ? and type = '001' order by rowid)"),
                            {queId})
        .value(0);
}

// A cell as the practice page makes it: styled, then filled, in a shown page.
struct Page {
    QWidget window;
    QuestionCellForm *cell = nullptr;
    std::unique_ptr<MainQuestion> group;

    QuestionCellForm *add(std::unique_ptr<MainQuestion> g, int cellMode, bool atOnce = true, int number = 1)
    {
        if (!window.layout())
            new QVBoxLayout(&window);
        cell = new QuestionCellForm;
        cell->setStyle(skin);
        cell->setShowAnswerAtOnce(atOnce);
        window.layout()->addWidget(cell);
        QuestionData *q = g->questions.first();
        cell->setQuestion(number, g.get(), q, q->options, cellMode);
        group = std::move(g);
        return cell;
    }
    QuestionCellForm *addExam(std::unique_ptr<MainQuestion> g, int sourceKind, const QString &number, int index)
    {
        new QVBoxLayout(&window);
        cell = new QuestionCellForm;
        cell->setStyle(skin);
        window.layout()->addWidget(cell);
        QuestionData *q = g->questions.first();
        cell->setExamQuestion(sourceKind, number, index, g.get(), q, q->options);
        group = std::move(g);
        return cell;
    }
    bool showActive()
    {
        window.resize(700, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

class TestQuestionCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void judging_data();
    void judging();
    void restore_data();
    void restore();
    void init();
    void fillShowsTheQuestion();
    void stemKeepsClearOfWhatIsAbove();
    void typeRecordMissing_data();
    void typeRecordMissing();
    void examErrorButton_data();
    void examErrorButton();
    void examChoicesAreReportedNotRecorded();
    void examTakesNoAnswerOnceShown();
    void examSavedAnswerComesBackWithoutMarks();
    void forwardedClicks();
    void receiverDeletesTheCellOnAClick();
    void rowHeights_data();
    void rowHeights();
    void buttonStyles();
    void favourite();
    void favouriteWriteFails();
    void noteRoundTrip();
    void lastOfTwoEditorsDecides();
    void noteSaveFails();
    void noteEditorStaysOnScreen_data();
    void noteEditorStaysOnScreen();
    void letterKeyOneCell();
    void letterKeysOfTwoCellsAreAmbiguous();
    void fourteenOptionsBindThirteenKeys();

private:
    // The rows of the two big tables share one standard bank; each row
    // resets the question it uses.
    bool sharedBank(const QStringList &reset);

    std::unique_ptr<CellFixture> shared;
};

bool TestQuestionCellForm::sharedBank(const QStringList &reset)
{
    if (!shared)
        shared = std::make_unique<CellFixture>();
    if (!shared->isOpen())
        return false;
    for (const QString &sql : reset) {
        if (SqliteClass::instance()->execSql(sql) != 0)
            return false;
    }
    return true;
}

// Only one bank can be open: the tables' rows keep theirs, others make their own.
void TestQuestionCellForm::init()
{
    const QByteArray test = QTest::currentTestFunction();
    if (test != "judging" && test != "restore")
        shared.reset();
}

void TestQuestionCellForm::judging_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("atOnce");
    QTest::addColumn<int>("cellMode");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("states");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("user");

    // group 101: question 1001, one option of five; group 105: question 1007, check boxes.
    QTest::newRow("one, right") << 101 << "B" << true << 0 << "B" << "1" << "B" << "-R---" << true << "1" << "1|B";
    QTest::newRow("one, wrong") << 101 << "B" << true << 0 << "A" << "2" << "A" << "WR---" << true << "2" << "2|A";
    QTest::newRow("one, not shown at once") << 101 << "B" << false << 0 << "A" << "2" << "A" << "-----" << false << "2" << "2|A";
    QTest::newRow("one, chosen again") << 101 << "B" << true << 0 << "AB" << "2 1" << "B" << "-R---" << true << "2 1" << "1|B";
    QTest::newRow("one, blank before the letter") << 101 << " B" << true << 0 << "B" << "1" << "B" << "-R---" << true << "1" << "1|B";
    QTest::newRow("one, empty answer") << 101 << "" << true << 0 << "A" << "2" << "A" << "W----" << true << "2" << "2|A";
    QTest::newRow("one, lower-case answer") << 101 << "b" << true << 0 << "B" << "2" << "B" << "-W---" << true << "2" << "2|B";
    QTest::newRow("one, answer past the last row") << 101 << "F" << true << 0 << "A" << "2" << "A" << "W----" << true << "2" << "2|A";
    QTest::newRow("boxes, B then A") << 105 << "ABD" << true << 0 << "BA" << "2 2" << "AB" << "-----" << false << "2 2" << "2|AB";
    QTest::newRow("boxes, three letters") << 105 << "ABD" << true << 0 << "ABD" << "2 2 1" << "ABD" << "-----" << false << "2 2 1" << "1|ABD";
    QTest::newRow("boxes, last one unchecked") << 105 << "ABD" << true << 0 << "AA" << "2 0" << "" << "-----" << false << "2 0" << "0|";
    QTest::newRow("boxes, answer with blanks") << 105 << "A C" << true << 0 << "AC" << "2 1" << "AC" << "-----" << false << "2 1" << "1|AC";
    QTest::newRow("boxes, empty answer") << 105 << "" << true << 0 << "AA" << "2 0" << "" << "-----" << false << "2 0" << "0|";
    QTest::newRow("browse, one") << 101 << "B" << true << 1 << "A" << "2" << "A" << "WR---" << true << "" << "0|NULL";
    QTest::newRow("browse, boxes") << 105 << "ABD" << true << 1 << "AB" << "2 2" << "AB" << "-----" << false << "" << "0|NULL";
}

void TestQuestionCellForm::judging()
{
    QFETCH(int, group);
    QFETCH(QString, stored);
    QFETCH(bool, atOnce);
    QFETCH(int, cellMode);
    QFETCH(QString, clicks);
    const int queId = group == 101 ? 1001 : 1007;
    QVERIFY(sharedBank(freshQuestion(queId, stored)));
    Page page;
    QuestionCellForm *cell = page.add(CellFixture::group(group), cellMode, atOnce, 4);
    QVERIFY(page.showActive());
    QSignalSpy spy(cell, &QuestionCellForm::sendState);
    for (QChar letter : clicks)
        clickRow(cell, letter.unicode() - 'A');

    QTEST(states(spy), "states");
    QTEST(spy.last().at(2).toString(), "letters");
    QCOMPARE(spy.last().at(0).toInt(), 3);   // number 4
    QTEST(checkedLetters(cell), "letters");
    QTEST(marks(cell), "marks");
    QTEST(panelOpen(cell), "panel");
    QFETCH(QString, states);
    QCOMPARE(QString::number(cell->answerState()), states.section(QLatin1Char(' '), -1));
    QTEST(logStates(queId), "logged");
    QTEST(CellFixture::userColumns(queId), "user");
}

void TestQuestionCellForm::restore_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<int>("state");
    QTest::newRow("right") << 101 << "B" << "B" << 1 << "B" << "-R---" << true << 1;
    QTest::newRow("wrong") << 101 << "B" << "A" << 1 << "A" << "W----" << true << 2;
    QTest::newRow("blanks in the stored answer") << 105 << "A C" << "AC" << 1 << "AC" << "-----" << true << 1;
    QTest::newRow("blanks in the saved answer") << 105 << "AC" << "A C" << 1 << "AC" << "-----" << true << 1;
    QTest::newRow("nothing saved") << 101 << "B" << "" << 0 << "" << "-----" << false << 0;
    QTest::newRow("a letter naming no row") << 101 << "B" << "Z" << 1 << "" << "-----" << true << 2;
    QTest::newRow("a lower-case letter") << 101 << "B" << "b" << 1 << "" << "-----" << true << 2;
    QTest::newRow("boxes, one letter naming no row") << 105 << "ABD" << "AZ" << 1 << "A" << "-----" << true << 2;
}

// Marks of a restored answer show even when answers are not shown at once;
// nothing is recorded or reported.
void TestQuestionCellForm::restore()
{
    QFETCH(int, group);
    QFETCH(QString, stored);
    QFETCH(QString, saved);
    const int queId = group == 101 ? 1001 : 1007;
    QVERIFY(sharedBank(savedAnswer(queId, stored, saved)));
    const QString before = CellFixture::userData();
    auto g = CellFixture::group(group);
    QuestionCellForm cell;
    QSignalSpy spy(&cell, &QuestionCellForm::sendState);
    cell.setStyle(skin);
    cell.setShowAnswerAtOnce(false);
    QuestionData *q = g->questions.first();
    QTEST(cell.setQuestion(1, g.get(), q, q->options, 0), "result");
    QTEST(checkedLetters(&cell), "checked");
    QTEST(marks(&cell), "marks");
    QTEST(panelOpen(&cell), "panel");
    QTEST(cell.answerState(), "state");
    QCOMPARE(spy.count(), 0);
    QCOMPARE(CellFixture::userData(), before);
}

void TestQuestionCellForm::fillShowsTheQuestion()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(103);   // type 3: a stem with a 101-pixel picture, 1004 answered "C"
    QuestionCellForm cell;
    cell.setStyle(skin);
    QuestionData *q = g->questions.first();
    QCOMPARE(q->queId, 1004);
    QCOMPARE(cell.setQuestion(7, g.get(), q, q->options, 0), 1);
    QCOMPARE(label(&cell, "label_id")->text(), QStringLiteral("7"));
    QCOMPARE(label(&cell, "label_typename")->text(), QStringLiteral("[A3型题]"));
    QVERIFY(label(&cell, "textEdit_questiontypename")->text().contains(QStringLiteral("images/img101.png")));
    QCOMPARE(label(&cell, "textEdit_title")->text(), QStringLiteral("确诊首选的检查是"));
    QCOMPARE(label(&cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: A"));
    QCOMPARE(label(&cell, "textEdit_prompt")->text(), QStringLiteral("题目解析:肺功能检查是判断气流受限的主要客观指标。"));
    QCOMPARE(table(&cell)->rowCount(), 5);
    QVERIFY(rowLabel(&cell, 2, "label_text")->text().startsWith(QStringLiteral("C.血气分析")));
    QVERIFY(rowLabel(&cell, 0, "label_icon")->styleSheet().contains(QLatin1String("checkbox.png")));
    QVERIFY(rowLabel(&cell, 2, "label_icon")->styleSheet().contains(QLatin1String("checkboxon.png")));
    QCOMPARE(checkedLetters(&cell), QStringLiteral("C"));
    QVERIFY(button(&cell, "pushButton_upquestion")->isHidden());
    QVERIFY(button(&cell, "pushButton_downquestion")->isHidden());
    QVERIFY(!button(&cell, "pushButton_error")->isHidden());
}

// A group whose type the bank lacks shows "[]"; its own type code picks the marks.
void TestQuestionCellForm::stemKeepsClearOfWhatIsAbove()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(103); // a stem with a picture, taller than the number beside it
    QuestionCellForm cell;
    cell.setStyle(skin);
    QuestionData *q = g->questions.first();
    QCOMPARE(cell.setQuestion(1, g.get(), q, q->options, 0), 1);
    cell.resize(700, 600);
    cell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cell));
    const QLabel *stem = label(&cell, "textEdit_questiontypename");
    QVERIFY(stem->heightForWidth(stem->width()) > label(&cell, "label_id")->sizeHint().height());
    // A stem taller than the number keeps a layout margin from what lies above the cell.
    const int top = stem->mapTo(&cell, QPoint()).y();
    QVERIFY2(top >= 9, qPrintable(QString::number(top)));
}

void TestQuestionCellForm::typeRecordMissing_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("mark");
    QTest::newRow("type 9, radio marks") << 112 << "radio";
    QTest::newRow("type 6 without its record, check boxes") << 105 << "checkbox";
}

void TestQuestionCellForm::typeRecordMissing()
{
    QFETCH(int, group);
    QFETCH(QString, mark);
    CellFixture bank({QStringLiteral("delete from tQueType where queTypeId = 6")});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(group);
    QCOMPARE(g->queType, nullptr);
    QuestionCellForm cell;
    cell.setStyle(skin);
    QuestionData *q = g->questions.first();
    cell.setQuestion(1, g.get(), q, q->options, 0);
    QCOMPARE(label(&cell, "label_typename")->text(), QStringLiteral("[]"));
    QVERIFY(rowLabel(&cell, 0, "label_icon")->styleSheet().contains(mark));
}

void TestQuestionCellForm::examErrorButton_data()
{
    QTest::addColumn<int>("sourceKind");
    QTest::addColumn<bool>("offered");
    QTest::newRow("prediction paper") << 2 << true;
    QTest::newRow("other exam") << 0 << false;
}

void TestQuestionCellForm::examErrorButton()
{
    QFETCH(int, sourceKind);
    QFETCH(bool, offered);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.addExam(bank.group(114), sourceKind, QStringLiteral("12"), 11);
    QVERIFY(page.showActive());
    for (const char *hidden : {"label_id", "pushButton_mark", "pushButton_note", "pushButton_showanswer",
                               "label_rigthanswer", "pushButton_upquestion", "pushButton_downquestion"})
        QVERIFY2(child(cell, hidden)->isHidden(), hidden);
    QCOMPARE(label(cell, "textEdit_title")->text().left(4), QStringLiteral("(12)"));
    QCOMPARE(button(cell, "pushButton_error")->isHidden(), !offered);
    if (!offered)
        return;
    QSignalSpy spy(cell, &QuestionCellForm::sendChangeError);
    QTest::mouseClick(button(cell, "pushButton_error"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(0).at(1).toInt(), 1018);
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("下列图片中显示房颤的是[img100.png]"));
}

void TestQuestionCellForm::examChoicesAreReportedNotRecorded()
{
    CellFixture bank(freshQuestion(1007, QStringLiteral("ABD")) + freshQuestion(1001, QStringLiteral("B")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    for (int group : {101, 105}) {
        Page page;
        QuestionCellForm *cell = page.addExam(bank.group(group), 2, QStringLiteral("3"), 7);
        QVERIFY(page.showActive());
        QSignalSpy spy(cell, &QuestionCellForm::sendState);
        clickRow(cell, 1);
        clickRow(cell, 0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0), (QList<QVariant>{7, group == 101 ? 1 : 2, QStringLiteral("B")}));
        QCOMPARE(spy.at(1), (QList<QVariant>{7, 2, group == 101 ? QStringLiteral("A") : QStringLiteral("AB")}));
        QCOMPARE(marks(cell), QStringLiteral("-----"));
        QVERIFY(!panelOpen(cell));
    }
    QCOMPARE(CellFixture::userData(), before);
}

void TestQuestionCellForm::examTakesNoAnswerOnceShown()
{
    CellFixture bank(freshQuestion(1001, QStringLiteral("B")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.addExam(bank.group(101), 0, QStringLiteral("1"), 0);
    QVERIFY(page.showActive());
    clickRow(cell, 2);
    cell->showAnswer();
    QVERIFY(panelOpen(cell));
    QCOMPARE(label(cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: B"));
    QSignalSpy spy(cell, &QuestionCellForm::sendState);
    clickRow(cell, 1);
    QTest::keyClick(&page.window, Qt::Key_B);
    cell->chooseOption(3);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(checkedLetters(cell), QStringLiteral("C"));
}

void TestQuestionCellForm::examSavedAnswerComesBackWithoutMarks()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(102);   // 1002 answered "A", right answer "C"
    QuestionCellForm cell;
    cell.setStyle(skin);
    cell.showAnswer();   // the exam shows answers: called before the fill
    QuestionData *q = g->questions.first();
    cell.setExamQuestion(0, QStringLiteral("2"), 1, g.get(), q, q->options);
    QCOMPARE(checkedLetters(&cell), QStringLiteral("A"));
    QCOMPARE(marks(&cell), QStringLiteral("-----"));
    QCOMPARE(cell.answerState(), 2);
    QCOMPARE(label(&cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: C"));
}

void TestQuestionCellForm::forwardedClicks()
{
    CellFixture bank(freshQuestion(1001, QStringLiteral("B")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(101), 0, true, 6);
    cell->setForwardClicks(1);
    QVERIFY(page.showActive());
    QSignalSpy clicked(cell, &QuestionCellForm::sendClicked);
    QSignalSpy state(cell, &QuestionCellForm::sendState);
    clickRow(cell, 2);
    QTest::keyClick(&page.window, Qt::Key_C);
    QCOMPARE(clicked.count(), 2);
    for (const QList<QVariant> &call : clicked)
        QCOMPARE(call, (QList<QVariant>{5, 2}));
    QCOMPARE(state.count(), 0);
    QCOMPARE(checkedLetters(cell), QString());
    QCOMPARE(logStates(1001), QString());

    cell->chooseOption(2);
    QCOMPARE(checkedLetters(cell), QStringLiteral("C"));
    QCOMPARE(state.count(), 1);
    QCOMPARE(logStates(1001), QStringLiteral("2"));
}

// Every object a mouse release reaches, and the clicks, in order.
struct ReleaseLog : QObject {
    QStringList entries;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease)
            entries << QString::fromLatin1(watched->metaObject()->className());
        return false;
    }
};

// A receiver of the option row's click may delete the whole cell: the click
// arrives once the release has travelled through the label and its parents,
// so nothing of the cell is touched afterwards (the sanitizer build tells).
void TestQuestionCellForm::receiverDeletesTheCellOnAClick()
{
    CellFixture bank(freshQuestion(1001, QStringLiteral("B")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QPointer<QuestionCellForm> cell = page.add(bank.group(101), 0);
    QVERIFY(page.showActive());
    QSignalSpy state(cell.data(), &QuestionCellForm::sendState);
    ReleaseLog log;
    connect(optionRow(cell, 1), &QuestionAnswerCellForm::sendclick, this, [&] {
        log.entries << QStringLiteral("click");
        delete cell.data();
    });
    qApp->installEventFilter(&log);
    clickRow(cell, 1);
    qApp->removeEventFilter(&log);
    QVERIFY(cell.isNull());
    QCOMPARE(log.entries.first(), QStringLiteral("Inherit_QLabel"));
    QVERIFY(log.entries.contains(QStringLiteral("QuestionAnswerCellForm")));
    QCOMPARE(log.entries.last(), QStringLiteral("click"));
    QCOMPARE(log.entries.count(QStringLiteral("click")), 1);
    QCOMPARE(state.count(), 1);
    QCOMPARE(logStates(1001), QStringLiteral("1"));
}

void TestQuestionCellForm::rowHeights_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("exam");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("height");
    // 1018: pictures of 50, 100, 101 and 150 pixels, then a missing one.
    QTest::newRow("picture 150") << 114 << false << 3 << 250;
    QTest::newRow("picture 150, exam") << 114 << true << 3 << 250;
    QTest::newRow("picture 101") << 114 << false << 2 << 201;
    QTest::newRow("picture 50") << 114 << false << 0 << 60;
    QTest::newRow("picture 100") << 114 << false << 1 << 110;
    QTest::newRow("missing picture") << 114 << false << 4 << 60;
    QTest::newRow("text only") << 101 << false << 1 << 60;
    QTest::newRow("30 characters") << 101 << false << 0 << 60;
    QTest::newRow("30 characters, exam") << 101 << true << 0 << 100;
    QTest::newRow("29 characters, exam") << 101 << true << 2 << 60;
}

void TestQuestionCellForm::rowHeights()
{
    QFETCH(int, group);
    QFETCH(bool, exam);
    QFETCH(int, row);
    // "A." and 28 characters make 30; "C." and 27 make 29.
    CellFixture bank({QStringLiteral("update tQueOpt set optText = '%1' where queId = 1001 and optName = 'A'")
                          .arg(QString(28, QChar(0x80ba))),
                      QStringLiteral("update tQueOpt set optText = '%1' where queId = 1001 and optName = 'C'")
                          .arg(QString(27, QChar(0x80ba)))});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(group);
    QuestionCellForm cell;
    cell.setStyle(skin);
    QuestionData *q = g->questions.first();
    if (exam)
        cell.setExamQuestion(0, QStringLiteral("1"), 0, g.get(), q, q->options);
    else
        cell.setQuestion(1, g.get(), q, q->options, 0);
    QTEST(table(&cell)->rowHeight(row), "height");
}

void TestQuestionCellForm::buttonStyles()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = bank.group(101);   // 1001: a favourite with a note
    QuestionCellForm cell;
    cell.setStyle(QStringLiteral("255,127,167,255"));
    QuestionData *q = g->questions.first();
    cell.setQuestion(1, g.get(), q, q->options, 0);
    const QString outlined = QStringLiteral(
        "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
        "\"微软雅黑\";border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);}QPushButton:hover{color: rgb(255, "
        "255, 255);background-color: rgb(255,127,167,255);border:1px solid  rgb(255,127,167,255); }");
    const QString filled = QStringLiteral(
        "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
        "\"微软雅黑\";color: rgb(255, 255, 255);background-color: rgb(255,127,167,255);border:1px solid  "
        "rgb(255,127,167,255);}QPushButton:hover{border:1px solid  rgb(120, 120, 120);background-color:rgb(255,255,255);"
        "color: rgb(120, 120, 120);}");
    QCOMPARE(button(&cell, "pushButton_showanswer")->styleSheet(), outlined);
    QCOMPARE(button(&cell, "pushButton_error")->styleSheet(), outlined);
    QCOMPARE(button(&cell, "pushButton_mark")->text(), QStringLiteral("已收藏"));
    QCOMPARE(button(&cell, "pushButton_mark")->styleSheet(), filled);
    QCOMPARE(button(&cell, "pushButton_note")->text(), QStringLiteral("已有笔记"));
    QCOMPARE(button(&cell, "pushButton_note")->styleSheet(), filled);
    QCOMPARE(label(&cell, "label_id")->styleSheet(), QStringLiteral("font: 75 28pt \"微软雅黑\";color: rgb(255,127,167,255);"));
    QCOMPARE(label(&cell, "label_typename")->styleSheet(),
             QStringLiteral("font: 75 14pt \"微软雅黑\";color: rgb(255,127,167,255);"));
}

void TestQuestionCellForm::favourite()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);   // 1002: no favourite
    QVERIFY(page.showActive());
    QPushButton *mark = button(cell, "pushButton_mark");
    QCOMPARE(mark->text(), QStringLiteral("未收藏"));
    const QString outlined = mark->styleSheet();
    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(mark->text(), QStringLiteral("已收藏"));
    QVERIFY(mark->styleSheet() != outlined);
    QVERIFY(mark->isChecked());
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1002")).value(0), QStringLiteral("1"));
    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(mark->text(), QStringLiteral("未收藏"));
    QCOMPARE(mark->styleSheet(), outlined);
    QVERIFY(!mark->isChecked());
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1002")).value(0), QStringLiteral("0"));
}

// The button never claims a favourite the bank does not hold.
void TestQuestionCellForm::favouriteWriteFails()
{
    CellFixture bank({QString::fromLatin1(refuseUpdates)});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);
    QVERIFY(page.showActive());
    QPushButton *mark = button(cell, "pushButton_mark");
    const QString style = mark->styleSheet();
    LogCapture log;
    QTest::mouseClick(mark, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("[Error:]")));
    QCOMPARE(mark->text(), QStringLiteral("未收藏"));
    QCOMPARE(mark->styleSheet(), style);
    QVERIFY(!mark->isChecked());
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1002")).value(0), QStringLiteral("0"));
}

void TestQuestionCellForm::noteRoundTrip()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);   // 1002 has a note
    QVERIFY(page.showActive());
    QPushButton *noteButton = button(cell, "pushButton_note");
    noteButton->click();
    QCOMPARE(noteEditors().size(), 1);
    NoteDialog *editor = noteEditors().first();
    QCOMPARE(editorText(editor), QStringLiteral("50%的人选错_注意"));
    const QString note = QStringLiteral("it's \"双引号\"");
    saveInEditor(editor, note);
    QCOMPARE(noteEditors().size(), 0);
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1002")).value(0), note);
    QCOMPARE(noteButton->text(), QStringLiteral("已有笔记"));

    noteButton->click();   // read again from the bank
    QCOMPARE(editorText(noteEditors().first()), note);
    saveInEditor(noteEditors().first(), QString());
    QCOMPARE(noteButton->text(), QStringLiteral("添加笔记"));
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1002")).value(0), QString());
}

void TestQuestionCellForm::lastOfTwoEditorsDecides()
{
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);
    QPushButton *noteButton = button(cell, "pushButton_note");
    noteButton->click();
    noteButton->click();
    const QList<NoteDialog *> editors = noteEditors();
    QCOMPARE(editors.size(), 2);
    saveInEditor(editors.at(1), QStringLiteral("第二个"));
    saveInEditor(editors.at(0), QString());
    QCOMPARE(noteButton->text(), QStringLiteral("添加笔记"));
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1002")).value(0), QString());
}

void TestQuestionCellForm::noteSaveFails()
{
    CellFixture bank({QString::fromLatin1(refuseUpdates)});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);
    QPushButton *noteButton = button(cell, "pushButton_note");
    const QString style = noteButton->styleSheet();
    noteButton->click();
    LogCapture log;
    saveInEditor(noteEditors().first(), QString());
    QVERIFY(log.contains(QStringLiteral("[Error:]")));
    QCOMPARE(noteButton->text(), QStringLiteral("已有笔记"));
    QCOMPARE(noteButton->styleSheet(), style);
}

void TestQuestionCellForm::noteEditorStaysOnScreen_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("asPlaced");
    QTest::newRow("room above the pointer") << QPoint(700, 500) << true;
    QTest::newRow("pointer near the top left") << QPoint(100, 40) << false;
}

void TestQuestionCellForm::noteEditorStaysOnScreen()
{
    QFETCH(QPoint, cursor);
    QFETCH(bool, asPlaced);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(102), 0);
    QCursor::setPos(cursor);
    QCOMPARE(QCursor::pos(), cursor);
    button(cell, "pushButton_note")->click();
    NoteDialog *editor = noteEditors().first();
    const QPoint placed(cursor.x() - editor->width(), cursor.y() - editor->height() - 10);
    QCOMPARE(editor->pos() == placed, asPlaced);
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(editor->geometry()));
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestQuestionCellForm::letterKeyOneCell()
{
    CellFixture bank(freshQuestion(1001, QStringLiteral("B")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(101), 0);
    QVERIFY(page.showActive());
    QSignalSpy spy(cell, &QuestionCellForm::sendState);
    QTest::keyClick(&page.window, Qt::Key_B);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("B"));
    QCOMPARE(checkedLetters(cell), QStringLiteral("B"));
}

// Each letter is bound once per cell: with two cells a key is ambiguous.
void TestQuestionCellForm::letterKeysOfTwoCellsAreAmbiguous()
{
    CellFixture bank(freshQuestion(1001, QStringLiteral("B")) + freshQuestion(1019, QStringLiteral("A")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *first = page.add(bank.group(101), 0);   // its records go: the cell copied them
    QuestionCellForm *second = page.add(bank.group(115), 0, true, 2);
    QVERIFY(page.showActive());
    QSignalSpy firstSpy(first, &QuestionCellForm::sendState);
    QSignalSpy secondSpy(second, &QuestionCellForm::sendState);
    QTest::keyClick(&page.window, Qt::Key_A);
    QCOMPARE(firstSpy.count() + secondSpy.count(), 0);
    QCOMPARE(checkedLetters(first) + checkedLetters(second), QString());
}

void TestQuestionCellForm::fourteenOptionsBindThirteenKeys()
{
    QStringList extra = freshQuestion(1001, QStringLiteral("M"));
    for (char name = 'F'; name <= 'N'; ++name)
        extra << QStringLiteral("insert into tQueOpt (optName, optText, queId) values ('%1', '选项%1', 1001)").arg(QChar(name));
    CellFixture bank(extra);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    Page page;
    QuestionCellForm *cell = page.add(bank.group(101), 0);
    QCOMPARE(table(cell)->rowCount(), 14);
    QVERIFY(page.showActive());
    QSignalSpy spy(cell, &QuestionCellForm::sendState);
    QTest::keyClick(&page.window, Qt::Key_N);
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(&page.window, Qt::Key_M);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toInt(), 1);
    QCOMPARE(checkedLetters(cell), QStringLiteral("M"));
    clickRow(cell, 13);   // the last row still answers by mouse
    QCOMPARE(checkedLetters(cell), QStringLiteral("N"));
}

QTEST_MAIN(TestQuestionCellForm)
#include "tst_questioncellform.moc"
