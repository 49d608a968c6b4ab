#include "LogCapture.h"
#include "tst_driver_connection.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

// One connection shared by the GUI thread and workers, as the store uses it.
class TestDriverThreads : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void connectionByNameIsInvalidOnWorker();
    void queryOnKeptHandleWorksOnWorker();
    void concurrentQueriesOnOneConnection();

private:
    static void runOnWorker(const std::function<void()> &work);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DriverTestConnection> connection;
};

void TestDriverThreads::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    connection = std::make_unique<DriverTestConnection>(dir->filePath(QStringLiteral("test.db")));
    QVERIFY(connection->opened);
    QSqlQuery q(connection->db);
    QVERIFY(q.exec(QStringLiteral("CREATE TABLE t(worker INTEGER, n INTEGER, label TEXT)")));
    QVERIFY(q.exec(QStringLiteral("INSERT INTO t VALUES(-1, 0, 'a'), (-1, 1, 'b'), (-1, 2, 'c')")));
}

void TestDriverThreads::cleanup()
{
    connection.reset();
    dir.reset();
}

void TestDriverThreads::runOnWorker(const std::function<void()> &work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->start();
    QVERIFY(thread->wait(60000));
}

void TestDriverThreads::connectionByNameIsInvalidOnWorker()
{
    const QString name = connection->db.connectionName();
    QVERIFY(QSqlDatabase::database(name, false).isValid());
    LogCapture log;
    bool valid = true;
    runOnWorker([&] { valid = QSqlDatabase::database(name, false).isValid(); });
    QVERIFY(!valid);
    QVERIFY(log.contains(QStringLiteral("requested database does not belong to the calling thread")));
}

void TestDriverThreads::queryOnKeptHandleWorksOnWorker()
{
    const QSqlDatabase kept = connection->db;
    QStringList labels;
    QString error;
    runOnWorker([&] {
        QSqlQuery q(kept);
        q.prepare(QStringLiteral("INSERT INTO t VALUES(?, ?, ?)"));
        q.addBindValue(1);
        q.addBindValue(3);
        q.addBindValue(QStringLiteral("d"));
        if (!q.exec() || !q.exec(QStringLiteral("SELECT label FROM t ORDER BY n"))) {
            error = q.lastError().text();
            return;
        }
        while (q.next())
            labels.append(q.value(0).toString());
    });
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(labels, QStringList({"a", "b", "c", "d"}));
}

void TestDriverThreads::concurrentQueriesOnOneConnection()
{
    constexpr int workers = 4;
    constexpr int rounds = 150;
    const QSqlDatabase kept = connection->db;
    QAtomicInt failures;

    // Each round makes and drops a query, so results come and go on every
    // thread at once.
    auto work = [&](int worker) {
        for (int n = 0; n < rounds; ++n) {
            for (int i = 0; i < 50; ++i)
                QSqlQuery idle(kept);
            QSqlQuery insert(kept);
            insert.prepare(QStringLiteral("INSERT INTO t VALUES(?, ?, ?)"));
            insert.addBindValue(worker);
            insert.addBindValue(n);
            insert.addBindValue(QStringLiteral("w%1-%2").arg(worker).arg(n));
            QSqlQuery select(kept);
            select.prepare(QStringLiteral("SELECT count(*) FROM t WHERE worker = ?"));
            select.addBindValue(worker);
            if (!insert.exec() || !select.exec() || !select.next() || select.value(0).toInt() != n + 1)
                failures.ref();
        }
    };

    std::vector<std::unique_ptr<QThread>> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back(QThread::create(work, w));
        threads.back()->start();
    }
    work(workers); // the GUI thread takes part too
    for (auto &thread : threads)
        QVERIFY(thread->wait(120000));

    QCOMPARE(failures.loadRelaxed(), 0);
    QSqlQuery q(kept);
    QVERIFY(q.exec(QStringLiteral("SELECT count(*), count(DISTINCT label) FROM t WHERE worker >= 0")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), (workers + 1) * rounds);
    QCOMPARE(q.value(1).toInt(), (workers + 1) * rounds);
}

QTEST_GUILESS_MAIN(TestDriverThreads)
#include "tst_driver_threads.moc"
