// The local web service the tests and the demo run against.
#include "LocalWebService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::UnknownNetworkError;
    int status = 0;
    QByteArray body;
    QByteArray contentLength;
    QByteArray location;
};

// One GET, redirects not followed; waits for the end.
Fetched fetch(const QString &url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    Fetched fetched;
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000))
        return fetched;
    fetched.error = reply->error();
    fetched.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    fetched.body = reply->readAll();
    fetched.contentLength = reply->rawHeader("Content-Length");
    fetched.location = reply->rawHeader("Location");
    return fetched;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWebService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void catalogueListsEveryPackage();
    void packagesAreServedUnderTheirNewName_data();
    void packagesAreServedUnderTheirNewName();
    void repairAddressOfEachSubject_data();
    void repairAddressOfEachSubject();
    void fixedReplies_data();
    void fixedReplies();
    void requestsAreRecorded();
    void changedReplies();
    void delayedReply();
    void connectionClosedMidBody();
    void resetRestoresTheDefaults();
    void programServesTheDemoPackage();

private:
    QString url(const QString &pathAndQuery) const { return service.baseUrl() + pathAndQuery; }

    LocalWebService service;
    QTemporaryDir packages;
    QByteArray firstZip;
};

void TestWebService::initTestCase()
{
    QVERIFY(service.listen());
    QVERIFY(service.baseUrl().startsWith(QStringLiteral("http://127.0.0.1:")));
    firstZip = QByteArray("PK\x03\x04 first package");
    for (const QString &name : {QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}) {
        QFile zip(packages.filePath(name + QStringLiteral(".zip")));
        QVERIFY(zip.open(QIODevice::WriteOnly));
        zip.write(name == QLatin1String("first") ? firstZip : name.toUtf8());
    }
    service.addPackage(QStringLiteral("first"), packages.filePath(QStringLiteral("first.zip")),
                       QStringLiteral("内科学"), QStringLiteral("A"), QStringLiteral("10"));
    service.addPackage(QStringLiteral("second"), packages.filePath(QStringLiteral("second.zip")),
                       QStringLiteral("外科学"), QStringLiteral("B"), QStringLiteral("20"));
    // A name that holds "install_" itself: the client rewrites that one too.
    service.addPackage(QStringLiteral("x_install_third"), packages.filePath(QStringLiteral("third.zip")),
                       QStringLiteral("儿科学"));
}

void TestWebService::init()
{
    service.reset();
}

void TestWebService::catalogueListsEveryPackage()
{
    const Fetched fetched = fetch(url(QStringLiteral("/mobi/verData.php?type=android")));
    QCOMPARE(fetched.status, 200);
    const QJsonArray groups = QJsonDocument::fromJson(fetched.body).array();
    QCOMPARE(groups.size(), 1);
    const QJsonObject group = groups.first().toObject();
    QVERIFY(!group.value(QStringLiteral("name")).toString().isEmpty());
    const QJsonObject subGroup = group.value(QStringLiteral("address")).toArray().first().toObject();
    QVERIFY(!subGroup.value(QStringLiteral("DQname")).toString().isEmpty());
    const QJsonArray subjects = subGroup.value(QStringLiteral("subject")).toArray();
    QCOMPARE(subjects.size(), 3);
    QCOMPARE(subjects.at(0)[QStringLiteral("Subname")].toString(), QStringLiteral("内科学"));
    QCOMPARE(subjects.at(0)[QStringLiteral("downlink")].toString(), url(QStringLiteral("/pkg/install_first.zip")));
    QCOMPARE(subjects.at(1)[QStringLiteral("Subname")].toString(), QStringLiteral("外科学"));
}

void TestWebService::packagesAreServedUnderTheirNewName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("new name") << QStringLiteral("/pkg/installnew_first.zip") << 200 << firstZip;
    QTest::newRow("catalogue's name") << QStringLiteral("/pkg/install_first.zip") << 404 << QByteArray();
    QTest::newRow("unknown package") << QStringLiteral("/pkg/installnew_fourth.zip") << 404 << QByteArray();
    QTest::newRow("every install_ rewritten") << QStringLiteral("/pkg/installnew_x_installnew_third.zip") << 200
                                              << QByteArray("third");
    QTest::newRow("only the first rewritten") << QStringLiteral("/pkg/installnew_x_install_third.zip") << 404
                                              << QByteArray();
    QCOMPARE(service.packageUrl(QStringLiteral("x_install_third")),
             url(QStringLiteral("/pkg/installnew_x_installnew_third.zip")));
}

void TestWebService::packagesAreServedUnderTheirNewName()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    const Fetched fetched = fetch(url(path));
    QCOMPARE(fetched.status, status);
    if (status == 200) {
        QCOMPARE(fetched.body, body);
        QCOMPARE(fetched.contentLength, QByteArray::number(body.size()));
    }
}

void TestWebService::repairAddressOfEachSubject_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("link");
    QTest::newRow("first subject") << "dir1=A&dir2=10" << service.catalogueLink(QStringLiteral("first"));
    QTest::newRow("second subject") << "dir1=B&dir2=20" << service.catalogueLink(QStringLiteral("second"));
    QTest::newRow("keys of two subjects") << "dir1=A&dir2=20" << QString();
    QTest::newRow("unknown subject") << "dir1=C&dir2=30" << QString();
    QTest::newRow("no keys") << "dir1=&dir2=" << service.catalogueLink(QStringLiteral("x_install_third"));
}

void TestWebService::repairAddressOfEachSubject()
{
    QFETCH(QString, query);
    QFETCH(QString, link);
    const Fetched address = fetch(url(QStringLiteral("/mobi/verDb.php?") + query));
    QCOMPARE(address.status, 200);
    QCOMPARE(QJsonDocument::fromJson(address.body).object().value(QStringLiteral("downlink")).toString(), link);
    if (link.isEmpty())
        return;
    // The address the client makes of it serves that very package.
    const Fetched package = fetch(QString(link).replace(QStringLiteral("install_"), QStringLiteral("installnew_")));
    QCOMPARE(package.status, 200);
    QCOMPARE(package.body, readFile(packages.filePath(link.section(QLatin1Char('_'), -1))));
}

void TestWebService::fixedReplies_data()
{
    QTest::addColumn<QString>("pathAndQuery");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("repair package")
        << QStringLiteral("/mobi/verDb.php?dir1=A&dir2=10") << QByteArray("{\"downlink\":\"") + service.catalogueLink("first").toUtf8() + "\"}";
    QTest::newRow("feedback") << QStringLiteral("/other/feedback.php?key=k") << QByteArray("{\"msg\":\"提交成功\",\"status\":0}");
    QTest::newRow("error report") << QStringLiteral("/other/conError.php") << QByteArray("{\"msg\":\"提交成功\",\"status\":0}");
    QTest::newRow("install statistics") << QStringLiteral("/client/clientInstallStats.php?ID=1") << QByteArray("0");
    QTest::newRow("program version") << QStringLiteral("/client/verProgram.php") << QByteArray("1");
    QTest::newRow("database version") << QStringLiteral("/client/verDllNew.php") << QByteArray("1");
}

void TestWebService::fixedReplies()
{
    QFETCH(QString, pathAndQuery);
    QFETCH(QByteArray, body);
    const Fetched fetched = fetch(url(pathAndQuery));
    QCOMPARE(fetched.status, 200);
    QCOMPARE(fetched.body, body);
}

void TestWebService::requestsAreRecorded()
{
    QSignalSpy received(&service, &LocalWebService::requestReceived);
    fetch(url(QStringLiteral("/other/feedback.php?con=1+1%2B%E4%B8%AD&empty=&bare&x=a%26b")));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toString(), QStringLiteral("/other/feedback.php"));
    const LocalWebService::Request request = service.requests().first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, QStringLiteral("/other/feedback.php"));
    QCOMPARE(request.rawQuery, QByteArray("con=1+1%2B%E4%B8%AD&empty=&bare&x=a%26b"));
    QCOMPARE(request.queryNames(), (QStringList{"con", "empty", "bare", "x"}));
    QCOMPARE(request.queryValue("con"), QStringLiteral("1 1+中"));
    QCOMPARE(request.queryValue("x"), QStringLiteral("a&b"));
    QVERIFY(request.queryValue("missing").isNull());
    QCOMPARE(request.header("host"), service.host().toUtf8());
    QCOMPARE(service.requests(QStringLiteral("/other/conError.php")).size(), 0);
}

void TestWebService::changedReplies()
{
    const QString feedback = QStringLiteral("/other/feedback.php");
    service.setStatus(feedback, 500);
    service.setBody(feedback, QByteArray("a\0b", 3));
    Fetched fetched = fetch(url(feedback));
    QCOMPARE(fetched.status, 500);
    QCOMPARE(fetched.body, QByteArray("a\0b", 3));

    service.setRedirect(QStringLiteral("/pkg/installnew_first.zip"), url(QStringLiteral("/elsewhere")));
    fetched = fetch(url(QStringLiteral("/pkg/installnew_first.zip")));
    QCOMPARE(fetched.status, 302);
    QCOMPARE(fetched.location, url(QStringLiteral("/elsewhere")).toUtf8());
    QVERIFY(fetched.body.contains("<html>"));
}

void TestWebService::delayedReply()
{
    service.setDelay(QStringLiteral("/client/verDll.php"), 300);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(fetch(url(QStringLiteral("/client/verDll.php"))).body, QByteArray("1"));
    QVERIFY(clock.elapsed() >= 300);
}

void TestWebService::connectionClosedMidBody()
{
    service.setCloseAfter(QStringLiteral("/pkg/installnew_first.zip"), 4);
    const Fetched fetched = fetch(url(QStringLiteral("/pkg/installnew_first.zip")));
    QCOMPARE(fetched.error, QNetworkReply::RemoteHostClosedError);
    QCOMPARE(fetched.body, firstZip.left(4));
}

void TestWebService::resetRestoresTheDefaults()
{
    service.setStatus(QStringLiteral("/client/verDll.php"), 404);
    fetch(url(QStringLiteral("/client/verDll.php")));
    service.reset();
    QVERIFY(service.requests().isEmpty());
    QCOMPARE(fetch(url(QStringLiteral("/client/verDll.php"))).status, 200);
}

void TestWebService::programServesTheDemoPackage()
{
    QProcess program;
    program.start(QStringLiteral(WEBSERVICE_PROGRAM), {QStringLiteral(DEMO_PACKAGE ",A,20")});
    QVERIFY(program.waitForStarted(10000));
    QVERIFY(QTest::qWaitFor([&] { return program.canReadLine(); }, 10000));
    const QString base = QString::fromUtf8(program.readLine()).trimmed();
    QVERIFY2(base.startsWith(QStringLiteral("http://127.0.0.1:")), qPrintable(base));

    const Fetched catalogue = fetch(base + QStringLiteral("/mobi/verData.php?type=android"));
    const QString link = QJsonDocument::fromJson(catalogue.body)
                             .array().first()[QStringLiteral("address")][0][QStringLiteral("subject")][0]
                                 [QStringLiteral("downlink")].toString();
    QCOMPARE(link, base + QStringLiteral("/pkg/install_demo-subject.zip"));
    const Fetched package = fetch(QString(link).replace(QStringLiteral("install_"), QStringLiteral("installnew_")));
    QCOMPARE(package.status, 200);
    QVERIFY(package.body == readFile(QStringLiteral(DEMO_PACKAGE)));
    // The repair's keys given with the package.
    const Fetched repair = fetch(base + QStringLiteral("/mobi/verDb.php?dir1=A&dir2=20"));
    QCOMPARE(QJsonDocument::fromJson(repair.body)[QStringLiteral("downlink")].toString(), link);

    program.kill();
    QVERIFY(program.waitForFinished(10000));
}

QTEST_MAIN(TestWebService)
#include "tst_webservice.moc"
