// The review chart: counting answers into the slots of each period, and
// what it paints. Run twice by CTest, under LC_ALL=C and LC_ALL=zh_CN.UTF-8:
// the week's slots must fill whatever the system's day names are.
#include "DrawCurveForm.h"

#include "MainQuestion.h"
#include "QuestionData.h"
#include "Skin.h"

#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

struct Answer
{
    QDateTime time;
    int state;
};

// Records as the store makes them for the review page: one question each.
class Records
{
public:
    explicit Records(const QList<Answer> &answers)
    {
        for (const Answer &answer : answers) {
            auto *record = new MainQuestion;
            auto *question = new QuestionData;
            question->queId = 1000 + owned.size();
            question->userTime = answer.time;
            question->userStatus = answer.state;
            record->questions << question;
            owned.emplace_back(record);
            list << record;
        }
    }
    QList<MainQuestion *> list;

private:
    std::vector<std::unique_ptr<MainQuestion>> owned;
};

QDateTime at(const char *text)
{
    return QDateTime::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd hh:mm"));
}

const QColor totalGrey(107, 107, 107);
const QColor rightGreen(119, 183, 51);
const QColor wrongRed(255, 0, 0);
const QColor background(255, 255, 255);
// Far from the three curve colours, so a pixel's nearest colour tells them apart.
const QString blueSkin = QStringLiteral("30,60,200,255");

// Where the chart puts things, from its font as it paints.
struct Geometry
{
    explicit Geometry(const QWidget &chart, int slotCount)
    {
        const QFontMetrics metrics(chart.font());
        h = metrics.ascent() + metrics.descent();
        left = metrics.horizontalAdvance(QStringLiteral("200")) + 5;
        const int right = metrics.horizontalAdvance(QStringLiteral("(日)"));
        plotW = chart.width() - left - right - 20;
        plotH = chart.height() - 3 * h - 10;
        originY = 1.75 * h + plotH;
        xStep = float(plotW) / slotCount;
    }
    // Window x of slot i's point.
    int slotX(int i) const { return left + 20 + int(i * xStep); }
    // Window y of the x axis and of the top grid line.
    int axisY() const { return int(originY - 10); }
    int topGridY() const { return int(originY - 10 - plotH); }

    int h;
    int left;
    int plotW;
    int plotH;
    double originY;
    float xStep;
};

QImage rendered(DrawCurveForm &chart)
{
    QImage image(chart.size(), QImage::Format_ARGB32);
    image.fill(background);
    chart.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The reference colour the pixel is nearest to.
QString nearest(const QColor &pixel, const QString &skin = blueSkin)
{
    const QStringList parts = skin.split(QLatin1Char(','));
    const QList<QPair<QString, QColor>> references = {
        {QStringLiteral("background"), background},
        {QStringLiteral("total"), totalGrey},
        {QStringLiteral("right"), rightGreen},
        {QStringLiteral("wrong"), wrongRed},
        {QStringLiteral("skin"), QColor(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt())},
    };
    QString best;
    int bestDistance = INT_MAX;
    for (const auto &reference : references) {
        const QColor &c = reference.second;
        const int d = (c.red() - pixel.red()) * (c.red() - pixel.red())
                      + (c.green() - pixel.green()) * (c.green() - pixel.green())
                      + (c.blue() - pixel.blue()) * (c.blue() - pixel.blue());
        if (d < bestDistance) {
            bestDistance = d;
            best = reference.first;
        }
    }
    return best;
}

// The colours nearest to the pixels of column x between rows top and bottom.
QSet<QString> columnColours(const QImage &image, int x, int top, int bottom)
{
    QSet<QString> seen;
    for (int y = top; y <= bottom; ++y)
        seen << nearest(image.pixelColor(x, y));
    return seen;
}

int indexOf(const QList<CurveBucket> &buckets, const QString &label)
{
    for (int i = 0; i < buckets.size(); ++i)
        if (buckets.at(i).slotLabel == label)
            return i;
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(QList<Answer>)

class TestDrawCurveForm : public QObject
{
    Q_OBJECT

private slots:
    void runsInItsLocale();
    void slotLabels_data();
    void slotLabels();
    void counting_data();
    void counting();
    void oneRightAnswerDrawn();
    void answersAboveScaleRiseOverTopLine();
    void emptyListDrawsGridOnly();
    void malformedSkinPaintsDefault();
};

// Under LC_ALL=zh_CN.UTF-8 the system's day names must really be Chinese,
// or the second run would test nothing new.
void TestDrawCurveForm::runsInItsLocale()
{
    const QByteArray wanted = qgetenv("LC_ALL");
    const QString sunday = QLocale::system().dayName(7, QLocale::ShortFormat);
    if (wanted.startsWith("zh_CN"))
        QCOMPARE(sunday, QStringLiteral("周日"));
    else if (wanted == "C")
        QVERIFY(sunday != QStringLiteral("周日"));
}

void TestDrawCurveForm::slotLabels_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<QStringList>("labels");
    auto numbered = [](int first, int last) {
        QStringList labels{QStringLiteral("-")};
        for (int i = first; i <= last; ++i)
            labels << QString::number(i).rightJustified(2, QLatin1Char('0'));
        return labels << QStringLiteral("-");
    };
    QTest::newRow("today: hours") << 0 << numbered(0, 23);
    QTest::newRow("week: weekdays from Sunday")
        << 1 << QStringList{"-", "周日", "周一", "周二", "周三", "周四", "周五", "周六", "-"};
    QTest::newRow("month: days") << 2 << numbered(1, 31);
    QTest::newRow("all: months") << 3 << numbered(1, 12);
}

void TestDrawCurveForm::slotLabels()
{
    QFETCH(int, period);
    QFETCH(QStringList, labels);
    DrawCurveForm chart;
    QCOMPARE(chart.setQuestions(ReviewPeriod(period), {}), QStringLiteral("0,0,0"));
    QStringList shown;
    for (const CurveBucket &bucket : chart.bucketList()) {
        shown << bucket.slotLabel;
        QCOMPARE(bucket.totalCount + bucket.rightCount + bucket.wrongCount, 0);
    }
    QCOMPARE(shown, labels);
}

void TestDrawCurveForm::counting_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("result");
    // The one slot that is not empty, with its total, right and wrong counts.
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("07:30 right, today") << 0 << QList<Answer>{{at("2026-12-11 07:30"), 1}} << "1,1,0" << "07"
                                        << QList<int>{1, 1, 0};
    QTest::newRow("wrong at 23:59") << 0 << QList<Answer>{{at("2026-12-11 23:59"), 2}} << "1,0,1" << "23"
                                    << QList<int>{1, 0, 1};
    QTest::newRow("state 0 counts in the total only")
        << 0 << QList<Answer>{{at("2026-12-11 00:10"), 0}, {at("2026-12-11 00:50"), 1}} << "2,1,0" << "00"
        << QList<int>{2, 1, 0};
    QTest::newRow("March of two years") << 3
                                        << QList<Answer>{{at("2015-03-10 08:00"), 1}, {at("2026-03-31 20:00"), 2}}
                                        << "2,1,1" << "03" << QList<int>{2, 1, 1};
    QTest::newRow("day 31") << 2 << QList<Answer>{{at("2026-10-31 12:00"), 1}} << "1,1,0" << "31"
                            << QList<int>{1, 1, 0};
    QTest::newRow("today and 7 days ago share a weekday")
        << 1 << QList<Answer>{{at("2026-12-04 09:00"), 2}, {at("2026-12-11 09:00"), 1}} << "2,1,1" << "周五"
        << QList<int>{2, 1, 1};
    QTest::newRow("Sunday") << 1 << QList<Answer>{{at("2026-12-13 10:00"), 1}} << "1,1,0" << "周日"
                            << QList<int>{1, 1, 0};
    QTest::newRow("Monday") << 1 << QList<Answer>{{at("2026-12-14 10:00"), 2}} << "1,0,1" << "周一"
                            << QList<int>{1, 0, 1};
    QTest::newRow("Saturday") << 1 << QList<Answer>{{at("2026-12-12 10:00"), 1}} << "1,1,0" << "周六"
                              << QList<int>{1, 1, 0};
    QTest::newRow("empty") << 0 << QList<Answer>{} << "0,0,0" << QString() << QList<int>{};
    for (int period = 0; period < 4; ++period)
        QTest::addRow("no valid time, period %d", period)
            << period << QList<Answer>{{QDateTime(), 1}, {QDateTime(), 2}} << "0,0,0" << QString() << QList<int>{};
}

void TestDrawCurveForm::counting()
{
    QFETCH(int, period);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, result);
    QFETCH(QString, slot);
    QFETCH(QList<int>, counts);
    DrawCurveForm chart;
    // The slots of an earlier call go: nothing of them may remain.
    chart.setQuestions(ReviewPeriod(period), Records({{at("2026-12-11 05:00"), 1}, {at("2026-12-09 05:00"), 2},
                                                       {at("2026-07-17 05:00"), 1}})
                                                 .list);
    Records records(answers);
    QCOMPARE(chart.setQuestions(ReviewPeriod(period), records.list), result);
    for (const CurveBucket &bucket : chart.bucketList()) {
        const QList<int> seen{bucket.totalCount, bucket.rightCount, bucket.wrongCount};
        const QList<int> expected = bucket.slotLabel == slot ? counts : QList<int>{0, 0, 0};
        QCOMPARE(seen, expected);
    }
}

void TestDrawCurveForm::oneRightAnswerDrawn()
{
    DrawCurveForm chart;
    chart.resize(618, 236);
    chart.setCurveColors(totalGrey, rightGreen, wrongRed);
    chart.setSkinColor(blueSkin);
    Records records({{at("2026-12-11 07:00"), 1}});
    chart.setQuestions(ReviewToday, records.list);
    const QImage image = rendered(chart);
    const Geometry geometry(chart, 26);
    const QList<CurveBucket> buckets = chart.bucketList();
    const int axis = geometry.axisY();
    const QSet<QString> at07 = columnColours(image, geometry.slotX(indexOf(buckets, "07")), axis - 3, axis - 1);
    QVERIFY2(at07.contains("right"), qPrintable(QStringList(at07.values()).join(',')));
    QCOMPARE(columnColours(image, geometry.slotX(indexOf(buckets, "12")), axis - 3, axis - 2),
             QSet<QString>{"background"});
    // The axis itself is drawn in the skin colour where no curve covers it.
    QVERIFY(columnColours(image, geometry.slotX(indexOf(buckets, "12")) + 3, axis - 1, axis + 1).contains("skin")
            || columnColours(image, geometry.slotX(indexOf(buckets, "12")) + 3, axis - 1, axis + 1).contains("right"));
}

void TestDrawCurveForm::answersAboveScaleRiseOverTopLine()
{
    DrawCurveForm chart;
    chart.resize(618, 236);
    chart.setCurveColors(totalGrey, rightGreen, wrongRed);
    chart.setSkinColor(blueSkin);
    QList<Answer> answers;
    for (int i = 0; i < 150; ++i)
        answers.append({at("2026-12-11 14:00").addSecs(i * 20), 0});
    Records records(answers);
    QCOMPARE(chart.setQuestions(ReviewToday, records.list), QStringLiteral("150,0,0"));
    const QImage image = rendered(chart);
    const Geometry geometry(chart, 26);
    const int x = geometry.slotX(indexOf(chart.bucketList(), "14"));
    const int top = geometry.topGridY();
    QVERIFY(top > 4);
    QCOMPARE(columnColours(image, x, top - 4, top - 2), QSet<QString>{"total"});
    // The neighbouring slot's column stays clear there.
    QCOMPARE(columnColours(image, geometry.slotX(indexOf(chart.bucketList(), "17")), top - 4, top - 2),
             QSet<QString>{"background"});
}

void TestDrawCurveForm::emptyListDrawsGridOnly()
{
    DrawCurveForm chart;
    chart.resize(618, 236);
    chart.setCurveColors(totalGrey, rightGreen, wrongRed);
    chart.setSkinColor(blueSkin);
    chart.setQuestions(ReviewMonth, {});
    const QImage image = rendered(chart);
    const Geometry geometry(chart, 33);
    QSet<QString> plot;
    for (int x = geometry.left + 21; x < geometry.left + geometry.plotW; ++x)
        plot += columnColours(image, x, 0, geometry.axisY() - 2);
    QVERIFY2(!plot.contains("total") && !plot.contains("right") && !plot.contains("wrong"),
             qPrintable(QStringList(plot.values()).join(',')));
    // Grid lines across the plot, labels left of it and below the axis.
    const int midX = geometry.left + geometry.plotW / 2;
    QVERIFY(columnColours(image, midX, geometry.topGridY() - 1, geometry.topGridY() + 1).contains("skin"));
    QSet<QString> gridLabels;
    for (int x = 0; x < geometry.left + 16; ++x)
        gridLabels += columnColours(image, x, 0, geometry.axisY());
    QVERIFY(gridLabels.contains("skin"));
    QSet<QString> slotLabels;
    for (int x = geometry.slotX(1); x < geometry.slotX(2); ++x)
        slotLabels += columnColours(image, x, geometry.axisY() + 3, chart.height() - 1);
    QVERIFY(slotLabels.contains("skin"));
}

void TestDrawCurveForm::malformedSkinPaintsDefault()
{
    DrawCurveForm chart;
    chart.resize(618, 236);
    chart.setCurveColors(totalGrey, rightGreen, wrongRed);
    Records records({{at("2026-12-11 09:00"), 1}});
    chart.setQuestions(ReviewToday, records.list);
    chart.setSkinColor(QString::fromLatin1(defaultSkinColor));
    const QImage expected = rendered(chart);
    for (const QString &malformed : {QString(), QStringLiteral("12,34"), QStringLiteral("1,2,3")}) {
        chart.setSkinColor(malformed);
        QVERIFY2(rendered(chart) == expected, qPrintable(malformed));
    }
}

QTEST_MAIN(TestDrawCurveForm)
#include "tst_drawcurveform.moc"
