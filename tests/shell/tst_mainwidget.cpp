// The main window: start-up paths (updater, data directory, subject dialog),
// construction, skins, the title bar, exit, its dialogs, page switching and
// the hosting of chapter practice and the question list.
#include "MainWidget.h"

#include "AboutApp.h"
#include "ChineseDesktop.h"
#include "ChoiceDialog.h"
#include "ConfigDialog.h"
#include "DataRecoveryWidget.h"
#include "ExamOutlineWidget.h"
#include "ExamQuestionsWidget.h"
#include "FeedBaceDialog.h"
#include "FindQuestionWidget.h"
#include "FixtureBank.h"
#include "HomePageWidget.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "PageDriving.h"
#include "LearnReportWidget.h"
#include "YaTiWidget.h"
#include "YtRadioExamForm.h"
#include "MoveFunctionsForm.h"
#include "MyMessageBox.h"
#include "NavigationForm.h"
#include "PublicData.h"
#include "QuestionsForm.h"
#include "Resources.h"
#include "SelectSubjectsDialog.h"
#include "SimulatedExaminatinWidget.h"
#include "SingleQuestionModelFrom.h"
#include "SkinDialog.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TalkWidget.h"
#include "TempWorkDir.h"
#include "WelcomeWidget.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSqlDatabase>
#include <QTableWidget>
#include <QTextCodec>
#include <QTimeLine>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

const QString memo = QStringLiteral("临床执业医师（测试）");
const QString modelOne = QStringLiteral("[AppModel]\nmodel=1\n");

QByteArray gb2312(const QString &text)
{
    return QTextCodec::codecForName("GB2312")->fromUnicode(text);
}

template<typename T>
T *child(const QWidget *widget, const char *name)
{
    return widget->findChild<T *>(QLatin1String(name));
}

template<typename T>
QList<T *> topLevels()
{
    QList<T *> found;
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets)
        if (auto *typed = qobject_cast<T *>(widget))
            found << typed;
    return found;
}

template<typename T>
T *shownTopLevel()
{
    const QList<T *> all = topLevels<T>();
    for (T *widget : all)
        if (widget->isVisible())
            return widget;
    return nullptr;
}

// The widgets in the page area, in order.
QList<QWidget *> pageArea(const MainWidget &window)
{
    QList<QWidget *> pages;
    const QLayout *area = window.findChild<QLayout *>(QStringLiteral("verticalLayout_main"));
    for (int i = 0; i < area->count(); ++i)
        pages << area->itemAt(i)->widget();
    return pages;
}

// Logs "shown: <Class>" when one of the main window's pages is shown, so that
// the order of showing and of the pages' calls can be read from one log.
class ShowLog : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        static const QStringList pages = {
            QStringLiteral("HomePageWidget"), QStringLiteral("ExamQuestionsWidget"),
            QStringLiteral("ErrorQuestionWidget"), QStringLiteral("CollectionWidget"),
            QStringLiteral("UserTextWidget"), QStringLiteral("SimulatedExaminatinWidget"),
            QStringLiteral("TalkWidget"), QStringLiteral("FindQuestionWidget"), QStringLiteral("NewKnowWidget"),
            QStringLiteral("QuickBackQuestions"), QStringLiteral("LearnReportWidget"), QStringLiteral("YaTiWidget"),
            QStringLiteral("ExamOutlineWidget"),
        };
        const QString name = QString::fromLatin1(watched->metaObject()->className());
        if (event->type() == QEvent::Show && pages.contains(name))
            qDebug().noquote() << QStringLiteral("shown: ") + name;
        return false;
    }
};

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(type, local, widget->mapToGlobal(local), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Takes the place of the browser: keeps the addresses handed to it.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// The navigation bar has ended its slide.
bool slideEnded(const NavigationForm *bar)
{
    const QList<QTimeLine *> slides = bar->findChildren<QTimeLine *>();
    return std::none_of(slides.cbegin(), slides.cend(),
                        [](QTimeLine *slide) { return slide->state() == QTimeLine::Running; });
}

// Each level of nested layouts posts its request to the next one up.
void settleLayouts()
{
    for (int level = 0; level < 16; ++level) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// The item's column-0 index in its tree's model.
QModelIndex indexOf(QTreeWidgetItem *item)
{
    const QAbstractItemModel *model = item->treeWidget()->model();
    QTreeWidgetItem *parent = item->parent();
    if (!parent)
        return model->index(item->treeWidget()->indexOfTopLevelItem(item), 0);
    return model->index(parent->indexOfChild(item), 0, indexOf(parent));
}

} // namespace

class TestMainWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startWithoutData_data();
    void startWithoutData();
    void startWithData();
    void startWithBankPath();
    void unopenableBankToldWithTheCatalogue_data();
    void unopenableBankToldWithTheCatalogue();
    void unsavedAnswersToldOncePerStart();
    void updaterStarted();
    void updaterNotStarted_data();
    void updaterNotStarted();

    void construction();
    void contactLineReadAsGb2312();
    void brandLabel_data();
    void brandLabel();

    void skins_data();
    void skins();
    void skinDialogBelowTheButton();
    void skinImageOnlyBehindThePages();
    void titleBarDrag();
    void titleBarDoubleClick();
    void navigationWidthAndHeight();
    void exitConfirmation();

    void bankSwitchAndRepairAskForANewWindow();
    void aboutBoxMadeOnceAndRefilled();
    void dialogsGetTheSkin();

    void pageSwitching_data();
    void pageSwitching();
    void lastPagesMadeOnce();
    void reportAndSyllabusSlideTheBarOut();
    void startLearnOpensTheBank();

    void practicePagePerRequest();
    void practiceEmitterLivesUntilDeferredDelete();
    void nextSetFromTheBankPage();
    void nextChapterFromTheHomePage();
    void nextChapterFailureKeepsThePage();
    void lastSetOfSectionDoesNothing();
    void questionList();
    void pagesKeepTheWindowWidth();
    void treeTitlesWholeWhereTheyFit_data();
    void treeTitlesWholeWhereTheyFit();

    void deleteStartedWindow();

    void moreFunctionCodes_data();
    void moreFunctionCodes();
    void menuActions();

private:
    // Copies the fixture bank into dir/MedicalDB.db of the working directory.
    void installData(const QString &dir = QStringLiteral("data"));
    // Lets the pages' loads end and their rows arrive: rows still queued for
    // a page that goes are lost with it.
    void settlePages();
    // A window started on the fixture as "./data"; null on failure.
    MainWidget *startedWindow(const QString &config = modelOne);
    QString config(const QString &key) const { return PublicData::value(key); }

    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<MainWidget> window;
};

void TestMainWidget::initTestCase()
{
    initResources();
    // The locale and faces of the program, which decide the pages' widths.
    ChineseDesktop::apply();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
}

void TestMainWidget::init()
{
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    workDir = std::make_unique<TempWorkDir>(gb2312(modelOne));
    log = std::make_unique<LogCapture>();
}

void TestMainWidget::settlePages()
{
    if (!window)
        return;
    if (auto *home = window->findChild<HomePageWidget *>()) {
        // One load at a time: either the running one ends or this one does.
        auto *state = child<QLabel>(home, "label_studystate");
        state->clear();
        home->initData();
        if (!QTest::qWaitFor([state] { return !state->text().isEmpty(); }, 10000))
            qWarning("the home page's load did not end");
    }
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        if (auto *bankPage = qobject_cast<ExamQuestionsWidget *>(widget))
            if (auto *worker = bankPage->findChild<QThread *>())
                if (!QTest::qWaitFor([worker] { return !worker->isRunning(); }, 10000))
                    qWarning("the question-bank page's load did not end");
    QCoreApplication::processEvents();
}

void TestMainWidget::cleanup()
{
    settlePages();
    window.reset();
    const QWidgetList left = QApplication::topLevelWidgets();
    for (QWidget *widget : left)
        if (widget->testAttribute(Qt::WA_DeleteOnClose))
            widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    log.reset();
    // The store goes before its working directory.
    delete SqliteClass::instance();
    workDir.reset();
    service.reset();
}

void TestMainWidget::installData(const QString &dir)
{
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::copy(bank->filePath(), dir + QStringLiteral("/MedicalDB.db")));
}

MainWidget *TestMainWidget::startedWindow(const QString &configText)
{
    workDir->writeConfig(gb2312(configText));
    installData();
    window = std::make_unique<MainWidget>();
    if (window->start() != 0 || !window->isVisible())
        return nullptr;
    return window.get();
}

// ---- Start-up ---------------------------------------------------------------

void TestMainWidget::startWithoutData_data()
{
    QTest::addColumn<QString>("configText");
    QTest::addColumn<bool>("dataFile");
    QTest::addColumn<QString>("url");  // empty: the catalogue is requested
    QTest::addColumn<QString>("model"); // afterwards

    const QString url = QStringLiteral("http://127.0.0.1:9/pkg/sub.zip");
    QTest::newRow("no data") << modelOne << false << QString() << QStringLiteral("1");
    QTest::newRow("download url") << modelOne + QStringLiteral("[DownLoadUrl]\nUrl=") + url + QStringLiteral("\n")
                                  << false << url << QStringLiteral("1");
    QTest::newRow("data is a file") << modelOne << true << QString() << QStringLiteral("0");
}

void TestMainWidget::startWithoutData()
{
    QFETCH(QString, configText);
    QFETCH(bool, dataFile);
    QFETCH(QString, url);
    QFETCH(QString, model);
    workDir->writeConfig(gb2312(configText));
    if (dataFile) {
        QFile file(QStringLiteral("data"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    window = std::make_unique<MainWidget>();
    QCOMPARE(window->start(), 0);
    QVERIFY(!window->isVisible());
    auto *dialog = shownTopLevel<SelectSubjectsDialog>();
    QVERIFY(dialog);
    if (url.isEmpty()) {
        QTRY_COMPARE(service->requests(QStringLiteral("/mobi/verData.php")).size(), 1);
    } else {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("正在下载科目"));
        QVERIFY(log->contains(url));
        QVERIFY(service->requests(QStringLiteral("/mobi/verData.php")).isEmpty());
    }
    QCOMPARE(config(QStringLiteral("AppModel/model")), model);
}

void TestMainWidget::startWithData()
{
    QVERIFY(startedWindow());
    QCOMPARE(child<QLabel>(window.get(), "label_title")->text(), memo);
    QCOMPARE(config(QStringLiteral("AppModel/model")), QStringLiteral("0"));
    const QList<QWidget *> pages = pageArea(*window);
    QCOMPARE(pages.size(), 1);
    QVERIFY(qobject_cast<HomePageWidget *>(pages.first()));
    QVERIFY(pages.first()->isVisible());
    QVERIFY(!topLevels<WelcomeWidget>().isEmpty());
    QVERIFY(!shownTopLevel<WelcomeWidget>());
    QVERIFY(!shownTopLevel<SelectSubjectsDialog>());
    // Centred on the screen, without its offset.
    const QSize screen = QGuiApplication::primaryScreen()->virtualGeometry().size();
    QCOMPARE(window->pos(), QPoint((screen.width() - 1024) / 2, (screen.height() - 700) / 2));
}

void TestMainWidget::startWithBankPath()
{
    installData(QStringLiteral("data/sub"));
    workDir->writeConfig(gb2312(modelOne + QStringLiteral("[Data]\nDBPath=data/sub\n")));
    window = std::make_unique<MainWidget>();
    QCOMPARE(window->start(), 0);
    QVERIFY(window->isVisible());
    QVERIFY(QSqlDatabase::database().databaseName().endsWith(QStringLiteral("data/sub/MedicalDB.db")));
}

void TestMainWidget::unopenableBankToldWithTheCatalogue_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("logged");
    QTest::newRow("cut in half") << "half" << QStringLiteral("数据库已损坏");
    QTest::newRow("garbage") << "garbage" << QStringLiteral("错误的数据库密码");
}

void TestMainWidget::unopenableBankToldWithTheCatalogue()
{
    QFETCH(QString, damage);
    QFETCH(QString, logged);
    workDir->writeConfig(gb2312(modelOne));
    installData();
    QFile file(QStringLiteral("data/MedicalDB.db"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = damage == QLatin1String("half") ? file.readAll().left(int(file.size() / 2)) : QByteArray(8192, 'x');
    QVERIFY(file.resize(0) && file.write(bytes) == bytes.size());
    file.close();

    window = std::make_unique<MainWidget>();
    QCOMPARE(window->start(), 0);
    QVERIFY(!window->isVisible());
    QVERIFY(shownTopLevel<SelectSubjectsDialog>());
    auto *notice = shownTopLevel<MyMessageBox>();
    QVERIFY(notice);
    QCOMPARE(child<QLabel>(notice, "label_message")->text(), QStringLiteral("题库无法打开,请重新下载科目."));
    QVERIFY2(log->contains(logged), qPrintable(log->lines().join(QLatin1Char('\n'))));
}

void TestMainWidget::unsavedAnswersToldOncePerStart()
{
    QVERIFY(startedWindow());
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->execSql(QStringLiteral("PRAGMA query_only = 1")), 0);
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), -1);
    auto *notice = shownTopLevel<MyMessageBox>();
    QVERIFY(notice);
    QCOMPARE(child<QLabel>(notice, "label_message")->text(),
             QStringLiteral("答题记录无法保存(磁盘已满或题库只读),之后的答题不会被记录."));
    QVERIFY(log->contains(QStringLiteral("readonly")));
    notice->close();

    // Neither the next failure nor a rebuilt window tells it again.
    QCOMPARE(store->recordAnswer(1002, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), -1);
    window = std::make_unique<MainWidget>();
    QCOMPARE(store->recordAnswer(1003, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), -1);
    QVERIFY(!shownTopLevel<MyMessageBox>());
    QCOMPARE(store->execSql(QStringLiteral("PRAGMA query_only = 0")), 0);
}

void TestMainWidget::updaterStarted()
{
    workDir->writeConfig(QByteArray());
    installData();
    QFile script(QStringLiteral("UpdateVelmora.exe"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s:[%s]' \"$#\" \"$1\" > \"$(dirname \"$0\")/ran.tmp\"\n"
                 "mv \"$(dirname \"$0\")/ran.tmp\" \"$(dirname \"$0\")/ran.txt\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);

    window = std::make_unique<MainWidget>();
    QCOMPARE(window->start(), -1);
    QVERIFY(log->contains(QStringLiteral("启动UpdateVelmora.exe成功")));
    QVERIFY(!window->isVisible());
    QVERIFY(!shownTopLevel<SelectSubjectsDialog>());
    QVERIFY(config(QStringLiteral("AppModel/model")).isEmpty());
    QFile ran(workDir->filePath(QStringLiteral("ran.txt")));
    QTRY_VERIFY(ran.exists());
    QVERIFY(ran.open(QIODevice::ReadOnly));
    QCOMPARE(ran.readAll(), QByteArray("1:[]"));
}

void TestMainWidget::updaterNotStarted_data()
{
    QTest::addColumn<bool>("plainFile");
    QTest::newRow("missing") << false;
    QTest::newRow("not executable") << true;
}

void TestMainWidget::updaterNotStarted()
{
    QFETCH(bool, plainFile);
    if (plainFile) {
        QFile file(QStringLiteral("UpdateVelmora.exe"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }
    QVERIFY(startedWindow(QString()));
    QVERIFY(log->contains(QStringLiteral("启动UpdateVelmora.exe失败.")));
    QCOMPARE(config(QStringLiteral("AppModel/model")), QStringLiteral("0"));
}

// ---- Construction -----------------------------------------------------------

void TestMainWidget::construction()
{
    const MainWidget widget;
    QCOMPARE(widget.windowTitle(), QStringLiteral("Velmora之星"));
    QCOMPARE(widget.size(), QSize(1024, 700));
    QVERIFY(widget.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(widget.windowFlags() & Qt::CustomizeWindowHint);
    QVERIFY(widget.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!widget.isVisible());
    QVERIFY(child<QPushButton>(&widget, "pushButton_config")->isHidden());
    QVERIFY(child<QLabel>(&widget, "label_tarsin")->isHidden());
    const QList<QPair<const char *, QString>> tips = {
        {"pushButton_skin", QStringLiteral("换肤")}, {"pushButton_min", QStringLiteral("最小化")},
        {"pushButton_max", QStringLiteral("最大化")}, {"pushButton_exit", QStringLiteral("退出")},
        {"pushButton_config", QStringLiteral("菜单")},
    };
    for (const auto &tip : tips) {
        const auto *button = child<QPushButton>(&widget, tip.first);
        QCOMPARE(button->toolTip(), tip.second);
        QCOMPARE(button->size(), QSize(28, 24));
        if (qstrcmp(tip.first, "pushButton_config") != 0)
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(child<QPushButton>(&widget, "pushButton_exit")->shortcut(), QKeySequence(Qt::Key_Escape));
    // Under the mouse the "_pressed" image, while pressed the "_hover" one.
    const QString exitStyle = child<QPushButton>(&widget, "pushButton_exit")->styleSheet();
    QVERIFY(exitStyle.contains(QStringLiteral("QPushButton:hover{border-image: url(:/MenuIcon/images/MenuIcon/guanbi_pressed.png);")));
    QVERIFY(exitStyle.contains(QStringLiteral("QPushButton:pressed{border-image: url(:/MenuIcon/images/MenuIcon/guanbi_hover.png);")));
    QCOMPARE(child<QWidget>(&widget, "widget_title")->maximumHeight(), 45);
    QCOMPARE(child<QWidget>(&widget, "widget_2")->maximumHeight(), 30);
}

void TestMainWidget::contactLineReadAsGb2312()
{
    workDir->writeConfig(gb2312(QStringLiteral("[ContactUs]\nContact1=客服电话：400-800-1234\\n服务时间：工作日\n")));
    const MainWidget widget;
    QCOMPARE(child<QLabel>(&widget, "label_Contactus")->text(),
             QStringLiteral("客服电话：400-800-1234\t服务时间：工作日"));
}

void TestMainWidget::brandLabel_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("logoFile");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("style");

    const QString form = QStringLiteral("border-image: url(:/MenuIcon/images/MenuIcon/corvelwang_normal.png);");
    const QString agent = QStringLiteral("border-image: url(Logo/logo.png);");
    QTest::newRow("1, no logo") << 1 << false << true << form;
    QTest::newRow("1, logo") << 1 << true << true << form;
    QTest::newRow("0, logo") << 0 << true << false << form;
    QTest::newRow("2, logo") << 2 << true << false << form;
    QTest::newRow("7, logo") << 7 << true << true << agent;
    QTest::newRow("7, no logo") << 7 << false << false << form;
}

void TestMainWidget::brandLabel()
{
    QFETCH(int, type);
    QFETCH(bool, logoFile);
    QFETCH(bool, shown);
    QFETCH(QString, style);
    if (logoFile) {
        QVERIFY(QDir().mkpath(QStringLiteral("Logo")));
        QVERIFY(QFile::copy(QStringLiteral(":/MenuIcon/images/MenuIcon/velmorazhixing_normal.png"),
                            QStringLiteral("Logo/logo.png")));
    }
    QVERIFY(startedWindow(modelOne + QStringLiteral("[Logo]\nType=%1\n").arg(type)));
    const auto *label = child<QLabel>(window.get(), "label_tarsin");
    QCOMPARE(label->isVisible(), shown);
    QCOMPARE(label->styleSheet(), style);
}

// ---- Skins, title bar, exit -------------------------------------------------

void TestMainWidget::skins_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("bodyStyle");
    QTest::addColumn<QString>("barStyle"); // part of the navigation bar's style

    QTest::newRow("pink") << QStringLiteral("pink") << QStringLiteral("255,127,167,255")
                          << QStringLiteral("MainWidget > QWidget#widget{border-image: url(:/Skin/images/Skin/pink_d.jpg);}")
                          << QStringLiteral("pink_b.jpg");
    QTest::newRow("colour only") << QString() << QStringLiteral("87,87,87,255")
                                 << QStringLiteral("MainWidget > QWidget#widget{border-image: none;}")
                                 << QStringLiteral("background-color:rgb(87,87,87,255)");
}

void TestMainWidget::skins()
{
    QFETCH(QString, name);
    QFETCH(QString, color);
    QFETCH(QString, bodyStyle);
    QFETCH(QString, barStyle);
    QVERIFY(startedWindow());
    window->receiveSkinDialogColor(name, color);
    QCOMPARE(config(QStringLiteral("QuestionCell/SkinColor")), color);
    QCOMPARE(config(QStringLiteral("QuestionCell/SkinImage")), name);
    QCOMPARE(child<QWidget>(window.get(), "widget")->styleSheet(), bodyStyle);
    const auto *bar = window->findChild<NavigationForm *>();
    QVERIFY(child<QWidget>(bar, "widget_left")->styleSheet().contains(barStyle));
    const auto *home = window->findChild<HomePageWidget *>();
    QVERIFY(child<QPushButton>(home, "pushButton_startlearn")->styleSheet().contains(QStringLiteral("rgb(%1)").arg(color)));

    // The skin dialog opens below the skin button and reports to the window.
    QTest::mouseClick(child<QPushButton>(window.get(), "pushButton_skin"), Qt::LeftButton);
    QVERIFY(window->findChild<QDialog *>());
}

void TestMainWidget::skinDialogBelowTheButton()
{
    QVERIFY(startedWindow());
    window->move(300, 150);
    const auto *button = child<QPushButton>(window.get(), "pushButton_skin");
    QTest::mouseClick(child<QPushButton>(window.get(), "pushButton_skin"), Qt::LeftButton);
    QList<SkinDialog *> dialogs = window->findChildren<SkinDialog *>();
    QCOMPARE(dialogs.size(), 1);
    SkinDialog *dialog = dialogs.first();
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isWindow());
    QVERIFY2(window->rect().contains(dialog->geometry()), qPrintable(QStringLiteral("%1,%2").arg(dialog->x()).arg(dialog->y())));
    const QRect buttonRect(button->mapTo(window.get(), QPoint()), button->size());
    QCOMPARE(dialog->y(), buttonRect.bottom() + 1);
    QVERIFY(dialog->x() <= buttonRect.left() && dialog->geometry().right() >= buttonRect.left());

    QTest::mouseClick(child<QPushButton>(window.get(), "pushButton_skin"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialogs = window->findChildren<SkinDialog *>();
    QCOMPARE(dialogs.size(), 1);
    QVERIFY(dialogs.first()->isVisible());
}

// A button in the page area looks the same under every skin: the skin's
// picture is drawn behind the pages, not into each of their widgets.
void TestMainWidget::skinImageOnlyBehindThePages()
{
    QVERIFY(startedWindow());
    auto *area = child<QWidget>(window.get(), "widget");
    QPushButton probe(QStringLiteral("按钮"), area);
    probe.setGeometry(300, 200, 120, 40);
    probe.show();
    area->setStyleSheet(QString());
    const QImage unskinned = probe.grab().toImage();
    const QList<QPair<QString, QString>> skins = {{QStringLiteral("pink"), QStringLiteral("255,127,167,255")},
                                                 {QStringLiteral("blue"), QStringLiteral("81,153,2,255")},
                                                 {QString(), QStringLiteral("87,87,87,255")}};
    for (const auto &skin : skins) {
        window->receiveSkinDialogColor(skin.first, skin.second);
        QVERIFY2(probe.grab().toImage() == unskinned, qPrintable(skin.first));
    }
}

void TestMainWidget::titleBarDrag()
{
    QVERIFY(startedWindow());
    const QPoint start = window->pos();
    sendMouse(window.get(), QEvent::MouseButtonPress, QPoint(400, 20));
    QMouseEvent move(QEvent::MouseMove, QPoint(450, 50), window->mapToGlobal(QPoint(400, 20)) + QPoint(50, 30),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &move);
    QCOMPARE(window->pos(), start + QPoint(50, 30));
    sendMouse(window.get(), QEvent::MouseButtonRelease, QPoint(450, 50));

    // Below the band: no drag, but the open panel closes.
    auto *bar = window->findChild<NavigationForm *>();
    QTest::mouseClick(child<QPushButton>(bar, "pushButton_movefuntions"), Qt::LeftButton);
    MoveFunctionsForm *panel = shownTopLevel<MoveFunctionsForm>();
    QVERIFY(panel);
    const QPoint before = window->pos();
    sendMouse(window.get(), QEvent::MouseButtonPress, QPoint(400, 300));
    QMouseEvent moveBelow(QEvent::MouseMove, QPoint(450, 350), window->mapToGlobal(QPoint(450, 350)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &moveBelow);
    QCOMPARE(window->pos(), before);
    QVERIFY(!panel->isVisible());
}

void TestMainWidget::titleBarDoubleClick()
{
    QVERIFY(startedWindow());
    sendMouse(window.get(), QEvent::MouseButtonDblClick, QPoint(400, 300));
    QVERIFY(!window->isMaximized());
    sendMouse(window.get(), QEvent::MouseButtonDblClick, QPoint(400, 20));
    QTRY_VERIFY(window->isMaximized());
    sendMouse(window.get(), QEvent::MouseButtonDblClick, QPoint(400, 20));
    QTRY_VERIFY(!window->isMaximized());
}

void TestMainWidget::navigationWidthAndHeight()
{
    QVERIFY(startedWindow());
    window->receiveHoverIn(-134, 1);
    QCOMPARE(child<QWidget>(window.get(), "widget_right2")->width(), 76);
    window->receiveHoverOut(-200, 3);
    QCOMPARE(child<QWidget>(window.get(), "widget_right2")->maximumWidth(), 10);
    window->resize(1100, 760);
    QCOMPARE(window->findChild<NavigationForm *>()->height(), 760);
}

void TestMainWidget::exitConfirmation()
{
    QVERIFY(startedWindow());
    QApplication::setActiveWindow(window.get());
    QTRY_VERIFY(window->isActiveWindow());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTRY_VERIFY(qobject_cast<ChoiceDialog *>(QApplication::activeModalWidget()));
    QPointer<ChoiceDialog> first = qobject_cast<ChoiceDialog *>(QApplication::activeModalWidget());
    QVERIFY(first->findChildren<QLabel *>().size() > 0);
    bool asked = false;
    for (const QLabel *label : first->findChildren<QLabel *>())
        asked = asked || label->text() == QStringLiteral("确定要退出程序吗？");
    QVERIFY(asked);
    QTest::mouseClick(child<QPushButton>(first, "pushButton_save_2"), Qt::LeftButton);
    QTRY_VERIFY(first.isNull());
    QVERIFY(window->isVisible());

    QApplication::setActiveWindow(window.get());
    QTRY_VERIFY(window->isActiveWindow());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTRY_VERIFY(qobject_cast<ChoiceDialog *>(QApplication::activeModalWidget()));
    auto *second = qobject_cast<ChoiceDialog *>(QApplication::activeModalWidget());
    QTest::mouseClick(child<QPushButton>(second, "pushButton_save"), Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

// ---- Dialogs ------------------------------------------------------------------

void TestMainWidget::bankSwitchAndRepairAskForANewWindow()
{
    window = std::make_unique<MainWidget>();
    QCOMPARE(window->start(), 0); // no data: the subject dialog
    QPointer<SelectSubjectsDialog> subjects = shownTopLevel<SelectSubjectsDialog>();
    QVERIFY(subjects);
    QSignalSpy rebuild(window.get(), &MainWidget::sendMainWidget);
    emit subjects->sendCurrentDBPath(QStringLiteral("data/other"));
    QCOMPARE(rebuild.size(), 1);
    QCOMPARE(config(QStringLiteral("Remove/Type")), QStringLiteral("0"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(subjects.isNull());

    PublicData::setValue(QStringLiteral("Remove/Type"), QStringLiteral("1"));
    window->receiveDataRecoveryWidget();
    QPointer<DataRecoveryWidget> repair = shownTopLevel<DataRecoveryWidget>();
    QVERIFY(repair);
    QVERIFY(repair->isModal());
    emit repair->sendDataRecovery();
    QCOMPARE(rebuild.size(), 2);
    QCOMPARE(config(QStringLiteral("Remove/Type")), QStringLiteral("1"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(repair.isNull());
}

void TestMainWidget::aboutBoxMadeOnceAndRefilled()
{
    QVERIFY(startedWindow(modelOne + QStringLiteral("[ContactUs]\nContact1=电话一\\n电话二\n[Version]\nPROGRAM=3.2.1\n")));
    window->receiveAboutApp();
    AboutApp *about = shownTopLevel<AboutApp>();
    QVERIFY(about);
    about->close();
    window->receiveAboutApp();
    QCOMPARE(topLevels<AboutApp>().size(), 1);
    QVERIFY(about->isVisible());
    bool contact = false;
    bool version = false;
    for (const QLabel *label : about->findChildren<QLabel *>()) {
        contact = contact || label->text().contains(QStringLiteral("电话二"));
        version = version || label->text().contains(QStringLiteral("3.2.1"));
    }
    QVERIFY(contact);
    QVERIFY(version);
}

void TestMainWidget::dialogsGetTheSkin()
{
    QVERIFY(startedWindow());
    window->receiveSkinDialogColor(QString(), QStringLiteral("87,87,87,255"));
    window->recieveFeedbace();
    auto *feedback = shownTopLevel<FeedBaceDialog>();
    QVERIFY(feedback);
    QVERIFY(feedback->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(child<QPushButton>(feedback, "pushButton_submit")->styleSheet().contains(QStringLiteral("87,87,87")));
    window->receiveBkData();
    auto *backup = shownTopLevel<ConfigDialog>();
    QVERIFY(backup);
    QVERIFY(backup->testAttribute(Qt::WA_DeleteOnClose));
    window->receiveDataRecoveryWidget();
    auto *repair = shownTopLevel<DataRecoveryWidget>();
    QVERIFY(repair);
    QVERIFY(child<QPushButton>(repair, "pushButton_startdatarecovery")->styleSheet().contains(QStringLiteral("87,87,87")));
}

// ---- Page switching -------------------------------------------------------------

void TestMainWidget::pageSwitching_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("page"); // class in the page area, empty for none
    QTest::addColumn<QStringList>("calls");

    auto shownLine = [](const QString &cls) { return QStringList{QStringLiteral("shown: ") + cls}; };
    QTest::newRow("0") << 0 << QStringLiteral("HomePageWidget") << shownLine("HomePageWidget");
    QTest::newRow("1") << 1 << QStringLiteral("ExamQuestionsWidget") << shownLine("ExamQuestionsWidget");
    QTest::newRow("2") << 2 << QStringLiteral("ErrorQuestionWidget") << shownLine("ErrorQuestionWidget");
    QTest::newRow("3") << 3 << QStringLiteral("CollectionWidget") << shownLine("CollectionWidget");
    QTest::newRow("4") << 4 << QStringLiteral("UserTextWidget") << shownLine("UserTextWidget");
    QTest::newRow("5") << 5 << QStringLiteral("SimulatedExaminatinWidget") << shownLine("SimulatedExaminatinWidget");
    QTest::newRow("6") << 6 << QStringLiteral("TalkWidget") << shownLine("TalkWidget");
    QTest::newRow("7") << 7 << QStringLiteral("FindQuestionWidget") << shownLine("FindQuestionWidget");
    QTest::newRow("8") << 8 << QStringLiteral("NewKnowWidget") << shownLine("NewKnowWidget");
    QTest::newRow("9") << 9 << QStringLiteral("QuickBackQuestions") << shownLine("QuickBackQuestions");
    QTest::newRow("10") << 10 << QStringLiteral("LearnReportWidget") << shownLine("LearnReportWidget");
    QTest::newRow("11") << 11 << QStringLiteral("YaTiWidget") << shownLine("YaTiWidget");
    QTest::newRow("12") << 12 << QStringLiteral("ExamOutlineWidget")
                        << shownLine("ExamOutlineWidget");
    QTest::newRow("13") << 13 << QString() << QStringList();
}

void TestMainWidget::pageSwitching()
{
    QFETCH(int, id);
    QFETCH(QString, page);
    QFETCH(QStringList, calls);
    QVERIFY(startedWindow());
    // A practice page and a question list on show go with any switch.
    SqliteData set;
    set.text0 = QStringLiteral("1");
    window->receiveQuestionForm(&set);
    window->receiveSingleQuestionModelFrom(&set, 0, QStringLiteral("节"));
    QPointer<SingleQuestionModelFrom> practice = window->findChild<SingleQuestionModelFrom *>();
    QVERIFY(practice);
    QWidget *previous = pageArea(*window).first();

    ShowLog showLog;
    qApp->installEventFilter(&showLog);
    log->clear();
    window->receiveButtonSlot(id);
    qApp->removeEventFilter(&showLog);

    QStringList seen = log->lines().filter(QRegularExpression(QStringLiteral("^shown: ")));
    QCOMPARE(seen, calls);
    const QList<QWidget *> pages = pageArea(*window);
    if (page.isEmpty()) {
        QVERIFY(pages.isEmpty());
    } else {
        QCOMPARE(pages.size(), 1);
        QCOMPARE(QString::fromLatin1(pages.first()->metaObject()->className()), page);
        QVERIFY(pages.first()->isVisible());
    }
    QVERIFY(!previous->isVisible());
    QVERIFY(practice); // deferred
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(practice.isNull());
}

void TestMainWidget::lastPagesMadeOnce()
{
    QVERIFY(startedWindow());
    for (int id : {11, 12, 0, 11, 12})
        window->receiveButtonSlot(id);
    QCOMPARE(window->findChildren<YaTiWidget *>().size(), 1);
    QCOMPARE(window->findChildren<ExamOutlineWidget *>().size(), 1);
    // The fixture's product asks for the paper variant at every visit until it is chosen.
    QList<YtRadioExamForm *> choices;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<YtRadioExamForm *>(widget); form && form->isVisible())
            choices << form;
    QCOMPARE(choices.size(), 2);
    qDeleteAll(choices);
    // Every other page was made with the window.
    // Pages off the page area have no parent.
    int simulated = 0;
    int talk = 0;
    int reportPages = 0;
    for (QWidget *w : QApplication::allWidgets()) {
        simulated += qobject_cast<SimulatedExaminatinWidget *>(w) ? 1 : 0;
        talk += qobject_cast<TalkWidget *>(w) ? 1 : 0;
        reportPages += qobject_cast<LearnReportWidget *>(w) ? 1 : 0;
    }
    QCOMPARE(simulated, 1);
    QCOMPARE(talk, 1);
    QCOMPARE(reportPages, 1);
}

void TestMainWidget::reportAndSyllabusSlideTheBarOut()
{
    QVERIFY(startedWindow());
    const QWidget *spacer = child<QWidget>(window.get(), "widget_right2");
    // Slid in at the start.
    auto slidIn = [spacer] { return spacer->maximumWidth() >= 200; };
    QTRY_VERIFY(slidIn());
    for (int id : {2, 5, 9, 11})
        window->receiveButtonSlot(id);
    QTest::qWait(400);
    QVERIFY(slidIn());
    window->receiveButtonSlot(10);
    QTRY_COMPARE(spacer->maximumWidth(), 10);
    window->findChild<NavigationForm *>()->slideIn();
    QTRY_VERIFY(slidIn());
    window->receiveButtonSlot(12);
    QTRY_COMPARE(spacer->maximumWidth(), 10);
}

void TestMainWidget::startLearnOpensTheBank()
{
    QVERIFY(startedWindow());
    emit window->findChild<HomePageWidget *>()->sendStartlearn();
    QVERIFY(qobject_cast<ExamQuestionsWidget *>(pageArea(*window).value(0)));
}

// ---- Practice hosting --------------------------------------------------------------

void TestMainWidget::practicePagePerRequest()
{
    QVERIFY(startedWindow());
    SqliteData set;
    set.text0 = QStringLiteral("12");
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("第一章"));
    QPointer<SingleQuestionModelFrom> first = window->findChild<SingleQuestionModelFrom *>();
    QVERIFY(first);
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("第一章"));
    // Each page started once: its start writes one line naming the set.
    QCOMPARE(log->lines().filter(QStringLiteral("pCateId: 12 ")).size(), 2);
    const QList<QWidget *> pages = pageArea(*window);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages.first() != first);
    QVERIFY(qobject_cast<SingleQuestionModelFrom *>(pages.first())->isVisible());
    QVERIFY(first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    // The caller's record is the caller's.
    QCOMPARE(set.text0, QStringLiteral("12"));
}

void TestMainWidget::practiceEmitterLivesUntilDeferredDelete()
{
    QVERIFY(startedWindow());
    SqliteData set;
    set.text0 = QStringLiteral("12");
    window->receiveSingleQuestionModelFrom(&set, 1, QStringLiteral("节"));
    QPointer<SingleQuestionModelFrom> practice = window->findChild<SingleQuestionModelFrom *>();
    bool aliveAfterWindow = false;
    // Connected after the window's slot: runs once the window has switched.
    connect(practice, &SingleQuestionModelFrom::sendQuestionsFormCloseEvent, this,
            [&] { aliveAfterWindow = !practice.isNull(); });
    emit practice->sendQuestionsFormCloseEvent(1);
    QVERIFY(aliveAfterWindow);
    QVERIFY(qobject_cast<ExamQuestionsWidget *>(pageArea(*window).value(0)));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(practice.isNull());
}

void TestMainWidget::nextSetFromTheBankPage()
{
    QVERIFY(startedWindow());
    window->receiveButtonSlot(1);
    auto *bankPage = window->findChild<ExamQuestionsWidget *>();
    // A section of the fixture with two sets, opened as a user does.
    auto *tree = child<QTreeWidget>(bankPage, "treeWidget");
    QTRY_VERIFY_WITH_TIMEOUT(!tree->findItems(QStringLiteral("呼吸系统"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty(), 20000);
    QTreeWidgetItem *section = tree->findItems(QStringLiteral("呼吸系统"), Qt::MatchExactly | Qt::MatchRecursive).first();
    section->parent()->setExpanded(true);
    tree->scrollToItem(section);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(section).center());
    QTRY_VERIFY_WITH_TIMEOUT(child<QTableWidget>(bankPage, "tableWidget")->rowCount() == 2, 20000);
    bankPage->receiveSingle(0);
    QCOMPARE(bankPage->selectedRow(), 0);
    QSignalSpy opened(bankPage, &ExamQuestionsWidget::sendDataToSingleQuestionForm);
    auto *practice = window->findChild<SingleQuestionModelFrom *>();
    QVERIFY(practice);
    emit practice->sendQuestionsFormCloseEvent(0);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(bankPage->selectedRow(), 1);
    QVERIFY(pageArea(*window).value(0) != practice);
    QVERIFY(qobject_cast<SingleQuestionModelFrom *>(pageArea(*window).value(0)));
}

void TestMainWidget::nextChapterFromTheHomePage()
{
    QVERIFY(startedWindow());
    // Two neighbouring chapters of one parent.
    const QStringList pair = sqlRow(QStringLiteral(
        "select a.cateId, b.cateId from tCate a join tCate b on b.faId = a.faId and b.ord > a.ord "
        "order by a.faId, a.ord, b.ord limit 1"));
    QCOMPARE(pair.size(), 2);
    SqliteData set;
    set.text0 = pair.at(0);
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("章"));
    auto *practice = window->findChild<SingleQuestionModelFrom *>();
    log->clear();
    emit practice->sendQuestionsFormCloseEvent(0);
    QCOMPARE(log->lines().filter(QStringLiteral("pCateId: %1 ").arg(pair.at(1))).size(), 1);
    auto *next = qobject_cast<SingleQuestionModelFrom *>(pageArea(*window).value(0));
    QVERIFY(next && next != practice);
    QCOMPARE(window->practiceSet->text0, pair.at(1));
    QCOMPARE(set.text0, pair.at(0));
}

void TestMainWidget::nextChapterFailureKeepsThePage()
{
    QVERIFY(startedWindow());
    SqliteData set;
    set.text0 = QStringLiteral("1");
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("章"));
    auto *practice = window->findChild<SingleQuestionModelFrom *>();
    SqliteClass::instance()->closeDatabase();
    log->clear();
    emit practice->sendQuestionsFormCloseEvent(0);
    QVERIFY(!log->lines().filter(QStringLiteral("[Error:]")).isEmpty());
    QCOMPARE(pageArea(*window).value(0), practice);
    QVERIFY(practice->isVisible());
}

void TestMainWidget::lastSetOfSectionDoesNothing()
{
    QVERIFY(startedWindow());
    SqliteData set;
    set.text0 = QStringLiteral("1");
    window->receiveSingleQuestionModelFrom(&set, 1, QStringLiteral("节"));
    auto *practice = window->findChild<SingleQuestionModelFrom *>();
    log->clear();
    emit practice->sendQuestionsFormCloseEvent(0);
    QVERIFY(log->lines().filter(QStringLiteral("pCateId:")).isEmpty());
    QCOMPARE(pageArea(*window).value(0), practice);
}

void TestMainWidget::questionList()
{
    QVERIFY(startedWindow());
    QWidget *home = pageArea(*window).value(0);
    window->receiveShowType(0); // no list yet
    QCOMPARE(pageArea(*window).value(0), home);
    QVERIFY(home->isVisible());

    SqliteData set;
    log->clear();
    window->receiveQuestionForm(&set);
    const QList<QuestionsForm *> made = topLevels<QuestionsForm>();
    QCOMPARE(made.size(), 1);
    QSignalSpy started(made.first(), &QuestionsForm::sendPressValue);
    window->receiveQuestionForm(&set);
    QCOMPARE(topLevels<QuestionsForm>(), made); // kept and started again
    QCOMPARE(started.value(0).value(0).toInt(), 10);
    QCOMPARE(pageArea(*window).value(0), home); // shown only on request
    window->receiveShowType(0);
    QCOMPARE(QString::fromLatin1(pageArea(*window).value(0)->metaObject()->className()), QStringLiteral("QuestionsForm"));
    QVERIFY(!home->isVisible());
    window->receiveShowType(7);
    QCOMPARE(pageArea(*window).size(), 1);
}

// Pages fit the page area of the window at its opening size: none of them,
// nor a search hit or chapter practice shown in them, widens the window.
void TestMainWidget::pagesKeepTheWindowWidth()
{
    QVERIFY(startedWindow());
    // The navigation bar ends its slide first: the page area is narrowest then.
    const QWidget *spacer = child<QWidget>(window.get(), "widget_right2");
    auto *bar = window->findChild<NavigationForm *>();
    QTRY_VERIFY(slideEnded(bar));
    QVERIFY(spacer->width() >= 200);
    const int width = window->width();
    for (int id = 0; id <= 12; ++id) {
        window->receiveButtonSlot(id);
        settleLayouts();
        QVERIFY2(window->width() == width, qPrintable(QStringLiteral("page %1: %2").arg(id).arg(window->width())));
    }

    // The report and the syllabus slid the bar away: back with it.
    bar->slideIn();
    QTRY_VERIFY(slideEnded(bar));
    settleLayouts();
    QCOMPARE(window->width(), width);
    window->receiveButtonSlot(7);
    auto *search = qobject_cast<FindQuestionWidget *>(pageArea(*window).value(0));
    QVERIFY(search);
    child<QLineEdit>(search, "lineEdit")->setText(QStringLiteral("药"));
    QTest::mouseClick(child<QPushButton>(search, "btnSearch"), Qt::LeftButton);
    QVERIFY(pagedriving::finishLoad(*search));
    QVERIFY(pagedriving::table(*search)->rowCount() > 0);
    pagedriving::clickRow(pagedriving::table(*search), 0);
    settleLayouts();
    QVERIFY(pagedriving::shownCell(*search));
    QCOMPARE(window->width(), width);

    SqliteData set;
    set.text0 = QStringLiteral("12");
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("第一章"));
    settleLayouts();
    QVERIFY(qobject_cast<SingleQuestionModelFrom *>(pageArea(*window).value(0)));
    QCOMPARE(window->width(), width);
}

void TestMainWidget::treeTitlesWholeWhereTheyFit_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("name");
    // Names as long as each tree's row holds at the window's opening size.
    QTest::newRow("question bank") << 1 << QStringLiteral("呼吸系统疾病诊断原则");
    QTest::newRow("exam set-up") << 5 << QStringLiteral("呼吸系统疾病的诊断与治疗原则");
    QTest::newRow("quick memorisation") << 9 << QStringLiteral("呼吸系统疾病的诊断与治疗原则");
}

void TestMainWidget::treeTitlesWholeWhereTheyFit()
{
    QFETCH(int, page);
    QFETCH(QString, name);
    auto renamed = std::make_unique<FixtureBank>();
    renamed->addSql(QStringLiteral("UPDATE tCate SET cateName = '%1' WHERE cateId = 11;").arg(name));
    QVERIFY2(renamed->open(), qPrintable(renamed->error()));
    std::swap(bank, renamed);
    const bool started = startedWindow();
    std::swap(bank, renamed);
    QVERIFY(started);
    // The page area is narrowest once the navigation bar is in.
    QTRY_VERIFY(slideEnded(window->findChild<NavigationForm *>()));
    window->receiveButtonSlot(page);
    settleLayouts();
    auto *view = pageArea(*window).value(0)->findChild<QTreeWidget *>();
    QVERIFY(view);
    QTreeWidgetItem *section = nullptr;
    QTRY_VERIFY((section = view->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0)));
    view->expandAll();
    settleLayouts();

    // The trees draw their items at 12 pt; the delegate pads the text.
    QFont itemFont = view->font();
    itemFont.setPointSize(12);
    const int needed = QFontMetrics(itemFont).horizontalAdvance(name) + 8;
    const QRect shown = view->visualRect(indexOf(section));
    const int row = view->viewport()->width() - shown.left();
    QVERIFY2(needed <= row, qPrintable(QStringLiteral("%1 > %2").arg(needed).arg(row)));
    QVERIFY2(shown.width() >= needed, qPrintable(QStringLiteral("%1 < %2").arg(shown.width()).arg(needed)));
}

// ---- Lifetime --------------------------------------------------------------------

void TestMainWidget::deleteStartedWindow()
{
    QVERIFY(startedWindow());
    // The welcome screen's requests are still under way; open what can be open.
    auto *bar = window->findChild<NavigationForm *>();
    QTest::mouseClick(child<QPushButton>(bar, "pushButton_movefuntions"), Qt::LeftButton);
    SqliteData set;
    set.text0 = QStringLiteral("1");
    for (int id : {1, 2, 11, 12})
        window->receiveButtonSlot(id);
    window->receiveQuestionForm(&set);
    window->receiveShowType(0);
    window->receiveSingleQuestionModelFrom(&set, 2, QStringLiteral("章"));
    window->receiveAboutApp();
    settlePages();
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(topLevels<MoveFunctionsForm>().isEmpty());
    QVERIFY(topLevels<AboutApp>().isEmpty());
    QVERIFY(topLevels<WelcomeWidget>().isEmpty());
}

// ---- Menu and service links ---------------------------------------------------

void TestMainWidget::moreFunctionCodes_data()
{
    QTest::addColumn<int>("logo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("url");    // empty: no address
    QTest::addColumn<QString>("dialog"); // the dialog class shown, if any

    const QString courses = QStringLiteral("http://shop.velmora-brand.example/selcourse/selectCourse.shtm?courseEduId=90168");
    const QString brand = QStringLiteral("http://www.velmora-brand.example/");
    const QString product = QStringLiteral("http://www.velmora.example/chanpin");
    for (int logo : {1, 0}) {
        const QString tag = QStringLiteral("logo %1 code ").arg(logo);
        QTest::newRow(qPrintable(tag + '0')) << logo << 0 << (logo == 1 ? courses : product) << QString();
        QTest::newRow(qPrintable(tag + '1')) << logo << 1 << QString() << QStringLiteral("ConfigDialog");
        QTest::newRow(qPrintable(tag + '2')) << logo << 2 << QString() << QStringLiteral("FeedBaceDialog");
        QTest::newRow(qPrintable(tag + '3')) << logo << 3 << (logo == 1 ? brand : product) << QString();
        QTest::newRow(qPrintable(tag + '4')) << logo << 4 << QString() << QStringLiteral("AboutApp");
        QTest::newRow(qPrintable(tag + '5')) << logo << 5 << QString() << QStringLiteral("DataRecoveryWidget");
        QTest::newRow(qPrintable(tag + '6')) << logo << 6 << QString() << QString();
    }
}

void TestMainWidget::moreFunctionCodes()
{
    QFETCH(int, logo);
    QFETCH(int, index);
    QFETCH(QString, url);
    QFETCH(QString, dialog);
    QVERIFY(startedWindow(modelOne + QStringLiteral("[Logo]\nType=%1\n").arg(logo)));
    UrlSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &sink, "open");
    const QWidgetList before = QApplication::topLevelWidgets();
    window->receiveMoveFunctionOutOutline(index);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    QCOMPARE(sink.urls, url.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(url)});
    QStringList shown;
    const QWidgetList after = QApplication::topLevelWidgets();
    for (QWidget *widget : after)
        if (widget->isVisible() && widget != window.get() && !before.contains(widget))
            shown << QString::fromLatin1(widget->metaObject()->className());
    QCOMPARE(shown, dialog.isEmpty() ? QStringList() : QStringList{dialog});
    if (index == 5) {
        // The repair dialog's end asks for a new window.
        QSignalSpy rebuild(window.get(), &MainWidget::sendMainWidget);
        emit shownTopLevel<DataRecoveryWidget>()->sendDataRecovery();
        QCOMPARE(rebuild.size(), 1);
    }
}

void TestMainWidget::menuActions()
{
    QVERIFY(startedWindow(modelOne + QStringLiteral("[Logo]\nType=1\n")));
    window->initMenu();
    auto *button = child<QPushButton>(window.get(), "pushButton_config");
    QVERIFY(button->isHidden());
    QMenu *menu = button->menu();
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    QStringList texts;
    for (int i = 0; i < actions.size(); ++i) {
        texts << actions.at(i)->text();
        QCOMPARE(actions.at(i)->data().toInt(), i);
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("在线下载科目"), QStringLiteral("在线课程"), QStringLiteral("意见反馈"),
                                 QStringLiteral("关于软件")}));

    UrlSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &sink, "open");
    actions.at(1)->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(sink.urls.size(), 1);
    QVERIFY(sink.urls.first().query().contains(QStringLiteral("courseEduId=90168")));
    actions.at(2)->trigger();
    QVERIFY(shownTopLevel<FeedBaceDialog>());
    actions.at(3)->trigger();
    QVERIFY(shownTopLevel<AboutApp>());

    // The catalogue, connected to the bank switch.
    actions.at(0)->trigger();
    auto *subjects = shownTopLevel<SelectSubjectsDialog>();
    QVERIFY(subjects);
    QTRY_COMPARE(service->requests(QStringLiteral("/mobi/verData.php")).size(), 1);
    QSignalSpy rebuild(window.get(), &MainWidget::sendMainWidget);
    emit subjects->sendCurrentDBPath(QStringLiteral("data"));
    QCOMPARE(rebuild.size(), 1);

    // Data 5 brings the window back from the task bar.
    QAction restore;
    restore.setData(5);
    connect(&restore, &QAction::triggered, window.get(), &MainWidget::receiveConfigAction);
    window->showMinimized();
    restore.trigger();
    QVERIFY(!window->isMinimized());
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
