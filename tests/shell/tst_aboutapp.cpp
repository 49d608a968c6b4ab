// The about box: its look, the texts and logo its owner gives it, closing and dragging.
#include "AboutApp.h"

#include "Resources.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

const QString productLogo = QStringLiteral(
    "border-image: url(:/MenuIcon/images/MenuIcon/velmorazhixing_normal.png);\nfont: 75 12pt \"微软雅黑\";\n");
const QString brandLogo = QStringLiteral("border-image: url(:/MenuIcon/images/MenuIcon/corvelwang_normal.png)");

QLabel *label(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QLatin1String(name));
}

struct LogoCall
{
    int type;
    QString path;
};

void sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, const QPoint &global)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

Q_DECLARE_METATYPE(QList<LogoCall>)

class TestAboutApp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void lookAndFlags()
    {
        AboutApp box;
        QCOMPARE(box.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(box.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!box.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(box.isModal());
        QCOMPARE(box.size(), QSize(573, 332));
        QCOMPARE(box.windowTitle(), QStringLiteral("关于软件"));
        QVERIFY(label(&box, "label_title")->text().contains(QStringLiteral("关于软件")));
        QCOMPARE(label(&box, "label_logo")->styleSheet(), productLogo);
        QCOMPARE(label(&box, "label_logo")->size(), QSize(290, 78));
        QCOMPARE(label(&box, "label_message")->alignment(), Qt::AlignCenter);
        QCOMPARE(label(&box, "label_V")->alignment(), Qt::AlignCenter);
    }

    void version_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("number") << "13056" << "版本号: 13056";
        QTest::newRow("empty") << "" << "版本号: ";
    }
    void version()
    {
        QFETCH(QString, version);
        QFETCH(QString, shown);
        AboutApp box;
        box.setVersion(version);
        QCOMPARE(label(&box, "label_V")->text(), shown);
    }

    void message_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("lines");
        QTest::newRow("one line") << "客服电话：400-000-0000" << 1;
        QTest::newRow("line breaks") << "客服电话：400-000-0000\n客服QQ：10000\n工作时间：9:00-17:00" << 3;
        QTest::newRow("angle brackets stay text") << "<b>客服</b>\n<i>邮箱</i>" << 2;
    }
    void message()
    {
        QFETCH(QString, message);
        QFETCH(int, lines);
        AboutApp box;
        box.setMessage(message);
        box.show();
        QLabel *shown = label(&box, "label_message");
        QCOMPARE(shown->text(), message);
        QCOMPARE(shown->textFormat(), Qt::PlainText);
        // One line of the label's font per text line.
        const int lineHeight = QFontMetrics(shown->font()).lineSpacing();
        const int height = shown->heightForWidth(shown->width());
        QVERIFY2(height > (lines - 1) * lineHeight && height <= lines * lineHeight + 2,
                 qPrintable(QStringLiteral("%1 for lines of %2").arg(height).arg(lineHeight)));
    }

    void longMessageKeepsTheBoxSize()
    {
        AboutApp box;
        box.setMessage(QStringLiteral("如有疑问请联系客服，客服电话：400-000-0000，客服QQ：10000，"
                                      "工作时间：周一至周五 9:00-17:00，节假日休息，感谢您的支持与理解。"));
        box.show();
        QCoreApplication::processEvents();
        QCOMPARE(box.width(), 573);
    }

    void logo_data()
    {
        QTest::addColumn<QList<LogoCall>>("calls");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("brand") << QList<LogoCall>{{1, ""}} << brandLogo;
        QTest::newRow("brand ignores the path") << QList<LogoCall>{{1, "Logo/biglogo.png"}} << brandLogo;
        QTest::newRow("agent logo") << QList<LogoCall>{{0, "Logo/biglogo.png"}}
                                    << "border-image: url(Logo/biglogo.png)";
        QTest::newRow("nothing keeps the product logo") << QList<LogoCall>{{0, ""}} << productLogo;
        QTest::newRow("other type, nothing") << QList<LogoCall>{{2, ""}} << productLogo;
        QTest::newRow("brand stays") << QList<LogoCall>{{1, ""}, {0, ""}} << brandLogo;
        QTest::newRow("agent after brand") << QList<LogoCall>{{1, ""}, {0, "Logo/biglogo.png"}}
                                           << "border-image: url(Logo/biglogo.png)";
    }
    void logo()
    {
        QFETCH(QList<LogoCall>, calls);
        QFETCH(QString, sheet);
        AboutApp box;
        for (const LogoCall &call : calls)
            box.setLogo(call.type, call.path);
        QCOMPARE(label(&box, "label_logo")->styleSheet(), sheet);
    }

    void closeHides()
    {
        QPointer<AboutApp> box = new AboutApp;
        box->show();
        QVERIFY(box->isVisible());
        QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
        QVERIFY(box->isHidden());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box);
        box->show();   // shown again by its owner
        QVERIFY(box->isVisible());
        delete box;
    }

    void drag_data()
    {
        QTest::addColumn<int>("buttonValue");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("left button drags") << int(Qt::LeftButton) << QPoint(70, -25);
        QTest::newRow("right button does not") << int(Qt::RightButton) << QPoint(0, 0);
    }
    void drag()
    {
        QFETCH(int, buttonValue);
        const auto button = Qt::MouseButton(buttonValue);
        QFETCH(QPoint, moved);
        AboutApp box;
        box.move(200, 150);
        box.show();
        const QPoint start = box.pos();
        // Pressed on the logo label, which leaves presses to the dialog.
        QWidget *logo = label(&box, "label_logo");
        const QPoint press = logo->mapToGlobal(QPoint(10, 10));
        sendMouse(logo, QEvent::MouseButtonPress, button, press);
        sendMouse(&box, QEvent::MouseMove, button, press + QPoint(30, -10));
        sendMouse(&box, QEvent::MouseMove, button, press + QPoint(70, -25));
        sendMouse(&box, QEvent::MouseButtonRelease, button, press + QPoint(70, -25));
        QCOMPARE(box.pos(), start + moved);
        // After the release, moving the mouse moves nothing.
        sendMouse(&box, QEvent::MouseMove, Qt::NoButton, press + QPoint(200, 200));
        QCOMPARE(box.pos(), start + moved);
    }
};

QTEST_MAIN(TestAboutApp)
#include "tst_aboutapp.moc"
