// What the true/false, fill-in and case-analysis cells share: the exam fill,
// favourite and note, the hidden error button, broken data and the form's
// own texts.
#include "BLANKCellForm.h"
#include "SIMPLE_CASE_EXPLAINECellForm.h"
#include "YNCellForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "NoteEditors.h"
#include "PlainCellKit.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"

#include <QRadioButton>
#include <QtTest>
#include <memory>

namespace {

const char refuseUpdates[] = "create trigger refuse before update on tQue begin select raise(abort, 'refused'); end";

// One of the three cells, by question type, in a window.
struct AnyCell {
    QWidget window;
    PlainCellBase *cell = nullptr;

    explicit AnyCell(int queTypeId)
    {
        if (queTypeId == 11)
            cell = new YNCellForm;
        else if (queTypeId == 10)
            cell = new BLANKCellForm;
        else
            cell = new SIMPLE_CASE_EXPLAINECellForm;
        (new QVBoxLayout(&window))->addWidget(cell);
        cell->setStyle(cellSkin());
    }
    void fill(MainQuestion *group, Fill how, int number = 1)
    {
        if (how == Fill::Exam)
            cell->setExamData(number, group);
        else
            cell->setData(number, group, how == Fill::Browse ? 1 : 0);
    }
    // Upper-case letters click an option, other keys go into the text box.
    void act(const QString &keys)
    {
        for (QChar key : keys) {
            if (key.isUpper())
                clickOption(cell, key);
            else
                typeInto(cell, key);
        }
    }
    // The checked option's letter, or the typed text.
    QString given() const
    {
        return qobject_cast<YNCellForm *>(cell) ? checkedOption(cell) : answerBox(cell)->toPlainText();
    }
    bool showActive() { return showActiveWindow(window); }
};

// Question 5008 of prediction paper 3 as the exam window gets it.
std::unique_ptr<MainQuestion> paperRecord()
{
    SqliteClass *store = SqliteClass::instance();
    QList<MainQuestion *> caught;
    const auto connection = QObject::connect(store, &SqliteClass::sendTalkQuesion,
                                             [&caught](int, QList<MainQuestion *> records) { caught += records; });
    store->loadPaperQuestions(3, 11);
    QObject::disconnect(connection);
    if (caught.isEmpty())
        return nullptr;
    std::unique_ptr<MainQuestion> first(caught.takeFirst());
    qDeleteAll(caught);
    return first;
}

// A group of the fixture bank, or the paper's question for group 0.
std::unique_ptr<MainQuestion> groupOrPaper(int cateListId)
{
    return cateListId == 0 ? paperRecord() : CellFixture::group(cateListId);
}

int typeOf(int cateListId)
{
    return cateListId == 0 ? 11 : sqlCount(QStringLiteral("select queTypeId from tCateList where cateListId = ?"), {cateListId});
}

// A practice cell on the group's question, on a bank that refuses every
// change of tQue where asked.
struct PracticeCell {
    CellFixture bank;
    std::unique_ptr<MainQuestion> record;
    AnyCell any;
    int queId = 0;

    PracticeCell(int group, bool refused)
        : bank(refused ? QStringList{QString::fromLatin1(refuseUpdates)} : QStringList()),
          record(CellFixture::group(group)), any(typeOf(group))
    {
        if (!record)
            return;
        queId = record->questions.first()->queId;
        any.fill(record.get(), Fill::Practice);
    }
};

} // namespace

class TestPlainCells : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void typedAnswerRule_data();
    void typedAnswerRule();
    void examFill_data();
    void examFill();
    void examRestore_data();
    void examRestore();
    void favourite_data();
    void favourite();
    void note_data();
    void note();
    void errorButtonHidden_data();
    void errorButtonHidden();
    void groupWithoutQuestions_data();
    void groupWithoutQuestions();
    void unfilledForm_data();
    void unfilledForm();
    void descriptionLine_data();
    void descriptionLine();
    void buttonStyles();
};

void TestPlainCells::typedAnswerRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("right");
    QTest::newRow("exact") << "0.70" << "0.70" << true;
    QTest::newRow("one digit changed") << "0.71" << "0.70" << false;
    QTest::newRow("blanks around") << " \t0.70 \n" << "0.70" << true;
    QTest::newRow("run of blanks") << "a   b" << "a b" << true;
    QTest::newRow("tab and line feed as blanks") << "a\t\nb" << "a b" << true;
    QTest::newRow("blank left out") << "ab" << "a b" << false;
    QTest::newRow("stored with blanks around") << "肺泡" << " 肺泡  " << true;
    QTest::newRow("full-width digits and point") << "０．７０" << "0.70" << true;
    QTest::newRow("full-width letters") << "ＡＴＰ" << "atp" << true;
    QTest::newRow("stored full-width") << "5%" << "５％" << true;
    QTest::newRow("ideographic space") << "肺\u3000泡" << "肺 泡" << true;
    QTest::newRow("Latin letters without case") << "Atp" << "aTP" << true;
    QTest::newRow("accented Latin without case") << "É" << "é" << true;
    QTest::newRow("Greek keeps its case") << "Β" << "β" << false;
    QTest::newRow("Chinese exact") << "肺泡" << "肺泡" << true;
    QTest::newRow("Chinese character changed") << "肺胞" << "肺泡" << false;
    QTest::newRow("empty against empty") << "" << "" << false;
    QTest::newRow("blanks against empty") << "  " << "" << false;
    QTest::newRow("empty against an answer") << "" << "0.70" << false;
}

// A typed answer is right when it reads as the stored one.
void TestPlainCells::typedAnswerRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QTEST(PlainCellBase::typedAnswerIsRight(typed, stored), "right");
}

void TestPlainCells::examFill_data()
{
    QTest::addColumn<int>("group");   // 0: question 5008 of prediction paper 3
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("signals");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("late");   // tried once the answer is shown
    QTest::newRow("fill-in 1010") << 107 << "ab<" << "6|2|a;6|2|ab;6|2|a" << 2 << "z";
    QTest::newRow("fill-in emptied") << 107 << "a<" << "6|2|a;6|0|" << 0 << "z";
    QTest::newRow("true/false 1011") << 108 << "BA" << "6|2|B;6|1|A" << 1 << "B";
    QTest::newRow("type 12, 1012") << 109 << "ab" << "6|2|a;6|2|ab" << 2 << "z";
    QTest::newRow("type 14 with stem, 1013") << 110 << "x" << "6|2|x" << 2 << "z";
    QTest::newRow("type 16, 1014") << 111 << "x<" << "6|2|x;6|0|" << 0 << "z";
    QTest::newRow("paper 3, 5008") << 0 << "BAA" << "6|2|B;6|1|A;6|1|A" << 1 << "B";
}

// The exam writes nothing: every change is reported for the exam to keep,
// and the answer is closed once shown.
void TestPlainCells::examFill()
{
    QFETCH(int, group);
    QFETCH(QString, actions);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    const int logRows = sqlCount(QStringLiteral("select count(*) from tQueLog"));
    auto record = groupOrPaper(group);
    QVERIFY(record);
    record->questions.first()->userAnswer.clear();   // a drawn question is unanswered
    AnyCell any(typeOf(group));
    QSignalSpy spy(any.cell, &PlainCellBase::sendAnswerState);
    any.fill(record.get(), Fill::Exam, 7);
    QVERIFY(any.showActive());
    for (const char *hidden : {"pushButton_showanswer", "pushButton_mark", "pushButton_note", "pushButton_error",
                               "label_rigthanswer", "textEdit_prompt"})
        QVERIFY2(!shown(any.cell, hidden), hidden);
    QCOMPARE(label(any.cell, "label_id")->text(), QStringLiteral("7"));
    QCOMPARE(any.cell->answerState(), 0);
    QCOMPARE(any.cell->workMode(), int(QuestionCellBase::ExamMode));

    any.act(actions);
    QTEST(signalCalls(spy), "signals");
    QTEST(any.cell->answerState(), "state");
    const QString given = any.given();

    any.cell->showAnswer();
    QVERIFY(shown(any.cell, "label_rigthanswer"));
    QFETCH(QString, late);
    any.act(late);
    QTEST(signalCalls(spy), "signals");
    QTEST(any.cell->answerState(), "state");
    QCOMPARE(any.given(), given);
    QCOMPARE(CellFixture::userData(), before);
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog")), logRows);
}

void TestPlainCells::examRestore_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("shownFirst");   // the exam shows its answers
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("change");   // what the user tries next
    QTest::newRow("true/false right") << 108 << "A" << false << 1 << "B";
    QTest::newRow("true/false wrong") << 108 << "B" << false << 2 << "A";
    QTest::newRow("paper question, answers shown") << 0 << "B" << true << 2 << "A";
    QTest::newRow("fill-in") << 107 << "O'Brien 50%_x" << false << 2 << "x";
    QTest::newRow("case, a tag, answers shown") << 110 << "<b>x</b>" << true << 2 << "x";
    QTest::newRow("case, nothing") << 109 << "" << false << 0 << "x";
}

// The exam window keeps its answers in the records and fills a new cell
// when the user comes back to a question; once it shows the answers it asks
// the cell before the fill, and the answer is closed.
void TestPlainCells::examRestore()
{
    QFETCH(int, group);
    QFETCH(QString, saved);
    QFETCH(bool, shownFirst);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto record = groupOrPaper(group);
    QVERIFY(record);
    record->questions.first()->userAnswer = saved;
    AnyCell any(typeOf(group));
    QSignalSpy spy(any.cell, &PlainCellBase::sendAnswerState);
    if (shownFirst)
        any.cell->showAnswer();
    any.fill(record.get(), Fill::Exam, 2);
    QVERIFY(any.showActive());
    QCOMPARE(any.given(), saved);
    QTEST(any.cell->answerState(), "state");
    QCOMPARE(shown(any.cell, "label_rigthanswer"), shownFirst);
    QFETCH(QString, change);
    any.act(change);
    QCOMPARE(any.given() == saved, shownFirst);
    QCOMPARE(spy.count() == 0, shownFirst);
}

void TestPlainCells::favourite_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("stored");
    QTest::newRow("true/false, set") << 108 << false << "未收藏" << "已收藏" << "1";
    QTest::newRow("case, a favourite, cleared") << 110 << false << "已收藏" << "未收藏" << "0";
    QTest::newRow("fill-in, write refused") << 107 << true << "未收藏" << "未收藏" << "0";
}

void TestPlainCells::favourite()
{
    QFETCH(int, group);
    QFETCH(bool, refused);
    PracticeCell practice(group, refused);
    QVERIFY2(practice.record, qPrintable(practice.bank.error()));
    QVERIFY(practice.any.showActive());
    QPushButton *mark = button(practice.any.cell, "pushButton_mark");
    QTEST(mark->text(), "before");
    LogCapture log;
    QTest::mouseClick(mark, Qt::LeftButton);
    QTEST(mark->text(), "after");
    QCOMPARE(mark->isChecked(), mark->text() == QStringLiteral("已收藏"));
    QCOMPARE(mark->styleSheet(), PlainCellBase::buttonStyle(mark->isChecked(), cellSkin()));
    QTEST(sqlRow(QStringLiteral("select userFav from tQue where queId = ?"), {practice.queId}).value(0), "stored");
    QCOMPARE(log.contains(QStringLiteral("[Error:]")), refused);
}

void TestPlainCells::note_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("fill-in, saved") << 107 << false << "已有笔记" << "it's \"注意\"";
    QTest::newRow("true/false, save refused") << 108 << true << "添加笔记" << "NULL";
}

void TestPlainCells::note()
{
    QFETCH(int, group);
    QFETCH(bool, refused);
    PracticeCell practice(group, refused);
    QVERIFY2(practice.record, qPrintable(practice.bank.error()));
    QPushButton *noteButton = button(practice.any.cell, "pushButton_note");
    QCOMPARE(noteButton->text(), QStringLiteral("添加笔记"));
    noteButton->click();
    QCOMPARE(noteEditors().size(), 1);
    LogCapture log;
    saveInEditor(noteEditors().first(), QStringLiteral("it's \"注意\""));
    QTEST(noteButton->text(), "shown");
    QTEST(sqlRow(QStringLiteral("select userNote from tQue where queId = ?"), {practice.queId}).value(0), "stored");
    QCOMPARE(log.contains(QStringLiteral("[Error:]")), refused);
}

void TestPlainCells::errorButtonHidden_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("fill");
    for (int group : {107, 108, 109}) {
        for (Fill fill : {Fill::Practice, Fill::Browse, Fill::Exam})
            QTest::addRow("group %d, fill %d", group, int(fill)) << group << int(fill);
    }
}

void TestPlainCells::errorButtonHidden()
{
    QFETCH(int, group);
    QFETCH(int, fill);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto record = CellFixture::group(group);
    AnyCell any(typeOf(group));
    any.fill(record.get(), Fill(fill));
    QVERIFY(any.showActive());
    any.cell->showAnswer();
    QVERIFY(!shown(any.cell, "pushButton_error"));
}

void TestPlainCells::groupWithoutQuestions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("fill");
    QTest::addColumn<bool>("nullGroup");
    for (int type : {10, 11, 12}) {
        for (Fill fill : {Fill::Practice, Fill::Browse, Fill::Exam})
            QTest::addRow("type %d, fill %d", type, int(fill)) << type << int(fill) << false;
        QTest::addRow("type %d, no group", type) << type << 0 << true;
    }
}

// Nothing to answer and nothing to write: every input and button is gone.
void TestPlainCells::groupWithoutQuestions()
{
    QFETCH(int, type);
    QFETCH(int, fill);
    QFETCH(bool, nullGroup);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    MainQuestion empty;
    empty.queTypeId = type;
    AnyCell any(type);
    QSignalSpy spy(any.cell, &PlainCellBase::sendAnswerState);
    any.fill(nullGroup ? nullptr : &empty, Fill(fill), 3);
    QVERIFY(any.showActive());
    any.cell->showAnswer();
    QCOMPARE(label(any.cell, "label_id")->text(), QStringLiteral("3"));
    for (const char *name : {"pushButton_showanswer", "pushButton_mark", "pushButton_note", "pushButton_error",
                             "label_rigthanswer", "textEdit_prompt", "radioButton", "radioButton_2", "textEdit_answer"}) {
        if (QWidget *widget = child(any.cell, name))
            QVERIFY2(!widget->isVisibleTo(any.cell), name);
    }
    QCOMPARE(any.cell->answerState(), 0);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(CellFixture::userData(), before);
}

void TestPlainCells::unfilledForm_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("true/false") << 11;
    QTest::newRow("fill-in") << 10;
    QTest::newRow("case analysis") << 12;
}

void TestPlainCells::unfilledForm()
{
    QFETCH(int, type);
    AnyCell any(type);
    QCOMPARE(label(any.cell, "label_id")->text(), QStringLiteral("111"));
    QCOMPARE(button(any.cell, "pushButton_showanswer")->text(), QStringLiteral("显示答案"));
    QCOMPARE(button(any.cell, "pushButton_mark")->text(), QStringLiteral("收藏本题"));
    QCOMPARE(button(any.cell, "pushButton_note")->text(), QStringLiteral("添加笔记"));
    QVERIFY(!shown(any.cell, "pushButton_error"));
    QVERIFY(!shown(any.cell, "label_rigthanswer"));
    QVERIFY(!shown(any.cell, "textEdit_prompt"));
    if (type == 11) {
        QCOMPARE(any.cell->findChild<QRadioButton *>(QStringLiteral("radioButton"))->text(), QStringLiteral("A.正确"));
        QCOMPARE(any.cell->findChild<QRadioButton *>(QStringLiteral("radioButton_2"))->text(), QStringLiteral("B.错误"));
    }
    if (type == 10)
        QCOMPARE(label(any.cell, "label")->text(), QStringLiteral("请填写答案："));
}

void TestPlainCells::descriptionLine_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("sql");
    QTest::addColumn<QString>("line");
    const QString stem = QStringLiteral("update tCateList set publicQueText = '题干' where cateListId = %1");
    QTest::newRow("fill-in, description only") << 107 << QStringList() << "请在横线处填写正确答案。";
    QTest::newRow("fill-in, description and stem") << 107 << QStringList{stem.arg(107)} << "请在横线处填写正确答案。<br>题干";
    QTest::newRow("case, no type record")
        << 109 << QStringList{stem.arg(109), QStringLiteral("delete from tQueType where queTypeId = 12")} << "题干";
    QTest::newRow("case, empty description")
        << 109 << QStringList{QStringLiteral("update tQueType set memo = '' where queTypeId = 12")} << "";
    QTest::newRow("true/false, the stem alone") << 108 << QStringList{stem.arg(108)} << "题干";
}

void TestPlainCells::descriptionLine()
{
    QFETCH(int, group);
    QFETCH(QStringList, sql);
    CellFixture bank(sql);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto record = CellFixture::group(group);
    AnyCell any(typeOf(group));
    any.fill(record.get(), Fill::Practice);
    QTEST(label(any.cell, "textEdit_questiontypename")->text(), "line");
}

// The filled look of these cells keeps the skin colour under the pointer;
// the outlined look is the one every cell shares.
void TestPlainCells::buttonStyles()
{
    const QString skin = QStringLiteral("255,127,167,255");
    const QString filled = QStringLiteral(
        "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
        "\"微软雅黑\";color: rgb(255, 255, 255);background-color: rgb(255,127,167,255);border:1px solid  "
        "rgb(255,127,167,255);}QPushButton:hover{border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);}");
    const QString outlined = QuestionCellBase::buttonStyle(false, skin, QuestionCellBase::FilledHover::WhiteGround);
    CellFixture bank({QStringLiteral("update tQue set userNote = '笔记' where queId = 1013")});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto record = CellFixture::group(110);   // 1013: a favourite, now with a note
    SIMPLE_CASE_EXPLAINECellForm cell;
    cell.setStyle(skin);
    QCOMPARE(button(&cell, "pushButton_showanswer")->styleSheet(), outlined);
    QCOMPARE(button(&cell, "pushButton_error")->styleSheet(), outlined);
    cell.setData(1, record.get(), 0);
    QCOMPARE(button(&cell, "pushButton_mark")->text(), QStringLiteral("已收藏"));
    QCOMPARE(button(&cell, "pushButton_mark")->styleSheet(), filled);
    QCOMPARE(button(&cell, "pushButton_note")->text(), QStringLiteral("已有笔记"));
    QCOMPARE(button(&cell, "pushButton_note")->styleSheet(), filled);
    QCOMPARE(PlainCellBase::buttonStyle(true, skin), filled);
    QCOMPARE(label(&cell, "label_id")->styleSheet(), QStringLiteral("font: 75 28pt \"微软雅黑\";color: rgb(255,127,167,255);"));
}

QTEST_MAIN(TestPlainCells)
#include "tst_plaincells.moc"
