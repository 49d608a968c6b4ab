#include "DataToUiThreadClass.h"
#include "FixtureBank.h"
#include "SqliteClass.h"
#include "tst_worker_recorder.h"

#include <QtTest>

#include <atomic>
#include <functional>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int generousWait = 120000;

// Connects callback to the first row signal of a job, run on the worker thread.
using Hook = std::function<void(DataToUiThreadClass *, const std::function<void()> &)>;

Hook onStoreDraw()
{
    return [](DataToUiThreadClass *worker, const std::function<void()> &callback) {
        QObject::connect(SqliteClass::instance(), &SqliteClass::sendTalkQuesion, worker,
                         [callback](int, const QList<MainQuestion *> &) { callback(); }, Qt::DirectConnection);
    };
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Hook)

// Stopping and overlapping jobs on a large bank.
class TestWorkerStop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stopEndsJobAtNextRow_data();
    void stopEndsJobAtNextRow();
    void twoWorkersBesideGuiWrites();

private:
    static SqliteClass *store() { return SqliteClass::instance(); }
    QTemporaryDir bankDir;
};

void TestWorkerStop::initTestCase()
{
    QVERIFY(bankDir.isValid());
    QProcess tool;
    tool.start(QStringLiteral(BANKTOOL), {QStringLiteral("large"), bankDir.path()});
    QVERIFY(tool.waitForFinished(generousWait));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
    QCOMPARE(store()->openDatabase(bankDir.path(), phrase, 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
}

void TestWorkerStop::cleanupTestCase()
{
    store()->closeDatabase();
}

void TestWorkerStop::stopEndsJobAtNextRow_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Hook>("hook");
    QTest::addColumn<QString>("finish");

    // One store call that emits a row per question: the loader itself ends
    // at the next row.
    QTest::newRow("3 wrong answers")
        << Setup([](DataToUiThreadClass &w) { w.setJob(3, 0); })
        << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
               QObject::connect(SqliteClass::instance(), &SqliteClass::sendErrorQuestion, w,
                                [callback](int, MainQuestion *) { callback(); }, Qt::DirectConnection);
           })
        << "sendErrorQuestion 0";
    QTest::newRow("6 search") << Setup([](DataToUiThreadClass &w) { w.setKeywordJob(6, QStringLiteral("患")); })
                              << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
                                     QObject::connect(w, &DataToUiThreadClass::sendFindQuestion, w,
                                                      [callback](SqliteData *) { callback(); }, Qt::DirectConnection);
                                 })
                              << "sendFindQuestions 0";
    QTest::newRow("7 man-machine paper") << sectionJob(7, {{1, 1}, {1, 2}, {1, 7}}) << onStoreDraw()
                                         << "sendTalkError 0";
    // Several rows in each part: the draw itself ends at its next row.
    QTest::newRow("7 man-machine paper, several per part")
        << sectionJob(7, {{5, 1}, {5, 2}, {3, 7}}) << onStoreDraw() << "sendTalkError 0";
    QTest::newRow("8 chapter sets") << Setup([](DataToUiThreadClass &w) { w.setJob(8, 1); })
                                    << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
                                           QObject::connect(w, &DataToUiThreadClass::sendQuestionBycateId, w,
                                                            [callback](SqliteData *) { callback(); },
                                                            Qt::DirectConnection);
                                       })
                                    << "sendSqliteClass 0";
    QTest::newRow("10 quick-memorisation chapters")
        << Setup([](DataToUiThreadClass &w) { w.setJob(10, 0); })
        << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
               QObject::connect(SqliteClass::instance(), &SqliteClass::sendQuickQuestionBycateId, w,
                                [callback](SqliteData *) { callback(); }, Qt::DirectConnection);
           })
        << "sendSqliteClass 0";
    QTest::newRow("11 report groups")
        << Setup([](DataToUiThreadClass &w) { w.setJob(11, 10101); })
        << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
               QObject::connect(SqliteClass::instance(), &SqliteClass::sendQuickQuestion, w,
                                [callback](MainQuestion *) { callback(); }, Qt::DirectConnection);
           })
        << "sendSqliteClass 0";
    QTest::newRow("13 recent chapters")
        << Setup([](DataToUiThreadClass &w) { w.setJob(13, 0); })
        << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
               QObject::connect(w, &DataToUiThreadClass::sendtQueLogAnswerHistory, w,
                                [callback](int, SqliteData *, const QString &, const QString &) { callback(); },
                                Qt::DirectConnection);
           })
        << "sendSqliteClass 0";
    QTest::newRow("14 chapter tree")
        << Setup([](DataToUiThreadClass &w) { w.setJob(14, 0); })
        << Hook([](DataToUiThreadClass *w, const std::function<void()> &callback) {
               QObject::connect(w, &DataToUiThreadClass::sendAlltCate, w,
                                [callback](int, int, int, const QList<SqliteData *> &) { callback(); },
                                Qt::DirectConnection);
           })
        << "sendAlltCate 4 0 0 ";
    QTest::newRow("16 simulated exam") << sectionJob(16, {{5, 1}, {5, 2}}) << onStoreDraw() << "sendTalkError 0";
}

void TestWorkerStop::stopEndsJobAtNextRow()
{
    QFETCH(Setup, setup);
    QFETCH(Hook, hook);
    QFETCH(QString, finish);

    DataToUiThreadClass worker;
    WorkerRecorder recorder(&worker);
    // The first row holds the job until the owner has asked it to stop.
    std::atomic_bool held{false};
    QSemaphore reached;
    hook(&worker, [&] {
        if (held.exchange(true))
            return;
        reached.release();
        while (!worker.isInterruptionRequested())
            QThread::yieldCurrentThread();
    });
    setup(worker);
    worker.start(QThread::InheritPriority);
    QVERIFY(reached.tryAcquire(1, generousWait));
    worker.stop();
    QVERIFY(worker.isFinished());
    QCOMPARE(worker.generation(), 1);

    // The owner starts again at once; the stopped job's rows are still queued
    // ahead of the new job's, and the generation tells them apart.
    worker.start(QThread::InheritPriority);
    QVERIFY(worker.wait(generousWait));
    const QStringList lines = recorder.deliver();
    QCOMPARE(lines.first(), QStringLiteral("sendJobStarted 0"));
    QCOMPARE(lines.indexOf(QStringLiteral("sendJobStarted 1")), 2); // one row, then nothing
    QCOMPARE(lines.last(), finish);
    QCOMPARE(lines.count(finish), 1);
}

void TestWorkerStop::twoWorkersBesideGuiWrites()
{
    DataToUiThreadClass tree;
    DataToUiThreadClass done;
    WorkerRecorder treeLines(&tree, false);
    WorkerRecorder doneLines(&done);
    tree.setJob(14, 0);
    done.setJob(9, -1);
    tree.start(QThread::InheritPriority);
    done.start(QThread::InheritPriority);

    // Question 6 is answered in the large bank, so the answered list keeps its size.
    int writes = 0;
    QDeadlineTimer deadline(generousWait);
    while ((!tree.isFinished() || !done.isFinished()) && !deadline.hasExpired()) {
        QCOMPARE(store()->recordAnswer(6, QStringLiteral("A"), QStringLiteral("2"), QStringLiteral("001")), 0);
        QCOMPARE(store()->setFavourite(6, writes % 2), 0);
        ++writes;
    }
    QVERIFY(tree.wait(generousWait) && done.wait(generousWait));
    QVERIFY(writes > 0);

    // 20 chapters of 5 sections each.
    const QStringList treeRows = treeLines.deliver();
    QCOMPARE(treeRows.size(), 1 + 1 + 20 + 100 + 1);
    QCOMPARE(treeRows.last(), QStringLiteral("sendAlltCate 4 0 0 "));
    QCOMPARE(treeRows.filter(QRegularExpression(QStringLiteral("^sendAlltCate 3 .*,.*,.*,"))).size(), 100);

    const QStringList doneRows = doneLines.deliver();
    QCOMPARE(doneRows.last(), QStringLiteral("sendNewKnowQuestion 0"));
    QCOMPARE(doneRows.size() - 2, store()->doneCount());
    for (int i = 1; i < doneRows.size() - 1; ++i)
        QVERIFY2(doneRows.at(i).startsWith(QStringLiteral("store.sendNewKnowQuestion %1 ").arg(i - 1)),
                 qPrintable(doneRows.at(i)));
}

QTEST_GUILESS_MAIN(TestWorkerStop)
#include "tst_worker_stop.moc"
