// The ring gauge, painted into an image and probed between the centre disc
// and the edge of the pie.
#include "CRoundProcessBar.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>

namespace {

const QColor green(80, 153, 2);

QImage paint(CRoundProcessBar &bar)
{
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    bar.render(&image);
    return image;
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 12 && qAbs(a.green() - b.green()) <= 12 && qAbs(a.blue() - b.blue()) <= 12;
}

// A point at `radius` about `centre`, at the hour of a clock face.
QColor probe(const QImage &image, QPointF centre, double radius, double hour)
{
    const double angle = hour / 12.0 * 2 * M_PI;
    const QPointF at = centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
    return image.pixelColor(int(std::floor(at.x())), int(std::floor(at.y())));
}

// Which of the half hours 1:30, 4:30, 7:30 and 10:30 show the pie colour.
QString pieHours(const QImage &image, const QColor &pie)
{
    QStringList hours;
    for (double hour : {1.5, 4.5, 7.5, 10.5}) {
        if (near(probe(image, QPointF(25, 25), 15, hour), pie))
            hours << QString::number(hour);
    }
    return hours.join(QLatin1Char(' '));
}

bool isGrey(const QColor &c)
{
    return c.red() == c.green() && c.green() == c.blue();
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestRoundProcessBar : public QObject
{
    Q_OBJECT
private slots:
    void startsAsAFixedGauge()
    {
        QWidget form;
        CRoundProcessBar bar(&form);   // as a form builds it
        QCOMPARE(bar.size(), QSize(52, 52));
        QCOMPARE(bar.minimumSize(), QSize(52, 52));
        QCOMPARE(bar.maximumSize(), QSize(52, 52));
        QCOMPARE(bar.parentWidget(), &form);
    }

    void pieFollowsValueAndTotal_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<float>("total");
        QTest::addColumn<QString>("hours");
        QTest::newRow("a quarter") << "25" << 100.0f << "1.5";
        QTest::newRow("half") << "50" << 100.0f << "1.5 4.5";
        QTest::newRow("the default 90") << "90" << 100.0f << "1.5 4.5 7.5 10.5";
        QTest::newRow("all") << "100" << 100.0f << "1.5 4.5 7.5 10.5";
        QTest::newRow("above the total") << "150" << 100.0f << "1.5 4.5 7.5 10.5";
        QTest::newRow("negative, counter-clockwise") << "-25" << 100.0f << "10.5";
        QTest::newRow("small total") << "3" << 4.0f << "1.5 4.5 7.5";
        QTest::newRow("not a number") << "abc" << 100.0f << "";
        QTest::newRow("empty") << "" << 100.0f << "";
        QTest::newRow("total 0") << "5" << 0.0f << "";
        QTest::newRow("negative total") << "5" << -10.0f << "";
        QTest::newRow("huge value") << "1e30" << 100.0f << "1.5 4.5 7.5 10.5";
        QTest::newRow("huge negative value") << "-1e30" << 100.0f << "1.5 4.5 7.5 10.5";
        QTest::newRow("infinite value") << "inf" << 100.0f << "";
        QTest::newRow("nan value") << "nan" << 100.0f << "";
    }
    void pieFollowsValueAndTotal()
    {
        QFETCH(QString, value);
        QFETCH(float, total);
        QFETCH(QString, hours);
        CRoundProcessBar bar(nullptr, QStringLiteral("80,153,2,255"));
        bar.setTotal(total);
        bar.setValueText(value);
        QCOMPARE(pieHours(paint(bar), green), hours);
    }

    void colourText_data()
    {
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QColor>("seen");
        QTest::newRow("pink") << "255,127,167,255" << QColor(255, 127, 167);
        QTest::newRow("blue missing") << "80,153" << QColor(80, 153, 0, 0);      // alpha 0 too: no pie
        QTest::newRow("three parts") << "80,153,2" << QColor(80, 153, 2, 0);
        QTest::newRow("beyond 255") << "300,153,2,255" << QColor(255, 153, 2);
    }
    void colourText()
    {
        QFETCH(QString, colour);
        QFETCH(QColor, seen);
        CRoundProcessBar bar;
        bar.setColor(colour);
        bar.setValueText(QStringLiteral("100"));
        const QImage image = paint(bar);
        for (double hour : {1.5, 4.5, 7.5, 10.5}) {
            const QColor c = probe(image, QPointF(25, 25), 15, hour);
            if (seen.alpha() == 0)
                QVERIFY(isGrey(c));
            else
                QVERIFY2(near(c, seen), qPrintable(c.name()));
        }
    }

    void emptyColourShowsOnlyGrey()
    {
        CRoundProcessBar bar(nullptr, QString());
        bar.setValueText(QStringLiteral("100"));
        const QImage image = paint(bar);
        for (double hour : {1.5, 4.5, 7.5, 10.5})
            QVERIFY(isGrey(probe(image, QPointF(25, 25), 15, hour)));
        QVERIFY(isGrey(image.pixelColor(25, 25)));
    }

    void baseValueChangesNothing()
    {
        CRoundProcessBar bar(nullptr, QStringLiteral("80,153,2,255"));
        bar.setValueText(QStringLiteral("40"));
        const QImage before = paint(bar);
        bar.setRange(0, 10);
        bar.setValue(10);
        QCOMPARE(paint(bar), before);
    }

    // The value is drawn in the centre disc.
    void valueTextIsDrawn()
    {
        CRoundProcessBar bar;   // a transparent pie: only the text changes
        bar.setValueText(QString());
        const QImage blank = paint(bar);
        bar.setValueText(QStringLiteral("45"));
        const QImage withText = paint(bar);
        QVERIFY(blank != withText);
        for (int x = 0; x < 52; ++x) {   // nothing of the text outside the centre disc
            for (int y = 0; y < 52; ++y) {
                if (QLineF(QPointF(x + 0.5, y + 0.5), QPointF(25, 25)).length() > 13.5)
                    QVERIFY2(withText.pixel(x, y) == blank.pixel(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void onlyTheValueRepaintsAtOnce()
    {
        CRoundProcessBar bar(nullptr, QStringLiteral("80,153,2,255"));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QApplication::processEvents();
        PaintCounter counter;
        bar.installEventFilter(&counter);
        bar.setColor(QStringLiteral("255,127,167,255"));
        bar.setTotal(10);
        QApplication::processEvents();
        QCOMPARE(counter.paints, 0);
        bar.setValueText(QStringLiteral("5"));
        QCOMPARE(counter.paints, 1);
    }

    // At another size the circles sit about ((w - 1) div 2, (h - 1) div 2),
    // radius min(w, h) div 2: here (39, 29) and a pie of radius 21.
    void geometryFollowsTheSize()
    {
        CRoundProcessBar bar(nullptr, QStringLiteral("80,153,2,255"));
        bar.setValueText(QStringLiteral("100"));
        bar.setFixedSize(80, 60);
        const QImage image = paint(bar);
        QVERIFY(near(image.pixelColor(18, 29), green));    // 20.5 left of x 39
        QVERIFY(!near(image.pixelColor(60, 29), green));   // 21.5 right of it
        QVERIFY(near(image.pixelColor(39, 8), green));     // 20.5 above y 29
        QVERIFY(!near(image.pixelColor(39, 50), green));   // 21.5 below it
        for (double hour : {1.5, 4.5, 7.5, 10.5})
            QVERIFY(near(probe(image, QPointF(39, 29), 18, hour), green));
    }
};

QTEST_MAIN(TestRoundProcessBar)
#include "tst_roundprocessbar.moc"
