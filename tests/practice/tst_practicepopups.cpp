// The practice page's background picker, type explanation and end-of-set summary.
#include "CellBk.h"
#include "InterpretationForm.h"
#include "ReturnQuestionsDialog.h"

#include "MouseEvents.h"
#include "Resources.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QPushButton *button(QWidget *window, const QString &name)
{
    return window->findChild<QPushButton *>(name);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

const Qt::WindowFlags popUpFlags = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint;

const QString summary = QStringLiteral("这是【慢性阻塞性肺疾病与支气管哮喘】最后一章了，您真棒!\n 总题数:50 正确:15 错误:5 未答:30");

} // namespace

class TestPracticePopups : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void pickerLook()
    {
        CellBk picker;
        QVERIFY(picker.isWindow());
        QCOMPARE(picker.windowFlags() & ~Qt::WindowType_Mask, popUpFlags);
        QVERIFY(picker.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(picker.size(), QSize(210, 110));
    }

    // Each swatch shows the colour it sends.
    void pickerSendsItsSwatch_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("colour");
        QTest::newRow("1") << "pushButton" << "bg1.png" << "243,243,243,255";
        QTest::newRow("2") << "pushButton_2" << "bg2.png" << "229,233,243,255";
        QTest::newRow("3") << "pushButton_3" << "bg3.png" << "227,225,218,255";
        QTest::newRow("4") << "pushButton_4" << "bg4.png" << "243,247,243,255";
        QTest::newRow("5") << "pushButton_5" << "bg5.png" << "239,227,241,255";
        QTest::newRow("6") << "pushButton_6" << "bg6.png" << "255,255,255,255";
        QTest::newRow("7") << "pushButton_7" << "bg7.png" << "241,233,217,255";
        QTest::newRow("8") << "pushButton_8" << "bg8.png" << "48,48,48,255";
    }
    void pickerSendsItsSwatch()
    {
        QFETCH(QString, button);
        QFETCH(QString, image);
        QFETCH(QString, colour);
        CellBk picker;
        QSignalSpy spy(&picker, &CellBk::sendBkData);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QPushButton *swatch = ::button(&picker, button);
        QVERIFY(swatch);
        QCOMPARE(swatch->size(), QSize(34, 34));
        QTest::mouseClick(swatch, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), image);
        QCOMPARE(spy.at(0).at(1).toString(), colour);
        QVERIFY(picker.isVisible());

        const QStringList rgba = colour.split(QLatin1Char(','));
        const QColor shown = swatch->grab().toImage().pixelColor(17, 17);
        QCOMPARE(shown, QColor(rgba[0].toInt(), rgba[1].toInt(), rgba[2].toInt(), rgba[3].toInt()));
    }

    void pickerCalledFromElsewhereSendsWhite()
    {
        CellBk picker;
        QSignalSpy spy(&picker, &CellBk::sendBkData);
        QVERIFY(QMetaObject::invokeMethod(&picker, "receiveBkButtonSLot"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("bg6.png"));
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("255,255,255,255"));
    }

    void leavingHidesWithoutDeleting_data()
    {
        QTest::addColumn<bool>("picker");
        QTest::newRow("background picker") << true;
        QTest::newRow("type explanation") << false;
    }
    void leavingHidesWithoutDeleting()
    {
        QFETCH(bool, picker);
        QPointer<QWidget> popUp = picker ? static_cast<QWidget *>(new CellBk) : new InterpretationForm;
        QSignalSpy spy(popUp.data(), SIGNAL(destroyed()));
        popUp->show();
        QVERIFY(popUp->isVisible());
        leave(popUp);
        flushDeletes();
        QVERIFY(!popUp.isNull());
        QVERIFY(!popUp->isVisible());
        QCOMPARE(spy.count(), 0);
        delete popUp;
    }

    void explanationLook()
    {
        InterpretationForm form;
        QVERIFY(form.isWindow());
        QCOMPARE(form.windowFlags() & ~Qt::WindowType_Mask, popUpFlags);
        QVERIFY(form.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(form.size(), QSize(580, 340));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The picture covers the window: its card is painted in the middle.
        QCOMPARE(qAlpha(form.grab().toImage().pixel(290, 170)), 255);
    }

    void summaryLook()
    {
        auto *dialog = new ReturnQuestionsDialog;
        QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->size(), QSize(576, 312));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_text"))->text(), QStringLiteral("正确多少题错误多少题。"));
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("章节学习报告")));
        QCOMPARE(button(dialog, QStringLiteral("pushButton_returnquestions"))->text(), QStringLiteral("返回题库"));
        delete dialog;
    }

    void summaryAnswers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("emitted");   // -1: nothing
        QTest::addColumn<QString>("leftText");
        for (int mode : {0, 1, 2, 5}) {
            const QString left = mode == 1 ? QStringLiteral("取消") : QStringLiteral("下一节");
            const int next = mode == 0 || mode == 2 ? 0 : -1;
            const QByteArray m = QByteArray::number(mode);
            QTest::newRow("mode " + m + ", left") << mode << "pushButton_next" << next << left;
            QTest::newRow("mode " + m + ", 返回题库") << mode << "pushButton_returnquestions" << 1 << left;
            QTest::newRow("mode " + m + ", close") << mode << "pushButton_exit" << -1 << left;
        }
    }
    void summaryAnswers()
    {
        QFETCH(int, mode);
        QFETCH(QString, button);
        QFETCH(int, emitted);
        QFETCH(QString, leftText);
        QPointer<ReturnQuestionsDialog> dialog = new ReturnQuestionsDialog;
        dialog->setMode(summary, mode);
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_text"))->text(), summary);
        QCOMPARE(::button(dialog, QStringLiteral("pushButton_next"))->text(), leftText);
        QList<int> received;
        bool openWhenEmitted = false;
        connect(dialog.data(), &ReturnQuestionsDialog::sendReturnQuestions, this, [&](int target) {
            received << target;
            openWhenEmitted = dialog && dialog->isVisible();
        });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::mouseClick(::button(dialog, button), Qt::LeftButton);
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(received, emitted < 0 ? QList<int>() : QList<int>{emitted});
        QCOMPARE(openWhenEmitted, emitted >= 0);
    }

    void summaryButtonsTakeTheSkin()
    {
        auto *dialog = new ReturnQuestionsDialog;
        dialog->setSkinColor(QStringLiteral("255,127,167,255"));
        const QString style = QStringLiteral(
            "QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";color: rgb(255, 255, 255);"
            "background-color: rgb(255,127,167,255);}QPushButton:hover{background-color: rgb(255,147,167,255);}");
        QCOMPARE(button(dialog, QStringLiteral("pushButton_next"))->styleSheet(), style);
        QCOMPARE(button(dialog, QStringLiteral("pushButton_returnquestions"))->styleSheet(), style);
        delete dialog;
    }

    // Any point of the face drags the summary: a press on the text reaches the dialog.
    void summaryDragsByItsFace_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("expectedMove");
        QTest::newRow("left") << int(Qt::LeftButton) << QPoint(-40, 25);
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(0, 0);
    }
    void summaryDragsByItsFace()
    {
        QFETCH(int, button);
        const auto pressed = Qt::MouseButton(button);
        QFETCH(QPoint, expectedMove);
        auto *dialog = new ReturnQuestionsDialog;
        dialog->setMode(summary, 0);
        dialog->show();
        dialog->move(300, 200);
        const QPoint start = dialog->pos();
        auto *text = dialog->findChild<QLabel *>(QStringLiteral("label_text"));
        const QPoint grip = text->mapToGlobal(QPoint(20, 10));
        sendMouse(text, QEvent::MouseButtonPress, pressed, pressed, grip);
        sendMouse(text, QEvent::MouseMove, Qt::NoButton, pressed, grip + QPoint(-40, 25));
        sendMouse(text, QEvent::MouseButtonRelease, pressed, Qt::NoButton, grip + QPoint(-40, 25));
        QCOMPARE(dialog->pos(), start + expectedMove);
        delete dialog;
    }
};

QTEST_MAIN(TestPracticePopups)
#include "tst_practicepopups.moc"
