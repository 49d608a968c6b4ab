// The question-list dialog on the fixture bank: loading a set into its two
// tables, the in-order rule, moving, the clock, the side list, failed and
// abandoned loads.
#include "QuestionsForm.h"

#include "CellFixture.h"
#include "DataToUiThreadClass.h"
#include "LogCapture.h"
#include "MarkForm.h"
#include "MyMessageBox.h"
#include "PlainCellKit.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionCellFactory.h"
#include "QuestionCellForm.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"

#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString skin = QStringLiteral("80,153,2,255");
const int generousWait = 120000;

// Set 111 in row order (groups by ord, then questions by ord): queId,
// text, stored state, favourite, note.
struct StoredQuestion
{
    int queId;
    const char *text;
    int state;
    bool favourite;
    bool note;
};
const StoredQuestion set111[] = {
    {1002, "患者咳铁锈色痰，最可能的病原体是", 2, false, true},
    {1004, "确诊首选的检查是", 2, false, false},
    {1003, "最可能的诊断是", 0, false, false},
    {1001, "慢性阻塞性肺疾病最主要的危险因素是", 1, true, true},
    {1005, "最可能的诊断是", 1, false, false},
    {1007, "属于β2受体激动剂的是", 1, false, false},
    {1008, "引起大叶性肺炎最常见的病原体是", 1, false, false},
    {1009, "易形成肺脓肿、脓胸的病原体是", 0, false, false},
};

template <class T>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QTableWidget *sideList(QuestionsForm &form)
{
    return child<QTableWidget>(&form, "tableWidget_button");
}

QTableWidget *questionTable(QuestionsForm &form)
{
    return child<QTableWidget>(&form, "tableWidget_questions");
}

MarkForm *sideRow(QuestionsForm &form, int row)
{
    return qobject_cast<MarkForm *>(sideList(form)->cellWidget(row, 0));
}

QWidget *cellAt(QuestionsForm &form, int row)
{
    return questionTable(form)->cellWidget(row, 0);
}

QuestionCellForm *choiceCell(QuestionsForm &form, int row)
{
    return qobject_cast<QuestionCellForm *>(cellAt(form, row));
}

QString classOf(QWidget *widget)
{
    return widget ? QString::fromLatin1(widget->metaObject()->className()) : QStringLiteral("none");
}

// "R" right, "W" wrong, "-" no mark: what the side row's answer mark draws.
QString stateMark(MarkForm *row)
{
    const QString sheet = child<QLabel>(row, "label_questionstate")->styleSheet();
    if (sheet.contains(QLatin1String("right_icon.png")))
        return QStringLiteral("R");
    if (sheet.contains(QLatin1String("wrong_icon.png")))
        return QStringLiteral("W");
    return QStringLiteral("-");
}

bool marked(MarkForm *row, const char *label, const char *image)
{
    return child<QLabel>(row, label)->styleSheet().contains(QLatin1String(image));
}

int scrolledTo(QuestionsForm &form)
{
    return questionTable(form)->verticalScrollBar()->value();
}

QList<int> selectedSideRows(QuestionsForm &form)
{
    QList<int> rows;
    for (const QModelIndex &index : sideList(form)->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

QList<int> values(const QSignalSpy &spy)
{
    QList<int> all;
    for (const QList<QVariant> &call : spy)
        all << call.at(0).toInt();
    return all;
}

// Shows the question's row as a user scrolls to it, then clicks the option.
void clickOption(QuestionsForm &form, int row, int option)
{
    questionTable(form)->verticalScrollBar()->setValue(row);
    QCoreApplication::processEvents();
    QuestionCellForm *cell = choiceCell(form, row);
    QVERIFY(cell);
    auto *options = child<QTableWidget>(cell, "tableWidget_questions");
    auto *optionRow = qobject_cast<QuestionAnswerCellForm *>(options->cellWidget(option, 0));
    QVERIFY(optionRow);
    QTest::mouseClick(child<QLabel>(optionRow, "label_text"), Qt::LeftButton);
    // The click reaches the cell once the release is done with.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

// The checked options of a choice cell: "1" or "0" a row.
QString checkedOptions(QuestionCellForm *cell)
{
    auto *options = child<QTableWidget>(cell, "tableWidget_questions");
    QString checked;
    for (int i = 0; i < options->rowCount(); ++i)
        checked += QString::number(qobject_cast<QuestionAnswerCellForm *>(options->cellWidget(i, 0))->isChecked());
    return checked;
}

MyMessageBox *shownMessageBox()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<MyMessageBox *>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

QString shownMessage()
{
    MyMessageBox *box = shownMessageBox();
    return box ? child<QLabel>(box, "label_message")->text() : QString();
}

void closeMessageBox()
{
    if (MyMessageBox *box = shownMessageBox())
        box->close();
}

// The dialog as the main window uses it, 960 × 450 on screen.
struct Dialog
{
    Dialog()
    {
        form.setSkinColor(skin);
        form.resize(960, 450);
        form.show();
    }
    ~Dialog() { closeMessageBox(); }

    void start(int cateId, const QString &name = QStringLiteral("呼吸练习"))
    {
        SqliteData set;
        set.text0 = QString::number(cateId);
        set.text1 = name;
        form.startQuestionSet(&set);
    }
    // Waits for the load to end and for what it sent to arrive.
    bool finish()
    {
        DataToUiThreadClass *worker = form.findChild<DataToUiThreadClass *>();
        if (!worker || !QTest::qWaitFor([worker] { return worker->isFinished(); }, generousWait))
            return false;
        QCoreApplication::processEvents();
        return true;
    }
    bool load(int cateId, const QString &name = QStringLiteral("呼吸练习"))
    {
        start(cateId, name);
        return finish();
    }

    QuestionsForm form;
    QSignalSpy progress{&form, &QuestionsForm::sendPressValue};
};

} // namespace

class TestQuestionsForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void form();
    void loadFillsBothTables();
    void selectionFollowsLastAnswered_data();
    void selectionFollowsLastAnswered();
    void inOrderRule_data();
    void inOrderRule();
    void answerMarksTheSideRow();
    void downAndUp();
    void freeTextQuestionsHaveTheirOwnCells();
    void inOrderForEveryCell_data();
    void inOrderForEveryCell();
    void emptySets_data();
    void emptySets();
    void failedLoadEmptiesTheTables();
    void secondStartDropsTheFirstLoad();
    void clock_data();
    void clock();
    void oneClockAfterTwoStarts();
    void toggleSideList();
    void sideRowClickScrolls();
    void closeOnlySignals();
    void escapeKeepsTheEmbeddedList();
    void deletedWhileLoading_data();
    void deletedWhileLoading();

private:
    void openBank(const QStringList &sql = {});

    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<CellFixture> bank;
};

void TestQuestionsForm::init()
{
    work = std::make_unique<TempWorkDir>();
}

void TestQuestionsForm::cleanup()
{
    bank.reset();
    work.reset();
}

// A fresh bank for each test: answers are written to it.
void TestQuestionsForm::openBank(const QStringList &sql)
{
    bank = std::make_unique<CellFixture>(sql);
    QVERIFY2(bank->isOpen(), qPrintable(bank->error()));
}

void TestQuestionsForm::form()
{
    QuestionsForm form;
    // 960 × 450, but never too short for one whole question row.
    QCOMPARE(form.width(), 960);
    QCOMPARE(form.minimumHeight(), 35 + 30 + 391);
    QCOMPARE(form.height(), form.minimumHeight());
    QCOMPARE(form.windowTitle(), QStringLiteral("Velmora之星"));
    QCOMPARE(sideList(form)->focusPolicy(), Qt::NoFocus);
    QCOMPARE(questionTable(form)->focusPolicy(), Qt::NoFocus);
    QVERIFY(sideList(form)->isHidden());
    QCOMPARE(child<QPushButton>(&form, "pushButton_showbutton")->text(), QStringLiteral(">>"));
    QCOMPARE(child<QWidget>(&form, "widget")->maximumHeight(), 35);
    QCOMPARE(QMetaType::type("SqliteData*") != QMetaType::UnknownType, true);
}

void TestQuestionsForm::loadFillsBothTables()
{
    openBank();
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(111, QStringLiteral("呼吸练习一")));

    QCOMPARE(values(dialog.progress), QList<int>({10, 10, 11, 12, 13, 14, 15, 16, 17}));
    QCOMPARE(questionTable(form)->horizontalHeaderItem(0)->text(), QStringLiteral("呼吸练习一"));
    QCOMPARE(sideList(form)->horizontalHeaderItem(0)->text(), QStringLiteral("题目列表"));
    QTest::mouseClick(child<QPushButton>(&form, "pushButton_showbutton"), Qt::LeftButton);
    QTRY_COMPARE(sideList(form)->columnWidth(0), sideList(form)->viewport()->width()); // titles end in sight
    QVERIFY(sideList(form)->viewport()->width() >= 280);
    QCOMPARE(sideList(form)->currentRow(), 7); // after the last answered, row 6
    QCOMPARE(scrolledTo(form), 7);
    const int count = int(std::size(set111));
    QCOMPARE(sideList(form)->rowCount(), count);
    QCOMPARE(questionTable(form)->rowCount(), count);
    // A question row shows whole at the dialog's size.
    QVERIFY(questionTable(form)->viewport()->height() >= 391);
    for (int r = 0; r < count; ++r) {
        const StoredQuestion &stored = set111[r];
        const QString where = QStringLiteral("row %1").arg(r);
        MarkForm *row = sideRow(form, r);
        QVERIFY2(row, qPrintable(where));
        const QString title = QStringLiteral("【%1】.%2").arg(r + 1).arg(QString::fromUtf8(stored.text));
        QCOMPARE(child<QLabel>(row, "label_title")->toolTip(), title);
        QCOMPARE(row->state(), stored.state);
        QCOMPARE(stateMark(row), QString(stored.state == 1 ? "R" : stored.state == 2 ? "W" : "-"));
        QCOMPARE(marked(row, "label_ismark", "favorite_icon.png"), stored.favourite);
        QCOMPARE(marked(row, "label_isnote", "write_icon.png"), stored.note);

        QuestionCellForm *cell = choiceCell(form, r);
        QVERIFY2(cell, qPrintable(where));
        QCOMPARE(child<QLabel>(cell, "label_id")->text(), QString::number(r + 1));
        QVERIFY2(child<QLabel>(cell, "textEdit_title")->text().contains(QString::fromUtf8(stored.text)),
                 qPrintable(where));
        QCOMPARE(questionTable(form)->rowHeight(r), 391);
        // The cell's index is its row: a forwarded click carries it.
        QSignalSpy clicked(cell, &QuestionCellForm::sendClicked);
        clickOption(form, r, 0);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), r);
        closeMessageBox();
    }
}

void TestQuestionsForm::selectionFollowsLastAnswered_data()
{
    QTest::addColumn<int>("answeredQueId"); // the only answered question, 0 for none
    QTest::addColumn<int>("selected");      // -1: none
    QTest::addColumn<int>("scrolled");

    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("first row") << 1002 << 0 << 0;
    QTest::newRow("middle row 3") << 1001 << 4 << 4;
    QTest::newRow("second to last row 6") << 1008 << 7 << 7;
    QTest::newRow("last row") << 1009 << -1 << 0;
}

void TestQuestionsForm::selectionFollowsLastAnswered()
{
    QFETCH(int, answeredQueId);
    QFETCH(int, selected);
    QFETCH(int, scrolled);
    QStringList sql{QStringLiteral("update tQue set userStatus = '0', userAnswer = NULL")};
    if (answeredQueId)
        sql << QStringLiteral("update tQue set userStatus = '1' where queId = %1").arg(answeredQueId);
    openBank(sql);
    Dialog dialog;
    QVERIFY(dialog.load(111));
    QCOMPARE(sideList(dialog.form)->currentRow(), selected);
    QCOMPARE(selectedSideRows(dialog.form), selected < 0 ? QList<int>() : QList<int>({selected}));
    QCOMPARE(scrolledTo(dialog.form), scrolled);
}

void TestQuestionsForm::inOrderRule_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("stored"); // userStatus|userAnswer afterwards
    QTest::addColumn<QString>("mark");

    QTest::newRow("first row, always") << 0 << 0 << true << "2|A" << "W";
    QTest::newRow("row 1 after an answered row 0 (check boxes)") << 1 << 0 << true << "2|AC" << "W";
    QTest::newRow("row 3 after the open row 2") << 3 << 2 << false << "1|B" << "R";
    QTest::newRow("row 4: row 3 answered before, row 2 still open") << 4 << 0 << true << "2|AB" << "W";
    QTest::newRow("row 7 after an answered row 6") << 7 << 1 << true << "1|B" << "R";
}

void TestQuestionsForm::inOrderRule()
{
    QFETCH(int, row);
    QFETCH(int, option);
    QFETCH(bool, taken);
    QFETCH(QString, stored);
    QFETCH(QString, mark);
    openBank();
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(111));
    const int queId = set111[row].queId;
    const QString before = CellFixture::userData();
    const int currentBefore = sideList(form)->currentRow();
    QuestionCellForm *cell = choiceCell(form, row);
    const QString checkedBefore = checkedOptions(cell);

    clickOption(form, row, option);
    QCOMPARE(CellFixture::userColumns(queId), stored);
    QCOMPARE(stateMark(sideRow(form, row)), mark);
    if (taken) {
        QCOMPARE(shownMessage(), QString());
        QCOMPARE(checkedOptions(cell).at(option), QLatin1Char('1'));
        QCOMPARE(cell->answerState(), mark == QLatin1String("R") ? 1 : 2);
        QCOMPARE(sideList(form)->currentRow(), row);
        QCOMPARE(sideRow(form, row)->state(), cell->answerState());
    } else {
        QCOMPARE(shownMessage(), QStringLiteral("上有未做的题,请按顺序答题."));
        QCOMPARE(checkedOptions(cell), checkedBefore);
        QCOMPARE(CellFixture::userData(), before);
        QCOMPARE(sideList(form)->currentRow(), currentBefore);
    }
}

// A question whose one checked box is unchecked is unanswered again, and
// its side row says so.
void TestQuestionsForm::answerMarksTheSideRow()
{
    openBank({QStringLiteral("update tQue set userStatus = '2', userAnswer = 'A' where queId = 1007")});
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(111));
    QCOMPARE(stateMark(sideRow(form, 5)), QStringLiteral("W"));

    clickOption(form, 5, 0); // unchecks A
    QCOMPARE(choiceCell(form, 5)->answerState(), 0);
    QCOMPARE(sideList(form)->currentRow(), 5);
    QCOMPARE(sideRow(form, 5)->state(), 0);
    QCOMPARE(stateMark(sideRow(form, 5)), QStringLiteral("-"));

    for (int option : {0, 1, 3}) // A, B, D: right
        clickOption(form, 5, option);
    QCOMPARE(sideRow(form, 5)->state(), 1);
    QCOMPARE(stateMark(sideRow(form, 5)), QStringLiteral("R"));
    clickOption(form, 5, 2); // and C: wrong
    QCOMPARE(stateMark(sideRow(form, 5)), QStringLiteral("W"));
}

void TestQuestionsForm::downAndUp()
{
    openBank();
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(111));
    QTableWidget *side = sideList(form);
    QCOMPARE(side->currentRow(), 7);

    // Row 7 is open: down asks for an answer.
    form.receiveDownQestion();
    QCOMPARE(shownMessage(), QStringLiteral("请选择答案."));
    QCOMPARE(side->currentRow(), 7);
    closeMessageBox();

    form.receiveUpQestion();
    QCOMPARE(side->currentRow(), 6);
    QCOMPARE(selectedSideRows(form), QList<int>({6}));
    QCOMPARE(scrolledTo(form), 6);
    form.receiveUpQestion();
    QCOMPARE(side->currentRow(), 5);
    form.receiveDownQestion(); // row 5 answered
    QCOMPARE(side->currentRow(), 6);
    QCOMPARE(scrolledTo(form), 6);
    QCOMPARE(shownMessage(), QString());

    for (int i = 0; i < 6; ++i)
        form.receiveUpQestion();
    QCOMPARE(side->currentRow(), 0);
    QCOMPARE(scrolledTo(form), 0);
    form.receiveUpQestion(); // nothing before row 0
    QCOMPARE(side->currentRow(), 0);
    QCOMPARE(scrolledTo(form), 0);

    // The last row answered: down stays there.
    clickOption(form, 7, 1);
    QCOMPARE(side->currentRow(), 7);
    form.receiveDownQestion();
    QCOMPARE(side->currentRow(), 7);
    QCOMPARE(selectedSideRows(form), QList<int>({7}));
    QCOMPARE(shownMessage(), QString());

    // The cells' own signals reach the same slots.
    emit choiceCell(form, 0)->sendUpQuestion();
    QCOMPARE(side->currentRow(), 6);
}

// Fill-in and case questions answer in cells of their own kind; a choice
// after one of them waits for its answer. Group 109 gets a second question.
void TestQuestionsForm::freeTextQuestionsHaveTheirOwnCells()
{
    openBank({QStringLiteral("insert into tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, userStatus) "
                             "values (1030, 109, '简述支气管哮喘的治疗原则。', '控制发作。', '', '0', 2, '0')"),
              // Answered up to the case question of row 5, which stays open.
              QStringLiteral("update tQue set userStatus = '2', userAnswer = 'x' where queId in (1011, 1012, 1030, 1013)")});
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(112, QStringLiteral("呼吸练习二")));
    const QStringList classes{"BLANKCellForm",
                              "QuestionCellForm",
                              "SIMPLE_CASE_EXPLAINECellForm",
                              "SIMPLE_CASE_EXPLAINECellForm",
                              "SIMPLE_CASE_EXPLAINECellForm",
                              "SIMPLE_CASE_EXPLAINECellForm",
                              "QuestionCellForm"};
    QCOMPARE(questionTable(form)->rowCount(), classes.size());
    for (int r = 0; r < classes.size(); ++r) {
        QCOMPARE(classOf(cellAt(form, r)), classes.at(r));
        QCOMPARE(label(cellAt(form, r), "label_id")->text(), QString::number(r + 1));
    }
    // Each question of the group in its own cell.
    QVERIFY(label(cellAt(form, 2), "textEdit_title")->text().contains(QStringLiteral("简述慢性阻塞性肺疾病的诊断要点")));
    QVERIFY(label(cellAt(form, 3), "textEdit_title")->text().contains(QStringLiteral("简述支气管哮喘的治疗原则")));
    QCOMPARE(child<QLabel>(sideRow(form, 3), "label_title")->toolTip(),
             QStringLiteral("【4】.简述支气管哮喘的治疗原则。"));
    QCOMPARE(stateMark(sideRow(form, 0)), QStringLiteral("W")); // the fill-in answered before

    // The type-9 choice after the open type-16 question is refused.
    clickOption(form, 6, 0);
    QCOMPARE(shownMessage(), QStringLiteral("上有未做的题,请按顺序答题."));
    QCOMPARE(CellFixture::userColumns(1015), QStringLiteral("0|NULL"));
    closeMessageBox();

    // The case question answered in its own cell, as a user does.
    QWidget *caseCell = cellAt(form, 5);
    questionTable(form)->verticalScrollBar()->setValue(5);
    typeInto(caseCell, QStringLiteral("rest"));
    QTest::mouseClick(button(caseCell, "pushButton_showanswer"), Qt::LeftButton);
    QCOMPARE(CellFixture::userColumns(1014), QStringLiteral("2|rest"));
    QCOMPARE(sideList(form)->currentRow(), 5);
    QCOMPARE(stateMark(sideRow(form, 5)), QStringLiteral("W"));

    clickOption(form, 6, 0);
    QCOMPARE(shownMessage(), QString());
    QCOMPARE(CellFixture::userColumns(1015), QStringLiteral("1|A"));
    QCOMPARE(stateMark(sideRow(form, 6)), QStringLiteral("R"));
}

namespace {

// Set 190: a choice, a fill-in, a case question and a choice, one group
// each; the rows before `open` answered wrong, the rest not answered.
QStringList orderedSet(int open)
{
    QStringList sql{
        QStringLiteral("insert into tCate (cateId, cateName, faId, ord, choose) values (190, '顺序', 1, 9, '1')"),
        QStringLiteral("insert into tCateList (cateListId, cateId, queTypeId, publicQueText, ord) values"
                       " (1901, 190, 1, '', 1), (1902, 190, 10, '', 2), (1903, 190, 12, '', 3), (1904, 190, 1, '', 4)"),
        QStringLiteral("insert into tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, userStatus) values"
                       " (1901, 1901, '选一', 'A', '', '0', 1, '0'), (1902, 1902, '填一', '肺泡', '', '0', 1, '0'),"
                       " (1903, 1903, '述一', '要点', '', '0', 1, '0'), (1904, 1904, '选二', 'A', '', '0', 1, '0')"),
        QStringLiteral("insert into tQueOpt (optName, optText, queId) values"
                       " ('A', '甲', 1901), ('B', '乙', 1901), ('A', '甲', 1904), ('B', '乙', 1904)"),
    };
    if (open > 0)
        sql << QStringLiteral("update tQue set userStatus = '2', userAnswer = 'B' where queId between 1901 and %1")
                   .arg(1900 + open);
    return sql;
}

// Answers the row as a user does: option B of a choice, or "abc" typed and
// "显示答案" pressed.
void answerRow(QuestionsForm &form, int row)
{
    if (choiceCell(form, row)) {
        clickOption(form, row, 1);
        return;
    }
    questionTable(form)->verticalScrollBar()->setValue(row);
    QCoreApplication::processEvents();
    QTest::mouseClick(answerBox(cellAt(form, row))->viewport(), Qt::LeftButton);
    typeInto(cellAt(form, row), QStringLiteral("abc"));
    QTest::mouseClick(button(cellAt(form, row), "pushButton_showanswer"), Qt::LeftButton);
}

} // namespace

void TestQuestionsForm::inOrderForEveryCell_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("fill-in after an open choice") << 1;
    QTest::newRow("case after an open fill-in") << 2;
    QTest::newRow("choice after an open case") << 3;
}

// Whatever its cell, a question takes no answer while the one before it has
// no state, and takes one once it has.
void TestQuestionsForm::inOrderForEveryCell()
{
    QFETCH(int, row);
    openBank(orderedSet(row - 1));
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(190));
    QCOMPARE(questionTable(form)->rowCount(), 4);
    const QString before = CellFixture::userData();

    answerRow(form, row);
    QCOMPARE(QuestionCellFactory::answerState(cellAt(form, row)), 0);
    QCOMPARE(stateMark(sideRow(form, row)), QStringLiteral("-"));
    QCOMPARE(CellFixture::userData(), before);
    QCOMPARE(shownMessage(), QStringLiteral("上有未做的题,请按顺序答题."));
    closeMessageBox();

    answerRow(form, row - 1);
    QCOMPARE(QuestionCellFactory::answerState(cellAt(form, row - 1)), 2);
    answerRow(form, row);
    QCOMPARE(shownMessage(), QString());
    QCOMPARE(QuestionCellFactory::answerState(cellAt(form, row)), 2);
    QCOMPARE(stateMark(sideRow(form, row)), QStringLiteral("W"));
    QCOMPARE(CellFixture::userColumns(1901 + row).left(2), QStringLiteral("2|"));
}

void TestQuestionsForm::emptySets_data()
{
    QTest::addColumn<int>("cateId");
    QTest::newRow("section 13, no groups") << 13;
    QTest::newRow("set whose groups have no questions") << 124;
}

void TestQuestionsForm::emptySets()
{
    QFETCH(int, cateId);
    openBank({QStringLiteral("insert into tCate (cateId, cateName, faId, ord, choose) values (124, '空组练习', 12, 2, '1')"),
              QStringLiteral("insert into tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                             "values (131, 124, 1, '', 1), (132, 124, 11, '', 2)")});
    Dialog dialog;
    QVERIFY(dialog.load(cateId));
    QCOMPARE(values(dialog.progress), QList<int>({10}));
    QCOMPARE(sideList(dialog.form)->rowCount(), 0);
    QCOMPARE(questionTable(dialog.form)->rowCount(), 0);
    QCOMPARE(sideList(dialog.form)->currentRow(), -1);
    QCOMPARE(scrolledTo(dialog.form), 0);
    // Nothing to move to.
    dialog.form.receiveDownQestion();
    dialog.form.receiveUpQestion();
    QCOMPARE(shownMessage(), QString());
}

void TestQuestionsForm::failedLoadEmptiesTheTables()
{
    openBank();
    Dialog dialog;
    QuestionsForm &form = dialog.form;
    QVERIFY(dialog.load(111));
    QCOMPARE(questionTable(form)->rowCount(), 8);

    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("alter table tQueOpt rename to tQueOptGone")), 0);
    LogCapture log;
    QVERIFY(dialog.load(112, QStringLiteral("呼吸练习二")));
    const QString error = form.findChild<DataToUiThreadClass *>()->lastErrorText();
    QVERIFY2(error.contains(QLatin1String("tQueOpt")), qPrintable(error));
    QVERIFY2(log.lines().contains(QStringLiteral("receiveQuestion:") + error), qPrintable(log.lines().join('\n')));
    QCOMPARE(questionTable(form)->rowCount(), 0);
    QCOMPARE(sideList(form)->rowCount(), 0);
    QCOMPARE(questionTable(form)->horizontalHeaderItem(0)->text(), QStringLiteral("呼吸练习二"));

    // And a later load works again.
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("alter table tQueOptGone rename to tQueOpt")), 0);
    QVERIFY(dialog.load(111));
    QCOMPARE(questionTable(form)->rowCount(), 8);
}

// Two starts in a row: only the second set arrives, once.
void TestQuestionsForm::secondStartDropsTheFirstLoad()
{
    openBank();
    Dialog dialog;
    dialog.start(112);
    QVERIFY(dialog.load(111, QStringLiteral("呼吸练习一")));
    QCOMPARE(values(dialog.progress), QList<int>({10, 10, 10, 11, 12, 13, 14, 15, 16, 17}));
    QCOMPARE(questionTable(dialog.form)->rowCount(), 8);
    QCOMPARE(questionTable(dialog.form)->horizontalHeaderItem(0)->text(), QStringLiteral("呼吸练习一"));
}

void TestQuestionsForm::clock_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1") << 1 << "00:00:01";
    QTest::newRow("59") << 59 << "00:00:59";
    QTest::newRow("60") << 60 << "00:01:00";
    QTest::newRow("3599") << 3599 << "00:59:59";
    QTest::newRow("3600") << 3600 << "01:00:00";
    QTest::newRow("36000") << 36000 << "10:00:00";
    QTest::newRow("360000") << 360000 << "100:00:00";
}

void TestQuestionsForm::clock()
{
    QFETCH(int, ticks);
    QFETCH(QString, shown);
    QuestionsForm form;
    auto *time = child<QLabel>(&form, "label_time");
    QCOMPARE(time->text(), QStringLiteral("1:00:00"));
    for (int i = 0; i < ticks; ++i)
        form.receiveTimeOut();
    QCOMPARE(time->text(), shown);
}

void TestQuestionsForm::oneClockAfterTwoStarts()
{
    openBank();
    Dialog dialog;
    QVERIFY(dialog.load(111));
    QVERIFY(dialog.load(112));
    QList<QTimer *> running;
    for (QTimer *timer : dialog.form.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (timer->isActive())
            running << timer;
    }
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.first()->interval(), 1000);
    // The counters run on across starts.
    auto *time = child<QLabel>(&dialog.form, "label_time");
    QTRY_COMPARE_WITH_TIMEOUT(time->text(), QStringLiteral("00:00:01"), 5000);
}

void TestQuestionsForm::toggleSideList()
{
    QuestionsForm form;
    form.show();
    auto *toggle = child<QPushButton>(&form, "pushButton_showbutton");
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral("<<"));
    QVERIFY(sideList(form)->isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral(">>"));
    QVERIFY(sideList(form)->isHidden());
}

void TestQuestionsForm::sideRowClickScrolls()
{
    openBank();
    Dialog dialog;
    QVERIFY(dialog.load(111));
    QTest::mouseClick(child<QPushButton>(&dialog.form, "pushButton_showbutton"), Qt::LeftButton);
    QTableWidget *side = sideList(dialog.form);
    for (int row : {2, 5, 0}) {
        // On the row's title, as a user does: the row takes no input of its own.
        QTest::mouseClick(child<QLabel>(sideRow(dialog.form, row), "label_title"), Qt::LeftButton);
        QCOMPARE(scrolledTo(dialog.form), row);
        QCOMPARE(side->currentRow(), row);
    }
}

void TestQuestionsForm::closeOnlySignals()
{
    openBank();
    Dialog dialog;
    QVERIFY(dialog.load(111));
    QSignalSpy closed(&dialog.form, &QuestionsForm::sendQuestionsFormCloseEvent);
    dialog.form.close();
    QCOMPARE(closed.size(), 1);
    QCOMPARE(questionTable(dialog.form)->rowCount(), 8);
}

void TestQuestionsForm::escapeKeepsTheEmbeddedList()
{
    openBank();
    // As the main window holds it: made without a parent, then laid out.
    QWidget pageArea;
    auto *form = new QuestionsForm;
    (new QVBoxLayout(&pageArea))->addWidget(form);
    pageArea.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pageArea));
    QTest::keyClick(form, Qt::Key_Escape);
    QVERIFY(form->isVisible());

    QuestionsForm window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestQuestionsForm::deletedWhileLoading_data()
{
    QTest::addColumn<bool>("resultQueued");
    QTest::newRow("right after the start") << false;
    QTest::newRow("result queued, not delivered") << true;
}

// The groups of the load go with the dialog (LeakSanitizer checks it).
void TestQuestionsForm::deletedWhileLoading()
{
    QFETCH(bool, resultQueued);
    openBank();
    QPointer<QuestionsForm> form = new QuestionsForm;
    SqliteData set;
    set.text0 = QStringLiteral("111");
    form->startQuestionSet(&set);
    QPointer<DataToUiThreadClass> worker = form->findChild<DataToUiThreadClass *>();
    QVERIFY(worker);
    if (resultQueued)
        QVERIFY(QTest::qWaitFor([&worker] { return worker->isFinished(); }, generousWait));
    delete form;
    QVERIFY(worker.isNull());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestQuestionsForm)
#include "tst_questionsform.moc"
