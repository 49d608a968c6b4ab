// The built program as a user starts it: copied into its own directory,
// talking only to a local web service of the test.
#include "FixtureBank.h"
#include "LocalWebService.h"
#include "TempWorkDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTextCodec>
#include <QtTest>

#include <memory>

namespace {

// A start-up under the sanitizer build takes its time.
const int startTimeout = 90000;

QByteArray gb2312(const QString &text)
{
    return QTextCodec::codecForName("GB2312")->fromUnicode(text);
}

QString configValue(const QString &dir, const QString &key)
{
    QSettings settings(dir + QStringLiteral("/Config.ini"), QSettings::IniFormat);
    settings.setIniCodec("GB2312");
    return settings.value(key).toString();
}

QStringList logLines(const QString &dir)
{
    QFile file(dir + QStringLiteral("/velmorastarlogs.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

int firstRequest(const QList<LocalWebService::Request> &requests, const QString &pathStart)
{
    for (int i = 0; i < requests.size(); ++i)
        if (requests.at(i).path.startsWith(pathStart))
            return i;
    return -1;
}

} // namespace

class TestVelmoraProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsOnItsBank();
    void handsOverToTheUpdater();
    void withoutDataWaitsForASubject();

private:
    void installProgram();
    void installBank();
    void start();
    // What the child wrote to stderr; a sanitizer report shows there.
    QString childErrors() const;
    // The child must still run (a crash would have ended it) and have
    // reported nothing; then it goes.
    void killRunningChild();

    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> dir;
    std::unique_ptr<QProcess> child;
};

void TestVelmoraProcess::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(VELMORA_EXECUTABLE)).isExecutable(), VELMORA_EXECUTABLE);
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
}

void TestVelmoraProcess::init()
{
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    dir = std::make_unique<TempWorkDir>(gb2312(QStringLiteral("[AppModel]\nmodel=1\n")));
    installProgram();
}

void TestVelmoraProcess::cleanup()
{
    if (child && child->state() != QProcess::NotRunning) {
        child->kill();
        child->waitForFinished(10000);
    }
    child.reset();
    dir.reset();
    service.reset();
}

void TestVelmoraProcess::installProgram()
{
    const QString target = dir->filePath(QStringLiteral("velmora"));
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_EXECUTABLE), target));
    QFile program(target);
    QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
}

void TestVelmoraProcess::installBank()
{
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("data")));
    QVERIFY(QFile::copy(bank->filePath(), dir->filePath(QStringLiteral("data/MedicalDB.db"))));
}

void TestVelmoraProcess::start()
{
    child = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VELMORA_SERVICE_HOST"), service->host());
    child->setProcessEnvironment(environment);
    // Not the program's directory: it must find its files there by itself.
    child->setWorkingDirectory(QDir::tempPath());
    child->setProcessChannelMode(QProcess::SeparateChannels);
    child->start(dir->filePath(QStringLiteral("velmora")), QStringList());
    QVERIFY2(child->waitForStarted(30000), qPrintable(child->errorString()));
}

QString TestVelmoraProcess::childErrors() const
{
    return QString::fromLocal8Bit(child->readAllStandardError());
}

void TestVelmoraProcess::killRunningChild()
{
    const QString errors = childErrors();
    QVERIFY2(child->state() == QProcess::Running, qPrintable(errors));
    QVERIFY2(!errors.contains(QLatin1String("Sanitizer")) && !errors.contains(QLatin1String("runtime error")),
             qPrintable(errors));
    child->kill();
    QVERIFY(child->waitForFinished(10000));
}

void TestVelmoraProcess::startsOnItsBank()
{
    installBank();
    start();

    const QString path = dir->path();
    const QRegularExpression openLine(QStringLiteral(
        R"(^Debug: File:\(.*\) Line:\(\d+\) filePath:\./data/MedicalDB\.db \(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d .+\)$)"));
    QTRY_VERIFY_WITH_TIMEOUT(!logLines(path).filter(openLine).isEmpty(), startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(configValue(path, QStringLiteral("AppModel/model")), QStringLiteral("0"),
                              startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(configValue(path, QStringLiteral("Logo/IsUseType")), QStringLiteral("1"),
                              startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(firstRequest(service->requests(), QStringLiteral("/client/verDll")) >= 0,
                             startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(QStringLiteral("/other/feedback.php")).size(), 1, startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(QStringLiteral("/other/conError.php")).size(), 1, startTimeout);

    const QList<LocalWebService::Request> requests = service->requests();
    const int install = firstRequest(requests, QStringLiteral("/client/clientInstallStats.php"));
    const int program = firstRequest(requests, QStringLiteral("/client/verProgram"));
    const int database = firstRequest(requests, QStringLiteral("/client/verDll"));
    QVERIFY(install >= 0);
    QVERIFY(install < program);
    QVERIFY(program < database);

    const QStringList critical = logLines(path).filter(QRegularExpression(QStringLiteral("^Critical:")));
    QVERIFY2(critical.isEmpty(), qPrintable(critical.join(QLatin1Char('\n'))));
    killRunningChild();
}

void TestVelmoraProcess::handsOverToTheUpdater()
{
    dir->writeConfig(QByteArray());
    installBank();
    QFile script(dir->filePath(QStringLiteral("UpdateVelmora.exe")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/ran.txt\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));

    start();
    QVERIFY(QTest::qWaitFor([this] { return child->state() == QProcess::NotRunning; }, startTimeout));
    QVERIFY2(child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0, qPrintable(childErrors()));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir->filePath(QStringLiteral("ran.txt"))), 10000);
    const QStringList lines = logLines(dir->path());
    QVERIFY(!lines.filter(QStringLiteral("启动UpdateVelmora.exe成功")).isEmpty());
    // The bank was never opened behind the updater's back.
    QVERIFY(lines.filter(QStringLiteral("filePath:")).isEmpty());
}

void TestVelmoraProcess::withoutDataWaitsForASubject()
{
    start();
    // The subject dialog asks for the catalogue.
    QTRY_VERIFY_WITH_TIMEOUT(!service->requests(QStringLiteral("/mobi/verData.php")).isEmpty(), startTimeout);
    // It stays up with nothing to choose until the user acts.
    QVERIFY(!QTest::qWaitFor([this] { return child->state() == QProcess::NotRunning; }, 2000));
    QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("data"))));
    killRunningChild();
}

QTEST_GUILESS_MAIN(TestVelmoraProcess)
#include "tst_velmoraprocess.moc"
