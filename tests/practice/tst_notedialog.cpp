// The note editor, driven as a cell opens it.
#include "NoteDialog.h"

#include "MouseEvents.h"
#include "Resources.h"

#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

QTextEdit *editor(QWidget *dialog)
{
    return dialog->findChild<QTextEdit *>(QStringLiteral("textEdit"));
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

// Chinese arrives through the input method; Return starts a new line.
void type(QTextEdit *edit, const QString &text)
{
    edit->setFocus();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(edit, Qt::Key_Return);
        QInputMethodEvent commit;
        commit.setCommitString(lines[i]);
        QApplication::sendEvent(edit, &commit);
    }
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestNoteDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void windowLook()
    {
        QPointer<NoteDialog> dialog = new NoteDialog;
        QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask,
                 Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
        QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->size(), QSize(493, 306));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Velmora之星"));
        QCOMPARE(button(dialog, "pushButton_save")->text(), QStringLiteral("保  存"));
        QVERIFY(editor(dialog)->toPlainText().isEmpty());
        QCOMPARE(editor(dialog)->document()->begin().charFormat().fontWeight(), 72);
        delete dialog;
    }

    // Other windows take no input while a note is being written.
    void modalForTheProgram()
    {
        QWidget page;
        page.show();
        QPointer<NoteDialog> dialog = new NoteDialog;
        dialog->show();
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        QVERIFY(QApplication::activeModalWidget() != &page);
        dialog->close();
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("saves");
        QTest::newRow("save") << "save" << "第一行\n第二行" << 1;
        QTest::newRow("save empty") << "save" << "" << 1;
        QTest::newRow("close button") << "close" << "没有保存" << 0;
        QTest::newRow("escape") << "escape" << "没有保存" << 0;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, saves);
        QPointer<NoteDialog> dialog = new NoteDialog;
        QSignalSpy spy(dialog.data(), &NoteDialog::sendSaveNote);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        type(editor(dialog), typed);
        if (how == QLatin1String("save"))
            QTest::mouseClick(button(dialog, "pushButton_save"), Qt::LeftButton);
        else if (how == QLatin1String("close"))
            QTest::mouseClick(button(dialog, "pushButton_exit"), Qt::LeftButton);
        else
            QTest::keyClick(editor(dialog), Qt::Key_Escape);
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(spy.count(), saves);
        if (saves)
            QCOMPARE(spy.at(0).at(0).toString(), typed);
    }

    // The store holds notes as plain text; opening and saving gives it back unchanged.
    void noteKeepsItsText_data()
    {
        QTest::addColumn<QString>("note");
        QTest::newRow("tags") << "<b>重点</b>";
        QTest::newRow("entity") << "&amp; 不是 &";
        QTest::newRow("less than") << "a<b";
        QTest::newRow("html page") << "<html><body><p>心电图</p></body></html>";
        QTest::newRow("lines") << "第一行\n第二行\n\n  缩进";
    }
    void noteKeepsItsText()
    {
        QFETCH(QString, note);
        QPointer<NoteDialog> dialog = new NoteDialog;
        QSignalSpy spy(dialog.data(), &NoteDialog::sendSaveNote);
        dialog->show();
        dialog->setText(note);
        QCOMPARE(editor(dialog)->toPlainText(), note);
        button(dialog, "pushButton_save")->click();
        flushDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), note);
    }

    void saveButtonTakesTheSkin_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<QString>("hover");
        QTest::newRow("green") << "80,153,2,255" << "100,173,2,255";
        QTest::newRow("pink, clamped") << "255,127,167,255" << "255,147,167,255";
    }
    void saveButtonTakesTheSkin()
    {
        QFETCH(QString, skin);
        QFETCH(QString, hover);
        NoteDialog *dialog = new NoteDialog;
        const QString exitStyle = button(dialog, "pushButton_exit")->styleSheet();
        dialog->setSkinColor(skin);
        QCOMPARE(button(dialog, "pushButton_save")->styleSheet(),
                 QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";"
                                "color: rgb(255, 255, 255);background-color: rgb(%1);}"
                                "QPushButton:hover{background-color: rgb(%2);}")
                     .arg(skin, hover));
        QCOMPARE(button(dialog, "pushButton_exit")->styleSheet(), exitStyle);
        delete dialog;
    }

    // Presses on the dialog's face drag it; the events carry screen positions.
    void dragging_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("otherReleasedBetween");
        QTest::addColumn<QPoint>("expectedMove");
        QTest::newRow("left drag") << int(Qt::LeftButton) << false << QPoint(70, -30);
        QTest::newRow("right drag") << int(Qt::RightButton) << false << QPoint(0, 0);
        QTest::newRow("right released during left drag") << int(Qt::LeftButton) << true << QPoint(70, -30);
    }
    void dragging()
    {
        QFETCH(int, button);
        const auto pressed = Qt::MouseButton(button);
        QFETCH(bool, otherReleasedBetween);
        QFETCH(QPoint, expectedMove);
        NoteDialog *dialog = new NoteDialog;
        dialog->show();
        dialog->move(200, 150);
        const QPoint start = dialog->pos();
        const QPoint grip = dialog->mapToGlobal(QPoint(250, 20));
        sendMouse(dialog, QEvent::MouseButtonPress, pressed, pressed, grip);
        sendMouse(dialog, QEvent::MouseMove, Qt::NoButton, pressed, grip + QPoint(30, -10));
        if (otherReleasedBetween)
            sendMouse(dialog, QEvent::MouseButtonRelease, Qt::RightButton, pressed, grip + QPoint(30, -10));
        sendMouse(dialog, QEvent::MouseMove, Qt::NoButton, pressed, grip + QPoint(70, -30));
        QCOMPARE(dialog->pos(), start + expectedMove);
        sendMouse(dialog, QEvent::MouseButtonRelease, pressed, Qt::NoButton, grip + QPoint(70, -30));
        sendMouse(dialog, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grip + QPoint(100, 100));
        QCOMPARE(dialog->pos(), start + expectedMove);
        delete dialog;
    }
};

QTEST_MAIN(TestNoteDialog)
#include "tst_notedialog.moc"
