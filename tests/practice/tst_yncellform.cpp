// The true/false cell on the fixture bank, clicked as a user does.
#include "YNCellForm.h"

#include "CellFixture.h"
#include "PlainCellKit.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"

#include <QRadioButton>
#include <QtTest>

namespace {

// Group 108: question 1011, options A 正确 and B 错误, stored answer A.
constexpr int ynGroup = 108;
constexpr int ynQuestion = 1011;

QRadioButton *option(YNCellForm *cell, int row)
{
    return cell->findChild<QRadioButton *>(row == 0 ? QStringLiteral("radioButton") : QStringLiteral("radioButton_2"));
}

} // namespace

class TestYNCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void restore_data();
    void restore();
    void choosing_data();
    void choosing();
    void optionNamesComeFromTheData();
    void showAnswerButtonOnlyShows();
    void browse();
    void missingOptions_data();
    void missingOptions();
};

void TestYNCellForm::restore_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("state");
    QTest::newRow("right") << "A" << "A" << 1;
    QTest::newRow("wrong") << "B" << "B" << 2;
    QTest::newRow("nothing saved") << "" << "" << 0;
    QTest::newRow("naming neither option") << "C" << "" << 0;
}

// A saved choice comes back checked and judged; nothing is recorded or reported.
void TestYNCellForm::restore()
{
    QFETCH(QString, saved);
    CellFixture bank({QStringLiteral("update tQue set userAnswer = '%1' where queId = %2").arg(saved).arg(ynQuestion)});
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page;
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    page.fill(group.get(), Fill::Practice);
    QTEST(checkedOption(page.cell), "checked");
    QTEST(page.cell->answerState(), "state");
    QVERIFY(!shown(page.cell, "label_rigthanswer"));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(CellFixture::userData(), before);
}

void TestYNCellForm::choosing_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<bool>("atOnce");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("signals");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("answerShown");
    QTest::addColumn<bool>("promptShown");
    QTest::newRow("A twice") << "AA" << false << "" << "3|1|A;3|1|A" << "1:A 1:A" << "1|A" << false << false;
    QTest::newRow("B") << "B" << false << "" << "3|2|B" << "2:B" << "2|B" << false << false;
    QTest::newRow("B then A") << "BA" << false << "解析" << "3|2|B;3|1|A" << "2:B 1:A" << "1|A" << false << false;
    QTest::newRow("at once, with analysis") << "B" << true << "解析" << "3|2|B" << "2:B" << "2|B" << true << true;
    QTest::newRow("at once, without analysis") << "A" << true << "" << "3|1|A" << "1:A" << "1|A" << true << false;
}

void TestYNCellForm::choosing()
{
    QFETCH(QString, clicks);
    QFETCH(bool, atOnce);
    QFETCH(QString, prompt);
    CellFixture bank(freshAnswer(ynQuestion, QStringLiteral("A"))
                     << QStringLiteral("update tQue set prompt = '%1' where queId = %2").arg(prompt).arg(ynQuestion));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page(QString(), atOnce);
    page.fill(group.get(), Fill::Practice, 4);
    QVERIFY(page.showActive());
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    for (QChar letter : clicks)
        clickOption(page.cell, letter);
    QTEST(signalCalls(spy), "signals");
    QCOMPARE(checkedOption(page.cell), clicks.right(1));
    QCOMPARE(page.cell->answerState(), spy.last().at(1).toInt());
    QTEST(answerLog(ynQuestion), "logged");
    QTEST(userColumns(ynQuestion), "user");
    QTEST(shown(page.cell, "label_rigthanswer"), "answerShown");
    QTEST(shown(page.cell, "textEdit_prompt"), "promptShown");
}

// The right option is named by the data, not by its place or its text.
void TestYNCellForm::optionNamesComeFromTheData()
{
    CellFixture bank(freshAnswer(ynQuestion, QStringLiteral("F"))
                     << QStringLiteral("update tQueOpt set optName = 'T', optText = '对' where queId = 1011 and optName = 'A'")
                     << QStringLiteral("update tQueOpt set optName = 'F', optText = '错' where queId = 1011 and optName = 'B'"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page;
    page.fill(group.get(), Fill::Practice);
    QVERIFY(page.showActive());
    QCOMPARE(option(page.cell, 0)->text(), QStringLiteral("A.对"));
    QCOMPARE(option(page.cell, 1)->text(), QStringLiteral("B.错"));
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    clickOption(page.cell, QLatin1Char('B'));
    clickOption(page.cell, QLatin1Char('A'));
    QCOMPARE(signalCalls(spy), QStringLiteral("0|1|F;0|2|T"));
    QCOMPARE(userColumns(ynQuestion), QStringLiteral("2|T"));
    page.cell->showAnswer();
    QCOMPARE(label(page.cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: F"));
}

void TestYNCellForm::showAnswerButtonOnlyShows()
{
    CellFixture bank(freshAnswer(ynQuestion, QStringLiteral("A")));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page;
    page.fill(group.get(), Fill::Practice);
    QVERIFY(page.showActive());
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    QTest::mouseClick(button(page.cell, "pushButton_showanswer"), Qt::LeftButton);
    QVERIFY(shown(page.cell, "label_rigthanswer"));
    QCOMPARE(label(page.cell, "label_rigthanswer")->text(), QStringLiteral("正确答案: A"));
    QVERIFY(!shown(page.cell, "textEdit_prompt"));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(CellFixture::userData(), before);
    QCOMPARE(page.cell->answerState(), 0);
}

// A search hit is judged and reported, never recorded, and the answer stays
// closed; the keyword is red in the question text only.
void TestYNCellForm::browse()
{
    CellFixture bank(freshAnswer(ynQuestion, QStringLiteral("A"))
                     << QStringLiteral("update tCateList set publicQueText = '哮喘患者' where cateListId = 108"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString before = CellFixture::userData();
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page(QStringLiteral("哮喘"), true);
    page.fill(group.get(), Fill::Browse, 2);
    QVERIFY(page.showActive());
    const QString red = QStringLiteral("<font color=\"#FF0000\">哮喘</font>");
    QCOMPARE(label(page.cell, "textEdit_title")->text(), QStringLiteral("支气管%1的典型体征是呼气相哮鸣音。").arg(red));
    QCOMPARE(label(page.cell, "textEdit_questiontypename")->text(), QStringLiteral("哮喘患者"));
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    clickOption(page.cell, QLatin1Char('B'));
    QCOMPARE(signalCalls(spy), QStringLiteral("1|2|B"));
    QCOMPARE(page.cell->answerState(), 2);
    QVERIFY(!shown(page.cell, "label_rigthanswer"));
    QCOMPARE(CellFixture::userData(), before);
}

void TestYNCellForm::missingOptions_data()
{
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("aShown");
    QTest::newRow("one option") << "optName = 'B'" << true;
    QTest::newRow("no options") << "1" << false;
}

// Broken data: the missing option's button goes, and a saved answer naming
// it checks nothing.
void TestYNCellForm::missingOptions()
{
    QFETCH(QString, removed);
    CellFixture bank(freshAnswer(ynQuestion, QStringLiteral("A"))
                     << QStringLiteral("delete from tQueOpt where queId = 1011 and %1").arg(removed)
                     << QStringLiteral("update tQue set userAnswer = 'B' where queId = 1011"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    auto group = CellFixture::group(ynGroup);
    CellPage<YNCellForm> page;
    page.fill(group.get(), Fill::Practice);
    QVERIFY(page.showActive());
    QTEST(shown(page.cell, "radioButton"), "aShown");
    QVERIFY(!shown(page.cell, "radioButton_2"));
    QCOMPARE(checkedOption(page.cell), QString());
    QCOMPARE(page.cell->answerState(), 0);
    if (!shown(page.cell, "radioButton"))
        return;
    QSignalSpy spy(page.cell, &YNCellForm::sendAnswerState);
    clickOption(page.cell, QLatin1Char('A'));
    QCOMPARE(signalCalls(spy), QStringLiteral("0|1|A"));
}

QTEST_MAIN(TestYNCellForm)
#include "tst_yncellform.moc"
