// The welcome screen: opening the bank at start-up, the settings it reads,
// the install report and the version checks against the local web service,
// dragging, and the exit button.
#include "WelcomeWidget.h"

#include "FixtureBank.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "LoginBaseClass.h"
#include "PublicData.h"
#include "Resources.h"
#include "ServiceUrl.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTextCodec>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

const int generousWait = 20000;
const QString installPath = QStringLiteral("/client/clientInstallStats.php");
const QString programPath = QStringLiteral("/client/verProgram.php");
const QString databasePath = QStringLiteral("/client/verDll.php");
const QString formLogo = QStringLiteral("border-image: url(:/Welcome/images/Welcome/logo.png);");
const QString brandLogo = QStringLiteral("border-image: url(:/Welcome/images/Welcome/tarsinlogo.png);");
const QString bigLogo = QStringLiteral("Logo/biglogo.png");

QByteArray gb2312(const QString &text)
{
    return QTextCodec::codecForName("GB2312")->fromUnicode(text);
}

// How a test prepares its bank before the welcome screen opens it.
enum class BankSetup { Good, NoFile, OtherPhrase, Plain, ReadOnly, NoIsnRow, NoSysConfig };

// A free port on 127.0.0.1 that nobody listens on.
QByteArray closedHost()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const QByteArray host = "127.0.0.1:" + QByteArray::number(server.serverPort());
    server.close();
    return host;
}

// Counts the paint events of the widget it filters.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// An agent logo the installation would ship: any picture will do.
void writeBigLogo()
{
    QDir().mkpath(QStringLiteral("Logo"));
    QVERIFY(QFile::copy(QStringLiteral(":/MenuIcon/images/MenuIcon/corvelwang_normal.png"), bigLogo));
}

template<typename T>
T *child(const WelcomeWidget &widget, const char *name)
{
    return widget.findChild<T *>(QLatin1String(name));
}

} // namespace

Q_DECLARE_METATYPE(BankSetup)

class TestWelcomeWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructedHiddenAndCentred();
    void initWelcome_data();
    void initWelcome();
    void spinnerTurns();
    void paintedBeforeTheEventLoop();
    void skin_data();
    void skin();
    void logo_data();
    void logo();
    void installedTextsAreReadAsGb2312();
    void longTextsAreCutWithTheWholeTextAsTip();

    void installRequestForm_data();
    void installRequestForm();
    void installReplies_data();
    void installReplies();
    void confirmedReportSendsTypeOneNextStart();
    void versionChainRunsOnceInOrder();
    void versionPaths_data();
    void versionPaths();
    void versionWrites_data();
    void versionWrites();
    void offlineQueueIsPosted();
    void destroyedWithRequestInFlight_data();
    void destroyedWithRequestInFlight();

    void drag_data();
    void drag();
    void exitButtonQuitsAtOnce();

private:
    // A fixture bank prepared as the setup says; its directory or "" on
    // failure. An untouched good bank is shared unless the test changes it.
    QString prepareBank(BankSetup setup, bool changed = false);
    // A welcome screen that opened the shared fixture bank.
    std::unique_ptr<WelcomeWidget> started();
    // Waits until the version request of the last step has been read.
    bool chainEnded(const WelcomeWidget &widget);
    QString config(const QString &key) const { return PublicData::value(key); }

    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> sharedBank;
    std::unique_ptr<FixtureBank> ownBank;
    FixtureBank *bank = nullptr; // the one the test opens
    std::unique_ptr<LogCapture> log;
};

void TestWelcomeWidget::initTestCase()
{
    initResources();
    // The start-up reads the bank and changes nothing in it.
    sharedBank = std::make_unique<FixtureBank>();
    QVERIFY2(sharedBank->open(), qPrintable(sharedBank->error()));
}

void TestWelcomeWidget::init()
{
    // A fresh service each time: a request of the last test may still come in.
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    workDir = std::make_unique<TempWorkDir>();
    PublicData *data = PublicData::instance();
    data->proxyButtonText1.clear();
    data->proxyButtonText2.clear();
    data->proxyButtonText3.clear();
    log = std::make_unique<LogCapture>();
}

void TestWelcomeWidget::cleanup()
{
    log.reset();
    SqliteClass::instance()->setLoginClient(nullptr);
    SqliteClass::instance()->closeDatabase();
    bank = nullptr;
    ownBank.reset();
    workDir.reset();
    service.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString TestWelcomeWidget::prepareBank(BankSetup setup, bool changed)
{
    if (setup == BankSetup::Good && !changed) {
        bank = sharedBank.get();
        return bank->path();
    }
    if (setup == BankSetup::NoFile) {
        // A subject directory without its database.
        QDir().mkpath(QStringLiteral("empty"));
        return QDir::current().absoluteFilePath(QStringLiteral("empty"));
    }
    ownBank = std::make_unique<FixtureBank>(setup == BankSetup::Plain ? FixtureBank::Form::Plain
                                                                      : FixtureBank::Form::Keyed);
    bank = ownBank.get();
    if (setup == BankSetup::OtherPhrase)
        bank->setPhrase("another phrase");
    if (setup == BankSetup::NoIsnRow)
        bank->addSql(QStringLiteral("DELETE FROM sysConfig WHERE key = 'sysTypeISN';"));
    if (setup == BankSetup::NoSysConfig)
        bank->addSql(QStringLiteral("DROP TABLE sysConfig;"));
    if (!bank->open()) {
        qWarning() << bank->error();
        return QString();
    }
    if (setup == BankSetup::ReadOnly)
        QFile::setPermissions(bank->filePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    return bank->path();
}

std::unique_ptr<WelcomeWidget> TestWelcomeWidget::started()
{
    auto widget = std::make_unique<WelcomeWidget>();
    const QString path = prepareBank(BankSetup::Good);
    if (path.isEmpty() || widget->initWelcome(path) != 1)
        return nullptr;
    return widget;
}

bool TestWelcomeWidget::chainEnded(const WelcomeWidget &widget)
{
    // The database check is the third and last request: once it is in and
    // no reply is left with the manager, its reply has been read (and any
    // request it started would still be there).
    if (!QTest::qWaitFor([&] { return service->requests().size() >= 3; }, generousWait))
        return false;
    const auto *manager = widget.findChild<QNetworkAccessManager *>();
    return manager && QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return manager->findChildren<QNetworkReply *>().isEmpty();
    }, generousWait);
}

void TestWelcomeWidget::constructedHiddenAndCentred()
{
    const WelcomeWidget widget;
    QCOMPARE(widget.objectName(), QStringLiteral("WelcomeWidget"));
    QCOMPARE(widget.windowTitle(), QStringLiteral("Velmora之星"));
    QCOMPARE(widget.size(), QSize(1024, 700));
    QVERIFY(widget.isWindow());
    QVERIFY(widget.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(widget.windowFlags() & Qt::CustomizeWindowHint);
    QVERIFY(widget.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!widget.isVisible());
    QVERIFY(child<QLabel>(widget, "label_gif")->isHidden());
    QVERIFY(child<QLabel>(widget, "label_text")->isHidden());
    QCOMPARE(child<QLabel>(widget, "label_text")->text(), QStringLiteral("正在加载..."));
    QCOMPARE(child<QPushButton>(widget, "pushButton_exit")->focusPolicy(), Qt::NoFocus);
    QCOMPARE(child<QPushButton>(widget, "pushButton_exit")->geometry(), QRect(990, 20, 9, 11));
    // Half the screen's spare room, truncated toward zero, without its offset.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(widget.pos(), QPoint((screen.width() - 1024) / 2, (screen.height() - 700) / 2));
    QVERIFY(widget.skinColor().isEmpty());
    QVERIFY(widget.logoPath().isEmpty());
}

void TestWelcomeWidget::initWelcome_data()
{
    QTest::addColumn<BankSetup>("setup");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("attributeLog"); // "" when the attributes are left alone
    QTest::addColumn<QString>("title");

    const QString changed = QStringLiteral("修改文件属性成功.");
    const QString failed = QStringLiteral("修改文件属性失败.");
    const QString memo = QStringLiteral("临床执业医师（测试）");
    QTest::newRow("good bank") << BankSetup::Good << 1 << QString() << memo;
    QTest::newRow("no MedicalDB.db") << BankSetup::NoFile << -1 << failed << QString();
    QTest::newRow("other phrase") << BankSetup::OtherPhrase << -1 << QString() << QString();
    QTest::newRow("plain bank") << BankSetup::Plain << -1 << QString() << QString();
    QTest::newRow("read-only file") << BankSetup::ReadOnly << 1 << changed << memo;
    QTest::newRow("no sysTypeISN row") << BankSetup::NoIsnRow << 1 << QString() << QString();
    QTest::newRow("sysConfig dropped") << BankSetup::NoSysConfig << -1 << QString() << QString();
}

void TestWelcomeWidget::initWelcome()
{
    QFETCH(BankSetup, setup);
    QFETCH(int, result);
    QFETCH(QString, attributeLog);
    QFETCH(QString, title);
    workDir->writeConfig(gb2312(QStringLiteral("[ContactUs]\r\nContact1=电话：400-800-1234\\n地址：北京\r\n")));
    const QString path = prepareBank(setup);
    QVERIFY(!path.isEmpty());

    WelcomeWidget widget;
    QCOMPARE(widget.initWelcome(path), result);
    QCOMPARE(widget.isVisible(), result == 1);
    QVERIFY(log->contains(QStringLiteral("filePath:") + path + QStringLiteral("/MedicalDB.db")));
    for (const QString &line : {QStringLiteral("修改文件属性成功."), QStringLiteral("修改文件属性失败.")})
        QCOMPARE(log->contains(line), line == attributeLog);
    if (setup == BankSetup::ReadOnly)
        QVERIFY(QFileInfo(bank->filePath()).permissions() & QFile::WriteOwner);
    if (setup == BankSetup::NoSysConfig)
        QVERIFY2(log->contains(SqliteClass::instance()->lastErrorText()), qPrintable(log->lines().join('\n')));
    if (result != 1)
        return;
    QCOMPARE(child<QLabel>(widget, "label_title")->text(), title);
    QCOMPARE(child<QLabel>(widget, "label_ContactUs")->text(), QStringLiteral("电话：400-800-1234\t地址：北京"));
    QVERIFY(child<QLabel>(widget, "label_gif")->isVisible());
    QVERIFY(child<QLabel>(widget, "label_text")->isVisible());
    // The bank is open for the pages that follow.
    QVERIFY(SqliteClass::instance()->questionCount() > 0);
}

void TestWelcomeWidget::paintedBeforeTheEventLoop()
{
    // The program's first start: the pages are built before the event loop
    // runs, so the splash must be on screen when initWelcome returns.
    const QString path = prepareBank(BankSetup::Good);
    QVERIFY(!path.isEmpty());
    WelcomeWidget widget;
    PaintCounter title;
    child<QLabel>(widget, "label_title")->installEventFilter(&title);
    QCOMPARE(widget.initWelcome(path), 1);
    QVERIFY(widget.windowHandle());
    QVERIFY(widget.windowHandle()->isExposed());
    QVERIFY(title.paints > 0);
}

void TestWelcomeWidget::spinnerTurns()
{
    const auto widget = started();
    QVERIFY(widget);
    QMovie *movie = child<QLabel>(*widget, "label_gif")->movie();
    QVERIFY(movie);
    QVERIFY(movie->isValid());
    QVERIFY(movie->frameCount() > 1);
    QCOMPARE(movie->state(), QMovie::Running);
    QSignalSpy frames(movie, &QMovie::frameChanged);
    QVERIFY(frames.wait(generousWait));
}

void TestWelcomeWidget::skin_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("name");
    QTest::newRow("empty file") << QByteArray() << "80,153,2,255" << "";
    QTest::newRow("empty colour") << QByteArray("[QuestionCell]\nSkinColor=\nSkinImage=blue\n") << "80,153,2,255"
                                  << "blue";
    QTest::newRow("written by the skin dialog")
        << QByteArray("[QuestionCell]\nSkinColor=\"255,127,167,255\"\nSkinImage=pink\n") << "255,127,167,255"
        << "pink";
    QTest::newRow("edited by hand") << QByteArray("[QuestionCell]\nSkinColor=87,87,87,255\n") << "87,87,87,255"
                                    << "";
}

void TestWelcomeWidget::skin()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, colour);
    QFETCH(QString, name);
    workDir->writeConfig(ini);
    const auto widget = started();
    QVERIFY(widget);
    QCOMPARE(widget->skinColor(), colour);
    QCOMPARE(widget->skinImage(), name);
}

void TestWelcomeWidget::logo_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("agentLogo");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("path");
    const QString agentStyle = QStringLiteral("border-image: url(Logo/biglogo.png);");
    QTest::newRow("brand, agent logo present") << 1 << true << brandLogo << QString();
    QTest::newRow("brand") << 1 << false << brandLogo << QString();
    for (int type : {0, 2, 5}) {
        QTest::addRow("type %d, agent logo", type) << type << true << agentStyle << bigLogo;
        QTest::addRow("type %d", type) << type << false << formLogo << QString();
    }
}

void TestWelcomeWidget::logo()
{
    QFETCH(int, type);
    QFETCH(bool, agentLogo);
    QFETCH(QString, style);
    QFETCH(QString, path);
    workDir->writeConfig("[Logo]\nType=" + QByteArray::number(type) + "\n");
    if (agentLogo)
        writeBigLogo();
    const auto widget = started();
    QVERIFY(widget);
    QCOMPARE(child<QLabel>(*widget, "label_logo")->styleSheet(), style);
    QCOMPARE(widget->logoPath(), path);
}

void TestWelcomeWidget::installedTextsAreReadAsGb2312()
{
    const QString contact = QStringLiteral("客服电话：400-800-1234\\n地址：北京市海淀区");
    workDir->writeConfig("[ContactUs]\r\nContact1=" + gb2312(contact) + "\r\n[ProxyUI]\r\nProxyButtonText1="
                         + gb2312(QStringLiteral("执业医师")) + "\r\nProxyButtonText2="
                         + gb2312(QStringLiteral("护士")) + "\r\nProxyButtonText3="
                         + gb2312(QStringLiteral("药师")) + "\r\n");
    const auto widget = started();
    QVERIFY(widget);
    QCOMPARE(child<QLabel>(*widget, "label_ContactUs")->text(),
             QStringLiteral("客服电话：400-800-1234\t地址：北京市海淀区"));
    const PublicData *data = PublicData::instance();
    QCOMPARE(data->proxyButtonText1, QStringLiteral("执业医师"));
    QCOMPARE(data->proxyButtonText2, QStringLiteral("护士"));
    QCOMPARE(data->proxyButtonText3, QStringLiteral("药师"));
}

void TestWelcomeWidget::longTextsAreCutWithTheWholeTextAsTip()
{
    const QString contact = QStringLiteral("全国统一客服热线：400-800-1234（工作日 9:00—18:00），"
                                           "地址：北京市海淀区中关村大街一号医学考试辅导中心大楼十二层，"
                                           "邮箱：service@example.com，欢迎来电咨询各类医学资格考试辅导课程");
    const QString title = QStringLiteral("临床执业医师资格考试（实践技能与医学综合笔试）全真模拟题库"
                                         "——二〇一六年最新版含历年真题解析与考点精讲");
    workDir->writeConfig("[ContactUs]\r\nContact1=" + gb2312(contact) + "\r\n");
    const QString path = prepareBank(BankSetup::Good, true);
    QVERIFY(bank->exec(QStringLiteral("UPDATE sysConfig SET memo = '%1' WHERE key = 'sysTypeISN'").arg(title)));
    WelcomeWidget widget;
    QCOMPARE(widget.initWelcome(path), 1);
    for (const auto &[name, text] : {std::pair{"label_ContactUs", contact}, std::pair{"label_title", title}}) {
        const QLabel *label = child<QLabel>(widget, name);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
        QVERIFY2(label->text().endsWith(QChar(0x2026)), name);
        QVERIFY2(text.startsWith(label->text().chopped(1)), name);
        QCOMPARE(label->toolTip(), text);
    }
}

void TestWelcomeWidget::installRequestForm_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("isn");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("dlsId");
    QTest::newRow("fresh installation") << QByteArray() << "1101" << "A" << "0" << "0";
    QTest::newRow("reported agent edition") << QByteArray("[Logo]\nIsUseType=1\nType=7\n") << "1101" << "A" << "1"
                                            << "7";
    // Delimiters inside the values stay the values' own.
    QTest::newRow("delimiters in the values") << QByteArray() << "11&01#x" << "A=B+C %2" << "0" << "0";
}

void TestWelcomeWidget::installRequestForm()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, isn);
    QFETCH(QString, goods);
    QFETCH(QString, type);
    QFETCH(QString, dlsId);
    workDir->writeConfig(ini);
    const QString path = prepareBank(BankSetup::Good, true);
    QVERIFY(bank->exec(QStringLiteral("UPDATE sysConfig SET value = '%1' WHERE key = 'sysTypeISN'").arg(isn)));
    QVERIFY(bank->exec(QStringLiteral("UPDATE sysConfig SET value = '%1' WHERE key = 'sysTypeGoods'").arg(goods)));
    WelcomeWidget widget;
    QCOMPARE(widget.initWelcome(path), 1);

    QTRY_COMPARE_WITH_TIMEOUT(service->requests(installPath).size(), 1, generousWait);
    const LocalWebService::Request request = service->requests(installPath).first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.queryNames(),
             (QStringList{"key", "source", "ID", "type", "sysTypeGoods", "sysTypeISN", "dlsId"}));
    QCOMPARE(request.queryValue("key"), WelcomeWidget::md5Hex(ServiceUrl::accessKey() + goods + isn));
    QCOMPARE(request.queryValue("source"), QStringLiteral("client"));
    QCOMPARE(request.queryValue("ID"), QStringLiteral(""));
    QCOMPARE(request.queryValue("type"), type);
    QCOMPARE(request.queryValue("sysTypeGoods"), goods);
    QCOMPARE(request.queryValue("sysTypeISN"), isn);
    QCOMPARE(request.queryValue("dlsId"), dlsId);
}

void TestWelcomeWidget::installReplies_data()
{
    QTest::addColumn<QByteArray>("host"); // empty: the local service
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("0") << QByteArray() << 200 << QByteArray("0") << true;
    QTest::newRow("10") << QByteArray() << 200 << QByteArray("10") << true;
    QTest::newRow("OK") << QByteArray() << 200 << QByteArray("OK") << false;
    QTest::newRow("empty") << QByteArray() << 200 << QByteArray() << false;
    QTest::newRow("500 with a 0") << QByteArray() << 500 << QByteArray("0") << false;
    QTest::newRow("500 page") << QByteArray() << 500 << QByteArray("500 Internal Server Error") << false;
    QTest::newRow("closed port") << closedHost() << 200 << QByteArray() << false;
}

void TestWelcomeWidget::installReplies()
{
    QFETCH(QByteArray, host);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, delivered);
    if (!host.isEmpty())
        qputenv("VELMORA_SERVICE_HOST", host);
    service->setStatus(installPath, status);
    service->setBody(installPath, body);
    const QByteArray before = workDir->readConfig();

    const auto widget = started();
    QVERIFY(widget);
    const QString outcome = delivered ? QStringLiteral("提交完成") : QStringLiteral("提交失败");
    QTRY_VERIFY_WITH_TIMEOUT(log->contains(outcome), generousWait);
    QVERIFY(!log->contains(delivered ? QStringLiteral("提交失败") : QStringLiteral("提交完成")));
    if (delivered)
        QCOMPARE(config(QStringLiteral("Logo/IsUseType")), QStringLiteral("1"));
    else
        QCOMPARE(workDir->readConfig(), before);
    // A failed request is logged as a network error; the version checks follow anyway.
    QCOMPARE(log->contains(QStringLiteral("网络未连接:")), host.isEmpty() ? status != 200 : true);
    if (host.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(service->requests(programPath).size(), 1, generousWait);
    else
        QTRY_VERIFY_WITH_TIMEOUT(log->contains(QStringLiteral("error:")), generousWait);
}

void TestWelcomeWidget::confirmedReportSendsTypeOneNextStart()
{
    {
        const auto first = started();
        QVERIFY(first);
        QTRY_VERIFY_WITH_TIMEOUT(log->contains(QStringLiteral("提交完成")), generousWait);
    }
    SqliteClass::instance()->closeDatabase();
    WelcomeWidget second;
    QCOMPARE(second.initWelcome(bank->path()), 1);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(installPath).size(), 2, generousWait);
    QCOMPARE(service->requests(installPath).at(0).queryValue("type"), QStringLiteral("0"));
    QCOMPARE(service->requests(installPath).at(1).queryValue("type"), QStringLiteral("1"));
}

void TestWelcomeWidget::versionChainRunsOnceInOrder()
{
    const auto widget = started();
    QVERIFY(widget);
    QVERIFY(chainEnded(*widget));
    QStringList paths;
    for (const LocalWebService::Request &request : service->requests())
        paths << request.path;
    QCOMPARE(paths, (QStringList{installPath, programPath, databasePath}));
    for (const QString &path : {programPath, databasePath}) {
        const LocalWebService::Request request = service->requests(path).first();
        QCOMPARE(request.method, QByteArray("GET"));
        QVERIFY(request.rawQuery.isEmpty());
        QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    }
}

void TestWelcomeWidget::versionPaths_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("path");
    QTest::newRow("no program version") << "PROGRAM" << "" << programPath;
    QTest::newRow("program abc") << "PROGRAM" << "abc" << programPath;
    QTest::newRow("program 13") << "PROGRAM" << "13" << programPath;
    QTest::newRow("program 14") << "PROGRAM" << "14" << "/client/verProgramNew.php";
    QTest::newRow("no database version") << "DATABASE" << "" << databasePath;
    QTest::newRow("database 13") << "DATABASE" << "13" << databasePath;
    QTest::newRow("database 14") << "DATABASE" << "14" << "/client/verDllNew.php";
}

void TestWelcomeWidget::versionPaths()
{
    QFETCH(QString, key);
    QFETCH(QString, local);
    QFETCH(QString, path);
    PublicData::setValue(QStringLiteral("Version/") + key, local);
    const auto widget = started();
    QVERIFY(widget);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests().size(), 3, generousWait);
    QCOMPARE(service->requests().at(key == QLatin1String("PROGRAM") ? 1 : 2).path, path);
}

void TestWelcomeWidget::versionWrites_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("stored");
    const QString dll = QStringLiteral("/client/verDllNew.php");
    const QString program = QStringLiteral("/client/verProgramNew.php");
    QTest::newRow("local 16, server 15") << "DATABASE" << "16" << dll << 200 << QByteArray("15") << "15";
    QTest::newRow("local 15, server 15") << "DATABASE" << "15" << dll << 200 << QByteArray("15") << "15";
    QTest::newRow("local 15, server 16") << "DATABASE" << "15" << dll << 200 << QByteArray("16") << "15";
    QTest::newRow("local 13, server 12") << "DATABASE" << "13" << databasePath << 200 << QByteArray("12")
                                         << "12";
    QTest::newRow("program 16, server 15") << "PROGRAM" << "16" << program << 200 << QByteArray("15") << "15";
    QTest::newRow("program 15, server 16") << "PROGRAM" << "15" << program << 200 << QByteArray("16") << "15";
    QTest::newRow("empty reply") << "DATABASE" << "16" << dll << 200 << QByteArray() << "16";
    QTest::newRow("html reply") << "DATABASE" << "16" << dll << 200 << QByteArray("<html><body>15</body></html>")
                                << "16";
    QTest::newRow("error page with a number") << "DATABASE" << "16" << dll << 500 << QByteArray("15") << "16";
    QTest::newRow("reply cut at NUL") << "DATABASE" << "16" << dll << 200 << QByteArray("15\0junk", 7) << "15";
}

void TestWelcomeWidget::versionWrites()
{
    QFETCH(QString, key);
    QFETCH(QString, local);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, reply);
    QFETCH(QString, stored);
    PublicData::setValue(QStringLiteral("Version/") + key, local);
    service->setStatus(path, status);
    service->setBody(path, reply);
    const auto widget = started();
    QVERIFY(widget);
    QVERIFY(chainEnded(*widget));
    QCOMPARE(service->requests(path).size(), 1);
    QCOMPARE(config(QStringLiteral("Version/") + key), stored);
    // The other check's key stays as it was: absent.
    const QString other = key == QLatin1String("PROGRAM") ? QStringLiteral("DATABASE") : QStringLiteral("PROGRAM");
    QCOMPARE(config(QStringLiteral("Version/") + other), QString());
}

void TestWelcomeWidget::offlineQueueIsPosted()
{
    SqliteClass::instance()->setLoginClient(new LoginBaseClass);
    // The confirmed rows leave the bank.
    WelcomeWidget widget;
    QCOMPARE(widget.initWelcome(prepareBank(BankSetup::Good, true)), 1);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(QStringLiteral("/other/feedback.php")).size(), 1, generousWait);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(QStringLiteral("/other/conError.php")).size(), 1, generousWait);
    QCOMPARE(service->requests(QStringLiteral("/other/feedback.php")).first().queryValue("con"),
             QStringLiteral("反馈：It's 100%_ok"));
    QCOMPARE(service->requests(QStringLiteral("/other/conError.php")).first().queryValue("con"),
             QStringLiteral("答案有误"));
}

void TestWelcomeWidget::destroyedWithRequestInFlight_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("install report") << installPath;
    QTest::newRow("program version") << programPath;
    QTest::newRow("database version") << databasePath;
}

void TestWelcomeWidget::destroyedWithRequestInFlight()
{
    QFETCH(QString, path);
    service->setDelay(path, 500);
    auto widget = started();
    QVERIFY(widget);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(path).size(), 1, generousWait);
    widget.reset();
    // The late reply meets nobody; nothing further is asked or logged.
    QTest::qWait(1500);
    QCOMPARE(service->requests().last().path, path);
}

void TestWelcomeWidget::drag_data()
{
    QTest::addColumn<int>("buttonValue"); // a Qt::MouseButton
    QTest::addColumn<QPoint>("moved");
    QTest::newRow("left button") << int(Qt::LeftButton) << QPoint(30, -45);
    QTest::newRow("right button") << int(Qt::RightButton) << QPoint();
}

void TestWelcomeWidget::drag()
{
    QFETCH(int, buttonValue);
    QFETCH(QPoint, moved);
    const auto button = Qt::MouseButton(buttonValue);
    WelcomeWidget widget;
    const QPoint start = widget.pos();
    auto send = [&](QEvent::Type type, const QPoint &screen, Qt::MouseButton which, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(100, 100), QPointF(100, 100), QPointF(screen), which, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(400, 400), button, button);
    send(QEvent::MouseMove, QPoint(415, 380), Qt::NoButton, button);
    send(QEvent::MouseMove, QPoint(430, 355), Qt::NoButton, button);
    QCOMPARE(widget.pos(), start + moved);
    send(QEvent::MouseButtonRelease, QPoint(430, 355), button, Qt::NoButton);
    // After the release a move drags no more.
    send(QEvent::MouseMove, QPoint(500, 500), Qt::NoButton, Qt::NoButton);
    QCOMPARE(widget.pos(), start + moved);
}

void TestWelcomeWidget::exitButtonQuitsAtOnce()
{
    const auto widget = started();
    QVERIFY(widget);
    QPushButton *exit = child<QPushButton>(*widget, "pushButton_exit");
    QTimer::singleShot(0, exit, [exit] { QTest::mouseClick(exit, Qt::LeftButton); });
    // Only a quit ends the loop with 0 before the guard does.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(generousWait);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(widget->isVisible());
}

QTEST_MAIN(TestWelcomeWidget)
#include "tst_welcomewidget.moc"
