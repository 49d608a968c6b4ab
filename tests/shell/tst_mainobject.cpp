// The application object: its start flag, the first start-up and the
// rebuild of the main window when the bank changes.
#include "MainObject.h"

#include "FixtureBank.h"
#include "HomePageWidget.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "MainWidget.h"
#include "PublicData.h"
#include "Resources.h"
#include "SelectSubjectsDialog.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString memo = QStringLiteral("临床执业医师（测试）");
const QString secondMemo = QStringLiteral("临床助理医师（第二）");
const QString modelOne = QStringLiteral("[AppModel]\nmodel=1\n");

QByteArray gb2312(const QString &text)
{
    return QTextCodec::codecForName("GB2312")->fromUnicode(text);
}

template<typename T>
T *shownTopLevel()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets)
        if (auto *typed = qobject_cast<T *>(widget))
            if (typed->isVisible())
                return typed;
    return nullptr;
}

QString title(const MainWidget *window)
{
    return window->findChild<QLabel *>(QStringLiteral("label_title"))->text();
}

} // namespace

class TestMainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nonZeroFlagDoesNothing();
    void startOnData();
    void startHandsOverToUpdater();
    void rebuildReplacesTheWindow();
    void rebuildToUpdaterEndsTheEventLoop();
    void rebuildInsideTheEventLoopKeepsRunning_data();
    void rebuildInsideTheEventLoopKeepsRunning();

private:
    MainWidget *current() const { return object ? object->mainWidget : nullptr; }
    void installBank(const FixtureBank &from, const QString &dir);
    void writeUpdater();
    // Lets the home page's load of the window end before the window goes.
    void settle(MainWidget *window);

    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<FixtureBank> secondBank;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<MainObject> object;
};

void TestMainObject::initTestCase()
{
    initResources();
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    secondBank = std::make_unique<FixtureBank>();
    secondBank->addSql(QStringLiteral("UPDATE sysConfig SET memo = '%1' WHERE key = 'sysTypeISN';").arg(secondMemo));
    QVERIFY2(secondBank->open(), qPrintable(secondBank->error()));
}

void TestMainObject::init()
{
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    workDir = std::make_unique<TempWorkDir>(gb2312(modelOne));
    log = std::make_unique<LogCapture>();
}

void TestMainObject::settle(MainWidget *window)
{
    if (!window)
        return;
    if (auto *home = window->findChild<HomePageWidget *>()) {
        auto *state = home->findChild<QLabel *>(QStringLiteral("label_studystate"));
        state->clear();
        home->initData();
        if (!QTest::qWaitFor([state] { return !state->text().isEmpty(); }, 10000))
            qWarning("the home page's load did not end");
    }
    QCoreApplication::processEvents();
}

void TestMainObject::cleanup()
{
    settle(current());
    object.reset();
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

void TestMainObject::installBank(const FixtureBank &from, const QString &dir)
{
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::copy(from.filePath(), dir + QStringLiteral("/MedicalDB.db")));
}

void TestMainObject::writeUpdater()
{
    QFile script(QStringLiteral("UpdateVelmora.exe"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/ran.txt\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

void TestMainObject::nonZeroFlagDoesNothing()
{
    installBank(*bank, QStringLiteral("data"));
    object = std::make_unique<MainObject>();
    QVERIFY(current());
    QCOMPARE(object->start(1), 0);
    QVERIFY(!current()->isVisible());
    QVERIFY(!shownTopLevel<SelectSubjectsDialog>());
    QCOMPARE(title(current()), QString());
    QVERIFY(!current()->findChild<QPushButton *>(QStringLiteral("pushButton_config"))->menu());
    QCOMPARE(PublicData::value(QStringLiteral("AppModel/model")), QStringLiteral("1"));
}

void TestMainObject::startOnData()
{
    installBank(*bank, QStringLiteral("data"));
    object = std::make_unique<MainObject>();
    QCOMPARE(object->start(0), 0);
    QVERIFY(current()->isVisible());
    QCOMPARE(title(current()), memo);
    QCOMPARE(PublicData::value(QStringLiteral("AppModel/model")), QStringLiteral("0"));
    auto *button = current()->findChild<QPushButton *>(QStringLiteral("pushButton_config"));
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
}

void TestMainObject::startHandsOverToUpdater()
{
    workDir->writeConfig(QByteArray());
    installBank(*bank, QStringLiteral("data"));
    writeUpdater();
    object = std::make_unique<MainObject>();
    QCOMPARE(object->start(0), -1);
    QVERIFY(!current()->isVisible());
    QTRY_VERIFY(QFile::exists(workDir->filePath(QStringLiteral("ran.txt"))));
}

void TestMainObject::rebuildReplacesTheWindow()
{
    installBank(*bank, QStringLiteral("data"));
    installBank(*secondBank, QStringLiteral("data/second"));
    object = std::make_unique<MainObject>();
    QCOMPARE(object->start(0), 0);
    QPointer<MainWidget> first = current();
    settle(first);

    PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("data/second"));
    first->receiveCurrentDBPath(QStringLiteral("data/second"));
    // Hidden at once, deleted only once the event loop runs again.
    QVERIFY(first);
    QVERIFY(!first->isVisible());
    QPointer<MainWidget> second = current();
    QVERIFY(second && second != first);
    QVERIFY(second->isVisible());
    QCOMPARE(title(second), secondMemo);
    QVERIFY(second->findChild<QPushButton *>(QStringLiteral("pushButton_config"))->menu());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    // The new window is heard as well.
    settle(second);
    PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("data"));
    second->receiveCurrentDBPath(QStringLiteral("data"));
    QVERIFY(!second.isNull());
    QVERIFY(!second->isVisible());
    QVERIFY(current() != second);
    QVERIFY(current()->isVisible());
    QCOMPARE(title(current()), memo);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(second.isNull());
}

void TestMainObject::rebuildToUpdaterEndsTheEventLoop()
{
    installBank(*bank, QStringLiteral("data"));
    object = std::make_unique<MainObject>();
    QCOMPARE(object->start(0), 0);
    QPointer<MainWidget> first = current();
    settle(first);
    // The start left model 0: the rebuilt window runs the updater.
    writeUpdater();

    QTimer::singleShot(0, first, [first] { first->receiveCurrentDBPath(QStringLiteral("./data")); });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    failSafe.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(failSafe.isActive());
    QVERIFY(!current()->isVisible());
    QVERIFY(log->contains(QStringLiteral("启动UpdateVelmora.exe成功")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
}

void TestMainObject::rebuildInsideTheEventLoopKeepsRunning_data()
{
    QTest::addColumn<QString>("cause");
    QTest::newRow("subject switch") << QStringLiteral("switch");
    QTest::newRow("finished repair") << QStringLiteral("repair");
    QTest::newRow("first subject installed") << QStringLiteral("first");
}

// As in the running program: the old window and the dialog that asked for
// the new one close inside QCoreApplication::exec(), where the last visible
// window closing may end the program.
void TestMainObject::rebuildInsideTheEventLoopKeepsRunning()
{
    QFETCH(QString, cause);
    if (cause != QLatin1String("first"))
        installBank(*bank, QStringLiteral("data"));
    installBank(*secondBank, QStringLiteral("spare"));
    object = std::make_unique<MainObject>();
    QCOMPARE(object->start(0), 0);
    QPointer<MainWidget> first = current();
    settle(first);

    auto rebuild = [this, cause, first] {
        if (cause == QLatin1String("switch")) {
            PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("spare"));
            first->receiveCurrentDBPath(QStringLiteral("spare"));
        } else if (cause == QLatin1String("repair")) {
            first->receiveDataRecovery();
        } else {
            // The subject dialog is the only window on screen; it closes
            // once the subject is in place.
            SelectSubjectsDialog *dialog = shownTopLevel<SelectSubjectsDialog>();
            QVERIFY(dialog);
            QVERIFY(QDir().rename(QStringLiteral("spare"), QStringLiteral("data")));
            emit dialog->sendCurrentDBPath(QStringLiteral("./data"));
        }
    };
    bool shown = false;
    QTimer::singleShot(0, first, rebuild);
    QTimer failSafe;
    failSafe.setSingleShot(true);
    connect(&failSafe, &QTimer::timeout, [&] {
        shown = current() != first && current()->isVisible();
        QCoreApplication::exit(7);
    });
    failSafe.start(1500);
    QCOMPARE(QCoreApplication::exec(), 7);
    QVERIFY(shown);
    QVERIFY(first.isNull());
}

QTEST_MAIN(TestMainObject)
#include "tst_mainobject.moc"
