// The exam date dialog, driven as the home page drives it.
#include "SetExamTime.h"

#include "DialogAnswerer.h"
#include "Resources.h"

#include <QDateEdit>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

QDateEdit *dateEdit(QWidget *dialog)
{
    return dialog->findChild<QDateEdit *>(QStringLiteral("dateEdit"));
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestSetExamTime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void lookAndFlags()
    {
        QPointer<SetExamTime> dialog = new SetExamTime;
        QCOMPARE(dialog->size(), QSize(513, 246));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("设置时间"));
        QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(dialog->isModal());
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("设置考试时间")));
        QCOMPARE(button(dialog, "pushButton_save")->text(), QStringLiteral("确  定"));
        QCOMPARE(dateEdit(dialog)->date(), QDate::currentDate());
        QCOMPARE(dateEdit(dialog)->alignment(), Qt::AlignCenter);
        delete dialog;
    }

    void setDateShowsIt()
    {
        SetExamTime *dialog = new SetExamTime;
        dialog->setDate(QDate(2016, 9, 10));
        QCOMPARE(dateEdit(dialog)->date(), QDate(2016, 9, 10));
        delete dialog;
    }

    void answers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("changeDate");
        QTest::addColumn<int>("emitted");
        QTest::newRow("OK, date unchanged") << "确  定" << false << 1;
        QTest::newRow("OK, date changed") << "确  定" << true << 1;
        QTest::newRow("close button") << "pushButton_exit" << true << 0;
    }
    void answers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, changeDate);
        QFETCH(int, emitted);
        QPointer<SetExamTime> dialog = new SetExamTime;
        dialog->setDate(QDate(2030, 1, 2));
        const QDate shown = changeDate ? QDate(2031, 5, 6) : QDate(2030, 1, 2);
        QList<QDate> dates;
        bool aliveDuringSlot = false;
        connect(dialog, &SetExamTime::sendDateTime, this, [&](QDate date) {
            dates << date;
            aliveDuringSlot = !dialog.isNull() && dialog->isVisible();
        });
        DialogAnswerer answerer([&](QWidget *w) {
            if (changeDate)
                dateEdit(w)->setDate(shown);
            QVERIFY(DialogAnswerer::clickButton(w, answer));
        });
        dialog->show();
        QVERIFY(answerer.wait());
        QCOMPARE(answerer.dialogClass(), QStringLiteral("SetExamTime"));
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(dates.size(), emitted);
        if (emitted) {
            QCOMPARE(dates.first(), shown);
            QVERIFY(aliveDuringSlot);
        }
    }

    void drag_data()
    {
        QTest::addColumn<QString>("grip");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("frame, left") << "widget" << int(Qt::LeftButton) << QPoint(30, 20);
        QTest::newRow("title, left") << "label_title" << int(Qt::LeftButton) << QPoint(30, 20);
        QTest::newRow("title, right") << "label_title" << int(Qt::RightButton) << QPoint(0, 0);
        QTest::newRow("frame, right") << "widget" << int(Qt::RightButton) << QPoint(0, 0);
    }
    void drag()
    {
        QFETCH(QString, grip);
        QFETCH(int, button);
        QFETCH(QPoint, moved);
        std::unique_ptr<SetExamTime> dialog(new SetExamTime);
        dialog->move(100, 100);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QPoint start = dialog->pos();
        QWidget *pressed = dialog->findChild<QWidget *>(grip);
        const QPoint at = QPoint(pressed->width() / 2, 12); // clear of the buttons and the date
        QTest::mousePress(pressed, Qt::MouseButton(button), {}, at);
        QMouseEvent move(QEvent::MouseMove, at + QPoint(30, 20), pressed->mapToGlobal(at) + QPoint(30, 20), Qt::NoButton,
                         Qt::MouseButtons(button), Qt::NoModifier);
        QApplication::sendEvent(pressed, &move);
        QCOMPARE(dialog->pos(), start + moved);
        QTest::mouseRelease(pressed, Qt::MouseButton(button), {}, at);
        dialog->hide();
    }

    void skinColor()
    {
        std::unique_ptr<SetExamTime> dialog(new SetExamTime);
        dialog->setSkinColor(QStringLiteral("80,153,2,255"));
        QCOMPARE(button(dialog.get(), "pushButton_save")->styleSheet(),
                 QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";"
                                "color: rgb(255, 255, 255);background-color: rgb(80,153,2,255);}"
                                "QPushButton:hover{background-color: rgb(100,173,2,255);}"));
    }
};

QTEST_MAIN(TestSetExamTime)
#include "tst_setexamtime.moc"
