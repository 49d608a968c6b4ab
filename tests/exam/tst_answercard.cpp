// The answer card: numbered buttons and the sections that hold them, driven
// by clicks on the real buttons.
#include "LabelForm.h"
#include "NewTalkExamCell.h"

#include "Resources.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

const QString arrowDown = QStringLiteral(":/machine/images/machine/arrow_down.png");
const QString arrowUp = QStringLiteral(":/machine/images/machine/arrow_up.png");

QList<LabelForm *> numberButtons(NewTalkExamCell &section)
{
    return section.findChildren<LabelForm *>();
}

QPushButton *pushButtonOf(LabelForm *label)
{
    return label->findChild<QPushButton *>(QStringLiteral("pushButton"));
}

// Adds buttons with ids 0.. and the given number texts.
void fill(NewTalkExamCell &section, const QStringList &numbers)
{
    for (int id = 0; id < numbers.size(); ++id) {
        section.setPendingNumber(numbers.at(id));
        section.addNumber(id);
    }
}

QStringList wholeNumbers(int count)
{
    QStringList numbers;
    for (int i = 1; i <= count; ++i)
        numbers.append(QString::number(i));
    return numbers;
}

bool iconShows(const QIcon &icon, const QString &path)
{
    const QImage expected = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return icon.pixmap(expected.size()).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) == expected;
}

QList<int> states(NewTalkExamCell &section)
{
    QList<int> result;
    // findChildren follows creation order, which is button order here.
    for (LabelForm *label : numberButtons(section))
        result.append(label->state());
    return result;
}

} // namespace

class TestAnswerCard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void numberText_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("sub-number 01") << "12.01" << "12.1";
        QTest::newRow("sub-number 09") << "12.09" << "12.9";
        QTest::newRow("sub-number 10") << "12.10" << "12.10";
        QTest::newRow("sub-number 11") << "12.11" << "12.11";
        QTest::newRow("whole number") << "12" << "12";
        QTest::newRow("after a whole number") << "26.03" << "26.3";
    }
    void numberText()
    {
        QFETCH(QString, given);
        QFETCH(QString, shown);
        NewTalkExamCell section;
        section.setSectionIndex(2);
        section.setPendingNumber(given);
        section.addNumber(7);
        LabelForm *label = numberButtons(section).value(0);
        QVERIFY(label);
        QCOMPARE(pushButtonOf(label)->text(), shown);
        QCOMPARE(label->text(), shown);

        QSignalSpy clicked(label, SIGNAL(sendClecked(int,QString)));
        QSignalSpy asked(&section, SIGNAL(sendNewTalkExam(int,int,QString)));
        section.show();
        QTest::mouseClick(pushButtonOf(label), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0), (QVariantList{7, shown}));
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0), (QVariantList{2, 7, shown}));
        QCOMPARE(section.unansweredNumbers(), QStringList{shown});
    }

    void stateSheetAndColour_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QColor>("painted");
        QTest::newRow("not answered") << 0 << "224,224,224,255" << QColor(224, 224, 224);
        QTest::newRow("current") << 1 << "255,96,0,255" << QColor(255, 96, 0);
        QTest::newRow("answered") << 2 << "41,157,216,255" << QColor(41, 157, 216);
        QTest::newRow("unknown") << 7 << "" << QColor();
    }
    void stateSheetAndColour()
    {
        QFETCH(int, state);
        QFETCH(QString, color);
        QFETCH(QColor, painted);
        LabelForm label;
        label.setNumberText(QStringLiteral("1"));
        label.setState(state);
        QCOMPARE(label.state(), state);
        QCOMPARE(pushButtonOf(&label)->styleSheet(),
                 QStringLiteral("border:1px solid rgb(131,131,131,255);font: 75 11pt \"微软雅黑\";"
                                "background-color:rgb(%1);").arg(color));
        if (!painted.isValid())
            return;
        // The colour must reach the screen, inside the 1-pixel border and
        // away from the text.
        const QImage shot = label.grab().toImage();
        QCOMPARE(shot.pixelColor(3, 3), painted);
    }

    void gridPlacesFiveToARow_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<int>("lastColumn");
        QTest::newRow("one") << 1 << 0 << 0;
        QTest::newRow("five") << 5 << 0 << 4;
        QTest::newRow("six starts row two") << 6 << 1 << 0;
        QTest::newRow("eleven starts row three") << 11 << 2 << 0;
    }
    void gridPlacesFiveToARow()
    {
        QFETCH(int, count);
        QFETCH(int, lastRow);
        QFETCH(int, lastColumn);
        NewTalkExamCell section;
        fill(section, wholeNumbers(count));
        QCOMPARE(section.questionCount(), count);
        auto *grid = section.findChild<QGridLayout *>(QStringLiteral("gridLayout"));
        QVERIFY(grid);
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(numberButtons(section).last()), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, lastRow);
        QCOMPARE(column, lastColumn);
        QCOMPARE(rowSpan, 1);
        QCOMPARE(columnSpan, 1);
    }

    void clickNumberSendsEachButtonsIdAndText()
    {
        NewTalkExamCell section;
        section.setSectionIndex(1);
        const QStringList numbers{"25", "26.01", "26.02", "26.10", "27.01", "27.02"};
        fill(section, numbers);
        QSignalSpy asked(&section, SIGNAL(sendNewTalkExam(int,int,QString)));
        const QStringList shown{"25", "26.1", "26.2", "26.10", "27.1", "27.2"};
        for (int k = 0; k < numbers.size(); ++k) {
            section.clickNumber(k);
            QCOMPARE(asked.count(), k + 1);
            QCOMPARE(asked.last(), (QVariantList{1, k, shown.at(k)}));
        }
        // A click never changes a button's state: only the exam window does.
        QCOMPARE(states(section), (QList<int>{0, 0, 0, 0, 0, 0}));
    }

    void unansweredListsOnlyStateZero()
    {
        NewTalkExamCell section;
        fill(section, {"1", "2", "3", "26.01", "26.02", "26.03"});
        const QList<int> given{0, 1, 2, 0, 2, 1};
        for (int k = 0; k < given.size(); ++k)
            section.setNumberState(k, given.at(k));
        QCOMPARE(states(section), given);
        QCOMPARE(section.unansweredNumbers(), (QStringList{"1", "26.1"}));
        section.setNumberState(0, 2);
        section.setNumberState(3, 1);
        QCOMPARE(section.unansweredNumbers(), QStringList());
    }

    void firstAndLastNumberTexts()
    {
        NewTalkExamCell section;
        QCOMPARE(section.firstNumberText(), QString());
        QCOMPARE(section.lastNumberText(), QString());
        fill(section, {"60", "61.01", "61.02"});
        QCOMPARE(section.firstNumberText(), QStringLiteral("60"));
        QCOMPARE(section.lastNumberText(), QStringLiteral("61.2"));
    }

    void freshSectionLooksAsDesigned()
    {
        NewTalkExamCell section;
        QCOMPARE(section.findChild<QLabel *>(QStringLiteral("label_title"))->text(), QStringLiteral("TextLabel"));
        section.setTitle(QStringLiteral("单项选择题(A1型题)"));
        QCOMPARE(section.findChild<QLabel *>(QStringLiteral("label_title"))->text(),
                 QStringLiteral("单项选择题(A1型题)"));
        auto *fold = section.findChild<QToolButton *>(QStringLiteral("toolButton"));
        QVERIFY(fold->isCheckable());
        QVERIFY(!fold->isChecked());
        QVERIFY(iconShows(fold->icon(), arrowDown));
        QCOMPARE(section.questionCount(), 0);
    }

    void collapseAndExpandKeepButtonsAndStates()
    {
        NewTalkExamCell section;
        fill(section, wholeNumbers(7));
        for (int k = 0; k < 7; ++k)
            section.setNumberState(k, k % 3);
        section.show();
        QVERIFY(QTest::qWaitForWindowExposed(&section));
        auto *fold = section.findChild<QToolButton *>(QStringLiteral("toolButton"));
        auto *numberArea = section.findChild<QWidget *>(QStringLiteral("widget_2"));
        auto *header = section.findChild<QWidget *>(QStringLiteral("widget"));
        const QList<int> before = states(section);

        QTest::mouseClick(fold, Qt::LeftButton);
        QVERIFY(fold->isChecked());
        QVERIFY(!numberArea->isVisible());
        QVERIFY(header->isVisible());
        QVERIFY(iconShows(fold->icon(), arrowUp));
        QCOMPARE(section.questionCount(), 7);

        QTest::mouseClick(fold, Qt::LeftButton);
        QVERIFY(!fold->isChecked());
        QVERIFY(numberArea->isVisible());
        QVERIFY(iconShows(fold->icon(), arrowDown));
        QCOMPARE(section.questionCount(), 7);
        QCOMPARE(states(section), before);
        for (LabelForm *label : numberButtons(section))
            QVERIFY(label->isVisible());
    }

    void indexesOutsideTheButtonsAreIgnored_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("k");
        QTest::newRow("empty section") << 0 << 0;
        QTest::newRow("before the first") << 3 << -1;
        QTest::newRow("after the last") << 3 << 3;
    }
    void indexesOutsideTheButtonsAreIgnored()
    {
        QFETCH(int, count);
        QFETCH(int, k);
        NewTalkExamCell section;
        fill(section, wholeNumbers(count));
        QSignalSpy asked(&section, SIGNAL(sendNewTalkExam(int,int,QString)));
        section.clickNumber(k);
        section.setNumberState(k, 2);
        QCOMPARE(asked.count(), 0);
        QCOMPARE(states(section), QVector<int>(count, 0).toList());
        QCOMPARE(section.unansweredNumbers(), wholeNumbers(count));
    }
};

QTEST_MAIN(TestAnswerCard)
#include "tst_answercard.moc"
