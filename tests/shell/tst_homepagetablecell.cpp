// One row of the home page's recent-study table.
#include "HomePageTableCell.h"

#include "Resources.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QLabel *label(QWidget *cell, const char *name)
{
    return cell->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *learnButton(QWidget *cell)
{
    return cell->findChild<QPushButton *>(QStringLiteral("pushButton_learn"));
}

} // namespace

class TestHomePageTableCell : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void form()
    {
        HomePageTableCell cell;
        QCOMPARE(cell.objectName(), QStringLiteral("HomePageTableCell"));
        QCOMPARE(cell.size(), QSize(676, 64));
        QCOMPARE(cell.windowTitle(), QStringLiteral("Form"));
        QPushButton *button = learnButton(&cell);
        QCOMPARE(button->text(), QStringLiteral("继续学习"));
        QCOMPARE(button->minimumSize(), QSize(90, 34));
        QCOMPARE(button->maximumSize(), QSize(90, 34));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(button->styleSheet().contains(QStringLiteral("rgb(95, 183, 3)")));
        QVERIFY(!label(&cell, "label_text")->wordWrap());
    }

    void setData_data()
    {
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QString>("chapterName");
        QTest::addColumn<QString>("questionText");
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("timeText");
        const QDateTime march8(QDate(2015, 3, 8), QTime(9, 5, 7));
        QTest::newRow("image reference removed")
            << "内科学" << "第一章" << "下列哪项[a.png]正确" << march8 << "内科学 > 第一章 > 下列哪项正确"
            << "2015-03-08 09-05-07";
        QTest::newRow("several images, upper-case extension")
            << "药理学" << "药代练习一" << "[x.JPG]心电图[y.gif]如下" << QDateTime(QDate(2016, 12, 31), QTime(23, 59, 0))
            << "药理学 > 药代练习一 > 心电图如下" << "2016-12-31 23-59-00";
        QTest::newRow("chapter without a parent")
            << "" << "空章节" << "题目" << march8 << " > 空章节 > 题目" << "2015-03-08 09-05-07";
    }
    void setData()
    {
        QFETCH(QString, parentName);
        QFETCH(QString, chapterName);
        QFETCH(QString, questionText);
        QFETCH(QDateTime, time);
        QFETCH(QString, text);
        QFETCH(QString, timeText);
        HomePageTableCell cell;
        cell.setData(0, parentName, chapterName, questionText, time);
        QCOMPARE(label(&cell, "label_text")->text(), text);
        QCOMPARE(label(&cell, "label_time")->text(), timeText);
    }

    void longTextEndsBeforeTheButton()
    {
        const QString question = QStringLiteral("男，68岁。吸烟40年，反复咳嗽、咳痰20年，活动后气急5年，加重伴双下肢水肿1周。"
                                                "查体：桶状胸，双肺呼吸音减低，可闻及干湿啰音。最可能的诊断是");
        const QString whole = QStringLiteral("呼吸系统 > 慢性阻塞性肺疾病 > ") + question;
        HomePageTableCell cell;
        cell.setData(0, QStringLiteral("呼吸系统"), QStringLiteral("慢性阻塞性肺疾病"), question, QDateTime());
        QCOMPARE(label(&cell, "label_text")->text(), whole);

        cell.resize(676, 64);
        cell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cell));
        QLabel *text = label(&cell, "label_text");
        QVERIFY(text->text().endsWith(QChar(0x2026)));
        QVERIFY(whole.startsWith(text->text().chopped(1)));
        QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) <= text->contentsRect().width());
        QVERIFY(text->geometry().right() < learnButton(&cell)->geometry().left());

        // Wide enough again: the whole line; new data is fitted at once.
        cell.resize(2400, 64);
        QTRY_COMPARE(text->text(), whole);
        cell.resize(676, 64);
        cell.setData(1, QStringLiteral("内科学"), QStringLiteral("第一章"), QStringLiteral("短题"), QDateTime());
        QTRY_COMPARE(text->text(), QStringLiteral("内科学 > 第一章 > 短题"));
        cell.setData(2, QStringLiteral("呼吸系统"), QStringLiteral("慢性阻塞性肺疾病"), question, QDateTime());
        QVERIFY(text->text().endsWith(QChar(0x2026)));
    }

    void buttonEmitsItsRow_data()
    {
        QTest::addColumn<bool>("dataSet");
        QTest::addColumn<int>("row");
        QTest::newRow("third row") << true << 2;
        QTest::newRow("first row") << true << 0;
        QTest::newRow("before setData") << false << 0;
    }
    void buttonEmitsItsRow()
    {
        QFETCH(bool, dataSet);
        QFETCH(int, row);
        HomePageTableCell cell;
        if (dataSet)
            cell.setData(row, QStringLiteral("内科学"), QStringLiteral("第一章"), QStringLiteral("题"), QDateTime());
        QSignalSpy spy(&cell, &HomePageTableCell::sendTableCellData);
        cell.show();
        QTest::mouseClick(learnButton(&cell), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), row);
    }

    void skinColor_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("hover");
        QTest::newRow("green") << "80,153,2,255" << "rgb(80,153,2,255)" << "rgb(100,173,2,255)";
        QTest::newRow("pink, hover held at 255") << "255,127,167,255" << "rgb(255,127,167,255)"
                                                 << "rgb(255,147,167,255)";
    }
    void skinColor()
    {
        QFETCH(QString, color);
        QFETCH(QString, background);
        QFETCH(QString, hover);
        HomePageTableCell cell;
        cell.setSkinColor(color);
        QCOMPARE(learnButton(&cell)->styleSheet(),
                 QStringLiteral("QPushButton{border-image: none;border-radius:5px;background-color: %1;"
                                "color: rgb(255, 255, 255);font: 75 12pt \"微软雅黑\";}"
                                "QPushButton:hover{background-color: %2;}")
                     .arg(background, hover));
    }

    void emptySkinColorKeepsTheFormButton()
    {
        HomePageTableCell cell;
        const QString formSheet = learnButton(&cell)->styleSheet();
        cell.setSkinColor(QString());
        QCOMPARE(learnButton(&cell)->styleSheet(), formSheet);
    }
};

QTEST_MAIN(TestHomePageTableCell)
#include "tst_homepagetablecell.moc"
