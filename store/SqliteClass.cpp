#include "SqliteClass.h"

#include "BuiltinPassphrase.h"
#include "ExamOutlineData.h"
#include "MainQuestion.h"
#include "OfflineReportClient.h"
#include "QueTypeData.h"
#include "SQLiteCipherDriver.h"
#include "SqliteData.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtDebug>

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
    if (self == this)
        self = nullptr;
}

int SqliteClass::openDatabase(const QString &path, const QString &password, int mode)
{
    const QMutexLocker locker(&storeMutex);
    int result;
    if (mode == 1) {
        result = openFile(path, password);
    } else {
        result = openFile(path + QStringLiteral("/MedicalDB.db"), password);
        bankDirectory = path + QLatin1Char('/');
    }

    switch (result) {
    case 0:
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
    default:
        break;
    }
    return result;
}

int SqliteClass::openFile(const QString &file, const QString &password)
{
    const QMutexLocker locker(&storeMutex);
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
    const QMutexLocker locker(&storeMutex);
    // Reading the schema makes the engine decrypt the first page.
    QSqlQuery query = newQuery();
    return query.exec(QStringLiteral("select name,sql from sqlite_master where type = 'table'"));
}

void SqliteClass::switchDatabase(const QString &file)
{
    instance()->openDatabase(file, QString::fromLatin1(builtinPassphrase), 1);
}

void SqliteClass::closeDatabase()
{
    const QMutexLocker locker(&storeMutex);
    if (connection.isOpen())
        connection.close();
}

void SqliteClass::releaseDatabase()
{
    const QMutexLocker locker(&storeMutex);
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
    const QMutexLocker locker(&storeMutex);
    return errorPrefix + lastError;
}

QString SqliteClass::threadLastErrorText()
{
    return errorPrefix + threadLastError;
}

int SqliteClass::execSql(const QString &sql)
{
    const QMutexLocker locker(&storeMutex);
    return runStatement(sql);
}

bool SqliteClass::isExamWindowOpen() const
{
    const QMutexLocker locker(&storeMutex);
    return examWindowOpen;
}

void SqliteClass::setExamWindowOpen(bool open)
{
    const QMutexLocker locker(&storeMutex);
    examWindowOpen = open;
}

QString SqliteClass::databaseDir() const
{
    const QMutexLocker locker(&storeMutex);
    return bankDirectory;
}

bool SqliteClass::isGroupType(int queTypeId)
{
    return queTypeId == 3 || queTypeId == 4 || queTypeId == 7;
}

void SqliteClass::setLoginClient(OfflineReportClient *client)
{
    const QMutexLocker locker(&storeMutex);
    if (client == login)
        return;
    delete login;
    login = client;
}

int SqliteClass::lastImageHeight() const
{
    const QMutexLocker locker(&storeMutex);
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
    QSqlQuery query = newQuery();
    return runQuery(query, sql, values) ? 0 : -1;
}

int SqliteClass::readRows(const QString &sql, const QVariantList &values,
                          const std::function<bool(const QSqlQuery &)> &take, StepFailure stepFailure)
{
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql, values))
        return -1;
    while (query.next()) {
        if (stopRequested() || !take(query))
            return -1;
    }
    if (stepFailure == StepFailure::EndsRows)
        return 0;
    return rowsComplete(query, sql) ? 0 : -1;
}

bool SqliteClass::stopRequested()
{
    return QThread::currentThread()->isInterruptionRequested();
}

// A failure part-way leaves the bank as it was.
int SqliteClass::runInTransaction(const std::function<int()> &work)
{
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
    const QMutexLocker locker(&storeMutex);
    lastError = text;
    threadLastError = text;
}
