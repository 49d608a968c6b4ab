#include "FixtureBank.h"
#include "OfflineReportClient.h"
#include "OptionData.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "SqlRow.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

// Records what the store posts; replies at once with the queued statuses,
// and once those are used up leaves the reply to the test.
class FakeReportClient : public OfflineReportClient
{
public:
    struct Post {
        QString text;
        QString time;
        int conType;
        int queId;
        QString queText;
    };

    int submitFeedback(const QString &text, const QString &time) override
    {
        posts.append({text, time, -1, -1, QString()});
        replyIfQueued();
        return 0;
    }
    int submitErrorReport(const QString &text, int conType, int queId,
                          const QString &queText) override
    {
        posts.append({text, QString(), conType, queId, queText});
        replyIfQueued();
        return 0;
    }
    void reply(int status) { reportReply(status); }

    QList<Post> posts;
    QList<int> statuses;

private:
    void replyIfQueued()
    {
        if (!statuses.isEmpty())
            reportReply(statuses.takeFirst());
    }
};

} // namespace

class TestAnswers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recordAnswer_data();
    void recordAnswer();
    void recordAnswerIsAllOrNothing_data();
    void recordAnswerIsAllOrNothing();
    void unsavedAnswerIsSignalled_data();
    void unsavedAnswerIsSignalled();
    void noteRoundTrip_data();
    void noteRoundTrip();
    void readNoteWithoutRowLeavesOutput();
    void setFavourite_data();
    void setFavourite();
    void loadQuestionState_data();
    void loadQuestionState();
    void queuedRowsAreStoredExactly();
    void emptyQueuePostsNothing();
    void onlyConfirmedRowsLeaveTheQueue();
    void postsOneRowAtATime();
    void postingInterleavings_data();
    void postingInterleavings();
    void errorReportIsPostedWithItsValues();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    // Empties the queue and queues two feedback texts and one error report.
    void queueThreeRows();
    QStringList queuedTexts() const;

    std::unique_ptr<FixtureBank> bank;
    FakeReportClient *client = nullptr; // owned by the store
};

void TestAnswers::init()
{
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
    client = new FakeReportClient;
    store()->setLoginClient(client);
}

void TestAnswers::cleanup()
{
    store()->setLoginClient(nullptr);
    client = nullptr;
    store()->closeDatabase();
    bank.reset();
}

void TestAnswers::recordAnswer_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("once") << QStringList{QStringLiteral("AB")};
    QTest::newRow("twice") << QStringList{QStringLiteral("AB"), QStringLiteral("C")};
    QTest::newRow("typed text with a quote")
        << QStringList{QStringLiteral("O'Brien'); delete from tQue; --")};
}

void TestAnswers::recordAnswer()
{
    QFETCH(QStringList, answers);
    const int queId = 1003; // never answered in the fixture
    const QString logOf = QStringLiteral(
        "select count(*) from tQueLog where queId = ? and type = '001' and userStatus = '1'");
    const int before = sqlCount(logOf, {queId});
    const int questions = sqlCount(QStringLiteral("select count(*) from tQue"));

    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    for (const QString &answer : answers)
        QCOMPARE(store()->recordAnswer(queId, answer, QStringLiteral("1"), QStringLiteral("001")),
                 0);

    QCOMPARE(sqlCount(logOf, {queId}), before + answers.size());
    const QStringList question =
        sqlRow(QStringLiteral("select userStatus, userAnswer, userTime from tQue where queId = ?"),
            {queId});
    QCOMPARE(question.value(0), QStringLiteral("1"));
    QCOMPARE(question.value(1), answers.last());
    const QString time = question.value(2);
    const QDateTime written = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY2(written.isValid(), qPrintable(time));
    QVERIFY(written >= start && written <= QDateTime::currentDateTime());
    // The latest log row holds the same answer and the same time text.
    QCOMPARE(sqlRow(QStringLiteral("select userAnswer, userTime from tQueLog where queId = ? and "
                                "type = '001' order by rowid desc limit 1"),
                 {queId}),
             (QStringList{answers.last(), time}));
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQue")), questions);
}

void TestAnswers::unsavedAnswerIsSignalled_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<int>("result");
    QTest::newRow("saved") << QString() << 0;
    // The engine's answer for a bank it may not write.
    QTest::newRow("read-only bank") << QStringLiteral("PRAGMA query_only = 1") << -1;
}

void TestAnswers::unsavedAnswerIsSignalled()
{
    QFETCH(QString, setUp);
    QFETCH(int, result);
    if (!setUp.isEmpty())
        QCOMPARE(store()->execSql(setUp), 0);
    QSignalSpy notSaved(store(), &SqliteClass::sendAnswerNotSaved);
    QCOMPARE(store()->recordAnswer(1003, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), result);
    QCOMPARE(notSaved.size(), result == 0 ? 0 : 1);
    if (result != 0)
        QVERIFY2(notSaved.first().first().toString().contains(QStringLiteral("readonly")),
                 qPrintable(notSaved.first().first().toString()));
    store()->execSql(QStringLiteral("PRAGMA query_only = 0"));
}

void TestAnswers::recordAnswerIsAllOrNothing_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("failedStatement");
    QTest::newRow("log row refused")
        << QStringLiteral("create trigger refuse before insert on tQueLog "
                          "begin select raise(abort, 'refused'); end")
        << QStringLiteral("insert into tQueLog");
    QTest::newRow("question row refused")
        << QStringLiteral("create trigger refuse before update on tQue "
                          "begin select raise(abort, 'refused'); end")
        << QStringLiteral("Update tQue");
}

void TestAnswers::recordAnswerIsAllOrNothing()
{
    QFETCH(QString, trigger);
    QFETCH(QString, failedStatement);
    const int queId = 1002;
    const QString logRows = QStringLiteral("select count(*) from tQueLog");
    const QString questionRow =
        QStringLiteral("select userStatus, userAnswer, userTime from tQue where queId = ?");
    const int logBefore = sqlCount(logRows);
    const QStringList questionBefore = sqlRow(questionRow, {queId});
    QCOMPARE(store()->execSql(trigger), 0);

    QCOMPARE(store()->recordAnswer(queId, QStringLiteral("AB"), QStringLiteral("1"),
                                   QStringLiteral("001")),
             -1);
    QVERIFY2(store()->lastErrorText().startsWith(QStringLiteral("[Error:]") + failedStatement),
             qPrintable(store()->lastErrorText()));
    QCOMPARE(sqlCount(logRows), logBefore);
    QCOMPARE(sqlRow(questionRow, {queId}), questionBefore);

    // Nothing is left half-open for the next answer.
    QCOMPARE(store()->execSql(QStringLiteral("drop trigger refuse")), 0);
    QCOMPARE(store()->recordAnswer(queId, QStringLiteral("AB"), QStringLiteral("1"),
                                   QStringLiteral("001")),
             0);
    QCOMPARE(sqlCount(logRows), logBefore + 1);
}

void TestAnswers::noteRoundTrip_data()
{
    QTest::addColumn<QString>("note");
    QTest::newRow("apostrophe") << QStringLiteral("don't");
    QTest::newRow("statement in a note") << QStringLiteral("'); drop table tQue; --");
    QTest::newRow("wildcards and lines") << QStringLiteral("第一行 100%_x\n第二行");
    QTest::newRow("removed") << QString();
}

void TestAnswers::noteRoundTrip()
{
    QFETCH(QString, note);
    QCOMPARE(store()->saveNote(1001, note), 0);
    QString read = QStringLiteral("something else");
    QCOMPARE(store()->readNote(1001, read), 0);
    QCOMPARE(read, note);
    // A removed note is '' as the bank's rows always had it, never NULL.
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQue where queId = 1001 and userNote is null")), 0);
    // Only that question's note changed.
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQue where userNote = ?"),
                   {QStringLiteral("50%的人选错_注意")}),
             1);
}

void TestAnswers::readNoteWithoutRowLeavesOutput()
{
    QString note = QStringLiteral("unchanged");
    QCOMPARE(store()->readNote(424242, note), 0);
    QCOMPARE(note, QStringLiteral("unchanged"));
}

void TestAnswers::setFavourite_data()
{
    QTest::addColumn<int>("queId");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("stored");
    QTest::newRow("off") << 1001 << 0 << QStringLiteral("0"); // a favourite in the fixture
    QTest::newRow("on") << 1002 << 1 << QStringLiteral("1");
}

void TestAnswers::setFavourite()
{
    QFETCH(int, queId);
    QFETCH(int, flag);
    QFETCH(QString, stored);
    QCOMPARE(store()->setFavourite(queId, flag), 0);
    QCOMPARE(sqlRow(QStringLiteral("select userFav from tQue where queId = ?"), {queId}),
             QStringList{stored});
}

void TestAnswers::loadQuestionState_data()
{
    QTest::addColumn<int>("queId");
    QTest::addColumn<int>("recordId");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("userAnswer");
    QTest::addColumn<int>("userStatus");
    QTest::addColumn<QString>("userNote");
    QTest::addColumn<bool>("userFav");
    QTest::addColumn<QStringList>("options");

    QTest::newRow("answered favourite with a note")
        << 1001 << 1001 << QStringLiteral("B") << QStringLiteral("B") << 1
        << QStringLiteral("It's 100% sure_1") << true
        << QStringList{QStringLiteral("空气污染"), QStringLiteral("吸烟"), QStringLiteral("感染"),
                       QStringLiteral("遗传"), QStringLiteral("职业粉尘")};
    // The deleted question has an answer, a note and options in the bank.
    QTest::newRow("deleted") << 1006 << 0 << QString() << QString() << 0 << QString() << false
                             << QStringList();
    QTest::newRow("absent") << 424242 << 0 << QString() << QString() << 0 << QString() << false
                            << QStringList();
}

void TestAnswers::loadQuestionState()
{
    QFETCH(int, queId);
    QFETCH(int, recordId);
    QFETCH(QString, answer);
    QFETCH(QString, userAnswer);
    QFETCH(int, userStatus);
    QFETCH(QString, userNote);
    QFETCH(bool, userFav);
    QFETCH(QStringList, options);

    QuestionData *loaded = nullptr;
    QCOMPARE(store()->loadQuestionState(loaded, queId), 0);
    QVERIFY(loaded);
    const std::unique_ptr<QuestionData> record(loaded);
    QCOMPARE(record->queId, recordId);
    QCOMPARE(record->answer, answer);
    QCOMPARE(record->userAnswer, userAnswer);
    QCOMPARE(record->userStatus, userStatus);
    QCOMPARE(record->userNote, userNote);
    QCOMPARE(record->userFav, userFav);
    QStringList texts;
    for (const OptionData *option : qAsConst(record->options))
        texts.append(option->optText);
    QCOMPARE(texts, options);
    // Fields the state does not carry keep their start values.
    QVERIFY(record->queText.isEmpty());
    QVERIFY(record->userTime.isNull());
}

void TestAnswers::queuedRowsAreStoredExactly()
{
    const QString feedback = QStringLiteral("it's broken'); delete from tQueLog; --");
    const QString report = QStringLiteral("答案 'C' 有误");
    const QString queText = QStringLiteral("O'Brien 的题目");
    QCOMPARE(store()->saveOfflineFeedback(feedback, QStringLiteral("002"),
                                          QStringLiteral("2016-01-02 03:04:05")),
             0);
    QCOMPARE(store()->saveOfflineErrorReport(report, QStringLiteral("003"), 4, 1002, queText), 0);

    const QString columns =
        QStringLiteral("select queId, userStatus, userAnswer, userTime, userFav from tQueLog "
                       "where type = ? and userNote = ?");
    QCOMPARE(sqlRow(columns, {QStringLiteral("002"), feedback}),
             (QStringList{QStringLiteral("NULL"), QStringLiteral("NULL"), QStringLiteral("NULL"),
                          QStringLiteral("2016-01-02 03:04:05"), QStringLiteral("NULL")}));
    QCOMPARE(sqlRow(columns, {QStringLiteral("003"), report}),
             (QStringList{QStringLiteral("1002"), QStringLiteral("NULL"), queText,
                          QStringLiteral("NULL"), QStringLiteral("4")}));
}

void TestAnswers::queueThreeRows()
{
    QCOMPARE(store()->execSql(QStringLiteral("delete from tQueLog where type in ('002', '003')")),
             0);
    QCOMPARE(store()->saveOfflineErrorReport(QStringLiteral("report"), QStringLiteral("003"), 1,
                                             1001, QStringLiteral("question")),
             0);
    QCOMPARE(store()->saveOfflineFeedback(QStringLiteral("first"), QStringLiteral("002"),
                                          QStringLiteral("2016-01-01 08:00:00")),
             0);
    QCOMPARE(store()->saveOfflineFeedback(QStringLiteral("second"), QStringLiteral("002"),
                                          QStringLiteral("2016-01-01 09:00:00")),
             0);
}

QStringList TestAnswers::queuedTexts() const
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral(
        "select userNote from tQueLog where type in ('002', '003') order by userNote"));
    QStringList texts;
    while (query.next())
        texts.append(query.value(0).toString());
    return texts;
}

void TestAnswers::emptyQueuePostsNothing()
{
    QCOMPARE(store()->execSql(QStringLiteral("delete from tQueLog where type in ('002', '003')")),
             0);
    const int answerLog = sqlCount(QStringLiteral("select count(*) from tQueLog"));
    QCOMPARE(store()->postOfflineQueue(), 0);
    QVERIFY(client->posts.isEmpty());
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog")), answerLog);
}

void TestAnswers::onlyConfirmedRowsLeaveTheQueue()
{
    queueThreeRows();
    // Feedback goes first, each kind in the order queued.
    client->statuses = {1, 0, 1};
    QCOMPARE(store()->postOfflineQueue(), 0);
    QCOMPARE(client->posts.size(), 3);
    QCOMPARE(client->posts.at(0).text, QStringLiteral("first"));
    QCOMPARE(client->posts.at(1).text, QStringLiteral("second"));
    QCOMPARE(client->posts.at(2).text, QStringLiteral("report"));
    QCOMPARE(queuedTexts(), (QStringList{QStringLiteral("first"), QStringLiteral("report")}));

    // The next start sends what is left.
    auto *nextStart = new FakeReportClient;
    nextStart->statuses = {0, 0};
    store()->setLoginClient(nextStart);
    client = nextStart;
    QCOMPARE(store()->postOfflineQueue(), 0);
    QCOMPARE(nextStart->posts.size(), 2);
    QVERIFY(queuedTexts().isEmpty());
    // The answer log stays.
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog where type = '001'")), 3);
}

void TestAnswers::postsOneRowAtATime()
{
    queueThreeRows();
    QCOMPARE(store()->postOfflineQueue(), 0);
    QCOMPARE(client->posts.size(), 1);
    QCOMPARE(queuedTexts().size(), 3);

    client->reply(0);
    QCOMPARE(client->posts.size(), 2);
    QCOMPARE(queuedTexts(), (QStringList{QStringLiteral("report"), QStringLiteral("second")}));

    client->reply(2);
    QCOMPARE(client->posts.size(), 3);
    client->reply(0);
    QCOMPARE(client->posts.size(), 3);
    QCOMPARE(queuedTexts(), QStringList{QStringLiteral("second")});
}

void TestAnswers::postingInterleavings_data()
{
    // Steps: "post" calls postOfflineQueue, "0" / "1" is the reply to the
    // request that is out, "rebuild" posts again on a new client (as a
    // main-window rebuild does; the old client's reply never comes).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("posted");
    QTest::addColumn<QStringList>("left");

    // Rows by posting order: first, second (feedback), report.
    QTest::newRow("second call before the first reply")
        << QStringList{"post", "post", "0", "0", "1"} << QStringList{"first", "second", "report"}
        << QStringList{"report"};
    QTest::newRow("failure then success")
        << QStringList{"post", "1", "0", "0"} << QStringList{"first", "second", "report"}
        << QStringList{"first"};
    QTest::newRow("call while the last reply is out")
        << QStringList{"post", "0", "0", "post", "0"} << QStringList{"first", "second", "report"}
        << QStringList{};
    QTest::newRow("rebuild in between")
        << QStringList{"post", "0", "rebuild", "0", "0"} << QStringList{"first", "second", "second", "report"}
        << QStringList{};
    QTest::newRow("call after the queue went out")
        << QStringList{"post", "0", "1", "1", "post", "0"}
        << QStringList{"first", "second", "report", "second", "report"} << QStringList{"report"};
}

void TestAnswers::postingInterleavings()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, posted);
    QFETCH(QStringList, left);

    queueThreeRows();
    QStringList texts;
    for (const QString &step : qAsConst(steps)) {
        if (step == QLatin1String("post")) {
            QCOMPARE(store()->postOfflineQueue(), 0);
        } else if (step == QLatin1String("rebuild")) {
            for (const FakeReportClient::Post &post : qAsConst(client->posts))
                texts << post.text;
            client = new FakeReportClient;
            store()->setLoginClient(client);
            QCOMPARE(store()->postOfflineQueue(), 0);
        } else {
            client->reply(step.toInt());
        }
    }
    for (const FakeReportClient::Post &post : qAsConst(client->posts))
        texts << post.text;
    QCOMPARE(texts, posted);
    QStringList expectedLeft = left;
    expectedLeft.sort();
    QCOMPARE(queuedTexts(), expectedLeft);
}

void TestAnswers::errorReportIsPostedWithItsValues()
{
    QCOMPARE(store()->execSql(QStringLiteral("delete from tQueLog where type in ('002', '003')")),
             0);
    const QString text = QStringLiteral("选项 'B' 错了");
    const QString queText = QStringLiteral("患者咳铁锈色痰，最可能的病原体是");
    QCOMPARE(store()->saveOfflineErrorReport(text, QStringLiteral("003"), 3, 1002, queText), 0);
    client->statuses = {0};
    QCOMPARE(store()->postOfflineQueue(), 0);
    QCOMPARE(client->posts.size(), 1);
    const FakeReportClient::Post &post = client->posts.first();
    QCOMPARE(post.text, text);
    QCOMPARE(post.conType, 3);
    QCOMPARE(post.queId, 1002);
    QCOMPARE(post.queText, queText);
    QVERIFY(queuedTexts().isEmpty());
}

QTEST_GUILESS_MAIN(TestAnswers)
#include "tst_answers.moc"
