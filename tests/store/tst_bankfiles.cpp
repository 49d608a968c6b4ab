// Checking a bank file and putting a new bank in place of the open one.
#include "BankFileSteps.h"
#include "FileSizeLimit.h"
#include "FixtureBank.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SQLiteCipherDriver.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

// Runs sql on its own connection to file and returns the value of the
// bank version, or the error.
QString readVersion(const QString &file)
{
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QStringLiteral("version-reader"));
        db.setDatabaseName(file);
        db.setPassword(phrase);
        if (db.open()) {
            QSqlQuery query(db);
            result = query.exec(QStringLiteral("select value from sysConfig where key = 'bankVersion'")) && query.next()
                ? query.value(0).toString()
                : QStringLiteral("<failed>");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("version-reader"));
    return result;
}

// A process that dies in the middle of a large write to file, its pages
// already spilled into the file: the journal beside it is hot.
bool crashDuringWrite(const QString &file)
{
    const pid_t child = fork();
    if (child == 0) {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QStringLiteral("dying"));
        db.setDatabaseName(file);
        db.setPassword(phrase);
        bool ok = db.open();
        QSqlQuery query(db);
        ok = ok && query.exec(QStringLiteral("PRAGMA cache_size = 2")) && query.exec(QStringLiteral("BEGIN"))
            && query.exec(QStringLiteral("UPDATE sysConfig SET value = 'torn' WHERE key = 'bankVersion'"))
            && query.exec(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000)"
                                         " INSERT INTO sysConfig (key, value) SELECT 'k' || x, hex(randomblob(200)) FROM c"));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Log rows of queId and the answer stored in its question row, as one text
// "rows/answer", read from file on a connection of its own.
QString answerState(const QString &file, int queId)
{
    QString result = QStringLiteral("<failed>");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QStringLiteral("answer-reader"));
        db.setDatabaseName(file);
        db.setPassword(phrase);
        if (db.open()) {
            QSqlQuery query(db);
            const QString id = QString::number(queId);
            if (query.exec(QStringLiteral("select (select count(*) from tQueLog where queId = %1) || '/' ||"
                                          " (select ifnull(userAnswer, '') from tQue where queId = %1)").arg(id))
                && query.next())
                result = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("answer-reader"));
    return result;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestBankFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkBankFile_data();
    void checkBankFile();
    void replaceOpenBank();
    void replaceWithoutKeepingTheOld();
    void refusedNewFileChangesNothing_data();
    void refusedNewFileChangesNothing();
    void hotJournalGoesWithTheOldFile();
    void realHotJournalStaysUsable();
    void fullDiskDuringTheCopy();
    void copyOpenBank();
    void copiesWhileAnswersAreRecorded();
    void failedCopyLeavesTarget_data();
    void failedCopyLeavesTarget();

private:
    // The store on the old bank; the new bank a fixture with another version.
    void openOldBank();
    QString version() const { return sqlRow(QStringLiteral("select value from sysConfig where key = 'bankVersion'")).value(0); }

    SqliteClass *store = nullptr;
    std::unique_ptr<FixtureBank> oldBank;
    std::unique_ptr<FixtureBank> newBank;
    QByteArray oldContent;
    QByteArray newContent;
    QTemporaryDir scratch;
};

void TestBankFiles::initTestCase()
{
    // Built once; each test starts from their first content.
    oldBank = std::make_unique<FixtureBank>();
    oldBank->addSql(QStringLiteral("UPDATE sysConfig SET value = 'old' WHERE key = 'bankVersion';"));
    QVERIFY2(oldBank->open(), qPrintable(oldBank->error()));
    newBank = std::make_unique<FixtureBank>();
    newBank->addSql(QStringLiteral("UPDATE sysConfig SET value = 'new' WHERE key = 'bankVersion';"));
    QVERIFY2(newBank->open(), qPrintable(newBank->error()));
    oldContent = bytesOf(oldBank->filePath());
    newContent = bytesOf(newBank->filePath());
}

void TestBankFiles::init()
{
    store = SqliteClass::instance();
    for (const auto &[bank, bytes] : {std::make_pair(oldBank.get(), oldContent), std::make_pair(newBank.get(), newContent)}) {
        for (const QString &entry : entries(bank->path())) {
            if (entry != QLatin1String("images"))
                QVERIFY(QFile::remove(bank->path() + QLatin1Char('/') + entry));
        }
        writeBytes(bank->filePath(), bytes);
    }
    QDir(scratch.path()).removeRecursively();
    QVERIFY(QDir().mkpath(scratch.path()));
}

void TestBankFiles::cleanup()
{
    BankFileSteps::setCurrent(nullptr);
    delete store;
    store = nullptr;
}

void TestBankFiles::openOldBank()
{
    QCOMPARE(store->openDatabase(oldBank->path(), phrase, 0), 2);
    QCOMPARE(version(), QStringLiteral("old"));
}

void TestBankFiles::checkBankFile_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("result");
    QTest::newRow("good") << "good" << 0;
    QTest::newRow("plain SQLite") << "plain" << -1;
    QTest::newRow("other phrase") << "phrase" << -1;
    QTest::newRow("zero bytes") << "zero" << -1;
    QTest::newRow("directory") << "directory" << -1;
    QTest::newRow("truncated") << "truncated" << -1;
    QTest::newRow("garbage") << "garbage" << -1;
    QTest::newRow("missing") << "missing" << -1;
}

void TestBankFiles::checkBankFile()
{
    QFETCH(QString, form);
    QFETCH(int, result);
    std::unique_ptr<FixtureBank> bank;
    QString file;
    if (form == QLatin1String("plain") || form == QLatin1String("zero") || form == QLatin1String("directory")) {
        const FixtureBank::Form kind = form == QLatin1String("plain") ? FixtureBank::Form::Plain
            : form == QLatin1String("zero")                           ? FixtureBank::Form::ZeroBytes
                                                                      : FixtureBank::Form::Directory;
        bank = std::make_unique<FixtureBank>(kind);
        QVERIFY(bank->open());
        file = bank->filePath();
    } else if (form == QLatin1String("phrase")) {
        bank = std::make_unique<FixtureBank>();
        bank->setPhrase("another phrase");
        QVERIFY(bank->open());
        file = bank->filePath();
    } else if (form == QLatin1String("truncated")) {
        const QByteArray whole = bytesOf(newBank->filePath());
        file = scratch.filePath(QStringLiteral("truncated.db"));
        writeBytes(file, whole.left(whole.size() / 2));
    } else if (form == QLatin1String("garbage")) {
        file = scratch.filePath(QStringLiteral("garbage.db"));
        writeBytes(file, QByteArray(8192, 'x'));
    } else if (form == QLatin1String("missing")) {
        file = scratch.filePath(QStringLiteral("missing.db"));
    } else {
        file = newBank->filePath();
    }
    const QByteArray before = QFileInfo(file).isFile() ? bytesOf(file) : QByteArray();

    // The store works on its own bank meanwhile and is not disturbed.
    openOldBank();
    QCOMPARE(store->checkBankFile(file), result);
    if (result != 0)
        QVERIFY(store->lastErrorText().size() > QStringLiteral("[Error:]").size());
    QCOMPARE(QSqlDatabase::database().databaseName(), oldBank->filePath());
    QCOMPARE(version(), QStringLiteral("old"));
    // Read only: nothing was created or changed.
    QCOMPARE(QFileInfo(file).isFile() ? bytesOf(file) : QByteArray(), before);
    QCOMPARE(QFileInfo::exists(file), form != QLatin1String("missing"));
}

void TestBankFiles::replaceOpenBank()
{
    openOldBank();
    const QByteArray oldBytes = bytesOf(oldBank->filePath());
    const QByteArray newBytes = bytesOf(newBank->filePath());
    const QString kept = oldBank->path() + QStringLiteral("/MedicalDB.db.bak");

    QCOMPARE(store->replaceBankFile(oldBank->filePath(), newBank->filePath(), kept), 0);
    QCOMPARE(bytesOf(kept), oldBytes);
    QCOMPARE(bytesOf(oldBank->filePath()), newBytes);
    QCOMPARE(bytesOf(newBank->filePath()), newBytes);
    // Reopened on the new content.
    QVERIFY(QSqlDatabase::database().isOpen());
    QCOMPARE(version(), QStringLiteral("new"));
    QCOMPARE(entries(oldBank->path()),
             (QStringList{QStringLiteral("MedicalDB.db"), QStringLiteral("MedicalDB.db.bak"), QStringLiteral("images")}));
    QCOMPARE(store->databaseDir(), oldBank->databaseDir());
}

void TestBankFiles::replaceWithoutKeepingTheOld()
{
    // The store on another bank stays there.
    QCOMPARE(store->openDatabase(newBank->path(), phrase, 0), 2);
    QCOMPARE(store->replaceBankFile(oldBank->filePath(), newBank->filePath(), QString()), 0);
    QCOMPARE(bytesOf(oldBank->filePath()), bytesOf(newBank->filePath()));
    QCOMPARE(entries(oldBank->path()), (QStringList{QStringLiteral("MedicalDB.db"), QStringLiteral("images")}));
    QCOMPARE(QSqlDatabase::database().databaseName(), newBank->filePath());
    QCOMPARE(version(), QStringLiteral("new"));

    // Into a place with no bank yet, the store closed.
    store->closeDatabase();
    const QString fresh = scratch.filePath(QStringLiteral("fresh/MedicalDB.db"));
    QVERIFY(QDir().mkpath(QFileInfo(fresh).path()));
    QCOMPARE(store->replaceBankFile(fresh, newBank->filePath(), QString()), 0);
    QCOMPARE(bytesOf(fresh), bytesOf(newBank->filePath()));
    QCOMPARE(entries(QFileInfo(fresh).path()), QStringList{QStringLiteral("MedicalDB.db")});
    QVERIFY(!QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen());
}

void TestBankFiles::refusedNewFileChangesNothing_data()
{
    QTest::addColumn<QString>("newForm");
    QTest::addColumn<bool>("keepExists");
    QTest::newRow("plain bank") << "plain" << false;
    QTest::newRow("zero bytes") << "zero" << false;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("kept name taken") << "good" << true;
}

void TestBankFiles::refusedNewFileChangesNothing()
{
    QFETCH(QString, newForm);
    QFETCH(bool, keepExists);
    std::unique_ptr<FixtureBank> other;
    QString newFile = newBank->filePath();
    if (newForm == QLatin1String("plain") || newForm == QLatin1String("zero")) {
        other = std::make_unique<FixtureBank>(newForm == QLatin1String("plain") ? FixtureBank::Form::Plain
                                                                                : FixtureBank::Form::ZeroBytes);
        QVERIFY(other->open());
        newFile = other->filePath();
    } else if (newForm == QLatin1String("missing")) {
        newFile = scratch.filePath(QStringLiteral("none.db"));
    }
    const QString kept = oldBank->path() + QStringLiteral("/MedicalDB.db.bak");
    if (keepExists)
        writeBytes(kept, "an earlier backup");
    openOldBank();
    const QByteArray oldBytes = bytesOf(oldBank->filePath());
    const QStringList before = entries(oldBank->path());

    QCOMPARE(store->replaceBankFile(oldBank->filePath(), newFile, kept), -1);
    QVERIFY(store->lastErrorText().size() > QStringLiteral("[Error:]").size());
    QCOMPARE(bytesOf(oldBank->filePath()), oldBytes);
    QCOMPARE(entries(oldBank->path()), before);
    if (keepExists)
        QCOMPARE(bytesOf(kept), QByteArray("an earlier backup"));
    QCOMPARE(QSqlDatabase::database().databaseName(), oldBank->filePath());
    QCOMPARE(version(), QStringLiteral("old"));
}

void TestBankFiles::hotJournalGoesWithTheOldFile()
{
    // A journal left by a write that never ended: it holds pages of the old
    // file and must never meet the new one.
    const QString journal = oldBank->filePath() + QStringLiteral("-journal");
    const QByteArray journalBytes = bytesOf(oldBank->filePath()).left(4096);
    writeBytes(journal, journalBytes);
    const QString kept = scratch.filePath(QStringLiteral("kept.db"));

    QCOMPARE(store->replaceBankFile(oldBank->filePath(), newBank->filePath(), kept), 0);
    QVERIFY(!QFileInfo::exists(journal));
    QCOMPARE(bytesOf(kept + QStringLiteral("-journal")), journalBytes);
    QCOMPARE(store->checkBankFile(oldBank->filePath()), 0);
    QCOMPARE(store->openDatabase(oldBank->path(), phrase, 0), 2);
    QCOMPARE(version(), QStringLiteral("new"));
    QCOMPARE(sqlRow(QStringLiteral("PRAGMA quick_check")), QStringList{QStringLiteral("ok")});
    QCOMPARE(bytesOf(oldBank->filePath()), bytesOf(newBank->filePath()));
}

void TestBankFiles::realHotJournalStaysUsable()
{
    QVERIFY(crashDuringWrite(oldBank->filePath()));
    const QString journal = oldBank->filePath() + QStringLiteral("-journal");
    QVERIFY(QFileInfo(journal).size() > 0);
    const QByteArray journalBytes = bytesOf(journal);
    const QString kept = scratch.filePath(QStringLiteral("kept-after-crash.db"));

    QCOMPARE(store->replaceBankFile(oldBank->filePath(), newBank->filePath(), kept), 0);
    QVERIFY(!QFileInfo::exists(journal));
    QCOMPARE(bytesOf(kept + QStringLiteral("-journal")), journalBytes);
    // The new bank opens clean, and the old one, with its journal, rolls
    // back to what it was before the write.
    QCOMPARE(store->openDatabase(oldBank->path(), phrase, 0), 2);
    QCOMPARE(version(), QStringLiteral("new"));
    QCOMPARE(sqlRow(QStringLiteral("PRAGMA quick_check")), QStringList{QStringLiteral("ok")});
    store->closeDatabase();
    QCOMPARE(bytesOf(oldBank->filePath()), bytesOf(newBank->filePath()));
    QCOMPARE(readVersion(kept), QStringLiteral("old"));
}

void TestBankFiles::fullDiskDuringTheCopy()
{
    openOldBank();
    const QByteArray oldBytes = bytesOf(oldBank->filePath());
    const QStringList before = entries(oldBank->path());
    const QString kept = oldBank->path() + QStringLiteral("/MedicalDB.db.bak");
    int result;
    {
        const FileSizeLimit limit(rlim_t(QFileInfo(newBank->filePath()).size() / 2));
        result = store->replaceBankFile(oldBank->filePath(), newBank->filePath(), kept);
    }
    QCOMPARE(result, -1);
    QVERIFY2(store->lastErrorText().contains(QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(store->lastErrorText()));
    QCOMPARE(bytesOf(oldBank->filePath()), oldBytes);
    QCOMPARE(entries(oldBank->path()), before);
    QCOMPARE(QSqlDatabase::database().databaseName(), oldBank->filePath());
    QVERIFY(QSqlDatabase::database().isOpen());
    QCOMPARE(version(), QStringLiteral("old"));
}

void TestBankFiles::copyOpenBank()
{
    openOldBank();
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("C"), QStringLiteral("2"), QStringLiteral("001")), 0);
    const QString target = scratch.filePath(QStringLiteral("copies/BKMedicalDB.db"));
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    writeBytes(target, "an earlier copy");

    QCOMPARE(store->copyBankFile(target), 0);
    QCOMPARE(bytesOf(target), bytesOf(oldBank->filePath()));
    QCOMPARE(store->checkBankFile(target), 0);
    QCOMPARE(readVersion(target), QStringLiteral("old"));
    QCOMPARE(answerState(target, 1001), answerState(oldBank->filePath(), 1001));
    // Only the copy is left in its folder; the store stays on its bank.
    QCOMPARE(entries(QFileInfo(target).path()), QStringList{QStringLiteral("BKMedicalDB.db")});
    QCOMPARE(QSqlDatabase::database().databaseName(), oldBank->filePath());
    const QString untouched = answerState(target, 1002);
    QCOMPARE(store->recordAnswer(1002, QStringLiteral("ZZ"), QStringLiteral("1"), QStringLiteral("001")), 0);
    QCOMPARE(answerState(target, 1002), untouched);

    // A second copy replaces the first.
    QCOMPARE(store->copyBankFile(target), 0);
    QCOMPARE(answerState(target, 1002), answerState(oldBank->filePath(), 1002));
    QVERIFY(answerState(target, 1002).endsWith(QStringLiteral("/ZZ")));
    QCOMPARE(entries(QFileInfo(target).path()), QStringList{QStringLiteral("BKMedicalDB.db")});
}

void TestBankFiles::copiesWhileAnswersAreRecorded()
{
    openOldBank();
    // Each answer's text is its number, so a copy taken between the log row
    // and the question row would show a count that differs from the text.
    std::atomic<bool> stop{false};
    std::atomic<int> recorded{0};
    std::atomic<int> failures{0};
    std::unique_ptr<QThread> writer(QThread::create([&] {
        for (int n = 1; !stop; ++n) {
            failures += store->recordAnswer(1001, QString::number(n), QStringLiteral("1"), QStringLiteral("001")) != 0;
            recorded = n;
        }
    }));
    writer->start();
    const QString target = scratch.filePath(QStringLiteral("busy.db"));
    QStringList seen;
    for (int i = 0; i < 20; ++i) {
        QVERIFY(QTest::qWaitFor([&] { return recorded > i * 3; }));
        QCOMPARE(store->copyBankFile(target), 0);
        QCOMPARE(store->checkBankFile(target), 0);
        const QString state = answerState(target, 1001);
        const QStringList parts = state.split(QLatin1Char('/'));
        QCOMPARE(parts.size(), 2);
        // The fixture may hold log rows of its own for the question.
        seen << state;
        QVERIFY2(parts[0].toInt() >= parts[1].toInt() && parts[1].toInt() > 0, qPrintable(state));
    }
    stop = true;
    QVERIFY(writer->wait());
    QCOMPARE(failures.load(), 0);
    // The offset between log rows and answer numbers is the same in every copy.
    QSet<int> offsets;
    for (const QString &state : qAsConst(seen))
        offsets.insert(state.section(QLatin1Char('/'), 0, 0).toInt() - state.section(QLatin1Char('/'), 1, 1).toInt());
    QCOMPARE(offsets.size(), 1);
}

void TestBankFiles::failedCopyLeavesTarget_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("full disk") << "full";
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("folder is a file") << "file";
    QTest::newRow("read-only folder") << "readonly";
    QTest::newRow("transaction open") << "transaction";
    QTest::newRow("the open bank itself") << "self";
}

void TestBankFiles::failedCopyLeavesTarget()
{
    QFETCH(QString, where);
    openOldBank();
    const QByteArray bankBytes = bytesOf(oldBank->filePath());
    const QString folder = scratch.filePath(QStringLiteral("failing"));
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + QStringLiteral("/BKMedicalDB.db");
    writeBytes(target, "the earlier copy");
    QByteArray targetBytes = "the earlier copy";
    if (where == QLatin1String("missing")) {
        target = scratch.filePath(QStringLiteral("nowhere/BKMedicalDB.db"));
    } else if (where == QLatin1String("file")) {
        target += QStringLiteral("/BKMedicalDB.db");
    } else if (where == QLatin1String("readonly")) {
        if (geteuid() == 0)
            QSKIP("file modes do not bind the superuser");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else if (where == QLatin1String("self")) {
        target = oldBank->filePath();
        targetBytes = bankBytes;
    }
    const QStringList before = entries(folder);

    int result;
    if (where == QLatin1String("full")) {
        const FileSizeLimit limit(rlim_t(bankBytes.size() / 2));
        result = store->copyBankFile(target);
    } else if (where == QLatin1String("transaction")) {
        QCOMPARE(store->execSql(QStringLiteral("BEGIN")), 0);
        QCOMPARE(store->execSql(QStringLiteral("UPDATE sysConfig SET value = 'half' WHERE key = 'bankVersion'")), 0);
        result = store->copyBankFile(target);
        QCOMPARE(store->execSql(QStringLiteral("ROLLBACK")), 0);
    } else {
        result = store->copyBankFile(target);
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(result, -1);
    QVERIFY(store->lastErrorText().size() > QStringLiteral("[Error:]").size());
    if (where == QLatin1String("full"))
        QVERIFY2(store->lastErrorText().contains(QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(store->lastErrorText()));
    if (where == QLatin1String("missing") || where == QLatin1String("file"))
        QVERIFY(!QFileInfo::exists(target));
    else
        QCOMPARE(bytesOf(target), targetBytes);
    // No partial copy is left behind.
    QCOMPARE(entries(folder), before);
    QCOMPARE(bytesOf(oldBank->filePath()), bankBytes);
    QCOMPARE(version(), QStringLiteral("old"));
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("001")), 0);
}

QTEST_GUILESS_MAIN(TestBankFiles)
#include "tst_bankfiles.moc"
