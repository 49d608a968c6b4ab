// The question-set row on its own: texts, counts, the two buttons, the
// hover marker and the skin colour.
#include "ExamCellForm.h"

#include "CRoundProcessBar.h"
#include "Resources.h"
#include "StudyBank.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString green = QStringLiteral("80,153,2,255");

template <class T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QString labelText(ExamCellForm &row, const char *name)
{
    return child<QLabel>(&row, name)->text();
}

} // namespace

class TestExamCellForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void form();
    void title_data();
    void title();
    void longTitleIsCutShort();
    void totalAndProgress_data();
    void totalAndProgress();
    void lastTime();
    void buttons_data();
    void buttons();
    void clearMarkerFollowsMouse();
    void paintsSkin_data();
    void paintsSkin();
};

void TestExamCellForm::initTestCase()
{
    initResources();
}

void TestExamCellForm::form()
{
    ExamCellForm row(nullptr, green);
    QCOMPARE(row.objectName(), QStringLiteral("ExamCellForm"));
    QCOMPARE(row.size(), QSize(600, 58));
    QCOMPARE(labelText(row, "label_lasttime"), QStringLiteral("最大用时："));
    auto *clear = child<QPushButton>(&row, "pushButton_clear");
    QCOMPARE(clear->toolTip(), QStringLiteral("清除做题记录"));
    QCOMPARE(clear->size(), QSize(11, 12));
    QVERIFY(clear->icon().isNull());
    QCOMPARE(child<QPushButton>(&row, "pushButton_learn")->text(), QStringLiteral("开始学习"));
    QVERIFY(child<CRoundProcessBar>(&row, "progressBar_learn_2"));
    QVERIFY(child<CRoundProcessBar>(&row, "progressBar_true_2"));
}

void TestExamCellForm::title_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("first row") << 1 << QStringLiteral("呼吸练习二") << QStringLiteral("1. 呼吸练习二");
    QTest::newRow("twelfth row") << 12 << QStringLiteral("药代练习一") << QStringLiteral("12. 药代练习一");
    QTest::newRow("name with a full stop") << 3 << QStringLiteral("1.2 心电图") << QStringLiteral("3. 1.2 心电图");
}

void TestExamCellForm::title()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    ExamCellForm row(nullptr, green);
    row.setRow(number);
    row.setTitle(name);
    QCOMPARE(labelText(row, "label_title"), shown);
    QCOMPARE(child<QLabel>(&row, "label_title")->toolTip(), name);
    QCOMPARE(row.title(), name);
}

// A name wider than its row ends in "…" and leaves the counts in place;
// a wider row shows it whole.
void TestExamCellForm::longTitleIsCutShort()
{
    const QString name = QStringLiteral("肺炎与肺结核：社区获得性肺炎、医院获得性肺炎与肺结核的病原学、临床表现、诊断、"
                                        "鉴别诊断及治疗原则");
    ExamCellForm row(nullptr, green);
    row.setRow(2);
    row.setTitle(name);
    row.setTotal(QStringLiteral("14"));
    row.resize(600, 54);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto *title = child<QLabel>(&row, "label_title");
    auto *total = child<QLabel>(&row, "label_total");
    QVERIFY2(title->text().startsWith(QStringLiteral("2. 肺炎")) && title->text().endsWith(QChar(0x2026)),
             qPrintable(title->text()));
    QVERIFY(title->fontMetrics().horizontalAdvance(title->text()) <= title->width());
    QVERIFY(title->geometry().right() < total->geometry().left());
    QVERIFY(total->geometry().right() < child<QWidget>(&row, "progressBar_learn_2")->geometry().left());
    QCOMPARE(title->toolTip(), name);
    QCOMPARE(row.title(), name);

    row.resize(2000, 54);
    QTRY_COMPARE(title->text(), QStringLiteral("2. ") + name);
}

void TestExamCellForm::totalAndProgress_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("done");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("doneCount");
    QTest::addColumn<int>("rightCount");
    QTest::newRow("part answered") << "8" << "6" << "4" << 6 << 4;
    QTest::newRow("no questions") << "0" << "0" << "0" << 0 << 0;
    QTest::newRow("no numbers") << "8" << "abc" << "x" << 0 << 0;
}

void TestExamCellForm::totalAndProgress()
{
    QFETCH(QString, total);
    QFETCH(QString, done);
    QFETCH(QString, right);
    QFETCH(int, doneCount);
    QFETCH(int, rightCount);
    ExamCellForm row(nullptr, green);
    row.setTotal(total);
    row.setProgress(done, right);
    QCOMPARE(labelText(row, "label_total"), QStringLiteral("总题数: %1 题").arg(total));
    QCOMPARE(row.totalText(), total);
    QCOMPARE(row.doneCount(), doneCount);
    QCOMPARE(row.rightCount(), rightCount);
    row.grab(); // paints the rings, also with a total of 0
}

void TestExamCellForm::lastTime()
{
    ExamCellForm row(nullptr, green);
    const QString shown = shownTime(QStringLiteral("2015-10-07 14:00:00"));
    row.setLastTime(shown);
    QCOMPARE(labelText(row, "label_lasttime"), shown);
    QCOMPARE(row.lastTimeText(), shown);
    row.setLastTime(QString());
    QCOMPARE(labelText(row, "label_lasttime"), QString());
    QCOMPARE(row.lastTimeText(), QString());
}

void TestExamCellForm::buttons_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("cateId");
    QTest::newRow("row 1") << 1 << 112;
    QTest::newRow("row 5") << 5 << 211;
}

void TestExamCellForm::buttons()
{
    QFETCH(int, number);
    QFETCH(int, cateId);
    ExamCellForm row(nullptr, green);
    row.setRow(number);
    row.setCateId(cateId);
    row.setTitle(QStringLiteral("呼吸练习二"));
    QCOMPARE(row.cateId(), cateId);
    row.show();
    QSignalSpy learn(&row, &ExamCellForm::sendSingle);
    QSignalSpy clear(&row, &ExamCellForm::sendclear);
    QTest::mouseClick(child<QPushButton>(&row, "pushButton_learn"), Qt::LeftButton);
    QCOMPARE(learn.count(), 1);
    QCOMPARE(learn.first(), QVariantList{number - 1});
    QCOMPARE(clear.count(), 0);
    QTest::mouseClick(child<QPushButton>(&row, "pushButton_clear"), Qt::LeftButton);
    QCOMPARE(clear.count(), 1);
    QCOMPARE(clear.first(), (QVariantList{cateId, number - 1}));
    QCOMPARE(learn.count(), 1);
}

void TestExamCellForm::clearMarkerFollowsMouse()
{
    QWidget table;
    table.resize(600, 120);
    auto *row = new ExamCellForm(&table, green);
    row->setGeometry(0, 0, 600, 54);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    auto *clear = child<QPushButton>(row, "pushButton_clear");
    QVERIFY(clear->icon().isNull());
    QTest::mouseMove(row, QPoint(300, 20));
    QTRY_VERIFY(!clear->icon().isNull());
    QVERIFY(!clear->icon().pixmap(clear->size()).isNull());
    QTest::mouseMove(&table, QPoint(300, 100));
    QTRY_VERIFY(clear->icon().isNull());
}

void TestExamCellForm::paintsSkin_data()
{
    QTest::addColumn<QString>("skin");
    QTest::newRow("green") << green;
    QTest::newRow("pink") << QStringLiteral("255,127,167,255");
}

// The learn button fills with the skin colour under the mouse only; a full
// ring is painted in it.
void TestExamCellForm::paintsSkin()
{
    QFETCH(QString, skin);
    ExamCellForm row(nullptr, skin);
    row.setTotal(QStringLiteral("4"));
    row.setProgress(QStringLiteral("4"), QStringLiteral("0"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto *learn = child<QPushButton>(&row, "pushButton_learn");
    const QPoint inside(4, learn->height() / 2);
    QCOMPARE(paintedColor(learn, inside, true), skinColour(skin));
    QVERIFY(paintedColor(learn, inside) != skinColour(skin));
    // Left of the centre disc, inside the pie.
    auto *answered = child<CRoundProcessBar>(&row, "progressBar_learn_2");
    const QPoint pie(answered->width() / 2 - 16, answered->height() / 2);
    QCOMPARE(paintedColor(answered, pie), skinColour(skin));
    auto *right = child<CRoundProcessBar>(&row, "progressBar_true_2");
    QVERIFY(paintedColor(right, pie) != skinColour(skin));
}

QTEST_MAIN(TestExamCellForm)
#include "tst_examcellform.moc"
