// The download object's requests: fetch into memory, submit, file download.
#include "DownLoadQThread.h"
#include "LocalWebService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include <memory>

namespace {

const QString packageName = QStringLiteral("subject");
const QString packagePath = QStringLiteral("/pkg/installnew_subject.zip");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every signal of one object, in order.
class Recorder
{
public:
    explicit Recorder(DownLoadQThread *object)
    {
        QObject::connect(object, &DownLoadQThread::sendUpdateDataProgress, [this](qlonglong current, qlonglong total) {
            lastProgress = {current, total};
        });
        QObject::connect(object, &DownLoadQThread::sendNetworkError, [this](QNetworkReply::NetworkError error) {
            events.append(QStringLiteral("error"));
            errors.append(error);
        });
        QObject::connect(object, &DownLoadQThread::sendDownFileFinish, [this](const QString &path) {
            events.append(QStringLiteral("file"));
            text = path;
        });
        QObject::connect(object, &DownLoadQThread::sendGetJsonFinish, [this](const QByteArray &bytes) {
            events.append(QStringLiteral("json"));
            json = bytes;
        });
        QObject::connect(object, &DownLoadQThread::sendSubmitFinish, [this](const QString &reply) {
            events.append(QStringLiteral("submit"));
            text = reply;
        });
    }
    // Waits for the request's finish signal.
    bool waitForEnd() const
    {
        return QTest::qWaitFor([this] { return !events.isEmpty() && events.last() != QLatin1String("error"); },
                               10000);
    }

    QStringList events;
    QList<QNetworkReply::NetworkError> errors;
    QPair<qlonglong, qlonglong> lastProgress{-2, -2};
    QString text;
    QByteArray json;
};

// Files may grow to this size only while it lives; writing past it fails
// with EFBIG instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

} // namespace

class TestDownLoadQThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void downloadWritesTheWholeFile();
    void existingFileIsOverwrittenFromItsStart();
    void escapedNameIsDecoded();
    void targetThatCannotBeOpened_data();
    void targetThatCannotBeOpened();
    void failedDownloadLeavesNoFile_data();
    void failedDownloadLeavesNoFile();
    void failedWriteLeavesNoFile();
    void secondDownloadDropsTheFirst();
    void destroyedDuringDownload();

    void getJson();
    void failedGetJsonGivesNoBytes();
    void submit_data();
    void submit();
    void failedSubmitGivesNoText_data();
    void failedSubmitGivesNoText();

private:
    QString downloadUrl() const { return service->packageUrl(packageName); }

    std::unique_ptr<LocalWebService> service;
    QTemporaryDir source;
    QByteArray package;
    std::unique_ptr<QTemporaryDir> target;
    std::unique_ptr<DownLoadQThread> object;
};

void TestDownLoadQThread::initTestCase()
{
    // Large enough to arrive in many reads.
    for (int i = 0; package.size() < 600 * 1024; ++i)
        package += QByteArray::number(i * 2654435761u, 36);
    QFile file(source.filePath(QStringLiteral("subject.zip")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(package) == package.size());
}

void TestDownLoadQThread::init()
{
    // A fresh service each time: a dropped request may still reach the old one.
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    service->addPackage(packageName, source.filePath(QStringLiteral("subject.zip")), QStringLiteral("科目"));
    target = std::make_unique<QTemporaryDir>();
    object = std::make_unique<DownLoadQThread>();
}

void TestDownLoadQThread::cleanup()
{
    object.reset();
    target.reset();
    service.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestDownLoadQThread::downloadWritesTheWholeFile()
{
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(downloadUrl(), target->path(), QString()), 0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, QStringList{"file"});
    QCOMPARE(recorder.text, target->filePath(QStringLiteral("installnew_subject.zip")));
    QVERIFY(readFile(recorder.text) == package);
    QCOMPARE(recorder.lastProgress, qMakePair(qlonglong(package.size()), qlonglong(package.size())));
    QVERIFY(object->lastRequestSucceeded());
    const LocalWebService::Request request = service->requests().first();
    QCOMPARE(request.path, packagePath);
    QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
}

void TestDownLoadQThread::existingFileIsOverwrittenFromItsStart()
{
    const QString path = target->filePath(QStringLiteral("installnew_subject.zip"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(package.size() + 4096, 'x'));
    old.close();
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(downloadUrl(), target->path(), QString()), 0);
    QVERIFY(recorder.waitForEnd());
    QVERIFY(readFile(path) == package);
}

void TestDownLoadQThread::escapedNameIsDecoded()
{
    service->addPackage(QStringLiteral("内科 一"), source.filePath(QStringLiteral("subject.zip")),
                       QStringLiteral("内科"));
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(service->baseUrl() + "/pkg/installnew_%E5%86%85%E7%A7%91%20%E4%B8%80.zip",
                                  target->path(), QString()),
             0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.text, target->filePath(QStringLiteral("installnew_内科 一.zip")));
    QVERIFY(readFile(recorder.text) == package);
}

void TestDownLoadQThread::targetThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("directory"); // under the target directory
    QTest::addColumn<QString>("path");      // the same
    QTest::newRow("URL path ending in /") << QStringLiteral("/pkg/") << QString() << QStringLiteral("/");
    QTest::newRow("missing directory") << packagePath << QStringLiteral("/missing")
                                       << QStringLiteral("/missing/installnew_subject.zip");
}

void TestDownLoadQThread::targetThatCannotBeOpened()
{
    QFETCH(QString, url);
    QFETCH(QString, directory);
    QFETCH(QString, path);
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(service->baseUrl() + url, target->path() + directory, QString()), -1);
    QCOMPARE(object->errorString(), QStringLiteral("[Error]open:[%1] fail.").arg(target->path() + path));
    // Nothing went out: the next request is the first the service sees.
    QCOMPARE(object->getJson(service->baseUrl() + "/mobi/verData.php?type=android"), 0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, QStringList{"json"});
    QCOMPARE(service->requests().size(), 1);
}

void TestDownLoadQThread::failedDownloadLeavesNoFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("error");
    QTest::newRow("connection dropped mid-body")
        << QStringLiteral("close") << packagePath << int(QNetworkReply::RemoteHostClosedError);
    // The catalogue's own spelling, which the service does not serve.
    QTest::newRow("404") << QString() << QStringLiteral("/pkg/install_subject.zip")
                         << int(QNetworkReply::ContentNotFoundError);
    QTest::newRow("302 not followed")
        << QStringLiteral("redirect") << packagePath << int(QNetworkReply::UnknownContentError);
}

void TestDownLoadQThread::failedDownloadLeavesNoFile()
{
    QFETCH(QString, change);
    QFETCH(QString, url);
    QFETCH(int, error);
    if (change == QLatin1String("close"))
        service->setCloseAfter(packagePath, package.size() / 2);
    if (change == QLatin1String("redirect"))
        service->setRedirect(packagePath, service->baseUrl() + "/pkg/elsewhere.zip");
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(service->baseUrl() + url, target->path(), QString()), 0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, (QStringList{"error", "file"}));
    QCOMPARE(int(recorder.errors.first()), error);
    QVERIFY(!recorder.text.isEmpty());
    QVERIFY(!QFileInfo::exists(recorder.text));
    QVERIFY(!object->lastRequestSucceeded());
}

void TestDownLoadQThread::failedWriteLeavesNoFile()
{
    const Recorder recorder(object.get());
    {
        const FileSizeLimit limit(package.size() / 4);
        QCOMPARE(object->downloadFile(downloadUrl(), target->path(), QString()), 0);
        QVERIFY(recorder.waitForEnd());
    }
    QCOMPARE(recorder.events, QStringList{"file"});
    QVERIFY(!QFileInfo::exists(recorder.text));
    QVERIFY(!object->lastRequestSucceeded());
    QCOMPARE(object->errorString(), QStringLiteral("[Error]write:[%1] fail.").arg(recorder.text));
}

void TestDownLoadQThread::secondDownloadDropsTheFirst()
{
    service->addPackage(QStringLiteral("slow"), source.filePath(QStringLiteral("subject.zip")),
                       QStringLiteral("慢"));
    service->setDelay(QStringLiteral("/pkg/installnew_slow.zip"), 300);
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(service->packageUrl(QStringLiteral("slow")), target->path(), QString()), 0);
    QVERIFY(QFileInfo::exists(target->filePath(QStringLiteral("installnew_slow.zip"))));
    QCOMPARE(object->downloadFile(downloadUrl(), target->path(), QString()), 0);
    QVERIFY(recorder.waitForEnd());
    // Past the first one's delay: it reports nothing, its file is gone.
    QTest::qWait(600);
    QCOMPARE(recorder.events, QStringList{"file"});
    QCOMPARE(recorder.text, target->filePath(QStringLiteral("installnew_subject.zip")));
    QVERIFY(readFile(recorder.text) == package);
    QVERIFY(!QFileInfo::exists(target->filePath(QStringLiteral("installnew_slow.zip"))));
}

void TestDownLoadQThread::destroyedDuringDownload()
{
    // The reply never comes while the test runs.
    service->setDelay(packagePath, 60000);
    const Recorder recorder(object.get());
    QCOMPARE(object->downloadFile(downloadUrl(), target->path(), QString()), 0);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests().size(), 1, 10000);
    object.reset();
    QTest::qWait(200);
    QVERIFY(recorder.events.isEmpty());
    QVERIFY(QDir(target->path()).isEmpty());
}

void TestDownLoadQThread::getJson()
{
    const Recorder recorder(object.get());
    QCOMPARE(object->getJson(service->baseUrl() + "/mobi/verData.php?type=android"), 0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, QStringList{"json"});
    const QJsonDocument catalogue = QJsonDocument::fromJson(recorder.json);
    QCOMPARE(catalogue.array().first()[QStringLiteral("address")][0][QStringLiteral("subject")][0]
                 [QStringLiteral("downlink")].toString(),
             service->catalogueLink(packageName));
    QCOMPARE(recorder.lastProgress, qMakePair(qlonglong(recorder.json.size()), qlonglong(recorder.json.size())));
    QVERIFY(object->lastRequestSucceeded());
    const LocalWebService::Request request = service->requests().first();
    QCOMPARE(request.queryValue("type"), QStringLiteral("android"));
    QVERIFY(request.header("Content-Type").isNull());
}

void TestDownLoadQThread::failedGetJsonGivesNoBytes()
{
    service->setStatus(QStringLiteral("/mobi/verDb.php"), 500);
    const Recorder recorder(object.get());
    QCOMPARE(object->getJson(service->baseUrl() + "/mobi/verDb.php?dir1=A&dir2=10"), 0);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, (QStringList{"error", "json"}));
    QVERIFY(recorder.json.isEmpty());
    QVERIFY(!object->lastRequestSucceeded());
}

void TestDownLoadQThread::submit_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("install statistics") << QByteArray("0") << QStringLiteral("0");
    QTest::newRow("cut at NUL") << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    QTest::newRow("UTF-8") << QByteArray("提交完成") << QStringLiteral("提交完成");
}

void TestDownLoadQThread::submit()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    const QString path = QStringLiteral("/client/clientInstallStats.php");
    service->setBody(path, body);
    const Recorder recorder(object.get());
    object->submit(service->baseUrl() + path + "?key=k&source=client");
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, QStringList{"submit"});
    QCOMPARE(recorder.text, text);
    QVERIFY(object->lastRequestSucceeded());
    QVERIFY(service->requests().first().header("Content-Type").isNull());
}

void TestDownLoadQThread::failedSubmitGivesNoText_data()
{
    QTest::addColumn<bool>("portClosed");
    QTest::newRow("error page holding a 0") << false;
    QTest::newRow("closed port") << true;
}

void TestDownLoadQThread::failedSubmitGivesNoText()
{
    QFETCH(bool, portClosed);
    const QString path = QStringLiteral("/client/clientInstallStats.php");
    service->setStatus(path, 500);
    service->setBody(path, "<html>500 Internal Server Error</html>");
    QString base = service->baseUrl();
    if (portClosed) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        base = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    }
    const Recorder recorder(object.get());
    object->submit(base + path);
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events, (QStringList{"error", "submit"}));
    QCOMPARE(recorder.text, QString());
    QVERIFY(!object->lastRequestSucceeded());
}

QTEST_MAIN(TestDownLoadQThread)
#include "tst_downloadqthread.moc"
