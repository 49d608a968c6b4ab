#include "FixtureBank.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QuestionData.h"
#include "SqliteClass.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

// Runs loader-shaped work through the store's own query helpers: one lock
// for the whole pass, queries nested inside row loops, a row signal per
// group emitted under the lock.
class SqliteClassProbe
{
public:
    explicit SqliteClassProbe(SqliteClass *store) : store(store) {}

    // Builds every group of the bank with its questions and options and
    // emits each; returns the number of failed statements.
    int loadAllGroups()
    {
        const QMutexLocker locker(&store->storeMutex);
        int failures = 0;
        QSqlQuery groups = store->newQuery();
        if (!store->runQuery(groups, QStringLiteral("select cateListId, cateId, queTypeId, publicQueText from tCateList")))
            return 1;
        while (groups.next()) {
            auto *group = new MainQuestion;
            group->cateListId = groups.value(0).toInt();
            group->cateId = groups.value(1).toInt();
            group->queTypeId = groups.value(2).toInt();
            group->setQueType(group->queTypeId);
            group->publicQueText = groups.value(3).toString();
            failures += loadQuestions(group);
            emit store->sendQuickQuestion(group);
        }
        return failures + failedMidway(groups);
    }

    // The first column of every row of sql, or an empty list on failure.
    QVariantList column(const QString &sql)
    {
        const QMutexLocker locker(&store->storeMutex);
        QVariantList values;
        QSqlQuery query = store->newQuery();
        if (store->runQuery(query, sql))
            while (query.next())
                values.append(query.value(0));
        return values;
    }

private:
    int loadQuestions(MainQuestion *group)
    {
        QSqlQuery questions = store->newQuery();
        if (!store->runQuery(questions, QStringLiteral("select queId, queText, answer from tQue where cateListId = ?"),
                             {group->cateListId}))
            return 1;
        int failures = 0;
        while (questions.next()) {
            auto *question = new QuestionData;
            question->queId = questions.value(0).toInt();
            question->cateListId = group->cateListId;
            question->queText = questions.value(1).toString();
            question->answer = questions.value(2).toString();
            group->questions.append(question);
            failures += loadOptions(question);
        }
        return failures + failedMidway(questions);
    }

    int loadOptions(QuestionData *question)
    {
        QSqlQuery options = store->newQuery();
        if (!store->runQuery(options, QStringLiteral("select optId, optName, optText from tQueOpt where queId = '%1'")
                                          .arg(question->queId)))
            return 1;
        while (options.next()) {
            auto *option = new OptionData;
            option->optId = options.value(0).toInt();
            option->queId = question->queId;
            option->optName = options.value(1).toString();
            option->optText = options.value(2).toString();
            question->options.append(option);
        }
        return failedMidway(options);
    }

    // A row loop also ends when its statement breaks off (say, the
    // connection was reopened under it); only the error tells.
    static int failedMidway(const QSqlQuery &query) { return query.lastError().isValid() ? 1 : 0; }

    SqliteClass *store;
};

class TestStoreStress : public QObject
{
    Q_OBJECT

private slots:
    void answersWhileTwoWorkersLoad();
};

void TestStoreStress::answersWhileTwoWorkersLoad()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);

    SqliteClassProbe probe(store);
    const QVariantList ids = probe.column(QStringLiteral("select queId from tQue"));
    QVERIFY(!ids.isEmpty());
    const QString logCount = QStringLiteral("select count(*) from tQueLog where type = '001'");
    const int logRowsBefore = probe.column(logCount).value(0).toInt();

    // The receiver lives on this thread, so every group arrives queued.
    int groupsReceived = 0;
    QObject receiver;
    connect(store, &SqliteClass::sendQuickQuestion, &receiver, [&](MainQuestion *group) {
        QCOMPARE(QThread::currentThread(), receiver.thread());
        ++groupsReceived;
        delete group;
    });

    const int passesPerWorker = 60;
    std::atomic<int> workerFailures{0};
    auto loadPasses = [&] {
        SqliteClassProbe workerProbe(store);
        for (int pass = 0; pass < passesPerWorker; ++pass)
            workerFailures += workerProbe.loadAllGroups();
    };
    std::unique_ptr<QThread> first(QThread::create(loadPasses));
    std::unique_ptr<QThread> second(QThread::create(loadPasses));
    first->start();
    second->start();

    // What recording an answer writes: a log row, then the question's row;
    // now and then the connection is reopened, which must wait for the
    // loaders' passes rather than cut them off.
    const int answers = 600;
    int guiFailures = 0;
    for (int i = 0; i < answers; ++i) {
        const int queId = ids.at(i % ids.size()).toInt();
        const QString time = QStringLiteral("2015-10-01 08:%1:%2").arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'));
        const QString status = QString::number(1 + i % 2);
        if (store->execSql(QStringLiteral("insert into tQueLog (queId, type, userStatus, userAnswer, userTime) "
                                          "values('%1', '001', '%2', 'A', '%3')").arg(queId).arg(status, time)) != 0
            || store->execSql(QStringLiteral("Update tQue set userStatus = '%1', userAnswer = 'A', userTime = '%2' "
                                             "where queId = '%3'").arg(status, time).arg(queId)) != 0)
            ++guiFailures;
        if (i % 5 == 4)
            SqliteClass::switchDatabase(bank.filePath());
        QCoreApplication::processEvents();
    }
    QVERIFY(first->wait());
    QVERIFY(second->wait());
    QCoreApplication::sendPostedEvents();

    QCOMPARE(guiFailures, 0);
    QVERIFY2(workerFailures == 0, qPrintable(store->lastErrorText()));
    int groupCount = 0;
    {
        // One more pass on this thread tells how many groups a pass emits.
        SqliteClassProbe countProbe(store);
        const int before = groupsReceived;
        QCOMPARE(countProbe.loadAllGroups(), 0);
        QCoreApplication::sendPostedEvents();
        groupCount = groupsReceived - before;
    }
    QVERIFY(groupCount > 0);
    QCOMPARE(groupsReceived, groupCount * (2 * passesPerWorker + 1));
    QCOMPARE(probe.column(logCount).value(0).toInt(), logRowsBefore + answers);
    QCOMPARE(probe.column(QStringLiteral("PRAGMA integrity_check")),
             QVariantList{QStringLiteral("ok")});
}

QTEST_GUILESS_MAIN(TestStoreStress)
#include "tst_storestress.moc"
