// Checking a bank file and putting a new bank in place of the open one.
#include "BankFileSteps.h"
#include "FileSizeLimit.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SQLiteCipherDriver.h"
#include "TempWorkDir.h"

#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <functional>

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


// One file step of a swap as the store took it.
struct FileStep {
    BankFileSteps::Kind kind;
    QString path;
    QString to;
};

QString stepName(const FileStep &step)
{
    static const char *const names[] = {"write", "sync", "link", "rename", "remove", "sync folder"};
    // Folders by role: the bank's own has a temporary name.
    const QString file = QFileInfo(step.path).fileName();
    const QString what = step.kind != BankFileSteps::Kind::SyncFolder || file == QLatin1String("DataRecovery")
        ? file
        : QStringLiteral("subject");
    const QString name = QString::fromLatin1(names[int(step.kind)]) + QLatin1Char(' ') + what;
    return step.to.isEmpty() ? name : name + QStringLiteral(" to ") + QFileInfo(step.to).fileName();
}

// Records every file step; fails the one numbered failAt (from 0), or those
// that rule gives an error for; ends the process before the one numbered exitAt.
class WatchedSteps : public BankFileSteps
{
public:
    int before(Kind kind, const QString &path, const QString &to) override
    {
        const int index = taken.size();
        taken << FileStep{kind, QFileInfo(path).absoluteFilePath(), to.isEmpty() ? QString() : QFileInfo(to).absoluteFilePath()};
        if (index == exitAt)
            _exit(0);
        if (index == failAt)
            return failWith;
        return rule ? rule(taken.last()) : 0;
    }

    QList<FileStep> taken;
    int failAt = -1;
    int failWith = EIO;
    int exitAt = -1;
    std::function<int(const FileStep &)> rule;
};

// Installs steps for the time it lives.
class StepsInUse
{
public:
    explicit StepsInUse(BankFileSteps *steps) { BankFileSteps::setCurrent(steps); }
    ~StepsInUse() { BankFileSteps::setCurrent(nullptr); }
    StepsInUse(const StepsInUse &) = delete;
    StepsInUse &operator=(const StepsInUse &) = delete;
};

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
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
    void failedStepLeavesOldBank_data();
    void failedStepLeavesOldBank();
    void swapFailureReasons_data();
    void swapFailureReasons();
    void fullDiskDuringTheSwap_data();
    void fullDiskDuringTheSwap();
    void syncedBeforeRename_data();
    void syncedBeforeRename();
    void cutAtEveryStep_data();
    void cutAtEveryStep();
    void missingBankRecovered_data();
    void missingBankRecovered();
    void leftoverLastGoodCopyKept();

private:
    // The store on the old bank; the new bank a fixture with another version.
    void openOldBank();
    // The files of one swap as install, repair and restore give them, the
    // new content in place and the old bank holding an answer of its own.
    struct Swap {
        QString bank;
        QString newFile;
        QString keepOldAs;
        QStringList folders; // whose entries a failed swap leaves as they were
    };
    Swap prepareSwap(const QString &operation);
    int runSwap(const Swap &swap) { return store->replaceBankFile(swap.bank, swap.newFile, swap.keepOldAs); }
    // The steps of a whole swap of the operation, from a fresh start.
    QList<FileStep> recordedSteps(const QString &operation);
    QMap<QString, QStringList> entriesOf(const QStringList &folders) const;
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

TestBankFiles::Swap TestBankFiles::prepareSwap(const QString &operation)
{
    openOldBank();
    [&] { QCOMPARE(store->recordAnswer(1001, QStringLiteral("C"), QStringLiteral("2"), QStringLiteral("001")), 0); }();
    Swap swap;
    swap.bank = oldBank->filePath();
    swap.folders << oldBank->path();
    if (operation == QLatin1String("install")) {
        swap.newFile = scratch.filePath(QStringLiteral("install-1/package/MedicalDB.db"));
        swap.keepOldAs = swap.bank + QStringLiteral(".20260101-000000.bak");
    } else if (operation == QLatin1String("repair")) {
        // The repair's work folder lies in the working directory.
        swap.newFile = QStringLiteral("DataRecovery/MergedMedicalDB.db");
        swap.keepOldAs = QStringLiteral("DataRecovery/OldMedicalDB.db");
        swap.folders << QDir::current().filePath(QStringLiteral("DataRecovery"));
    } else {
        swap.newFile = oldBank->path() + QStringLiteral("/BKMedicalDB.db");
    }
    QDir().mkpath(QFileInfo(swap.newFile).path());
    writeBytes(swap.newFile, newContent);
    return swap;
}

QList<FileStep> TestBankFiles::recordedSteps(const QString &operation)
{
    init();
    const TempWorkDir work;
    WatchedSteps watched;
    const Swap swap = prepareSwap(operation);
    {
        const StepsInUse use(&watched);
        [&] { QCOMPARE(runSwap(swap), 0); }();
    }
    cleanup();
    return watched.taken;
}

QMap<QString, QStringList> TestBankFiles::entriesOf(const QStringList &folders) const
{
    QMap<QString, QStringList> all;
    for (const QString &folder : folders)
        all[folder] = entries(folder);
    return all;
}

void TestBankFiles::failedStepLeavesOldBank_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("committed");
    for (const char *operation : {"install", "repair", "restore"}) {
        const QList<FileStep> steps = recordedSteps(QLatin1String(operation));
        QVERIFY(!steps.isEmpty());
        // After the folder sync that follows the rename over the bank the
        // new bank stands; only the old copy's clean-up is left.
        int committedFrom = steps.size();
        for (int i = 0; i < steps.size(); ++i) {
            if (steps[i].kind == BankFileSteps::Kind::Rename && steps[i].to == oldBank->filePath()) {
                committedFrom = i + 2;
                break;
            }
        }
        QVERIFY(committedFrom < steps.size() || QLatin1String(operation) != QLatin1String("restore"));
        for (int i = 0; i < steps.size(); ++i)
            QTest::addRow("%s %d %s", operation, i, qPrintable(stepName(steps[i]))) << QString::fromLatin1(operation) << i << (i >= committedFrom);
    }
}

void TestBankFiles::failedStepLeavesOldBank()
{
    QFETCH(QString, operation);
    QFETCH(int, step);
    QFETCH(bool, committed);
    const TempWorkDir work;
    const Swap swap = prepareSwap(operation);
    const QByteArray before = bytesOf(swap.bank);
    const QMap<QString, QStringList> folders = entriesOf(swap.folders);
    WatchedSteps watched;
    watched.failAt = step;
    int result;
    {
        const StepsInUse use(&watched);
        result = runSwap(swap);
    }
    QVERIFY(watched.taken.size() > step);
    if (committed) {
        // The new bank is in place; a kept copy that could not go is no failure.
        QCOMPARE(result, 0);
        QCOMPARE(bytesOf(swap.bank), newContent);
        QCOMPARE(version(), QStringLiteral("new"));
        return;
    }
    QCOMPARE(result, -1);
    QVERIFY2(store->lastErrorText().contains(QString::fromLocal8Bit(strerror(EIO))), qPrintable(store->lastErrorText()));
    QCOMPARE(bytesOf(swap.bank), before);
    QCOMPARE(entriesOf(swap.folders), folders);
    QCOMPARE(bytesOf(swap.newFile), newContent);
    QVERIFY(QSqlDatabase::database().isOpen());
    QCOMPARE(QSqlDatabase::database().databaseName(), swap.bank);
    QCOMPARE(version(), QStringLiteral("old"));
    QVERIFY(answerState(swap.bank, 1001).endsWith(QStringLiteral("/C")));
}

void TestBankFiles::swapFailureReasons_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("error");
    for (const char *operation : {"install", "repair", "restore"}) {
        QTest::addRow("%s: rename over the bank, other file system", operation) << operation << "rename" << EXDEV;
        QTest::addRow("%s: rename over the bank, I/O error", operation) << operation << "rename" << EIO;
        QTest::addRow("%s: disk full writing the new file", operation) << operation << "write new" << ENOSPC;
        QTest::addRow("%s: no hard links, disk full for the kept copy", operation) << operation << "copy kept" << ENOSPC;
        QTest::addRow("%s: folder sync after the rename", operation) << operation << "sync folder" << EIO;
    }
}

void TestBankFiles::swapFailureReasons()
{
    QFETCH(QString, operation);
    QFETCH(QString, failure);
    QFETCH(int, error);
    const TempWorkDir work;
    const Swap swap = prepareSwap(operation);
    const QString bank = absolute(swap.bank);
    const QString staged = bank + QStringLiteral(".new");
    const QByteArray before = bytesOf(swap.bank);
    const QMap<QString, QStringList> folders = entriesOf(swap.folders);
    WatchedSteps watched;
    bool renamed = false;
    bool failed = false;
    watched.rule = [&](const FileStep &step) {
        using Kind = BankFileSteps::Kind;
        if (failure == QLatin1String("rename") && step.kind == Kind::Rename && step.to == bank)
            return error;
        if (failure == QLatin1String("write new") && step.kind == Kind::Write && step.path == staged)
            return error;
        if (failure == QLatin1String("copy kept") && step.kind == Kind::Link)
            return EXDEV;
        if (failure == QLatin1String("copy kept") && step.kind == Kind::Write && step.path != staged)
            return error;
        if (step.kind == Kind::Rename && step.to == bank)
            renamed = true;
        if (failure == QLatin1String("sync folder") && step.kind == Kind::SyncFolder && renamed && !failed) {
            failed = true;
            return error;
        }
        return 0;
    };
    int result;
    {
        const StepsInUse use(&watched);
        result = runSwap(swap);
    }
    QCOMPARE(result, -1);
    QVERIFY2(store->lastErrorText().contains(QString::fromLocal8Bit(strerror(error))), qPrintable(store->lastErrorText()));
    QCOMPARE(bytesOf(swap.bank), before);
    QCOMPARE(entriesOf(swap.folders), folders);
    // The bank's own name is only ever the target of a rename: nothing is
    // written to it or removed from it.
    for (const FileStep &step : qAsConst(watched.taken)) {
        QVERIFY2(step.path != bank || step.kind == BankFileSteps::Kind::Link, qPrintable(stepName(step)));
        QVERIFY2(step.to != bank || step.kind == BankFileSteps::Kind::Rename, qPrintable(stepName(step)));
    }
    QCOMPARE(version(), QStringLiteral("old"));
    QCOMPARE(store->recordAnswer(1002, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), 0);
}

void TestBankFiles::fullDiskDuringTheSwap_data()
{
    QTest::addColumn<bool>("bankOnSmallDisk");
    QTest::newRow("no room for the new bank beside the old") << true;
    QTest::newRow("kept copy on another file system, full") << false;
}

void TestBankFiles::fullDiskDuringTheSwap()
{
    QFETCH(bool, bankOnSmallDisk);
    // A real full disk: a small file system of its own, where one can be mounted.
    QTemporaryDir mountPoint;
    // Room for the bank and half a new one, or for half a kept copy.
    const qint64 room = bankOnSmallDisk ? oldContent.size() + newContent.size() / 2 : oldContent.size() / 2;
    const QByteArray command = "mount -t tmpfs -o size=" + QByteArray::number(room) + " tmpfs '"
        + QFile::encodeName(mountPoint.path()) + "' 2>/dev/null";
    if (geteuid() != 0 || std::system(command.constData()) != 0)
        QSKIP("no small file system can be mounted here");
    const auto unmount = qScopeGuard([&] {
        store->closeDatabase();
        std::system(("umount '" + QFile::encodeName(mountPoint.path()) + "'").constData());
    });
    const QString subject = bankOnSmallDisk ? mountPoint.filePath(QStringLiteral("subject")) : oldBank->path();
    const QString keepOldAs = bankOnSmallDisk ? subject + QStringLiteral("/MedicalDB.db.20260101-000000.bak")
                                              : mountPoint.filePath(QStringLiteral("OldMedicalDB.db"));
    QVERIFY(QDir().mkpath(subject));
    const QString bank = subject + QStringLiteral("/MedicalDB.db");
    writeBytes(bank, oldContent);
    QCOMPARE(store->openDatabase(subject, phrase, 0), 2);
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("C"), QStringLiteral("2"), QStringLiteral("001")), 0);
    const QByteArray before = bytesOf(bank);
    const QStringList folders = entries(subject) + entries(mountPoint.path());

    for (const QString &kept : {keepOldAs, QString()}) {
        if (!bankOnSmallDisk && kept.isEmpty())
            break;
        QCOMPARE(store->replaceBankFile(bank, newBank->filePath(), kept), -1);
        QVERIFY2(store->lastErrorText().contains(QString::fromLocal8Bit(strerror(ENOSPC))), qPrintable(store->lastErrorText()));
        QCOMPARE(bytesOf(bank), before);
        QCOMPARE(entries(subject) + entries(mountPoint.path()), folders);
        QCOMPARE(version(), QStringLiteral("old"));
        QVERIFY(answerState(bank, 1001).endsWith(QStringLiteral("/C")));
    }
}

void TestBankFiles::syncedBeforeRename_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("hardLinks");
    for (const char *operation : {"install", "repair", "restore", "backup"}) {
        QTest::addRow("%s", operation) << operation << true;
        QTest::addRow("%s, no hard links", operation) << operation << false;
    }
}

void TestBankFiles::syncedBeforeRename()
{
    QFETCH(QString, operation);
    QFETCH(bool, hardLinks);
    const TempWorkDir work;
    WatchedSteps watched;
    if (!hardLinks)
        watched.rule = [](const FileStep &step) { return step.kind == BankFileSteps::Kind::Link ? EPERM : 0; };
    if (operation == QLatin1String("backup")) {
        openOldBank();
        const QString target = oldBank->path() + QStringLiteral("/BKMedicalDB.db");
        const StepsInUse use(&watched);
        QCOMPARE(store->copyBankFile(target), 0);
    } else {
        const Swap swap = prepareSwap(operation);
        const StepsInUse use(&watched);
        QCOMPARE(runSwap(swap), 0);
        QCOMPARE(version(), QStringLiteral("new"));
    }
    const QList<FileStep> &steps = watched.taken;
    const auto find = [&](int from, int to, BankFileSteps::Kind kind, const QString &path) {
        for (int i = from; i < to; ++i)
            if (steps[i].kind == kind && steps[i].path == path)
                return i;
        return -1;
    };
    int renames = 0;
    for (int i = 0; i < steps.size(); ++i) {
        if (steps[i].kind == BankFileSteps::Kind::Write) {
            // Every file written is synced after its last write, and its
            // folder after that, before any rename puts something in place.
            int last = i;
            for (int j = i + 1; j < steps.size(); ++j)
                if (steps[j].kind == BankFileSteps::Kind::Write && steps[j].path == steps[i].path)
                    last = j;
            int rename = find(last, steps.size(), BankFileSteps::Kind::Rename, steps[i].path);
            for (int j = last; rename < 0 && j < steps.size(); ++j)
                if (steps[j].kind == BankFileSteps::Kind::Rename)
                    rename = j;
            const int synced = find(last, steps.size(), BankFileSteps::Kind::SyncFile, steps[i].path);
            QVERIFY2(synced > last && (rename < 0 || synced < rename), qPrintable(stepName(steps[i])));
            const int folderSynced = find(synced, steps.size(), BankFileSteps::Kind::SyncFolder, QFileInfo(steps[i].path).absolutePath());
            QVERIFY2(folderSynced > synced, qPrintable(stepName(steps[i])));
        }
        if (steps[i].kind == BankFileSteps::Kind::Rename) {
            ++renames;
            // The new name is on disk before the operation ends.
            QVERIFY2(find(i + 1, steps.size(), BankFileSteps::Kind::SyncFolder, QFileInfo(steps[i].to).absolutePath()) > i,
                     qPrintable(stepName(steps[i])));
        }
    }
    QCOMPARE(renames, 1);
}

void TestBankFiles::cutAtEveryStep_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("step");
    for (const char *operation : {"install", "repair", "restore"}) {
        const QList<FileStep> steps = recordedSteps(QLatin1String(operation));
        for (int i = 0; i < steps.size(); ++i)
            QTest::addRow("%s before %d %s", operation, i, qPrintable(stepName(steps[i]))) << QString::fromLatin1(operation) << i;
    }
}

void TestBankFiles::cutAtEveryStep()
{
    QFETCH(QString, operation);
    QFETCH(int, step);
    const TempWorkDir work;
    const Swap swap = prepareSwap(operation);
    store->closeDatabase();
    const QByteArray before = bytesOf(swap.bank);
    const QString oldAnswers = answerState(swap.bank, 1001);
    const QString newAnswers = answerState(swap.newFile, 1001);
    QVERIFY(oldAnswers != newAnswers);

    // The process ends at that step as a kill would end it.
    const pid_t child = fork();
    if (child == 0) {
        WatchedSteps cut;
        cut.exitAt = step;
        BankFileSteps::setCurrent(&cut);
        const bool opened = store->openDatabase(oldBank->path(), phrase, 0) == 2;
        runSwap(swap);
        _exit(opened ? 3 : 4);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);

    // The next start opens the old bank or the new one, whole.
    const QByteArray inPlace = bytesOf(swap.bank);
    QVERIFY2(inPlace == before || inPlace == newContent, qPrintable(QString::number(inPlace.size())));
    QCOMPARE(store->openDatabase(oldBank->path(), phrase, 0), 2);
    QCOMPARE(sqlRow(QStringLiteral("PRAGMA quick_check")), QStringList{QStringLiteral("ok")});
    QCOMPARE(version(), inPlace == before ? QStringLiteral("old") : QStringLiteral("new"));
    store->closeDatabase();
    QCOMPARE(answerState(swap.bank, 1001), inPlace == before ? oldAnswers : newAnswers);
}

void TestBankFiles::missingBankRecovered_data()
{
    QTest::addColumn<QString>("bankForm");
    QTest::addColumn<QStringList>("copies");  // name=content: old, new, bad
    QTest::addColumn<QString>("expected");   // old, new, or empty
    QTest::newRow("missing, new beside") << "missing" << QStringList{"MedicalDB.db.new=new"} << "new";
    QTest::newRow("empty, old beside") << "empty" << QStringList{"MedicalDB.db.old=old"} << "old";
    QTest::newRow("missing, install's kept copy") << "missing" << QStringList{"MedicalDB.db.20260101-000000.bak=old"} << "old";
    QTest::newRow("missing, repair's copy") << "missing" << QStringList{"DataRecovery/OldMedicalDB.db=old"} << "old";
    QTest::newRow("newest sound copy wins") << "missing" << QStringList{"MedicalDB.db.old=old", "MedicalDB.db.new=new"} << "new";
    QTest::newRow("damaged newer copy passed over") << "empty" << QStringList{"MedicalDB.db.old=old", "MedicalDB.db.new=bad"} << "old";
    QTest::newRow("no sound copy") << "missing" << QStringList{"MedicalDB.db.new=bad"} << "";
    QTest::newRow("bank in place stays") << "present" << QStringList{"MedicalDB.db.new=new"} << "old";
}

void TestBankFiles::missingBankRecovered()
{
    QFETCH(QString, bankForm);
    QFETCH(QStringList, copies);
    QFETCH(QString, expected);
    const TempWorkDir work;
    const QString bank = oldBank->filePath();
    if (bankForm == QLatin1String("missing"))
        QVERIFY(QFile::remove(bank));
    else if (bankForm == QLatin1String("empty"))
        writeBytes(bank, QByteArray());
    QDateTime stamp = QDateTime::currentDateTime().addSecs(-100);
    QMap<QString, QByteArray> written;
    for (const QString &copy : copies) {
        const QString name = copy.section(QLatin1Char('='), 0, 0);
        const QString form = copy.section(QLatin1Char('='), 1);
        const QString path = name.startsWith(QLatin1String("DataRecovery")) ? name : oldBank->path() + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        const QByteArray bytes = form == QLatin1String("old") ? oldContent : form == QLatin1String("new") ? newContent : oldContent.left(oldContent.size() / 2);
        writeBytes(path, bytes);
        // Later copies in the list are newer.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(stamp = stamp.addSecs(10), QFileDevice::FileModificationTime));
        written[path] = bytes;
    }
    LogCapture log;
    const int result = store->openDatabase(oldBank->path(), phrase, 0);
    if (expected.isEmpty()) {
        QCOMPARE(result, 1);
        QVERIFY(!log.contains(QStringLiteral("恢复")));
    } else {
        QCOMPARE(result, 2);
        QCOMPARE(version(), expected);
        QCOMPARE(log.contains(QStringLiteral("恢复")), bankForm != QLatin1String("present"));
    }
    // Every copy stays as it was.
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        QCOMPARE(bytesOf(it.key()), it.value());
}

void TestBankFiles::leftoverLastGoodCopyKept()
{
    // A swap cut off left a sound new bank beside one that was damaged since:
    // the next swap keeps that copy under a name of its own.
    writeBytes(oldBank->filePath(), oldContent.left(oldContent.size() / 2));
    writeBytes(oldBank->filePath() + QStringLiteral(".new"), newContent);
    const QString backup = scratch.filePath(QStringLiteral("BKMedicalDB.db"));
    writeBytes(backup, oldContent);

    QCOMPARE(store->replaceBankFile(oldBank->filePath(), backup, QString()), 0);
    QCOMPARE(bytesOf(oldBank->filePath()), oldContent);
    const QStringList kept = QDir(oldBank->path()).entryList({QStringLiteral("MedicalDB.db.*.bak")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(bytesOf(oldBank->path() + QLatin1Char('/') + kept.first()), newContent);
}

QTEST_GUILESS_MAIN(TestBankFiles)
#include "tst_bankfiles.moc"
