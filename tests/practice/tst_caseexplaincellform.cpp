// The case-analysis cell on the fixture bank, typed into as a user does.
#include "SIMPLE_CASE_EXPLAINECellForm.h"

#include "CellFixture.h"
#include "PlainCellKit.h"
#include "QuestionData.h"
#include "Resources.h"

#include <QtTest>

namespace {

// Group 109: question 1012 (type 12), nothing saved.
constexpr int caseGroup = 109;
constexpr int caseQuestion = 1012;

} // namespace

class TestCaseExplainCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void showAnswer_data();
    void showAnswer();
    void answerLine_data();
    void answerLine();
    void savedTextComesBack();
    void textBoxTakesTheSkin();
};

void TestCaseExplainCellForm::showAnswer_data()
{
    QTest::addColumn<int>("cellMode");
    QTest::addColumn<QStringList>("typing");   // keys typed before each press
    QTest::addColumn<QString>("signals");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("stored");   // empty: the bank's own answer
    QTest::newRow("empty box") << 0 << QStringList{QString()} << "" << "" << 0 << "";
    QTest::newRow("typed") << 0 << QStringList{"ab"} << "2|2|" << "2:ab" << 2 << "";
    QTest::newRow("pressed twice") << 0 << QStringList{"ab", "c"} << "2|2|;2|2|" << "2:ab 2:abc" << 2 << "";
    QTest::newRow("emptied again") << 0 << QStringList{"ab", "<<"} << "2|2|" << "2:ab" << 2 << "";
    QTest::newRow("browse") << 1 << QStringList{"ab"} << "" << "" << 0 << "";
    QTest::newRow("stored answer") << 0 << QStringList{"Ab"} << "2|1|" << "1:Ab" << 1 << "aB";
    QTest::newRow("stored answer, then more") << 0 << QStringList{"ab", "c"} << "2|1|;2|2|" << "1:ab 2:abc" << 2
                                              << "ab";
    QTest::newRow("browse, stored answer") << 1 << QStringList{"ab"} << "" << "" << 0 << "ab";
}

// The answer always shows; practice records a typed text, judged against
// the stored answer, and reports only its state.
void TestCaseExplainCellForm::showAnswer()
{
    QFETCH(int, cellMode);
    QFETCH(QStringList, typing);
    QFETCH(QString, stored);
    CellFixture bank(stored.isEmpty() ? QStringList() : freshAnswer(caseQuestion, stored));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(caseGroup);
    CellPage<SIMPLE_CASE_EXPLAINECellForm> page;
    page.fill(group.get(), cellMode == 1 ? Fill::Browse : Fill::Practice, 3);
    QVERIFY(page.showActive());
    QSignalSpy spy(page.cell, &SIMPLE_CASE_EXPLAINECellForm::sendAnswerState);
    for (const QString &keys : typing) {
        typeInto(page.cell, keys);
        QTest::mouseClick(button(page.cell, "pushButton_showanswer"), Qt::LeftButton);
        QVERIFY(shown(page.cell, "label_rigthanswer"));
    }
    QTEST(signalCalls(spy), "signals");
    QTEST(answerLog(caseQuestion), "logged");
    QTEST(page.cell->answerState(), "state");
    QVERIFY(!shown(page.cell, "textEdit_prompt"));
}

void TestCaseExplainCellForm::answerLine_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("picture") << 111 << "去除诱因，改善症状。[img150.png]" << "<img";
    QTest::newRow("line feed") << 109 << "第一点\n第二点" << "第一点<br>第二点";
}

void TestCaseExplainCellForm::answerLine()
{
    QFETCH(int, group);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    CellFixture bank({QStringLiteral("update tQue set answer = '%1' where cateListId = %2").arg(stored).arg(group)});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto g = CellFixture::group(group);
    CellPage<SIMPLE_CASE_EXPLAINECellForm> page;
    page.fill(g.get(), Fill::Practice);
    page.cell->showAnswer();
    const QString line = label(page.cell, "label_rigthanswer")->text();
    QVERIFY2(line.startsWith(QStringLiteral("正确答案: ")) && line.contains(shown), qPrintable(line));
}

void TestCaseExplainCellForm::savedTextComesBack()
{
    const QString saved = QStringLiteral("稳定型心绞痛\n<b>依据</b>");
    CellFixture bank({QStringLiteral("update tQue set userAnswer = '%1', userStatus = '2' where queId = 1013").arg(saved)});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(110);
    CellPage<SIMPLE_CASE_EXPLAINECellForm> page;
    QSignalSpy spy(page.cell, &SIMPLE_CASE_EXPLAINECellForm::sendAnswerState);
    page.fill(group.get(), Fill::Practice);
    QCOMPARE(answerBox(page.cell)->toPlainText(), saved);
    QCOMPARE(page.cell->answerState(), 2);
    QCOMPARE(label(page.cell, "textEdit_questiontypename")->text(),
             QStringLiteral("请阅读病例，回答下列问题。<br>男，58岁，活动后胸痛3个月。"));
    QCOMPARE(spy.count(), 0);
}

void TestCaseExplainCellForm::textBoxTakesTheSkin()
{
    SIMPLE_CASE_EXPLAINECellForm cell;
    cell.setStyle(QStringLiteral("255,127,167,255"));
    QCOMPARE(answerBox(&cell)->styleSheet(), QStringLiteral("border:1px solid rgb(255,127,167,255);"));
    QCOMPARE(label(&cell, "label_id")->styleSheet(), QStringLiteral("font: 75 28pt \"微软雅黑\";color: rgb(255,127,167,255);"));
}

QTEST_MAIN(TestCaseExplainCellForm)
#include "tst_caseexplaincellform.moc"
