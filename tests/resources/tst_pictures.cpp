// The GIF writer, read back by Qt's own GIF reader, and the pictures drawn
// for the exam dialogs, the answer card and the busy overlay.
#include "GifWriter.h"
#include "ImageSpec.h"
#include "Resources.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QtTest>

namespace {

using Frames = QVector<QImage>;

QImage blank(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Two frames that each cover what the other leaves clear.
Frames halves()
{
    QImage left = blank(QSize(16, 8)), right = blank(QSize(16, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            left.setPixel(x, y, qRgb(255, 0, 0));
            right.setPixel(x + 8, y, y % 2 ? qRgb(0, 0, 255) : qRgb(0, 200, 0));
        }
    return {left, right};
}

// Random pixels of 255 colours plus clear ones: the compression table fills
// and restarts many times.
Frames noise()
{
    QRandomGenerator random(32);
    QImage image = blank(QSize(124, 124));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int c = int(random.bounded(256));
            image.setPixel(x, y, c == 0 ? qRgba(0, 0, 0, 0) : qRgb(c, 255 - c, (c * 7) % 256));
        }
    return {image};
}

Frames decode(const QByteArray &gif, int *delayMs = nullptr, int *loops = nullptr)
{
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    Frames frames;
    if (loops)
        *loops = reader.loopCount();
    QImage frame;
    while (reader.read(&frame)) {
        frames.append(frame.convertToFormat(QImage::Format_ARGB32));
        if (delayMs)
            *delayMs = reader.nextImageDelay();
    }
    return frames;
}

// The largest channel difference between an opaque source pixel and its
// decoded pixel; clear pixels (alpha below half) must decode clear.
int worstDifference(const QImage &source, const QImage &decoded, QString *where)
{
    int worst = 0;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y), d = decoded.pixel(x, y);
            int difference = 0;
            if (qAlpha(s) < 128)
                difference = qAlpha(d) == 0 ? 0 : 256;
            else if (qAlpha(d) != 255)
                difference = 256;
            else
                difference = qMax(qMax(qAbs(qRed(s) - qRed(d)), qAbs(qGreen(s) - qGreen(d))),
                                  qAbs(qBlue(s) - qBlue(d)));
            if (difference > worst) {
                worst = difference;
                *where = QStringLiteral("%1,%2").arg(x).arg(y);
            }
        }
    return worst;
}

int inkWidth(const QImage &image, int y)
{
    int width = 0;
    for (int x = 0; x < image.width(); ++x)
        width += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return width;
}

} // namespace

Q_DECLARE_METATYPE(Frames)

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void gifReadsBack_data()
    {
        QTest::addColumn<Frames>("frames");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("one pixel") << Frames{[] { QImage i = blank(QSize(1, 1)); i.setPixel(0, 0, qRgb(9, 8, 7)); return i; }()}
                                   << 0;
        QTest::newRow("halves, the second clears the first") << halves() << 0;
        QTest::newRow("255 colours of noise") << noise() << 0;
        // 128 by 64 colours do not fit: the low bits go, at most 8 off.
        QImage gradient = blank(QSize(256, 64));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 256; ++x)
                gradient.setPixel(x, y, qRgb(x, y * 2, 128));
        QTest::newRow("more colours than fit") << Frames{gradient} << 8;
    }
    void gifReadsBack()
    {
        QFETCH(Frames, frames);
        QFETCH(int, tolerance);
        const Frames decoded = decode(GifWriter::encode(frames, 80));
        QCOMPARE(decoded.size(), frames.size());
        for (int i = 0; i < frames.size(); ++i) {
            QCOMPARE(decoded.at(i).size(), frames.at(i).size());
            QString where;
            const int worst = worstDifference(frames.at(i), decoded.at(i), &where);
            QVERIFY2(worst <= tolerance, qPrintable(QStringLiteral("frame %1 off by %2 at %3").arg(i).arg(worst).arg(where)));
        }
    }

    void gifLoopsWithItsDelay()
    {
        int delay = 0, loops = 0;
        const Frames frames{blank(QSize(4, 4)), blank(QSize(4, 4)), blank(QSize(4, 4))};
        QCOMPARE(decode(GifWriter::encode(frames, 80), &delay, &loops).size(), 3);
        QCOMPARE(delay, 80);
        QCOMPARE(loops, -1);   // for ever
    }

    void gifRefusesUnfitFrames_data()
    {
        QTest::addColumn<Frames>("frames");
        QTest::newRow("no frame") << Frames();
        QTest::newRow("sizes differ") << Frames{blank(QSize(4, 4)), blank(QSize(4, 5))};
    }
    void gifRefusesUnfitFrames()
    {
        QFETCH(Frames, frames);
        QVERIFY(GifWriter::encode(frames, 80).isEmpty());
    }

    // The compiled-in busy animation: 12 frames of 124 x 124, 80 ms each,
    // for ever, each frame turned one step on from the one before.
    void waitingAnimation()
    {
        QImageReader reader(QStringLiteral(":/Welcome/images/Welcome/waiting.gif"));
        QCOMPARE(reader.format(), QByteArray("gif"));
        QCOMPARE(reader.imageCount(), 12);
        QCOMPARE(reader.loopCount(), -1);
        Frames frames;
        QImage frame;
        while (reader.read(&frame)) {
            QCOMPARE(frame.size(), QSize(124, 124));
            QCOMPARE(reader.nextImageDelay(), 80);
            frames.append(frame);
        }
        QCOMPARE(frames.size(), 12);
        for (int i = 0; i < frames.size(); ++i)
            QVERIFY2(frames.at(i) != frames.at((i + 1) % frames.size()), qPrintable(QString::number(i)));
        QCOMPARE(qAlpha(frames.first().pixel(0, 0)), 0);
        QCOMPARE(qAlpha(frames.first().pixel(62, 62)), 0);   // the hub stays clear
    }

    void arrows_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("up");
        QTest::newRow("down") << ":/machine/images/machine/arrow_down.png" << false;
        QTest::newRow("up") << ":/machine/images/machine/arrow_up.png" << true;
    }
    void arrows()
    {
        QFETCH(QString, path);
        QFETCH(bool, up);
        const QImage image(path);
        QCOMPARE(image.size(), QSize(7, 8));
        QList<int> widths;
        for (int y = 0; y < image.height(); ++y)
            if (inkWidth(image, y) > 0)
                widths.append(inkWidth(image, y));
        QVERIFY(widths.size() >= 3);
        if (up)
            std::reverse(widths.begin(), widths.end());
        QCOMPARE(widths.first(), 7);
        for (int i = 1; i < widths.size(); ++i)
            QVERIFY(widths.at(i) < widths.at(i - 1));
    }

    // The report viewer's alignment tools: every other line is shorter, and
    // the short ones keep to the named side or the middle.
    void textLines_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("side");
        QTest::newRow("left") << ":/icon/images/icon/textleft.png" << "left";
        QTest::newRow("right") << ":/icon/images/icon/textright.png" << "right";
        QTest::newRow("centre") << ":/icon/images/icon/textcenter.png" << "centre";
    }
    void textLines()
    {
        QFETCH(QString, path);
        QFETCH(QString, side);
        const QImage image(path);
        QCOMPARE(image.size(), QSize(16, 16));
        QList<QPair<int, int>> lines;   // first and last inked column of each inked row run
        bool inLine = false;
        for (int y = 0; y < image.height(); ++y) {
            int first = -1, last = -1;
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            if (first >= 0 && !inLine)
                lines.append({first, last});
            inLine = first >= 0;
        }
        QCOMPARE(lines.size(), 4);
        for (int i = 0; i < lines.size(); ++i) {
            const int first = lines.at(i).first, last = lines.at(i).second;
            if (i % 2 == 0) {
                QCOMPARE(first, 0);
                QCOMPARE(last, 15);
                continue;
            }
            QVERIFY(last - first < 12);
            if (side == QLatin1String("left"))
                QCOMPARE(first, 0);
            else if (side == QLatin1String("right"))
                QCOMPARE(last, 15);
            else
                QCOMPARE(first, 15 - last);
        }
    }

    // The letter tools: the same caption drawn bold holds more ink, italic
    // leans (its top sits right of its bottom), underlined has a long row
    // of ink under the letter.
    void styledLetters()
    {
        const auto inkOf = [](const QImage &image) {
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                ink += inkWidth(image, y);
            return ink;
        };
        const auto centreOfRow = [](const QImage &image, int y) {
            int sum = 0, count = 0;
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 128) {
                    sum += x;
                    ++count;
                }
            return count ? qreal(sum) / count : -1.0;
        };
        QString error;
        const QImage plainB = ImageSpec::parse(":/a/b.png\t16\t16\tglyph\tnone\t#000000\tB", &error)->draw();
        const QImage bold(QStringLiteral(":/icon/images/icon/textbold.png"));
        QVERIFY(inkOf(bold) > inkOf(plainB) * 1.15);

        const QImage italic(QStringLiteral(":/icon/images/icon/textitalic.png"));
        QList<int> inked;
        for (int y = 0; y < italic.height(); ++y)
            if (inkWidth(italic, y) > 0)
                inked.append(y);
        QVERIFY(inked.size() >= 8);
        QVERIFY(centreOfRow(italic, inked.first() + 1) > centreOfRow(italic, inked.last() - 1) + 1);

        const QImage plainU = ImageSpec::parse(":/a/u.png\t16\t16\tglyph\tnone\t#000000\tU", &error)->draw();
        const QImage underlined(QStringLiteral(":/icon/images/icon/textunder.png"));
        int widestRow = 0, plainWidest = 0;
        for (int y = 0; y < 16; ++y) {
            widestRow = qMax(widestRow, inkWidth(underlined, y));
            plainWidest = qMax(plainWidest, inkWidth(plainU, y));
        }
        QVERIFY2(widestRow > plainWidest, qPrintable(QStringLiteral("%1 %2").arg(widestRow).arg(plainWidest)));
    }

    // Where the tip dialogs put their title and message the picture is
    // white; the mark is blue and the ground grey.
    void noticeGround_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("looks");
        QTest::newRow("title, plain form") << QPoint(110, 30) << "white";
        QTest::newRow("title, form with margins") << QPoint(121, 45) << "white";
        QTest::newRow("message top left") << QPoint(62, 72) << "white";
        QTest::newRow("message bottom right") << QPoint(436, 300) << "white";
        QTest::newRow("information mark") << QPoint(52, 36) << "blue";
        QTest::newRow("ground left") << QPoint(10, 180) << "grey";
        QTest::newRow("ground under the message") << QPoint(248, 335) << "grey";
    }
    void noticeGround()
    {
        QFETCH(QPoint, at);
        QFETCH(QString, looks);
        const QImage image(QStringLiteral(":/machine/images/machine/dialog_bg_1.png"));
        QCOMPARE(image.size(), QSize(497, 362));
        const QColor c = image.pixelColor(at);
        if (looks == QLatin1String("white"))
            QCOMPARE(c, QColor(Qt::white));
        else if (looks == QLatin1String("blue"))
            QVERIFY2(c.blue() > 180 && c.red() < 100, qPrintable(c.name()));
        else
            QVERIFY2(c.red() == c.blue() && c.red() > 180 && c.red() < 250, qPrintable(c.name()));
    }

    // The search button's magnifier fills its 20 x 20: the ring at the top
    // left with a clear lens, the handle reaching the bottom right corner.
    void magnifier_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("ink");
        QTest::newRow("ring, top") << QPoint(7, 1) << true;
        QTest::newRow("ring, left") << QPoint(1, 7) << true;
        QTest::newRow("lens") << QPoint(7, 7) << false;
        QTest::newRow("handle end") << QPoint(18, 18) << true;
        QTest::newRow("top right corner") << QPoint(18, 1) << false;
        QTest::newRow("bottom left corner") << QPoint(1, 18) << false;
    }
    void magnifier()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, ink);
        const QImage image(QStringLiteral(":/HomePage/images/HomePage/sousuoanniu(1).png"));
        QCOMPARE(image.size(), QSize(20, 20));
        const QColor c = image.pixelColor(at);
        QCOMPARE(c.alpha() > 128, ink);
        if (ink)
            QCOMPARE(c.rgb(), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
