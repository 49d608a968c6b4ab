// The fill-in cell on the fixture bank, typed into as a user does.
#include "BLANKCellForm.h"

#include "CellFixture.h"
#include "PlainCellKit.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqliteClass.h"

#include <QtTest>

namespace {

// Group 107: question 1010, stored answer "肺泡", saved "O'Brien 50%_x" (state 2).
constexpr int blankGroup = 107;
constexpr int blankQuestion = 1010;

} // namespace

class TestBLANKCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void answerLine_data();
    void answerLine();
    void pressingShowAnswer_data();
    void pressingShowAnswer();
    void savedTextComesBackExactly_data();
    void savedTextComesBackExactly();
    void fillShowsTheQuestion();
};

void TestBLANKCellForm::answerLine_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two parts") << "甲||乙" << "甲,乙";
    QTest::newRow("ideographic space") << "甲\u3000乙" << "甲,乙";
    QTest::newRow("empty last part") << "甲||" << "甲,";
    QTest::newRow("one part") << "甲乙" << "甲乙";
    QTest::newRow("bars before spaces") << "甲||乙\u3000丙" << "甲,乙\u3000丙";
    QTest::newRow("empty") << "" << "";
}

void TestBLANKCellForm::answerLine()
{
    QFETCH(QString, stored);
    CellFixture bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(blankGroup);
    group->questions.first()->answer = stored;
    CellPage<BLANKCellForm> page;
    page.fill(group.get(), Fill::Practice);
    page.cell->showAnswer();
    QFETCH(QString, shown);
    QCOMPARE(label(page.cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: ") + shown);
}

void TestBLANKCellForm::pressingShowAnswer_data()
{
    QTest::addColumn<int>("cellMode");
    QTest::addColumn<QStringList>("typing");   // keys typed before each press
    QTest::addColumn<QString>("signals");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty box") << 0 << QStringList{QString()} << "4|2|" << "2:" << "2|" << "肺泡";
    QTest::newRow("twice") << 0 << QStringList{"ab", "c"} << "4|2|ab;4|2|abc" << "2:ab 2:abc" << "2|abc" << "肺泡";
    QTest::newRow("browse") << 1 << QStringList{"ab"} << "4|2|ab" << "2:ab" << "2|ab" << "肺泡";
    QTest::newRow("stored answer") << 0 << QStringList{"ab"} << "4|1|ab" << "1:ab" << "1|ab" << "ab";
    QTest::newRow("browse, stored answer") << 1 << QStringList{"ab"} << "4|1|ab" << "1:ab" << "1|ab" << "ab";
    QTest::newRow("blanks and capitals") << 0 << QStringList{" A  B "} << "4|1| A  B " << "1: A  B " << "1| A  B "
                                         << "a b";
    QTest::newRow("wrong, then right") << 0 << QStringList{"a", "b"} << "4|2|a;4|1|ab" << "2:a 1:ab" << "1|ab" << "ab";
    QTest::newRow("right, then wrong") << 0 << QStringList{"ab", "c"} << "4|1|ab;4|2|abc" << "1:ab 2:abc" << "2|abc"
                                       << "ab";
}

// Every press shows the answer and reports the text, right when it reads as
// the stored answer; practice and browse mode record it.
void TestBLANKCellForm::pressingShowAnswer()
{
    QFETCH(int, cellMode);
    QFETCH(QStringList, typing);
    QFETCH(QString, stored);
    CellFixture bank(freshAnswer(blankQuestion, stored));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(blankGroup);
    CellPage<BLANKCellForm> page;
    page.fill(group.get(), cellMode == 1 ? Fill::Browse : Fill::Practice, 5);
    QVERIFY(page.showActive());
    QCOMPARE(answerBox(page.cell)->toPlainText(), QString());
    QSignalSpy spy(page.cell, &BLANKCellForm::sendAnswerState);
    for (const QString &keys : typing) {
        const int reported = spy.count();
        typeInto(page.cell, keys);
        QCOMPARE(spy.count(), reported);   // typing alone reports nothing
        QTest::mouseClick(button(page.cell, "pushButton_showanswer"), Qt::LeftButton);
    }
    QTEST(signalCalls(spy), "signals");
    QTEST(answerLog(blankQuestion), "logged");
    QTEST(userColumns(blankQuestion), "user");
    QCOMPARE(page.cell->answerState(), spy.last().at(1).toInt());
    QVERIFY(shown(page.cell, "label_rigthanswer"));
    QCOMPARE(label(page.cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: ") + stored);
    QVERIFY(!shown(page.cell, "textEdit_prompt"));
}

void TestBLANKCellForm::savedTextComesBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quote, percent, underscore") << "O'Brien 50%_x";
    QTest::newRow("a tag") << "<b>x</b>";
    QTest::newRow("a lone angle bracket") << "a<b";
    QTest::newRow("two lines") << "第一行\n第二行";
}

// The text goes back as typed, so the next press records it unchanged.
void TestBLANKCellForm::savedTextComesBackExactly()
{
    QFETCH(QString, text);
    CellFixture bank(freshAnswer(blankQuestion, QStringLiteral("肺泡")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    {
        auto group = CellFixture::group(blankGroup);
        CellPage<BLANKCellForm> page;
        page.fill(group.get(), Fill::Practice);
        answerBox(page.cell)->setPlainText(text);
        button(page.cell, "pushButton_showanswer")->click();
    }
    auto group = CellFixture::group(blankGroup);
    CellPage<BLANKCellForm> page;
    page.fill(group.get(), Fill::Practice);
    QCOMPARE(answerBox(page.cell)->toPlainText(), text);
    QCOMPARE(page.cell->answerState(), 2);
    button(page.cell, "pushButton_showanswer")->click();
    QCOMPARE(answerLog(blankQuestion), QStringLiteral("2:%1 2:%1").arg(text));
}

// The type's description above the stem; the keyword only in the question text.
void TestBLANKCellForm::fillShowsTheQuestion()
{
    CellFixture bank({QStringLiteral("update tCateList set publicQueText = '气体交换' where cateListId = 107")});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(blankGroup);
    CellPage<BLANKCellForm> page(QStringLiteral("气体交换"));
    page.fill(group.get(), Fill::Browse, 12);
    QCOMPARE(label(page.cell, "label_id")->text(), QStringLiteral("12"));
    QCOMPARE(label(page.cell, "textEdit_questiontypename")->text(), QStringLiteral("请在横线处填写正确答案。<br>气体交换"));
    QCOMPARE(label(page.cell, "textEdit_title")->text(),
             QStringLiteral("<font color=\"#FF0000\">气体交换</font>的场所是____。"));
    QCOMPARE(answerBox(page.cell)->toPlainText(), QStringLiteral("O'Brien 50%_x"));
    QCOMPARE(page.cell->answerState(), 2);
    QVERIFY(shown(page.cell, "label"));
    QVERIFY(!shown(page.cell, "label_rigthanswer"));
}

QTEST_MAIN(TestBLANKCellForm)
#include "tst_blankcellform.moc"
