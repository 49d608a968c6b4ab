// The shared-option group and its sub-questions on the fixture bank (group
// 106: questions 1008, answer A, saved A, and 1009, answer B, unanswered),
// chosen through the combo boxes' pop-ups as a user does.
#include "B1CellForm.h"
#include "B1CellOptionForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "NoteEditors.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QString skin = QStringLiteral("80,153,2,255");
const QString placeholder = QStringLiteral("请选择答案");
const char refuseUpdates[] = "create trigger refuse before update on tQue begin select raise(abort, 'refused'); end";

QLabel *label(QWidget *widget, const char *name)
{
    return widget->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *button(QWidget *widget, const char *name)
{
    return widget->findChild<QPushButton *>(QLatin1String(name));
}

QComboBox *box(QWidget *sub)
{
    return sub->findChild<QComboBox *>(QStringLiteral("comboBox_answer"));
}

QTableWidget *table(B1CellForm *cell)
{
    return cell->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
}

// The sub-questions in layout order.
QList<B1CellOptionForm *> subQuestions(B1CellForm *cell)
{
    QList<B1CellOptionForm *> subs;
    QLayout *layout = cell->findChild<QLayout *>(QStringLiteral("verticalLayout_questiontile"));
    for (int i = 0; i < layout->count(); ++i)
        subs << qobject_cast<B1CellOptionForm *>(layout->itemAt(i)->widget());
    return subs;
}

QStringList tableTexts(B1CellForm *cell)
{
    QStringList texts;
    for (int row = 0; row < table(cell)->rowCount(); ++row)
        texts << qobject_cast<QLabel *>(table(cell)->cellWidget(row, 0))->text();
    return texts;
}

bool panelOpen(QWidget *sub)
{
    return !sub->findChild<QWidget *>(QStringLiteral("widget_answer"))->isHidden();
}

// Opens the pop-up with a click on the box, walks to the item with the arrow
// keys and takes it with Return; false when the pop-up does not open or
// stays open.
bool choose(QWidget *sub, const QString &text)
{
    QComboBox *combo = box(sub);
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView *view = combo->view();
    if (!view->isVisible())
        return false;
    const int target = combo->findText(text);
    for (int item = view->currentIndex().row(); item != target; item += item < target ? 1 : -1)
        QTest::keyClick(view, item < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    return QTest::qWaitFor([view] { return !view->isVisible(); });
}

int logRows(int queId)
{
    return sqlCount(QStringLiteral("select count(*) from tQueLog where queId = ? and type = '001'"), {queId});
}

// Group 106 on a bank with the given changes, as the practice page makes
// it: styled, keyword set, filled; shown where a test drives it.
struct Page {
    CellFixture bank;
    QWidget window;
    B1CellForm *cell;
    // Loaded by fill unless a test set it up first.
    std::unique_ptr<MainQuestion> group;

    explicit Page(const QStringList &sql = {}) : bank(sql), cell(new B1CellForm)
    {
        (new QVBoxLayout(&window))->addWidget(cell);
        cell->setStyle(skin);
    }
    // False when the bank did not open.
    bool fill(int fillMode, int sourceKind = -1, const QString &keyword = QString())
    {
        if (!bank.isOpen())
            return false;
        if (!group)
            group = CellFixture::group(106);
        cell->setKeyword(keyword);
        cell->setData(sourceKind, QStringLiteral("5"), 5, group.get(), fillMode);
        return true;
    }
    bool show(int width = 700)
    {
        window.resize(width, 900);
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    bool open(int fillMode, int sourceKind = -1, const QString &keyword = QString())
    {
        return fill(fillMode, sourceKind, keyword) && show();
    }
};

} // namespace

class TestB1CellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void practiceFill();
    void reopenRestoresWithoutWriting_data();
    void reopenRestoresWithoutWriting();
    void restore_data();
    void restore();
    void choosing_data();
    void choosing();
    void takenBackAnswerIsGone();
    void buttons_data();
    void buttons();
    void texts_data();
    void texts();
    void keywordPainting_data();
    void keywordPainting();
    void examAnswersAreNotRecorded();
    void examTakesNoChoiceOnceShown();
    void showAnswerButtonInBrowseMode();
    void styles();
    void favourite();
    void favouriteWriteFails();
    void noteRoundTrip();
    void optionRowsFitTheirTexts_data();
    void optionRowsFitTheirTexts();
    void groupWithoutQuestions();
    void firstQuestionWithoutOptions();
};

void TestB1CellForm::practiceFill()
{
    Page page;
    QVERIFY2(page.fill(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QCOMPARE(label(cell, "label_id")->text(), QStringLiteral("5"));
    QCOMPARE(label(cell, "label_typename")->text(), QStringLiteral("[B1型题]"));
    QCOMPARE(label(cell, "textEdit_questiontypename")->text(),
             QStringLiteral("A．肺炎链球菌 B．金黄色葡萄球菌 C．肺炎克雷伯杆菌 D．铜绿假单胞菌 E．军团菌"));
    QCOMPARE(tableTexts(cell), (QStringList{QStringLiteral("A. 肺炎链球菌"), QStringLiteral("B. 金黄色葡萄球菌"),
                                            QStringLiteral("C. 肺炎克雷伯杆菌"), QStringLiteral("D. 铜绿假单胞菌"),
                                            QStringLiteral("E. 军团菌")}));
    const QList<B1CellOptionForm *> subs = subQuestions(cell);
    QCOMPARE(subs.size(), 2);
    for (B1CellOptionForm *sub : subs) {
        QStringList items;
        for (int i = 0; i < box(sub)->count(); ++i)
            items << box(sub)->itemText(i);
        QCOMPARE(items, (QStringList{placeholder, "A", "B", "C", "D", "E"}));
    }
    QCOMPARE(label(subs[1], "label_rigthanswer")->text(), QStringLiteral("正确答案: B"));
    QVERIFY(!panelOpen(subs[1]));
    QCOMPARE(box(subs[1])->currentIndex(), 0);

    // 1009 unanswered: B is right, C wrong; each choice is written and relayed.
    QVERIFY(page.show());
    QSignalSpy relayed(cell, &B1CellForm::sendB1State);
    QVERIFY(choose(subs[1], QStringLiteral("B")));
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0), (QList<QVariant>{5, 1, QStringLiteral("B")}));
    QCOMPARE(cell->answerState(), 1);
    QVERIFY(panelOpen(subs[1]));
    QCOMPARE(logRows(1009), 1);
    QCOMPARE(CellFixture::userColumns(1009), QStringLiteral("1|B"));
    QVERIFY(choose(subs[1], QStringLiteral("C")));
    QCOMPARE(relayed.count(), 2);
    QCOMPARE(relayed.at(1), (QList<QVariant>{5, 2, QStringLiteral("C")}));
    QCOMPARE(cell->answerState(), 2);
    QCOMPARE(subs[1]->answerState(), 2);
    QCOMPARE(logRows(1009), 2);
    QCOMPARE(CellFixture::userColumns(1009), QStringLiteral("2|C"));
    QCOMPARE(logRows(1008), 0);
}

void TestB1CellForm::reopenRestoresWithoutWriting_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("analysisShown");
    QTest::newRow("no analysis") << "" << false;
    QTest::newRow("with analysis") << "大叶性肺炎多由肺炎链球菌引起。" << true;
}

// The saved A of 1008 comes back: one report, its panel open, nothing written.
void TestB1CellForm::reopenRestoresWithoutWriting()
{
    QFETCH(QString, prompt);
    QFETCH(bool, analysisShown);
    Page page({QStringLiteral("update tQue set prompt = '%1' where queId = 1008").arg(prompt)});
    const QString before = CellFixture::userData();
    QSignalSpy relayed(page.cell, &B1CellForm::sendB1State);
    QVERIFY2(page.fill(0), qPrintable(page.bank.error()));
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0), (QList<QVariant>{5, 1, QStringLiteral("A")}));
    QCOMPARE(page.cell->answerState(), 1);
    B1CellOptionForm *restored = subQuestions(page.cell).first();
    QCOMPARE(box(restored)->currentText(), QStringLiteral("A"));
    QVERIFY(panelOpen(restored));
    QVERIFY(!label(restored, "label_rigthanswer")->isHidden());
    QCOMPARE(!label(restored, "textEdit_prompt")->isHidden(), analysisShown);
    QCOMPARE(label(restored, "textEdit_prompt")->text(), QStringLiteral("解析:") + prompt);
    QCOMPARE(CellFixture::userData(), before);
}

void TestB1CellForm::restore_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("fillMode");
    QTest::addColumn<int>("reports");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("panel");
    QTest::newRow("wrong letter") << "C" << 0 << 1 << 2 << 3 << true;
    QTest::newRow("right letter, exam") << "B" << 1 << 1 << 1 << 2 << false;
    QTest::newRow("right letter, browse") << "B" << 2 << 1 << 1 << 2 << false;
    QTest::newRow("lower-case letter") << "b" << 0 << 0 << 0 << 0 << false;
    QTest::newRow("no such letter") << "Z" << 0 << 0 << 0 << 0 << false;
    QTest::newRow("the placeholder text") << "请选择答案" << 0 << 0 << 0 << 0 << false;
}

void TestB1CellForm::restore()
{
    QFETCH(QString, saved);
    QFETCH(int, fillMode);
    Page page({QStringLiteral("update tQue set userAnswer = '%1', userStatus = '2' where queId = 1009").arg(saved)});
    QVERIFY2(page.bank.isOpen(), qPrintable(page.bank.error()));
    const QString before = CellFixture::userData();
    page.group = CellFixture::group(106);
    delete page.group->questions.takeFirst();   // 1009 alone
    QSignalSpy relayed(page.cell, &B1CellForm::sendB1State);
    QVERIFY(page.fill(fillMode));
    B1CellOptionForm *sub = subQuestions(page.cell).first();
    QTEST(int(relayed.count()), "reports");
    QTEST(sub->answerState(), "state");
    QTEST(box(sub)->currentIndex(), "item");
    QTEST(panelOpen(sub), "panel");
    QCOMPARE(CellFixture::userData(), before);
}

void TestB1CellForm::choosing_data()
{
    QTest::addColumn<int>("fillMode");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("states");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<int>("written");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("panel");
    const QStringList letterThenPlaceholder{QStringLiteral("C"), placeholder};
    // 1009: answer B, nothing saved.
    QTest::newRow("practice, letter then placeholder") << 0 << letterThenPlaceholder << "2 0" << "C," << 2 << "0|" << true;
    QTest::newRow("exam, letter then placeholder") << 1 << letterThenPlaceholder << "2 0" << "C," << 0 << "0|NULL" << false;
    QTest::newRow("browse, letter then placeholder") << 2 << letterThenPlaceholder << "2 0" << "C," << 0 << "0|NULL" << false;
    QTest::newRow("practice, placeholder between letters")
        << 0 << QStringList{"B", placeholder, "B"} << "1 0 1" << "B,,B" << 3 << "1|B" << true;
    QTest::newRow("browse, right then wrong") << 2 << QStringList{"B", "E"} << "1 2" << "B,E" << 0 << "0|NULL" << false;
}

// Every choice is judged and relayed with the group's number; only practice
// writes, the placeholder as an empty answer of state 0.
void TestB1CellForm::choosing()
{
    QFETCH(int, fillMode);
    QFETCH(QStringList, choices);
    Page page;
    QVERIFY2(page.open(fillMode), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    B1CellOptionForm *sub = subQuestions(cell).at(1);
    QSignalSpy own(sub, &B1CellOptionForm::sendAnswerState);
    QSignalSpy relayed(cell, &B1CellForm::sendB1State);
    for (const QString &choice : qAsConst(choices))
        QVERIFY(choose(sub, choice));

    QStringList states, answers;
    for (const QList<QVariant> &call : qAsConst(relayed)) {
        QCOMPARE(call.at(0).toInt(), 5);
        states << call.at(1).toString();
        answers << call.at(2).toString();
    }
    QCOMPARE(own.count(), relayed.count());
    QTEST(states.join(QLatin1Char(' ')), "states");
    QTEST(answers.join(QLatin1Char(',')), "answers");
    QCOMPARE(QString::number(cell->answerState()), states.last());
    QCOMPARE(QString::number(sub->answerState()), states.last());
    QTEST(logRows(1009), "written");
    QTEST(CellFixture::userColumns(1009), "user");
    QTEST(panelOpen(sub), "panel");
}

// An answer taken back with the placeholder is gone from the bank: the set
// counts as before the choice and the reopened question is unanswered.
void TestB1CellForm::takenBackAnswerIsGone()
{
    Page page;
    QVERIFY2(page.open(0), qPrintable(page.bank.error()));
    const QString answeredCount = QStringLiteral("select count(*) from tQue where userStatus != '0'");
    const QString rightCount = QStringLiteral("select count(*) from tQue where userStatus = '1'");
    const QString wrongCount = QStringLiteral("select count(*) from tQue where userStatus = '2'");
    const QList<int> before{sqlCount(answeredCount), sqlCount(rightCount), sqlCount(wrongCount)};
    B1CellOptionForm *sub = subQuestions(page.cell).at(1);
    QVERIFY(choose(sub, QStringLiteral("C")));
    QVERIFY(choose(sub, placeholder));
    QCOMPARE(QList<int>({sqlCount(answeredCount), sqlCount(rightCount), sqlCount(wrongCount)}), before);

    B1CellForm reopened;
    reopened.setStyle(skin);
    std::unique_ptr<MainQuestion> group = CellFixture::group(106);
    reopened.setData(-1, QStringLiteral("5"), 5, group.get(), 0);
    B1CellOptionForm *again = subQuestions(&reopened).at(1);
    QCOMPARE(box(again)->currentText(), placeholder);
    QCOMPARE(again->answerState(), 0);
    QVERIFY(!panelOpen(again));
}

void TestB1CellForm::buttons_data()
{
    QTest::addColumn<int>("sourceKind");
    QTest::addColumn<int>("fillMode");
    QTest::addColumn<bool>("others");
    QTest::addColumn<bool>("error");
    for (int source : {-1, 0, 2}) {
        for (int fill : {0, 1, 2}) {
            QTest::addRow("source %d, fill %d", source, fill) << source << fill << (fill != 1) << (source == 2);
        }
    }
}

// Show answer, favourite and note go in the exam; only source kind 2 offers
// the error report, which leaves the group with the stored question text.
void TestB1CellForm::buttons()
{
    QFETCH(int, sourceKind);
    QFETCH(int, fillMode);
    QFETCH(bool, others);
    QFETCH(bool, error);
    Page page({QStringLiteral("update tQue set queText = '易形成肺脓肿、' || char(13, 10) || '脓胸的病原体是' "
                                     "where queId = 1009")});
    QVERIFY2(page.open(fillMode, sourceKind), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    for (B1CellOptionForm *sub : subQuestions(cell)) {
        for (const char *name : {"pushButton_showanswer", "pushButton_mark", "pushButton_note"})
            QVERIFY2(button(sub, name)->isVisible() == others, name);
        QCOMPARE(button(sub, "pushButton_error")->isVisible(), error);
    }
    if (!error)
        return;
    QSignalSpy spy(cell, &B1CellForm::sendChangeError);
    QTest::mouseClick(button(subQuestions(cell).at(1), "pushButton_error"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), (QList<QVariant>{1, 1009, QStringLiteral("易形成肺脓肿、\r\n脓胸的病原体是")}));
}

void TestB1CellForm::texts_data()
{
    QTest::addColumn<int>("fillMode");
    QTest::addColumn<bool>("headShown");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("practice") << 0 << true << "引起大叶性肺炎最常见的病原体是" << "易形成肺脓肿、脓胸的病原体是";
    QTest::newRow("exam") << 1 << false << "(5) 引起大叶性肺炎最常见的病原体是" << "(5) 易形成肺脓肿、脓胸的病原体是";
    QTest::newRow("browse") << 2 << true << "(5) 引起大叶性肺炎最常见的病原体是" << "(5) 易形成肺脓肿、脓胸的病原体是";
}

// Sub-question texts come without line breaks; the exam hides number and stem.
void TestB1CellForm::texts()
{
    QFETCH(int, fillMode);
    QFETCH(bool, headShown);
    Page page({QStringLiteral("update tQue set queText = '易形成肺脓肿、' || char(13, 10) || '脓胸的病原体是' "
                                     "where queId = 1009")});
    QVERIFY2(page.open(fillMode), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QCOMPARE(label(cell, "label_id")->isVisible(), headShown);
    QCOMPARE(label(cell, "textEdit_questiontypename")->isVisible(), headShown);
    QCOMPARE(label(cell, "label_typename")->text(), QStringLiteral("[B1型题]"));
    QCOMPARE(label(cell, "textEdit_questiontypename")->text().isEmpty(), !headShown);
    QTEST(label(subQuestions(cell).at(0), "label_title")->text(), "first");
    QTEST(label(subQuestions(cell).at(1), "label_title")->text(), "second");
}

void TestB1CellForm::keywordPainting_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("fillMode");
    QTest::addColumn<bool>("stem");
    QTest::addColumn<bool>("first");
    QTest::addColumn<bool>("second");
    QTest::newRow("browse") << "肺炎" << 2 << true << true << false;
    QTest::newRow("browse, blanks around the keyword") << " 病原体 " << 2 << false << true << true;
    QTest::newRow("practice paints nothing") << "肺炎" << 0 << false << false << false;
    QTest::newRow("exam paints nothing") << "病原体" << 1 << false << false << false;
}

// The keyword is painted red in the stem and the sub-question texts of a
// search hit, never in the option table.
void TestB1CellForm::keywordPainting()
{
    QFETCH(QString, keyword);
    QFETCH(int, fillMode);
    Page page;
    QVERIFY2(page.fill(fillMode, -1, keyword), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    const QString painted = QStringLiteral("<font color=\"#FF0000\">%1</font>").arg(keyword.simplified());
    QTEST(label(cell, "textEdit_questiontypename")->text().contains(painted), "stem");
    QTEST(label(subQuestions(cell).at(0), "label_title")->text().contains(painted), "first");
    QTEST(label(subQuestions(cell).at(1), "label_title")->text().contains(painted), "second");
    for (const QString &row : tableTexts(cell))
        QVERIFY2(!row.contains(QLatin1String("<font")), qPrintable(row));
}

// Exam choices are reported and followed by answerState; the bank stays as it was.
void TestB1CellForm::examAnswersAreNotRecorded()
{
    Page page;
    QVERIFY2(page.bank.isOpen(), qPrintable(page.bank.error()));
    const QString before = CellFixture::userData();
    QVERIFY(page.open(1, 2));
    B1CellForm *cell = page.cell;
    const QList<B1CellOptionForm *> subs = subQuestions(cell);
    QCOMPARE(cell->answerState(), 1);   // the saved A of 1008, restored without its panel
    QVERIFY(!panelOpen(subs[0]));
    QSignalSpy relayed(cell, &B1CellForm::sendB1State);
    QVERIFY(choose(subs[1], QStringLiteral("D")));
    QCOMPARE(cell->answerState(), 2);
    QVERIFY(choose(subs[1], QStringLiteral("B")));
    QCOMPARE(cell->answerState(), 1);
    QVERIFY(choose(subs[0], QStringLiteral("C")));
    QCOMPARE(cell->answerState(), 2);
    QCOMPARE(subs[1]->answerState(), 1);
    QCOMPARE(relayed.count(), 3);
    QCOMPARE(relayed.last(), (QList<QVariant>{5, 2, QStringLiteral("C")}));
    for (B1CellOptionForm *sub : subs)
        QVERIFY(!panelOpen(sub));
    QCOMPARE(CellFixture::userData(), before);
}

// Once the exam shows its answers the boxes take no further choice.
void TestB1CellForm::examTakesNoChoiceOnceShown()
{
    Page page;
    QVERIFY2(page.open(1, 2), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    B1CellOptionForm *sub = subQuestions(cell).at(1);
    QVERIFY(choose(sub, QStringLiteral("C")));
    cell->showAllAnswers();
    for (B1CellOptionForm *each : subQuestions(cell)) {
        QVERIFY(panelOpen(each));
        QVERIFY(!box(each)->isEnabled());
    }
    QCOMPARE(label(sub, "label_rigthanswer")->text(), QStringLiteral("正确答案: B"));
    QSignalSpy relayed(cell, &B1CellForm::sendB1State);
    QVERIFY(!choose(sub, QStringLiteral("B")));
    box(sub)->setCurrentIndex(2);   // not even from code
    QCOMPARE(box(sub)->currentText(), QStringLiteral("C"));
    QCOMPARE(relayed.count(), 0);
    QCOMPARE(cell->answerState(), 2);
    QCOMPARE(sub->answerState(), 2);
}

void TestB1CellForm::showAnswerButtonInBrowseMode()
{
    Page page({QStringLiteral("update tQue set prompt = '脓胸' where queId = 1009")});
    QVERIFY2(page.open(2), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    B1CellOptionForm *sub = subQuestions(cell).at(1);
    QVERIFY(choose(sub, QStringLiteral("A")));
    QVERIFY(!panelOpen(sub));
    QTest::mouseClick(button(sub, "pushButton_showanswer"), Qt::LeftButton);
    QVERIFY(panelOpen(sub));
    QVERIFY(label(sub, "textEdit_prompt")->isVisible());
    QCOMPARE(label(sub, "textEdit_prompt")->text(), QStringLiteral("解析:脓胸"));
    QVERIFY(box(sub)->isEnabled());
    QVERIFY(choose(sub, QStringLiteral("B")));
    QCOMPARE(sub->answerState(), 1);
}

void TestB1CellForm::styles()
{
    Page page({QStringLiteral("update tQue set userFav = '1' where queId = 1008")});
    page.cell->setStyle(QStringLiteral("255,127,167,255"));
    QVERIFY2(page.fill(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QCOMPARE(label(cell, "label_id")->styleSheet(), QStringLiteral("font: 75 28pt \"微软雅黑\";color: rgb(255,127,167,255);"));
    QCOMPARE(label(cell, "label_typename")->styleSheet(),
             QStringLiteral("font: 75 14pt \"微软雅黑\";color: rgb(255,127,167,255);"));
    const QString filled = QStringLiteral(
        "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
        "\"微软雅黑\";color: rgb(255, 255, 255);background-color: rgb(255,127,167,255);border:1px solid  "
        "rgb(255,127,167,255);}QPushButton:hover{background-color:rgb(255,255,255);border:1px solid  rgb(120, 120, "
        "120);color: rgb(120, 120, 120);}");
    const QString outlined = QStringLiteral(
        "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
        "\"微软雅黑\";border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);}QPushButton:hover{color: "
        "rgb(255, 255, 255);background-color: rgb(255,127,167,255);border:1px solid  rgb(255,127,167,255); }");
    const QList<B1CellOptionForm *> subs = subQuestions(cell);
    QCOMPARE(button(subs[0], "pushButton_mark")->text(), QStringLiteral("已收藏"));
    QCOMPARE(button(subs[0], "pushButton_mark")->styleSheet(), filled);
    QCOMPARE(button(subs[1], "pushButton_mark")->text(), QStringLiteral("未收藏"));
    QCOMPARE(button(subs[1], "pushButton_mark")->styleSheet(), outlined);
    QCOMPARE(button(subs[1], "pushButton_note")->text(), QStringLiteral("添加笔记"));
    for (const char *name : {"pushButton_showanswer", "pushButton_note", "pushButton_error"})
        QCOMPARE(button(subs[0], name)->styleSheet(), outlined);
    QCOMPARE(box(subs[0])->styleSheet(),
             QStringLiteral(
                 "QComboBox {border: 1px solid gray; border-radius: 3px; padding: 1px 18px 1px 3px; font: 75 12pt "
                 "\"微软雅黑\";}QComboBox:editable {background: white;} QComboBox::drop-down { subcontrol-origin: "
                 "padding; subcontrol-position: top right; width: 15px; border-left-width: 1px;  border-left-color: "
                 "darkgray; border-left-style: solid; /* just a single line */ border-top-right-radius: 3px; /* same "
                 "radius as the QComboBox */  border-bottom-right-radius: 3px;background-color: "
                 "rgb(255,127,167,255);}QComboBox::down-arrow {  image: url(:/icon/images/icon/sewlectoff.png);}  "
                 "QComboBox QAbstractItemView { border: 1px solid darkgray;selection-background-color: lightgray;}"));
    QVERIFY(!QPixmap(QStringLiteral(":/icon/images/icon/sewlectoff.png")).isNull());
}

void TestB1CellForm::favourite()
{
    Page page;
    QVERIFY2(page.open(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QPushButton *mark = button(subQuestions(cell).at(1), "pushButton_mark");
    const QString outlined = mark->styleSheet();
    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(mark->text(), QStringLiteral("已收藏"));
    QVERIFY(mark->styleSheet() != outlined);
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1009")).value(0), QStringLiteral("1"));
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1008")).value(0), QStringLiteral("0"));
    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(mark->text(), QStringLiteral("未收藏"));
    QCOMPARE(mark->styleSheet(), outlined);
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1009")).value(0), QStringLiteral("0"));
}

// A refused write leaves text, style and flag as they were: the next click
// asks for the favourite again.
void TestB1CellForm::favouriteWriteFails()
{
    Page page;
    QVERIFY2(page.open(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QPushButton *mark = button(subQuestions(cell).at(1), "pushButton_mark");
    const QString style = mark->styleSheet();
    QCOMPARE(SqliteClass::instance()->execSql(QString::fromLatin1(refuseUpdates)), 0);
    LogCapture log;
    QTest::mouseClick(mark, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("[Error:]")));
    QCOMPARE(mark->text(), QStringLiteral("未收藏"));
    QCOMPARE(mark->styleSheet(), style);
    QVERIFY(!mark->isChecked());
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("drop trigger refuse")), 0);
    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(mark->text(), QStringLiteral("已收藏"));
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = 1009")).value(0), QStringLiteral("1"));
}

void TestB1CellForm::noteRoundTrip()
{
    Page page({QStringLiteral("update tQue set userNote = '金葡菌' where queId = 1009")});
    QVERIFY2(page.open(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QPushButton *noteButton = button(subQuestions(cell).at(1), "pushButton_note");
    QCOMPARE(noteButton->text(), QStringLiteral("已有笔记"));
    QTest::mouseClick(noteButton, Qt::LeftButton);
    QCOMPARE(noteEditors().size(), 1);
    QCOMPARE(editorText(noteEditors().first()), QStringLiteral("金葡菌"));
    saveInEditor(noteEditors().first(), QStringLiteral("易致脓胸's"));
    QCOMPARE(noteEditors().size(), 0);
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1009")).value(0), QStringLiteral("易致脓胸's"));
    QCOMPARE(sqlRow(QStringLiteral("select ifnull(userNote, 'NULL') from tQue where queId = 1008")).value(0),
             QStringLiteral("NULL"));

    QTest::mouseClick(noteButton, Qt::LeftButton);
    QCOMPARE(editorText(noteEditors().first()), QStringLiteral("易致脓胸's"));
    saveInEditor(noteEditors().first(), QString());
    QCOMPARE(noteButton->text(), QStringLiteral("添加笔记"));
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1009")).value(0), QString());
}

void TestB1CellForm::optionRowsFitTheirTexts_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("587") << 587;
    QTest::newRow("780") << 780;
    QTest::newRow("narrowed to 420") << 420;
}

// A long option wraps and a picture option keeps its picture: every row is
// as high as its text, without a gap, and the table as high as its rows.
void TestB1CellForm::optionRowsFitTheirTexts()
{
    QFETCH(int, width);
    Page page({QStringLiteral("update tQueOpt set optText = optText || '%1' where queId = 1008 and optName = 'C'")
                   .arg(QString(60, QChar(0x75c5))),
               QStringLiteral("update tQueOpt set optText = optText || '[img100.png]' where queId = 1008 and "
                              "optName = 'E'")});
    QVERIFY2(page.fill(0), qPrintable(page.bank.error()));
    QVERIFY(page.show(width == 420 ? 780 : width));
    if (width == 420)
        page.window.resize(width, 900);
    QTableWidget *options = table(page.cell);
    const auto fits = [options] {
        int rows = 0;
        for (int row = 0; row < options->rowCount(); ++row) {
            const int needed = options->cellWidget(row, 0)->heightForWidth(options->viewport()->width());
            const int least = options->verticalHeader()->defaultSectionSize();
            if (options->rowHeight(row) < needed || options->cellWidget(row, 0)->height() < needed
                || options->rowHeight(row) > qMax(least, needed + 10))
                return false;
            rows += options->rowHeight(row);
        }
        return options->viewport()->height() >= rows;
    };
    QTRY_VERIFY(fits());
    const QWidget *picture = options->cellWidget(4, 0);
    QVERIFY(picture->height() >= 100);
    QVERIFY(options->rowHeight(2) > options->rowHeight(0));
}

void TestB1CellForm::groupWithoutQuestions()
{
    Page page;
    QVERIFY2(page.bank.isOpen(), qPrintable(page.bank.error()));
    page.group = CellFixture::group(106);
    qDeleteAll(page.group->questions);
    page.group->questions.clear();
    QVERIFY(page.open(0));
    B1CellForm *cell = page.cell;
    QCOMPARE(label(cell, "label_id")->text(), QStringLiteral("5"));
    QVERIFY(label(cell, "textEdit_questiontypename")->text().startsWith(QStringLiteral("A．肺炎链球菌")));
    QVERIFY(!table(cell)->isVisible());
    QCOMPARE(subQuestions(cell).size(), 0);
    cell->showAllAnswers();
    QCOMPARE(cell->answerState(), 0);
}

// Without options the boxes offer the placeholder only; 1008's saved A
// names no letter and comes back as nothing.
void TestB1CellForm::firstQuestionWithoutOptions()
{
    Page page({QStringLiteral("delete from tQueOpt where queId = 1008")});
    QVERIFY2(page.open(0), qPrintable(page.bank.error()));
    B1CellForm *cell = page.cell;
    QVERIFY(!table(cell)->isVisible());
    QCOMPARE(table(cell)->rowCount(), 0);
    const QList<B1CellOptionForm *> subs = subQuestions(cell);
    QCOMPARE(subs.size(), 2);
    for (B1CellOptionForm *sub : subs) {
        QCOMPARE(box(sub)->count(), 1);
        QCOMPARE(box(sub)->itemText(0), placeholder);
        QCOMPARE(sub->answerState(), 0);
        QVERIFY(!panelOpen(sub));
    }
    QCOMPARE(cell->answerState(), 0);
}

QTEST_MAIN(TestB1CellForm)
#include "tst_b1cellform.moc"
