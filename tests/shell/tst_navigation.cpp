// The navigation bar and its more-functions panel, driven as the main window
// and the user drive them.
#include "MoveFunctionsForm.h"
#include "NavigationForm.h"
#include "PushButton.h"

#include "FixtureBank.h"
#include "Resources.h"
#include "SqliteClass.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimeLine>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

const QString pageFolder = QStringLiteral(":/HomePage/images/HomePage/");
const QString formSlideSheet = QStringLiteral(
    "QPushButton{\nborder-image: url(:/MenuIcon/images/MenuIcon/zhankaixiangyou.png);\n}\n"
    "QPushButton:hover{\n\tborder-image: url(:/MenuIcon/images/MenuIcon/zhankaixiangyouhover.png);\n}");

QString normalSheet(const QString &base)
{
    return QStringLiteral("QPushButton{background-color: transparent;border-image: url(%1_normal.png)}"
                          "QPushButton:hover{background-color: transparent;border-image: url(%1_hover.png)}")
        .arg(pageFolder + base);
}

QString selectedSheet(const QString &base)
{
    return QStringLiteral("QPushButton{border-image: url(%1_hover.png)}").arg(pageFolder + base);
}

QString slideSheet(const QString &image)
{
    return QStringLiteral("QPushButton{border-image: url(%1); }").arg(image);
}

// Page number → button and image base.
const QList<QPair<QString, QString>> pageTable = {
    {"pushButton_HomePage", "shouye"},
    {"pushButton_ExamQuestions", "kaoshitiku"},
    {"pushButton_ErrorQuestion", "cuotichongzuo"},
    {"pushButton_Collection", "wodeshoucang"},
    {"pushButton_UserText", "xuexibiji"},
    {"pushButton_SimulatedExamination", "monikaochang"},
    {"pushButton_Talk", "renjiduihua"},
    {"pushButton_FindQuestion", "shitichazhao"},
    {"pushButton_wenguzhixin", "wenguzhixin"},
    {"pushButton_kuaisubeiti", "kuaisubeiti"},
    {"pushButton_xuexibaogao", "xuexibaogao"},
    {"pushButton_yati", "yatiban"},
};

using Frames = QList<QPair<int, int>>;

Frames framesOf(const QSignalSpy &spy)
{
    Frames frames;
    for (const QList<QVariant> &args : spy)
        frames.append({args.at(0).toInt(), args.at(1).toInt()});
    return frames;
}

QList<QTimeLine *> runningTimeLines(const QWidget &bar)
{
    QList<QTimeLine *> running;
    for (QTimeLine *line : bar.findChildren<QTimeLine *>())
        if (line->state() == QTimeLine::Running)
            running.append(line);
    return running;
}

// Plays the one running time line by hand, so every frame arrives once.
void playFrames(const QWidget &bar)
{
    const QList<QTimeLine *> running = runningTimeLines(bar);
    QCOMPARE(running.size(), 1);
    QTimeLine *line = running.first();
    line->stop();
    for (int ms : {150, 250, 300})
        line->setCurrentTime(ms);
}

// Stands in for the main window: records what the panel sends it.
class RecordingWindow : public QWidget
{
    Q_OBJECT
public:
    QList<int> pages;
    QList<int> functions;
public slots:
    void receiveButtonSlot(int id) { pages.append(id); }
    void receiveMoveFunctionOutOutline(int code) { functions.append(code); }
};

// The main window's arrangement: bar collapsed at the left edge of 1024 × 700.
struct Shell
{
    RecordingWindow window;
    NavigationForm *bar;

    Shell()
    {
        window.resize(1024, 700);
        bar = new NavigationForm(&window);
        bar->setGeometry(-200, 0, 220, 700);
        bar->updateSlideStep();
        window.show();
    }

    template <typename T = QPushButton>
    T *button(const QString &name) const
    {
        return bar->findChild<T *>(name);
    }
    QPushButton *slideButton() const { return button(QStringLiteral("pushButton_hover")); }
    QWidget *widgetLeft() const { return bar->findChild<QWidget *>(QStringLiteral("widget_left")); }

    // Slides in and waits for the last frame.
    bool expand()
    {
        bar->slideIn();
        return QTest::qWaitFor([this] { return runningTimeLines(*bar).isEmpty() && bar->x() == -2; }, 5000);
    }

    MoveFunctionsForm *openPanel()
    {
        QTest::mouseClick(button(QStringLiteral("pushButton_movefuntions")), Qt::LeftButton);
        return panel();
    }

    static MoveFunctionsForm *panel()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<MoveFunctionsForm *>(w))
                return found;
        return nullptr;
    }

    bool sendEnterToSlideButton()
    {
        QEvent enter(QEvent::Enter);
        return bar->eventFilter(slideButton(), &enter);
    }
};

QStringList visibleTexts(QWidget *panel)
{
    QStringList texts;
    for (QPushButton *b : panel->findChildren<QPushButton *>())
        if (b->isVisibleTo(panel))
            texts.append(b->text());
    return texts;
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureBank> bank;

    void openBank(bool withSyllabus)
    {
        bank = std::make_unique<FixtureBank>();
        if (!withSyllabus)
            bank->addSql(QStringLiteral("delete from examOutline"));
        QVERIFY2(bank->open(), qPrintable(bank->error()));
        QCOMPARE(SqliteClass::instance()->openDatabase(bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0),
                 2);
    }

private slots:
    void initTestCase() { initResources(); }

    void cleanup()
    {
        SqliteClass::instance()->closeDatabase();
        bank.reset();
    }

    void construction()
    {
        Shell shell;
        NavigationForm *bar = shell.bar;
        QVERIFY(!bar->isWindow());
        QVERIFY(bar->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(bar->objectName(), QStringLiteral("NavigationForm"));
        QCOMPARE(bar->minimumWidth(), 220);
        QCOMPARE(bar->maximumWidth(), 220);
        QVERIFY(bar->findChild<QWidget *>(QStringLiteral("widget_user"))->testAttribute(Qt::WA_TranslucentBackground));
        for (const char *hidden : {"pushButton_login", "pushButton_many", "pushButton_username"})
            QVERIFY2(shell.button(QLatin1String(hidden))->isHidden(), hidden);
        QCOMPARE(shell.button(QStringLiteral("pushButton_movefuntions"))->focusPolicy(), Qt::NoFocus);
        QCOMPARE(shell.slideButton()->styleSheet(), formSlideSheet);
        // The slide button stands whole in the 12-pixel column right of the
        // buttons, vertically centred.
        QCOMPARE(shell.widgetLeft()->geometry(), QRect(0, 0, 208, 700));
        QCOMPARE(shell.slideButton()->geometry().size(), QSize(10, 90));
        const QPoint slideCorner = shell.slideButton()->mapTo(bar, QPoint(0, 0));
        QVERIFY2(slideCorner.x() >= 208 && slideCorner.x() + 10 <= 220, qPrintable(QString::number(slideCorner.x())));
        QCOMPARE(slideCorner.y(), (700 - 90) / 2);
        QVERIFY(runningTimeLines(*bar).isEmpty());
        QVERIFY(!Shell::panel());
    }

    void pageButtons_data()
    {
        QTest::addColumn<int>("id");
        for (int id = 0; id < pageTable.size(); ++id)
            QTest::newRow(qPrintable(pageTable.at(id).first)) << id;
    }
    void pageButtons()
    {
        QFETCH(int, id);
        Shell shell;
        auto *button = shell.button<PushButton>(pageTable.at(id).first);
        QVERIFY(button);
        QCOMPARE(button->styleSheet(), normalSheet(pageTable.at(id).second));
        QCOMPARE(button->id(), id);
        QCOMPARE(button->text(), QString());
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QCOMPARE(button->size(), QSize(208, 47));
    }

    void clicks_data()
    {
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<int>("selected");
        QTest::newRow("one") << QList<int>{6} << 6;
        QTest::newRow("another puts the first back") << QList<int>{1, 4} << 4;
        QTest::newRow("the selected again") << QList<int>{2, 2} << 2;
        QTest::newRow("back and forth") << QList<int>{11, 0, 11} << 11;
    }
    void clicks()
    {
        QFETCH(QList<int>, clicked);
        QFETCH(int, selected);
        Shell shell;
        QSignalSpy spy(shell.bar, &NavigationForm::sendClickedButtonId);
        for (int id : clicked)
            QTest::mouseClick(shell.button(pageTable.at(id).first), Qt::LeftButton);
        QList<int> emitted;
        for (const QList<QVariant> &args : spy)
            emitted.append(args.at(0).toInt());
        QCOMPARE(emitted, clicked);
        for (int id = 0; id < pageTable.size(); ++id) {
            const QString base = pageTable.at(id).second;
            QCOMPARE(shell.button(pageTable.at(id).first)->styleSheet(),
                     id == selected ? selectedSheet(base) : normalSheet(base));
        }
    }

    void firstClickResetsNoButton()
    {
        Shell shell;
        // Nothing was chosen yet: a click must not reset any button, page 0 included.
        shell.button<PushButton>(pageTable.at(0).first)->applyState(2);
        QTest::mouseClick(shell.button(pageTable.at(5).first), Qt::LeftButton);
        QCOMPARE(shell.button(pageTable.at(0).first)->styleSheet(), selectedSheet(pageTable.at(0).second));
        QCOMPARE(shell.button(pageTable.at(5).first)->styleSheet(), selectedSheet(pageTable.at(5).second));
    }

    void programmaticClicks_data()
    {
        QTest::addColumn<bool>("home");
        QTest::addColumn<int>("id");
        QTest::newRow("home") << true << 0;
        QTest::newRow("question bank") << false << 1;
    }
    void programmaticClicks()
    {
        QFETCH(bool, home);
        QFETCH(int, id);
        Shell shell;
        QSignalSpy spy(shell.bar, &NavigationForm::sendClickedButtonId);
        home ? shell.bar->clickHome() : shell.bar->clickExamQuestions();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), id);
        QCOMPARE(shell.button(pageTable.at(id).first)->styleSheet(), selectedSheet(pageTable.at(id).second));
    }

    void yatiButtonVisibility()
    {
        Shell shell;
        QPushButton *yati = shell.button(QStringLiteral("pushButton_yati"));
        shell.bar->setYatiButtonVisible(false);
        QVERIFY(!yati->isVisible());
        shell.bar->setYatiButtonVisible(true);
        QVERIFY(yati->isVisible());
    }

    void timeLines()
    {
        Shell shell;
        shell.bar->slideIn();
        const QList<QTimeLine *> running = runningTimeLines(*shell.bar);
        QCOMPARE(running.size(), 1);
        QCOMPARE(running.first()->duration(), 300);
        QCOMPARE(running.first()->startFrame(), 0);
        QCOMPARE(running.first()->endFrame(), 3);
        QCOMPARE(running.first()->easingCurve().type(), QEasingCurve::Linear);
    }

    void slideFrames_data()
    {
        QTest::addColumn<bool>("in");
        QTest::addColumn<Frames>("frames");
        QTest::newRow("in") << true << Frames{{-134, 1}, {-68, 2}, {-2, 3}};
        QTest::newRow("out") << false << Frames{{-68, 1}, {-134, 2}, {-200, 3}};
    }
    void slideFrames()
    {
        QFETCH(bool, in);
        QFETCH(Frames, frames);
        Shell shell;
        if (!in)
            QVERIFY(shell.expand());
        QSignalSpy spy(shell.bar, in ? &NavigationForm::sendHoverIn : &NavigationForm::sendHoverOut);
        in ? shell.bar->slideIn() : shell.bar->slideOut();
        playFrames(*shell.bar);
        QCOMPARE(framesOf(spy), frames);
        QCOMPARE(shell.bar->pos(), QPoint(frames.last().first, 0));
    }

    void slideRunsOnItsOwn()
    {
        Shell shell;
        QSignalSpy in(shell.bar, &NavigationForm::sendHoverIn);
        QSignalSpy out(shell.bar, &NavigationForm::sendHoverOut);
        shell.bar->slideIn();
        QTRY_VERIFY_WITH_TIMEOUT(!in.isEmpty() && in.last().at(1).toInt() == 3, 5000);
        QCOMPARE(framesOf(in).last(), qMakePair(-2, 3));
        shell.bar->slideOut();
        QTRY_VERIFY_WITH_TIMEOUT(!out.isEmpty() && out.last().at(1).toInt() == 3, 5000);
        QCOMPARE(framesOf(out).last(), qMakePair(-200, 3));
        QCOMPARE(shell.bar->x(), -200);
    }

    void slideInDuringSlideOutTakesOver()
    {
        Shell shell;
        QVERIFY(shell.expand());
        QSignalSpy in(shell.bar, &NavigationForm::sendHoverIn);
        shell.bar->slideOut();
        runningTimeLines(*shell.bar).first()->stop();
        shell.bar->SLOTTimerHoverOut(1);
        shell.bar->slideIn();
        // The slide-out is stopped; the slide-in starts from where the bar
        // stands and never runs past its end.
        playFrames(*shell.bar);
        QCOMPARE(framesOf(in), (Frames{{-2, 1}, {-2, 2}, {-2, 3}}));
        QCOMPARE(shell.bar->x(), -2);
    }

    void slideWithoutChange_data()
    {
        QTest::addColumn<bool>("expanded");
        QTest::newRow("slide in when in") << true;
        QTest::newRow("slide out when out") << false;
    }
    void slideWithoutChange()
    {
        QFETCH(bool, expanded);
        Shell shell;
        if (expanded)
            QVERIFY(shell.expand());
        const QPoint before = shell.bar->pos();
        QSignalSpy in(shell.bar, &NavigationForm::sendHoverIn);
        QSignalSpy out(shell.bar, &NavigationForm::sendHoverOut);
        expanded ? shell.bar->slideIn() : shell.bar->slideOut();
        QVERIFY(runningTimeLines(*shell.bar).isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(in.size() + out.size(), 0);
        QCOMPARE(shell.bar->pos(), before);
        // The slide button still slides a collapsed bar in and leaves an expanded one.
        QVERIFY(!shell.sendEnterToSlideButton());
        QCOMPARE(runningTimeLines(*shell.bar).size(), expanded ? 0 : 1);
    }

    void enterOnSlideButton_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("slidesIn");
        QTest::newRow("collapsed and armed") << "collapsed" << true;
        QTest::newRow("while sliding out") << "sliding out" << false;
        QTest::newRow("expanded") << "expanded" << false;
        QTest::newRow("after the slide-out ended") << "collapsed again" << true;
    }
    void enterOnSlideButton()
    {
        QFETCH(QString, state);
        QFETCH(bool, slidesIn);
        Shell shell;
        if (state != QLatin1String("collapsed"))
            QVERIFY(shell.expand());
        if (state == QLatin1String("sliding out") || state == QLatin1String("collapsed again"))
            shell.bar->slideOut();
        if (state == QLatin1String("collapsed again"))
            QTRY_VERIFY_WITH_TIMEOUT(runningTimeLines(*shell.bar).isEmpty(), 5000);
        const QList<QTimeLine *> before = runningTimeLines(*shell.bar);
        QVERIFY(!shell.sendEnterToSlideButton());   // passed on, never consumed
        const QList<QTimeLine *> after = runningTimeLines(*shell.bar);
        const bool newLine = std::any_of(after.begin(), after.end(),
                                         [&](QTimeLine *line) { return !before.contains(line); });
        QCOMPARE(newLine, slidesIn);
    }

    void enterAndLeaveTheBar()
    {
        Shell shell;
        QVERIFY(shell.expand());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(shell.bar, &leave);
        QVERIFY(shell.slideButton()->isHidden());
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(shell.bar, &enter);
        QVERIFY(!shell.slideButton()->isHidden());
    }

    void slideButtonClick()
    {
        Shell shell;
        QTest::mouseClick(shell.slideButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shell.bar->x(), -2, 5000);
        QTest::mouseClick(shell.slideButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shell.bar->x(), -200, 5000);
    }

    void imageSkin_data()
    {
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<QString>("slideImage");
        QTest::newRow("collapsed") << false << ":/Skin/images/Skin/pink_out.png";
        QTest::newRow("expanded") << true << ":/Skin/images/Skin/pink_in.png";
    }
    void imageSkin()
    {
        QFETCH(bool, expanded);
        QFETCH(QString, slideImage);
        Shell shell;
        if (expanded)
            QVERIFY(shell.expand());
        shell.bar->setSkinImage(QStringLiteral(":/Skin/images/Skin/"), QStringLiteral("pink"));
        QCOMPARE(shell.widgetLeft()->styleSheet(), QStringLiteral("border-image: url(:/Skin/images/Skin/pink_b.jpg);"));
        QCOMPARE(shell.slideButton()->styleSheet(), slideSheet(slideImage));
    }

    void slidesSwapTheSkinImage()
    {
        Shell shell;
        shell.bar->setSkinImage(QStringLiteral(":/Skin/images/Skin/"), QStringLiteral("green"));
        shell.bar->slideIn();
        QCOMPARE(shell.slideButton()->styleSheet(), slideSheet(QStringLiteral(":/Skin/images/Skin/green_in.png")));
        shell.bar->slideOut();
        QCOMPARE(shell.slideButton()->styleSheet(), slideSheet(QStringLiteral(":/Skin/images/Skin/green_out.png")));
    }

    void colourSkin_data()
    {
        QTest::addColumn<bool>("imageSkinFirst");
        QTest::addColumn<QString>("slideSheetAfter");
        QTest::newRow("colour from the start keeps the arrow") << false << formSlideSheet;
        QTest::newRow("after an image skin") << true << slideSheet(QStringLiteral(":/Skin/images/Skin/back_in.png"));
    }
    void colourSkin()
    {
        QFETCH(bool, imageSkinFirst);
        QFETCH(QString, slideSheetAfter);
        Shell shell;
        if (imageSkinFirst)
            shell.bar->setSkinImage(QStringLiteral(":/Skin/images/Skin/"), QStringLiteral("back"));
        shell.bar->setSkinColor(QStringLiteral("87,87,87,255"));
        shell.bar->slideIn();
        QCOMPARE(shell.widgetLeft()->styleSheet(),
                 QStringLiteral("border-image: none;background-color:rgb(87,87,87,255);"));
        QCOMPARE(shell.slideButton()->styleSheet(), slideSheetAfter);
    }

    void panelOpensBesideTheButton()
    {
        openBank(true);
        Shell shell;
        shell.window.move(100, 60);
        QVERIFY(shell.expand());
        QWidget *more = shell.button(QStringLiteral("pushButton_movefuntions"));
        MoveFunctionsForm *panel = shell.openPanel();
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        QPoint g = more->mapToGlobal(QPoint(0, 0));
        QCOMPARE(panel->pos(), QPoint(g.x() + 208, g.y() + 47 - 378));

        const QPoint first = panel->pos();
        shell.window.move(300, 160);
        QCoreApplication::processEvents();
        shell.bar->closeMoreFunctions();
        QVERIFY(panel->isHidden());
        QCOMPARE(shell.openPanel(), panel);   // the same panel again
        g = more->mapToGlobal(QPoint(0, 0));
        QCOMPARE(panel->pos(), QPoint(g.x() + 208, g.y() + 47 - 378));
        QCOMPARE(panel->pos(), first + QPoint(200, 100));
        QVERIFY(panel->isVisible());
    }

    void panelLooks()
    {
        openBank(true);
        Shell shell;
        MoveFunctionsForm *panel = shell.openPanel();
        QCOMPARE(panel->windowTitle(), QStringLiteral("更多功能"));
        QCOMPARE(panel->size(), QSize(176, 378));
        QVERIFY(panel->isWindow());
        QVERIFY(panel->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(panel->windowFlags() & ~Qt::WindowType_Mask,
                 Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
        for (QPushButton *b : panel->findChildren<QPushButton *>()) {
            QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
            const int side = b->objectName() == QLatin1String("pushButton_DataRecovery") ? 24 : 28;
            QCOMPARE(b->iconSize(), QSize(side, side));
        }
    }

    void panelButtons_data()
    {
        QTest::addColumn<bool>("syllabus");
        QTest::addColumn<QStringList>("texts");
        const QStringList services = {"  在线课程", "  数据备份", "  数据修复", "  意见反馈", "  考试资讯", "  关于软件"};
        QTest::newRow("with syllabus") << true << QStringList{"  考试指南"} + services;
        QTest::newRow("without syllabus") << false << services;
    }
    void panelButtons()
    {
        QFETCH(bool, syllabus);
        QFETCH(QStringList, texts);
        openBank(syllabus);
        Shell shell;
        MoveFunctionsForm *panel = shell.openPanel();
        QCOMPARE(visibleTexts(panel), texts);
    }

    void panelActions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<QList<int>>("functions");
        QTest::addColumn<bool>("stillShown");
        QTest::newRow("exam guide") << "pushButton_kaishizhinan" << QList<int>{12} << QList<int>{} << false;
        QTest::newRow("online courses") << "pushButton_zaixiankecheng" << QList<int>{} << QList<int>{0} << true;
        QTest::newRow("backup") << "pushButton_4" << QList<int>{} << QList<int>{1} << true;
        QTest::newRow("feedback") << "pushButton_Feedback" << QList<int>{} << QList<int>{2} << true;
        QTest::newRow("exam news") << "pushButton_examabout" << QList<int>{} << QList<int>{3} << true;
        QTest::newRow("about") << "pushButton_about" << QList<int>{} << QList<int>{4} << true;
        QTest::newRow("data repair") << "pushButton_DataRecovery" << QList<int>{} << QList<int>{5} << true;
    }
    void panelActions()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, pages);
        QFETCH(QList<int>, functions);
        QFETCH(bool, stillShown);
        openBank(true);
        Shell shell;
        MoveFunctionsForm *panel = shell.openPanel();
        QSignalSpy outline(panel, &MoveFunctionsForm::sendExamOutline);
        QTest::mouseClick(panel->findChild<QPushButton *>(name), Qt::LeftButton);
        QCOMPARE(shell.window.pages, pages);
        QCOMPARE(shell.window.functions, functions);
        QCOMPARE(outline.size(), pages.size());
        QCOMPARE(panel->isVisible(), stillShown);
        QVERIFY(shell.window.isVisible());
    }

    void leavingClosesThePanel()
    {
        openBank(true);
        Shell shell;
        MoveFunctionsForm *panel = shell.openPanel();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(panel, &leave);
        QVERIFY(panel->isHidden());
        QCOMPARE(Shell::panel(), panel);   // hidden, not deleted
    }

    void closeMoreFunctionsWithoutPanel()
    {
        Shell shell;
        shell.bar->closeMoreFunctions();
        QVERIFY(!Shell::panel());
    }

    void barDeletesItsPanel()
    {
        openBank(true);
        auto shell = std::make_unique<Shell>();
        QPointer<MoveFunctionsForm> panel = shell->openPanel();
        QVERIFY(panel);
        delete shell->bar;
        QVERIFY(panel.isNull());
    }

    void panelWithoutParentWindow()
    {
        openBank(true);
        NavigationForm bar;
        QTest::mouseClick(bar.findChild<QPushButton *>(QStringLiteral("pushButton_movefuntions")), Qt::LeftButton);
        MoveFunctionsForm *panel = Shell::panel();
        QVERIFY(panel);
        // Nobody listens, and nothing breaks.
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("pushButton_about")), Qt::LeftButton);
        QVERIFY(panel->isVisible());
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
