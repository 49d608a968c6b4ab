// Skin colours and the skin picker.
#include "Skin.h"
#include "SkinDialog.h"

#include "Resources.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestSkin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void hoverColor_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("hover");
        QTest::newRow("default") << "80,153,2,255" << "100,173,2,255";
        QTest::newRow("blue skin") << "81,153,2,255" << "101,173,2,255";
        QTest::newRow("green skin") << "0,132,255,255" << "20,152,255,255";
        QTest::newRow("back skin") << "87,87,87,255" << "107,107,87,255";
        QTest::newRow("pink skin clamps red") << "255,127,167,255" << "255,147,167,255";
        QTest::newRow("green clamps too") << "240,250,0,128" << "255,255,0,128";
        QTest::newRow("not a number reads 0") << "x,10,3,4" << "20,30,3,4";
        QTest::newRow("three parts") << "80,153,2" << "100,173,2,255";
        QTest::newRow("one part") << "80" << "100,173,2,255";
        QTest::newRow("empty") << "" << "100,173,2,255";
    }
    void hoverColor()
    {
        QFETCH(QString, color);
        QFETCH(QString, hover);
        QCOMPARE(skinHoverColor(color), hover);
    }

    void buttonStyle_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("used");
        QTest::addColumn<QString>("hover");
        QTest::newRow("skin") << "80,153,2,255" << "80,153,2,255" << "100,173,2,255";
        QTest::newRow("malformed") << "1,2" << "80,153,2,255" << "100,173,2,255";
    }
    void buttonStyle()
    {
        QFETCH(QString, color);
        QFETCH(QString, used);
        QFETCH(QString, hover);
        QCOMPARE(skinButtonStyle(color),
                 QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";"
                                "color: rgb(255, 255, 255);background-color: rgb(%1);}"
                                "QPushButton:hover{background-color: rgb(%2);}")
                     .arg(used, hover));
    }

    // Every built-in skin brings its page background, bar column and slide button.
    void skinImagesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        const QList<QPair<QString, QSize>> parts = {
            {"_d.jpg", QSize(816, 700)}, {"_b.jpg", QSize(208, 700)},
            {"_in.png", QSize(10, 90)}, {"_out.png", QSize(10, 90)}};
        for (const char *name : {"blue", "green", "pink", "back"})
            for (const auto &part : parts) {
                const QString file = QLatin1String(skinFolder) + QLatin1String(name) + part.first;
                QTest::newRow(qPrintable(file)) << file << part.second;
            }
    }
    void skinImagesAreCompiledIn()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        const QImage image(file);
        QVERIFY2(!image.isNull(), qPrintable(file));
        QCOMPARE(image.size(), size);
    }

    void swatchesSendTheirSkin_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("color");
        QTest::newRow("1") << "pushButton_1" << "blue" << "81,153,2,255";
        QTest::newRow("2") << "pushButton_2" << "green" << "0,132,255,255";
        QTest::newRow("3") << "pushButton_3" << "pink" << "255,127,167,255";
        QTest::newRow("4") << "pushButton_4" << "back" << "87,87,87,255";
    }
    void swatchesSendTheirSkin()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, color);
        QPointer<SkinDialog> dialog = new SkinDialog;
        QSignalSpy spy(dialog, &SkinDialog::sendSkinDialogColor);
        dialog->show();
        auto *swatch = dialog->findChild<QPushButton *>(button);
        QVERIFY(swatch);
        QVERIFY(swatch->styleSheet().contains(QStringLiteral(":/Skin/images/Skin/%1_b.jpg").arg(name)));
        swatch->click();
        swatch->click();   // trying the same skin again sends it again
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1), (QList<QVariant>{name, color}));
        QVERIFY(dialog->isVisible());   // stays open for the next try
        delete dialog;
    }

    void closesAndDeletesItself_data()
    {
        QTest::addColumn<bool>("byLeaving");
        QTest::newRow("mouse leaves") << true;
        QTest::newRow("close button") << false;
    }
    void closesAndDeletesItself()
    {
        QFETCH(bool, byLeaving);
        QPointer<SkinDialog> dialog = new SkinDialog;
        QSignalSpy spy(dialog, &SkinDialog::sendSkinDialogColor);
        dialog->show();
        if (byLeaving) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(dialog, &leave);
        } else {
            dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit"))->click();
        }
        QVERIFY(!dialog->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());
        QCOMPARE(spy.count(), 0);
    }

    void clickOnTheFrameKeepsItOpen()
    {
        SkinDialog dialog;
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        QWidget *frame = dialog.findChild<QWidget *>(QStringLiteral("widget"));
        QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(150, 200));
        QVERIFY(dialog.isVisible());
    }

    void windowFlags()
    {
        SkinDialog dialog;
        QCOMPARE(dialog.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.size(), QSize(294, 225));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Velmora之星"));
    }

    // Given a parent, the picker is drawn inside the main window, not as a window of its own.
    void withParentItIsAChild()
    {
        QWidget main;
        auto *dialog = new SkinDialog(&main);
        QVERIFY(!dialog->isWindow());
        QCOMPARE(dialog->parentWidget(), &main);
    }
};

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
