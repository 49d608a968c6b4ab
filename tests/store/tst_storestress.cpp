// The GUI thread records answers while two worker threads run loaders on the
// same bank through the one shared connection.
#include "BuiltinPassphrase.h"
#include "FixtureBank.h"
#include "MainQuestion.h"
#include "SQLiteCipherDriver.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// Every chapter id of the bank, walking the tree from the top.
QList<int> allChapters(SqliteClass *store)
{
    QList<int> ids;
    QList<int> pending{0};
    while (!pending.isEmpty()) {
        QList<SqliteData *> children;
        if (store->childChapters(children, pending.takeFirst()) != 0)
            return {};
        for (SqliteData *child : qAsConst(children)) {
            ids.append(child->text0.toInt());
            pending.append(child->text0.toInt());
        }
        qDeleteAll(children);
    }
    return ids;
}

// One loader pass: every chapter's groups (each emitted to the receiver), a
// statistics read and a search; returns the number of failed calls.
int loadPass(SqliteClass *store, const QList<int> &chapters)
{
    int failures = 0;
    for (int cateId : chapters) {
        failures += store->loadReportGroups(cateId) != 0;
        QList<SqliteData *> rows;
        failures += store->childChaptersWithStats(rows, cateId) != 0;
        qDeleteAll(rows);
    }
    QList<SqliteData *> hits;
    failures += store->searchQuestions(QStringLiteral("的"), hits) != 0;
    qDeleteAll(hits);
    return failures;
}

// A second connection of the test's own, to read the file afterwards.
QVariant scalar(const QString &file, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QStringLiteral("inspect"));
        db.setDatabaseName(file);
        db.setPassword(QString::fromLatin1(builtinPassphrase));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    return value;
}

} // namespace

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

    const QList<int> chapters = allChapters(store);
    QVERIFY(!chapters.isEmpty());
    const QString logCount = QStringLiteral("select count(*) from tQueLog where type = '001'");
    const int logRowsBefore = scalar(bank.filePath(), logCount).toInt();

    // The receiver lives on this thread, so every group from a worker
    // arrives queued, and belongs to it.
    int groupsReceived = 0;
    QObject receiver;
    connect(store, &SqliteClass::sendQuickQuestion, &receiver, [&](MainQuestion *group) {
        QCOMPARE(QThread::currentThread(), receiver.thread());
        ++groupsReceived;
        delete group;
    });

    const int passesPerWorker = 15;
    std::atomic<int> workerFailures{0};
    auto loadPasses = [&] {
        for (int pass = 0; pass < passesPerWorker; ++pass)
            workerFailures += loadPass(store, chapters);
    };
    std::unique_ptr<QThread> first(QThread::create(loadPasses));
    std::unique_ptr<QThread> second(QThread::create(loadPasses));
    first->start();
    second->start();

    // Answers, favourites and notes on this thread; now and then the
    // connection is reopened, which must wait for the loaders' calls rather
    // than cut them off.
    const int answers = 400;
    int guiFailures = 0;
    for (int i = 0; i < answers; ++i) {
        const int queId = 1001 + i % 20;
        guiFailures += store->recordAnswer(queId, QStringLiteral("A"), QString::number(1 + i % 2),
                                           QStringLiteral("001")) != 0;
        guiFailures += store->setFavourite(queId, i % 2) != 0;
        guiFailures += store->saveNote(queId, QStringLiteral("第%1次").arg(i)) != 0;
        if (i % 25 == 24)
            SqliteClass::switchDatabase(bank.filePath());
        QCoreApplication::processEvents();
    }
    QVERIFY(first->wait());
    QVERIFY(second->wait());
    QCoreApplication::sendPostedEvents();

    QCOMPARE(guiFailures, 0);
    QVERIFY2(workerFailures == 0, qPrintable(store->lastErrorText()));
    // One more pass on this thread tells how many groups a pass emits.
    const int before = groupsReceived;
    QCOMPARE(loadPass(store, chapters), 0);
    QCoreApplication::sendPostedEvents();
    const int groupsPerPass = groupsReceived - before;
    QVERIFY(groupsPerPass > 0);
    QCOMPARE(groupsReceived, groupsPerPass * (2 * passesPerWorker + 1));

    store->closeDatabase();
    QCOMPARE(scalar(bank.filePath(), logCount).toInt(), logRowsBefore + answers);
    QCOMPARE(scalar(bank.filePath(), QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestStoreStress)
#include "tst_storestress.moc"
