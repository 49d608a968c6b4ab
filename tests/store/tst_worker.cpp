#include "DataToUiThreadClass.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "SqliteClass.h"
#include "tst_worker_recorder.h"

#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int generousWait = 120000;

Setup setJob(int job, int parameter)
{
    return [=](DataToUiThreadClass &worker) { worker.setJob(job, parameter); };
}

// The option statement of tQueOpt fails on the rows of one question.
bool failOptionsOf(int queId)
{
    SqliteClass *store = SqliteClass::instance();
    return store->execSql(QStringLiteral("ALTER TABLE tQueOpt RENAME TO tQueOptRows")) == 0
           && store->execSql(QStringLiteral("CREATE VIEW tQueOpt AS SELECT optId, optName, CASE WHEN queId = %1 "
                                            "THEN abs(-9223372036854775807 - 1) ELSE optText END AS optText, queId "
                                            "FROM tQueOptRows").arg(queId)) == 0;
}

bool restoreOptions()
{
    SqliteClass *store = SqliteClass::instance();
    return store->execSql(QStringLiteral("DROP VIEW tQueOpt")) == 0
           && store->execSql(QStringLiteral("ALTER TABLE tQueOptRows RENAME TO tQueOpt")) == 0;
}

// Replaces tQue by a view in which reading column on the rows that match
// condition raises an engine error.
QString failingQuestionColumn(const QString &column, const QString &condition)
{
    QStringList columns{"queId", "cateListId", "queText", "answer", "prompt", "IsDel", "ord", "queCode",
                        "modTime", "userStatus", "userAnswer", "userTime", "userFav", "userNote"};
    columns.replaceInStrings(QRegularExpression(QStringLiteral("^%1$").arg(column)),
                             QStringLiteral("CASE WHEN %1 THEN abs(queId - queId - 9223372036854775807 - 1) "
                                            "ELSE %2 END AS %2").arg(condition, column));
    return QStringLiteral("ALTER TABLE tQue RENAME TO tQueRows;CREATE VIEW tQue AS SELECT %1 FROM tQueRows")
        .arg(columns.join(QLatin1Char(',')));
}

void execAll(const QString &sql)
{
    for (const QString &statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        QCOMPARE(SqliteClass::instance()->execSql(statement), 0);
}

// An owner that keeps every record it receives and frees them all when it
// goes; its destructor releases its worker first, as a page's does.
class ReleasingOwner : public WorkerRecorder
{
public:
    ReleasingOwner(DataToUiThreadClass *worker, QStringList *delivered)
        : WorkerRecorder(worker), worker(worker), delivered(delivered)
    {
    }
    ~ReleasingOwner() override
    {
        worker->releaseOwner(this);
        *delivered = lines;
    }

private:
    DataToUiThreadClass *worker;
    QStringList *delivered;
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void jobSignals_data();
    void jobSignals();
    void wholeGroups_data();
    void wholeGroups();
    void sectionsAfterFailedDraw_data();
    void sectionsAfterFailedDraw();
    void chapterSets_data();
    void chapterSets();
    void failedChapterPageSendsNothing();
    void recentChapters_data();
    void recentChapters();
    void choiceTree_data();
    void choiceTree();
    void storeChoices();
    void mergeJob();
    void errorTextIsTheJobsOwn();
    void stoppedPaperLogsNothing();
    void ownerGoesWithRowsQueued_data();
    void ownerGoesWithRowsQueued();
    void childChaptersOnCallingThread();

private:
    QStringList runJob();
    static SqliteClass *store() { return SqliteClass::instance(); }

    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<DataToUiThreadClass> worker;
    std::unique_ptr<WorkerRecorder> recorder;
};

void TestWorker::init()
{
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
    worker = std::make_unique<DataToUiThreadClass>();
    recorder = std::make_unique<WorkerRecorder>(worker.get());
}

void TestWorker::cleanup()
{
    recorder.reset();
    worker.reset();
    store()->closeDatabase();
    bank.reset();
}

// Starts the worker as an owner does and gives back every signal of the job.
QStringList TestWorker::runJob()
{
    recorder->lines.clear();
    worker->start(QThread::InheritPriority);
    if (!worker->wait(generousWait))
        return {QStringLiteral("job did not end")};
    return recorder->deliver();
}

void TestWorker::jobSignals_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QStringList>("expected");

    const QString started = QStringLiteral("sendJobStarted 0");
    QTest::newRow("0 does nothing") << QString() << setJob(0, 1) << QStringList();
    QTest::newRow("2 does nothing") << QString() << setJob(2, 1) << QStringList();
    QTest::newRow("20 does nothing") << QString() << setJob(20, 1) << QStringList();
    QTest::newRow("3 wrong answers")
        << QString() << setJob(3, -1)
        << QStringList{started, "store.sendErrorQuestion 0 1002", "store.sendErrorQuestion 1 1004",
                       "store.sendErrorQuestion 2 1010", "store.sendErrorQuestion 3 1011", "sendErrorQuestion 0"};
    QTest::newRow("3 failing")
        << "ALTER TABLE tCateList RENAME TO gone" << setJob(3, -1) << QStringList{started, "sendErrorQuestion -1"};
    QTest::newRow("4 favourites")
        << QString() << setJob(4, -1)
        << QStringList{started, "store.sendCollectoQuestion 0 1013", "store.sendCollectoQuestion 1 1001",
                       "sendMarkQuestion 0"};
    QTest::newRow("5 notes") << QString() << setJob(5, -1)
                             << QStringList{started, "store.sendNoteQuestion 0 1001", "store.sendNoteQuestion 1 1002",
                                            "sendNoteQuestion 0"};
    QTest::newRow("6 one hit") << QString()
                               << Setup([](DataToUiThreadClass &w) { w.setKeywordJob(6, QStringLiteral("铁锈色")); })
                               << QStringList{started, "sendFindQuestion 1002", "sendFindQuestions 0"};
    QTest::newRow("6 no hit") << QString()
                              << Setup([](DataToUiThreadClass &w) { w.setKeywordJob(6, QStringLiteral("不存在的词")); })
                              << QStringList{started, "sendFindQuestions 0"};
    QTest::newRow("7 two parts")
        << QString() << sectionJob(7, {{2, 1}, {5, 7}})
        << QStringList{started, "store.sendTalkQuesion 1 1", "store.sendTalkQuesion 1 1", "store.sendTalkQuesion 7 2",
                       "sendTalkError 0"};
    QTest::newRow("7 no part") << QString() << sectionJob(7, {}) << QStringList{started, "sendTalkError 0"};
    QTest::newRow("9 answered")
        << "UPDATE tQue SET userStatus = '0' WHERE queId > 1004"
        << setJob(9, -1)
        << QStringList{started, "store.sendNewKnowQuestion 0 1001", "store.sendNewKnowQuestion 1 1002",
                       "store.sendNewKnowQuestion 2 1004", "sendNewKnowQuestion 0"};
    QTest::newRow("10 quick chapters")
        << QString() << setJob(10, 1)
        << QStringList{started, "store.sendQuickQuestionBycateId 12", "store.sendQuickQuestionBycateId 11",
                       "store.sendQuickQuestionBycateId 13", "sendSqliteClass 0"};
    QTest::newRow("11 report groups")
        << QString() << setJob(11, 111)
        << QStringList{started, "store.sendQuickQuestion 102", "store.sendQuickQuestion 103",
                       "store.sendQuickQuestion 101", "store.sendQuickQuestion 104", "store.sendQuickQuestion 105",
                       "store.sendQuickQuestion 106", "sendSqliteClass 0"};
    QTest::newRow("12 page") << QString()
                             << Setup([](DataToUiThreadClass &w) { w.setPageJob(12, 111, 6, 4); })
                             << QStringList{started, "store.sendQuestionBycateIdBycount 2 6 4"};
    QTest::newRow("15 paper") << QString()
                              << Setup([](DataToUiThreadClass &w) {
                                     w.setPaperTypes({1, 3});
                                     w.setJob(15, 1);
                                 })
                              << QStringList{started, "store.sendTalkQuesion 1 1", "store.sendTalkQuesion 3 2",
                                             "sendTalkError 0"};
    QTest::newRow("15 no type") << QString()
                                << Setup([](DataToUiThreadClass &w) {
                                       w.setPaperTypes({});
                                       w.setJob(15, 1);
                                   })
                                << QStringList{started, "sendTalkError 0"};
    QTest::newRow("16 two parts") << QString() << sectionJob(16, {{1, 1}, {1, 4}})
                                  << QStringList{started, "store.sendTalkQuesion 1 1", "store.sendTalkQuesion 4 1",
                                                 "sendTalkError 0"};
    QTest::newRow("16 no part") << QString() << sectionJob(16, {}) << QStringList{started, "sendTalkError 0"};
    QTest::newRow("18 clear")
        << QString() << Setup([](DataToUiThreadClass &w) { w.setClearJob(18, 121, QStringLiteral("1,1,1")); })
        << QStringList{started, "store.sendClearQuestions 2 1", "store.sendClearQuestions 2 2", "sendSqliteClass 0"};
    QTest::newRow("18 nothing to clear")
        << QString() << Setup([](DataToUiThreadClass &w) { w.setClearJob(18, 121, QStringLiteral("0,0,0")); })
        << QStringList{started, "sendSqliteClass -1"};
}

void TestWorker::jobSignals()
{
    QFETCH(QString, sql);
    QFETCH(Setup, setup);
    QFETCH(QStringList, expected);
    if (!sql.isEmpty())
        QCOMPARE(store()->execSql(sql), 0);

    setup(*worker);
    QCOMPARE(runJob(), expected);
    // A start without a setter repeats the job.
    QCOMPARE(runJob(), expected);
}

void TestWorker::wholeGroups_data()
{
    QTest::addColumn<int>("failingQuestion");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all groups") << 0 << QStringList{"sendJobStarted 0", "sendQuestion 0 102,103,101,104,105,106"};
    // 1004 belongs to 103, the second group by ord.
    QTest::newRow("second group fails") << 1004 << QStringList{"sendJobStarted 0", "sendQuestion -1 102"};
}

void TestWorker::wholeGroups()
{
    QFETCH(int, failingQuestion);
    QFETCH(QStringList, expected);
    if (failingQuestion)
        QVERIFY(failOptionsOf(failingQuestion));

    worker->setJob(1, 111);
    QCOMPARE(runJob(), expected);
    QCOMPARE(worker->lastErrorText().contains(QStringLiteral("integer overflow")), failingQuestion != 0);
}

void TestWorker::sectionsAfterFailedDraw_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<QStringList>("expected");
    // Without tQue the question draw fails; the group draw still finds group
    // 106 but cannot load its questions.
    QTest::newRow("7 goes on") << 7
                               << QStringList{"sendJobStarted 0", "store.sendTalkQuesion 7 0", "sendTalkError 0"};
    QTest::newRow("16 stops") << 16
                              << QStringList{"sendJobStarted 0", "store.sendTalkQuesion 1 0", "sendTalkError -1"};
}

void TestWorker::sectionsAfterFailedDraw()
{
    QFETCH(int, job);
    QFETCH(QStringList, expected);
    QCOMPARE(store()->execSql(QStringLiteral("ALTER TABLE tQue RENAME TO tQueAway")), 0);

    sectionJob(job, {{2, 1}, {5, 7}})(*worker);
    QCOMPARE(runJob(), expected);
}

void TestWorker::chapterSets_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("parent");
    QTest::addColumn<QStringList>("expected");
    // Under section 11 by ord: 112 (6 questions, 0 right, 2 answered), then
    // 111 (8, 4, 6; its deleted question's later answer does not count).
    QTest::newRow("counts") << QString() << 11
                            << QStringList{"sendJobStarted 0", "sendQuestionBycateId 112 6 0 2 10-07_14:00",
                                           "sendQuestionBycateId 111 8 4 6 10-05_12:00", "sendSqliteClass 0"};
    QTest::newRow("second set fails")
        << failingQuestionColumn("IsDel", "cateListId = 101") << 11
        << QStringList{"sendJobStarted 0", "sendQuestionBycateId 112 6 0 2 10-07_14:00", "sendSqliteClass -1"};
    QTest::newRow("no set") << QString() << 13 << QStringList{"sendJobStarted 0", "sendSqliteClass 0"};
}

void TestWorker::chapterSets()
{
    QFETCH(QString, sql);
    QFETCH(int, parent);
    QFETCH(QStringList, expected);
    execAll(sql);

    worker->setJob(8, parent);
    QCOMPARE(runJob(), expected);
}

void TestWorker::failedChapterPageSendsNothing()
{
    QVERIFY(failOptionsOf(1003));
    worker->setPageJob(12, 111, 0, 4);
    QCOMPARE(runJob(), QStringList{"sendJobStarted 0"});

    QVERIFY(restoreOptions());
    QCOMPARE(runJob(), (QStringList{"sendJobStarted 0", "store.sendQuestionBycateIdBycount 4 0 4"}));
}

void TestWorker::recentChapters_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("three chapters")
        << "UPDATE tQue SET userStatus = '0' WHERE cateListId IN (115, 116)"
        << QStringList{"sendJobStarted 0",
                       "sendtQueLogAnswerHistory 0 121 2 1 1 10-08_15:00 循环系统 下列图片中显示房颤的是[img100.png]",
                       "sendtQueLogAnswerHistory 1 112 6 2 0 10-07_14:00 呼吸系统 "
                       "支气管哮喘的典型体征是呼气相哮鸣音。",
                       "sendtQueLogAnswerHistory 2 111 8 6 4 10-05_12:00 呼吸系统 引起大叶性肺炎最常见的病原体是",
                       "sendSqliteClass 0"};
    QTest::newRow("none answered") << "UPDATE tQue SET userStatus = '0'"
                                   << QStringList{"sendJobStarted 0", "sendSqliteClass 0"};
    QTest::newRow("second chapter fails")
        << "UPDATE tQue SET userStatus = '0' WHERE cateListId IN (115, 116);"
           + failingQuestionColumn("queText", "queId = 1011")
        << QStringList{"sendJobStarted 0",
                       "sendtQueLogAnswerHistory 0 121 2 1 1 10-08_15:00 循环系统 下列图片中显示房颤的是[img100.png]",
                       "sendSqliteClass -1"};
}

void TestWorker::recentChapters()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, expected);
    execAll(sql);

    worker->setJob(13, 0);
    QCOMPARE(runJob(), expected);
}

void TestWorker::choiceTree_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("logged");
    QTest::newRow("whole tree")
        << QString()
        << QStringList{"sendJobStarted 0",        "sendAlltCate 1 0 0 2,1,3", "sendAlltCate 2 0 0 21",
                       "sendAlltCate 3 0 0 211",  "sendAlltCate 2 1 0 12,11,13", "sendAlltCate 3 1 0 121",
                       "sendAlltCate 3 1 1 112,111", "sendAlltCate 3 1 2 ",   "sendAlltCate 2 2 0 ",
                       "sendAlltCate 4 0 0 "}
        << QString();
    QTest::newRow("empty tree") << "DELETE FROM tCate"
                                << QStringList{"sendJobStarted 0", "sendAlltCate 1 0 0 ", "sendAlltCate 4 0 0 "}
                                << QString();
    // The top chapters cannot be read: no tree is reported, neither empty nor loaded.
    QTest::newRow("failing top chapters") << "DROP TABLE tCate" << QStringList{"sendJobStarted 0"}
                                          << QStringLiteral("no such table");
    // The counts of set 111 fail: the job ends without the complete tree.
    QTest::newRow("failing set") << failingQuestionColumn("IsDel", "cateListId = 101")
                                 << QStringList{"sendJobStarted 0",       "sendAlltCate 1 0 0 2,1,3",
                                                "sendAlltCate 2 0 0 21",  "sendAlltCate 3 0 0 211",
                                                "sendAlltCate 2 1 0 12,11,13", "sendAlltCate 3 1 0 121"}
                                 << QStringLiteral("integer overflow");
}

void TestWorker::choiceTree()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, expected);
    QFETCH(QString, logged);
    execAll(sql);

    LogCapture log;
    worker->setJob(14, 0);
    QCOMPARE(runJob(), expected);
    if (logged.isEmpty())
        QVERIFY(!log.contains(QStringLiteral("Error")));
    else
        QVERIFY(log.contains(logged));
}

void TestWorker::storeChoices()
{
    // Updates of chapter 11 are refused; the walk goes on past it.
    QCOMPARE(store()->execSql(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON tCate WHEN new.cateId = 11 "
                                             "BEGIN SELECT RAISE(ABORT, 'refused'); END")),
             0);
    using Node = DataToUiThreadClass::ChoiceNode;
    const QList<Node> tree{Node{1, 0, {Node{11, 0, {Node{111, 0, {}}}}, Node{12, 0, {Node{121, 0, {}}}}}},
                           Node{2, 1, {Node{21, 1, {Node{211, 1, {}}}}}}};
    LogCapture log;
    worker->setChoiceTreeJob(17, tree);
    QCOMPARE(runJob(), (QStringList{"sendJobStarted 0", "sendSqliteClass 0"}));
    QVERIFY(log.contains(QStringLiteral("refused")));

    QList<SqliteData *> top;
    QCOMPARE(DataToUiThreadClass::childChapters(top, 0), 0);
    QList<SqliteData *> sections;
    QCOMPARE(DataToUiThreadClass::childChapters(sections, 1), 0);
    QList<SqliteData *> sets;
    QCOMPARE(DataToUiThreadClass::childChapters(sets, 11), 0);
    QStringList flags;
    for (const SqliteData *row : top + sections + sets)
        flags << row->text0 + QLatin1Char('=') + row->text7;
    qDeleteAll(top + sections + sets);
    QCOMPARE(flags, (QStringList{"2=1", "1=0", "3=1", "12=0", "11=1", "13=1", "112=1", "111=0"}));
}

void TestWorker::mergeJob()
{
    FixtureBank newBank;
    QVERIFY2(newBank.open(), qPrintable(newBank.error()));
    const QString target = bank->path() + QStringLiteral("/BKMedicalDB.db");
    QVERIFY(QFile::copy(bank->filePath(), target));

    worker->setMergeJob(19, target, newBank.filePath());
    QCOMPARE(runJob(), (QStringList{"sendJobStarted 0", "store.sendCopyTable", "sendSqliteClass 0"}));

    QVERIFY(QFile::remove(newBank.filePath()));
    const QStringList failed = runJob();
    QCOMPARE(failed.last(), QStringLiteral("sendSqliteClass -1"));
}

void TestWorker::errorTextIsTheJobsOwn()
{
    QCOMPARE(store()->execSql(QStringLiteral("ALTER TABLE tCateList RENAME TO gone")), 0);
    worker->setJob(3, -1);
    QCOMPARE(runJob(), (QStringList{"sendJobStarted 0", "sendErrorQuestion -1"}));

    // A later failure on the GUI thread replaces the store's text only.
    QCOMPARE(store()->execSql(QStringLiteral("select * from elsewhere")), -1);
    QVERIFY(store()->lastErrorText().contains(QStringLiteral("elsewhere")));
    QVERIFY2(worker->lastErrorText().contains(QStringLiteral("no such table: tCateList")),
             qPrintable(worker->lastErrorText()));

    // A job without failure reports none.
    QCOMPARE(store()->execSql(QStringLiteral("ALTER TABLE gone RENAME TO tCateList")), 0);
    QCOMPARE(runJob().last(), QStringLiteral("sendErrorQuestion 0"));
    QCOMPARE(worker->lastErrorText(), QStringLiteral("[Error:]"));
}

void TestWorker::stoppedPaperLogsNothing()
{
    // Paper 1 gets a second group of type 1; the owner stops the job while
    // the first is being handed over.
    execAll(QStringLiteral("INSERT INTO ytCateList (cateListId, cateId, queTypeId, publicQueText) VALUES (206, 1, 1, '');"
                           "INSERT INTO ytQue (queId, cateListId, queText, answer, IsDel, ord) VALUES "
                           "(5009, 206, '第二组', 'A', '0', 1)"));
    std::atomic_bool held{false};
    QSemaphore reached;
    connect(store(), &SqliteClass::sendTalkQuesion, worker.get(),
            [&](int, const QList<MainQuestion *> &) {
                if (held.exchange(true))
                    return;
                reached.release();
                while (!worker->isInterruptionRequested())
                    QThread::yieldCurrentThread();
            },
            Qt::DirectConnection);
    LogCapture log;
    worker->setPaperTypes({1});
    worker->setJob(15, 1);
    recorder->lines.clear();
    worker->start(QThread::InheritPriority);
    QVERIFY(reached.tryAcquire(1, generousWait));
    worker->stop();

    // One group, no finishing signal, and a stop is no error to log.
    QCOMPARE(recorder->deliver(), (QStringList{"sendJobStarted 0", "store.sendTalkQuesion 1 1"}));
    QVERIFY2(log.lines().filter(QStringLiteral("[Error:]")).isEmpty(), qPrintable(log.lines().join('\n')));
}

void TestWorker::ownerGoesWithRowsQueued_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::newRow("1 whole groups") << setJob(1, 111);
    QTest::newRow("3 wrong answers") << setJob(3, -1);
    QTest::newRow("4 favourites") << setJob(4, -1);
    QTest::newRow("5 notes") << setJob(5, -1);
    QTest::newRow("6 search") << Setup([](DataToUiThreadClass &w) { w.setKeywordJob(6, QStringLiteral("的")); });
    QTest::newRow("7 man-machine paper") << sectionJob(7, {{2, 1}, {5, 7}});
    QTest::newRow("8 chapter sets") << setJob(8, 11);
    QTest::newRow("9 answered") << setJob(9, -1);
    QTest::newRow("10 quick chapters") << setJob(10, 1);
    QTest::newRow("11 report groups") << setJob(11, 111);
    QTest::newRow("12 page") << Setup([](DataToUiThreadClass &w) { w.setPageJob(12, 111, 0, 4); });
    QTest::newRow("13 recent chapters") << setJob(13, 0);
    QTest::newRow("14 chapter tree") << setJob(14, 0);
    QTest::newRow("15 paper") << Setup([](DataToUiThreadClass &w) {
        w.setPaperTypes({1, 3});
        w.setJob(15, 1);
    });
    QTest::newRow("16 simulated exam") << sectionJob(16, {{2, 1}, {1, 4}});
}

void TestWorker::ownerGoesWithRowsQueued()
{
    QFETCH(Setup, setup);
    // What an owner that stays receives.
    setup(*worker);
    const QStringList expected = runJob();
    QVERIFY(expected.size() > 1);
    recorder.reset();

    // An owner deleted once the job has ended, its rows still queued: they
    // reach it on its way out, and the leak check of the sanitizer build
    // sees every record freed.
    QStringList delivered;
    auto *ownersWorker = new DataToUiThreadClass;
    auto *owner = new ReleasingOwner(ownersWorker, &delivered);
    setup(*ownersWorker);
    ownersWorker->start(QThread::InheritPriority);
    QVERIFY(ownersWorker->wait(generousWait));
    delete owner;
    delete ownersWorker;
    QCOMPARE(delivered, expected);
}

void TestWorker::childChaptersOnCallingThread()
{
    QList<SqliteData *> list;
    QCOMPARE(DataToUiThreadClass::childChapters(list, 1), 0);
    QStringList rows;
    for (const SqliteData *row : list)
        rows << row->text0 + QLatin1Char(' ') + row->text1 + QLatin1Char(' ') + row->text7;
    qDeleteAll(list);
    QCOMPARE(rows, (QStringList{"12 循环系统 1", "11 呼吸系统 1", "13 空小节 1"}));
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
