// The helpers every other test leans on.
#include "DialogAnswerer.h"
#include "LogCapture.h"
#include "TempWorkDir.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QtTest>

class TestSupport : public QObject
{
    Q_OBJECT
private slots:
    void tempWorkDirIsCurrentAndRestored()
    {
        const QString before = QDir::currentPath();
        QString inside;
        {
            TempWorkDir dir("[Data]\nDBPath=\n");
            inside = dir.path();
            QCOMPARE(QDir::currentPath(), QDir(inside).canonicalPath());
            QFile ini(QStringLiteral("Config.ini"));
            QVERIFY(ini.open(QIODevice::ReadOnly));
            QCOMPARE(ini.readAll(), QByteArray("[Data]\nDBPath=\n"));
        }
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(!QDir(inside).exists());
    }

    void logCaptureCollectsFromThreads()
    {
        LogCapture log;
        qDebug() << "main thread line";
        QThread *t = QThread::create([] { qWarning("worker line %d", 7); });
        t->start();
        t->wait();
        delete t;
        QVERIFY(log.contains(QStringLiteral("main thread line")));
        QVERIFY(log.contains(QStringLiteral("worker line 7")));
        log.clear();
        QVERIFY(log.lines().isEmpty());
    }

    void answersAnExecedMessageBox()
    {
        bool clicked = false;
        DialogAnswerer answer([&clicked](QWidget *box) {
            clicked = DialogAnswerer::clickButton(box, "No");
            if (!clicked)
                box->close();
        });
        const int result = QMessageBox::question(nullptr, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QVERIFY(answer.answered());
        QVERIFY(clicked);
        QCOMPARE(result, int(QMessageBox::No));
        QCOMPARE(answer.dialogClass(), QStringLiteral("QMessageBox"));
    }

    void answersAShownDialog()
    {
        QDialog dialog;
        auto *ok = new QPushButton(QStringLiteral("确定"), &dialog);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        DialogAnswerer answer([](QWidget *w) { DialogAnswerer::clickButton(w, QStringLiteral("确定")); });
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(answer.wait());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    void givesUpWhenNothingAppears()
    {
        DialogAnswerer answer([](QWidget *) { QFAIL("no dialog was shown"); }, 100);
        QVERIFY(!answer.wait(300));
    }
};

QTEST_MAIN(TestSupport)
#include "tst_support.moc"
