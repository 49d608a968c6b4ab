// The busy overlay laid over a host window as its owners lay it.
#include "WaitingForm.h"

#include "Resources.h"

#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A window with a button and a keyboard shortcut on it, and the overlay
// over the window's whole area.
struct Host
{
    QWidget window;
    QPushButton *button;
    WaitingForm *overlay;

    explicit Host(QSize size = QSize(600, 400))
    {
        window.resize(size);
        window.setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 255);"));
        button = new QPushButton(QStringLiteral("下一题"), &window);
        button->setGeometry(20, size.height() - 60, 110, 45);
        button->setShortcut(QKeySequence(QStringLiteral("Right")));
        overlay = new WaitingForm(&window);
        overlay->setGeometry(0, 0, size.width(), size.height());
    }
    QMovie *movie() const { return overlay->findChild<QLabel *>(QStringLiteral("label_gif"))->movie(); }
};

} // namespace

class TestWaitingForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void animationRunsAlsoWhileHidden()
    {
        Host host;
        host.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        QMovie *movie = host.movie();
        QVERIFY(movie);
        QCOMPARE(movie->fileName(), QStringLiteral(":/Welcome/images/Welcome/waiting.gif"));
        QCOMPARE(movie->frameCount(), 12);
        QCOMPARE(movie->state(), QMovie::Running);

        host.overlay->close();
        QVERIFY(host.overlay->isHidden());
        QCOMPARE(movie->state(), QMovie::Running);
        const int frame = movie->currentFrameNumber();
        QTRY_VERIFY_WITH_TIMEOUT(movie->currentFrameNumber() != frame, 5000);
    }

    void mouseStaysAwayFromTheHost_data()
    {
        QTest::addColumn<bool>("overlayShown");
        QTest::addColumn<int>("clicks");
        QTest::newRow("overlay shown") << true << 0;
        QTest::newRow("overlay closed") << false << 1;
    }
    void mouseStaysAwayFromTheHost()
    {
        QFETCH(bool, overlayShown);
        QFETCH(int, clicks);
        Host host;
        host.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        if (!overlayShown)
            host.overlay->close();
        QSignalSpy clicked(host.button, &QPushButton::clicked);
        // Through the window, so the click lands on whatever lies on top.
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          host.button->geometry().center());
        QCOMPARE(clicked.count(), clicks);
    }

    void shortcutsStillReachTheHost()
    {
        Host host;
        host.window.show();
        QApplication::setActiveWindow(&host.window);
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QVERIFY(host.overlay->isVisible());
        QSignalSpy clicked(host.button, &QPushButton::clicked);
        QTest::keyClick(&host.window, Qt::Key_Right);
        // A shortcut presses the button for a moment before it clicks.
        QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, 5000);
    }

    void shownAgainItIsTheSameOverlay()
    {
        Host host;
        host.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        QMovie *movie = host.movie();
        host.overlay->close();
        host.overlay->show();
        QCOMPARE(host.window.findChildren<WaitingForm *>(), QList<WaitingForm *>{host.overlay});
        QVERIFY(host.overlay->isVisible());
        QCOMPARE(host.movie(), movie);
        QCOMPARE(movie->state(), QMovie::Running);
    }

    // At any size the veil covers the host and darkens it by 80 of 255, and
    // the animation keeps 40 x 40 beside its one-line text, centred both ways.
    void veilAndCentredAnimation_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("form size") << QSize(517, 245);
        QTest::newRow("exam window") << QSize(1024, 700);
        QTest::newRow("small") << QSize(320, 160);
    }
    void veilAndCentredAnimation()
    {
        QFETCH(QSize, size);
        Host host(size);
        host.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        auto *veil = host.overlay->findChild<QWidget *>(QStringLiteral("widget"));
        auto *gif = host.overlay->findChild<QLabel *>(QStringLiteral("label_gif"));
        auto *text = host.overlay->findChild<QLabel *>(QStringLiteral("label_text"));
        QCOMPARE(veil->geometry(), QRect(QPoint(0, 0), size));
        QCOMPARE(gif->size(), QSize(40, 40));
        QCOMPARE(text->text(), QStringLiteral("正在加载请稍候..."));
        QVERIFY(text->height() < 2 * text->fontMetrics().height());

        const QRect group = QRect(gif->mapTo(host.overlay, QPoint(0, 0)), gif->size())
                                .united(QRect(text->mapTo(host.overlay, QPoint(0, 0)), text->size()));
        QVERIFY(qAbs(group.center().x() - size.width() / 2) <= 1);
        QVERIFY(qAbs(group.center().y() - size.height() / 2) <= 1);

        const QColor corner = host.window.grab().toImage().pixelColor(3, 3);
        const int darkened = 255 * (255 - 80) / 255;
        QVERIFY2(qAbs(corner.red() - darkened) <= 2 && qAbs(corner.blue() - darkened) <= 2,
                 qPrintable(corner.name()));
    }
};

QTEST_MAIN(TestWaitingForm)
#include "tst_waitingform.moc"
