// The font-size pop-up.
#include "FontBk.h"

#include "Resources.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestFontBk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void buttonsSendTheirSize_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("large") << "pushButton_1" << "大" << 14;
        QTest::newRow("middle") << "pushButton_2" << "中" << 12;
        QTest::newRow("small") << "pushButton_3" << "小" << 10;
    }
    void buttonsSendTheirSize()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(int, size);
        FontBk picker;
        QSignalSpy spy(&picker, &FontBk::sendFontData);
        picker.show();
        auto *b = picker.findChild<QPushButton *>(button);
        QVERIFY(b);
        QCOMPARE(b->text(), text);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), size);
        QVERIFY(picker.isVisible());
    }

    void severalChoicesInARow()
    {
        FontBk picker;
        QSignalSpy spy(&picker, &FontBk::sendFontData);
        picker.show();
        picker.findChild<QPushButton *>(QStringLiteral("pushButton_1"))->click();
        picker.findChild<QPushButton *>(QStringLiteral("pushButton_3"))->click();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 14);
        QCOMPARE(spy.at(1).at(0).toInt(), 10);
        QVERIFY(picker.isVisible());
    }

    void directCallSendsMiddle()
    {
        FontBk picker;
        QSignalSpy spy(&picker, &FontBk::sendFontData);
        QVERIFY(QMetaObject::invokeMethod(&picker, "receiveButtonSLot"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 12);
    }

    void leavingHidesWithoutSending()
    {
        FontBk picker;
        QSignalSpy spy(&picker, &FontBk::sendFontData);
        picker.show();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&picker, &leave);
        QVERIFY(!picker.isVisible());
        QCOMPARE(spy.count(), 0);
    }

    // The click that closes the picker reaches nothing else.
    void clickElsewhereOnlyHides()
    {
        QPushButton under(QStringLiteral("A"));
        under.setGeometry(100, 300, 200, 60);
        under.show();
        QVERIFY(QTest::qWaitForWindowExposed(&under));
        QSignalSpy answered(&under, &QPushButton::clicked);
        FontBk picker;
        QSignalSpy sent(&picker, &FontBk::sendFontData);
        picker.move(100, 100);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QTest::mouseClick(&under, Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(answered.count(), 0);
        QCOMPARE(sent.count(), 0);
        // Once it is gone, clicks go where they are aimed again.
        QTest::mouseClick(&under, Qt::LeftButton);
        QCOMPARE(answered.count(), 1);
    }

    void clickInsideKeepsThePicker()
    {
        FontBk picker;
        QSignalSpy sent(&picker, &FontBk::sendFontData);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(100, 20));
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
        QVERIFY(picker.isVisible());
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.at(0).at(0).toInt(), 10);
    }

    void windowLook()
    {
        FontBk picker;
        QVERIFY(picker.isWindow());
        QCOMPARE(picker.windowFlags() & ~Qt::WindowType_Mask,
                 Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
        QVERIFY(picker.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(picker.size(), QSize(210, 92));
    }

    // The corners and the strip above the callout show what lies behind.
    void cornersAreTransparent()
    {
        FontBk picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QImage shot(picker.size(), QImage::Format_ARGB32_Premultiplied);
        shot.fill(Qt::transparent);
        picker.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(qAlpha(shot.pixel(1, 1)), 0);
        QCOMPARE(qAlpha(shot.pixel(30, 3)), 0);
        QCOMPARE(qAlpha(shot.pixel(208, 90)), 0);
        QCOMPARE(qAlpha(shot.pixel(100, 75)), 255);   // the body is painted
    }
};

QTEST_MAIN(TestFontBk)
#include "tst_fontbk.moc"
