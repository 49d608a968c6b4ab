#include "SqliteClass.h"

#include "BuiltinPassphrase.h"
#include "ExamOutlineData.h"
#include "MainQuestion.h"
#include "OfflineReportClient.h"
#include "QueTypeData.h"
#include "SQLiteCipherDriver.h"
#include "SqliteData.h"

#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QtDebug>

#include <sqlite3.h>

namespace {

SqliteClass *self = nullptr;

// The failure text of the operations that ran on this thread, so a worker
// can report its own error even when another thread failed meanwhile.
thread_local QString threadLastError;

const QString errorPrefix = QStringLiteral("[Error:]");

} // namespace

SqliteClass *SqliteClass::instance()
{
    if (!self)
        self = new SqliteClass;
    return self;
}

SqliteClass::SqliteClass(QObject *parent)
    : QObject(parent)
    , keptTables{QStringLiteral("ConfigTable"), QStringLiteral("tQueLog"), QStringLiteral("sysConfig")}
    , queIdMergedTables{QStringLiteral("tQue"), QStringLiteral("ytQue")}
{
    // Records travel by pointer in queued signals from the workers.
    qRegisterMetaType<QList<MainQuestion *>>("QList<MainQuestion*>");
    qRegisterMetaType<MainQuestion *>("MainQuestion*");
    qRegisterMetaType<SqliteData *>("SqliteData*");
    qRegisterMetaType<QList<SqliteData *>>("QList<SqliteData*>");
    qRegisterMetaType<ExamOutlineData *>("ExamOutlineData*");

    driver = new SQLiteCipherDriver;
    connection = QSqlDatabase::addDatabase(driver);
}

SqliteClass::~SqliteClass()
{
    releaseDatabase();
    delete login;
    qDeleteAll(questionTypes);
    questionTypes.clear();
    qDeleteAll(retiredTypes);
    retiredTypes.clear();
    if (self == this)
        self = nullptr;
}

int SqliteClass::openDatabase(const QString &path, const QString &password, int mode)
{
    const StoreLocker locker(storeMutex);
    int result;
    if (mode == 1) {
        result = openFile(path, password);
    } else {
        recoverBankFile(path + QLatin1Char('/') + bankFileName());
        result = openFile(path + QLatin1Char('/') + bankFileName(), password);
        bankDirectory = path + QLatin1Char('/');
    }

    switch (result) {
    case 0:
        // The engine tells a damaged file apart; a file that is no database
        // of this format at all reads as one keyed otherwise.
        if ((keyCheckError.nativeErrorCode().toInt() & 0xff) == SQLITE_CORRUPT) {
            setLastError(QStringLiteral("[%1]数据库已损坏:%2").arg(connection.databaseName(), keyCheckError.text()));
            break;
        }
        // The phrase never reaches the log in clear text.
        setLastError(QStringLiteral("错误的数据库密码:%1")
                         .arg(QString(password.size(), QLatin1Char('*'))));
        break;
    case -1:
    case -2:
        setLastError(QStringLiteral("打开[%1]数据库失败.").arg(path));
        break;
    case 1:
        qDebug("create sql sucess");
        setLastError(QStringLiteral("缺少[%1]数据库文件.").arg(path));
        break;
    case 2:
        if (mode != 1)
            addMissingIndexes();
        break;
    default:
        break;
    }
    return result;
}

void SqliteClass::addMissingIndexes()
{
    const StoreLocker locker(storeMutex);
    // Banks delivered before these indexes lack them; without them every
    // group, option and statistics read scans (and decrypts) a whole table.
    // Built once, on the first open, in one transaction; a bank that cannot
    // be written keeps working without them.
    static const struct { const char *name; const char *on; } indexes[] = {
        {"tCateListCate", "tCateList(cateId)"},
        {"tQueGroup", "tQue(cateListId)"},
        {"tQueOptQue", "tQueOpt(queId)"},
        {"ytCateListCate", "ytCateList(cateId)"},
        {"ytQueGroup", "ytQue(cateListId)"},
        {"ytQueOptQue", "ytQueOpt(queId)"},
        // The home page's counts read only these two columns of every question,
        // and the chapters' counts and latest answers these four of a group's.
        {"tQueStudy", "tQue(IsDel, userStatus)"},
        {"tQueGroupStudy", "tQue(cateListId, IsDel, userStatus, userTime)"},
    };
    QSqlQuery query = newQuery();
    QStringList present;
    if (!query.exec(QStringLiteral("select name from sqlite_master where type = 'index'")))
        return;
    while (query.next())
        present << query.value(0).toString();
    QStringList missing;
    for (const auto &index : indexes) {
        if (!present.contains(QLatin1String(index.name)))
            missing << QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2").arg(QLatin1String(index.name),
                                                                                   QLatin1String(index.on));
    }
    if (missing.isEmpty())
        return;
    const auto fail = [&query](const QString &sql) {
        qDebug().noquote() << QStringLiteral("%1:%2").arg(sql, query.lastError().text());
    };
    if (!query.exec(QStringLiteral("BEGIN"))) {
        fail(QStringLiteral("BEGIN"));
        return;
    }
    for (const QString &sql : qAsConst(missing)) {
        if (!query.exec(sql)) {
            fail(sql);
            query.exec(QStringLiteral("ROLLBACK"));
            return;
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        fail(QStringLiteral("COMMIT"));
        query.exec(QStringLiteral("ROLLBACK"));
    }
}

int SqliteClass::openFile(const QString &file, const QString &password)
{
    const StoreLocker locker(storeMutex);
    // An empty file is a missing bank; anything else that is there (even a
    // directory of that name) counts as existing.
    const QFileInfo info(file);
    const bool existed = info.exists() && !(info.isFile() && info.size() == 0);

    connection.setDatabaseName(file);
    connection.setPassword(password);
    if (!connection.open())
        return existed ? -2 : -1;
    if (!existed)
        return 1;
    if (verifyKey())
        return 2;
    connection.close();
    return 0;
}

bool SqliteClass::verifyKey()
{
    const StoreLocker locker(storeMutex);
    // Reading the schema makes the engine decrypt the first page.
    QSqlQuery query = newQuery();
    const bool read = query.exec(QStringLiteral("select name,sql from sqlite_master where type = 'table'"));
    keyCheckError = read ? QSqlError() : query.lastError();
    return read;
}

void SqliteClass::switchDatabase(const QString &file)
{
    instance()->openDatabase(file, QString::fromLatin1(builtinPassphrase), 1);
}

void SqliteClass::closeDatabase()
{
    const StoreLocker locker(storeMutex);
    if (connection.isOpen())
        connection.close();
}

void SqliteClass::releaseDatabase()
{
    const StoreLocker locker(storeMutex);
    closeDatabase();
    if (driver)
        qDebug("delete pDriver");
    // Removing the connection deletes its driver; no handle may remain.
    driver = nullptr;
    connection = QSqlDatabase();
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

QString SqliteClass::lastErrorText() const
{
    const StoreLocker locker(storeMutex);
    return errorPrefix + lastError;
}

QString SqliteClass::threadLastErrorText()
{
    return errorPrefix + threadLastError;
}

int SqliteClass::execSql(const QString &sql)
{
    const StoreLocker locker(storeMutex);
    return runStatement(sql);
}

bool SqliteClass::isExamWindowOpen() const
{
    const StoreLocker locker(storeMutex);
    return examWindowOpen;
}

void SqliteClass::setExamWindowOpen(bool open)
{
    const StoreLocker locker(storeMutex);
    examWindowOpen = open;
}

QString SqliteClass::databaseDir() const
{
    const StoreLocker locker(storeMutex);
    return bankDirectory;
}

bool SqliteClass::isGroupType(int queTypeId)
{
    return queTypeId == 3 || queTypeId == 4 || queTypeId == 7;
}

void SqliteClass::setLoginClient(OfflineReportClient *client)
{
    const StoreLocker locker(storeMutex);
    if (client == login)
        return;
    delete login;
    login = client;
    // A post out on the old client never gets its reply.
    queuePosting = false;
}

int SqliteClass::lastImageHeight() const
{
    const StoreLocker locker(storeMutex);
    return imageHeight;
}

QSqlQuery SqliteClass::newQuery() const
{
    return QSqlQuery(connection);
}

bool SqliteClass::runQuery(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    bool ran;
    if (values.isEmpty()) {
        query.clear();
        ran = query.exec(sql);
    } else {
        ran = query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ran = ran && query.exec();
    }
    if (!ran)
        setLastError(QStringLiteral("%1:%2").arg(sql, query.lastError().text()));
    return ran;
}

int SqliteClass::runStatement(const QString &sql, const QVariantList &values)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    return runQuery(query, sql, values) ? 0 : -1;
}

int SqliteClass::readRows(const QString &sql, const QVariantList &values,
                          const std::function<bool(const Row &)> &take, StepFailure stepFailure)
{
    // The rows are read whole under the lock and handed to take after it:
    // what take does (records, further statements, signals) never holds up
    // the other threads' statements.
    QList<Row> rows;
    QString stepError;
    {
        const StoreLocker locker(storeMutex);
        QSqlQuery query = newQuery();
        if (!runQuery(query, sql, values))
            return -1;
        const int columns = query.record().count();
        while (query.next()) {
            Row row;
            row.reserve(columns);
            for (int i = 0; i < columns; ++i)
                row << query.value(i);
            rows << row;
        }
        if (stepFailure == StepFailure::Fails && query.lastError().isValid())
            stepError = QStringLiteral("%1:%2").arg(sql, query.lastError().text());
    }
    for (const Row &row : qAsConst(rows)) {
        if (stopRequested() || !take(row))
            return -1;
    }
    // A step that failed part-way ends the rows like the last one does.
    if (stepError.isEmpty())
        return 0;
    setLastError(stepError);
    return -1;
}

int SqliteClass::readInWindows(const QString &table, const QString &alias,
                               const std::function<int(const QString &, const QVariantList &)> &read,
                               const QString &key)
{
    const int windowRows = 500;
    QVariant after; // null before the first window
    for (;;) {
        if (stopRequested())
            return -1;
        // The last key of the next window; none when fewer rows are left.
        QVariant last;
        const QString boundSql =
            QStringLiteral("select %1 from %2 where %1 %3 order by %1 limit 1 offset %4")
                .arg(key, table, after.isNull() ? QStringLiteral("is not null") : QStringLiteral("> ?"))
                .arg(windowRows - 1);
        if (readRows(boundSql, after.isNull() ? QVariantList() : QVariantList{after},
                     [&last](const Row &row) {
                         last = row.value(0);
                         return true;
                     })
            != 0)
            return -1;
        QStringList limits{QStringLiteral("%1.%2 is not null").arg(alias, key)};
        QVariantList values;
        if (!after.isNull()) {
            limits << QStringLiteral("%1.%2 > ?").arg(alias, key);
            values << after;
        }
        if (!last.isNull()) {
            limits << QStringLiteral("%1.%2 <= ?").arg(alias, key);
            values << last;
        }
        const int result = read(limits.join(QStringLiteral(" and ")), values);
        if (result != 0 || last.isNull())
            return result;
        after = last;
    }
}

int SqliteClass::readKeys(const QString &keyColumns, const QString &fromWhere, const QVariantList &values,
                          const QString &table, const QString &alias, QList<Row> &keys)
{
    return readInWindows(table, alias, [&](const QString &window, const QVariantList &windowValues) {
        return readRows(QStringLiteral("select %1.rowid%2 %3").arg(alias, keyColumns, fromWhere.arg(window)),
                        values + windowValues, [&keys](const Row &key) {
                            keys << key;
                            return true;
                        });
    });
}

int SqliteClass::readRowsInOrder(const QString &columns, const QString &fromWhere, const QVariantList &values,
                                 const QString &alias, const QList<Row> &keys,
                                 const std::function<bool(const Row &)> &take)
{
    const int chunkRows = 64;
    for (int first = 0; first < keys.size(); first += chunkRows) {
        QVariantList rowIds;
        for (const Row &key : keys.mid(first, chunkRows))
            rowIds << key.value(0);
        QString markers = QStringLiteral("?,").repeated(rowIds.size());
        markers.chop(1);
        // A key's rows (several should a join repeat it), each with its rowid last.
        QHash<qint64, QList<Row>> rowsOf;
        const QString keyed = QStringLiteral("%1.rowid in (%2)").arg(alias, markers);
        const QString sql = QStringLiteral("select %1, %2.rowid %3").arg(columns, alias, fromWhere.arg(keyed));
        if (readRows(sql, values + rowIds,
                     [&rowsOf](const Row &row) {
                         rowsOf[row.last().toLongLong()] << row;
                         return true;
                     })
            != 0)
            return -1;
        for (const QVariant &rowId : qAsConst(rowIds)) {
            for (const Row &row : rowsOf.value(rowId.toLongLong())) {
                if (stopRequested() || !take(row))
                    return -1;
            }
        }
    }
    return 0;
}

int SqliteClass::readRandomRows(const QString &columns, const QString &fromWhere, const QString &keysSql,
                                const QVariantList &values, const QString &alias, int count,
                                const std::function<bool(const Row &)> &take)
{
    QList<Row> keys;
    if (readRows(keysSql, values, [&keys](const Row &key) {
            keys << key;
            return true;
        }) != 0)
        return -1;
    // The keys are shuffled as far as they are read, a uniform draw in
    // random order; a count below 0 (no limit) takes all.
    int taken = 0;
    const auto takeUpToCount = [&](const Row &row) {
        if (count >= 0 && taken >= count)
            return true;
        ++taken;
        return take(row);
    };
    for (int next = 0; next < keys.size() && (count < 0 || taken < count);) {
        const int wanted = count < 0 ? keys.size() : count - taken;
        const int chunk = qMin(keys.size() - next, qBound(16, wanted, 64));
        for (int i = next; i < next + chunk; ++i)
            keys.swapItemsAt(i, i + int(QRandomGenerator::global()->bounded(keys.size() - i)));
        if (readRowsInOrder(columns, fromWhere, values, alias, keys.mid(next, chunk), takeUpToCount) != 0)
            return -1;
        next += chunk;
    }
    return 0;
}

bool SqliteClass::stopRequested()
{
    return QThread::currentThread()->isInterruptionRequested();
}

// A failure part-way leaves the bank as it was.
int SqliteClass::runInTransaction(const std::function<int()> &work)
{
    // Held throughout: no other thread's statement may land in the transaction.
    const StoreLocker locker(storeMutex);
    if (runStatement(QStringLiteral("BEGIN")) < 0)
        return -1;
    const int result = work();
    if (result >= 0 && runStatement(QStringLiteral("COMMIT")) == 0)
        return result;
    // The failure's own error text stays; the rollback only undoes.
    newQuery().exec(QStringLiteral("ROLLBACK"));
    return -1;
}

void SqliteClass::setLastError(const QString &text)
{
    const StoreLocker locker(storeMutex);
    lastError = text;
    threadLastError = text;
}
