// The web-service client: request form, reply reading, one outcome per
// request, and the store's offline queue posted through it.
#include "FixtureBank.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "LoginBaseClass.h"
#include "ServiceReply.h"
#include "ServiceUrl.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QSqlQuery>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace {

const QString feedbackPath = QStringLiteral("/other/feedback.php");
const QString errorPath = QStringLiteral("/other/conError.php");
const QString telephone = QStringLiteral("13800138000");

// How a request ended for its sender.
enum Outcome { Answered, Offline, Silent };

// What one client reported: its signals and the store's reply handler.
struct Outcomes {
    explicit Outcomes(LoginBaseClass *client)
        : finished(client, &LoginBaseClass::sendUserFinish)
        , offline(client, &LoginBaseClass::sendoffline)
    {
        client->setReplyHandler([this](int status) { handled.append(status); });
    }
    // Waits for the first outcome (the handler hears of every one).
    bool wait() const
    {
        return QTest::qWaitFor([&] { return !handled.isEmpty(); }, 10000);
    }
    int count() const { return finished.size() + offline.size(); }
    // For a client whose handler belongs to the store.
    bool waitForSignals(int expected) const
    {
        return QTest::qWaitFor([&] { return count() >= expected; }, 10000);
    }

    QSignalSpy finished;
    QSignalSpy offline;
    QList<int> handled;
};

} // namespace

class TestLoginBaseClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void md5HexIsTheKeyDigest();
    void feedbackRequestForm();
    void errorReportRequestForm();
    void textsArriveAsTyped_data();
    void textsArriveAsTyped();
    void negativeNumbersAreSentAsSuch();
    void missingSettingsRows_data();
    void missingSettingsRows();
    void closedBankSendsNothing();
    void telephoneIsReadAtEachRequest();
    void unreadableSettingsSendNothing();

    void replies_data();
    void replies();
    void endlessScriptIsCutShort();
    void closedPortReportsOnce();
    void secondSubmitReportsOnlyTheSecond();
    void clientDeletedWhileReplyIsRead();
    void clientDeletedInANestedLoopOfAReceiver_data();
    void clientDeletedInANestedLoopOfAReceiver();

    void confirmedQueueIsPostedAndRemoved();
    void unconfirmedQueueStays_data();
    void unconfirmedQueueStays();

private:
    // The fixture bank is shared; tests that change it start from a new one.
    void openFreshBank();
    void openBank();
    // Sends one feedback text on the current client and waits for its arrival.
    LocalWebService::Request sentFeedback(const QString &content);
    // A fresh client, owned by the store.
    static LoginBaseClass *installStoreClient();
    // tQueLog as "type:queId" in row order.
    static QStringList queueRows();
    static QStringList answerLog() { return {"001:1001", "001:1002", "001:1004"}; }

    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<LoginBaseClass> client;
};

void TestLoginBaseClass::initTestCase()
{
    openFreshBank();
}

void TestLoginBaseClass::openFreshBank()
{
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    openBank();
}

void TestLoginBaseClass::openBank()
{
    QCOMPARE(SqliteClass::instance()->openDatabase(
                 bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0),
             2);
}

void TestLoginBaseClass::init()
{
    // A fresh service each time: a request dropped at the end of one test
    // may still reach the old one.
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    workDir = std::make_unique<TempWorkDir>("[User]\r\nTel=" + telephone.toUtf8() + "\r\n");
    openBank();
    client = std::make_unique<LoginBaseClass>();
}

void TestLoginBaseClass::cleanup()
{
    client.reset();
    SqliteClass::instance()->setLoginClient(nullptr);
    SqliteClass::instance()->closeDatabase();
    workDir.reset();
    service.reset();
    // The clients hand their network managers to deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

LocalWebService::Request TestLoginBaseClass::sentFeedback(const QString &content)
{
    const int before = service->requests(feedbackPath).size();
    if (client->submitFeedback(content, QStringLiteral("2016-03-04 05:06:07")) != 0
        || !QTest::qWaitFor([&] { return service->requests(feedbackPath).size() > before; }, 10000))
        return LocalWebService::Request();
    return service->requests(feedbackPath).last();
}

QStringList TestLoginBaseClass::queueRows()
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select type || ':' || ifnull(queId, '') from tQueLog order by rowid"));
    QStringList rows;
    while (query.next())
        rows.append(query.value(0).toString());
    return rows;
}

void TestLoginBaseClass::md5HexIsTheKeyDigest()
{
    QCOMPARE(LoginBaseClass::md5Hex(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    QCOMPARE(LoginBaseClass::md5Hex(QStringLiteral("abc")),
             QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    QCOMPARE(LoginBaseClass::md5Hex(QStringLiteral("中")), LoginBaseClass::md5Hex(QStringLiteral("?")));
}

void TestLoginBaseClass::feedbackRequestForm()
{
    const LocalWebService::Request request = sentFeedback(QStringLiteral("好用"));
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.queryNames(), (QStringList{"key", "source", "userId", "userTel", "con", "addTime"}));
    QCOMPARE(request.queryValue("key"), ServiceUrl::md5Hex(ServiceUrl::accessKey() + "client"));
    QCOMPARE(request.queryValue("source"), QStringLiteral("client"));
    QCOMPARE(request.queryValue("userId"), QString(""));
    QCOMPARE(request.queryValue("userTel"), telephone);
    QCOMPARE(request.queryValue("con"), QStringLiteral("好用"));
    QCOMPARE(request.queryValue("addTime"), QStringLiteral("2016-03-04 05:06:07"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    // Chinese travels as percent-escaped UTF-8.
    QVERIFY2(request.rawQuery.endsWith("&con=%E5%A5%BD%E7%94%A8&addTime=2016-03-04%2005%3A06%3A07"),
             request.rawQuery.constData());
}

void TestLoginBaseClass::errorReportRequestForm()
{
    QCOMPARE(client->submitErrorReport(QStringLiteral("答案应为B"), 1, 1002,
                                       QStringLiteral("患者咳铁锈色痰，最可能的病原体是")),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(errorPath).size(), 1, 10000);
    const LocalWebService::Request request = service->requests(errorPath).first();
    QCOMPARE(request.queryNames(), (QStringList{"key", "source", "title", "sysTypeGoods", "sysTypeISN",
                                                "conType", "queId", "queText", "userId", "userTel",
                                                "con"}));
    QCOMPARE(request.queryValue("key"), ServiceUrl::key("client"));
    QCOMPARE(request.queryValue("title"), QStringLiteral("临床执业医师（测试）"));
    QCOMPARE(request.queryValue("sysTypeGoods"), QStringLiteral("A"));
    QCOMPARE(request.queryValue("sysTypeISN"), QStringLiteral("1101"));
    QCOMPARE(request.queryValue("conType"), QStringLiteral("1"));
    QCOMPARE(request.queryValue("queId"), QStringLiteral("1002"));
    QCOMPARE(request.queryValue("queText"), QStringLiteral("患者咳铁锈色痰，最可能的病原体是"));
    QCOMPARE(request.queryValue("userTel"), telephone);
    QCOMPARE(request.queryValue("con"), QStringLiteral("答案应为B"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
}

void TestLoginBaseClass::textsArriveAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Chinese with a space") << QStringLiteral("中文 反馈");
    QTest::newRow("ampersand and equals") << QStringLiteral("a&b=c");
    QTest::newRow("plus") << QStringLiteral("1+1");
    QTest::newRow("hash") << QStringLiteral("x#y");
    QTest::newRow("percent") << QStringLiteral("50% done");
    QTest::newRow("placeholder-like") << QStringLiteral("%2");
    QTest::newRow("quote") << QStringLiteral("it's");
}

void TestLoginBaseClass::textsArriveAsTyped()
{
    QFETCH(QString, text);
    // Feedback: the text is followed by addTime, which must survive it.
    const LocalWebService::Request feedback = sentFeedback(text);
    QCOMPARE(feedback.queryNames().size(), 6);
    QCOMPARE(feedback.queryValue("con"), text);
    QCOMPARE(feedback.queryValue("addTime"), QStringLiteral("2016-03-04 05:06:07"));

    // Error report: the question text sits between two other values.
    QCOMPARE(client->submitErrorReport(text, 0, 1001, text), 0);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(errorPath).size(), 1, 10000);
    const LocalWebService::Request report = service->requests(errorPath).first();
    QCOMPARE(report.queryNames().size(), 11);
    QCOMPARE(report.queryValue("queText"), text);
    QCOMPARE(report.queryValue("userId"), QString(""));
    QCOMPARE(report.queryValue("userTel"), telephone);
    QCOMPARE(report.queryValue("con"), text);
}

void TestLoginBaseClass::negativeNumbersAreSentAsSuch()
{
    QCOMPARE(client->submitErrorReport(QStringLiteral("x"), -1, -1, QStringLiteral("q")), 0);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(errorPath).size(), 1, 10000);
    QCOMPARE(service->requests(errorPath).first().queryValue("conType"), QStringLiteral("-1"));
    QCOMPARE(service->requests(errorPath).first().queryValue("queId"), QStringLiteral("-1"));
}

void TestLoginBaseClass::missingSettingsRows_data()
{
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("isn");
    QTest::newRow("no sysTypeISN: the goods memo is the title")
        << QString("'sysTypeISN'") << QString("商品备注") << QString("A") << QString();
    QTest::newRow("neither row") << QString("'sysTypeISN', 'sysTypeGoods'") << QString() << QString()
                                 << QString();
}

void TestLoginBaseClass::missingSettingsRows()
{
    QFETCH(QString, removed);
    QFETCH(QString, title);
    QFETCH(QString, goods);
    QFETCH(QString, isn);
    openFreshBank();
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->execSql(QStringLiteral("update sysConfig set memo = '商品备注' where key = 'sysTypeGoods'")), 0);
    QCOMPARE(store->execSql(QStringLiteral("delete from sysConfig where key in (%1)").arg(removed)), 0);
    QCOMPARE(client->submitErrorReport(QStringLiteral("x"), 0, 1001, QStringLiteral("q")), 0);
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(errorPath).size(), 1, 10000);
    const LocalWebService::Request request = service->requests(errorPath).first();
    QCOMPARE(request.queryValue("title"), title);
    QCOMPARE(request.queryValue("sysTypeGoods"), goods);
    QCOMPARE(request.queryValue("sysTypeISN"), isn);
}

void TestLoginBaseClass::closedBankSendsNothing()
{
    SqliteClass::instance()->closeDatabase();
    const Outcomes outcomes(client.get());
    {
        LogCapture log;
        QCOMPARE(client->submitErrorReport(QStringLiteral("x"), 0, 1001, QStringLiteral("q")), -1);
        const QString error = SqliteClass::instance()->lastErrorText();
        QVERIFY(error.startsWith(QStringLiteral("[Error:]")));
        QVERIFY2(log.lines().contains(error), qPrintable(log.lines().join('\n')));
    }
    // A request sent after it is the first the service sees.
    sentFeedback(QStringLiteral("after"));
    QVERIFY(outcomes.wait());
    QCOMPARE(service->requests().size(), 1);
    QCOMPARE(outcomes.count(), 1);
}

void TestLoginBaseClass::telephoneIsReadAtEachRequest()
{
    QCOMPARE(sentFeedback(QStringLiteral("1")).queryValue("userTel"), telephone);
    workDir->writeConfig("[User]\r\nTel=021-5555\r\n");
    QCOMPARE(sentFeedback(QStringLiteral("2")).queryValue("userTel"), QStringLiteral("021-5555"));
    workDir->writeConfig(QByteArray());
    QCOMPARE(sentFeedback(QStringLiteral("3")).queryValue("userTel"), QString(""));
}

void TestLoginBaseClass::unreadableSettingsSendNothing()
{
    // A directory where Config.ini should be cannot be read as settings.
    QVERIFY(QFile::remove(workDir->filePath(QStringLiteral("Config.ini"))));
    QVERIFY(QDir(workDir->path()).mkdir(QStringLiteral("Config.ini")));
    const Outcomes outcomes(client.get());
    QCOMPARE(client->submitFeedback(QStringLiteral("x"), QStringLiteral("t")), -1);
    QCOMPARE(client->submitErrorReport(QStringLiteral("x"), 0, 1, QStringLiteral("q")), -1);
    QVERIFY(QDir(workDir->path()).rmdir(QStringLiteral("Config.ini")));
    sentFeedback(QStringLiteral("after"));
    QVERIFY(outcomes.wait());
    QCOMPARE(service->requests().size(), 1);
}

void TestLoginBaseClass::replies_data()
{
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("status"); // what the store's handler gets
    QTest::addColumn<QString>("msg");

    const auto answered = [](const char *name, const QByteArray &body, int status, const char *msg) {
        QTest::newRow(name) << 200 << body << int(Answered) << status << QString::fromUtf8(msg);
    };
    answered("status 1 with a message", "{\"status\":1,\"msg\":\"内容过短\"}", 1, "内容过短");
    answered("status 0", "{\"status\":0,\"msg\":\"提交成功\"}", 0, "提交成功");
    answered("status as text, no message", "{\"status\":\"0\"}", 0, "undefined");
    answered("script object literal", "{status:1,msg:'x'}", 1, "x");
    answered("fraction truncated toward zero", "{\"status\":-1.9,\"msg\":\"m\"}", -1, "m");
    answered("message not text", "{\"status\":1,\"msg\":12}", 1, "12");
    answered("NUL ends the body", QByteArray("{\"status\":1,\"msg\":\"a\"}\0<html>", 29), 1, "a");

    const auto offline = [](const char *name, int httpStatus, const QByteArray &body) {
        QTest::newRow(name) << httpStatus << body << int(Offline) << -1 << QString();
    };
    offline("HTML page", 200, "<html><body>维护中</body></html>");
    offline("array", 200, "[{\"status\":0}]");
    offline("no status", 200, "{\"msg\":\"x\"}");
    offline("null status", 200, "{\"status\":null}");
    offline("status not a number", 200, "{\"status\":\"ok\"}");
    offline("status out of range", 200, "{\"status\":1e300}");
    offline("a bare number", 200, "0");
    offline("script that throws", 200, "{status:0}; throw 1");
    offline("HTTP 500 with a JSON body", 500, "{\"status\":0,\"msg\":\"提交成功\"}");
    offline("HTTP 404, empty", 404, QByteArray());

    QTest::newRow("empty body") << 200 << QByteArray() << int(Silent) << -1 << QString();
}

void TestLoginBaseClass::replies()
{
    QFETCH(int, httpStatus);
    QFETCH(QByteArray, body);
    QFETCH(int, outcome);
    QFETCH(int, status);
    QFETCH(QString, msg);
    service->setStatus(feedbackPath, httpStatus);
    service->setBody(feedbackPath, body);
    const Outcomes outcomes(client.get());
    sentFeedback(QStringLiteral("x"));
    QVERIFY(outcomes.wait());

    QCOMPARE(outcomes.handled, QList<int>{status});
    QCOMPARE(outcomes.offline.size(), outcome == Offline ? 1 : 0);
    QCOMPARE(outcomes.finished.size(), outcome == Answered ? 1 : 0);
    if (outcome == Answered) {
        const QList<QVariant> arguments = outcomes.finished.first();
        QCOMPARE(arguments.at(0).toInt(), status);
        QCOMPARE(arguments.at(1).toString(), msg);
        QCOMPARE(arguments.at(2).toString(), QString(""));
    }
}

void TestLoginBaseClass::endlessScriptIsCutShort()
{
    service->setBody(feedbackPath, "(function(){for(;;){}})()");
    const Outcomes outcomes(client.get());
    sentFeedback(QStringLiteral("x"));
    QVERIFY(outcomes.wait());
    QCOMPARE(outcomes.handled, QList<int>{-1});
    QCOMPARE(outcomes.offline.size(), 1);
    QCOMPARE(outcomes.finished.size(), 0);
}

void TestLoginBaseClass::closedPortReportsOnce()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray host = "127.0.0.1:" + QByteArray::number(closed.serverPort());
    closed.close();
    qputenv("VELMORA_SERVICE_HOST", host);
    const Outcomes outcomes(client.get());
    LogCapture log;
    QCOMPARE(client->submitFeedback(QStringLiteral("x"), QStringLiteral("t")), 0);
    QVERIFY(outcomes.wait());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    QVERIFY2(log.contains(QStringLiteral("slotError: %1").arg(int(QNetworkReply::ConnectionRefusedError))),
             qPrintable(log.lines().join('\n')));

    // A later request on another client, once answered, shows nothing more came.
    LoginBaseClass other;
    QSignalSpy otherFinished(&other, &LoginBaseClass::sendUserFinish);
    QCOMPARE(other.submitFeedback(QStringLiteral("y"), QStringLiteral("t")), 0);
    QVERIFY(otherFinished.wait(10000));
    QCOMPARE(outcomes.offline.size(), 1);
    QCOMPARE(outcomes.finished.size(), 0);
    QCOMPARE(outcomes.handled, QList<int>{-1});
}

void TestLoginBaseClass::secondSubmitReportsOnlyTheSecond()
{
    const int delayMs = 300;
    service->setDelay(feedbackPath, delayMs);
    service->setBody(errorPath, "{\"status\":1,\"msg\":\"second\"}");
    const Outcomes outcomes(client.get());
    QCOMPARE(client->submitFeedback(QStringLiteral("first"), QStringLiteral("t")), 0);
    QCOMPARE(client->submitErrorReport(QStringLiteral("second"), 0, 1, QStringLiteral("q")), 0);
    QVERIFY(outcomes.wait());
    // Long enough for the first reply to have come, had it not been dropped.
    QTest::qWait(2 * delayMs);
    QCOMPARE(outcomes.handled, QList<int>{1});
    QCOMPARE(outcomes.offline.size(), 0);
    QCOMPARE(outcomes.finished.size(), 1);
    QCOMPARE(outcomes.finished.first().at(1).toString(), QStringLiteral("second"));
}

void TestLoginBaseClass::clientDeletedWhileReplyIsRead()
{
    // The reply runs until the time limit; the client goes meanwhile.
    service->setBody(feedbackPath, "(function(){for(;;){}})()");
    bool handled = false;
    client->setReplyHandler([&handled](int) { handled = true; });
    LoginBaseClass *doomed = client.get();
    connect(service.get(), &LocalWebService::requestReceived, doomed, [this] {
        QTimer::singleShot(ServiceReply::scriptTimeLimitMs / 2, this, [this] { client.reset(); });
    });
    QCOMPARE(doomed->submitFeedback(QStringLiteral("x"), QStringLiteral("t")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!client, 10000);
    // Past the time limit: the script has returned into a client that is gone.
    QTest::qWait(ServiceReply::scriptTimeLimitMs);
    QVERIFY(!handled);
}

void TestLoginBaseClass::clientDeletedInANestedLoopOfAReceiver_data()
{
    QTest::addColumn<bool>("offline");
    QTest::newRow("answered") << false;
    QTest::newRow("offline") << true;
}

void TestLoginBaseClass::clientDeletedInANestedLoopOfAReceiver()
{
    // As a dialog does that shows a message box about the outcome and is
    // closed meanwhile.
    QFETCH(bool, offline);
    if (offline)
        service->setStatus(feedbackPath, 500);
    bool received = false;
    const auto closeMeanwhile = [this, &received] {
        received = true;
        QTimer::singleShot(0, this, [this] { client.reset(); });
        QTest::qWait(200);
    };
    connect(client.get(), &LoginBaseClass::sendUserFinish, this, closeMeanwhile);
    connect(client.get(), &LoginBaseClass::sendoffline, this, closeMeanwhile);
    sentFeedback(QStringLiteral("x"));
    QTRY_VERIFY_WITH_TIMEOUT(received, 10000);
    QVERIFY(!client);
}

LoginBaseClass *TestLoginBaseClass::installStoreClient()
{
    auto *storeClient = new LoginBaseClass;
    SqliteClass::instance()->setLoginClient(storeClient);
    return storeClient;
}

void TestLoginBaseClass::confirmedQueueIsPostedAndRemoved()
{
    openFreshBank();
    // The store sets its own reply handler; the signals tell the outcomes.
    const Outcomes outcomes(installStoreClient());
    QCOMPARE(SqliteClass::instance()->postOfflineQueue(), 0);
    QVERIFY(outcomes.waitForSignals(2));

    // "002" first, then "003", each with its queued values.
    const QList<LocalWebService::Request> requests = service->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).path, feedbackPath);
    QCOMPARE(requests.at(0).queryValue("con"), QStringLiteral("反馈：It's 100%_ok"));
    QCOMPARE(requests.at(0).queryValue("addTime"), QStringLiteral("2015-10-03 08:00:00"));
    QCOMPARE(requests.at(1).path, errorPath);
    QCOMPARE(requests.at(1).queryValue("con"), QStringLiteral("答案有误"));
    QCOMPARE(requests.at(1).queryValue("conType"), QStringLiteral("1"));
    QCOMPARE(requests.at(1).queryValue("queId"), QStringLiteral("1002"));
    QCOMPARE(requests.at(1).queryValue("queText"), QStringLiteral("患者咳铁锈色痰，最可能的病原体是"));
    QCOMPARE(outcomes.finished.size(), 2);
    // The answer log stays.
    QCOMPARE(queueRows(), answerLog());
}

void TestLoginBaseClass::unconfirmedQueueStays_data()
{
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("status 1") << 200 << QByteArray("{\"status\":1,\"msg\":\"x\"}");
    QTest::newRow("offline") << 500 << QByteArray();
}

void TestLoginBaseClass::unconfirmedQueueStays()
{
    QFETCH(int, httpStatus);
    QFETCH(QByteArray, body);
    openFreshBank();
    for (const QString &path : {feedbackPath, errorPath}) {
        service->setStatus(path, httpStatus);
        service->setBody(path, body);
    }
    // The store sets its own reply handler; the signals tell the outcomes.
    const Outcomes outcomes(installStoreClient());
    QCOMPARE(SqliteClass::instance()->postOfflineQueue(), 0);
    QVERIFY(outcomes.waitForSignals(1));
    QCOMPARE(service->requests().first().path, feedbackPath);
    QCOMPARE(queueRows(), answerLog() + QStringList({"002:", "003:1002"}));
}

QTEST_MAIN(TestLoginBaseClass)
#include "tst_loginbaseclass.moc"
