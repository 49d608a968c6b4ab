// Moves under the part rules, entering the next part, submission, grading,
// the calculator and the help of the exam window.
#include "NewTalkExamForm.h"

#include "Calculator.h"
#include "CellFixture.h"
#include "DialogAnswerer.h"
#include "ExamBankSql.h"
#include "ExamSection.h"
#include "FixtureBank.h"
#include "HelpDialog.h"
#include "LabelForm.h"
#include "MouseEvents.h"
#include "NewTalkExamCell.h"
#include "PaperDriving.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionTypeTipDialog.h"
#include "QuestionTypeTipDialog2.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog4.h"
#include "QuestionTypeTipDialog5.h"
#include "Resources.h"
#include "ScrollAreaCellForm.h"
#include "SqlRow.h"
#include "SqliteData.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextEdit>
#include <QtTest>

#include <signal.h>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int loadWait = 60000;

using TypeCounts = QList<QPair<int, int>>;

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

// Waits for a notice (the shortcuts click ~100 ms later), then takes it.
QString waitNotice()
{
    QTest::qWaitFor([] { return !visible<QuestionTypeTipDialog5>().isEmpty(); }, 5000);
    return takeNotice();
}

// What a dialog says: its message, and the question under it where it has one.
QString contentOf(QWidget *dialog)
{
    QString text = dialog->findChild<QLabel *>(QStringLiteral("content"))->text();
    if (auto *question = dialog->findChild<QLabel *>(QStringLiteral("question")))
        text += question->text();
    return text;
}

// Confirms the submission; the text of the result box, which stays open.
QString confirmSubmission(QuestionTypeTipDialog3 *ask)
{
    if (!DialogAnswerer::clickButton(ask, QStringLiteral("btn_confirm")))
        return QStringLiteral("no confirm button");
    QuestionTypeTipDialog4 *result = visible<QuestionTypeTipDialog4>().value(0);
    return result ? contentOf(result) : QStringLiteral("no result box");
}

QList<NewTalkExamCell *> sections(QWidget *window)
{
    QList<NewTalkExamCell *> found = window->findChildren<NewTalkExamCell *>();
    std::sort(found.begin(), found.end(), [](NewTalkExamCell *a, NewTalkExamCell *b) { return a->y() < b->y(); });
    return found;
}

QList<int> states(NewTalkExamCell *section)
{
    QList<int> found;
    for (LabelForm *button : section->findChildren<LabelForm *>())
        found << button->state();
    return found;
}

NewTalkExamForm *awaitPaper(NewTalkExamForm *window);

// A simulated exam of the given parts (named "第<type>类", described
// "说明<type>"), loaded, with the paper dialog closed.
NewTalkExamForm *openPaper(const TypeCounts &counts)
{
    auto *window = new NewTalkExamForm;
    window->show();
    QList<ExamSection *> parts;
    for (const auto &entry : counts) {
        auto *part = new ExamSection;
        part->queTypeId = entry.first;
        part->count = entry.second;
        part->name = QStringLiteral("第%1类").arg(entry.first);
        part->description = QStringLiteral("说明%1").arg(entry.first);
        parts << part;
    }
    window->startSimulatedExam(parts);
    qDeleteAll(parts);
    return awaitPaper(window);
}

// The window once its paper has loaded, with the paper dialog closed.
NewTalkExamForm *awaitPaper(NewTalkExamForm *window)
{
    if (!QTest::qWaitFor([] { return !visible<QuestionTypeTipDialog>().isEmpty(); }, loadWait))
        qWarning("paper did not load");
    closeAll<QuestionTypeTipDialog>();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("window not exposed");
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("window not active");
    return window;
}

bool chooseA(NewTalkExamForm *window)
{
    return chooseRow(window, 0)
        && window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"))->answerState() != 0;
}

// Clicks the first visible true/false choice of the shown question.
bool chooseJudgement(NewTalkExamForm *window)
{
    auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
    QRadioButton *option = nullptr;
    QTest::qWaitFor([&] {
        for (QRadioButton *candidate : view->findChildren<QRadioButton *>(QStringLiteral("radioButton"))) {
            if (candidate->isVisible())
                option = candidate;
        }
        return option != nullptr;
    }, 5000);
    if (!option)
        return false;
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
    return view->answerState() != 0;
}

// The counts line of the report the window built on grading.
QString reportCounts()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("ViewReport"))
            return widget->findChild<QLabel *>(QStringLiteral("label"))->text();
    }
    return QString();
}

// Every row of a table, in a stable order.
QStringList tableRows(const QString &table)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(QStringLiteral("select * from %1 order by 1, 2").arg(table)))
        return {QStringLiteral("failed: ") + table};
    QStringList rows;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i).toString();
        rows << row.join(QLatin1Char('|'));
    }
    return rows;
}

// The counts of the exam record saved last: "total/right/unanswered".
QString savedCounts()
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(QStringLiteral("select V4 from ConfigTable order by cast(V5 as integer) desc limit 1")) || !query.next())
        return QStringLiteral("no record");
    return query.value(0).toString();
}

int examRecords()
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(QStringLiteral("select count(*) from ConfigTable")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

} // namespace

class TestExamMoves : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void cleanup();

    void forwardOnlyFirstPart();
    void forwardOnlyLaterPart();
    void partEntryRefused();
    void partEntryConfirmed();
    void submitListsUnanswered();
    void submitQuestionInView_data();
    void submitQuestionInView();
    void gradingOnce();
    void gradedAnswer();
    void multipleChoiceRule();
    void trueFalsePartCanBeLeft();
    void predictionAnswersStayInPaper();
    void grading_data();
    void grading();
    void staleEntryConfirmation();
    void repeatedEntryConfirmation();
    void wholePaperSubmitted_data();
    void wholePaperSubmitted();
    void demoPredictionPaper();
    void limitAfterSubmission();
    void help();
    void calculator();
    void wheelOverSharedOptionBoxScrolls();
};

void TestExamMoves::cleanup()
{
    closeAll<QuestionTypeTipDialog5>();
    closeAll<QuestionTypeTipDialog4>();
    closeAll<QuestionTypeTipDialog3>();
    closeAll<QuestionTypeTipDialog2>();
    closeAll<QuestionTypeTipDialog>();
    Calculator::setProgramOverride(QString());
}

void TestExamMoves::forwardOnlyFirstPart()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().groups(3, {3}).text()));
    QPointer<NewTalkExamForm> window = openPaper({{3, 1}});
    NewTalkExamCell *section = sections(window).first();
    QCOMPARE(section->questionCount(), 3);

    // Next on an unanswered question is refused and nothing moves. (The
    // case text box keeps the arrow keys for itself: the buttons are clicked.)
    QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("btn_next")), Qt::LeftButton);
    QCOMPARE(waitNotice(), QStringLiteral("当前题型为不可回退，此题还未答，不能进入下一题"));
    QCOMPARE(states(section), QList<int>({1, 0, 0}));

    // In the paper's first part the card is not held; the previous button is.
    section->clickNumber(2);
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(section), QList<int>({0, 0, 1}));
    QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("btn_last")), Qt::LeftButton);
    QCOMPARE(waitNotice(), QStringLiteral("当前题型为不可回退，不能返回上一题"));
    QCOMPARE(states(section), QList<int>({0, 0, 1}));
    delete window;
}

void TestExamMoves::forwardOnlyLaterPart()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 1).groups(4, {4}).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 1}, {4, 1}});
    const QList<NewTalkExamCell *> card = sections(window);
    QCOMPARE(card.size(), 2);
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 1);
    QVERIFY(DialogAnswerer::clickButton(asks.first(), QStringLiteral("btn_confirm")));
    NewTalkExamCell *part = card.at(1);
    QCOMPARE(states(part), QList<int>({1, 0, 0, 0}));

    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QCOMPARE(states(part), QList<int>({2, 1, 0, 0}));

    // Away from the part's first question the card is held too.
    part->clickNumber(2);
    QCOMPARE(takeNotice(), QStringLiteral("当前题型为不可回退,不能进入该题。"));
    window->on_btn_last_clicked();
    QCOMPARE(takeNotice(), QStringLiteral("当前题型为不可回退，不能返回上一题"));
    QVERIFY(chooseA(window));
    part->clickNumber(3);
    QCOMPARE(takeNotice(), QStringLiteral("前面还有未答的题，不能进入该题!"));
    QCOMPARE(states(part), QList<int>({2, 1, 0, 0}));
    part->clickNumber(2);
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(part), QList<int>({2, 2, 1, 0}));
    delete window;
}

void TestExamMoves::partEntryRefused()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).singles(2, 2).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 2}, {2, 2}});
    const QList<NewTalkExamCell *> card = sections(window);
    QCOMPARE(card.size(), 2);
    const QString notice = QStringLiteral("当前题型[第1类]还有未答完的题，不能进入[第2类]！");

    // A card click on the next part and the next button at the part's end.
    card.at(1)->clickNumber(0);
    QCOMPARE(takeNotice(), notice);
    QCOMPARE(states(card.at(1)), QList<int>({0, 0}));
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QCOMPARE(states(card.at(0)), QList<int>({2, 1}));
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), notice);
    QVERIFY(visible<QuestionTypeTipDialog2>().isEmpty());
    delete window;
}

void TestExamMoves::partEntryConfirmed()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).singles(2, 2).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 2}, {2, 2}});
    const QList<NewTalkExamCell *> card = sections(window);
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), QString());

    // Cancel stays on the last question of the part.
    QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 1);
    QVERIFY(contentOf(asks.first()).contains(QStringLiteral("说明2")));
    QVERIFY(DialogAnswerer::clickButton(asks.first(), QStringLiteral("btn_cancel")));
    QCOMPARE(states(card.at(0)), QList<int>({2, 1}));
    QCOMPARE(states(card.at(1)), QList<int>({0, 0}));

    window->on_btn_next_clicked();
    asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 1);
    QVERIFY(DialogAnswerer::clickButton(asks.first(), QStringLiteral("btn_confirm")));
    QCOMPARE(states(card.at(0)), QList<int>({2, 2}));
    QCOMPARE(states(card.at(1)), QList<int>({1, 0}));

    // The earlier part is closed, by the card and by the previous button.
    card.at(0)->clickNumber(0);
    QCOMPARE(takeNotice(), QStringLiteral("不可返回上一题型。"));
    window->on_btn_last_clicked();
    QCOMPARE(takeNotice(), QStringLiteral("不可返回上一题型。"));
    QCOMPARE(states(card.at(1)), QList<int>({1, 0}));
    window->on_btn_next_clicked();
    QCOMPARE(states(card.at(1)), QList<int>({0, 1}));
    delete window;
}

void TestExamMoves::submitListsUnanswered()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 3).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 3}});
    NewTalkExamCell *section = sections(window).first();
    QVERIFY(chooseA(window));
    section->clickNumber(2);

    // The unanswered current question is listed too; cancel changes nothing.
    QTest::keyClick(window, Qt::Key_4);
    QTRY_COMPARE(visible<QuestionTypeTipDialog3>().size(), 1);
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().first();
    QCOMPARE(contentOf(ask), QStringLiteral("您有[2, 3, 项]没有选择答案.确定要提交试卷吗?"));
    QCOMPARE(states(section), QList<int>({2, 0, 1}));
    QVERIFY(DialogAnswerer::clickButton(ask, QStringLiteral("btn_cancel")));
    QCOMPARE(states(section), QList<int>({2, 0, 1}));
    QVERIFY(visible<QuestionTypeTipDialog4>().isEmpty());
    delete window;
}

void TestExamMoves::submitQuestionInView_data()
{
    QTest::addColumn<bool>("atLimit");
    QTest::newRow("submitted at once") << false;
    QTest::newRow("time limit") << true;
}

void TestExamMoves::submitQuestionInView()
{
    QFETCH(bool, atLimit);
    // A fresh man-machine paper 2 lists every one of its 104 numbers.
    Session session;
    QVERIFY(session.open(ExamBankSql()
                             .singles(1, 60)
                             .groups(7, QVector<int>(10, 2).toList())
                             .groups(4, QVector<int>(8, 3).toList())
                             .text()));
    auto *created = new NewTalkExamForm;
    created->show();
    created->startManMachineExam(2);
    QPointer<NewTalkExamForm> window = awaitPaper(created);
    if (atLimit) {
        for (int i = 0; i < 5400; ++i)
            window->receiveTimeOut();
    } else {
        QTest::keyClick(window, Qt::Key_4);
    }
    QTRY_COMPARE(visible<QuestionTypeTipDialog3>().size(), 1);
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().first();
    QVERIFY(QTest::qWaitForWindowExposed(ask));
    const QString last = sections(window).last()->lastNumberText();
    QCOMPARE(last, QStringLiteral("78.3"));
    QVERIFY(contentOf(ask).startsWith(QStringLiteral("您有[1, 2, 3, ")));
    QVERIFY(contentOf(ask).endsWith(last + QStringLiteral(", 项]没有选择答案.确定要提交试卷吗?")));

    // The question lies whole inside the dialog, under nothing.
    auto *question = ask->findChild<QLabel *>(QStringLiteral("question"));
    QVERIFY(question);
    QCOMPARE(question->text(), QStringLiteral("确定要提交试卷吗?"));
    QVERIFY(question->isVisible());
    const QRect questionArea(question->mapTo(ask, QPoint(0, 0)), question->size());
    QVERIFY(ask->rect().contains(questionArea));
    QVERIFY(question->height() >= question->heightForWidth(question->width()));
    auto *list = ask->findChild<QScrollArea *>();
    QVERIFY(list);
    for (QWidget *other : QList<QWidget *>{list, ask->findChild<QWidget *>(QStringLiteral("btn_confirm")),
                                           ask->findChild<QWidget *>(QStringLiteral("btn_cancel"))}) {
        const QRect otherArea(other->mapTo(ask, QPoint(0, 0)), other->size());
        QVERIFY2(!otherArea.intersects(questionArea), qPrintable(other->objectName()));
    }

    // The numbers scroll down to the last one.
    auto *content = ask->findChild<QLabel *>(QStringLiteral("content"));
    QVERIFY(content->height() >= content->heightForWidth(content->width()));
    QScrollBar *bar = list->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QVERIFY(bar->maximum() > 0);
    QTest::keyClick(bar, Qt::Key_End);
    QCOMPARE(bar->value(), bar->maximum());
    const QPoint end = content->mapTo(list->viewport(), QPoint(0, content->height()));
    QVERIFY(end.y() <= list->viewport()->height());
    delete window;
}

void TestExamMoves::gradingOnce()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 2}});
    const int before = examRecords();
    QVERIFY(before >= 0);
    QVERIFY(chooseA(window));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("label_question_count"))->text(),
             QStringLiteral("试题总数：2题      已答：1题"));
    window->on_btn_next_clicked();
    QVERIFY(chooseA(window));

    // The last question's next button submits; the limit's confirmation
    // may be open beside the user's.
    window->on_btn_next_clicked();
    window->on_btn_submit_clicked();
    const QList<QuestionTypeTipDialog3 *> asks = visible<QuestionTypeTipDialog3>();
    QCOMPARE(asks.size(), 2);
    QCOMPARE(contentOf(asks.first()), QStringLiteral("您确定要提交试卷吗?"));
    for (QuestionTypeTipDialog3 *ask : asks)
        QVERIFY(DialogAnswerer::clickButton(ask, QStringLiteral("btn_confirm")));

    const QList<QuestionTypeTipDialog4 *> results = visible<QuestionTypeTipDialog4>();
    QCOMPARE(results.size(), 1);
    QCOMPARE(contentOf(results.first()), QStringLiteral("本次共[2]题\n正确: 2题  错误: 0题  未答: 0题"));
    QCOMPARE(examRecords(), before + 1);
    auto *legend = window->findChild<QWidget *>(QStringLiteral("cardWidget"))->findChild<QLabel *>(QStringLiteral("label"));
    QCOMPARE(legend->styleSheet(), QStringLiteral("border-image: url(:/machine/images/machine/ic_card_status2.png);"));
    QCOMPARE(states(sections(window).first()), QList<int>({2, 2}));

    // A second submission only says so. The answerer starts watching only
    // now: a slow activation must not use up its time.
    closeAll<QuestionTypeTipDialog4>();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QString aboutText;
    DialogAnswerer answerer([&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        aboutText = box->windowTitle() + QLatin1Char('|') + box->text();
        box->accept();
    });
    QTest::keyClick(window, Qt::Key_4);
    QVERIFY(answerer.wait());
    QCOMPARE(aboutText, QStringLiteral("提示|您已经提交过了。"));
    QCOMPARE(examRecords(), before + 1);

    // After submission moves are free.
    window->on_btn_last_clicked();
    QCOMPARE(takeNotice(), QString());
    delete window;
}

void TestExamMoves::gradedAnswer()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 3).singles(2, 1).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 3}, {2, 1}});
    QVERIFY(chooseA(window));
    window->on_btn_submit_clicked();
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0);
    QVERIFY(ask);
    QCOMPARE(contentOf(ask), QStringLiteral("您有[2, 3, 4, 项]没有选择答案.确定要提交试卷吗?"));
    const QString result = confirmSubmission(ask);
    QCOMPARE(result, QStringLiteral("本次共[4]题\n正确: 1题  错误: 0题  未答: 3题"));
    const QList<NewTalkExamCell *> card = sections(window);
    QCOMPARE(states(card.at(0)), QList<int>({2, 0, 0}));
    QCOMPARE(states(card.at(1)), QList<int>({0}));
    // A submitted paper enters any part without asking.
    card.at(1)->clickNumber(0);
    QCOMPARE(takeNotice(), QString());
    QVERIFY(visible<QuestionTypeTipDialog2>().isEmpty());
    delete window;
}

void TestExamMoves::multipleChoiceRule()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(6, 3).text()));
    QPointer<NewTalkExamForm> window = openPaper({{6, 3}});
    NewTalkExamCell *section = sections(window).first();
    const QString forward = QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入下一题。");

    // None chosen: every move passes.
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(section), QList<int>({0, 1, 0}));

    // One chosen: next, previous and a card click are refused.
    QVERIFY(chooseRow(window, 0));
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), forward);
    window->on_btn_last_clicked();
    QCOMPARE(takeNotice(), QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入上一题。"));
    section->clickNumber(0);
    QCOMPARE(takeNotice(), forward);
    QCOMPARE(states(section), QList<int>({0, 1, 0}));

    // Two chosen: it may be left.
    QVERIFY(chooseRow(window, 1));
    window->on_btn_last_clicked();
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(section), QList<int>({1, 2, 0}));
    delete window;
}

void TestExamMoves::trueFalsePartCanBeLeft()
{
    // A true/false answer counts: its part can be left and it is graded.
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(11, 2).singles(1, 1).text()));
    QPointer<NewTalkExamForm> window = openPaper({{11, 2}, {1, 1}});
    const QList<NewTalkExamCell *> card = sections(window);
    QVERIFY(chooseJudgement(window));
    window->on_btn_next_clicked();
    QVERIFY(chooseJudgement(window));
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), QString());
    const QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 1);
    QVERIFY(DialogAnswerer::clickButton(asks.first(), QStringLiteral("btn_confirm")));
    QCOMPARE(states(card.at(1)), QList<int>({1}));

    window->on_btn_submit_clicked();
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0);
    QVERIFY(ask);
    // Both judgements are graded right or wrong; the last question is not answered.
    const QString text = confirmSubmission(ask);
    QVERIFY2(text.endsWith(QStringLiteral("未答: 1题")), qPrintable(text));
    for (int state : states(card.at(0)))
        QVERIFY(state == 1 || state == 2);
    delete window;
}

void TestExamMoves::predictionAnswersStayInPaper()
{
    // A practice question shares its id with the paper's true/false question.
    Session session;
    QVERIFY(session.open(ExamBankSql()
                             .paper(1)
                             .paperGroups(1, 11, {1})
                             .paperGroups(1, 1, {1})
                             .raw(QStringLiteral(
                                 "INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                                 "VALUES (5000, 1, 11, '', 5000);\n"
                                 "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord) "
                                 "VALUES (100000, 5000, '同号', 'A', '', '0', 1);"))
                             .text()));
    const QStringList tables = {QStringLiteral("tQue"), QStringLiteral("ytQue"), QStringLiteral("tQueLog")};
    QList<QStringList> before;
    for (const QString &table : tables)
        before << tableRows(table);
    const int records = examRecords();

    auto *created = new NewTalkExamForm;
    created->show();
    created->startPredictionPaper(1, 2);
    QPointer<NewTalkExamForm> window = awaitPaper(created);
    QCOMPARE(sections(window).size(), 2);
    // The paper orders its parts itself: answer whichever kind is shown.
    const auto answerShown = [&] {
        auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
        bool choice = false;
        for (QuestionAnswerCellForm *row : view->findChildren<QuestionAnswerCellForm *>())
            choice = choice || row->isVisible();
        return choice ? chooseA(window) : chooseJudgement(window);
    };
    QVERIFY(answerShown());
    window->on_btn_next_clicked();
    QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 1);
    QVERIFY(DialogAnswerer::clickButton(asks.first(), QStringLiteral("btn_confirm")));
    QVERIFY(answerShown());
    window->on_btn_next_clicked();
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0);
    QVERIFY(ask);
    QCOMPARE(contentOf(ask), QStringLiteral("您确定要提交试卷吗?"));
    const QString result = confirmSubmission(ask);
    QVERIFY2(result.endsWith(QStringLiteral("未答: 0题")), qPrintable(result));

    for (int i = 0; i < tables.size(); ++i)
        QCOMPARE(tableRows(tables.at(i)), before.at(i));
    QCOMPARE(examRecords(), records);
    delete window;
}

void TestExamMoves::grading_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("steps"); // user steps, in order (see step())
    QTest::addColumn<int>("graded");        // 1 right, 2 wrong, 0 not answered
    QTest::newRow("1 right") << 1 << "B" << rows({1}) << 1;
    QTest::newRow("1 wrong") << 1 << "B" << rows({0}) << 2;
    QTest::newRow("1 none") << 1 << "B" << rows({}) << 0;
    QTest::newRow("2 right") << 2 << "C" << rows({2}) << 1;
    QTest::newRow("2 wrong") << 2 << "C" << rows({3}) << 2;
    QTest::newRow("2 none") << 2 << "C" << rows({}) << 0;
    QTest::newRow("3 right") << 3 << "D" << rows({3}) << 1;
    QTest::newRow("3 wrong") << 3 << "D" << rows({0}) << 2;
    QTest::newRow("4 right") << 4 << "E" << rows({4}) << 1;
    QTest::newRow("4 wrong") << 4 << "E" << rows({1}) << 2;
    QTest::newRow("6 DAB right") << 6 << "ABD" << rows({3, 0, 1}) << 1;
    QTest::newRow("6 AB wrong") << 6 << "ABD" << rows({0, 1}) << 2;
    QTest::newRow("6 ABDE wrong") << 6 << "ABD" << rows({0, 1, 3, 4}) << 2;
    QTest::newRow("6 A twice none") << 6 << "ABD" << rows({0, 0}) << 0;
    QTest::newRow("6 spaced right") << 6 << "A B D" << rows({0, 1, 3}) << 1;
    QTest::newRow("7 right") << 7 << "C" << QStringList{"combo:3"} << 1;
    QTest::newRow("7 wrong") << 7 << "C" << QStringList{"combo:1"} << 2;
    QTest::newRow("7 back to the placeholder") << 7 << "C" << QStringList{"combo:3", "combo:0"} << 0;
    QTest::newRow("11 right") << 11 << "B" << QStringList{"judge:1"} << 1;
    QTest::newRow("11 wrong") << 11 << "B" << QStringList{"judge:0"} << 2;
    QTest::newRow("11 changed to right") << 11 << "B" << QStringList{"judge:0", "judge:1"} << 1;
    QTest::newRow("11 none") << 11 << "B" << QStringList() << 0;
    // Free text is right when it reads as the stored answer.
    QTest::newRow("10 stored answer typed") << 10 << "abc" << QStringList{"type:abc"} << 1;
    QTest::newRow("10 with blanks and capitals") << 10 << "a bc" << QStringList{"type:  A   BC "} << 1;
    QTest::newRow("10 one letter changed") << 10 << "abc" << QStringList{"type:abd"} << 2;
    QTest::newRow("10 empty") << 10 << "abc" << QStringList() << 0;
    QTest::newRow("10 typed and erased") << 10 << "abc" << QStringList{"type:ab", "erase:2"} << 0;
    QTest::newRow("12 typed") << 12 << "abc" << QStringList{"type:other"} << 2;
    QTest::newRow("12 empty") << 12 << "abc" << QStringList() << 0;
    QTest::newRow("12 stored answer typed") << 12 << "abc" << QStringList{"type:abc"} << 1;
    QTest::newRow("14 stored answer typed") << 14 << "abc" << QStringList{"type:abc"} << 1;
    QTest::newRow("16 stored answer retyped") << 16 << "abc" << QStringList{"type:abx", "erase:1", "type:c"} << 1;
    QTest::newRow("14 empty") << 14 << "abc" << QStringList() << 0;
    QTest::newRow("16 typed") << 16 << "abc" << QStringList{"type:x"} << 2;
    QTest::newRow("16 empty") << 16 << "abc" << QStringList() << 0;
}

void TestExamMoves::grading()
{
    QFETCH(int, type);
    QFETCH(QString, answer);
    QFETCH(QStringList, steps);
    QFETCH(int, graded);

    QString sql = QStringLiteral("INSERT INTO tQueType (queTypeId, queTypeName, memo) VALUES "
                                 "(10, '填空题', ''), (12, '简答题', ''), (14, '病例分析题', ''), (16, '论述题', '');\n"
                                 "INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                                 "VALUES (7000, 1, %1, '', 7000);\n"
                                 "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord) "
                                 "VALUES (700000, 7000, '五选', '%2', '', '0', 1);\n")
                      .arg(type)
                      .arg(answer);
    for (const char letter : {'A', 'B', 'C', 'D', 'E'})
        sql += QStringLiteral("INSERT INTO tQueOpt (optName, optText, queId) VALUES ('%1', '项%1', 700000);\n")
                   .arg(QLatin1Char(letter));
    Session session;
    QVERIFY(session.open(ExamBankSql().raw(sql).text()));
    QPointer<NewTalkExamForm> window = openPaper({{type, 1}});
    for (const QString &action : steps)
        QVERIFY2(step(window, action), qPrintable(action));
    window->on_btn_submit_clicked();
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0);
    QVERIFY(ask);
    const QString number = sections(window).first()->firstNumberText();
    QCOMPARE(contentOf(ask), graded == 0 ? QStringLiteral("您有[%1, 项]没有选择答案.确定要提交试卷吗?").arg(number)
                                         : QStringLiteral("您确定要提交试卷吗?"));
    const QString result = confirmSubmission(ask);
    const int right = graded == 1;
    const int wrong = graded == 2;
    const int none = graded == 0;
    QCOMPARE(result, QStringLiteral("本次共[1]题\n正确: %1题  错误: %2题  未答: %3题")
                                    .arg(right).arg(wrong).arg(none));
    QCOMPARE(reportCounts(), QStringLiteral("\t总题：1题  正确：%1题  错误：<font color=\"#FF0000\">%2</font>题 "
                                            "未做:<font color=\"#FF0000\">%3</font>题  ")
                                 .arg(right).arg(wrong).arg(none));
    const int card[] = {0, 2, 1}; // graded state → button state
    QCOMPARE(states(sections(window).first()), QList<int>({card[graded]}));
    QCOMPARE(savedCounts(), QStringLiteral("1/%1/%2").arg(right).arg(none));
    delete window;
}

void TestExamMoves::staleEntryConfirmation()
{
    // Two confirmations of one part entry: the second, confirmed late, must
    // neither skip a part nor reopen the one behind.
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 1).singles(2, 2).singles(6, 1).singles(11, 1).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 1}, {2, 2}, {6, 1}, {11, 1}});
    const QList<NewTalkExamCell *> card = sections(window);
    QCOMPARE(card.size(), 4);
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    window->on_btn_next_clicked();
    const QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 2);
    QVERIFY(DialogAnswerer::clickButton(asks.at(0), QStringLiteral("btn_confirm")));
    QCOMPARE(states(card.at(1)), QList<int>({1, 0}));

    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QuestionTypeTipDialog2 *third = nullptr;
    for (QuestionTypeTipDialog2 *ask : visible<QuestionTypeTipDialog2>()) {
        if (ask != asks.at(1))
            third = ask;
    }
    QVERIFY(third);
    QVERIFY(DialogAnswerer::clickButton(third, QStringLiteral("btn_confirm")));
    QCOMPARE(states(card.at(2)), QList<int>({1}));

    QVERIFY(DialogAnswerer::clickButton(asks.at(1), QStringLiteral("btn_confirm")));
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(card.at(2)), QList<int>({1}));
    card.at(1)->clickNumber(0);
    QCOMPARE(takeNotice(), QStringLiteral("不可返回上一题型。"));
    QCOMPARE(states(card.at(2)), QList<int>({1}));
    delete window;
}

void TestExamMoves::repeatedEntryConfirmation()
{
    // Two confirmations of entering part 2; the second, confirmed once the
    // user has moved on in that part, changes nothing.
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 1).singles(2, 4).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 1}, {2, 4}});
    const QList<NewTalkExamCell *> card = sections(window);
    QCOMPARE(card.size(), 2);
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    window->on_btn_next_clicked();
    const QList<QuestionTypeTipDialog2 *> asks = visible<QuestionTypeTipDialog2>();
    QCOMPARE(asks.size(), 2);
    QVERIFY(DialogAnswerer::clickButton(asks.at(0), QStringLiteral("btn_confirm")));
    QCOMPARE(states(card.at(1)), QList<int>({1, 0, 0, 0}));
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QVERIFY(chooseA(window));
    window->on_btn_next_clicked();
    QCOMPARE(states(card.at(1)), QList<int>({2, 2, 1, 0}));

    QVERIFY(DialogAnswerer::clickButton(asks.at(1), QStringLiteral("btn_confirm")));
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(card.at(1)), QList<int>({2, 2, 1, 0}));
    // Still in part 2, on its third question, with part 1 closed.
    card.at(0)->clickNumber(0);
    QCOMPARE(takeNotice(), QStringLiteral("不可返回上一题型。"));
    window->on_btn_next_clicked();
    QCOMPARE(takeNotice(), QString());
    QCOMPARE(states(card.at(1)), QList<int>({2, 2, 0, 1}));
    delete window;
}

void TestExamMoves::wholePaperSubmitted_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("newRecords");
    QTest::newRow("man-machine") << 0 << 1;
    QTest::newRow("simulated") << 1 << 1;
    QTest::newRow("prediction paper of every type") << 2 << 0;
}

void TestExamMoves::wholePaperSubmitted()
{
    QFETCH(int, mode);
    QFETCH(int, newRecords);

    // The bank's questions, a prediction paper holding every type, and a
    // practice question sharing its id with the paper's true/false question.
    ExamBankSql bank;
    bank.raw(QStringLiteral("INSERT INTO tQueType (queTypeId, queTypeName, memo) VALUES "
                            "(10, '填空题', ''), (12, '简答题', ''), (14, '病例分析题', ''), (16, '论述题', '');"))
        .singles(1, 3)
        .singles(6, 2)
        .groups(4, {2})
        .paper(1);
    for (const int type : {1, 2, 3, 4, 6, 7, 10, 11, 12, 14, 16})
        bank.paperGroups(1, type, type == 3 || type == 4 || type == 7 ? QList<int>{2} : QList<int>{1});
    bank.raw(QStringLiteral("INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                            "VALUES (5000, 1, 11, '', 5000);\n"
                            "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord) "
                            "SELECT queId, 5000, '同号', 'A', '', '0', 1 FROM ytQue "
                            "WHERE cateListId IN (SELECT cateListId FROM ytCateList WHERE queTypeId = 11);"));
    Session session;
    QVERIFY(session.open(bank.text()));
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQue where cateListId = 5000")), 1);
    const QStringList tables = {QStringLiteral("tQue"), QStringLiteral("ytQue"), QStringLiteral("tQueLog")};
    QList<QStringList> before;
    for (const QString &table : tables)
        before << tableRows(table);
    const int records = examRecords();

    auto *created = new NewTalkExamForm;
    created->show();
    if (mode == 0) {
        created->startManMachineExam(1);
    } else if (mode == 1) {
        QList<ExamSection *> parts;
        for (const int type : {1, 6}) {
            auto *part = new ExamSection;
            part->queTypeId = type;
            part->count = 2;
            part->name = QStringLiteral("第%1类").arg(type);
            parts << part;
        }
        created->startSimulatedExam(parts);
        qDeleteAll(parts);
    } else {
        created->startPredictionPaper(1, 2);
    }
    QPointer<NewTalkExamForm> window = awaitPaper(created);
    QuestionTypeTipDialog3 *ask = answerWholePaper(window);
    QVERIFY(ask);
    QCOMPARE(contentOf(ask), QStringLiteral("您确定要提交试卷吗?"));
    const QString result = confirmSubmission(ask);
    QVERIFY2(result.endsWith(QStringLiteral("未答: 0题")), qPrintable(result));

    for (int i = 0; i < tables.size(); ++i)
        QCOMPARE(tableRows(tables.at(i)), before.at(i));
    QCOMPARE(examRecords(), records + newRecords);
    delete window;
}

void TestExamMoves::demoPredictionPaper()
{
    // The demo's first paper has a true/false part: answered through, every
    // part is left and every question graded.
    TempWorkDir work;
    QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
    QList<SqliteData *> papers;
    SqliteClass::instance()->paperChapters(papers, 0, 0);
    QVERIFY(!papers.isEmpty());
    const int paper = papers.first()->text0.toInt();
    qDeleteAll(papers);
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from ytCateList where cateId = ? and queTypeId = 11"), {paper}) > 0,
             true);

    auto *created = new NewTalkExamForm;
    created->show();
    created->startPredictionPaper(paper, 2);
    QPointer<NewTalkExamForm> window = awaitPaper(created);
    QuestionTypeTipDialog3 *ask = answerWholePaper(window);
    QVERIFY(ask);
    const QString result = confirmSubmission(ask);
    QVERIFY2(result.endsWith(QStringLiteral("未答: 0题")), qPrintable(result));
    for (NewTalkExamCell *section : sections(window)) {
        for (int state : states(section))
            QVERIFY(state == 1 || state == 2);
    }
    delete window;
    delete SqliteClass::instance();
}

void TestExamMoves::limitAfterSubmission()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 2}});
    const int before = examRecords();
    window->on_btn_submit_clicked();
    QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0);
    QVERIFY(ask);
    QVERIFY(DialogAnswerer::clickButton(ask, QStringLiteral("btn_confirm")));
    closeAll<QuestionTypeTipDialog4>();

    // The limit of a submitted paper only says it was submitted.
    QString aboutText;
    DialogAnswerer answerer([&](QWidget *dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            aboutText = box->text();
            box->accept();
        }
    });
    for (int i = 0; i < 7200; ++i)
        window->receiveTimeOut();
    QVERIFY(answerer.wait());
    QCOMPARE(aboutText, QStringLiteral("您已经提交过了。"));
    QVERIFY(visible<QuestionTypeTipDialog3>().isEmpty());
    QCOMPARE(examRecords(), before + 1);
    delete window;
}

void TestExamMoves::help()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).text()));
    QPointer<NewTalkExamForm> window = openPaper({{1, 2}});
    QTest::keyClick(window, Qt::Key_3);
    QTRY_COMPARE(visible<HelpDialog>().size(), 1);
    QPointer<HelpDialog> first = visible<HelpDialog>().first();
    QCOMPARE(first->findChild<QLabel *>(QStringLiteral("label_text"))->text(), QStringLiteral("说明1"));
    // The help is modal: its button closes it before the next press.
    QVERIFY(DialogAnswerer::clickButton(first, QStringLiteral("btn_confirm")));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_3);
    QTRY_VERIFY(first.isNull());
    QCOMPARE(visible<HelpDialog>().size(), 1);
    delete window;
    QCOMPARE(visible<HelpDialog>().size(), 0);
}

void TestExamMoves::calculator()
{
    Session session;
    QVERIFY(session.open(ExamBankSql().singles(1, 2).text()));
    const QString pids = session.dir.path() + QStringLiteral("/pids");
    const QString script = session.dir.path() + QStringLiteral("/fakecalc.sh");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\necho $$ >> '%1'\nexec sleep 300\n").arg(pids).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Calculator::setProgramOverride(script);

    const auto started = [&] {
        QFile list(pids);
        if (!list.open(QIODevice::ReadOnly))
            return QList<int>();
        QList<int> found;
        for (const QByteArray &line : list.readAll().split('\n')) {
            if (!line.trimmed().isEmpty())
                found << line.trimmed().toInt();
        }
        return found;
    };
    const auto running = [](int pid) { return ::kill(pid, 0) == 0; };

    QPointer<NewTalkExamForm> window = openPaper({{1, 2}});
    QTest::keyClick(window, Qt::Key_2);
    QTRY_COMPARE(started().size(), 1);
    QTest::keyClick(window, Qt::Key_2);
    QTRY_COMPARE(started().size(), 2);
    QVERIFY(!running(started().at(0)));
    QVERIFY(running(started().at(1)));
    const int last = started().at(1);
    delete window;
    QTRY_VERIFY(!running(last));
}

// A wheel notch over a shared-option box scrolls the question and answers nothing.
void TestExamMoves::wheelOverSharedOptionBoxScrolls()
{
    Session session;
    // A question text long enough to scroll.
    QVERIFY(session.open(ExamBankSql()
                             .groups(7, {2})
                             .raw(QStringLiteral("update tQue set queText = replace(hex(zeroblob(400)), '00', '很长的题干文字');"))
                             .text()));
    QPointer<NewTalkExamForm> window = openPaper({{7, 1}});
    auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
    QScrollBar *bar = view->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    const QList<QComboBox *> boxes = view->findChildren<QComboBox *>(QStringLiteral("comboBox_answer"));
    QCOMPARE(boxes.size(), 1);
    auto *count = window->findChild<QLabel *>(QStringLiteral("label_question_count"));
    const QString counted = count->text();
    const QStringList log = tableRows(QStringLiteral("tQueLog"));
    QComboBox *box = boxes.first();
    view->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->ensureWidgetVisible(box, 0, 150);
    QCOMPARE(window->childAt(box->mapTo(window, box->rect().center())), box);
    const int start = bar->value();
    sendWheel(box, -1);
    const int down = bar->value();
    QVERIFY2(down > start || down == bar->maximum(), "the question did not scroll down");
    sendWheel(box, 1);
    QVERIFY2(bar->value() < down, "the question did not scroll up");
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(view->answerState(), 0);
    QCOMPARE(count->text(), counted);
    QCOMPARE(tableRows(QStringLiteral("tQueLog")), log);
    delete window;
}

QTEST_MAIN(TestExamMoves)
#include "tst_exammoves.moc"
