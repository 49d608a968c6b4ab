// See-through frameless windows on desktops with and without a compositing
// manager: without one the ground is opaque (the X server would paint it
// black), with one it stays see-through; widgets inside a window always are.
#include "Translucency.h"

#include "AboutApp.h"
#include "CellBk.h"
#include "ChoiceDialog.h"
#include "ClearQuestionsRecord.h"
#include "ConfigDialog.h"
#include "DataRecoveryWidget.h"
#include "FeedBaceDialog.h"
#include "FontBk.h"
#include "InterpretationForm.h"
#include "MainWidget.h"
#include "MoveFunctionsForm.h"
#include "MyMessageBox.h"
#include "NoteDialog.h"
#include "Resources.h"
#include "ReturnQuestionsDialog.h"
#include "SelectSubjectsDialog.h"
#include "SetExamTime.h"
#include "SkinDialog.h"
#include "TempWorkDir.h"
#include "WelcomeWidget.h"
#include "YtRadioExamForm.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Factory = std::function<QWidget *()>;

const QMap<QString, Factory> &windows()
{
    static const QMap<QString, Factory> all = {
        {QStringLiteral("AboutApp"), [] { return new AboutApp; }},
        {QStringLiteral("CellBk"), [] { return new CellBk; }},
        {QStringLiteral("ChoiceDialog"), [] { return new ChoiceDialog; }},
        {QStringLiteral("ClearQuestionsRecord"), [] { return new ClearQuestionsRecord; }},
        {QStringLiteral("ConfigDialog"), [] { return new ConfigDialog; }},
        {QStringLiteral("DataRecoveryWidget"), [] { return new DataRecoveryWidget; }},
        {QStringLiteral("FeedBaceDialog"), [] { return new FeedBaceDialog; }},
        {QStringLiteral("FontBk"), [] { return new FontBk; }},
        {QStringLiteral("InterpretationForm"), [] { return new InterpretationForm; }},
        {QStringLiteral("MainWidget"), [] { return new MainWidget; }},
        {QStringLiteral("MoveFunctionsForm"), [] { return new MoveFunctionsForm; }},
        {QStringLiteral("MyMessageBox"), [] { return new MyMessageBox; }},
        {QStringLiteral("NoteDialog"), [] { return new NoteDialog; }},
        {QStringLiteral("ReturnQuestionsDialog"), [] { return new ReturnQuestionsDialog; }},
        {QStringLiteral("SelectSubjectsDialog"), [] { return new SelectSubjectsDialog; }},
        {QStringLiteral("SetExamTime"), [] { return new SetExamTime; }},
        {QStringLiteral("WelcomeWidget"), [] { return new WelcomeWidget; }},
        {QStringLiteral("YtRadioExamForm"), [] { return new YtRadioExamForm; }},
    };
    return all;
}

// The window drawn on a fully transparent image: its corner pixel.
QRgb corner(QWidget *window)
{
    window->show();
    QImage shot(window->size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    window->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return shot.pixel(0, 0);
}

} // namespace

class TestTranslucency : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init() { work = std::make_unique<TempWorkDir>(); }
    void cleanup()
    {
        Translucency::assumeDesktop(std::nullopt);
        work.reset();
    }

    void groundFollowsTheDesktop_data()
    {
        QTest::addColumn<QString>("window");
        for (const QString &name : windows().keys())
            QTest::newRow(qPrintable(name)) << name;
    }
    void groundFollowsTheDesktop()
    {
        QFETCH(QString, window);
        Translucency::assumeDesktop(false);
        std::unique_ptr<QWidget> opaque(windows().value(window)());
        QVERIFY(opaque->isWindow());
        QVERIFY(opaque->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!opaque->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(qAlpha(corner(opaque.get())), 255);

        Translucency::assumeDesktop(true);
        std::unique_ptr<QWidget> clear(windows().value(window)());
        QVERIFY(clear->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!clear->autoFillBackground());
    }

    // Drawn by its parent window, which is opaque itself when it must be.
    void insideAWindowStaysClear()
    {
        Translucency::assumeDesktop(false);
        QWidget window;
        window.resize(400, 300);
        auto *dialog = new SkinDialog(&window);
        QVERIFY(!dialog->isWindow());
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!dialog->autoFillBackground());
    }

    void offscreenComposes()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(Translucency::desktopComposites());
        FontBk picker;
        QVERIFY(picker.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(qAlpha(corner(&picker)), 0);
    }

private:
    std::unique_ptr<TempWorkDir> work;
};

QTEST_MAIN(TestTranslucency)
#include "tst_translucency.moc"
