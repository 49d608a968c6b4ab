// Every image of the table is compiled in at its size, and Qt's Chinese
// translation loads from the merged catalogue.
#include "ImageSpec.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTranslator>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void everyTableImageIsCompiledIn()
    {
        QFile table(QStringLiteral(VELMORA_IMAGE_TABLE));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        for (const QByteArray &raw : table.readAll().split('\n')) {
            QString error;
            const auto row = ImageSpec::parse(QString::fromUtf8(raw), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            if (!row)
                continue;
            ++rows;
            const QImage image(row->resourcePath());
            QVERIFY2(!image.isNull(), qPrintable(row->resourcePath()));
            QCOMPARE(image.size(), row->size());
        }
        QVERIFY(rows > 0);
    }

    void parseRejectsBadRows_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("too few fields") << ":/a/b.png\t10\t10\trect";
        QTest::newRow("not a resource") << "a/b.png\t10\t10\trect\t#fff\t#000";
        QTest::newRow("zero size") << ":/a/b.png\t0\t10\trect\t#fff\t#000";
        QTest::newRow("unknown shape") << ":/a/b.png\t10\t10\tstar\t#fff\t#000";
        QTest::newRow("bad colour") << ":/a/b.png\t10\t10\trect\t#ggg\t#000";
        QTest::newRow("three-stop fill") << ":/a/b.png\t10\t10\trect\t#fff-#000-#fff\t#000";
    }
    void parseRejectsBadRows()
    {
        QFETCH(QString, line);
        QString error;
        QVERIFY(!ImageSpec::parse(line, &error));
        QVERIFY(!error.isEmpty());
    }

    void drawsFillAndTransparency()
    {
        QString error;
        const auto round = ImageSpec::parse(":/a/b.png\t40\t20\tround\t#ff0000-#0000ff\t#ffffff", &error);
        QVERIFY(round);
        const QImage image = round->draw();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);            // rounded corner stays clear
        const QColor top = image.pixelColor(20, 2), bottom = image.pixelColor(20, 17);
        QVERIFY(top.red() > top.blue());                     // gradient runs top to bottom
        QVERIFY(bottom.blue() > bottom.red());
    }

    void arrowTabShowsItsChevron()
    {
        QString error;
        const auto arrow = ImageSpec::parse(":/a/b.png\t10\t90\tarrow\t#ff0000\t#ffffff", &error);
        QVERIFY2(arrow, qPrintable(error));
        const QImage image = arrow->draw();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);             // rounded end stays clear
        QCOMPARE(image.pixelColor(5, 15), QColor(Qt::red)); // the tab's body
        // The chevron's tip, right of the centre, and its open side, left of it.
        const QColor tip = image.pixelColor(7, 45), open = image.pixelColor(3, 45);
        QVERIFY2(tip.green() > 150, qPrintable(tip.name()));
        QCOMPARE(open, QColor(Qt::red));
    }

    void qtTranslationIsMerged()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/qm/images/qm/qt_zh_CN.qm")));
        QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
