// The message box and the confirmation dialog, driven as pages drive them.
#include "ChoiceDialog.h"
#include "MyMessageBox.h"

#include "DialogAnswerer.h"
#include "Resources.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString greenSheet = QStringLiteral(
    "QPushButton{\nborder-image: none;\nborder-radius:5px;\nfont: 14pt \"微软雅黑\";\n"
    "color: rgb(255, 255, 255);\nbackground-color: rgb(85, 170, 0);\n}"
    "QPushButton:hover{\n\tbackground-color: rgb(85, 170, 0);\n}\n");

const QString skinnedSheet = QStringLiteral(
    "QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";"
    "color: rgb(255, 255, 255);background-color: rgb(80,153,2,255);}"
    "QPushButton:hover{background-color: rgb(100,173,2,255);}");

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

QLabel *label(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QLatin1String(name));
}

// Runs the deferred deletes a close with WA_DeleteOnClose leaves behind.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void lookAndFlags_data()
    {
        QTest::addColumn<bool>("choice");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("message box") << false << QSize(513, 251) << "提醒";
        QTest::newRow("choice") << true << QSize(513, 246) << "您确定要退出吗？";
    }
    void lookAndFlags()
    {
        QFETCH(bool, choice);
        QFETCH(QSize, size);
        QFETCH(QString, message);
        std::unique_ptr<QDialog> dialog(choice ? static_cast<QDialog *>(new ChoiceDialog)
                                               : static_cast<QDialog *>(new MyMessageBox));
        QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(dialog->testAttribute(Qt::WA_DeleteOnClose), choice);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->size(), size);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("提示"));
        QVERIFY(label(dialog.get(), "label_title")->text().contains(QStringLiteral("提示")));
        QCOMPARE(label(dialog.get(), "label_message")->text(), message);
        QVERIFY(label(dialog.get(), "label_message")->wordWrap());
        QCOMPARE(label(dialog.get(), "label_message")->alignment(), Qt::AlignCenter);
        QCOMPARE(button(dialog.get(), "pushButton_save")->text(), QStringLiteral("确  定"));
        QCOMPARE(button(dialog.get(), "pushButton_save")->styleSheet(), greenSheet);
    }

    void textsGoIntoTheLabels()
    {
        MyMessageBox box;
        box.setTitle(QStringLiteral("考试提醒"));
        box.setMessage(QStringLiteral("<b>考试日期已过</b>"));
        QCOMPARE(label(&box, "label_title")->text(), QStringLiteral("考试提醒"));
        QCOMPARE(label(&box, "label_message")->text(), QStringLiteral("<b>考试日期已过</b>"));
        auto *choice = new ChoiceDialog;
        choice->setTitle(QStringLiteral("删除"));
        choice->setMessage(QStringLiteral("确定要删除吗？"));
        QCOMPARE(label(choice, "label_title")->text(), QStringLiteral("删除"));
        QCOMPARE(label(choice, "label_message")->text(), QStringLiteral("确定要删除吗？"));
        delete choice;
    }

    void skinColor_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("skin") << "80,153,2,255" << skinnedSheet;
        QTest::newRow("empty keeps green") << "" << greenSheet;
    }
    void skinColor()
    {
        QFETCH(QString, color);
        QFETCH(QString, sheet);
        MyMessageBox box;
        box.setSkinColor(color);
        QCOMPARE(button(&box, "pushButton_save")->styleSheet(), sheet);
        auto *choice = new ChoiceDialog;
        choice->setSkinColor(color);
        QCOMPARE(button(choice, "pushButton_save")->styleSheet(), sheet);
        QCOMPARE(button(choice, "pushButton_save_2")->styleSheet(), sheet);
        delete choice;
    }

    void choiceAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("modalLoop");
        QTest::addColumn<int>("oks");
        QTest::newRow("OK, shown") << "确  定" << false << 1;
        QTest::newRow("OK, exec") << "确  定" << true << 1;
        QTest::newRow("cancel") << "取消" << false << 0;
        QTest::newRow("close button") << "pushButton_exit" << false << 0;
    }
    void choiceAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, modalLoop);
        QFETCH(int, oks);
        QPointer<ChoiceDialog> dialog = new ChoiceDialog;
        dialog->setSkinColor(QStringLiteral("80,153,2,255"));
        dialog->setMessage(QStringLiteral("确定要退出程序吗？"));
        int runs = 0;
        bool aliveDuringSlot = false;
        connect(dialog, &ChoiceDialog::sendOk, this, [&] {
            ++runs;
            aliveDuringSlot = !dialog.isNull() && dialog->isVisible();
        });
        DialogAnswerer answerer([&](QWidget *w) { QVERIFY(DialogAnswerer::clickButton(w, answer)); });
        if (modalLoop)
            dialog->exec();
        else
            dialog->show();
        QVERIFY(answerer.wait());
        QCOMPARE(answerer.dialogClass(), QStringLiteral("ChoiceDialog"));
        flushDeletes();
        QCOMPARE(runs, oks);
        QCOMPARE(aliveDuringSlot, oks > 0);
        QVERIFY(dialog.isNull());
    }

    void escapeClosesAChoiceWithoutOk()
    {
        QPointer<ChoiceDialog> dialog = new ChoiceDialog;
        QSignalSpy spy(dialog, &ChoiceDialog::sendOk);
        dialog->show();
        QTest::keyClick(dialog, Qt::Key_Escape);
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(spy.count(), 0);
    }

    void messageBoxOnlyHides_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("modalLoop");
        QTest::newRow("OK, shown") << "确  定" << false;
        QTest::newRow("OK, exec") << "确  定" << true;
        QTest::newRow("close button, shown") << "pushButton_exit" << false;
    }
    void messageBoxOnlyHides()
    {
        QFETCH(QString, answer);
        QFETCH(bool, modalLoop);
        QPointer<MyMessageBox> box = new MyMessageBox;
        box->setMessage(QStringLiteral("本组试题已做完"));
        for (int round = 0; round < 2; ++round) {   // the page shows the same box again
            DialogAnswerer answerer([&](QWidget *w) { QVERIFY(DialogAnswerer::clickButton(w, answer)); });
            if (modalLoop)
                box->exec();
            else
                box->show();
            QVERIFY(answerer.wait());
            QCOMPARE(answerer.dialogClass(), QStringLiteral("MyMessageBox"));
            flushDeletes();
            QVERIFY(!box.isNull());
            QVERIFY(!box->isVisible());
        }
        delete box;
    }

    void shownDialogIsApplicationModal()
    {
        MyMessageBox box;
        box.show();
        QCOMPARE(box.windowModality(), Qt::ApplicationModal);
        QCOMPARE(QApplication::activeModalWidget(), &box);
        box.close();
    }

    void drag_data()
    {
        QTest::addColumn<bool>("choice");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("box, left") << false << int(Qt::LeftButton) << QPoint(30, 20);
        QTest::newRow("box, right") << false << int(Qt::RightButton) << QPoint(0, 0);
        QTest::newRow("choice, left") << true << int(Qt::LeftButton) << QPoint(30, 20);
        QTest::newRow("choice, right") << true << int(Qt::RightButton) << QPoint(0, 0);
    }
    void drag()
    {
        QFETCH(bool, choice);
        QFETCH(int, button);
        QFETCH(QPoint, moved);
        std::unique_ptr<QDialog> dialog(choice ? static_cast<QDialog *>(new ChoiceDialog)
                                               : static_cast<QDialog *>(new MyMessageBox));
        dialog->move(100, 100);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QPoint start = dialog->pos();
        // Presses on the frame and the labels reach the dialog.
        QWidget *grip = label(dialog.get(), "label_message");
        const QPoint at = grip->rect().center();
        QTest::mousePress(grip, Qt::MouseButton(button), {}, at);
        const Qt::MouseButtons held(button);
        QMouseEvent move(QEvent::MouseMove, at + QPoint(30, 20), grip->mapToGlobal(at) + QPoint(30, 20),
                         Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(grip, &move);
        QCOMPARE(dialog->pos(), start + moved);
        QTest::mouseRelease(grip, Qt::MouseButton(button), {}, at);
        QMouseEvent after(QEvent::MouseMove, at, grip->mapToGlobal(at) + QPoint(60, 60), Qt::NoButton,
                          held, Qt::NoModifier);
        QApplication::sendEvent(grip, &after);
        QCOMPARE(dialog->pos(), start + moved);   // released: no more moving
        dialog->hide();
    }

    // A long message wraps inside the label instead of running out of it.
    void longMessageWraps()
    {
        MyMessageBox box;
        box.setMessage(QString(60, QChar(0x9898)));
        QLabel *message = label(&box, "label_message");
        QCOMPARE(message->geometry(), QRect(70, 70, 361, 61));
        QVERIFY(message->heightForWidth(361) > message->fontMetrics().height());
    }
};

QTEST_MAIN(TestMessageDialogs)
#include "tst_messagedialogs.moc"
